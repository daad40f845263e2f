#include "game/Moves.h"

std::int32_t BoardDistance(TBoardSize size, TPoint a, TPoint b)
{
    const THexGeometry geometry{size.Width, size.Height, 2, 2};
    return geometry.HexDistance(a, b);
}

TNeighbours FindCaptures(const TGameBoard& board, TBoardSize size, TPoint target, TColor mover)
{
    const TColor opponent = OpponentOf(mover);
    TNeighbours captures;
    for (const TPoint cell : Neighbours(size, target))
        if (board[cell] == opponent)
            captures.Cells[captures.Count++] = cell;
    return captures;
}

bool CanMove(const TGameBoard& board, TBoardSize size, TColor side)
{
    bool canMove = false;
    ForEachCell(size, [&](TPoint from) {
        if (board[from] != side)
            return;
        ForEachCell(size, [&](TPoint to) {
            if (board[to] == clGray && MoveKindOf(BoardDistance(size, from, to)) != TMoveKind::None)
                canMove = true;
        });
    });
    return canMove;
}

std::vector<TMove> GenerateMoves(const TGameBoard& board, TBoardSize size, TColor side)
{
    std::vector<TMove> moves;
    ForEachCell(size, [&](TPoint from) {
        if (board[from] != side)
            return;
        ForEachCell(size, [&](TPoint to) {
            if (board[to] == clGray && MoveKindOf(BoardDistance(size, from, to)) != TMoveKind::None)
                moves.push_back({from, to});
        });
    });
    return moves;
}

TMoveTargets MoveTargets(const TGameBoard& board, TBoardSize size, TPoint from)
{
    TMoveTargets targets;
    if (!size.OnBoard(from))
        return targets;
    ForEachCell(size, [&](TPoint to) {
        if (board[to] != clGray)
            return;
        switch (MoveKindOf(BoardDistance(size, from, to))) {
        case TMoveKind::Copy:
            targets.Copies.push_back(to);
            break;
        case TMoveKind::Jump:
            targets.Jumps.push_back(to);
            break;
        case TMoveKind::None:
            break;
        }
    });
    return targets;
}

TMoveKind ApplyMove(TGameBoard& board, TBoardSize size, const TMove& move, TColor mover)
{
    const TMoveKind kind = MoveKindOf(BoardDistance(size, move.From, move.To));
    board[move.To] = mover;
    if (kind == TMoveKind::Jump)
        board[move.From] = clGray;
    for (const TPoint cell : FindCaptures(board, size, move.To, mover))
        board[cell] = mover;
    return kind;
}
