// Levels and the choice of a move.
#include "engine/ComputerPlayer.h"

#include "engine/GameBridge.h"

#include <algorithm>
#include <cmath>
#include <random>

TLevelStyle StyleOfLevel(int level)
{
    switch (std::clamp(level, MinLevel, MaxLevel)) {
    case 0: return {0, 0, 0, true};
    case 1: return {1, 0, 150, false};
    case 2: return {2, 0, 80, false};
    case 3: return {3, 0, 40, false};
    case 4: return {0, 10, 0, false};
    case 5: return {0, 20, 0, false};
    case 6: return {0, 40, 0, false};
    case 7: return {0, 80, 0, false};
    case 8: return {0, 160, 0, false};
    case 9: return {0, 400, 0, false};
    default: return {0, 1000, 0, false};
    }
}

void TGameRecord::Add(const TGameBoard& board, TBoardSize size, int sideToPick)
{
    positions_.push_back(PositionFromGame(board, size, sideToPick));
}

TThinkRequest ThinkRequestFromGame(const TGameBoard& board, TBoardSize size, int sideToPick, const TGameRecord& record,
                                   int level, std::uint64_t seed)
{
    TThinkRequest request;
    request.Position = PositionFromGame(board, size, sideToPick);
    request.History = record.Positions();
    // The record may already hold the position itself.
    if (!request.History.empty() && request.History.back() == request.Position)
        request.History.pop_back();
    request.Level = level;
    request.Seed = seed;
    return request;
}

TComputerPlayer::TComputerPlayer(std::size_t tableMegabytes)
    : searcher_(tableMegabytes)
{
}

TComputerPlayer::~TComputerPlayer() = default;

void TComputerPlayer::NewGame()
{
    searcher_.Clear();
}

TEngineMove TComputerPlayer::Choose(const TThinkRequest& request, const std::atomic<bool>& cancel)
{
    last_ = {};
    const TPosition& position = request.Position;
    if (!position.Geo || position.Outcome() != TResult::None || cancel.load())
        return NoEngineMove;
    TMoveList moves;
    position.GenerateMoves(moves);
    std::mt19937_64 random(request.Seed);
    const TLevelStyle style = StyleOfLevel(request.Level);

    if (style.Random)
        return moves[int(std::uniform_int_distribution<int>(0, moves.Count - 1)(random))];

    if (style.Temperature > 0) {
        const std::vector<TRootScore> scores = searcher_.ScoreRootMoves(position, request.History, style.Depth, &cancel,
                                                                           8 * style.Temperature);
        if (cancel.load() || scores.empty())
            return NoEngineMove;
        const int best = std::max_element(scores.begin(), scores.end(), [](auto a, auto b) { return a.Score < b.Score; })->Score;
        std::vector<double> weights;
        for (const TRootScore& each : scores)
            weights.push_back(std::exp(double(each.Score - best) / style.Temperature));
        std::discrete_distribution<std::size_t> pick(weights.begin(), weights.end());
        return scores[pick(random)].Move;
    }

    TSearchLimits limits;
    limits.Milliseconds = request.Milliseconds > 0 ? request.Milliseconds : style.Milliseconds;
    limits.Cancel = &cancel;
    last_ = searcher_.Search(position, request.History, limits);
    if (cancel.load())
        return NoEngineMove;
    return last_.Best;
}

std::optional<TMove> TComputerPlayer::ChooseMove(const TThinkRequest& request, const std::atomic<bool>& cancel)
{
    const TEngineMove move = Choose(request, cancel);
    if (move == NoEngineMove)
        return std::nullopt;
    return MoveToGame(request.Position, move);
}
