// The computer player's thread on its own: answers carry their ticket, a
// replaced or cancelled search reports nothing, and the thread stops at
// once when it goes away in the middle of a search.
#include "engine/GameBridge.h"
#include "game/GameLogic.h"
#include "game/ThinkingThread.h"

#include <QElapsedTimer>
#include <QTest>

#include <mutex>
#include <vector>

namespace {

TThinkRequest StartRequest(int size, int level)
{
    TGameState game;
    game.BoardWidth = game.BoardHeight = std::uint8_t(size);
    SetUpNewBoard(game, 0);
    return ThinkRequestFromGame(game.GameBoard, game.Size(), 0, TGameRecord{}, level, 1);
}

struct Reports {
    std::mutex Mutex;
    std::vector<std::uint64_t> Tickets;
    std::vector<std::optional<TMove>> Moves;

    TThinkingThread::TDone Collect()
    {
        return [this](std::uint64_t ticket, std::optional<TMove> move) {
            std::lock_guard lock(Mutex);
            Tickets.push_back(ticket);
            Moves.push_back(move);
        };
    }

    std::vector<std::uint64_t> Seen()
    {
        std::lock_guard lock(Mutex);
        return Tickets;
    }
};

} // namespace

class ThinkingThreadTest : public QObject {
    Q_OBJECT

private slots:
    void answersCarryTheirTicket_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("level");
        QTest::newRow("4 x 4, random") << 4 << 0;
        QTest::newRow("4 x 4, perfect") << 4 << 10;
        QTest::newRow("7 x 7, softmax") << 7 << 2;
        QTest::newRow("10 x 10, searched") << 10 << 4;
    }

    void answersCarryTheirTicket()
    {
        QFETCH(int, size);
        QFETCH(int, level);
        Reports reports;
        TThinkingThread thread(reports.Collect());
        const TThinkRequest request = StartRequest(size, level);
        thread.Start(17, request, true);
        QVERIFY(QTest::qWaitFor([&] { return !reports.Seen().empty(); }, 20000));
        QVERIFY(QTest::qWaitFor([&] { return !thread.Busy(); }, 5000));
        QCOMPARE(reports.Seen(), std::vector<std::uint64_t>{17});
        QVERIFY(reports.Moves.front());
        const TMove move = *reports.Moves.front();
        // Red's only piece stands at (1, 1) at the start.
        QCOMPARE(move.From, (TPoint{1, 1}));
        QVERIFY(MoveFromGame(request.Position, move));
    }

    void replacedSearchReportsNothing()
    {
        Reports reports;
        TThinkingThread thread(reports.Collect());
        thread.Start(1, StartRequest(10, 10), true);
        QTest::qWait(50);
        thread.Start(2, StartRequest(10, 0), false);
        QVERIFY(QTest::qWaitFor([&] { return !reports.Seen().empty(); }, 5000));
        QVERIFY(QTest::qWaitFor([&] { return !thread.Busy(); }, 5000));
        QTest::qWait(100);
        QCOMPARE(reports.Seen(), std::vector<std::uint64_t>{2});
    }

    void cancelledSearchReportsNothing_data()
    {
        QTest::addColumn<int>("afterMs");
        QTest::newRow("at once") << 0;
        QTest::newRow("while searching") << 200;
    }

    void cancelledSearchReportsNothing()
    {
        QFETCH(int, afterMs);
        Reports reports;
        TThinkingThread thread(reports.Collect());
        thread.Start(5, StartRequest(10, 10), true);
        QTest::qWait(afterMs);
        thread.Cancel();
        QVERIFY(QTest::qWaitFor([&] { return !thread.Busy(); }, 5000));
        // Longer than the level's second: a search left running would report.
        QTest::qWait(1200);
        QVERIFY(reports.Seen().empty());
        // The thread takes the next request as usual.
        thread.Start(6, StartRequest(6, 1), false);
        QVERIFY(QTest::qWaitFor([&] { return !reports.Seen().empty(); }, 5000));
        QCOMPARE(reports.Seen(), std::vector<std::uint64_t>{6});
    }

    void goesAwayInTheMiddleOfASearch()
    {
        Reports reports;
        QElapsedTimer clock;
        {
            TThinkingThread thread(reports.Collect());
            TThinkRequest request = StartRequest(10, 10);
            request.Milliseconds = 60000;
            thread.Start(9, request, true);
            QTest::qWait(100);
            clock.start();
        }
        // Not the minute the search was given; how fast it stops is
        // measured in bench/ComputerTurnBench.
        QVERIFY2(clock.elapsed() < 30000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(reports.Seen().empty());
    }
};

QTEST_GUILESS_MAIN(ThinkingThreadTest)
#include "ThinkingThreadTest.moc"
