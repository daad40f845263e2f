// The searcher: won and lost games in exact scores, the tie rule, repeated
// positions as draws, and stopping on the cancel flag and the node limit.
#include "engine/Notation.h"
#include "engine/Search.h"

#include <QTest>

#include <algorithm>
#include <thread>

namespace {

TPosition Parse(const char* text)
{
    std::string error;
    const auto position = ParsePosition(text, error);
    if (!position)
        qFatal("%s: %s", text, error.c_str());
    return *position;
}

TEngineMove Move(const TPosition& position, const char* text)
{
    std::string error;
    const auto move = ParseMove(position, text, error);
    if (!move)
        qFatal("%s: %s", text, error.c_str());
    return *move;
}

} // namespace

class SearchTest : public QObject {
    Q_OBJECT

private slots:
    void exactScoresOfGameEnds_data()
    {
        QTest::addColumn<QString>("position");
        QTest::addColumn<QString>("move");
        QTest::addColumn<int>("score");
        // Turning the last Blue piece wins at once.
        QTest::newRow("win in one") << "4x4 R3/1B2/4/4 R" << "b1" << ScoreWin - 1;
        // After d5 Red reaches no empty cell, Blue fills the board to twelve
        // each, and a tie after the fill goes to Red, also when Blue filled.
        QTest::newRow("fill tie, Blue moved") << "4x6 RRRR/RRRR/RRRR/BBBB/BBB1/4 B" << "d5" << -(ScoreWin - 1);
        // The same turned round with the colours swapped: Red's win.
        QTest::newRow("fill tie, Red moved") << "4x6 4/1RRR/RRRR/BBBB/BBBB/BBBB R" << "a2" << ScoreWin - 1;
        // Blue fills the last cell: eight each, a draw.
        QTest::newRow("full board, halves") << "4x4 BBBB/BRRR/RRRB/RRB1 B" << "d4" << 0;
        // Twelve each on 5 x 5 with a cell still empty: a draw.
        QTest::newRow("halves on an odd board") << "5x5 RR1RR/RRRRR/RRBBB/BBBBB/BBBB1 R" << "c1" << 0;
    }

    void exactScoresOfGameEnds()
    {
        QFETCH(QString, position);
        QFETCH(QString, move);
        QFETCH(int, score);
        const TPosition root = Parse(qPrintable(position));
        const TEngineMove played = Move(root, qPrintable(move));
        for (const bool plain : {false, true}) {
            TSearcher searcher(1);
            if (plain)
                searcher.Features = TSearchFeatures::Plain();
            bool found = false;
            for (const TRootScore& each : searcher.ScoreRootMoves(root, {}, 3)) {
                if (each.Move == played) {
                    QCOMPARE(each.Score, score);
                    found = true;
                }
            }
            QVERIFY(found);
        }
    }

    void searchReportsTheBestEnd_data()
    {
        QTest::addColumn<QString>("position");
        QTest::addColumn<int>("score");
        QTest::newRow("win in one") << "4x4 R3/1B2/4/4 R" << ScoreWin - 1;
        QTest::newRow("only move draws") << "4x4 BBBB/BRRR/RRRB/RRB1 B" << 0;
    }

    void searchReportsTheBestEnd()
    {
        QFETCH(QString, position);
        QFETCH(int, score);
        const TPosition root = Parse(qPrintable(position));
        TSearcher searcher(1);
        TSearchLimits limits;
        limits.Depth = 5;
        const TSearchResult result = searcher.Search(root, {}, limits);
        QCOMPARE(result.Score, score);
        TPosition next = root;
        next.Play(result.Best);
        QVERIFY(next.Outcome() != TResult::None);
    }

    void aRepeatedPositionScoresAsADraw()
    {
        // Both sides jumped away and back: the game is at its root again,
        // and Red's jump away leads to a position the game has seen.
        const TPosition root = Parse("6x6 RR4/R5/6/6/4B1/6 R");
        std::vector<TPosition> history;
        TPosition position = root;
        for (const char* move : {"a1-c1", "e5-e3", "c1-a1", "e3-e5"}) {
            history.push_back(position);
            position.Play(Move(position, move));
        }
        QCOMPARE(position, root);
        const TEngineMove away = Move(root, "a1-c1");
        TSearcher searcher(1);
        auto scoreOf = [&](const std::vector<TPosition>& earlier) {
            for (const TRootScore& each : searcher.ScoreRootMoves(root, earlier, 3))
                if (each.Move == away)
                    return each.Score;
            return -1;
        };
        QCOMPARE(scoreOf(history), 0);
        QVERIFY(scoreOf({}) != 0);
    }

    void aCopyPutsEarlierPositionsOutOfReach()
    {
        // Positions before the last copy had more empty cells and can never
        // come again; a history of them must not change the scores.
        const TPosition root = Parse("6x6 RR4/R5/6/6/5B/6 R");
        TPosition before = TPosition::Start(6, 6);
        TSearcher searcher(1);
        const auto with = searcher.ScoreRootMoves(root, std::vector<TPosition>{before}, 2);
        const auto without = searcher.ScoreRootMoves(root, {}, 2);
        QCOMPARE(with.size(), without.size());
        for (std::size_t i = 0; i < with.size(); ++i)
            QCOMPARE(with[i].Score, without[i].Score);
    }

    void aLongSeriesOfJumpsEndsInACopy()
    {
        // Red's best move here is a jump; after forty plies without a copy
        // it copies instead.
        const TPosition root = Parse("8x8 RR6/RRB5/2BB4/8/8/3R4/5BB1/6BB R");
        TSearcher searcher(1);
        TSearchLimits limits;
        limits.Depth = 4;
        QVERIFY(!searcher.Search(root, {}, limits).Best.IsCopy());
        TPosition other = root;
        other.Play(Move(root, "b1-d2"));
        std::vector<TPosition> jumps(JumpLimit - 1, other);
        QVERIFY(!searcher.Search(root, jumps, limits).Best.IsCopy());
        jumps.push_back(other);
        QVERIFY(searcher.Search(root, jumps, limits).Best.IsCopy());
        // The choosing levels are offered the copies only, too.
        const auto isCopy = [](const TRootScore& scored) { return scored.Move.IsCopy(); };
        const auto before = searcher.ScoreRootMoves(root, {}, 2);
        QVERIFY(!std::all_of(before.begin(), before.end(), isCopy));
        const auto after = searcher.ScoreRootMoves(root, jumps, 2);
        QVERIFY(!after.empty());
        QVERIFY(std::all_of(after.begin(), after.end(), isCopy));
    }

    void cancelStopsASearchWithoutLimits()
    {
        const TPosition root = Parse("10x10 RR8/2RR1B4/4BRR3/3RBRR3/10/3B1R1B2/2BBBRRB2/2RRBBBB2/6BB2/8BB R");
        std::atomic<bool> cancel{false};
        TSearcher searcher(4);
        TSearchLimits limits;
        limits.Cancel = &cancel;
        TSearchResult result;
        std::thread worker([&] { result = searcher.Search(root, {}, limits); });
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        cancel = true;
        worker.join();
        QVERIFY(result.Stopped);
        QVERIFY(root.IsLegal(result.Best));
    }

    void nodeLimitStopsTheSearch()
    {
        TSearcher searcher(1);
        TSearchLimits limits;
        limits.Nodes = 5000;
        const TSearchResult result = searcher.Search(TPosition::Start(8, 8), {}, limits);
        // Past half the budget no deeper iteration starts; one already
        // started is stopped.
        QVERIFY(result.Stopped || result.Nodes >= 5000 / 2);
        // The check runs every 1,024 nodes.
        QVERIFY(result.Nodes < 5000 + 1024);
        QVERIFY(TPosition::Start(8, 8).IsLegal(result.Best));
    }

    void principalVariationIsPlayable()
    {
        const TPosition root = Parse("8x8 RR6/RRB5/2BB4/8/8/3R4/5BB1/6BB R");
        TSearcher searcher(4);
        TSearchLimits limits;
        limits.Depth = 6;
        const TSearchResult result = searcher.Search(root, {}, limits);
        QVERIFY(!result.Pv.empty());
        QCOMPARE(result.Pv.front(), result.Best);
        TPosition position = root;
        for (const TEngineMove move : result.Pv) {
            QVERIFY(position.IsLegal(move));
            position.Play(move);
            if (position.Outcome() != TResult::None)
                break;
        }
    }
};

QTEST_GUILESS_MAIN(SearchTest)
#include "SearchTest.moc"
