// The hex map control: building the off-screen picture, recolouring cells,
// the property setters and the mouse forwarding.
#include "hexmap/Hexmap.h"

#include "hexmap/HexCursor.h"
#include "shell/Exception.h"

#include <QFocusEvent>
#include <QImageReader>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <array>

namespace {

// The corners in drawing order: top-left, top-right, right, bottom-right,
// bottom-left, left.
std::array<QPoint, 6> Corners(TPoint centre, int radius, int halfHeight)
{
    const int x = centre.X, y = centre.Y, half = radius / 2;
    return {QPoint(x - half, y - halfHeight), QPoint(x + half, y - halfHeight), QPoint(x + radius, y),
            QPoint(x + half, y + halfHeight), QPoint(x - half, y + halfHeight), QPoint(x - radius, y)};
}

} // namespace

THexMap::THexMap(QWidget* parent)
    : QWidget(parent)
{
    // Drawn over the parent like a windowless control: no background of its
    // own, and moves arrive without a button held so the pointer can be followed.
    setAutoFillBackground(false);
    setMouseTracking(true);
    // The keyboard reaches the board by Tab only: a click is a move, and
    // must not bring up the cursor. Every mouse button is a press, so no
    // context menu either.
    setFocusPolicy(Qt::TabFocus);
    setContextMenuPolicy(Qt::PreventContextMenu);
    geometry_.HexHalfHeight = HalfHeightOf(geometry_.HexRadius);
    InvalidatePicture();
}

void THexMap::SetUseSavedMap(bool value)
{
    if (value == useSavedMap_)
        return;
    // What freezes is the picture of the properties as they are now.
    if (value)
        EnsurePicture();
    useSavedMap_ = value;
    // Switching off keeps the frozen picture until the next rebuild.
    repaint();
}

void THexMap::SetMapGridOn(bool value)
{
    if (value == mapGridOn_)
        return;
    mapGridOn_ = value;
    Rebuild();
}

void THexMap::SetMapImageName(const QString& value)
{
    if (value == mapImageName_)
        return;
    mapImageName_ = value;
    if (noMapImage_ || useSavedMap_)
        return;
    LoadMapImage();
    Rebuild();
}

void THexMap::SetNoMapImage(bool value)
{
    if (value == noMapImage_)
        return;
    noMapImage_ = value;
    // The image is loaded even while the picture is frozen.
    if (!noMapImage_)
        LoadMapImage();
    Rebuild();
}

void THexMap::SetHexColumns(int value)
{
    value = std::max(value, 0);
    if (value == geometry_.HexColumns || !FitsWidget(value, geometry_.HexRows, geometry_.HexRadius))
        return;
    geometry_.HexColumns = value;
    Rebuild();
}

void THexMap::SetHexRows(int value)
{
    value = std::max(value, 0);
    if (value == geometry_.HexRows || !FitsWidget(geometry_.HexColumns, value, geometry_.HexRadius))
        return;
    geometry_.HexRows = value;
    Rebuild();
}

void THexMap::SetHexRadius(int value)
{
    // Compared before it is made even: 19 over 20 still rebuilds.
    if (value == geometry_.HexRadius)
        return;
    // A radius of 0 would divide by zero in the hit test; negative ones make
    // no grid at all.
    if (value <= 0)
        return;
    const std::int64_t even = std::int64_t(value) + (value & 1);
    if (!FitsWidget(geometry_.HexColumns, geometry_.HexRows, even))
        return;
    geometry_.HexRadius = static_cast<int>(even);
    geometry_.HexHalfHeight = HalfHeightOf(geometry_.HexRadius);
    Rebuild();
}

void THexMap::SetHexShowLabels(bool value)
{
    if (value == hexShowLabels_)
        return;
    hexShowLabels_ = value;
    Rebuild();
}

void THexMap::SetHex3d(bool value)
{
    if (value == hex3d_)
        return;
    hex3d_ = value;
    Rebuild();
}

void THexMap::SetHexColor(TColor value)
{
    if (value == hexColor_)
        return;
    hexColor_ = value;
    Rebuild();
}

void THexMap::SetBackColor(TColor value)
{
    if (value == backColor_)
        return;
    backColor_ = value;
    Rebuild();
}

void THexMap::SetLineColor(TColor value)
{
    if (value == lineColor_)
        return;
    lineColor_ = value;
    Rebuild();
}

void THexMap::ColorHex(TColor color, TBrushStyle brushStyle, TPoint cell)
{
    if (!mapGridOn_ || !noMapImage_ || useSavedMap_)
        return;
    EnsurePicture();
    const TPoint centre = geometry_.ConvertPoint(cell, cpCellToPixel);
    // A cell far off the picture would change no pixel, but its corners
    // could overflow and its edges take billions of steps.
    if (!TouchesPicture(centre))
        return;
    DrawHex(mapCanvas_, brushStyle, color, TPenStyle::psSolid, lineColor_, centre, geometry_.HexRadius, hex3d_);
    // At once, but only the cell's square: its outline and raised edges
    // stay within R across and H up and down from the centre. Does nothing
    // while hidden; the colour shows at the next paint.
    const int r = geometry_.HexRadius, h = geometry_.HexHalfHeight;
    repaint(QRect(centre.X - r, centre.Y - h, 2 * r + 1, 2 * h + 1));
}

void THexMap::paintEvent(QPaintEvent* /*event*/)
{
    Paint();
}

void THexMap::Paint()
{
    EnsurePicture();
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, mapBitmap_);
    DrawHexMarks(painter, geometry_, ShownMarks());
}

THexMarks THexMap::ShownMarks() const
{
    THexMarks shown = marks_;
    shown.Cursor = CursorShown() ? cursor_ : TPoint{};
    return shown;
}

void THexMap::RepaintMarks(const THexMarks& before)
{
    const QRegion changed = MarksRegion(geometry_, before) + MarksRegion(geometry_, ShownMarks());
    if (!changed.isEmpty())
        repaint(changed);
}

void THexMap::SetMarks(THexMarks marks)
{
    marks.Cursor = {};
    const THexMarks before = ShownMarks();
    marks_ = std::move(marks);
    RepaintMarks(before);
}

void THexMap::SetCursorCell(TPoint cell)
{
    const THexMarks before = ShownMarks();
    cursor_ = ClampToGrid(cell, geometry_.HexColumns, geometry_.HexRows);
    RepaintMarks(before);
}

void THexMap::keyPressEvent(QKeyEvent* event)
{
    if (!keyboardFocus_)
        ShowCursor();
    if (const auto step = CursorStepOfKey(event->key()); step && event->modifiers() == Qt::NoModifier) {
        SetCursorCell(StepCursor(cursor_, *step, geometry_.HexColumns, geometry_.HexRows));
        const TPoint centre = geometry_.ConvertPoint(cursor_, cpCellToPixel);
        if (OnMouseMove)
            OnMouseMove(Qt::NoButton, Qt::NoModifier, centre.X, centre.Y);
        if (OnCursorMove)
            OnCursorMove(cursor_, CellSquare(geometry_, cursor_).translated(pos()));
        return;
    }
    const int key = event->key();
    if ((key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) && !event->isAutoRepeat()) {
        // The grid may have shrunk under the cursor since it last moved.
        SetCursorCell(cursor_);
        const TPoint centre = geometry_.ConvertPoint(cursor_, cpCellToPixel);
        if (OnMouseDown)
            OnMouseDown(Qt::LeftButton, Qt::NoModifier, centre.X, centre.Y);
        return;
    }
    QWidget::keyPressEvent(event);
}

void THexMap::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason)
        ShowCursor();
    else
        RepaintMarks(marks_); // back to a window: as the board was left
}

void THexMap::ShowCursor()
{
    const THexMarks before = ShownMarks();
    keyboardFocus_ = true;
    cursor_ = ClampToGrid(cursor_, geometry_.HexColumns, geometry_.HexRows);
    RepaintMarks(before);
    // The read-out names the cursor's cell from the start.
    const TPoint centre = geometry_.ConvertPoint(cursor_, cpCellToPixel);
    if (OnMouseMove)
        OnMouseMove(Qt::NoButton, Qt::NoModifier, centre.X, centre.Y);
    if (OnCursorMove)
        OnCursorMove(cursor_, CellSquare(geometry_, cursor_).translated(pos()));
}

void THexMap::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    THexMarks before = marks_;
    before.Cursor = keyboardFocus_ ? cursor_ : TPoint{};
    // Another window on top keeps the keyboard play for the return.
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
        keyboardFocus_ = false;
    RepaintMarks(before);
}

void THexMap::mousePressEvent(QMouseEvent* event)
{
    if (OnMouseDown) {
        const QPoint pos = event->position().toPoint();
        OnMouseDown(event->button(), event->modifiers(), pos.x(), pos.y());
    }
}

void THexMap::mouseMoveEvent(QMouseEvent* event)
{
    if (OnMouseMove) {
        const QPoint pos = event->position().toPoint();
        OnMouseMove(event->button(), event->modifiers(), pos.x(), pos.y());
    }
}

void THexMap::DrawHex(TCanvas& canvas, TBrushStyle fillStyle, TColor fillColor, TPenStyle penStyle,
                      TColor penColor, TPoint centre, int radius, bool raised) const
{
    const auto corners = Corners(centre, radius, geometry_.HexHalfHeight);
    canvas.Pen.Color = penColor;
    canvas.Pen.Style = penStyle;
    canvas.Brush.Color = fillColor;
    canvas.Brush.Style = fillStyle;
    canvas.Polygon(corners);
    if (raised)
        DrawRaisedEdges(canvas, centre, radius);
}

void THexMap::DrawHexOutline(TCanvas& canvas, TPenStyle penStyle, TColor penColor, TPoint centre, int radius,
                             bool raised) const
{
    // Open from the left corner back to the top-left one: in a grid the
    // upper-left neighbour's lower-right edge draws it.
    const auto corners = Corners(centre, radius, geometry_.HexHalfHeight);
    canvas.Pen.Color = penColor;
    canvas.Pen.Style = penStyle;
    canvas.Polyline(corners);
    if (raised)
        DrawRaisedEdges(canvas, centre, radius);
}

void THexMap::DrawRaisedEdges(TCanvas& canvas, TPoint centre, int radius) const
{
    const auto c = Corners(centre, radius, geometry_.HexHalfHeight);
    const QPoint &topLeft = c[0], &topRight = c[1], &right = c[2], &bottomRight = c[3], &bottomLeft = c[4],
                 &left = c[5];
    // Light from the upper left, one pixel inside the outline.
    canvas.Pen.Color = clWhite;
    canvas.MoveTo(bottomLeft.x() + 1, bottomLeft.y() - 1);
    canvas.LineTo(left.x() + 1, left.y());
    canvas.LineTo(topLeft.x() + 1, topLeft.y() + 1);
    canvas.LineTo(topRight.x() - 1, topRight.y() + 1);
    canvas.Pen.Color = clBlack;
    canvas.LineTo(right.x() - 1, right.y());
    canvas.LineTo(bottomRight.x() - 1, bottomRight.y() - 1);
    canvas.LineTo(bottomLeft.x() + 1, bottomLeft.y() - 1);
}

void THexMap::DrawLabel(TPoint cell, TPoint centre) const
{
    const QString text = QString::asprintf("%.2d%.2d", cell.X, cell.Y);
    const int width = mapCanvas_.TextWidth(text), height = mapCanvas_.TextHeight(text);
    mapCanvas_.TextOut(centre.X - width / 2, centre.Y - height, text);
}

void THexMap::BuildPlainMap()
{
    if (useSavedMap_)
        return;
    SizeControl(geometry_.ControlWidth(), geometry_.ControlHeight());
    DrawPlainMap();
}

void THexMap::BuildImageMap()
{
    if (useSavedMap_)
        return;
    LayOutImageMap();
    DrawImageMap();
}

void THexMap::LayOutImageMap()
{
    // The image decides how many cells fit; the counts bypass their setters.
    geometry_.HexColumns = mapImage_.width() / (3 * geometry_.HexRadius / 2);
    geometry_.HexRows = mapImage_.height() / (2 * geometry_.HexHalfHeight);
    SizeControl(mapImage_.width(), mapImage_.height());
}

void THexMap::DrawPlainMap() const
{
    const int width = geometry_.ControlWidth(), height = geometry_.ControlHeight();
    // At the screen's own resolution: on a dense screen the outlines are
    // stepped in its pixels, not enlarged from a small picture.
    mapBitmap_ = DeviceImage(QSize(width, height), devicePixelRatioF(), QImage::Format_RGB32);
    mapCanvas_.Brush.Color = backColor_;
    mapCanvas_.Brush.Style = TBrushStyle::bsSolid;
    mapCanvas_.FillRect(mapBitmap_.rect());
    for (int row = 1; row <= geometry_.HexRows; ++row) {
        for (int column = 1; column <= geometry_.HexColumns; ++column) {
            const TPoint centre = geometry_.ConvertPoint({column, row}, cpCellToPixel);
            if (mapGridOn_)
                DrawHex(mapCanvas_, TBrushStyle::bsSolid, hexColor_, TPenStyle::psSolid, lineColor_, centre,
                        geometry_.HexRadius, hex3d_);
            if (hexShowLabels_)
                DrawLabel({column, row}, centre);
        }
    }
    PictureDrawn();
}

void THexMap::DrawImageMap() const
{
    mapBitmap_ = DeviceImage(mapImage_.size(), devicePixelRatioF(), QImage::Format_RGB32);
    mapCanvas_.Brush.Color = backColor_;
    mapCanvas_.Brush.Style = TBrushStyle::bsSolid;
    mapCanvas_.FillRect(mapBitmap_.rect());
    mapCanvas_.Draw(0, 0, mapImage_);
    for (int row = 1; row <= geometry_.HexRows; ++row) {
        for (int column = 1; column <= geometry_.HexColumns; ++column) {
            const TPoint centre = geometry_.ConvertPoint({column, row}, cpCellToPixel);
            if (mapGridOn_)
                DrawHexOutline(mapCanvas_, TPenStyle::psSolid, lineColor_, centre, geometry_.HexRadius, hex3d_);
            if (hexShowLabels_)
                DrawLabel({column, row}, centre);
        }
    }
    PictureDrawn();
}

void THexMap::PictureDrawn() const
{
    pictureStale_ = false;
    ++pictureBuilds_;
}

void THexMap::InvalidatePicture()
{
    if (useSavedMap_)
        return;
    // The size follows at once, since layouts and hit tests depend on it;
    // the pixels wait until somebody looks at them, so a run of property
    // changes costs one drawing at the end.
    if (noMapImage_)
        SizeControl(geometry_.ControlWidth(), geometry_.ControlHeight());
    else
        LayOutImageMap();
    pictureStale_ = true;
}

void THexMap::EnsurePicture() const
{
    if (!pictureStale_)
        return;
    if (noMapImage_)
        DrawPlainMap();
    else
        DrawImageMap();
}

bool THexMap::TouchesPicture(TPoint centre) const
{
    // Called with the picture up to date.
    const std::int64_t x = centre.X, y = centre.Y, r = geometry_.HexRadius, h = geometry_.HexHalfHeight;
    const QSize size = mapBitmap_.deviceIndependentSize().toSize();
    return x + r >= 0 && x - r < size.width() && y + h >= 0 && y - h < size.height();
}

void THexMap::Rebuild()
{
    InvalidatePicture();
    repaint();
}

void THexMap::LoadMapImage()
{
    // Loaded aside so that a failure leaves the picture and sizes as they were.
    QImageReader reader(mapImageName_);
    QImage loaded = reader.read();
    if (loaded.isNull())
        throw Exception(tr("Obrázek pozadí „%1“ nelze načíst.").arg(mapImageName_));
    mapImage_ = loaded.convertToFormat(QImage::Format_RGB32);
}

bool THexMap::FitsWidget(std::int64_t columns, std::int64_t rows, std::int64_t radius) const
{
    // Beyond Qt's largest widget the size arithmetic would overflow; such a
    // grid is refused and the previous value kept.
    if (radius > QWIDGETSIZE_MAX)
        return false;
    const std::int64_t halfHeight = HalfHeightOf(static_cast<std::int32_t>(radius));
    const std::int64_t width = 3 * radius / 2 * (columns - 1) + 2 * radius;
    const std::int64_t height = 2 * halfHeight * rows + halfHeight;
    return width <= QWIDGETSIZE_MAX && height <= QWIDGETSIZE_MAX;
}

void THexMap::SizeControl(int width, int height)
{
    // Fixed, so that a layout or scroll area holding the control follows the grid.
    setFixedSize(width, height);
}
