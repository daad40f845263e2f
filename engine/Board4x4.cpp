// Sixteen-bit 4 x 4 boards and their numbering.
#include "engine/Board4x4.h"

#include <bit>

namespace {

// The engine numbers cells with a column stride of eleven; the four columns
// of a 4 x 4 board lie at bits 0, 11, 22 and 33 of the low word.
std::uint16_t Compact(TMask set)
{
    const std::uint64_t v = set.Lo;
    return std::uint16_t((v & 0xF) | ((v >> 7) & 0xF0) | ((v >> 14) & 0xF00) | ((v >> 21) & 0xF000));
}

TMask Expand(std::uint16_t bits)
{
    const std::uint64_t v = bits;
    return {(v & 0xF) | ((v & 0xF0) << 7) | ((v & 0xF00) << 14) | ((v & 0xF000) << 21), 0};
}

// The bits of `value` at the places of `mask`, packed low (and back).
std::uint32_t Extract(std::uint32_t value, std::uint32_t mask)
{
    std::uint32_t result = 0;
    for (std::uint32_t bit = 1; mask; mask &= mask - 1, bit <<= 1)
        if (value & mask & (~mask + 1))
            result |= bit;
    return result;
}

std::uint32_t Deposit(std::uint32_t value, std::uint32_t mask)
{
    std::uint32_t result = 0;
    for (std::uint32_t bit = 1; mask; mask &= mask - 1, bit <<= 1)
        if (value & bit)
            result |= mask & (~mask + 1);
    return result;
}

} // namespace

int TBoard4x4::Empties() const
{
    return 16 - std::popcount(std::uint32_t(Red | Blue));
}

TBoard4x4 Board4x4Of(const TPosition& position)
{
    return {Compact(position.Pieces[RedSide]), Compact(position.Pieces[BlueSide]), position.Side};
}

TPosition PositionOf(const TBoard4x4& board)
{
    return TPosition::FromSets(GeometryOf(4, 4), Expand(board.Red), Expand(board.Blue), board.Side);
}

TLayerIndex::TLayerIndex()
{
    for (std::uint32_t set = 0; set < (1u << 16); ++set) {
        auto& sets = sets_[std::size_t(std::popcount(set))];
        rank_[set] = std::uint16_t(sets.size());
        sets.push_back(std::uint16_t(set));
    }
    for (int e = 0; e <= 16; ++e)
        layerSizes_[std::size_t(e)] = std::uint32_t(sets_[std::size_t(e)].size()) << (16 - e) << 1;
}

std::uint32_t TLayerIndex::IndexOf(const TBoard4x4& board) const
{
    const std::uint32_t occupied = board.Red | board.Blue;
    const std::uint32_t empty = ~occupied & 0xFFFF;
    const int pieces = std::popcount(occupied);
    const std::uint32_t colours = Extract(board.Red, occupied);
    return ((std::uint32_t(rank_[empty]) << pieces | colours) << 1) | board.Side;
}

TBoard4x4 TLayerIndex::BoardAt(int empties, std::uint32_t index) const
{
    const int pieces = 16 - empties;
    const std::uint32_t empty = sets_[std::size_t(empties)][index >> 1 >> pieces];
    const std::uint32_t occupied = ~empty & 0xFFFF;
    const std::uint32_t red = Deposit((index >> 1) & ((1u << pieces) - 1), occupied);
    return {std::uint16_t(red), std::uint16_t(occupied & ~red), std::uint8_t(index & 1)};
}
