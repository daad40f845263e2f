#include "hexmap/HexCursor.h"

#include <Qt>

#include <algorithm>

TPoint ClampToGrid(TPoint cell, std::int32_t columns, std::int32_t rows)
{
    return {std::clamp(cell.X, 1, std::max(columns, 1)), std::clamp(cell.Y, 1, std::max(rows, 1))};
}

TPoint StepCursor(TPoint cell, TCursorStep step, std::int32_t columns, std::int32_t rows)
{
    TPoint next = ClampToGrid(cell, columns, rows);
    switch (step) {
    case TCursorStep::Left:
        next.X = std::max(next.X - 1, 1);
        break;
    case TCursorStep::Right:
        next.X = std::min(next.X + 1, std::max(columns, 1));
        break;
    case TCursorStep::Up:
        next.Y = std::max(next.Y - 1, 1);
        break;
    case TCursorStep::Down:
        next.Y = std::min(next.Y + 1, std::max(rows, 1));
        break;
    case TCursorStep::ColumnTop:
        next.Y = 1;
        break;
    case TCursorStep::ColumnBottom:
        next.Y = std::max(rows, 1);
        break;
    }
    return next;
}

std::optional<TCursorStep> CursorStepOfKey(int key)
{
    switch (key) {
    case Qt::Key_Left:
        return TCursorStep::Left;
    case Qt::Key_Right:
        return TCursorStep::Right;
    case Qt::Key_Up:
        return TCursorStep::Up;
    case Qt::Key_Down:
        return TCursorStep::Down;
    case Qt::Key_Home:
        return TCursorStep::ColumnTop;
    case Qt::Key_End:
        return TCursorStep::ColumnBottom;
    default:
        return std::nullopt;
    }
}
