// Perft of the engine against a perft on the window's rules (game/Moves and
// TGameLogic::ResolveMove) from the start of every board size and from
// random positions, and the command-line engine's perft output.
#include "engine/GameBridge.h"
#include "engine/Notation.h"
#include "tests/engine/ReferenceRules.h"

#include <QProcess>
#include <QTest>

class PerftTest : public QObject {
    Q_OBJECT

private slots:
    void startPositionsOfEverySize_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        for (int w = EngineMinSize; w <= EngineMaxSize; ++w)
            for (int h = EngineMinSize; h <= EngineMaxSize; ++h)
                QTest::newRow(qPrintable(QString("%1x%2").arg(w).arg(h))) << w << h;
    }

    void startPositionsOfEverySize()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        const TBoardSize size{std::uint8_t(width), std::uint8_t(height)};
        // The small boards, where games end within a few moves, go deeper.
        const int depth = width * height <= 20 ? 4 : 3;
        for (int side = 0; side < 2; ++side) {
            const TPosition start = TPosition::Start(width, height, side);
            TGameBoard board;
            PositionToGame(start, board);
            for (int d = 1; d <= depth; ++d)
                QCOMPARE(Perft(start, d), ReferencePerft(board, size, side, d));
        }
    }

    void randomPositionsOfEverySize()
    {
        std::mt19937 random(11);
        for (int w = EngineMinSize; w <= EngineMaxSize; ++w) {
            for (int h = EngineMinSize; h <= EngineMaxSize; ++h) {
                const TBoardSize size{std::uint8_t(w), std::uint8_t(h)};
                for (int round = 0; round < 3; ++round) {
                    const TPosition position = RandomPosition(random, w, h);
                    TGameBoard board;
                    PositionToGame(position, board);
                    const int depth = w * h <= 36 ? 3 : 2;
                    const std::uint64_t engine = Perft(position, depth);
                    if (engine != ReferencePerft(board, size, position.Side, depth))
                        QFAIL(qPrintable(QString::fromStdString("perft differs in " + FormatPosition(position))));
                }
            }
        }
    }

    void commandLinePerftEndsWithTheCount_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("position");
        QTest::addColumn<int>("depth");
        QTest::newRow("10x10 start") << QStringList{"perft", "4"} << "10x10 R9/10/10/10/10/10/10/10/10/9B R" << 4;
        QTest::newRow("size") << QStringList{"--size", "6x5", "perft", "3"} << "6x5 R5/6/6/6/5B R" << 3;
        QTest::newRow("position") << QStringList{"--position", "5x4 RR3/1B3/5/3BB B", "perft", "3"} << "5x4 RR3/1B3/5/3BB B" << 3;
    }

    void commandLinePerftEndsWithTheCount()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, position);
        QFETCH(int, depth);
        QProcess engine;
        engine.start(ZELVON_ENGINE_PROGRAM, arguments);
        QVERIFY(engine.waitForFinished(60000));
        QCOMPARE(engine.exitCode(), 0);
        const QStringList lines = QString::fromUtf8(engine.readAllStandardOutput()).trimmed().split('\n');
        std::string error;
        const auto parsed = ParsePosition(position.toStdString(), error);
        QVERIFY2(parsed, error.c_str());
        QCOMPARE(lines.last().toULongLong(), Perft(*parsed, depth));
    }
};

QTEST_GUILESS_MAIN(PerftTest)
#include "PerftTest.moc"
