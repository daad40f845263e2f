// Matches between two engine players for the command-line engine: the
// players described in a short text, balanced openings, colours paired, and
// the score as an Elo difference with its error bar.
#pragma once

#include "engine/ComputerPlayer.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// A player: "level=N" plays as the game's level N; otherwise it searches
// with "time=MS", "depth=D" or "nodes=N" limits. "plain" is alpha-beta on
// material alone; "-tt", "-ordering", "-history", "-pvs", "-aspiration",
// "-rfp", "-lmr", "-lmp", "-progress" switch one part of the search off and
// "+name" on again; "piece=", "tempo=", "safe=", "reach=", "exclusive=",
// "front=", "threat=" set an evaluation weight; "softmax=D/T" plays as a
// weak level does, a softmax of temperature T over D-ply scores (with
// "time=" over the deepest scores found in time), with "best=P" over the
// best P % of the moves only; "npm=N" turns a level's time budget into a
// budget of N positions a millisecond, so a match plays alike on a busy
// and on an idle machine. Items are separated by commas.
struct TPlayerConfig {
    std::string Text;
    int Level = -1;
    int Depth = 0;
    std::int64_t Milliseconds = 0;
    std::uint64_t Nodes = 0;
    std::uint64_t NodesPerMillisecond = 0;
    std::optional<TLevelStyle> Style;
    TSearchFeatures Features;
};
std::optional<TPlayerConfig> ParsePlayerConfig(const std::string& text, std::string& error);

class TMatchPlayer {
public:
    explicit TMatchPlayer(TPlayerConfig config);
    TEngineMove Choose(const TPosition& position, const std::vector<TPosition>& history, std::uint64_t seed);
    void NewGame() { player_.NewGame(); }
    const TPlayerConfig& Config() const { return config_; }
    std::uint64_t Nodes() const { return nodes_; }
    int DepthSum() const { return depthSum_; }
    int Searches() const { return searches_; }

private:
    TPlayerConfig config_;
    TComputerPlayer player_;
    std::uint64_t nodes_ = 0;
    int depthSum_ = 0;
    int searches_ = 0;
};

// Positions a few random plies from the start that a short search finds
// close to level, all different; Red to pick in each.
std::vector<TPosition> BalancedOpenings(int width, int height, int count, int plies, std::uint64_t seed);

struct TGameRecordEntry {
    TResult Result = TResult::None;
    int Plies = 0;
    bool Capped = false; // stopped at the ply limit, counted as a draw
};

struct TMatchSummary {
    int Games = 0;
    int WinsA = 0, WinsB = 0, Draws = 0;
    int Longest = 0;
    int Capped = 0;
    double MeanPlies = 0;
    double Score = 0;       // for A, 0..1
    double Elo = 0;         // A over B
    double EloError = 0;    // half the 95 % interval
    std::uint64_t NodesA = 0, NodesB = 0;
};

struct TMatchOptions {
    int Width = 10, Height = 10;
    int Games = 100;        // rounded up to pairs
    int OpeningPlies = 4;
    int MaxPlies = 4000;
    std::uint64_t Seed = 1;
    // Called after each game with its number from 1.
    std::function<void(int, const TGameRecordEntry&, bool aWasRed)> OnGame;
};

TMatchSummary PlayMatch(TMatchPlayer& a, TMatchPlayer& b, const TMatchOptions& options);

// Elo difference of a mean score (0..1) and half its 95 % interval, from
// the scores of independent samples (here: pairs of games).
void EloOfScores(const std::vector<double>& scores, double& elo, double& error);
