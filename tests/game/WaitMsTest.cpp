// WaitMs and the paced steps: the pause lasts, deadlines hold, events keep
// flowing, the processor rests.
#include "game/WaitMs.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <algorithm>

namespace {

// Time that moves only when the pace sleeps or the test says so. Sleeps
// wake `LateNs` after the wanted time, as a busy machine wakes a thread.
class TFakeClock final : public TPaceClock {
public:
    std::int64_t Now = 1'000'000'000;
    std::int64_t LateNs = 0;
    int Sleeps = 0;
    int EventRounds = 0;

    std::int64_t NowNs() override { return Now; }
    void SleepUntil(std::int64_t wakeNs) override
    {
        ++Sleeps;
        ++EventRounds;
        Now = std::max(Now, wakeNs + LateNs);
    }
    void ProcessEvents() override { ++EventRounds; }
};

constexpr std::int64_t Ms = 1'000'000;

} // namespace

class WaitMsTest : public QObject {
    Q_OBJECT

private slots:
    void waitsAtLeastTheRequestedTime()
    {
        for (const int ms : {1, 5, 30}) {
            QElapsedTimer wall;
            wall.start();
            const std::uint32_t start = GetTickCount();
            WaitMs(ms);
            QVERIFY(GetTickCount() - start >= std::uint32_t(ms));
            // The counter moves in whole milliseconds, so its first step may
            // come at any moment of the first millisecond.
            QVERIFY(wall.nsecsElapsed() >= (ms - 1) * Ms);
        }
    }

    void processesPostedEventsDuringTheWait()
    {
        bool fired = false;
        QTimer::singleShot(10, this, [&] { fired = true; });
        WaitMs(60);
        QVERIFY(fired);
    }

    void zeroAndNegativeStillProcessEvents()
    {
        for (const int ms : {0, -5}) {
            bool delivered = false;
            QMetaObject::invokeMethod(this, [&] { delivered = true; }, Qt::QueuedConnection);
            WaitMs(ms);
            QVERIFY(delivered);
        }
    }

    // A pace returns no step before it is due, makes up lost time instead
    // of adding it up, sleeps at most once per display frame (once per step
    // when steps are longer than frames), shows a frame before each sleep,
    // and keeps handling events when the steps run late.
    void paceKeepsToItsDeadlines_data()
    {
        QTest::addColumn<int>("steps");
        QTest::addColumn<double>("stepMs");
        QTest::addColumn<double>("frameMs");
        QTest::addColumn<qint64>("workNs");  // per step, between waits
        QTest::addColumn<qint64>("lateNs");  // per sleep
        QTest::addColumn<int>("maxSleeps");
        QTest::newRow("board set-up 10 x 10") << 100 << 1.0 << 1000.0 / 60 << qint64(20'000) << qint64(0) << 7;
        QTest::newRow("board set-up 4 x 4") << 16 << 1.0 << 1000.0 / 60 << qint64(20'000) << qint64(0) << 1;
        QTest::newRow("set-up, late wake-ups") << 100 << 1.0 << 1000.0 / 60 << qint64(20'000) << qint64(3 * Ms) << 7;
        QTest::newRow("fill of 90 cells") << 90 << 50.0 << 1000.0 / 60 << qint64(300'000) << qint64(0) << 90;
        QTest::newRow("fill, late wake-ups") << 90 << 50.0 << 1000.0 / 60 << qint64(300'000) << qint64(20 * Ms) << 90;
        QTest::newRow("steps slower than their pace") << 50 << 1.0 << 1000.0 / 60 << qint64(3 * Ms) << qint64(0) << 0;
        QTest::newRow("no frames") << 20 << 2.0 << 0.0 << qint64(0) << qint64(0) << 20;
    }
    void paceKeepsToItsDeadlines()
    {
        QFETCH(int, steps);
        QFETCH(double, stepMs);
        QFETCH(double, frameMs);
        QFETCH(qint64, workNs);
        QFETCH(qint64, lateNs);
        QFETCH(int, maxSleeps);
        TFakeClock clock;
        clock.LateNs = lateNs;
        const std::int64_t start = clock.Now;
        const auto stepNs = static_cast<std::int64_t>(stepMs * Ms);
        int shown = 0;
        TPace pace(steps, stepMs, frameMs, clock);
        for (int k = 1; k <= steps; ++k) {
            clock.Now += workNs;
            pace.Wait([&] { ++shown; });
            const std::int64_t due = start + k * stepNs;
            if (clock.Now < due)
                QFAIL(qPrintable(QStringLiteral("step %1 returned %2 ns early").arg(k).arg(due - clock.Now)));
        }
        QCOMPARE(pace.StepsDone(), steps);
        QVERIFY(clock.Sleeps <= maxSleeps);
        // Lost time is made up: the end (or the steps' own work, where that
        // takes longer) is missed by no more than one late wake-up and the
        // work of the steps that fall due within one frame.
        const auto frameNs = static_cast<std::int64_t>(frameMs * Ms);
        const std::int64_t finish = std::max<std::int64_t>(start + steps * stepNs, start + steps * workNs);
        const std::int64_t stepsPerFrame = frameNs > stepNs ? frameNs / stepNs + 1 : 1;
        QVERIFY(clock.Now - finish <= lateNs + stepsPerFrame * workNs);
        // Drawn at most once per frame; events handled at least once per
        // frame or step, also when the steps run late.
        const std::int64_t elapsed = clock.Now - start;
        if (frameNs > 0)
            QVERIFY(shown <= elapsed / frameNs + 1);
        QVERIFY(clock.EventRounds >= elapsed / std::max(frameNs, stepNs) - 1);
    }

    void paceOnTheRealClock()
    {
        // Ten steps of 5 ms with a posted event handled on the way.
        bool delivered = false;
        QTimer::singleShot(8, this, [&] { delivered = true; });
        QElapsedTimer wall;
        wall.start();
        TPace pace(10, 5);
        for (int k = 1; k <= 10; ++k) {
            pace.Wait();
            // The pace counts from the last whole millisecond.
            QVERIFY(wall.nsecsElapsed() >= k * 5 * Ms - Ms);
        }
        QVERIFY(delivered);
    }

    void nestedWaitsFromEventHandlersReturn()
    {
        // The fill waits while a timer inside it may start another wait.
        int inner = 0;
        QTimer::singleShot(5, this, [&] {
            WaitMs(20);
            ++inner;
        });
        WaitMs(40);
        QCOMPARE(inner, 1);
    }
};

QTEST_GUILESS_MAIN(WaitMsTest)
#include "WaitMsTest.moc"
