// Conversions between the window's board and the engine's position.
#include "engine/GameBridge.h"

#include "engine/Notation.h"

TPosition PositionFromGame(const TGameBoard& board, TBoardSize size, int sideToPick)
{
    const TGeometry& g = GeometryOf(size.Width, size.Height);
    TMask red, blue;
    ForEachCell(size, [&](TPoint cell) {
        const TColor color = board[cell];
        const TMask bit = TMask::Bit(g.Index(cell.X, cell.Y));
        if (color == clRed || color == clFuchsia)
            red |= bit;
        else if (color == clBlue || color == clAqua)
            blue |= bit;
    });
    return TPosition::FromSets(g, red, blue, sideToPick == 0 ? RedSide : BlueSide);
}

void PositionToGame(const TPosition& position, TGameBoard& board)
{
    const TGeometry& g = *position.Geo;
    ForEachBit(g.Board, [&](int index) {
        const TColor color = position.Pieces[RedSide].Has(index)    ? clRed
                             : position.Pieces[BlueSide].Has(index) ? clBlue
                                                                    : clGray;
        board(g.Column[index], g.Row[index]) = color;
    });
}

TMove MoveToGame(const TPosition& position, TEngineMove move)
{
    const TGeometry& g = *position.Geo;
    const int from = move.IsCopy() ? CopyOrigin(position, move.To) : move.From;
    return {{g.Column[from], g.Row[from]}, {g.Column[move.To], g.Row[move.To]}};
}

std::optional<TEngineMove> MoveFromGame(const TPosition& position, const TMove& move)
{
    const TGeometry& g = *position.Geo;
    const TBoardSize size{std::uint8_t(g.Width), std::uint8_t(g.Height)};
    if (!size.OnBoard(move.From) || !size.OnBoard(move.To))
        return std::nullopt;
    const int from = g.Index(move.From.X, move.From.Y);
    const int to = g.Index(move.To.X, move.To.Y);
    if (!position.Own().Has(from))
        return std::nullopt;
    const int distance = CellDistance(move.From.X, move.From.Y, move.To.X, move.To.Y);
    const TEngineMove engineMove = distance == 1 ? TEngineMove::Copy(to) : TEngineMove::Jump(from, to);
    if (distance < 1 || distance > 2 || !position.IsLegal(engineMove))
        return std::nullopt;
    return engineMove;
}
