// Costs of the hex map: move distances and hit tests as the rules use them,
// recolouring one cell and rebuilding the board picture, and how closely
// WaitMs keeps to its time without keeping the processor busy.
#include "game/WaitMs.h"
#include "hexmap/HexGeometry.h"
#include "hexmap/Hexmap.h"

#include <QApplication>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>

namespace {

THexGeometry Board(int columns, int rows, int radius)
{
    THexGeometry g;
    g.HexColumns = columns;
    g.HexRows = rows;
    g.HexRadius = radius;
    g.HexHalfHeight = HalfHeightOf(radius);
    return g;
}

// Reports the time per pair rather than per pass over all pairs.
void CountPairs(benchmark::State& state, int pairsPerIteration)
{
    state.SetItemsProcessed(state.iterations() * pairsPerIteration);
    state.counters["per_pair"] = benchmark::Counter(pairsPerIteration, benchmark::Counter::kIsIterationInvariantRate |
                                                                           benchmark::Counter::kInvert);
}

void BM_HexDistanceAllPairs(benchmark::State& state)
{
    const THexGeometry g = Board(10, 10, 20);
    for (auto _ : state)
        for (int ax = 1; ax <= 10; ++ax)
            for (int ay = 1; ay <= 10; ++ay)
                for (int bx = 1; bx <= 10; ++bx)
                    for (int by = 1; by <= 10; ++by)
                        benchmark::DoNotOptimize(g.HexDistance({ax, ay}, {bx, by}));
    CountPairs(state, 10000);
}
BENCHMARK(BM_HexDistanceAllPairs);

// The same pairs by the closed formula, for comparison with the walk.
void BM_ClosedFormDistanceAllPairs(benchmark::State& state)
{
    for (auto _ : state)
        for (int ax = 1; ax <= 10; ++ax)
            for (int ay = 1; ay <= 10; ++ay)
                for (int bx = 1; bx <= 10; ++bx)
                    for (int by = 1; by <= 10; ++by) {
                        benchmark::DoNotOptimize(ax);
                        const int dx = std::abs(ax - bx);
                        const int dv = std::abs((2 * ay - (ax & 1)) - (2 * by - (bx & 1)));
                        benchmark::DoNotOptimize(dx + std::max(0, (dv - dx) / 2));
                    }
    CountPairs(state, 10000);
}
BENCHMARK(BM_ClosedFormDistanceAllPairs);

void BM_ConvertPointEveryPixel(benchmark::State& state)
{
    const THexGeometry g = Board(10, 10, 20);
    for (auto _ : state)
        for (int y = 0; y < 357; ++y)
            for (int x = 0; x < 310; ++x)
                benchmark::DoNotOptimize(g.ConvertPoint({x, y}, cpPixelToCell));
    state.SetItemsProcessed(state.iterations() * 310 * 357);
}
BENCHMARK(BM_ConvertPointEveryPixel)->Unit(benchmark::kMicrosecond);

// Lets the benchmark rebuild the picture on its own.
class TBenchHexMap : public THexMap {
public:
    using THexMap::BuildPlainMap;
};

void BM_ColorHexShown(benchmark::State& state)
{
    QWidget window;
    auto* map = new TBenchHexMap;
    map->setParent(&window);
    map->SetHexColumns(10);
    map->SetHexRows(10);
    map->SetHexRadius(20);
    window.resize(320, 370);
    window.show();
    QCoreApplication::processEvents();
    bool red = false;
    for (auto _ : state) {
        red = !red;
        map->ColorHex(red ? clRed : clBlue, TBrushStyle::bsSolid, {5, 5});
    }
}
BENCHMARK(BM_ColorHexShown)->Unit(benchmark::kMicrosecond);

void BM_BuildPlainMapBoard(benchmark::State& state)
{
    TBenchHexMap map;
    map.SetHexColumns(10);
    map.SetHexRows(10);
    map.SetHexRadius(20);
    for (auto _ : state) {
        map.BuildPlainMap();
        benchmark::DoNotOptimize(map.MapBitmap().constBits());
    }
}
BENCHMARK(BM_BuildPlainMapBoard)->Unit(benchmark::kMicrosecond);

double ProcessSeconds()
{
    return double(std::clock()) / CLOCKS_PER_SEC;
}

// Arguments: milliseconds per wait, waits per iteration.
void BM_WaitMs(benchmark::State& state)
{
    const int ms = int(state.range(0)), count = int(state.range(1));
    double wall = 0, processor = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const double processorStart = ProcessSeconds();
        for (int i = 0; i < count; ++i)
            WaitMs(ms);
        processor += ProcessSeconds() - processorStart;
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    const double requested = double(state.iterations()) * ms * count / 1000.0;
    state.counters["wall_per_requested"] = wall / requested;
    state.counters["processor_per_wall"] = processor / wall;
}
BENCHMARK(BM_WaitMs)->Args({1, 100})->Args({50, 20})->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace
