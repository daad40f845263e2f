// WaitMs: the pause lasts, events keep flowing, the processor rests.
#include "game/WaitMs.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>


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
            QVERIFY(wall.elapsed() >= ms);
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
