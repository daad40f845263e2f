// Between the game's types and the engine's: the window keeps its board as
// colour values (TGameBoard) and names moves by cells (TMove); the engine
// keeps cell sets. Highlight colours count for their side, as on screen.
#pragma once

#include "engine/Position.h"
#include "game/Moves.h"

#include <optional>

// The board in use with `sideToPick` to pick, 0 for Red and 1 for Blue (the
// game's CurrentPlayer while nothing is selected). The size must lie in
// 4..10 each way.
TPosition PositionFromGame(const TGameBoard& board, TBoardSize size, int sideToPick);

// Writes the position's pieces into the board in use; other cells stay.
void PositionToGame(const TPosition& position, TGameBoard& board);

// The move as the window plays it: the piece to pick and the cell to press.
// A copy starts from the first of the target's neighbours, in column-by-column
// order, that holds a piece of the side to pick.
TMove MoveToGame(const TPosition& position, TEngineMove move);

// The engine's move for a legal move of the window; nothing for an illegal one.
std::optional<TEngineMove> MoveFromGame(const TPosition& position, const TMove& move);
