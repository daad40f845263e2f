// Taking moves back and playing them again, and the marks that help the
// players read the board: where a picked piece can go, which move was
// last. It works on the game's variables and its history and shows every
// change through IGameView, as the rules do, so it needs no window.
#pragma once

#include "game/GameHistory.h"
#include "game/GameView.h"
#include "game/Moves.h"

#include <cstdint>
#include <functional>
#include <optional>

// The marks to draw over the board; empty where the options are off.
struct TBoardMarks {
    TMoveTargets Targets; // of the picked piece
    TPoint LastFrom;      // (0, 0): no last move shown
    TPoint LastTo;

    friend bool operator==(const TBoardMarks& a, const TBoardMarks& b)
    {
        return a.Targets.Copies == b.Targets.Copies && a.Targets.Jumps == b.Targets.Jumps &&
               a.LastFrom == b.LastFrom && a.LastTo == b.LastTo;
    }
};

class TPlayComfort {
public:
    TPlayComfort(TGameState& state, TGameHistory& history, IGameView& view);

    // Hooks for a computer player, both empty by default (every side is a
    // person, nothing runs in the background). With a computer side, a take
    // back goes to the person's turn: the computer's move and the person's
    // before it. A search that is running is cancelled first.
    std::function<bool(std::uint8_t side)> IsComputer;
    std::function<void()> CancelThinking;

    // Is there a move (or a pick) to take back, a move to play again?
    bool CanUndo() const;
    bool CanRedo() const;
    // Each shows the position it reaches: the cells that differ, both
    // scores, the turn indicator. False, and nothing changes, when there was
    // nothing to do.
    bool Undo();
    bool Redo();

    // The marks the options ask for in the position shown.
    TBoardMarks Marks() const;

private:
    // The side a take back returns to, or none when every side is a person
    // (or none is).
    std::optional<std::uint8_t> PersonAgainstComputer() const;
    std::optional<TPoint> PickedCell() const;
    void Show(const TGameBoard& before, std::optional<TPoint> picked);
    void DropPick();

    TGameState& state_;
    TGameHistory& history_;
    IGameView& view_;
};
