// Drawing the board's marks: outlines set inside the cell's own outline,
// dots and rings round its centre.
#include "hexmap/HexMarks.h"

#include "shell/Canvas.h"

#include <QPainter>
#include <QPolygonF>

#include <algorithm>

namespace {

bool InGrid(const THexGeometry& geometry, TPoint cell)
{
    return cell.X >= 1 && cell.X <= geometry.HexColumns && cell.Y >= 1 && cell.Y <= geometry.HexRows;
}

// The cell's outline moved `inset` pixels inwards on every side: the top
// and bottom edges by `inset`, the slanted ones as far, which takes the
// pointed corners in by 2 / sqrt(3) times as much.
QPolygonF InsetOutline(const THexGeometry& geometry, TPoint cell, double inset)
{
    const TPoint centre = geometry.ConvertPoint(cell, cpCellToPixel);
    const double x = centre.X, y = centre.Y;
    const double radius = std::max(1.0, geometry.HexRadius - inset * 1.1547);
    const double half = std::max(1.0, geometry.HexHalfHeight - inset);
    return QPolygonF({{x - radius / 2, y - half}, {x + radius / 2, y - half}, {x + radius, y},
                      {x + radius / 2, y + half}, {x - radius / 2, y + half}, {x - radius, y}});
}

void DrawOutline(QPainter& painter, const THexGeometry& geometry, TPoint cell, double inset, double width,
                 TColor color)
{
    // A pen of odd width is centred on pixel centres, one of even width on
    // the lines between pixels, so the outline is sharp at either.
    QPolygonF outline = InsetOutline(geometry, cell, inset);
    if (int(width) % 2 == 1)
        outline.translate(0.5, 0.5);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(ColorToQColor(color), width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolygon(outline);
}

} // namespace

QRect CellSquare(const THexGeometry& geometry, TPoint cell)
{
    const TPoint centre = geometry.ConvertPoint(cell, cpCellToPixel);
    const int radius = geometry.HexRadius, half = geometry.HexHalfHeight;
    return QRect(centre.X - radius, centre.Y - half, 2 * radius + 1, 2 * half + 1);
}

QRegion MarksRegion(const THexGeometry& geometry, const THexMarks& marks)
{
    QRegion region;
    const auto add = [&](TPoint cell) {
        if (InGrid(geometry, cell))
            region += CellSquare(geometry, cell);
    };
    for (const TPoint cell : marks.CopyTargets)
        add(cell);
    for (const TPoint cell : marks.JumpTargets)
        add(cell);
    add(marks.LastFrom);
    add(marks.LastTo);
    add(marks.Cursor);
    return region;
}

void DrawHexMarks(QPainter& painter, const THexGeometry& geometry, const THexMarks& marks)
{
    if (marks.Empty() || geometry.HexRadius <= 0)
        return;
    painter.save();
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    const double radius = geometry.HexRadius;

    // Round marks are smoothed: they lie inside a cell, away from its outline.
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QColor target = ColorToQColor(marks.TargetColor);
    const QColor rim = QColor(0, 0, 0, 160);
    for (const TPoint cell : marks.CopyTargets) {
        if (!InGrid(geometry, cell))
            continue;
        const TPoint centre = geometry.ConvertPoint(cell, cpCellToPixel);
        const double dot = std::max(2.0, radius / 5);
        painter.setPen(QPen(rim, 1.0));
        painter.setBrush(target);
        painter.drawEllipse(QPointF(centre.X + 0.5, centre.Y + 0.5), dot, dot);
    }
    for (const TPoint cell : marks.JumpTargets) {
        if (!InGrid(geometry, cell))
            continue;
        const TPoint centre = geometry.ConvertPoint(cell, cpCellToPixel);
        const double ring = std::max(3.0, radius * 2 / 5), width = std::max(1.5, radius / 10);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(rim, width + 2));
        painter.drawEllipse(QPointF(centre.X + 0.5, centre.Y + 0.5), ring, ring);
        painter.setPen(QPen(target, width));
        painter.drawEllipse(QPointF(centre.X + 0.5, centre.Y + 0.5), ring, ring);
    }

    for (const TPoint cell : {marks.LastFrom, marks.LastTo})
        if (InGrid(geometry, cell))
            DrawOutline(painter, geometry, cell, 3, 1, LastMoveMarkColor);
    if (InGrid(geometry, marks.Cursor))
        DrawOutline(painter, geometry, marks.Cursor, 2, 2, CursorMarkColor);
    painter.restore();
}
