// The hex map control: a grid of six-sided cells drawn on a plain background
// or over a background image, recoloured one cell at a time, with the grid
// arithmetic of THexGeometry for hit tests and move distances. The whole
// picture lives in an off-screen bitmap; painting is one copy of it.
#pragma once

#include "hexmap/HexGeometry.h"
#include "hexmap/HexMarks.h"
#include "shell/Canvas.h"
#include "shell/Colors.h"

#include <QImage>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>

class QFocusEvent;
class QKeyEvent;
class QMouseEvent;
class QPaintEvent;

class THexMap : public QWidget {
    Q_OBJECT
    // Declaration order is the order in which stored form data applies them.
    Q_PROPERTY(bool UseSavedMap READ UseSavedMap WRITE SetUseSavedMap)
    Q_PROPERTY(bool MapGridOn READ MapGridOn WRITE SetMapGridOn)
    Q_PROPERTY(QString MapImageName READ MapImageName WRITE SetMapImageName)
    Q_PROPERTY(bool NoMapImage READ NoMapImage WRITE SetNoMapImage)
    Q_PROPERTY(int HexColumns READ HexColumns WRITE SetHexColumns)
    Q_PROPERTY(int HexRows READ HexRows WRITE SetHexRows)
    Q_PROPERTY(int HexRadius READ HexRadius WRITE SetHexRadius)
    Q_PROPERTY(bool HexShowLabels READ HexShowLabels WRITE SetHexShowLabels)
    Q_PROPERTY(bool Hex3d READ Hex3d WRITE SetHex3d)
    Q_PROPERTY(uint HexColor READ HexColor WRITE SetHexColor)
    Q_PROPERTY(uint BackColor READ BackColor WRITE SetBackColor)
    Q_PROPERTY(uint LineColor READ LineColor WRITE SetLineColor)

public:
    using TMouseHandler = std::function<void(Qt::MouseButton, Qt::KeyboardModifiers, int X, int Y)>;

    explicit THexMap(QWidget* parent = nullptr);

    // True freezes the picture and the control's size: property changes are
    // stored but not shown, and ColorHex is ignored.
    bool UseSavedMap() const { return useSavedMap_; }
    void SetUseSavedMap(bool value);
    bool MapGridOn() const { return mapGridOn_; }
    void SetMapGridOn(bool value);
    // Raise Exception when the image cannot be loaded; the new value is kept.
    QString MapImageName() const { return mapImageName_; }
    void SetMapImageName(const QString& value);
    bool NoMapImage() const { return noMapImage_; }
    void SetNoMapImage(bool value);
    // Negative counts are taken as 0.
    int HexColumns() const { return geometry_.HexColumns; }
    void SetHexColumns(int value);
    int HexRows() const { return geometry_.HexRows; }
    void SetHexRows(int value);
    // Odd values are raised to the next even one; 0 and below are refused.
    int HexRadius() const { return geometry_.HexRadius; }
    void SetHexRadius(int value);
    bool HexShowLabels() const { return hexShowLabels_; }
    void SetHexShowLabels(bool value);
    bool Hex3d() const { return hex3d_; }
    void SetHex3d(bool value);
    TColor HexColor() const { return hexColor_; }
    void SetHexColor(TColor value);
    TColor BackColor() const { return backColor_; }
    void SetBackColor(TColor value);
    TColor LineColor() const { return lineColor_; }
    void SetLineColor(TColor value);

    int HexHalfHeight() const { return geometry_.HexHalfHeight; }

    TPoint ConvertPoint(TPoint point, std::uint8_t mode) const { return geometry_.ConvertPoint(point, mode); }
    std::int32_t HexDistance(TPoint a, TPoint b) const { return geometry_.HexDistance(a, b); }

    // Paints one cell and repaints the control at once. Ignored unless the
    // grid is on and the picture is plain and not frozen. The cell's label,
    // if any, is not drawn again.
    void ColorHex(TColor color, TBrushStyle brushStyle, TPoint cell);

    // The picture as it is shown; drawn first if properties have changed
    // since it was last drawn.
    const QImage& MapBitmap() const
    {
        EnsurePicture();
        return mapBitmap_;
    }
    const QImage& MapImage() const { return mapImage_; }
    // How many times the whole picture has been drawn, for measurements.
    int PictureBuilds() const { return pictureBuilds_; }
    const THexGeometry& Geometry() const { return geometry_; }

    // Press and move (also without a button), in the control's pixels.
    // Keyboard play comes through them too: the cursor's moves as moves to
    // its cell's centre, Space and Enter as a left press there.
    TMouseHandler OnMouseDown;
    TMouseHandler OnMouseMove;
    // After the keyboard cursor has moved (or come up), with its cell and
    // the cell's square, so that whoever scrolls the board can bring it
    // into view and the read-out can name it.
    std::function<void(TPoint cell, const QRect& square)> OnCursorMove;

    // Marks drawn over the picture (the cursor is the control's own); only
    // the cells whose marks change are repainted.
    void SetMarks(THexMarks marks);
    const THexMarks& Marks() const { return marks_; }
    // The keyboard cursor's cell; shown while the control has a focus that
    // came from the keyboard (Tab, a key pressed on it), so that a window
    // that merely hands the board its focus shows nothing new.
    TPoint CursorCell() const { return cursor_; }
    void SetCursorCell(TPoint cell);
    bool CursorShown() const { return keyboardFocus_ && hasFocus(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

    void DrawHex(TCanvas& canvas, TBrushStyle fillStyle, TColor fillColor, TPenStyle penStyle, TColor penColor,
                 TPoint centre, int radius, bool raised) const;
    void DrawHexOutline(TCanvas& canvas, TPenStyle penStyle, TColor penColor, TPoint centre, int radius,
                        bool raised) const;
    // Size the control and draw the whole picture at once (nothing while
    // frozen). The setters leave the drawing until the picture is needed.
    void BuildPlainMap();
    void BuildImageMap();

private:
    void Paint();
    // After a change of a drawing property: new size now, new picture when
    // it is next needed; then an immediate repaint.
    void Rebuild();
    void InvalidatePicture();
    void EnsurePicture() const;
    void LayOutImageMap();
    void DrawPlainMap() const;
    void DrawImageMap() const;
    void PictureDrawn() const;
    void LoadMapImage();
    void DrawRaisedEdges(TCanvas& canvas, TPoint centre, int radius) const;
    void DrawLabel(TPoint cell, TPoint centre) const;
    bool TouchesPicture(TPoint centre) const;
    bool FitsWidget(std::int64_t columns, std::int64_t rows, std::int64_t radius) const;
    void SizeControl(int width, int height);
    // The marks as shown: the cursor included while the control has focus.
    THexMarks ShownMarks() const;
    void ShowCursor();
    void RepaintMarks(const THexMarks& before);

    bool useSavedMap_ = false;
    bool mapGridOn_ = true;
    QString mapImageName_ = QStringLiteral("Rome.bmp");
    bool noMapImage_ = true;
    bool hexShowLabels_ = false;
    bool hex3d_ = true;
    TColor hexColor_ = clGray;
    TColor backColor_ = clTeal;
    TColor lineColor_ = clBlack;
    THexGeometry geometry_; // column and row counts, radius and half height

    QImage mapImage_;
    // The picture is a cache of the properties above, drawn on demand.
    mutable QImage mapBitmap_;
    mutable TCanvas mapCanvas_{mapBitmap_};
    mutable bool pictureStale_ = true;
    mutable int pictureBuilds_ = 0;
    THexMarks marks_;
    TPoint cursor_{1, 1};
    bool keyboardFocus_ = false;
};
