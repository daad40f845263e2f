// The static evaluation.
#include "engine/Evaluation.h"

ZELVON_HOT int Evaluate(const TPosition& position, const TEvalWeights& w)
{
    const TGeometry& g = *position.Geo;
    const TMask us = position.Own();
    const TMask them = position.Opponent();
    int score = w.Piece * (us.Count() - them.Count()) + w.Tempo;
    if (!(w.Safe | w.Reach | w.Exclusive | w.Front))
        return score;

    const TMask empty = position.Empty();
    const TMask usNear = g.Grow(us);
    const TMask themNear = g.Grow(them);
    // Only a piece next to an empty cell can be turned.
    const TMask exposed = g.Grow(empty);
    score += w.Safe * ((us & ~exposed).Count() - (them & ~exposed).Count());
    score += w.Reach * ((usNear & empty).Count() - (themNear & empty).Count());

    const TMask usTwo = usNear | g.Grow(usNear | us);
    const TMask themTwo = themNear | g.Grow(themNear | them);
    score += w.Exclusive * ((empty & usTwo & ~themTwo).Count() - (empty & themTwo & ~usTwo).Count());
    if (w.Front) {
        const TMask usTargets = g.Grow(empty & themTwo);
        const TMask themTargets = g.Grow(empty & usTwo);
        score -= w.Front * ((us & usTargets).Count() - (them & themTargets).Count());
    }
    return score;
}
