#include "game/GameLogic.h"

#include "game/GameHistory.h"
#include "game/Moves.h"

#include <algorithm>

namespace {

constexpr std::uint8_t SelectionBlue = 1;
constexpr std::uint8_t SelectionRed = 2;

} // namespace

TGameLogic::TGameLogic(TGameState& state, IGameView& view)
    : state_(state)
    , view_(view)
{
}

void TGameLogic::Play(const char* fileName)
{
    if (state_.SoundEnabled == 1)
        view_.PlayEffect(QString::fromLatin1(fileName));
}

void TGameLogic::SelectHex(int x, int y)
{
    const TPoint cell = view_.BoardGeometry().ConvertPoint({x, y}, cpPixelToCell);
    if (!state_.OnBoard(cell))
        return;

    const TColor content = state_.GameBoard[cell];
    const bool isPiece = content == clRed || content == clBlue;
    const std::uint8_t selectionCode = content == clRed ? SelectionRed : SelectionBlue;
    const std::uint8_t pickValue = content == clRed ? 0 : 1;
    const bool newPick = isPiece && state_.SelectionState == 0 && state_.CurrentPlayer == pickValue;
    const bool changeOfPick = isPiece && state_.SelectionState == selectionCode;

    const bool targetEmpty = content == clGray;
    const std::int32_t distance = BoardDistance(state_.Size(), state_.SelectedCell, cell);

    if (!newPick && !changeOfPick) {
        if (state_.SoundEnabled == 1 && (state_.SelectionState == 0 || !targetEmpty || distance > 2))
            Play("ding.wav");
        else if (state_.SelectionState != 0 && targetEmpty && MoveKindOf(distance) != TMoveKind::None)
            MakeMove(cell, distance);
        return;
    }

    view_.PaintCell(state_.SelectedCell, state_.GameBoard[state_.SelectedCell]);
    view_.PaintCell(cell, content == clRed ? clFuchsia : clAqua);
    if (newPick) {
        state_.SelectionState = selectionCode;
        state_.CurrentPlayer = state_.CurrentPlayer == 0 ? 1 : 0;
    }
    state_.SelectedCell = cell;
}

void TGameLogic::MakeMove(TPoint target, std::int32_t distance)
{
    const TColor mover = state_.SelectionState == SelectionBlue ? clBlue : clRed;
    if (history_)
        history_->BeginMove(state_, {state_.SelectedCell, target});
    Play(distance == 1 ? "pop.wav" : "laser.wav");
    view_.PaintCell(state_.SelectedCell, mover);
    state_.GameBoard[target] = mover;
    view_.PaintCell(target, mover);
    if (distance == 2) {
        state_.GameBoard[state_.SelectedCell] = clGray;
        view_.PaintCell(state_.SelectedCell, clGray);
    }
    state_.SelectionState = 0;
    view_.UpdateTurnIndicator();
    ResolveMove(target);
}

void TGameLogic::ResolveMove(TPoint target)
{
    // The pick already handed the turn over, so CurrentPlayer names the opponent.
    const TColor mover = state_.CurrentPlayer == 1 ? clRed : clBlue;
    const TColor opponent = OpponentOf(mover);
    const TBoardSize size = state_.Size();

    bool captured = false;
    for (const TPoint cell : FindCaptures(state_.GameBoard, size, target, mover)) {
        if (!captured)
            Play("explode.wav");
        captured = true;
        state_.GameBoard[cell] = mover;
        view_.PaintCell(cell, mover);
    }

    const TPieceCount count = CountPieces(state_.GameBoard, size);
    view_.ShowScore(TSide::Blue, count.Blue);
    view_.ShowScore(TSide::Red, count.Red);

    const bool opponentCanMove = CanMove(state_.GameBoard, size, opponent);
    if (count.Blue == state_.HalfCells && count.Red == state_.HalfCells) {
        EndGame(poDraw);
        return;
    }
    if (!opponentCanMove)
        FillForMover(mover, mover == clRed ? count.Red : count.Blue);

    const TPieceCount final = CountPieces(state_.GameBoard, size);
    int red = final.Red, blue = final.Blue;
    // A full board goes to the larger side; a tie left by the fill goes to Red.
    if (red + blue == state_.TotalCells) {
        if (blue > red) {
            blue = 1;
            red = 0;
        } else {
            red = 1;
            blue = 0;
        }
    }
    if (blue == 0 || red == 0)
        EndGame(blue == 0 ? poRedWon : poBlueWon);
    else if (history_)
        history_->EndMove(state_);
}

void TGameLogic::FillForMover(TColor mover, int moverCount)
{
    const TSide side = mover == clRed ? TSide::Red : TSide::Blue;
    int empty = 0;
    ForEachCell(state_.Size(), [&](TPoint cell) { empty += state_.GameBoard[cell] == clGray; });
    // One cell every 50 ms from the start of the fill.
    TPace pace(empty, 50);
    ForEachCell(state_.Size(), [&](TPoint cell) {
        if (state_.GameBoard[cell] != clGray)
            return;
        state_.GameBoard[cell] = mover;
        view_.PaintCell(cell, mover);
        Play("pop.wav");
        view_.ShowScore(side, ++moverCount);
        view_.Wait(pace);
    });
}

void TGameLogic::EndGame(TPodiumOutcome outcome)
{
    if (history_)
        history_->GameOver();
    view_.ShowPodium(outcome);
    view_.Restart();
}

void SetUpNewBoard(TGameState& state, std::uint8_t firstPlayer)
{
    // The board holds at most 10 x 10 cells whatever the settings say.
    state.BoardWidth = std::clamp<std::uint8_t>(state.BoardWidth, MinBoardSize, MaxBoardSize);
    state.BoardHeight = std::clamp<std::uint8_t>(state.BoardHeight, MinBoardSize, MaxBoardSize);
    state.CurrentPlayer = firstPlayer;
    state.TotalCells = static_cast<std::uint8_t>(state.BoardWidth * state.BoardHeight);
    state.HalfCells = state.TotalCells / 2;
    ForEachCell(state.Size(), [&](TPoint cell) { state.GameBoard[cell] = clGray; });
    state.GameBoard(1, 1) = clRed;
    state.GameBoard(state.BoardWidth, state.BoardHeight) = clBlue;
    state.HoverCell = {1, 1};
    state.SelectedCell = {1, 1};
    state.SelectionState = 0;
}
