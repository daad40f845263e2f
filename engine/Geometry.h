// The board's shape as the engine sees it. Cells are numbered column by
// column with a fixed stride of eleven whatever the size: index = (column -
// 1) * 11 + row - 1, so the order of the indices is the order of a whole-board
// pass, and below every column lies at least one index that is never a cell.
// A shift by 1 moves a set one row, by 11 one column, and whatever a shift
// pushes over the top or bottom of a column lands outside the board, so
// growing a set by one step is eight shifts by constants and one mask. The
// tables hold the six neighbours and the twelve cells two steps away of every
// cell. One table per board size, built once for all sizes on first use and
// never changed afterwards, so any number of searching threads may read them.
#pragma once

#include "engine/Mask.h"

#include <array>
#include <cstdint>

constexpr int EngineMinSize = 4;
constexpr int EngineMaxSize = 10;
constexpr int ColumnStride = 11;
constexpr int EngineMaxIndex = (EngineMaxSize - 1) * ColumnStride + EngineMaxSize; // one past the last index

struct TGeometry {
    int Width = 0;
    int Height = 0;
    int Cells = 0;
    int Half = 0; // Cells / 2, remainder dropped: the "half each" draw

    TMask Board;       // every cell of this size
    TMask OddColumns;  // cells of columns 1, 3, ...: they stand half a cell higher

    std::array<TMask, EngineMaxIndex> Near{};   // distance 1
    std::array<TMask, EngineMaxIndex> Far{};    // distance 2
    std::array<std::uint8_t, EngineMaxIndex> Column{}; // from 1
    std::array<std::uint8_t, EngineMaxIndex> Row{};    // from 1

    static constexpr int Index(int column, int row) { return (column - 1) * ColumnStride + row - 1; }
    bool OnBoard(int index) const { return index >= 0 && index < EngineMaxIndex && Board.Has(index); }

    // The cells next to some cell of `set` (the set itself only where two of
    // its cells touch). Odd columns reach the row above in the columns beside
    // them, even columns the row below.
    TMask Grow(TMask set) const
    {
        const TMask odd = set & OddColumns;
        const TMask even = set ^ odd;
        return ((set << 1) | (set >> 1) | (set << ColumnStride) | (set >> ColumnStride) | (odd << (ColumnStride - 1))
                | (odd >> (ColumnStride + 1)) | (even << (ColumnStride + 1)) | (even >> (ColumnStride - 1)))
               & Board;
    }

    // For every cell, how many of its neighbours lie in `set` (0..6), as three
    // bit planes: bit k of the count of cell i is bit i of planes[k]. The six
    // neighbour directions are six shifts, summed by a bit-sliced adder.
    ZELVON_INLINE void CountNeighbours(TMask set, TMask (&planes)[3]) const
    {
        // The neighbour above and below, left and right in the same row, and
        // the two diagonal ones, which lie a row up for odd columns and a row
        // down for even ones.
        const TMask above = set << 1;
        const TMask below = set >> 1;
        const TMask left = set << ColumnStride;
        const TMask right = set >> ColumnStride;
        const TMask diagonalLeft = ((set << (ColumnStride + 1)) & OddColumns) | ((set << (ColumnStride - 1)) & ~OddColumns);
        const TMask diagonalRight = ((set >> (ColumnStride - 1)) & OddColumns) | ((set >> (ColumnStride + 1)) & ~OddColumns);
        const TMask sum1 = above ^ below ^ left;
        const TMask carry1 = (above & below) | (left & (above ^ below));
        const TMask sum2 = right ^ diagonalLeft ^ diagonalRight;
        const TMask carry2 = (right & diagonalLeft) | (diagonalRight & (right ^ diagonalLeft));
        const TMask carry0 = sum1 & sum2;
        planes[0] = (sum1 ^ sum2) & Board;
        planes[1] = (carry1 ^ carry2 ^ carry0) & Board;
        planes[2] = ((carry1 & carry2) | (carry0 & (carry1 ^ carry2))) & Board;
    }

    // Every cell within two steps of some cell of `set`, the set included.
    TMask GrowTwice(TMask set) const
    {
        const TMask once = set | Grow(set);
        return once | Grow(once);
    }
};

// The table of a board size; width and height must lie in 4..10.
const TGeometry& GeometryOf(int width, int height);

// Steps between two cells through neighbouring cells.
int CellDistance(int column1, int row1, int column2, int row2);
