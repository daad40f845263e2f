// The game as the players see it: a press on the board picks a piece or
// moves it, and the move is settled with captures, scores, the fill for a
// blocked side and the end of the game. Abstract from any drawing: every
// visible effect goes through IGameView, in the order the players see it.
#pragma once

#include "game/GameState.h"
#include "game/GameView.h"

class TGameHistory;

class TGameLogic {
public:
    TGameLogic(TGameState& state, IGameView& view);

    // Every move made from here on is recorded in `history`; none by default.
    void SetHistory(TGameHistory* history) { history_ = history; }

    // A press of any mouse button at a pixel of the board.
    void SelectHex(int x, int y);
    // Settles a move that has just put the mover's piece on `target`.
    void ResolveMove(TPoint target);

private:
    void MakeMove(TPoint target, std::int32_t distance);
    void FillForMover(TColor mover, int moverCount);
    void EndGame(TPodiumOutcome outcome);
    void Play(const char* fileName);

    TGameState& state_;
    IGameView& view_;
    TGameHistory* history_ = nullptr;
};

// Puts a fresh board in place: both corners occupied, `firstPlayer` to pick
// (0 Red, 1 Blue), nothing selected.
void SetUpNewBoard(TGameState& state, std::uint8_t firstPlayer);
