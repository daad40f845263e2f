// The board's shape as the engine sees it: cells numbered column by column
// (index = (column - 1) * height + row - 1, so the order of a whole-board
// pass is the order of the indices), the six neighbours and the twelve cells
// two steps away of every cell as sets, and the masks that grow a whole set
// by one step with a handful of shifts. One table per board size, built once
// for all sizes on first use and never changed afterwards, so any number of
// searching threads may read them.
#pragma once

#include "engine/Mask.h"

#include <array>
#include <cstdint>

constexpr int EngineMinSize = 4;
constexpr int EngineMaxSize = 10;
constexpr int EngineMaxCells = EngineMaxSize * EngineMaxSize;

struct TGeometry {
    int Width = 0;
    int Height = 0;
    int Cells = 0;
    int Half = 0; // Cells / 2, remainder dropped: the "half each" draw

    TMask Board;     // every cell of this size
    TMask NotTop;    // cells with a cell above them in their column
    TMask NotBottom; // cells with a cell below them in their column
    TMask OddTops;   // cells of odd columns (1, 3, ...) that are not in the top row
    TMask EvenBottoms; // cells of even columns that are not in the bottom row

    std::array<TMask, EngineMaxCells> Near{};   // distance 1
    std::array<TMask, EngineMaxCells> Far{};    // distance 2
    std::array<std::uint8_t, EngineMaxCells> Column{}; // from 1
    std::array<std::uint8_t, EngineMaxCells> Row{};    // from 1

    int Index(int column, int row) const { return (column - 1) * Height + row - 1; }

    // The cells next to some cell of `set` (the set itself only where two of
    // its cells touch). Each column's odd or even standing decides which
    // diagonal neighbours it has, so the sideways shifts are masked by it.
    TMask Grow(TMask set) const
    {
        const TMask vertical = ((set & NotBottom) << 1) | ((set & NotTop) >> 1);
        const TMask odd = set & OddTops;
        const TMask even = set & EvenBottoms;
        const TMask sideways = (set << Height) | (set >> Height) | (odd << (Height - 1)) | (odd >> (Height + 1))
                               | (even << (Height + 1)) | (even >> (Height - 1));
        return (vertical | sideways) & Board;
    }

    // For every cell, how many of its neighbours lie in `set` (0..6), as three
    // bit planes: bit k of the count of cell i is bit i of planes[k]. The six
    // neighbour directions are six shifts, summed by a bit-sliced adder.
    void CountNeighbours(TMask set, TMask (&planes)[3]) const
    {
        const int h = Height;
        const TMask up = (set & NotBottom) << 1;
        const TMask down = (set & NotTop) >> 1;
        const TMask left = set << h;
        const TMask right = set >> h;
        const TMask upLeftOrDownLeft = (((set << (h + 1)) & OddTops) | ((set << (h - 1)) & EvenBottoms));
        const TMask upRightOrDownRight = (((set >> (h - 1)) & OddTops) | ((set >> (h + 1)) & EvenBottoms)) & Board;
        const TMask sum1 = up ^ down ^ left;
        const TMask carry1 = (up & down) | (left & (up ^ down));
        const TMask sum2 = (right & Board) ^ upLeftOrDownLeft ^ upRightOrDownRight;
        const TMask carry2 = ((right & Board) & upLeftOrDownLeft) | (upRightOrDownRight & ((right & Board) ^ upLeftOrDownLeft));
        planes[0] = (sum1 ^ sum2) & Board;
        const TMask carry0 = sum1 & sum2;
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
