// Cost of one PlaySoundEffect call, which the fill makes every 50 ms while
// it animates: the very first call after start-up, the first after a fresh
// preload, a steady stream of changing effects, one effect repeated, and a
// missing file.
#include "shell/DataFiles.h"
#include "shell/SoundEffects.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QSoundEffect>

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

void WaitUntilLoaded()
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 10000) {
        bool loading = false;
        for (const QString& name : SoundEffectFiles())
            if (const QSoundEffect* player = SoundEffectPlayer(name); player && player->status() == QSoundEffect::Loading)
                loading = true;
        if (!loading)
            return;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
}

// Times one call; the event loop runs between calls, outside the timing, as
// it does between the fill's cells.
template <typename Call>
void TimeCalls(benchmark::State& state, Call&& call)
{
    std::int64_t index = 0;
    for (auto _ : state) {
        const auto start = Clock::now();
        call(index);
        const auto end = Clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
        if (++index % 64 == 0)
            QCoreApplication::processEvents();
    }
}

void FirstCallInProcess(benchmark::State& state)
{
    PreloadSoundEffects();
    WaitUntilLoaded();
    TimeCalls(state, [](std::int64_t) { PlaySoundEffect(QStringLiteral("ding.wav")); });
}
BENCHMARK(FirstCallInProcess)->UseManualTime()->Iterations(1)->Unit(benchmark::kMicrosecond);

void FirstCallAfterFreshPreload(benchmark::State& state)
{
    for (auto _ : state) {
        ResetSoundEffects();
        PreloadSoundEffects();
        WaitUntilLoaded();
        const auto start = Clock::now();
        PlaySoundEffect(QStringLiteral("laser.wav"));
        const auto end = Clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
}
BENCHMARK(FirstCallAfterFreshPreload)->UseManualTime()->Iterations(50)->Unit(benchmark::kMicrosecond);

void ChangingEffects(benchmark::State& state)
{
    PreloadSoundEffects();
    WaitUntilLoaded();
    const QStringList names = SoundEffectFiles();
    TimeCalls(state, [&](std::int64_t i) { PlaySoundEffect(names[int(i % names.size())]); });
}
BENCHMARK(ChangingEffects)->UseManualTime()->Unit(benchmark::kMicrosecond);

void SameEffectRepeated(benchmark::State& state)
{
    PreloadSoundEffects();
    WaitUntilLoaded();
    TimeCalls(state, [](std::int64_t) { PlaySoundEffect(QStringLiteral("pop.wav")); });
}
BENCHMARK(SameEffectRepeated)->UseManualTime()->Unit(benchmark::kMicrosecond);

void MissingFile(benchmark::State& state)
{
    PreloadSoundEffects();
    TimeCalls(state, [](std::int64_t) { PlaySoundEffect(QStringLiteral("nosuch.wav")); });
}
BENCHMARK(MissingFile)->UseManualTime()->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    SetDataDirectories({QStringLiteral(ZELVON_BENCH_DATA_DIR)});
    benchmark::RunSpecifiedBenchmarks();
    ResetSoundEffects();
    benchmark::Shutdown();
    return 0;
}
