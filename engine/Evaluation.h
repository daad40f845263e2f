// How good a position that goes on is for the side to pick, in hundredths of
// a piece. Every term is a difference between the two sides, counted with
// whole-board shifts (TGeometry::Grow), so the evaluation costs a few dozen
// machine instructions and no loop over cells.
#pragma once

#include "engine/Position.h"

struct TEvalWeights {
    int Piece = 100;     // material
    int Tempo = 40;      // being the side to pick: it copies or captures first
    int Safe = 10;       // a piece with no empty neighbour: nothing can turn it now
    int Reach = 0;       // an empty cell a copy of the side reaches
    int Exclusive = 0;   // near the end, an empty cell within two steps of this side only
    int Front = 0;       // a piece next to an empty cell the opponent reaches: it can be turned
    int Threat = 40;     // per cent of the most the side to pick gains with its next move

    // Material and nothing else, for the plain reference player.
    static TEvalWeights MaterialOnly() { return {100, 0, 0, 0, 0, 0, 0}; }
    friend bool operator==(const TEvalWeights&, const TEvalWeights&) = default;
};

// What the evaluation and the move order both want to know of a position:
// the empty cells, the cells one and two steps from the side to pick, and
// for every cell how many opposing pieces stand next to it (three bit
// planes, TGeometry::CountNeighbours). A node works it out once for both.
struct TReach {
    TMask Empty;
    TMask Near;
    TMask Two;
    TMask Planes[3];
};

ZELVON_INLINE TReach ReachOf(const TPosition& position)
{
    const TGeometry& g = *position.Geo;
    TReach reach;
    reach.Empty = position.Empty();
    reach.Near = g.Grow(position.Own());
    reach.Two = reach.Near | g.Grow(reach.Near);
    g.CountNeighbours(position.Opponent(), reach.Planes);
    return reach;
}

// The score of a position that goes on.
int Evaluate(const TPosition& position, const TEvalWeights& weights);
int Evaluate(const TPosition& position, const TEvalWeights& weights, const TReach& reach);

// At the horizon: how the game ended there (TPosition::Outcome), or if it
// goes on, its score. Both need the cells the side to pick reaches, so one
// pass does both.
struct THorizon {
    TResult Result = TResult::None;
    int Score = 0;
};
THorizon SettleOrEvaluate(const TPosition& position, const TEvalWeights& weights);
