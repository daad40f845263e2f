// The engine's speed: perft from the 10 x 10 start (goal: depth 8 under five
// seconds on one core), search nodes per second on middle-game positions
// (goal: ten million), the depth the search reaches in one second from the
// start (goal: twelve), and the parts a node is made of.
#include "engine/Evaluation.h"
#include "engine/MovePicker.h"
#include "engine/Notation.h"
#include "engine/Search.h"
#include "tools/BenchPositions.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

std::vector<TPosition> MiddleGames()
{
    std::vector<TPosition> positions;
    std::string error;
    for (const char* text : BenchPositions) {
        const TPosition position = *ParsePosition(text, error);
        if (position.Pieces[0].Count() + position.Pieces[1].Count() > 10)
            positions.push_back(position);
    }
    return positions;
}

void BM_Perft(benchmark::State& state)
{
    const TPosition start = TPosition::Start(10, 10);
    std::uint64_t leaves = 0;
    for (auto _ : state)
        leaves = Perft(start, int(state.range(0)));
    state.counters["leaves"] = double(leaves);
    state.counters["leaves/s"] = benchmark::Counter(double(leaves) * double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Perft)->DenseRange(1, 5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Perft)->DenseRange(6, 8)->Iterations(1)->Unit(benchmark::kMillisecond);

// Each middle-game position searched for a fixed number of nodes with a
// fresh table, as a move in a game would be.
void BM_SearchMiddleGame(benchmark::State& state)
{
    const std::vector<TPosition> positions = MiddleGames();
    TSearchLimits limits;
    limits.Nodes = std::uint64_t(state.range(0));
    std::uint64_t nodes = 0;
    for (auto _ : state) {
        for (const TPosition& position : positions) {
            state.PauseTiming();
            TSearcher searcher(16);
            state.ResumeTiming();
            nodes += searcher.Search(position, {}, limits).Nodes;
        }
    }
    state.counters["nodes/s"] = benchmark::Counter(double(nodes), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SearchMiddleGame)->Arg(2'000'000)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_DepthInOneSecondFromTheStart(benchmark::State& state)
{
    int depth = 0;
    std::uint64_t nodes = 0;
    for (auto _ : state) {
        TSearcher searcher(16);
        TSearchLimits limits;
        limits.Milliseconds = 1000;
        const TSearchResult result = searcher.Search(TPosition::Start(10, 10), {}, limits);
        depth = result.Depth;
        nodes = result.Nodes;
    }
    state.counters["depth"] = depth;
    state.counters["nodes/s"] = benchmark::Counter(double(nodes), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DepthInOneSecondFromTheStart)->Iterations(1)->Unit(benchmark::kMillisecond);

// The parts of a node, on the middle-game positions.
void BM_Evaluate(benchmark::State& state)
{
    const std::vector<TPosition> positions = MiddleGames();
    const TEvalWeights weights;
    std::size_t i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(Evaluate(positions[i++ % positions.size()], weights));
}
BENCHMARK(BM_Evaluate);

void BM_GenerateMoves(benchmark::State& state)
{
    const std::vector<TPosition> positions = MiddleGames();
    TMoveList list;
    std::size_t i = 0;
    for (auto _ : state) {
        positions[i++ % positions.size()].GenerateMoves(list);
        benchmark::DoNotOptimize(list.Count);
    }
}
BENCHMARK(BM_GenerateMoves);

void BM_PickFirstMove(benchmark::State& state)
{
    const std::vector<TPosition> positions = MiddleGames();
    TMovePicker picker;
    TEngineMove move;
    std::size_t i = 0;
    for (auto _ : state) {
        picker.Start(positions[i++ % positions.size()], NoEngineMove, nullptr, true);
        benchmark::DoNotOptimize(picker.Next(move));
    }
}
BENCHMARK(BM_PickFirstMove);

void BM_PlayAndSettle(benchmark::State& state)
{
    const std::vector<TPosition> positions = MiddleGames();
    std::vector<std::pair<TPosition, TEngineMove>> plays;
    for (const TPosition& position : positions) {
        TMoveList list;
        position.GenerateMoves(list);
        for (const TEngineMove move : list)
            plays.push_back({position, move});
    }
    std::size_t i = 0;
    for (auto _ : state) {
        const auto& [position, move] = plays[i++ % plays.size()];
        TPosition next = position;
        next.Play(move);
        benchmark::DoNotOptimize(next.Outcome());
    }
}
BENCHMARK(BM_PlayAndSettle);

} // namespace

BENCHMARK_MAIN();
