// A drawing surface with the semantics the controls were designed for: a pen
// and a brush, lines that include their start pixel and leave out their end
// pixel, polygons whose outline follows the same lines, opaque or transparent
// text, and plain bitmap copies. It draws into an off-screen QImage; widgets
// copy that image to the screen in their paintEvent.
//
// Qt's own lines do not keep the end-pixel rule (and pick other pixels than
// Bresenham on short lines), so lines are rasterised here. Polygon interiors
// go through QPainter, whose fill tiles neighbouring hexagons exactly.
//
// Coordinates are the image's logical pixels. An image with a device pixel
// ratio above 1 (a high-resolution screen) is drawn at its own resolution:
// a logical pixel is a block of device pixels, edges and slanted lines are
// stepped in device pixels, and nothing is blended, so edges stay sharp.
// At ratio 1 every primitive sets exactly the pixels it always did.
#pragma once

#include "shell/Colors.h"

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>

#include <span>

class QColor;

// Qt colour of a colour value; theme colours come from the application palette.
QColor ColorToQColor(TColor color);
// Colour value of a pixel, the inverse of ColorToQColor for plain colours.
TColor QRgbToColor(QRgb rgb);

enum class TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum class TBrushStyle { bsSolid, bsClear };

struct TPen {
    TColor Color = clBlack;
    TPenStyle Style = TPenStyle::psSolid;
    int Width = 1;
};

struct TBrush {
    TColor Color = clWhite;
    TBrushStyle Style = TBrushStyle::bsSolid;
};

class TCanvas {
public:
    explicit TCanvas(QImage& image);

    TPen Pen;
    TBrush Brush;
    QFont Font;
    TColor FontColor = clBlack;

    QImage& Image() { return image_; }
    // The image's size in logical pixels.
    QRect LogicalRect() const;

    // Fills [Left, Right) x [Top, Bottom) with the brush.
    void FillRect(const QRect& rect);
    // Fills with the brush and outlines with the pen; right and bottom exclusive.
    void Rectangle(int x1, int y1, int x2, int y2);
    // Filled with the brush, outlined with the pen, closed.
    void Polygon(std::span<const QPoint> points);
    // Open line through the points with the pen.
    void Polyline(std::span<const QPoint> points);
    void MoveTo(int x, int y);
    // Draws from the pen position up to, but not including, (x, y).
    void LineTo(int x, int y);
    QPoint PenPos() const { return penPos_; }

    // Text with its top-left corner at (x, y); opaque on the brush colour
    // unless the brush is clear.
    void TextOut(int x, int y, const QString& text);
    int TextWidth(const QString& text) const;
    int TextHeight(const QString& text) const;

    // Plain source copy of the whole bitmap with its top-left corner at (x, y).
    void Draw(int x, int y, const QImage& bitmap);
    // As Draw, but pixels of the key colour are left out.
    void DrawTransparent(int x, int y, const QImage& bitmap, TColor keyColor);

    // A logical pixel: the whole block of device pixels it covers.
    void SetPixel(int x, int y, TColor color);
    // The colour of a logical pixel (its block's top-left device pixel).
    TColor Pixel(int x, int y) const;

private:
    void PlotLine(QPoint from, QPoint to);
    void StrokeLine(QPoint from, QPoint to);
    bool PenDraws() const;
    bool Scaled() const { return image_.devicePixelRatio() != 1.0; }
    // The device pixel a logical pixel edge falls on.
    int DeviceEdge(int logical) const;

    QImage& image_;
    QPoint penPos_;
};

// A picture of `size` logical pixels for a screen of device pixel ratio
// `ratio`: ratio x size device pixels, rounded up so it covers the whole
// widget, with the ratio set. At ratio 1 a plain image of `size`.
QImage DeviceImage(QSize size, qreal ratio, QImage::Format format);

// Draws `thickness` one-pixel rings from the rectangle's edge inwards (right
// and bottom exclusive): left column and top row in topLeft, right column,
// bottom row and the top-right and bottom-left corners in bottomRight. The
// rectangle comes back shrunk by the thickness so a second frame fits inside.
void DrawBevelFrame(TCanvas& canvas, QRect& rect, TColor topLeft, TColor bottomRight, int thickness);
