// The computer opponent as the window uses it: given the game so far, a
// level 0..10 and a seed, it chooses the move of the side to pick.
//
//   TComputerPlayer player;                     // one per thinking side or one shared, never two threads at once
//   std::atomic<bool> cancel{false};
//   TThinkRequest request = ThinkRequestFromGame(board, size, sideToPick, earlierPositions, level, seed);
//   std::optional<TMove> move = player.ChooseMove(request, cancel);   // on a worker thread
//   // set `cancel` from the UI thread to stop it within a few milliseconds;
//   // a cancelled choice returns nothing and must not be played.
//
// Level 0 plays a uniformly random legal move; 1 to 3 choose among the
// scores of a shallow search with a softmax whose temperature falls with the
// level, so they prefer good moves rather than blunder at random; 4 to 10
// search with time budgets that grow to about a second, 4 to 9 choosing by
// a softmax of still falling temperature (8 and 9 among their better moves
// only), 10 the best move. On a 4 x 4 board level 10 plays perfectly.
#pragma once

#include "engine/Position.h"
#include "engine/Search.h"
#include "game/Moves.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

constexpr int MinLevel = 0;
constexpr int MaxLevel = 10;
constexpr int DefaultLevel = 5;

// How a level plays: a softmax over the scores of every move (or of the
// better ones only) from a search of Depth plies, or of as many plies as the
// time budget allows, or (temperature 0) the best move of a search within
// the time budget.
struct TLevelStyle {
    int Depth = 0;                 // the search depth of a softmax level without a time budget
    std::int64_t Milliseconds = 0; // the time budget
    int Temperature = 0;           // softmax temperature in hundredths of a piece; 0 = the best move
    bool Random = false;           // level 0
    int BestPercent = 0;           // above 0, the softmax chooses among this share of the moves only, the best
};
TLevelStyle StyleOfLevel(int level);

struct TThinkRequest {
    TPosition Position;             // the side to pick moves
    std::vector<TPosition> History; // the game's earlier positions, oldest first
    int Level = DefaultLevel;
    std::uint64_t Seed = 0;
    std::int64_t Milliseconds = 0;  // replaces the level's budget when above 0
    std::optional<TLevelStyle> Style; // replaces the level's style, for calibrating the levels
    // Above 0, a time budget becomes a budget of this many positions a
    // millisecond: matches on a busy machine play the same games however
    // the processor is shared.
    std::uint64_t NodesPerMillisecond = 0;
};

// The positions a game went through, for the repetition rule of the search.
// The window adds every position after a move and clears it for a new game.
class TGameRecord {
public:
    void Clear() { positions_.clear(); }
    void Add(const TPosition& position) { positions_.push_back(position); }
    void Add(const TGameBoard& board, TBoardSize size, int sideToPick);
    const std::vector<TPosition>& Positions() const { return positions_; }

private:
    std::vector<TPosition> positions_;
};

// The request for the window's game: its board in use with `sideToPick`
// (0 Red, 1 Blue) to pick, and the positions the game went through before.
TThinkRequest ThinkRequestFromGame(const TGameBoard& board, TBoardSize size, int sideToPick,
                                   const TGameRecord& record, int level, std::uint64_t seed);

// The moves that keep the best value of a 4 x 4 position by the table of
// perfect play; of a won position only those that do not return to one of
// the earlier positions, while there are such. Nothing when cancelled.
std::vector<TEngineMove> PerfectMoves(const TPosition& position, std::span<const TPosition> history,
                                      const std::atomic<bool>* cancel = nullptr);

class TComputerPlayer {
public:
    explicit TComputerPlayer(std::size_t tableMegabytes = 16);
    ~TComputerPlayer();

    // The engine's move, or NoEngineMove when there is none or the choice
    // was cancelled.
    TEngineMove Choose(const TThinkRequest& request, const std::atomic<bool>& cancel);
    // The same as the window plays it: the piece to pick and the cell to press.
    std::optional<TMove> ChooseMove(const TThinkRequest& request, const std::atomic<bool>& cancel);

    // Forgets what earlier games taught the search.
    void NewGame();

    // The last search, for the command-line engine.
    const TSearchResult& LastSearch() const { return last_; }
    TSearcher& Searcher() { return searcher_; }

private:
    TSearcher searcher_;
    TSearchResult last_;
};
