// How the engine searches
// =======================
//
// The game tree of Zelvon is wide: a piece copies to any of its six
// neighbours or jumps to any of twelve cells two steps away, so a middle game
// on the 10 x 10 board offers a hundred moves or more, and a single move can
// turn six pieces. That width decides everything below.
//
// The searcher looks ahead with negamax alpha-beta: every position is scored
// for the side to pick, a move's score is minus the score of the position it
// leads to, and a branch is cut off as soon as the opponent is shown to have
// a reply that makes it worse than something already found (alpha is the best
// we are sure of, beta the most the opponent will allow). Alpha-beta is only
// as good as its move order: when the best move comes first, it looks at
// about the square root of the positions plain minimax would. So moves are
// tried in this order: the move the transposition table remembers for the
// position (the best move of an earlier, shallower look), then by the number
// of pieces they turn, a copy before a jump that turns as many (a copy also
// adds a piece), and among equals by a history score that grows each time a
// move refuted some position of the search.
//
// The search deepens one ply at a time (iterative deepening): depth 1, then
// 2, and so on until the time is up. Each iteration fills the table with
// best moves that order the next one almost perfectly, so the repeated work
// is cheap, and when time runs out we still have the last completed answer.
// From depth 4 on, an iteration first looks in a narrow window around the
// previous score (aspiration) and widens it only when the score falls
// outside. Inside the tree, principal variation search gives the first move a
// full window and every other move a null window that only asks "is it
// better?"; the rare yes is searched again properly.
//
// Width is fought with three kinds of selectivity, each kept because a match
// of many games showed it gains at equal time (docs/engine.md):
// - reverse futility: a position near the horizon whose static score is far
//   above beta is taken to stay above it;
// - late-move reductions: late moves in the order are searched a few plies
//   shallower, and again at full depth only if they surprise;
// - late-move pruning: near the horizon, moves late in the order that turn
//   nothing are not searched at all.
// None of them applies in a line that may be losing outright, so a forced
// loss is never reported where a saving move was merely skipped.
//
// Games end in the search exactly as on the board (TPosition::Outcome): a
// move that ends the game scores the win, draw or loss it is, less one point
// per ply, so the engine wins by the shortest way and loses by the longest.
// A jump does not take an empty cell, so jumps can go on for ever: a
// position that repeats one earlier on the line or in the game so far scores
// as a draw, and the longer a series of jumps runs without a copy, the more
// the evaluation fades towards a draw. The side ahead therefore prefers a
// copy that keeps its lead to jumping around. Where both sides would rather
// jump for ever (a balanced ending in which any copy gives the other side a
// capture), the side to pick copies once forty plies have passed without
// one, if it has a copy: every copy takes an empty cell for good, so a game
// between two engines comes to its end.
//
// At the horizon the static evaluation (Evaluation.cpp) scores the position.
// The search checks the clock and the cancel flag every 1,024 positions,
// which is well under a millisecond, and unwinds at once when told to stop.
#include "engine/Search.h"

#include <algorithm>
#include <cmath>

TSearchFeatures TSearchFeatures::Plain()
{
    TSearchFeatures plain;
    plain.Table = plain.Ordering = plain.History = plain.Pvs = plain.Aspiration = false;
    plain.ReverseFutility = plain.LateReductions = plain.LateMovePruning = plain.Progress = false;
    plain.Eval = TEvalWeights::MaterialOnly();
    return plain;
}

namespace {

constexpr int HistoryLimit = 1 << 20;
// Nodes this close to the horizon are cheaper to search again than to look
// up in a table far out of the processor's caches.
constexpr int TableDepth = 2;

int HistoryIndex(int side, TEngineMove move)
{
    return TMovePicker::HistoryIndex(side, move);
}

// Scores of won and lost games count plies from the root; the table keeps
// them counted from the position they belong to.
int ToTable(int score, int ply)
{
    return score >= ScoreWinBound ? score + ply : score <= -ScoreWinBound ? score - ply : score;
}

int FromTable(int score, int ply)
{
    return score >= ScoreWinBound ? score - ply : score <= -ScoreWinBound ? score + ply : score;
}

// The score of a finished game for `side`, ended at `ply`.
int FinalScore(TResult result, int side, int ply)
{
    if (result == TResult::Draw)
        return 0;
    const bool won = (result == TResult::RedWins) == (side == RedSide);
    return won ? ScoreWin - ply : -(ScoreWin - ply);
}

struct TReductions {
    std::array<std::array<std::int8_t, 64>, 64> Table{};
    TReductions()
    {
        for (int depth = 1; depth < 64; ++depth)
            for (int index = 1; index < 64; ++index)
                Table[depth][index] = std::int8_t(0.5 + std::log(depth) * std::log(index) / 2.5);
    }
};

int Reduction(int depth, int index)
{
    static const TReductions reductions;
    return reductions.Table[std::min(depth, 63)][std::min(index, 63)];
}

} // namespace

TSearcher::TSearcher(std::size_t tableMegabytes)
    : table_(tableMegabytes)
    , history_(2 * 128 * 128, 0)
    , pickers_(MaxSearchPly)
    , reaches_(MaxSearchPly)
{
}

void TSearcher::Clear()
{
    table_.Clear();
    std::fill(history_.begin(), history_.end(), 0);
}

void TSearcher::CheckStop()
{
    if (cancel_ && cancel_->load(std::memory_order_relaxed))
        stop_ = true;
    else if (nodeLimit_ && nodes_ >= nodeLimit_)
        stop_ = true;
    else if (timed_ && std::chrono::steady_clock::now() >= deadline_)
        stop_ = true;
}

bool TSearcher::PastHalfBudget() const
{
    return (timed_ && std::chrono::steady_clock::now() >= start_ + (deadline_ - start_) / 2)
           || (nodeLimit_ && nodes_ >= nodeLimit_ / 2);
}

void TSearcher::Push(int ply, const TPosition& position, bool copy)
{
    const std::size_t at = std::size_t(rootIndex_ + ply);
    keys_[at] = position.Hash;
    clocks_[at] = copy ? 0 : clocks_[at - 1] + 1;
}

bool TSearcher::IsRepetition(int ply) const
{
    const int at = rootIndex_ + ply;
    const std::uint64_t key = keys_[std::size_t(at)];
    const int oldest = std::max(0, at - clocks_[std::size_t(at)]);
    for (int j = at - 2; j >= oldest; j -= 2)
        if (keys_[std::size_t(j)] == key)
            return true;
    return false;
}

void TSearcher::Prepare(const TPosition& root, std::span<const TPosition> history, const TSearchLimits& limits)
{
    // Only the positions since the last copy can come again: a copy takes
    // an empty cell for good.
    const int empties = root.Empty().Count();
    std::size_t tail = history.size();
    while (tail > 0 && history[tail - 1].Geo == root.Geo && history[tail - 1].Empty().Count() == empties)
        --tail;
    keys_.assign(history.size() - tail + MaxSearchPly + 1, 0);
    clocks_.assign(keys_.size(), 0);
    rootIndex_ = 0;
    for (std::size_t i = tail; i < history.size(); ++i) {
        keys_[std::size_t(rootIndex_)] = history[i].Hash;
        clocks_[std::size_t(rootIndex_)] = rootIndex_;
        ++rootIndex_;
    }
    keys_[std::size_t(rootIndex_)] = root.Hash;
    clocks_[std::size_t(rootIndex_)] = rootIndex_;

    nodes_ = 0;
    nodeLimit_ = limits.Nodes;
    cancel_ = limits.Cancel;
    stop_ = false;
    start_ = std::chrono::steady_clock::now();
    timed_ = limits.Milliseconds > 0;
    deadline_ = start_ + std::chrono::milliseconds(limits.Milliseconds);
    table_.NewSearch();
    // Old history still orders well, but should not outweigh what this
    // search finds.
    for (std::int32_t& h : history_)
        h /= 4;
}

void TSearcher::RewardHistory(int side, TEngineMove move, int depth)
{
    std::int32_t& h = history_[std::size_t(HistoryIndex(side, move))];
    h += depth * depth;
    if (h >= HistoryLimit)
        for (std::int32_t& each : history_)
            each /= 2;
}

int TSearcher::Leaf(const TPosition& position, int ply) const
{
    return Fade(Evaluate(position, Features.Eval), ply);
}

int TSearcher::Fade(int score, int ply) const
{
    if (!Features.Progress)
        return score;
    // After a dozen jumps in a row the score fades, by a quarter after 36.
    const int clock = clocks_[std::size_t(rootIndex_ + ply)];
    if (clock <= 12)
        return score;
    return score * (96 - std::min(clock - 12, 96)) / 96;
}

// One move's subtree below the horizon: the first move with the full
// window, the others with a null window, late ones reduced first.
ZELVON_HOT int TSearcher::SearchChild(const TPosition& next, TEngineMove move, int index, int depth, int alpha, int beta, int ply,
                           bool pvNode, bool quiet, int best)
{
    Push(ply + 1, next, move.IsCopy());
    if (index == 0 || !Features.Pvs)
        return -Negamax(next, depth - 1, -beta, -alpha, ply + 1, pvNode);
    int reduction = 0;
    if (Features.LateReductions && depth >= 3 && index >= 3 && best > -ScoreWinBound) {
        reduction = Reduction(depth, index) - (pvNode ? 1 : 0) - (quiet ? 0 : 1);
        reduction = std::clamp(reduction, 0, depth - 2);
    }
    int score = -Negamax(next, depth - 1 - reduction, -alpha - 1, -alpha, ply + 1, false);
    if (score > alpha && reduction > 0)
        score = -Negamax(next, depth - 1, -alpha - 1, -alpha, ply + 1, false);
    if (score > alpha && score < beta)
        score = -Negamax(next, depth - 1, -beta, -alpha, ply + 1, true);
    return score;
}

ZELVON_HOT int TSearcher::Negamax(const TPosition& position, int depth, int alpha, int beta, int ply, bool pvNode)
{
    if ((++nodes_ & 1023) == 0)
        CheckStop();
    if (stop_)
        return 0;
    pvLength_[std::size_t(ply)] = ply;
    if (ply > 0 && IsRepetition(ply))
        return 0;
    if (depth <= 0 || ply >= MaxSearchPly - 1)
        return Leaf(position, ply);

    TEngineMove tableMove = NoEngineMove;
    if (Features.Table && depth >= TableDepth) {
        if (const TTableEntry* entry = table_.Probe(position.Hash)) {
            tableMove = entry->BestMove();
            if (!pvNode && entry->Depth >= depth) {
                const int score = FromTable(entry->Score, ply);
                if (entry->Bound == BoundExact || (entry->Bound == BoundLower && score >= beta)
                    || (entry->Bound == BoundUpper && score <= alpha))
                    return score;
            }
        }
    }

    // The reach of a node both scores it and orders its moves.
    TReach& reach = reaches_[std::size_t(ply)];
    bool reachKnown = false;
    if (Features.ReverseFutility && !pvNode && depth <= 3 && !IsDecided(beta)) {
        reach = ReachOf(position);
        reachKnown = true;
        const int staticScore = Fade(Evaluate(position, Features.Eval, reach), ply);
        if (staticScore - 110 * depth >= beta)
            return staticScore;
    }

    TMovePicker& picker = pickers_[std::size_t(ply)];
    picker.Start(position, tableMove, Features.History ? history_.data() : nullptr, Features.Ordering,
                 reachKnown ? &reach : nullptr);

    const int alphaAtStart = alpha;
    int best = -ScoreInfinite;
    TEngineMove bestMove = NoEngineMove;
    TEngineMove move;
    for (int i = 0; picker.Next(move);) {
        const bool quiet = picker.Captures() == 0;
        if (ply == 0 && !rootMoves_.empty() && std::find(rootMoves_.begin(), rootMoves_.end(), move) == rootMoves_.end())
            continue;

        if (Features.LateMovePruning && !pvNode && depth <= 3 && quiet && i >= 4 + 3 * depth * depth
            && best > -ScoreWinBound)
            continue;
        ++i;

        TPosition next = position;
        next.Play(move);
        TResult result;
        int score;
        if (depth == 1) {
            // The horizon: the position after the move is settled and
            // scored in one pass, without a call of its own.
            if ((++nodes_ & 1023) == 0)
                CheckStop();
            Push(ply + 1, next, move.IsCopy());
            pvLength_[std::size_t(ply + 1)] = ply + 1;
            const THorizon horizon = IsRepetition(ply + 1) ? THorizon{} : SettleOrEvaluate(next, Features.Eval);
            result = horizon.Result;
            score = result != TResult::None ? FinalScore(result, position.Side, ply + 1) : -Fade(horizon.Score, ply + 1);
        } else {
            if (Features.Table && depth > TableDepth)
                table_.Prefetch(next.Hash);
            result = next.Outcome();
            if (result != TResult::None)
                score = FinalScore(result, position.Side, ply + 1);
            else
                score = SearchChild(next, move, i - 1, depth, alpha, beta, ply, pvNode, quiet, best);
        }
        if (stop_)
            return 0;

        if (score > best) {
            best = score;
            bestMove = move;
            if (ply == 0 && score > alpha) {
                rootBest_ = move;
                rootBestScore_ = score;
            }
            if (score > alpha) {
                alpha = score;
                auto& line = pv_[std::size_t(ply)];
                line[std::size_t(ply)] = move;
                const int childLength = result == TResult::None ? pvLength_[std::size_t(ply + 1)] : ply + 1;
                for (int j = ply + 1; j < childLength; ++j)
                    line[std::size_t(j)] = pv_[std::size_t(ply + 1)][std::size_t(j)];
                pvLength_[std::size_t(ply)] = std::max(childLength, ply + 1);
                if (alpha >= beta) {
                    if (Features.History)
                        RewardHistory(position.Side, move, depth);
                    break;
                }
            }
        }
    }

    // Every late move pruned away: the node is as good as its static score.
    if (bestMove == NoEngineMove)
        return Leaf(position, ply);

    if (Features.Table && depth >= TableDepth) {
        const std::uint8_t bound = best >= beta ? BoundLower : best > alphaAtStart ? BoundExact : BoundUpper;
        table_.Store(position.Hash, ToTable(best, ply), bestMove, depth, bound);
    }
    return best;
}

TSearchResult TSearcher::Search(const TPosition& root, std::span<const TPosition> history, const TSearchLimits& limits)
{
    Prepare(root, history, limits);
    TSearchResult result;
    rootMoves_.clear();
    for (const TEngineMove move : limits.RootMoves)
        if (root.IsLegal(move))
            rootMoves_.push_back(move);
    TMoveList rootMoves;
    root.GenerateMoves(rootMoves);
    if (rootMoves.Count == 0)
        return result;
    // After a long series of jumps the side to pick copies if it can: the
    // game moves on towards its end, which a copy brings one cell closer.
    if (Features.Progress && clocks_[std::size_t(rootIndex_)] >= JumpLimit) {
        std::vector<TEngineMove> copies;
        for (const TEngineMove move : rootMoves_.empty() ? std::vector<TEngineMove>(rootMoves.begin(), rootMoves.end()) : rootMoves_)
            if (move.IsCopy())
                copies.push_back(move);
        if (!copies.empty())
            rootMoves_ = copies;
    }
    result.Best = rootMoves_.empty() ? rootMoves[0] : rootMoves_.front();
    if (rootMoves.Count == 1 || rootMoves_.size() == 1) {
        result.Pv = {result.Best};
        return result;
    }

    const int maxDepth = std::clamp(limits.Depth, 1, MaxSearchPly - 2);
    int previous = 0;
    for (int depth = 1; depth <= maxDepth; ++depth) {
        rootDepth_ = depth;
        rootBest_ = NoEngineMove;
        rootBestScore_ = -ScoreInfinite;
        int window = Features.Aspiration && depth >= 4 && !IsDecided(previous) ? 30 : ScoreInfinite;
        int alpha = std::max(previous - window, -ScoreInfinite);
        int beta = std::min(previous + window, ScoreInfinite);
        int score = 0;
        for (;;) {
            score = Negamax(root, depth, alpha, beta, 0, true);
            if (stop_)
                break;
            if (score <= alpha && alpha > -ScoreInfinite) {
                window *= 3;
                alpha = std::max(score - window, -ScoreInfinite);
            } else if (score >= beta && beta < ScoreInfinite) {
                window *= 3;
                beta = std::min(score + window, ScoreInfinite);
            } else {
                break;
            }
        }
        if (stop_) {
            // A move that beat the last answer in full is worth playing.
            if (rootBest_ != NoEngineMove && rootBestScore_ > result.Score && depth > 1) {
                result.Best = rootBest_;
                result.Score = rootBestScore_;
            }
            result.Stopped = true;
            break;
        }
        previous = score;
        result.Depth = depth;
        result.Score = score;
        result.Pv.assign(pv_[0].begin(), pv_[0].begin() + pvLength_[0]);
        if (!result.Pv.empty())
            result.Best = result.Pv.front();
        result.Nodes = nodes_;
        result.Milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_).count();
        if (OnIteration)
            OnIteration(result);
        // A won or lost game seen to its end needs no deeper look.
        if (IsDecided(score) && ScoreWin - std::abs(score) < depth)
            break;
        // The next iteration takes longer than all before it together:
        // not worth starting past half the time or the nodes.
        if (PastHalfBudget())
            break;
    }
    result.Nodes = nodes_;
    result.Milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start_).count();
    return result;
}

std::vector<TRootScore> TSearcher::ScoreRootMoves(const TPosition& root, std::span<const TPosition> history, int depth,
                                                  const std::atomic<bool>* cancel, int margin, std::int64_t milliseconds,
                                                  std::uint64_t nodes)
{
    TSearchLimits limits;
    limits.Cancel = cancel;
    limits.Milliseconds = milliseconds;
    limits.Nodes = nodes;
    Prepare(root, history, limits);
    rootMoves_.clear();
    std::vector<TRootScore> scores;
    TMoveList rootMoves;
    root.GenerateMoves(rootMoves);
    // The choosing levels keep the rule of the best-move search: after a
    // long series of jumps only copies are offered, so their games end too.
    const bool copiesOnly = Features.Progress && clocks_[std::size_t(rootIndex_)] >= JumpLimit
                            && std::any_of(rootMoves.begin(), rootMoves.end(), [](TEngineMove move) { return move.IsCopy(); });
    for (const TEngineMove move : rootMoves)
        if (!copiesOnly || move.IsCopy())
            scores.push_back({move, 0});
    std::vector<std::size_t> order(scores.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    // Shallower passes first, when a margin allows it: they put the best
    // moves first, so the window closes early on the rest. With a time
    // budget the passes go on while time is left, and the last complete
    // one counts.
    std::vector<TRootScore> complete;
    const bool budget = timed_ || nodeLimit_;
    for (int d = margin > 0 || budget ? 1 : std::max(depth, 1); d <= std::max(depth, 1); ++d) {
        if (d > 1 && PastHalfBudget())
            break;
        // The first pass always ends: there must be scores to choose by.
        const bool timed = timed_;
        const std::uint64_t nodeLimit = nodeLimit_;
        timed_ = timed_ && d > 1;
        nodeLimit_ = d > 1 ? nodeLimit_ : 0;
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return scores[a].Score > scores[b].Score; });
        int best = -ScoreInfinite;
        for (const std::size_t i : order) {
            TPosition next = root;
            next.Play(scores[i].Move);
            const TResult result = next.Outcome();
            int score;
            if (result != TResult::None) {
                score = FinalScore(result, root.Side, 1);
            } else {
                Push(1, next, scores[i].Move.IsCopy());
                const int alpha = margin > 0 && best > -ScoreInfinite ? std::max(best - margin, -ScoreInfinite) : -ScoreInfinite;
                score = -Negamax(next, d - 1, -ScoreInfinite, -alpha, 1, true);
            }
            if (stop_)
                return cancel && cancel->load() ? std::vector<TRootScore>{} : complete;
            scores[i].Score = score;
            best = std::max(best, score);
        }
        timed_ = timed;
        nodeLimit_ = nodeLimit;
        complete = scores;
    }
    return complete;
}
