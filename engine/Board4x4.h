// The 4 x 4 board in sixteen bits per colour, and a dense numbering of its
// positions layer by layer (a layer holds the positions with the same number
// of empty cells): the retrograde analysis stores a value per number, and the
// perfect 4 x 4 player looks positions up by it.
//
// Within a layer of e empty cells a position is numbered by the rank of its
// set of empty cells among all sets of e cells, then by which of the other
// 16 - e cells are Red, then by the side to pick.
#pragma once

#include "engine/Position.h"

#include <array>
#include <cstdint>
#include <vector>

struct TBoard4x4 {
    std::uint16_t Red = 0;
    std::uint16_t Blue = 0;
    std::uint8_t Side = RedSide;

    int Empties() const;
};

// Cell k of the sixteen bits is column k / 4 + 1, row k % 4 + 1.
TBoard4x4 Board4x4Of(const TPosition& position);
TPosition PositionOf(const TBoard4x4& board);

class TLayerIndex {
public:
    TLayerIndex();
    // Positions with `empties` empty cells (0..16).
    std::uint32_t LayerSize(int empties) const { return layerSizes_[std::size_t(empties)]; }
    std::uint32_t IndexOf(const TBoard4x4& board) const;
    TBoard4x4 BoardAt(int empties, std::uint32_t index) const;

private:
    std::array<std::uint16_t, 1 << 16> rank_{};               // of an empty set among sets of its size
    std::array<std::vector<std::uint16_t>, 17> sets_;         // empty sets by size and rank
    std::array<std::uint32_t, 17> layerSizes_{};
};
