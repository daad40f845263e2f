// The moves of the game so far, for taking them back and playing them again.
// It keeps the position between moves (board in use and side to pick) before
// and after every whole move: the copy or jump, its captures and the fill
// that followed. The rules tell it about each move as it is made
// (TGameLogic::SetHistory); the window tells it about each new board.
//
//   history.NewGame(game);                 // after every set-up of a board
//   history.Undo(game) / Redo(game)        // then repaint the board, scores
//                                          // and turn indicator from `game`
//   history.UndoUntil(game, humanSide)     // against the computer
//
// After a game has ended, the new game's first board still lets one Undo
// bring back the ended game, with its last move taken back; the first move
// of the new game forgets the ended one. A new board that does not follow
// the end of a game (Restart, a new size) starts the history afresh.
#pragma once

#include "game/Moves.h"

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

// A position between moves.
struct TGamePosition {
    TGameBoard Board;               // cells outside the board in use are empty
    TBoardSize Size;
    std::uint8_t CurrentPlayer = 0; // the side to pick: 0 Red, 1 Blue

    TPieceCount Count() const { return CountPieces(Board, Size); }

    friend bool operator==(const TGamePosition&, const TGamePosition&) = default;
};

// The game's position with a pick still pending left out: the picking side
// is to pick.
TGamePosition PositionOf(const TGameState& state);

class TGameHistory {
public:
    // Enough for any game a player sits through; older moves go first.
    static constexpr std::size_t MaxMoves = 1000;

    // Forgets everything, also an ended game.
    void Clear();
    // A new board is in place. It keeps an ended game behind it only when
    // the last recorded move ended that game.
    void NewGame(const TGameState& state);

    // The rules' side: a move of the picked piece to `move.To` begins, on
    // the board as it stands before it.
    void BeginMove(const TGameState& state, const TMove& move);
    // The move has been settled and the game goes on.
    void EndMove(const TGameState& state);
    // The move has ended the game; the next NewGame follows it.
    void GameOver();

    bool CanUndo() const;
    bool CanRedo() const;
    // Is there an earlier position with `side` (0 Red, 1 Blue) to pick?
    bool CanUndoUntil(std::uint8_t side) const;

    // Each writes a position into `state` (board in use, its size, counts
    // derived from it, side to pick; nothing selected) and says whether it
    // did. A pending pick is dropped with it.
    bool Undo(TGameState& state);
    bool Redo(TGameState& state);
    // Back to the nearest earlier position with `side` to pick: against the
    // computer, its move and the player's move before it.
    bool UndoUntil(TGameState& state, std::uint8_t side);
    // Forward to the nearest later position with `side` to pick, or to the
    // newest one.
    bool RedoUntil(TGameState& state, std::uint8_t side);

    // The move that led to the position shown; none on a game's first board.
    std::optional<TMove> LastMove() const;
    // The positions of the game shown, from its first board to the one
    // shown, for the computer player's repetition rule.
    std::span<const TGamePosition> Positions() const;

private:
    struct TStep {
        TMove Move;
        bool EndedGame = false; // leads to the first board of the next game
    };

    void StartAfresh(const TGamePosition& position);
    void ForgetOldest(std::size_t count);
    void Show(std::size_t index, TGameState& state);

    // steps_[i] leads from positions_[i] to positions_[i + 1].
    std::vector<TGamePosition> positions_;
    std::vector<TStep> steps_;
    std::size_t current_ = 0;   // the position shown
    std::size_t gameStart_ = 0; // the first board of the newest game
    std::optional<TMove> pending_;
    bool gameOver_ = false;
};
