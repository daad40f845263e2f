// The rules as pure functions of a board value: which cells a piece reaches,
// what a move does to the board, which pieces it captures, whether a side can
// move at all. No painting and no sound, so a computer player can search
// positions with exactly the rules the window plays by.
#pragma once

#include "game/GameState.h"

#include <vector>

enum class TMoveKind : std::uint8_t { None, Copy, Jump };

struct TMove {
    TPoint From;
    TPoint To;

    friend bool operator==(const TMove&, const TMove&) = default;
};

// A copy reaches the six neighbours, a jump the twelve cells two steps away,
// whatever stands between.
constexpr TMoveKind MoveKindOf(std::int32_t distance)
{
    return distance == 1 ? TMoveKind::Copy : distance == 2 ? TMoveKind::Jump : TMoveKind::None;
}

constexpr TColor OpponentOf(TColor side) { return side == clRed ? clBlue : clRed; }

// Distances on the board in use; the same numbers the board control measures.
std::int32_t BoardDistance(TBoardSize size, TPoint a, TPoint b);

// The opposing neighbours of `target` that a piece of `mover` arriving there
// turns, in the order they are examined.
TNeighbours FindCaptures(const TGameBoard& board, TBoardSize size, TPoint target, TColor mover);

// Does `side` have a piece with an empty cell at distance 1 or 2?
bool CanMove(const TGameBoard& board, TBoardSize size, TColor side);

// Every legal move of `side`, origins and targets in column-by-column order.
std::vector<TMove> GenerateMoves(const TGameBoard& board, TBoardSize size, TColor side);

// The empty cells a piece on `from` reaches, each kind in column-by-column
// order: what the board marks as possible moves after a pick.
struct TMoveTargets {
    std::vector<TPoint> Copies;
    std::vector<TPoint> Jumps;
};
TMoveTargets MoveTargets(const TGameBoard& board, TBoardSize size, TPoint from);

// Plays a legal move of `mover` on the board: the target and the captured
// neighbours take the mover's colour, a jump empties its origin.
TMoveKind ApplyMove(TGameBoard& board, TBoardSize size, const TMove& move, TColor mover);
