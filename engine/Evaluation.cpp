// The static evaluation, and the game-end test folded into it for the
// positions at the horizon.
#include "engine/Evaluation.h"

#include <algorithm>

namespace {

template <bool Settle>
ZELVON_INLINE THorizon Score(const TPosition& position, const TEvalWeights& w, const TReach* known)
{
    const TGeometry& g = *position.Geo;
    const TMask us = position.Own();
    const TMask them = position.Opponent();
    const TMask empty = position.Empty();
    const int ours = us.Count(), theirs = them.Count();
    if constexpr (Settle) {
        if (ours == g.Half && theirs == g.Half)
            return {TResult::Draw, 0};
    }
    int score = w.Piece * (ours - theirs) + w.Tempo;
    const bool material = !(w.Safe | w.Reach | w.Exclusive | w.Front | w.Threat);
    if (!Settle && material)
        return {TResult::None, score};

    // Cells within one and two steps of the side to pick: also whether it
    // can move at all. Without a move the other side takes the empty cells.
    const TMask usNear = known ? known->Near : g.Grow(us);
    const TMask usTwo = known ? known->Two : usNear | g.Grow(usNear);
    if constexpr (Settle) {
        if ((usTwo & empty).None()) {
            const int filled = theirs + empty.Count();
            const int red = position.Side == RedSide ? ours : filled;
            const int blue = position.Side == RedSide ? filled : ours;
            return {blue > red ? TResult::BlueWins : TResult::RedWins, 0};
        }
    }
    if (material)
        return {TResult::None, score};

    // Only a piece next to an empty cell can be turned.
    const TMask exposed = g.Grow(empty);
    score += w.Safe * ((us & ~exposed).Count() - (them & ~exposed).Count());
    if (w.Reach | w.Exclusive | w.Front) {
        const TMask themNear = g.Grow(them);
        const TMask themTwo = themNear | g.Grow(themNear);
        score += w.Reach * ((usNear & empty).Count() - (themNear & empty).Count());
        // Near the end an empty cell only one side reaches tends to fall to
        // it, by a copy or by the fill when the other side runs out of moves.
        if (4 * empty.Count() <= g.Cells)
            score += w.Exclusive * ((empty & usTwo & ~themTwo).Count() - (empty & themTwo & ~usTwo).Count());
        if (w.Front) {
            const TMask usTargets = g.Grow(empty & themTwo);
            const TMask themTargets = g.Grow(empty & usTwo);
            score -= w.Front * ((us & usTargets).Count() - (them & themTargets).Count());
        }
    }
    if (w.Threat) {
        // The most pieces a move of the side to pick turns: keep the cells
        // with the highest neighbour count, bit plane by bit plane.
        TMask planes[3];
        if (known) {
            planes[0] = known->Planes[0];
            planes[1] = known->Planes[1];
            planes[2] = known->Planes[2];
        } else {
            g.CountNeighbours(them, planes);
        }
        auto most = [&](TMask cells) {
            int count = 0;
            for (int bit = 2; bit >= 0; --bit) {
                const TMask high = cells & planes[bit];
                if (high.Any()) {
                    cells = high;
                    count += 1 << bit;
                }
            }
            return cells.Any() ? count : -1;
        };
        const int copy = most(usNear & empty);
        const int jump = most(usTwo & empty & ~usNear);
        const int gain = std::max(copy >= 0 ? 2 * copy + 1 : 0, jump >= 0 ? 2 * jump : 0);
        score += w.Threat * gain * w.Piece / 100;
    }
    return {TResult::None, score};
}

} // namespace

ZELVON_HOT int Evaluate(const TPosition& position, const TEvalWeights& weights)
{
    return Score<false>(position, weights, nullptr).Score;
}

ZELVON_HOT int Evaluate(const TPosition& position, const TEvalWeights& weights, const TReach& reach)
{
    return Score<false>(position, weights, &reach).Score;
}

ZELVON_HOT THorizon SettleOrEvaluate(const TPosition& position, const TEvalWeights& weights)
{
    return Score<true>(position, weights, nullptr);
}
