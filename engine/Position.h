// A position as the engine keeps it: one cell set per colour, the side to
// pick and a Zobrist key, with the rules of the game on top: the moves, what
// a move does, and how the game ends. The end rules follow the window's
// order exactly: after a move, "both hold exactly half the cells" is a draw
// before anything else; otherwise, if the side now to pick has no move, the
// mover takes every empty cell and the larger side wins, a tie going to Red.
#pragma once

#include "engine/Geometry.h"

#include <array>
#include <cstdint>

enum : std::uint8_t { RedSide = 0, BlueSide = 1 };

// A copy is stored with its origin equal to its target: copies to the same
// empty cell are one move, whichever neighbour they come from.
struct TEngineMove {
    std::uint8_t From = 0;
    std::uint8_t To = 0;

    static constexpr TEngineMove Copy(int to) { return {std::uint8_t(to), std::uint8_t(to)}; }
    static constexpr TEngineMove Jump(int from, int to) { return {std::uint8_t(from), std::uint8_t(to)}; }
    constexpr bool IsCopy() const { return From == To; }
    constexpr std::uint16_t Code() const { return std::uint16_t(From << 8 | To); }
    friend constexpr bool operator==(TEngineMove, TEngineMove) = default;
};

// No move at all, for "none found" and empty table slots: cell 127 never
// exists on a board of at most 100 cells.
constexpr TEngineMove NoEngineMove{127, 127};

enum class TResult : std::uint8_t { None, Draw, RedWins, BlueWins };

// Copies, then jumps, both as the engine stores them. Bounded by 100 copies
// and 12 jumps for each (piece, empty cell) pair at distance 2: at most 600.
constexpr int MaxEngineMoves = 704;

struct TMoveList {
    std::array<TEngineMove, MaxEngineMoves> Moves;
    int Count = 0;

    void Add(TEngineMove move) { Moves[Count++] = move; }
    const TEngineMove* begin() const { return Moves.data(); }
    const TEngineMove* end() const { return Moves.data() + Count; }
    TEngineMove operator[](int i) const { return Moves[i]; }
};

// Random keys of (colour, cell) and of Blue to pick, fixed at compile time.
namespace Zobrist {
constexpr std::uint64_t SplitMix(std::uint64_t& state)
{
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}
constexpr std::array<std::uint64_t, 2 * 128 + 1> MakeKeys()
{
    std::array<std::uint64_t, 2 * 128 + 1> keys{};
    std::uint64_t state = 0x5A656C766F6E2121ull;
    for (auto& key : keys)
        key = SplitMix(state);
    return keys;
}
inline constexpr std::array<std::uint64_t, 2 * 128 + 1> Keys = MakeKeys();

constexpr std::uint64_t Piece(int side, int index) { return Keys[side * 128 + index]; }
// A capture turns a cell from one colour to the other.
constexpr std::uint64_t Flip(int index) { return Keys[index] ^ Keys[128 + index]; }
constexpr std::uint64_t SideToPick() { return Keys[256]; }
} // namespace Zobrist

struct TPosition {
    const TGeometry* Geo = nullptr;
    std::array<TMask, 2> Pieces{};
    std::uint8_t Side = RedSide; // the side to pick
    std::uint64_t Hash = 0;

    // The start position of a size: Red top left, Blue bottom right.
    static TPosition Start(int width, int height, int side = RedSide);
    // A position from cell sets; the key is computed here.
    static TPosition FromSets(const TGeometry& geometry, TMask red, TMask blue, int side);

    TMask Empty() const { return Geo->Board & ~(Pieces[0] | Pieces[1]); }
    TMask Own() const { return Pieces[Side]; }
    TMask Opponent() const { return Pieces[Side ^ 1]; }
    std::uint64_t ComputeHash() const;

    // Empty cells a copy of the side to pick reaches.
    TMask CopyTargets() const { return Geo->Grow(Own()) & Empty(); }
    void GenerateMoves(TMoveList& list) const;
    // The number of legal moves, without listing them.
    int CountMoves() const;
    bool CanMove(int side) const
    {
        // A copy is nearly always there; jumps are looked for only without one.
        const TMask empty = Empty();
        const TMask near = Geo->Grow(Pieces[side]);
        return (near & empty).Any() || (Geo->Grow(near) & empty).Any();
    }
    // Is the move one of the side to pick's legal moves?
    bool IsLegal(TEngineMove move) const;
    // Opposing neighbours a piece of the side to pick would turn at `to`.
    TMask CapturesAt(int to) const { return Geo->Near[to] & Opponent(); }

    // Plays a legal move of the side to pick; the turn passes to the other.
    void Play(TEngineMove move)
    {
        const TMask to = TMask::Bit(move.To);
        const TMask captured = Geo->Near[move.To] & Pieces[Side ^ 1];
        TMask& own = Pieces[Side];
        own |= to | captured;
        Hash ^= Zobrist::Piece(Side, move.To) ^ Zobrist::SideToPick();
        if (!move.IsCopy()) {
            own ^= TMask::Bit(move.From);
            Hash ^= Zobrist::Piece(Side, move.From);
        }
        Pieces[Side ^ 1] ^= captured;
        ForEachBit(captured, [&](int cell) { Hash ^= Zobrist::Flip(cell); });
        Side ^= 1;
    }

    // How the game stands once the other side has moved into this position:
    // None while it goes on. A position in which the side to pick cannot
    // move is over, for the mover takes the empty cells.
    TResult Outcome() const;

    friend bool operator==(const TPosition& a, const TPosition& b)
    {
        return a.Geo == b.Geo && a.Pieces == b.Pieces && a.Side == b.Side;
    }
};

// Leaf count of all move sequences of `depth` moves; a move that ends the
// game is one leaf whatever depth remains.
std::uint64_t Perft(const TPosition& position, int depth);
