// The searcher: finds the best move of a position within limits of depth,
// time and nodes, and stops at once when told to. How it searches is told in
// Search.cpp. One searcher is one thinking player: it owns its table and its
// history of good moves, so two searchers can think on two threads at once.
#pragma once

#include "engine/Evaluation.h"
#include "engine/MovePicker.h"
#include "engine/Position.h"
#include "engine/TranspositionTable.h"

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

constexpr int MaxSearchPly = 128;
constexpr int ScoreInfinite = 32000;
constexpr int ScoreWin = 30000;
// Scores beyond this are won or lost games, ScoreWin less the plies to the end.
constexpr int ScoreWinBound = ScoreWin - MaxSearchPly;

// Plies without a copy after which the side to pick copies if it can.
constexpr int JumpLimit = 40;

constexpr bool IsDecided(int score) { return score >= ScoreWinBound || score <= -ScoreWinBound; }

// Every part of the search can be switched off, so a match can measure what
// each one gains; the defaults are what the levels play with.
struct TSearchFeatures {
    bool Table = true;           // transposition table
    bool Ordering = true;        // table move, then captures, copies before jumps
    bool History = true;         // then moves that refuted other positions
    bool Pvs = true;             // principal variation search
    bool Aspiration = true;      // narrow windows around the last iteration's score
    bool ReverseFutility = true; // a shallow node far above beta stops at once
    bool LateReductions = true;  // late moves searched shallower first
    bool LateMovePruning = true; // late quiet moves at the frontier not searched
    bool Progress = true;        // long series of jumps fade the score, and end in a copy
    TEvalWeights Eval;

    // Plain alpha-beta on material: the reference player of the matches.
    static TSearchFeatures Plain();
};

struct TSearchLimits {
    // Only these moves at the root, when not empty.
    std::vector<TEngineMove> RootMoves;
    int Depth = MaxSearchPly - 1;
    std::int64_t Milliseconds = 0; // 0: no limit
    std::uint64_t Nodes = 0;       // 0: no limit
    const std::atomic<bool>* Cancel = nullptr;
};

struct TSearchResult {
    TEngineMove Best = NoEngineMove;
    int Score = 0;  // for the side to pick
    int Depth = 0;  // last completed iteration
    std::uint64_t Nodes = 0;
    std::int64_t Milliseconds = 0;
    bool Stopped = false; // time, nodes or cancel ended the search
    std::vector<TEngineMove> Pv;
};

struct TRootScore {
    TEngineMove Move;
    int Score;
};

class TSearcher {
public:
    explicit TSearcher(std::size_t tableMegabytes = 16);

    TSearchFeatures Features;
    // Called after every completed iteration (the command-line engine prints it).
    std::function<void(const TSearchResult&)> OnIteration;

    // Searches `root`, whose side to pick must have a move. `history` holds
    // the game's earlier positions, oldest first: a position that repeats one
    // of them (or one on the current line) counts as a draw.
    TSearchResult Search(const TPosition& root, std::span<const TPosition> history, const TSearchLimits& limits);

    // Every legal move with its score from a search of `depth` plies, in
    // move-generation order (only the copies after JumpLimit plies without
    // one, as Search plays); for the weaker levels. With a margin above 0, a
    // move worse than the best by more than the margin is only shown to be
    // so: its score is a bound at most the best less the margin. With a time
    // budget, the scores of the deepest search up to `depth` that ends in
    // time (at least one ply); nothing when cancelled. A node budget above
    // 0 works as the time budget does.
    std::vector<TRootScore> ScoreRootMoves(const TPosition& root, std::span<const TPosition> history, int depth,
                                           const std::atomic<bool>* cancel = nullptr, int margin = 0,
                                           std::int64_t milliseconds = 0, std::uint64_t nodes = 0);

    // Forgets everything learnt, as for a new game.
    void Clear();

    std::uint64_t Nodes() const { return nodes_; }

private:
    int Negamax(const TPosition& position, int depth, int alpha, int beta, int ply, bool pvNode);
    int SearchChild(const TPosition& next, TEngineMove move, int index, int depth, int alpha, int beta, int ply, bool pvNode,
                    bool quiet, int best);
    int Leaf(const TPosition& position, int ply) const;
    int Fade(int score, int ply) const;
    void Prepare(const TPosition& root, std::span<const TPosition> history, const TSearchLimits& limits);
    bool IsRepetition(int ply) const;
    void Push(int ply, const TPosition& position, bool copy);
    void CheckStop();
    // Past half the time or the nodes a deeper look is not worth starting.
    bool PastHalfBudget() const;
    void RewardHistory(int side, TEngineMove move, int depth);

    TTranspositionTable table_;
    std::vector<std::int32_t> history_; // [side][from][to]
    std::vector<TMovePicker> pickers_;  // one per ply
    std::vector<TReach> reaches_;       // one per ply
    std::array<std::array<TEngineMove, MaxSearchPly>, MaxSearchPly> pv_{};
    std::array<int, MaxSearchPly> pvLength_{};

    // Keys of the game's reversible tail followed by the current line, and
    // for each the number of jumps since the last copy.
    std::vector<std::uint64_t> keys_;
    std::vector<int> clocks_;
    int rootIndex_ = 0;

    std::uint64_t nodes_ = 0;
    std::uint64_t nodeLimit_ = 0;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point deadline_;
    bool timed_ = false;
    const std::atomic<bool>* cancel_ = nullptr;
    bool stop_ = false;
    int rootDepth_ = 0;
    std::vector<TEngineMove> rootMoves_;
    TEngineMove rootBest_ = NoEngineMove;
    int rootBestScore_ = -ScoreInfinite;
};
