// Paced waiting (see WaitMs.h).
#include "game/WaitMs.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <climits>

std::uint32_t GetTickCount()
{
    static QElapsedTimer clock = [] {
        QElapsedTimer timer;
        timer.start();
        return timer;
    }();
    return static_cast<std::uint32_t>(clock.elapsed());
}

void WaitMs(std::int32_t n)
{
    const std::uint32_t start = GetTickCount();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (n <= 0)
        return;
    const auto wanted = static_cast<std::uint32_t>(n);
    for (std::uint32_t elapsed = GetTickCount() - start; elapsed < wanted; elapsed = GetTickCount() - start) {
        QEventLoop loop;
        QTimer deadline;
        deadline.setSingleShot(true);
        deadline.setTimerType(Qt::PreciseTimer);
        QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
        deadline.start(static_cast<int>(wanted - elapsed));
        loop.exec();
    }
}

namespace {

class TEventLoopClock final : public TPaceClock {
public:
    TEventLoopClock() { clock_.start(); }

    std::int64_t NowNs() override { return clock_.nsecsElapsed(); }

    void SleepUntil(std::int64_t wakeNs) override
    {
        QEventLoop loop;
        QTimer alarm;
        alarm.setSingleShot(true);
        alarm.setTimerType(Qt::PreciseTimer);
        QObject::connect(&alarm, &QTimer::timeout, &loop, &QEventLoop::quit);
        for (std::int64_t left = wakeNs - NowNs(); left > 0; left = wakeNs - NowNs()) {
            // Qt times in whole milliseconds: rounded up, never early.
            alarm.start(static_cast<int>(std::min<std::int64_t>((left + 999'999) / 1'000'000, INT_MAX)));
            loop.exec();
        }
    }

    void ProcessEvents() override { QCoreApplication::processEvents(QEventLoop::AllEvents); }

private:
    QElapsedTimer clock_;
};

} // namespace

TPaceClock& EventLoopClock()
{
    static TEventLoopClock clock;
    return clock;
}

TPace::TPace(int steps, double stepMs, double frameMs, TPaceClock& clock)
    : clock_(clock)
    , steps_(std::max(steps, 0))
    , stepMs_(stepMs)
    // Counted from the last whole millisecond, as the tick counter counts.
    , startNs_(clock.NowNs() / 1'000'000 * 1'000'000)
    , stepNs_(static_cast<std::int64_t>(std::max(stepMs, 0.0) * 1e6))
    , frameNs_(static_cast<std::int64_t>(std::max(frameMs, 0.0) * 1e6))
    , eventsNs_(startNs_)
{
}

void TPace::Wait(const std::function<void()>& showFrame)
{
    ++done_;
    const std::int64_t due = startNs_ + done_ * stepNs_;
    const std::int64_t now = clock_.NowNs();
    if (now >= due) {
        // Running late: no sleep, but the window must neither freeze nor
        // stop showing progress meanwhile.
        if (frameNs_ <= 0 || now - eventsNs_ >= frameNs_) {
            if (showFrame)
                showFrame();
            clock_.ProcessEvents();
            eventsNs_ = clock_.NowNs();
        }
        return;
    }
    if (showFrame)
        showFrame();
    std::int64_t wake = due;
    if (frameNs_ > 0) {
        // On to the next frame, when every step due before it runs at once;
        // but the animation ends on time, not at a frame.
        const std::int64_t end = startNs_ + std::max(steps_, done_) * stepNs_;
        const std::int64_t nextFrame = startNs_ + ((now - startNs_) / frameNs_ + 1) * frameNs_;
        wake = std::min(std::max(due, nextFrame), end);
    }
    clock_.SleepUntil(wake);
    eventsNs_ = clock_.NowNs();
}
