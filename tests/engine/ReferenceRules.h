// The rules as the window plays them (game/Moves and TGameLogic's
// ResolveMove), wrapped so the engine's tests can hold the engine against
// them: moves, the board after a move, the game end and a perft.
#pragma once

#include "engine/GameBridge.h"
#include "game/GameLogic.h"
#include "game/Moves.h"
#include "tests/game/FakeGameView.h"

#include <algorithm>
#include <random>
#include <set>
#include <tuple>

// A move as a comparable value: copies by target alone, jumps by both cells.
using TRuleMove = std::tuple<bool, int, int, int, int>; // copy?, from x, from y, to x, to y

inline std::set<TRuleMove> ReferenceMoves(const TGameBoard& board, TBoardSize size, TColor side)
{
    std::set<TRuleMove> moves;
    for (const TMove& move : GenerateMoves(board, size, side)) {
        const bool copy = MoveKindOf(BoardDistance(size, move.From, move.To)) == TMoveKind::Copy;
        moves.insert(copy ? TRuleMove{true, 0, 0, move.To.X, move.To.Y}
                          : TRuleMove{false, move.From.X, move.From.Y, move.To.X, move.To.Y});
    }
    return moves;
}

inline TRuleMove RuleMoveOf(const TPosition& position, TEngineMove move)
{
    const TMove game = MoveToGame(position, move);
    return move.IsCopy() ? TRuleMove{true, 0, 0, game.To.X, game.To.Y}
                         : TRuleMove{false, game.From.X, game.From.Y, game.To.X, game.To.Y};
}

// Plays a move through TGameLogic::ResolveMove, as the window does after a
// press on the target, and reports how the game ended (no podium: it goes on).
struct TReferenceResult {
    TGameBoard Board; // after the captures and any fill
    bool Ended = false;
    TPodiumOutcome Outcome = poDraw;
};

inline TReferenceResult ReferencePlay(const TGameBoard& board, TBoardSize size, int sideToPick, const TMove& move)
{
    TGameState state;
    state.GameBoard = board;
    state.BoardWidth = size.Width;
    state.BoardHeight = size.Height;
    state.TotalCells = std::uint8_t(size.Width * size.Height);
    state.HalfCells = state.TotalCells / 2;
    const TColor mover = sideToPick == 0 ? clRed : clBlue;
    // The pick already handed the turn over.
    state.CurrentPlayer = sideToPick == 0 ? 1 : 0;
    TReferenceResult result;
    // A game that ends sets up a new board, so keep the board as the podium saw it.
    struct TKeepingView : FakeGameView {
        using FakeGameView::FakeGameView;
        TGameState* State = nullptr;
        TGameBoard Seen;
        void ShowPodium(TPodiumOutcome outcome) override
        {
            Seen = State->GameBoard;
            FakeGameView::ShowPodium(outcome);
        }
    } keeping(state);
    keeping.State = &state;
    TGameLogic logic(state, keeping);
    const bool jump = MoveKindOf(BoardDistance(size, move.From, move.To)) == TMoveKind::Jump;
    state.GameBoard[move.To] = mover;
    if (jump)
        state.GameBoard[move.From] = clGray;
    logic.ResolveMove(move.To);
    result.Ended = !keeping.Podiums.empty();
    result.Board = result.Ended ? keeping.Seen : state.GameBoard;
    if (result.Ended)
        result.Outcome = keeping.Podiums.front();
    return result;
}

inline TResult ResultOf(const TReferenceResult& reference)
{
    if (!reference.Ended)
        return TResult::None;
    return reference.Outcome == poDraw ? TResult::Draw : reference.Outcome == poRedWon ? TResult::RedWins : TResult::BlueWins;
}

// Perft on the window's rules: copies to one cell once, a game end one leaf.
inline std::uint64_t ReferencePerft(const TGameBoard& board, TBoardSize size, int sideToPick, int depth)
{
    if (depth == 0)
        return 1;
    const TColor side = sideToPick == 0 ? clRed : clBlue;
    std::uint64_t leaves = 0;
    std::set<std::pair<int, int>> copied;
    for (const TMove& move : GenerateMoves(board, size, side)) {
        if (MoveKindOf(BoardDistance(size, move.From, move.To)) == TMoveKind::Copy
            && !copied.insert({move.To.X, move.To.Y}).second)
            continue;
        if (depth == 1) {
            ++leaves;
            continue;
        }
        const TReferenceResult after = ReferencePlay(board, size, sideToPick, move);
        leaves += after.Ended ? 1 : ReferencePerft(after.Board, size, 1 - sideToPick, depth - 1);
    }
    return leaves;
}

// A random board of the given size: the share of empty cells and the
// balance between the colours vary from board to board, so some boards are
// nearly full, some lopsided, some one colour short of vanishing.
inline TPosition RandomPosition(std::mt19937& random, int width, int height)
{
    const TGeometry& g = GeometryOf(width, height);
    std::uniform_real_distribution<double> unit(0, 1);
    const double empty = unit(random) < 0.2 ? unit(random) * 0.15 : unit(random);
    const double red = unit(random);
    TMask reds, blues;
    ForEachBit(g.Board, [&](int index) {
        if (unit(random) < empty)
            return;
        (unit(random) < red ? reds : blues) |= TMask::Bit(index);
    });
    return TPosition::FromSets(g, reds, blues, int(random() % 2));
}
