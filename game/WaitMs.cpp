#include "game/WaitMs.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

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
