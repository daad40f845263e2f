// Costs of the processor probe: one MMX operation on the real instructions
// and in plain C++, and the MMXsupport read the main window and the settings
// dialog make (two CPUID executions and the flags test, nothing cached).
#include "controls/PentiumMMX.h"

#include <benchmark/benchmark.h>

#include <cstdint>

namespace {

void BM_MmxOperate(benchmark::State& state)
{
    const TPentiumMMX probe;
    const auto op = std::uint8_t(state.range(0));
    std::uint64_t a = 0x0123456789ABCDEFull;
    for (auto _ : state) {
        a = probe.MmxOperate(op, a, 0x0F1E2D3C4B5A6978ull) ^ 0x5555;
        benchmark::DoNotOptimize(a);
    }
}
BENCHMARK(BM_MmxOperate)->Arg(33)->Arg(44);

void BM_MmxOperatePortable(benchmark::State& state)
{
    const auto op = std::uint8_t(state.range(0));
    std::uint64_t a = 0x0123456789ABCDEFull;
    for (auto _ : state) {
        a = MmxOperatePortable(op, a, 0x0F1E2D3C4B5A6978ull) ^ 0x5555;
        benchmark::DoNotOptimize(a);
    }
}
BENCHMARK(BM_MmxOperatePortable)->Arg(33)->Arg(44);

void BM_MMXsupport(benchmark::State& state)
{
    const TPentiumMMX probe;
    for (auto _ : state)
        benchmark::DoNotOptimize(probe.MMXsupport());
}
BENCHMARK(BM_MMXsupport);

} // namespace

BENCHMARK_MAIN();
