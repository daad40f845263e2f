// The mirrored position: checks and plays moves with the rules of game/Moves
// and ends games the way TGameLogic::ResolveMove does.
#include "net/Match.h"

namespace {

std::uint8_t CellCode(TColor color)
{
    // Highlight colours never reach the mirror, but count as their side
    // should a caller hash a board taken from the window.
    if (color == clRed || color == clFuchsia)
        return 1;
    if (color == clBlue || color == clAqua)
        return 2;
    return 0;
}

} // namespace

void TMatch::Start(TBoardSize size, std::uint8_t firstPlayer)
{
    size_ = size;
    // Cells beyond the board in use are cleared too, so two matches of the
    // same game compare equal whatever they played before.
    board_ = TGameBoard{};
    board_(1, 1) = clRed;
    board_(size_.Width, size_.Height) = clBlue;
    side_ = firstPlayer == 1 ? clBlue : clRed;
    over_ = false;
    outcome_ = poDraw;
    plies_ = 0;
}

void TMatch::SetPosition(const TGameBoard& board, TBoardSize size, TColor sideToMove)
{
    size_ = size;
    board_ = TGameBoard{};
    ForEachCell(size_, [&](TPoint cell) {
        const std::uint8_t code = CellCode(board[cell]);
        board_[cell] = code == 1 ? clRed : code == 2 ? clBlue : clGray;
    });
    side_ = sideToMove == clBlue ? clBlue : clRed;
    over_ = false;
    outcome_ = poDraw;
    plies_ = 0;
}

TMoveCheck TMatch::Check(const TMove& move, TColor mover) const
{
    if (over_)
        return TMoveCheck::GameOver;
    if (mover != side_)
        return TMoveCheck::NotInTurn;
    if (!size_.OnBoard(move.From) || !size_.OnBoard(move.To))
        return TMoveCheck::OffBoard;
    if (board_[move.From] != mover)
        return TMoveCheck::NotOwnPiece;
    if (board_[move.To] != clGray)
        return TMoveCheck::TargetTaken;
    if (MoveKindOf(BoardDistance(size_, move.From, move.To)) == TMoveKind::None)
        return TMoveCheck::TooFar;
    return TMoveCheck::Legal;
}

void TMatch::Play(const TMove& move)
{
    Q_ASSERT(Check(move, side_) == TMoveCheck::Legal);
    const TColor mover = side_;
    const TColor opponent = OpponentOf(mover);
    ApplyMove(board_, size_, move, mover);
    ++plies_;

    const int total = size_.Width * size_.Height;
    const int half = total / 2;
    const TPieceCount count = CountPieces(board_, size_);
    if (count.Red == half && count.Blue == half) {
        End(poDraw);
        return;
    }
    if (!CanMove(board_, size_, opponent))
        ForEachCell(size_, [&](TPoint cell) {
            if (board_[cell] == clGray)
                board_[cell] = mover;
        });

    const TPieceCount final = CountPieces(board_, size_);
    int red = final.Red, blue = final.Blue;
    // A full board goes to the larger side, a tie to Red, as on the podium.
    if (red + blue == total) {
        red = blue > red ? 0 : 1;
        blue = 1 - red;
    }
    if (red == 0 || blue == 0) {
        End(blue == 0 ? poRedWon : poBlueWon);
        return;
    }
    side_ = opponent;
}

void TMatch::End(TPodiumOutcome outcome)
{
    over_ = true;
    outcome_ = outcome;
}

std::uint64_t TMatch::Hash() const
{
    return BoardHash(board_, size_, SideToMove());
}

std::uint64_t BoardHash(const TGameBoard& board, TBoardSize size, TColor sideToMove)
{
    std::uint64_t hash = 14695981039346656037ull;
    const auto mix = [&](std::uint8_t byte) {
        hash ^= byte;
        hash *= 1099511628211ull;
    };
    mix(size.Width);
    mix(size.Height);
    mix(sideToMove == clRed ? 1 : sideToMove == clBlue ? 2 : 0);
    ForEachCell(size, [&](TPoint cell) { mix(CellCode(board[cell])); });
    return hash;
}
