// Positions before and after each whole move, and the way back and forth
// through them.
#include "game/GameHistory.h"

#include <algorithm>

TGamePosition PositionOf(const TGameState& state)
{
    TGamePosition position;
    position.Size = state.Size();
    // A pick hands the turn over at once; between moves the picking side is
    // still the one to pick.
    position.CurrentPlayer = state.SelectionState == 0 ? state.CurrentPlayer : state.SelectionState == 1 ? 1 : 0;
    ForEachCell(position.Size, [&](TPoint cell) {
        const TColor color = state.GameBoard[cell];
        position.Board[cell] = color == clFuchsia ? clRed : color == clAqua ? clBlue : color;
    });
    return position;
}

void TGameHistory::Clear()
{
    positions_.clear();
    steps_.clear();
    current_ = 0;
    gameStart_ = 0;
    pending_.reset();
    gameOver_ = false;
}

void TGameHistory::StartAfresh(const TGamePosition& position)
{
    Clear();
    positions_.push_back(position);
}

void TGameHistory::NewGame(const TGameState& state)
{
    const TGamePosition start = PositionOf(state);
    if (!gameOver_ || !pending_ || positions_.empty()) {
        StartAfresh(start);
        return;
    }
    steps_.push_back({*pending_, true});
    positions_.push_back(start);
    current_ = gameStart_ = positions_.size() - 1;
    pending_.reset();
    gameOver_ = false;
}

void TGameHistory::BeginMove(const TGameState& state, const TMove& move)
{
    const TGamePosition before = PositionOf(state);
    if (positions_.empty() || pending_ || positions_[current_] != before) {
        // The board changed behind the history's back (or a move never
        // finished): what it holds no longer leads here, so start from here.
        StartAfresh(before);
    } else {
        positions_.resize(current_ + 1);
        steps_.resize(current_);
        if (current_ < gameStart_)
            gameStart_ = 0; // the ended game goes on instead of the new one
        else if (gameStart_ > 0)
            ForgetOldest(gameStart_); // the new game's first move
    }
    if (steps_.size() >= MaxMoves)
        ForgetOldest(steps_.size() - MaxMoves + 1);
    pending_ = move;
    gameOver_ = false;
}

void TGameHistory::EndMove(const TGameState& state)
{
    if (!pending_)
        return;
    steps_.push_back({*pending_, false});
    positions_.push_back(PositionOf(state));
    ++current_;
    pending_.reset();
}

void TGameHistory::GameOver()
{
    gameOver_ = pending_.has_value();
}

void TGameHistory::ForgetOldest(std::size_t count)
{
    positions_.erase(positions_.begin(), positions_.begin() + std::ptrdiff_t(count));
    steps_.erase(steps_.begin(), steps_.begin() + std::ptrdiff_t(count));
    current_ -= count;
    gameStart_ = gameStart_ > count ? gameStart_ - count : 0;
}

bool TGameHistory::CanUndo() const
{
    return !pending_ && current_ > 0;
}

bool TGameHistory::CanRedo() const
{
    return !pending_ && current_ + 1 < positions_.size();
}

bool TGameHistory::CanUndoUntil(std::uint8_t side) const
{
    if (pending_)
        return false;
    for (std::size_t index = current_; index-- > 0;)
        if (positions_[index].CurrentPlayer == side)
            return true;
    return false;
}

bool TGameHistory::Undo(TGameState& state)
{
    if (!CanUndo())
        return false;
    Show(current_ - 1, state);
    return true;
}

bool TGameHistory::Redo(TGameState& state)
{
    if (!CanRedo())
        return false;
    Show(current_ + 1, state);
    return true;
}

bool TGameHistory::UndoUntil(TGameState& state, std::uint8_t side)
{
    if (!CanUndoUntil(side))
        return false;
    std::size_t index = current_ - 1;
    while (positions_[index].CurrentPlayer != side)
        --index;
    Show(index, state);
    return true;
}

bool TGameHistory::RedoUntil(TGameState& state, std::uint8_t side)
{
    if (!CanRedo())
        return false;
    std::size_t index = current_ + 1;
    while (index + 1 < positions_.size() && positions_[index].CurrentPlayer != side)
        ++index;
    Show(index, state);
    return true;
}

void TGameHistory::Show(std::size_t index, TGameState& state)
{
    current_ = index;
    const TGamePosition& position = positions_[index];
    state.BoardWidth = position.Size.Width;
    state.BoardHeight = position.Size.Height;
    state.TotalCells = std::uint8_t(position.Size.Width * position.Size.Height);
    state.HalfCells = state.TotalCells / 2;
    ForEachCell(position.Size, [&](TPoint cell) { state.GameBoard[cell] = position.Board[cell]; });
    state.CurrentPlayer = position.CurrentPlayer;
    state.SelectionState = 0;
    // As after a move: the next pick repaints the last origin, which is
    // harmless; on a first board that is (1, 1).
    const std::optional<TMove> last = LastMove();
    state.SelectedCell = last ? last->From : TPoint{1, 1};
}

std::optional<TMove> TGameHistory::LastMove() const
{
    if (current_ == 0 || current_ > steps_.size() || steps_[current_ - 1].EndedGame)
        return std::nullopt;
    return steps_[current_ - 1].Move;
}

std::span<const TGamePosition> TGameHistory::Positions() const
{
    if (positions_.empty())
        return {};
    const std::size_t first = current_ >= gameStart_ ? gameStart_ : 0;
    return {positions_.data() + first, current_ - first + 1};
}
