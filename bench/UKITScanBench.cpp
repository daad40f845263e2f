// Costs of the LED scanner: one scan tick (the main window's scanner ticks
// every 10 ms for the whole game), a tick on a hundred lamps, and the full
// paint that every change of turn colour causes.
#include "controls/UKITScan.h"

#include <QApplication>
#include <QCoreApplication>
#include <QWidget>

#include <benchmark/benchmark.h>

namespace {

void BM_ScanTick(benchmark::State& state)
{
    TKITScanner scanner;
    scanner.resize(122, 25);
    scanner.SetHowManyLeds(int(state.range(0)));
    scanner.Paint();
    for (auto _ : state) {
        scanner.ScanTick();
        benchmark::DoNotOptimize(scanner.ScanPosition());
    }
}
BENCHMARK(BM_ScanTick)->Arg(7)->Arg(100);

// A tick as the player sees it: drawn, then copied to a visible window.
void BM_ScanTickOnScreen(benchmark::State& state)
{
    QWidget window;
    window.resize(200, 60);
    auto* scanner = new TKITScanner(&window);
    scanner->resize(122, 25);
    scanner->SetScanColor(scBlue);
    window.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        scanner->ScanTick();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_ScanTickOnScreen);

void BM_FullPaint(benchmark::State& state)
{
    TKITScanner scanner;
    scanner.resize(122, 25);
    for (auto _ : state) {
        scanner.Paint();
        benchmark::DoNotOptimize(scanner.Image().constBits());
    }
}
BENCHMARK(BM_FullPaint);

} // namespace
