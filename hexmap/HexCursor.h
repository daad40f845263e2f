// Where the board's keyboard cursor goes: from cell to neighbouring cell
// with the arrow keys, to the ends of a column with Home and End. Pure
// arithmetic on the grid's size, so it is tested without a window.
#pragma once

#include "hexmap/HexGeometry.h"

#include <optional>

enum class TCursorStep : std::uint8_t {
    Left,         // to the next column on the left
    Right,        // to the next column on the right
    Up,           // up the column
    Down,         // down the column
    ColumnTop,    // Home
    ColumnBottom, // End
};

// The nearest cell of a grid of columns x rows (each at least 1): where the
// cursor stands after the grid has shrunk beneath it, or before it was
// ever placed.
TPoint ClampToGrid(TPoint cell, std::int32_t columns, std::int32_t rows);

// The cell one step from `cell`. A step to the side keeps the row number:
// whichever way the columns are offset, that cell is a neighbour, and going
// back returns to the same cell. At an edge the cursor stays where it is.
TPoint StepCursor(TPoint cell, TCursorStep step, std::int32_t columns, std::int32_t rows);

// The step an arrow key, Home or End asks for (Qt::Key values); nothing for
// any other key.
std::optional<TCursorStep> CursorStepOfKey(int key);
