// The window while the computer thinks: both sides played by the computer
// at level 10 on a 10 x 10 board in the real main window (offscreen). It
// reports the largest gap between two turns of the event loop while a
// search runs (goal: one frame, 16 ms), against a floor of the same window
// with nobody thinking measured in the same run (a shared machine's other
// work shows in both), and how long the thinking thread takes to stop after
// a cancel (goal: under 50 ms).
//
//   build/bench/ComputerTurnBench [searches] [cancels]
#include "game/ComputerTurn.h"
#include "game/Unit1.h"
#include "hexmap/Hexmap.h"
#include "shell/Application.h"
#include "shell/DataFiles.h"
#include "shell/Settings.h"
#include "shell/Unit2.h"
#include "shell/Unit3.h"
#include "shell/Unit5.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <random>
#include <thread>
#include <vector>

namespace {

// Runs the event loop until `done` holds or `ms` pass.
bool RunUntil(const std::function<bool()>& done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

double Percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<size_t>(p * double(values.size())))];
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    const int searches = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const int cancels = argc > 2 ? std::max(1, atoi(argv[2])) : 20;
    SetDataDirectories({QStringLiteral(ZELVON_BENCH_DATA_DIR)});
    SetErrorReporter([](const QString& message) { std::fprintf(stderr, "error: %s\n", qPrintable(message)); });
    WriteSettings({{QStringLiteral("Sirka"), QStringLiteral("10")},
                   {QStringLiteral("Vyska"), QStringLiteral("10")},
                   {QStringLiteral("Sound"), QStringLiteral("0")},
                   {QStringLiteral("Music"), QStringLiteral("0")},
                   {QStringLiteral("CervenyHrac"), QStringLiteral("0")},
                   {QStringLiteral("ModryHrac"), QStringLiteral("0")},
                   {QStringLiteral("Inteligence"), QStringLiteral("10")}});

    TForm1 form1;
    TAboutBox aboutBox(&form1);
    TSetupDial setupDial(form1.Game(), form1.HexMap1, form1.PentiumMMX1, &form1);
    TForm5 form5(&form1);
    form1.SetWindows(&aboutBox, &setupDial, &form5);
    form1.show();
    TComputerTurn& turn = form1.ComputerTurn();
    // Held after each search, so that every measured moment is one of thinking.
    turn.SetPauses(1000000, 0);

    // The event loop's turns, timed by a timer due every millisecond: a
    // timer that fired on every turn would keep the thread busy, which the
    // window never is, and the machine would then share it out as it does
    // a busy thread's.
    QElapsedTimer clock;
    clock.start();
    qint64 last = -1;
    std::vector<double> gaps;
    std::vector<double> floorGaps;
    gaps.reserve(1 << 22);
    floorGaps.reserve(1 << 22);
    bool floorPhase = false;
    QTimer tick;
    tick.setInterval(1);
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.nsecsElapsed();
        if (turn.Thinking() || floorPhase) {
            if (last >= 0)
                (floorPhase ? floorGaps : gaps).push_back(double(now - last) / 1e6);
            last = now;
        } else {
            last = -1;
        }
    });
    tick.start();

    // The floor: the same window with nobody thinking, on the same machine
    // at the same time.
    RunUntil([&] { return form1.Timer1.isActive() && !form1.SequenceRunning(); }, 20000);
    floorPhase = true;
    RunUntil([] { return false; }, 3000);
    floorPhase = false;
    last = -1;
    form1.Game().RedPlayer = form1.Game().BluePlayer = 1;
    turn.Update();

    double thinkingMs = 0;
    for (int search = 0; search < searches; ++search) {
        if (!RunUntil([&] { return turn.Thinking(); }, 20000)) {
            std::fprintf(stderr, "the computer did not start thinking\n");
            return 1;
        }
        QElapsedTimer one;
        one.start();
        RunUntil([&] { return !turn.Thinking(); }, 20000);
        thinkingMs += double(one.elapsed());
        // The next search, for the same position.
        turn.Cancel();
        RunUntil([&] { return !turn.SearchRunning(); }, 5000);
        turn.Update();
    }

    tick.stop();

    // Cancels at random moments of a search, as a button press makes them.
    std::mt19937 random(7);
    std::vector<double> latencies;
    for (int cancel = 0; cancel < cancels; ++cancel) {
        turn.Cancel();
        RunUntil([&] { return !turn.SearchRunning(); }, 5000);
        turn.Update();
        RunUntil([&] { return false; }, std::uniform_int_distribution<int>(20, 900)(random));
        if (!turn.SearchRunning())
            continue;
        const auto start = std::chrono::steady_clock::now();
        turn.Cancel();
        // Waiting as the window does after a cancel: asleep, leaving the
        // processor to the search that is to stop.
        while (turn.SearchRunning())
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        latencies.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    turn.Cancel();
    turn.SetPauses(0, 0);
    form1.Game().RedPlayer = form1.Game().BluePlayer = 0;

    std::printf("level 10, 10 x 10, both sides the computer, offscreen\n");
    const double largestGap = Percentile(gaps, 1.0);
    const auto late = std::count_if(gaps.begin(), gaps.end(), [](double gap) { return gap > 16; });
    std::printf("searches timed:                 %d, %.0f ms thinking on average, %zu event-loop turns\n", searches,
                thinkingMs / searches, gaps.size());
    const auto floorLate = std::count_if(floorGaps.begin(), floorGaps.end(), [](double gap) { return gap > 16; });
    std::printf("largest event-loop gap:         %.2f ms (goal <= 16 ms); 99.9th percentile %.3f ms; %td of %zu gaps over 16 ms\n",
                largestGap, Percentile(gaps, 0.999), late, gaps.size());
    std::printf("floor, nobody thinking, 3 s:    %.2f ms largest; 99.9th percentile %.3f ms; %td of %zu gaps over 16 ms\n",
                Percentile(floorGaps, 1.0), Percentile(floorGaps, 0.999), floorLate, floorGaps.size());
    std::printf("cancel latency, %zu cancels:     median %.2f ms, max %.2f ms (goal < 50 ms)\n", latencies.size(),
                Percentile(latencies, 0.5), Percentile(latencies, 1.0));
    return largestGap <= 16 && !latencies.empty() && Percentile(latencies, 1.0) < 50 ? 0 : 2;
}
