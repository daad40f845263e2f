// Marks the board shows over its picture without changing it: where a
// picked piece can go (a dot on a copy target, a ring on a jump target), a
// thin outline on the origin and the target of the last move, and the
// keyboard cursor. They are drawn when the control is painted, on top of
// the picture's copy, so the picture keeps exactly the colours the game
// painted into it.
#pragma once

#include "hexmap/HexGeometry.h"
#include "shell/Colors.h"

#include <QRect>
#include <QRegion>

#include <vector>

class QPainter;

struct THexMarks {
    std::vector<TPoint> CopyTargets;
    std::vector<TPoint> JumpTargets;
    TColor TargetColor = clWhite;
    TPoint LastFrom;  // (0, 0): none
    TPoint LastTo;
    TPoint Cursor;    // (0, 0): not shown

    bool Empty() const
    {
        return CopyTargets.empty() && JumpTargets.empty() && LastFrom == TPoint{} && LastTo == TPoint{} &&
               Cursor == TPoint{};
    }
};

// The colours of the outlines, bright against grey, red, blue and the
// highlight colours alike.
constexpr TColor LastMoveMarkColor = clLime;
constexpr TColor CursorMarkColor = clYellow;

// The square around a cell (its outline included) in the control's pixels.
QRect CellSquare(const THexGeometry& geometry, TPoint cell);

// The squares of every cell that carries a mark, for repainting only them.
QRegion MarksRegion(const THexGeometry& geometry, const THexMarks& marks);

// Draws the marks of the cells inside the grid, in the control's logical
// pixels; the painter's device decides the resolution.
void DrawHexMarks(QPainter& painter, const THexGeometry& geometry, const THexMarks& marks);
