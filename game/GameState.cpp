#include "game/GameState.h"

TNeighbours Neighbours(TBoardSize size, TPoint cell)
{
    const auto& offsets = (cell.X & 1) ? NeighbourOffsetsOdd : NeighbourOffsetsEven;
    TNeighbours result;
    for (const TPoint offset : offsets) {
        const TPoint neighbour{cell.X + offset.X, cell.Y + offset.Y};
        if (size.OnBoard(neighbour))
            result.Cells[result.Count++] = neighbour;
    }
    return result;
}

TPieceCount CountPieces(const TGameBoard& board, TBoardSize size)
{
    TPieceCount count;
    ForEachCell(size, [&](TPoint cell) {
        const TColor color = board[cell];
        if (color == clRed || color == clFuchsia)
            ++count.Red;
        else if (color == clBlue || color == clAqua)
            ++count.Blue;
    });
    return count;
}
