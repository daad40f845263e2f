// Retrograde4x4: the value of every reachable 4 x 4 position with best play
// (a win, draw or loss for the side to pick, and the plies to the end of a
// won or lost game), and a check of the engine's level 10 against it.
//
// The number of empty cells never grows: a copy takes one, a jump none, and
// the fill ends the game. So the positions fall into layers by the number of
// empty cells, a copy leads to the layer below and a jump stays in the layer.
// The tool first walks forward from both start positions to mark every
// reachable position, then settles the layers from the fullest board up:
// within a layer it makes passes t = 1, 2, ..., and in pass t a position
// becomes a win in t plies when a move leads to a loss in t - 1 (or ends the
// game won, t = 1), and a loss in t plies when every move leads to a win of
// at most t - 1 plies for the opponent (or ends the game lost). Lower layers
// are settled already, so when no pass changes anything any more, what is
// left can be held by neither side: endless jumping, a draw.
//
//   Retrograde4x4 [--values FILE | --load FILE] [--check N] [--sample FILE COUNT]
//                 [--explain POSITION] [--verify] [--table FILE] [--seed S]
//
// --values writes two bits per position (0 unreachable or over, 1 win,
// 2 draw, 3 loss); --load reads such a file instead of working the values
// out again; --check plays level 10 on N reachable positions drawn at random
// and counts the moves worse than the position's value; --sample writes
// COUNT positions with their values for the engine's tests; --explain shows
// the value of a position and of each of its moves; --verify checks that
// every value is the best of its moves' values and that a position turned
// half round has the value of the position; --table writes the compressed
// table the engine's level 10 plays 4 x 4 by (engine/data/perfect4x4.bin).
#include "engine/Board4x4.h"
#include "engine/ComputerPlayer.h"
#include "engine/Notation.h"
#include "engine/Perfect4x4.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

// A settled position: the kind in the top two bits, the plies to the end below.
enum : std::uint16_t { Unreachable = 0, Open = 1 << 14, Win = 2 << 14, Loss = 3 << 14 };
constexpr std::uint16_t KindMask = 3 << 14;
constexpr std::uint16_t PliesMask = (1 << 14) - 1;

struct TAnalysis {
    TLayerIndex Index;
    std::vector<std::uint16_t> Layers[17];

    std::uint16_t& At(const TBoard4x4& board) { return Layers[board.Empties()][Index.IndexOf(board)]; }
    std::uint16_t Code(const TPosition& position) { return At(Board4x4Of(position)); }
};

double Seconds(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void MarkReachable(TAnalysis& a)
{
    std::vector<std::uint32_t> work[17];
    for (int side = 0; side < 2; ++side) {
        const TBoard4x4 start = Board4x4Of(TPosition::Start(4, 4, side));
        a.At(start) = Open;
        work[start.Empties()].push_back(a.Index.IndexOf(start));
    }
    for (int e = 16; e >= 0; --e) {
        auto& layer = a.Layers[e];
        while (!work[e].empty()) {
            const std::uint32_t index = work[e].back();
            work[e].pop_back();
            const TPosition position = PositionOf(a.Index.BoardAt(e, index));
            TMoveList moves;
            position.GenerateMoves(moves);
            for (const TEngineMove move : moves) {
                TPosition next = position;
                next.Play(move);
                if (next.Outcome() != TResult::None)
                    continue;
                const TBoard4x4 child = Board4x4Of(next);
                std::uint16_t& code = a.Layers[child.Empties()][a.Index.IndexOf(child)];
                if (code == Unreachable) {
                    code = Open;
                    work[child.Empties()].push_back(a.Index.IndexOf(child));
                }
            }
        }
        std::size_t count = 0;
        for (const std::uint16_t code : layer)
            count += code != Unreachable;
        std::printf("layer %2d: %9zu reachable positions\n", e, count);
        std::fflush(stdout);
    }
}

// What the moves that leave the layer (copies and game ends) say, worked out
// once per position: the shortest win they give, the longest loss, and
// whether one of them holds a draw or better.
constexpr int NoWin = 1 << 20;

struct TOutside {
    int ShortestWin = NoWin; // plies, when some move wins
    int LongestLoss = 0;       // plies, when moves lose
    bool NotLost = false;      // a move that does not lose
};

void Settle(TAnalysis& a, int e)
{
    auto& layer = a.Layers[e];
    std::vector<std::uint32_t> open;
    std::vector<TOutside> outside;
    int lowerPlies = 0;
    for (std::uint32_t index = 0; index < layer.size(); ++index) {
        if (layer[index] != Open)
            continue;
        const TPosition position = PositionOf(a.Index.BoardAt(e, index));
        TMoveList moves;
        position.GenerateMoves(moves);
        TOutside o;
        for (const TEngineMove move : moves) {
            TPosition next = position;
            next.Play(move);
            const TResult result = next.Outcome();
            if (result == TResult::Draw) {
                o.NotLost = true;
            } else if (result != TResult::None) {
                const bool won = (result == TResult::RedWins) == (position.Side == RedSide);
                if (won)
                    o.ShortestWin = 1;
                else
                    o.LongestLoss = std::max(o.LongestLoss, 1);
            } else if (move.IsCopy()) {
                const std::uint16_t code = a.Code(next);
                const int plies = (code & PliesMask) + 1;
                if ((code & KindMask) == Loss)
                    o.ShortestWin = std::min(o.ShortestWin, plies);
                else if ((code & KindMask) == Win)
                    o.LongestLoss = std::max(o.LongestLoss, plies);
                else
                    o.NotLost = true;
                lowerPlies = std::max(lowerPlies, plies);
            }
        }
        open.push_back(index);
        outside.push_back(o);
    }

    for (int t = 1;; ++t) {
        bool changed = false;
        std::size_t kept = 0;
        for (std::size_t i = 0; i < open.size(); ++i) {
            const std::uint32_t index = open[i];
            const TOutside& o = outside[i];
            const TPosition position = PositionOf(a.Index.BoardAt(e, index));
            int shortestWin = o.ShortestWin, longestLoss = o.LongestLoss;
            bool notLost = o.NotLost;
            // Jumps stay in the layer.
            const TMask empty = position.Empty();
            ForEachBit(position.Own(), [&](int from) {
                ForEachBit(position.Geo->Far[from] & empty, [&](int to) {
                    TPosition next = position;
                    next.Play(TEngineMove::Jump(from, to));
                    const TResult result = next.Outcome();
                    if (result == TResult::Draw) {
                        notLost = true;
                    } else if (result != TResult::None) {
                        if ((result == TResult::RedWins) == (position.Side == RedSide))
                            shortestWin = 1;
                        else
                            longestLoss = std::max(longestLoss, 1);
                    } else {
                        const std::uint16_t code = layer[a.Index.IndexOf(Board4x4Of(next))];
                        const int plies = (code & PliesMask) + 1;
                        if ((code & KindMask) == Loss)
                            shortestWin = std::min(shortestWin, plies);
                        else if ((code & KindMask) == Win)
                            longestLoss = std::max(longestLoss, plies);
                        else
                            notLost = true;
                    }
                });
            });
            if (shortestWin == t) {
                layer[index] = std::uint16_t(Win | t);
                changed = true;
            } else if (!notLost && shortestWin == NoWin && longestLoss == t) {
                layer[index] = std::uint16_t(Loss | t);
                changed = true;
            } else {
                open[kept] = index;
                outside[kept] = o;
                ++kept;
            }
        }
        open.resize(kept);
        outside.resize(kept);
        if (!changed && t > lowerPlies + 1)
            break;
    }
}

struct TStats {
    std::size_t Wins = 0, Draws = 0, Losses = 0;
    int LongestWin = 0;
};

TStats Count(const std::vector<std::uint16_t>& layer)
{
    TStats s;
    for (const std::uint16_t code : layer) {
        const int kind = code & KindMask;
        if (kind == Win)
            ++s.Wins, s.LongestWin = std::max(s.LongestWin, code & PliesMask);
        else if (kind == Loss)
            ++s.Losses, s.LongestWin = std::max(s.LongestWin, code & PliesMask);
        else if (kind == Open)
            ++s.Draws;
    }
    return s;
}

// +1 win, 0 draw, -1 loss for the side to pick of a reachable position that goes on.
int ValueOf(std::uint16_t code)
{
    const int kind = code & KindMask;
    return kind == Win ? 1 : kind == Loss ? -1 : 0;
}

// The value for the side to pick of the move's outcome.
int ValueOfMove(TAnalysis& a, const TPosition& position, TEngineMove move)
{
    TPosition next = position;
    next.Play(move);
    const TResult result = next.Outcome();
    if (result == TResult::Draw)
        return 0;
    if (result != TResult::None)
        return (result == TResult::RedWins) == (position.Side == RedSide) ? 1 : -1;
    return -ValueOf(a.Code(next));
}

// Reads what --values wrote; the plies to the end are not kept there.
bool Load(TAnalysis& a, const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    for (int e = 0; e <= 16; ++e) {
        std::vector<std::uint8_t> packed((a.Layers[e].size() + 3) / 4, 0);
        if (!in.read(reinterpret_cast<char*>(packed.data()), std::streamsize(packed.size()))) {
            std::fprintf(stderr, "%s is not a values file of this tool\n", file.c_str());
            return false;
        }
        for (std::size_t i = 0; i < a.Layers[e].size(); ++i) {
            const int bits = (packed[i / 4] >> (2 * (i % 4))) & 3;
            a.Layers[e][i] = bits == 0 ? Unreachable : bits == 1 ? Win : bits == 2 ? Open : Loss;
        }
    }
    return true;
}

std::vector<std::pair<int, std::uint32_t>> SampleReachable(TAnalysis& a, int count, std::mt19937_64& random)
{
    std::vector<std::pair<int, std::uint32_t>> all;
    for (int e = 0; e <= 16; ++e)
        for (std::uint32_t i = 0; i < a.Layers[e].size(); ++i)
            if (a.Layers[e][i] != Unreachable)
                all.push_back({e, i});
    std::shuffle(all.begin(), all.end(), random);
    all.resize(std::min<std::size_t>(all.size(), std::size_t(count)));
    return all;
}

} // namespace

int main(int argc, char** argv)
{
    std::string valuesFile, loadFile, sampleFile, explain, tableFile;
    bool verify = false;
    int check = 0, sampleCount = 0;
    std::uint64_t seed = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--values" && i + 1 < argc)
            valuesFile = argv[++i];
        else if (option == "--load" && i + 1 < argc)
            loadFile = argv[++i];
        else if (option == "--explain" && i + 1 < argc)
            explain = argv[++i];
        else if (option == "--table" && i + 1 < argc)
            tableFile = argv[++i];
        else if (option == "--verify")
            verify = true;
        else if (option == "--check" && i + 1 < argc)
            check = std::atoi(argv[++i]);
        else if (option == "--sample" && i + 2 < argc)
            sampleFile = argv[++i], sampleCount = std::atoi(argv[++i]);
        else if (option == "--seed" && i + 1 < argc)
            seed = std::strtoull(argv[++i], nullptr, 10);
        else {
            std::fprintf(stderr, "usage: Retrograde4x4 [--values FILE | --load FILE] [--check N] [--sample FILE COUNT] "
                                 "[--explain POSITION] [--verify] [--table FILE] [--seed S]\n");
            return 2;
        }
    }

    const auto start = std::chrono::steady_clock::now();
    TAnalysis a;
    for (int e = 0; e <= 16; ++e)
        a.Layers[e].assign(a.Index.LayerSize(e), Unreachable);
    if (!loadFile.empty()) {
        if (!Load(a, loadFile))
            return 1;
    } else {
        MarkReachable(a);
        std::printf("reachable marked in %.0f s\n", Seconds(start));
    }

    TStats total;
    for (int e = 0; e <= 16 && loadFile.empty(); ++e) {
        Settle(a, e);
        const TStats s = Count(a.Layers[e]);
        std::printf("layer %2d: %9zu wins %9zu draws %9zu losses, longest game %d plies (%.0f s)\n", e, s.Wins, s.Draws, s.Losses,
                    s.LongestWin, Seconds(start));
        std::fflush(stdout);
        total.Wins += s.Wins, total.Draws += s.Draws, total.Losses += s.Losses;
        total.LongestWin = std::max(total.LongestWin, s.LongestWin);
    }
    std::printf("all: %zu positions, %zu wins, %zu draws, %zu losses for the side to pick; longest won game %d plies\n",
                total.Wins + total.Draws + total.Losses, total.Wins, total.Draws, total.Losses, total.LongestWin);
    for (int side = 0; side < 2; ++side) {
        const std::uint16_t code = a.Code(TPosition::Start(4, 4, side));
        const int value = ValueOf(code);
        std::printf("start, %s to pick: %s%s\n", side == RedSide ? "Red" : "Blue",
                    value > 0 ? "won" : value < 0 ? "lost" : "drawn",
                    value ? (" in " + std::to_string(code & PliesMask) + " plies").c_str() : "");
    }

    if (!explain.empty()) {
        std::string error;
        const auto position = ParsePosition(explain, error);
        if (!position || position->Geo->Width != 4 || position->Geo->Height != 4) {
            std::fprintf(stderr, "not a 4x4 position: %s\n", error.c_str());
            return 2;
        }
        std::printf("%s: value %d\n", FormatPosition(*position).c_str(), ValueOf(a.Code(*position)));
        TMoveList moves;
        position->GenerateMoves(moves);
        for (const TEngineMove move : moves)
            std::printf("  %s: %d\n", FormatMove(*position, move).c_str(), ValueOfMove(a, *position, move));
    }

    if (verify) {
        std::size_t wrong = 0, turned = 0;
        for (int e = 0; e <= 16; ++e) {
            for (std::uint32_t i = 0; i < a.Layers[e].size(); ++i) {
                if (a.Layers[e][i] == Unreachable)
                    continue;
                const TBoard4x4 board = a.Index.BoardAt(e, i);
                const TPosition position = PositionOf(board);
                TMoveList moves;
                position.GenerateMoves(moves);
                int best = -1;
                for (const TEngineMove move : moves)
                    best = std::max(best, ValueOfMove(a, position, move));
                wrong += best != ValueOf(a.Layers[e][i]);
                const std::uint16_t other = a.At(TurnedRound(board));
                turned += other != Unreachable && ValueOf(other) != ValueOf(a.Layers[e][i]);
            }
        }
        std::printf("verified: %zu values differ from the best of their moves, %zu from the position turned round\n", wrong,
                    turned);
        if (wrong || turned)
            return 1;
    }

    if (!tableFile.empty()) {
        // Red to pick only, each position and its half turn in one slot;
        // slots no reachable position fills repeat the slot before them,
        // which the compression all but takes away.
        const std::uint64_t slotCount = TPerfect4x4::Slots(a.Index);
        std::vector<std::int8_t> values(slotCount, -2);
        for (int e = 0; e <= 16; ++e)
            for (std::uint32_t i = 0; i < a.Layers[e].size(); i += 2)
                if (a.Layers[e][i] != Unreachable)
                    values[TPerfect4x4::Slot(a.Index, a.Index.BoardAt(e, i))] = std::int8_t(ValueOf(a.Layers[e][i]));
        std::vector<std::uint8_t> packed((slotCount + 3) / 4, 0);
        int previous = 0;
        for (std::uint64_t slot = 0; slot < slotCount; ++slot) {
            const int value = values[slot] == -2 ? previous : values[slot];
            previous = value;
            packed[slot / 4] |= std::uint8_t((value + 1) << (2 * (slot % 4)));
        }
        const std::string compressed = TPerfect4x4::Compress(packed);
        std::ofstream(tableFile, std::ios::binary).write(compressed.data(), std::streamsize(compressed.size()));
        std::printf("table of %llu slots, %zu bytes packed, %zu compressed, written to %s\n",
                    static_cast<unsigned long long>(slotCount), packed.size(), compressed.size(), tableFile.c_str());
    }

    if (!valuesFile.empty()) {
        std::ofstream out(valuesFile, std::ios::binary);
        for (int e = 0; e <= 16; ++e) {
            std::vector<std::uint8_t> packed((a.Layers[e].size() + 3) / 4, 0);
            for (std::size_t i = 0; i < a.Layers[e].size(); ++i) {
                const std::uint16_t code = a.Layers[e][i];
                const int bits = code == Unreachable ? 0 : ValueOf(code) > 0 ? 1 : ValueOf(code) == 0 ? 2 : 3;
                packed[i / 4] |= std::uint8_t(bits << (2 * (i % 4)));
            }
            out.write(reinterpret_cast<const char*>(packed.data()), std::streamsize(packed.size()));
        }
        std::printf("values written to %s\n", valuesFile.c_str());
    }

    std::mt19937_64 random(seed);
    if (!sampleFile.empty()) {
        std::ofstream out(sampleFile);
        out << "# 4 x 4 positions with their value for the side to pick (W, D or L), drawn at random\n"
               "# from the reachable positions by tools/Retrograde4x4 --sample FILE "
            << sampleCount << " --seed " << seed << "\n";
        for (const auto& [e, i] : SampleReachable(a, sampleCount, random)) {
            const int value = ValueOf(a.Layers[e][i]);
            out << FormatPosition(PositionOf(a.Index.BoardAt(e, i))) << " " << (value > 0 ? 'W' : value < 0 ? 'L' : 'D') << "\n";
        }
        std::printf("%d positions written to %s\n", sampleCount, sampleFile.c_str());
    }

    if (check > 0) {
        const auto checkStart = std::chrono::steady_clock::now();
        TComputerPlayer player;
        const std::atomic<bool> never{false};
        int worse = 0, done = 0;
        for (const auto& [e, i] : SampleReachable(a, check, random)) {
            TThinkRequest request;
            request.Position = PositionOf(a.Index.BoardAt(e, i));
            request.Level = MaxLevel;
            request.Seed = random();
            const TEngineMove move = player.Choose(request, never);
            const int value = ValueOf(a.Layers[e][i]);
            if (move == NoEngineMove || ValueOfMove(a, request.Position, move) < value) {
                ++worse;
                std::printf("worse: %s value %d, level 10 played %s\n", FormatPosition(request.Position).c_str(), value,
                            FormatMove(request.Position, move).c_str());
            }
            ++done;
        }
        std::printf("level 10 on %d positions: %d moves worse than the position's value (%.1f ms a move)\n", done, worse,
                    1000 * Seconds(checkStart) / std::max(done, 1));
        return worse ? 1 : 0;
    }
    return 0;
}
