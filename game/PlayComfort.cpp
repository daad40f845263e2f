// Undo, redo and the board marks on top of the game's history.
#include "game/PlayComfort.h"

TPlayComfort::TPlayComfort(TGameState& state, TGameHistory& history, IGameView& view)
    : state_(state)
    , history_(history)
    , view_(view)
{
}

std::optional<std::uint8_t> TPlayComfort::PersonAgainstComputer() const
{
    if (!IsComputer)
        return std::nullopt;
    const bool red = IsComputer(0), blue = IsComputer(1);
    if (red == blue)
        return std::nullopt;
    return red ? std::uint8_t(1) : std::uint8_t(0);
}

bool TPlayComfort::CanUndo() const
{
    if (state_.SelectionState != 0)
        return true;
    const auto person = PersonAgainstComputer();
    return person ? history_.CanUndoUntil(*person) : history_.CanUndo();
}

bool TPlayComfort::CanRedo() const
{
    return history_.CanRedo();
}

bool TPlayComfort::Undo()
{
    // The computer must not answer a position that is about to go away.
    if (CancelThinking)
        CancelThinking();
    const TGameBoard before = state_.GameBoard;
    const std::optional<TPoint> picked = PickedCell();
    const auto person = PersonAgainstComputer();
    const bool undone = person ? history_.UndoUntil(state_, *person) : history_.Undo(state_);
    if (!undone) {
        if (state_.SelectionState == 0)
            return false;
        // Nothing before it: the pick alone is taken back.
        DropPick();
    }
    Show(before, picked);
    return true;
}

bool TPlayComfort::Redo()
{
    if (CancelThinking)
        CancelThinking();
    const TGameBoard before = state_.GameBoard;
    const std::optional<TPoint> picked = PickedCell();
    const auto person = PersonAgainstComputer();
    if (!(person ? history_.RedoUntil(state_, *person) : history_.Redo(state_)))
        return false;
    Show(before, picked);
    return true;
}

std::optional<TPoint> TPlayComfort::PickedCell() const
{
    if (state_.SelectionState == 0 || !state_.OnBoard(state_.SelectedCell))
        return std::nullopt;
    return state_.SelectedCell;
}

void TPlayComfort::DropPick()
{
    state_.CurrentPlayer = PositionOf(state_).CurrentPlayer;
    state_.SelectionState = 0;
}

void TPlayComfort::Show(const TGameBoard& before, std::optional<TPoint> picked)
{
    // The board array is what the picture shows, but for the picked piece,
    // which is shown in its highlight colour; only those cells are painted.
    ForEachCell(state_.Size(), [&](TPoint cell) {
        if (state_.GameBoard[cell] != before[cell] || cell == picked)
            view_.PaintCell(cell, state_.GameBoard[cell]);
    });
    const TPieceCount count = CountPieces(state_.GameBoard, state_.Size());
    view_.ShowScore(TSide::Red, count.Red);
    view_.ShowScore(TSide::Blue, count.Blue);
    view_.UpdateTurnIndicator();
}

TBoardMarks TPlayComfort::Marks() const
{
    TBoardMarks marks;
    if (state_.SelectionState != 0) {
        if (state_.HintsEnabled == 1 && state_.OnBoard(state_.SelectedCell))
            marks.Targets = MoveTargets(state_.GameBoard, state_.Size(), state_.SelectedCell);
    } else if (state_.LastMoveEnabled == 1) {
        // Until the next pick.
        if (const auto last = history_.LastMove()) {
            marks.LastFrom = last->From;
            marks.LastTo = last->To;
        }
    }
    return marks;
}
