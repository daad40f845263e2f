// Positions and moves as text: the round trip, what bad input is told, and
// the command-line engine's answers to bad arguments.
#include "engine/Notation.h"
#include "tests/engine/ReferenceRules.h"

#include <QProcess>
#include <QTest>

class NotationTest : public QObject {
    Q_OBJECT

private slots:
    void roundTripOnRandomPositionsOfEverySize()
    {
        std::mt19937 random(3);
        for (int w = EngineMinSize; w <= EngineMaxSize; ++w) {
            for (int h = EngineMinSize; h <= EngineMaxSize; ++h) {
                for (int round = 0; round < 5; ++round) {
                    const TPosition position = RandomPosition(random, w, h);
                    const std::string text = FormatPosition(position);
                    std::string error;
                    const auto back = ParsePosition(text, error);
                    QVERIFY2(back, (text + ": " + error).c_str());
                    QCOMPARE(*back, position);
                    QCOMPARE(back->Hash, position.Hash);

                    TMoveList moves;
                    position.GenerateMoves(moves);
                    for (const TEngineMove move : moves) {
                        const auto parsed = ParseMove(position, FormatMove(position, move), error);
                        QVERIFY2(parsed && *parsed == move, (text + " " + FormatMove(position, move)).c_str());
                    }
                }
            }
        }
    }

    void readsWhatPeopleWrite_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("canonical");
        QTest::newRow("start") << "10x10 R9/10/10/10/10/10/10/10/10/9B R" << "10x10 R9/10/10/10/10/10/10/10/10/9B R";
        QTest::newRow("dots and lower case") << "  4x4   r.../..../..b./...b   b " << "4x4 R3/4/2B1/3B B";
        QTest::newRow("runs and dots mixed") << "4X5 R.2/4/2../4/3B R" << "4x5 R3/4/4/4/3B R";
    }

    void readsWhatPeopleWrite()
    {
        QFETCH(QString, text);
        QFETCH(QString, canonical);
        std::string error;
        const auto position = ParsePosition(text.toStdString(), error);
        QVERIFY2(position, error.c_str());
        QCOMPARE(QString::fromStdString(FormatPosition(*position)), canonical);
    }

    void badPositionsAreExplained_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("says");
        QTest::newRow("empty") << "" << "three parts";
        QTest::newRow("no side") << "4x4 R3/4/4/3B" << "three parts";
        QTest::newRow("size too small") << "3x4 R2/3/3/2B R" << "from 4 to 10";
        QTest::newRow("size too large") << "11x4 R10/11/11/10B R" << "from 4 to 10";
        QTest::newRow("size not a size") << "fourxfour R3/4/4/3B R" << "WxH";
        QTest::newRow("bad side") << "4x4 R3/4/4/3B X" << "R or B";
        QTest::newRow("short row") << "4x4 R2/4/4/3B R" << "row 1 has 3 cells";
        QTest::newRow("long row") << "4x4 R3/5/4/3B R" << "row 2 has more than 4";
        QTest::newRow("too few rows") << "4x4 R3/4/3B R" << "has 4 rows";
        QTest::newRow("too many rows") << "4x4 R3/4/4/4/3B R" << "more than 4 rows";
        QTest::newRow("unknown cell") << "4x4 R3/4/4/3Q R" << "unknown character 'Q'";
        QTest::newRow("zero run") << "4x4 R0/4/4/3B R" << "0 cells";
        QTest::newRow("huge run") << "4x4 R99999999/4/4/3B R" << "more than 4";
        QTest::newRow("trailing slash") << "4x4 R3/4/4/3B/ R" << "more than 4 rows";
    }

    void badPositionsAreExplained()
    {
        QFETCH(QString, text);
        QFETCH(QString, says);
        std::string error;
        QVERIFY(!ParsePosition(text.toStdString(), error));
        QVERIFY2(QString::fromStdString(error).contains(says), error.c_str());
    }

    void badMovesAreExplained_data()
    {
        QTest::addColumn<QString>("move");
        QTest::addColumn<QString>("says");
        QTest::newRow("not a move") << "hello" << "not a move";
        QTest::newRow("off the board") << "a1-e1" << "off the 4x4 board";
        QTest::newRow("from an empty cell") << "b1-c1" << "not a legal move";
        QTest::newRow("too far") << "a1-d4" << "not a legal move";
        QTest::newRow("no move at all") << "a1-a1" << "not a legal move";
        QTest::newRow("copy with nothing next to it") << "c3" << "not a legal move";
        QTest::newRow("trailing text") << "a1-b1x" << "not a move";
        QTest::newRow("opponent's piece") << "d4-c4" << "not a legal move";
    }

    void badMovesAreExplained()
    {
        QFETCH(QString, move);
        QFETCH(QString, says);
        const TPosition start = TPosition::Start(4, 4);
        std::string error;
        QVERIFY(!ParseMove(start, move.toStdString(), error));
        QVERIFY2(QString::fromStdString(error).contains(says), error.c_str());
    }

    void commandLineRefusesBadInputWithAMessage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("says");
        QTest::newRow("no command") << QStringList{} << "no command";
        QTest::newRow("unknown command") << QStringList{"fly"} << "unknown command";
        QTest::newRow("bad position") << QStringList{"--position", "4x4 R3", "perft", "1"} << "bad position";
        QTest::newRow("bad size") << QStringList{"--size", "12x3", "perft", "1"} << "bad size";
        QTest::newRow("perft without depth") << QStringList{"perft"} << "perft needs";
        QTest::newRow("perft depth not a number") << QStringList{"perft", "x"} << "perft needs";
        QTest::newRow("bestmove without limit") << QStringList{"bestmove"} << "bestmove needs";
        QTest::newRow("level out of range") << QStringList{"bestmove", "--level", "11"} << "bad option or value";
        QTest::newRow("game over") << QStringList{"--position", "4x4 RRRR/RRRR/RRRR/RRRR B", "bestmove", "--level", "1"}
                                   << "the game is over";
        QTest::newRow("illegal move") << QStringList{"--moves", "a1-d4", "perft", "1"} << "not a legal move";
        QTest::newRow("bad player") << QStringList{"match", "--a", "speed=9"} << "unknown player setting";
    }

    void commandLineRefusesBadInputWithAMessage()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, says);
        QProcess engine;
        engine.start(ZELVON_ENGINE_PROGRAM, arguments);
        QVERIFY(engine.waitForFinished(60000));
        QCOMPARE(engine.exitStatus(), QProcess::NormalExit);
        QCOMPARE(engine.exitCode(), 2);
        const QString error = QString::fromUtf8(engine.readAllStandardError());
        QVERIFY2(error.contains(says), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(NotationTest)
#include "NotationTest.moc"
