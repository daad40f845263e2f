// zelvon-engine: the engine on the command line, for tests, matches and bug
// reports. See the README for the commands and the position notation.
#include "engine/ComputerPlayer.h"
#include "engine/Notation.h"
#include "tools/BenchPositions.h"
#include "tools/EngineMatch.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char* const Usage = R"(usage: zelvon-engine [--position TEXT | --size WxH] [--moves "M1 M2 ..."] COMMAND
commands:
  perft DEPTH                   move sequences of DEPTH moves (a game end is one leaf)
  bestmove --level N | --time MS | --depth D [--seed S]
                                the move to play; last line "a1-b1"
  eval                          the position, its moves and the static score
  bench [--depth D | --time MS] [--player PLAYER]
                                search speed over a fixed set of 10x10 positions
  match [--games N] [--a PLAYER] [--b PLAYER] [--openings PLIES] [--seed S]
        [--max-plies N] [--quiet]
                                N games between two players on the board size
                                given (default 10x10), colours paired
PLAYER configures a player, e.g. "level=7", "time=50", "depth=3,plain" or "time=50,-lmr"
a position reads e.g. "4x4 R3/4/4/3B R" (see README.md)
)";

int Fail(const std::string& message)
{
    std::cerr << "zelvon-engine: " << message << "\n";
    return 2;
}

bool ReadInt(const char* text, long long low, long long high, long long& value)
{
    try {
        std::size_t used = 0;
        value = std::stoll(text, &used);
        return used == std::strlen(text) && value >= low && value <= high;
    } catch (...) {
        return false;
    }
}

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

std::string Pv(TPosition position, const std::vector<TEngineMove>& moves)
{
    std::string text;
    for (const TEngineMove move : moves) {
        if (!position.IsLegal(move))
            break;
        text += (text.empty() ? "" : " ") + FormatMove(position, move);
        position.Play(move);
        if (position.Outcome() != TResult::None)
            break;
    }
    return text;
}

int Perft(const TPosition& position, int argc, char** argv, int at)
{
    long long depth = 0;
    if (at + 1 != argc || !ReadInt(argv[at], 0, 30, depth))
        return Fail("perft needs one depth from 0 to 30");
    const auto start = std::chrono::steady_clock::now();
    const std::uint64_t leaves = Perft(position, int(depth));
    const double seconds = Seconds(start);
    std::printf("perft %lld: %.3f s, %.1f M leaves/s\n%llu\n", depth, seconds, seconds > 0 ? leaves / seconds / 1e6 : 0.0,
                static_cast<unsigned long long>(leaves));
    return 0;
}

int BestMove(const TPosition& position, const std::vector<TPosition>& history, int argc, char** argv, int at)
{
    long long level = -1, milliseconds = 0, depth = 0, seed = 0;
    for (; at < argc; ++at) {
        const std::string option = argv[at];
        if (at + 1 >= argc)
            return Fail(option + " needs a value");
        const char* value = argv[++at];
        if (option == "--level" && ReadInt(value, MinLevel, MaxLevel, level))
            continue;
        if (option == "--time" && ReadInt(value, 1, 3'600'000, milliseconds))
            continue;
        if (option == "--depth" && ReadInt(value, 1, MaxSearchPly - 2, depth))
            continue;
        if (option == "--seed" && ReadInt(value, 0, (1LL << 62), seed))
            continue;
        return Fail("bad option or value: " + option + " " + value);
    }
    if (level < 0 && !milliseconds && !depth)
        return Fail("bestmove needs --level N (0..10), --time MS or --depth D");
    if (position.Outcome() != TResult::None)
        return Fail("the game is over in this position; there is no move to choose");

    TComputerPlayer player;
    player.Searcher().OnIteration = [&](const TSearchResult& r) {
        std::printf("depth %d score %d nodes %llu time %lld ms pv %s\n", r.Depth, r.Score,
                    static_cast<unsigned long long>(r.Nodes), static_cast<long long>(r.Milliseconds),
                    Pv(position, r.Pv).c_str());
        std::fflush(stdout);
    };
    std::atomic<bool> never{false};
    TEngineMove move = NoEngineMove;
    if (level >= 0) {
        TThinkRequest request;
        request.Position = position;
        request.History = history;
        request.Level = int(level);
        request.Seed = std::uint64_t(seed);
        request.Milliseconds = milliseconds;
        move = player.Choose(request, never);
    } else {
        TSearchLimits limits;
        if (depth)
            limits.Depth = int(depth);
        limits.Milliseconds = milliseconds;
        move = player.Searcher().Search(position, history, limits).Best;
    }
    std::printf("%s\n", FormatMove(position, move).c_str());
    return move == NoEngineMove ? 1 : 0;
}

int Eval(const TPosition& position)
{
    const TGeometry& g = *position.Geo;
    for (int row = 1; row <= g.Height; ++row) {
        std::string line = (row < 10 ? " " : "") + std::to_string(row) + " ";
        for (int column = 1; column <= g.Width; ++column) {
            const int index = g.Index(column, row);
            line += position.Pieces[RedSide].Has(index) ? " R" : position.Pieces[BlueSide].Has(index) ? " B" : " .";
        }
        std::printf("%s\n", line.c_str());
    }
    std::string columns = "   ";
    for (int column = 1; column <= g.Width; ++column)
        columns += std::string(" ") + char('a' + column - 1);
    std::printf("%s\n%s\n", columns.c_str(), FormatPosition(position).c_str());
    const TResult outcome = position.Outcome();
    const char* const outcomes[] = {"goes on", "is a draw", "is won by Red", "is won by Blue"};
    std::printf("the game %s; %s to pick; %d moves\n", outcomes[int(outcome)], position.Side == RedSide ? "Red" : "Blue",
                position.CountMoves());
    std::printf("static score %d\n", Evaluate(position, TEvalWeights{}));
    return 0;
}

int Bench(int argc, char** argv, int at)
{
    long long depth = 0, milliseconds = 0;
    std::string configText = "depth=99";
    for (; at < argc; ++at) {
        const std::string option = argv[at];
        if (at + 1 >= argc)
            return Fail(option + " needs a value");
        const char* value = argv[++at];
        if (option == "--depth" && ReadInt(value, 1, MaxSearchPly - 2, depth))
            continue;
        if (option == "--time" && ReadInt(value, 1, 3'600'000, milliseconds))
            continue;
        if (option == "--player") {
            configText = std::string("depth=99,") + value;
            continue;
        }
        return Fail("bad option or value: " + option + " " + value);
    }
    if (!depth && !milliseconds)
        depth = 8;
    std::string error;
    const auto config = ParsePlayerConfig(configText, error);
    if (!config)
        return Fail(error);
    std::uint64_t nodes = 0;
    double seconds = 0;
    int depths = 0;
    for (const char* text : BenchPositions) {
        const TPosition position = *ParsePosition(text, error);
        TSearcher searcher;
        searcher.Features = config->Features;
        TSearchLimits limits;
        if (depth)
            limits.Depth = int(depth);
        limits.Milliseconds = milliseconds;
        const auto start = std::chrono::steady_clock::now();
        const TSearchResult result = searcher.Search(position, {}, limits);
        const double took = Seconds(start);
        std::printf("%-72s depth %2d score %5d nodes %9llu %6.0f ms %s\n", text, result.Depth, result.Score,
                    static_cast<unsigned long long>(result.Nodes), took * 1000, FormatMove(position, result.Best).c_str());
        nodes += result.Nodes;
        seconds += took;
        depths += result.Depth;
    }
    std::printf("total: %llu nodes, %.3f s, %.2f M nodes/s, mean depth %.1f\n", static_cast<unsigned long long>(nodes), seconds,
                nodes / seconds / 1e6, double(depths) / std::size(BenchPositions));
    return 0;
}

int Match(int width, int height, int argc, char** argv, int at)
{
    TMatchOptions options;
    options.Width = width;
    options.Height = height;
    std::string a = "level=10", b = "depth=3,plain";
    bool quiet = false;
    for (; at < argc; ++at) {
        const std::string option = argv[at];
        if (option == "--quiet") {
            quiet = true;
            continue;
        }
        if (at + 1 >= argc)
            return Fail(option + " needs a value");
        const char* value = argv[++at];
        long long n = 0;
        if (option == "--a")
            a = value;
        else if (option == "--b")
            b = value;
        else if (option == "--games" && ReadInt(value, 1, 1'000'000, n))
            options.Games = int(n);
        else if (option == "--openings" && ReadInt(value, 0, 40, n))
            options.OpeningPlies = int(n);
        else if (option == "--seed" && ReadInt(value, 0, 1LL << 62, n))
            options.Seed = std::uint64_t(n);
        else if (option == "--max-plies" && ReadInt(value, 1, 1'000'000, n))
            options.MaxPlies = int(n);
        else
            return Fail("bad option or value: " + option + " " + value);
    }
    std::string error;
    const auto configA = ParsePlayerConfig(a, error);
    if (!configA)
        return Fail("player A: " + error);
    const auto configB = ParsePlayerConfig(b, error);
    if (!configB)
        return Fail("player B: " + error);
    TMatchPlayer playerA(*configA), playerB(*configB);
    const char* const results[] = {"-", "draw", "Red wins", "Blue wins"};
    if (!quiet)
        options.OnGame = [&](int game, const TGameRecordEntry& record, bool aIsRed) {
            std::printf("game %d: A %s, %s in %d plies%s\n", game, aIsRed ? "Red" : "Blue", results[int(record.Result)],
                        record.Plies, record.Capped ? " (ply limit)" : "");
            std::fflush(stdout);
        };
    const auto start = std::chrono::steady_clock::now();
    const TMatchSummary s = PlayMatch(playerA, playerB, options);
    std::printf("%dx%d, %d games, A = %s, B = %s, %.0f s\n", width, height, s.Games, a.c_str(), b.c_str(), Seconds(start));
    std::printf("A: %d wins, %d losses, %d draws; score %.1f %%\n", s.WinsA, s.WinsB, s.Draws, 100 * s.Score);
    std::printf("longest game %d plies, mean %.0f, %d stopped at the ply limit\n", s.Longest, s.MeanPlies, s.Capped);
    if (playerA.Searches() && playerB.Searches())
        std::printf("mean depth A %.1f, B %.1f\n", double(playerA.DepthSum()) / playerA.Searches(),
                    double(playerB.DepthSum()) / playerB.Searches());
    std::printf("Elo A - B: %+.0f +- %.0f\n", s.Elo, s.EloError);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    int width = 10, height = 10;
    std::optional<TPosition> position;
    std::string moves;
    int at = 1;
    for (; at < argc && argv[at][0] == '-'; ++at) {
        const std::string option = argv[at];
        if (option == "--help" || option == "-h") {
            std::printf("%s", Usage);
            return 0;
        }
        if (at + 1 >= argc)
            return Fail(option + " needs a value\n" + Usage);
        const char* value = argv[++at];
        std::string error;
        if (option == "--position") {
            position = ParsePosition(value, error);
            if (!position)
                return Fail("bad position \"" + std::string(value) + "\": " + error);
            width = position->Geo->Width;
            height = position->Geo->Height;
        } else if (option == "--size") {
            if (!ParseSize(value, width, height))
                return Fail("bad size \"" + std::string(value) + "\": give WxH with both numbers from 4 to 10");
            position = TPosition::Start(width, height);
        } else if (option == "--moves") {
            moves = value;
        } else {
            return Fail("unknown option " + option + "\n" + Usage);
        }
    }
    if (!position)
        position = TPosition::Start(width, height);

    // Moves played from the position first; they also form the game so far.
    std::vector<TPosition> history;
    std::istringstream list(moves);
    for (std::string text; list >> text;) {
        std::string error;
        if (position->Outcome() != TResult::None)
            return Fail("the game is over before move " + text);
        const auto move = ParseMove(*position, text, error);
        if (!move)
            return Fail(error);
        history.push_back(*position);
        position->Play(*move);
    }

    if (at >= argc)
        return Fail(std::string("no command given\n") + Usage);
    const std::string command = argv[at++];
    if (command == "perft")
        return Perft(*position, argc, argv, at);
    if (command == "bestmove")
        return BestMove(*position, history, argc, argv, at);
    if (command == "eval")
        return Eval(*position);
    if (command == "bench")
        return Bench(argc, argv, at);
    if (command == "match")
        return Match(width, height, argc, argv, at);
    return Fail("unknown command \"" + command + "\"\n" + Usage);
}
