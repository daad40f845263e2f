// Hands out the moves of a position one at a time, best first, and builds
// each group of moves only when the search asks for it: the table move, then
// for 6, 5, ... 0 turned pieces the copies and then the jumps that turn that
// many, each group in the order of the history scores. The number of pieces
// a move would turn comes from one bit-sliced count of the opponent's
// neighbours of every cell, so no move is scored on its own and a node cut
// off after its first move never builds the rest.
#pragma once

#include "engine/Evaluation.h"
#include "engine/Position.h"

#include <array>
#include <cstdint>

class TMovePicker {
public:
    // `history` is the searcher's table indexed by HistoryIndex(), or
    // nullptr; `ordered` false hands out the plain generation order.
    // `reach` is what the node knows already of the position, or nullptr.
    void Start(const TPosition& position, TEngineMove tableMove, const std::int32_t* history, bool ordered,
               const TReach* reach = nullptr);

    // The next move, or false when all were handed out.
    bool Next(TEngineMove& move);
    // Pieces the last move handed out turns.
    int Captures() const { return captures_; }

    static int HistoryIndex(int side, TEngineMove move) { return (side * 128 + move.From) * 128 + move.To; }

private:
    bool Fill();
    void PrepareLevels();
    void SortByHistory();

    const TPosition* position_ = nullptr;
    const std::int32_t* history_ = nullptr;
    TEngineMove tableMove_ = NoEngineMove;
    bool ordered_ = true;
    int stage_ = 0;  // 0 table move, then two stages (copies, jumps) per number of captures
    int captures_ = 0;
    int groupCaptures_ = 0; // -1: counted for each move
    TMask levels_[7]; // empty cells by the number of opposing neighbours
    TMask copyTargets_;
    TMask jumpTargets_;
    bool levelsReady_ = false;
    const TReach* reach_ = nullptr;
    std::array<TEngineMove, MaxEngineMoves> group_;
    int groupSize_ = 0;
    int groupAt_ = 0;
};
