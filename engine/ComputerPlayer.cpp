// Levels and the choice of a move.
#include "engine/ComputerPlayer.h"

#include "engine/GameBridge.h"
#include "engine/Perfect4x4.h"

#include <algorithm>
#include <cmath>
#include <random>

TLevelStyle StyleOfLevel(int level)
{
    // A softmax of temperature T over a hundred moves (10 x 10) spreads
    // its choice over every move within about T of the best, so the
    // temperature, more than the depth, sets a level's strength: it falls
    // from level to level together with the growing budget, each step
    // worth 60 to 75 % against the level below (docs/engine.md). Below a
    // temperature of about two and a half pieces each small fall is worth
    // too much, so levels 8 and 9 keep level 7's temperature and choose
    // among their best 70 and 55 % of the moves only: a softmax loses most
    // by the long tail of poor moves, each rarely chosen, together often.
    switch (std::clamp(level, MinLevel, MaxLevel)) {
    case 0: return {0, 0, 0, true};
    case 1: return {1, 0, 2500, false};
    case 2: return {1, 0, 800, false};
    case 3: return {2, 0, 600, false};
    case 4: return {0, 10, 500, false};
    case 5: return {0, 20, 380, false};
    case 6: return {0, 40, 300, false};
    case 7: return {0, 80, 260, false};
    case 8: return {0, 160, 260, false, 70};
    case 9: return {0, 400, 260, false, 55};
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

std::vector<TEngineMove> PerfectMoves(const TPosition& position, std::span<const TPosition> history,
                                      const std::atomic<bool>* cancel)
{
    const TPerfect4x4& table = TPerfect4x4::Builtin();
    TMoveList moves;
    position.GenerateMoves(moves);
    std::vector<TEngineMove> best;
    TGameValue bestValue = TGameValue::Loss;
    for (const TEngineMove move : moves) {
        // The first look into a part of the table unpacks it: a few
        // milliseconds, so the cancel flag is read between moves.
        if (cancel && cancel->load())
            return {};
        const TGameValue value = table.ValueOfMove(position, move);
        if (best.empty() || value > bestValue) {
            best.clear();
            bestValue = value;
        }
        if (value == bestValue)
            best.push_back(move);
    }
    // A won game must come to its end: moves that lead back to where the
    // game has been are left out while others keep the win.
    if (bestValue == TGameValue::Win) {
        std::vector<TEngineMove> fresh;
        for (const TEngineMove move : best) {
            TPosition next = position;
            next.Play(move);
            if (std::find(history.begin(), history.end(), next) == history.end())
                fresh.push_back(move);
        }
        if (!fresh.empty())
            best = fresh;
    }
    return best;
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
    const TLevelStyle style = request.Style ? *request.Style : StyleOfLevel(request.Level);

    if (style.Random)
        return moves[int(std::uniform_int_distribution<int>(0, moves.Count - 1)(random))];

    if (style.Temperature > 0) {
        // A softmax level with a time budget deepens while time is left.
        const int depth = style.Milliseconds > 0 ? MaxSearchPly - 2 : style.Depth;
        const bool byNodes = request.NodesPerMillisecond > 0;
        const std::vector<TRootScore> scores = searcher_.ScoreRootMoves(
            position, request.History, depth, &cancel, 8 * style.Temperature, byNodes ? 0 : style.Milliseconds,
            byNodes ? std::uint64_t(style.Milliseconds) * request.NodesPerMillisecond : 0);
        last_.Nodes = searcher_.Nodes();
        if (cancel.load() || scores.empty())
            return NoEngineMove;
        const int best = std::max_element(scores.begin(), scores.end(), [](auto a, auto b) { return a.Score < b.Score; })->Score;
        std::vector<double> weights;
        for (const TRootScore& each : scores)
            weights.push_back(std::exp(double(each.Score - best) / style.Temperature));
        // A share rather than a count: the cut weakens alike on a small
        // board and on a large one with many times the moves.
        const std::size_t kept = std::max<std::size_t>(1, (scores.size() * std::size_t(style.BestPercent) + 50) / 100);
        if (style.BestPercent > 0 && kept < scores.size()) {
            // Only the best keep their weight; of equal scores the earlier
            // move, so a seed always gives the same choice.
            std::vector<std::size_t> ranked(scores.size());
            for (std::size_t i = 0; i < ranked.size(); ++i)
                ranked[i] = i;
            std::stable_sort(ranked.begin(), ranked.end(), [&](std::size_t a, std::size_t b) { return scores[a].Score > scores[b].Score; });
            for (std::size_t i = kept; i < ranked.size(); ++i)
                weights[ranked[i]] = 0;
        }
        std::discrete_distribution<std::size_t> pick(weights.begin(), weights.end());
        return scores[pick(random)].Move;
    }

    TSearchLimits limits;
    limits.Milliseconds = request.Milliseconds > 0 ? request.Milliseconds : style.Milliseconds;
    limits.Cancel = &cancel;
    if (request.Level >= MaxLevel && position.Geo->Width == 4 && position.Geo->Height == 4
        && TPerfect4x4::Builtin().Ready()) {
        limits.RootMoves = PerfectMoves(position, request.History, &cancel);
        if (cancel.load())
            return NoEngineMove;
        // The table has decided; the search only chooses among equals.
        limits.Milliseconds = std::min<std::int64_t>(limits.Milliseconds, 100);
    }
    if (request.NodesPerMillisecond > 0) {
        limits.Nodes = std::uint64_t(limits.Milliseconds) * request.NodesPerMillisecond;
        limits.Milliseconds = 0;
    }
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
