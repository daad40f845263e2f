// The computer player as the window uses it: legal moves at every level, the
// random level spread over the moves, the weak levels preferring good moves,
// cancellation, the window's types in and out, and games between two
// computer players that come to an end.
#include "engine/ComputerPlayer.h"
#include "engine/GameBridge.h"
#include "engine/Notation.h"
#include "tests/engine/ReferenceRules.h"

#include <QTest>

#include <algorithm>
#include <map>
#include <set>
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

TThinkRequest Request(const TPosition& position, int level, std::uint64_t seed, std::int64_t milliseconds = 0)
{
    TThinkRequest request;
    request.Position = position;
    request.Level = level;
    request.Seed = seed;
    request.Milliseconds = milliseconds;
    return request;
}

} // namespace

class ComputerPlayerTest : public QObject {
    Q_OBJECT

private slots:
    void everyLevelPlaysALegalMove_data()
    {
        QTest::addColumn<int>("level");
        for (int level = MinLevel; level <= MaxLevel; ++level)
            QTest::newRow(qPrintable(QString("level %1").arg(level))) << level;
    }

    void everyLevelPlaysALegalMove()
    {
        QFETCH(int, level);
        std::mt19937 random(std::uint32_t(level + 1));
        TComputerPlayer player(1);
        const std::atomic<bool> go{false};
        for (int round = 0; round < 6; ++round) {
            const int width = 4 + int(random() % 7), height = 4 + int(random() % 7);
            TPosition position = RandomPosition(random, width, height);
            if (position.Outcome() != TResult::None)
                position = TPosition::Start(width, height, round % 2);
            // Short budgets keep the searching levels quick here.
            const TEngineMove move = player.Choose(Request(position, level, random(), 5), go);
            QVERIFY2(position.IsLegal(move), FormatPosition(position).c_str());
        }
    }

    void levelZeroSpreadsOverAllMovesAndRepeatsWithItsSeed()
    {
        const TPosition start = TPosition::Start(10, 10);
        TComputerPlayer player(1);
        const std::atomic<bool> go{false};
        std::set<std::uint16_t> seen;
        for (std::uint64_t seed = 0; seed < 200; ++seed) {
            const TEngineMove move = player.Choose(Request(start, 0, seed), go);
            QCOMPARE(player.Choose(Request(start, 0, seed), go), move);
            seen.insert(move.Code());
        }
        QCOMPARE(int(seen.size()), start.CountMoves());
    }

    void weakLevelsPreferTheWinningMove_data()
    {
        QTest::addColumn<int>("level");
        QTest::newRow("level 1") << 1;
        QTest::newRow("level 2") << 2;
        QTest::newRow("level 3") << 3;
    }

    void weakLevelsPreferTheWinningMove()
    {
        // Turning the last Blue piece ends the game; no temperature plays
        // anything else, while a weak level still varies its quiet moves.
        QFETCH(int, level);
        const TPosition position = Parse("6x6 R5/1B4/6/6/6/6 R");
        TComputerPlayer player(1);
        const std::atomic<bool> go{false};
        for (std::uint64_t seed = 0; seed < 20; ++seed) {
            TPosition next = position;
            next.Play(player.Choose(Request(position, level, seed), go));
            QCOMPARE(next.Outcome(), TResult::RedWins);
        }
    }

    void weakerLevelsVaryMore()
    {
        const TPosition position = Parse("8x8 RR6/RRB5/2BB4/8/8/3R4/5BB1/6BB R");
        TComputerPlayer player(1);
        const std::atomic<bool> go{false};
        auto distinct = [&](int level) {
            std::set<std::uint16_t> moves;
            for (std::uint64_t seed = 0; seed < 40; ++seed)
                moves.insert(player.Choose(Request(position, level, seed), go).Code());
            return moves.size();
        };
        const std::size_t one = distinct(1), three = distinct(3);
        QVERIFY2(one > three, qPrintable(QString("level 1: %1 moves, level 3: %2").arg(one).arg(three)));
    }

    void aSoftmaxOverTheBestShareChoosesOnlyAmongThem_data()
    {
        QTest::addColumn<QString>("position");
        QTest::addColumn<int>("percent");
        QTest::newRow("1 %: always a best move") << "6x6 R5/6/2RB2/2BB2/6/5B R" << 1;
        QTest::newRow("a tenth") << "8x8 RR6/RRB5/2BB4/8/8/3R4/5BB1/6BB R" << 10;
        QTest::newRow("a half") << "10x10 RR8/2RR1B4/4BRR3/3RBRR3/10/3B1R1B2/2BBBRRB2/2RRBBBB2/6BB2/8BB B" << 50;
        QTest::newRow("a half of few") << "4x4 R3/4/4/3B R" << 50;
        QTest::newRow("all") << "6x6 R5/6/2RB2/2BB2/6/5B R" << 100;
    }

    void aSoftmaxOverTheBestShareChoosesOnlyAmongThem()
    {
        // A temperature of a thousand pieces makes the softmax nearly
        // uniform, so only the cut keeps the poor moves out.
        QFETCH(QString, position);
        QFETCH(int, percent);
        const TPosition root = Parse(qPrintable(position));
        TSearcher searcher(1);
        std::vector<int> scores;
        std::map<std::uint16_t, int> scoreOf;
        for (const TRootScore& each : searcher.ScoreRootMoves(root, {}, 1)) {
            scores.push_back(each.Score);
            scoreOf[each.Move.Code()] = each.Score;
        }
        std::sort(scores.rbegin(), scores.rend());
        const int kept = std::max(1, (int(scores.size()) * percent + 50) / 100);
        const int worstKept = scores[std::size_t(kept - 1)];

        TComputerPlayer player(1);
        const std::atomic<bool> go{false};
        TThinkRequest request = Request(root, 5, 0);
        request.Style = TLevelStyle{1, 0, 100000, false, percent};
        std::set<std::uint16_t> chosen;
        for (std::uint64_t seed = 0; seed < 60; ++seed) {
            request.Seed = seed;
            const TEngineMove move = player.Choose(request, go);
            QVERIFY(root.IsLegal(move));
            QVERIFY2(scoreOf[move.Code()] >= worstKept,
                     qPrintable(QString("score %1, the %2 best reach down to %3").arg(scoreOf[move.Code()]).arg(kept).arg(worstKept)));
            chosen.insert(move.Code());
        }
        QVERIFY(int(chosen.size()) <= kept);
        // Nearly uniform over the kept moves: sixty draws see more than one.
        QCOMPARE(chosen.size() > 1, kept > 1);
    }

    void aNodeBudgetPlaysTheSameMoveHoweverBusyTheMachine_data()
    {
        QTest::addColumn<int>("level");
        for (int level = 4; level <= MaxLevel; ++level)
            QTest::newRow(qPrintable(QString("level %1").arg(level))) << level;
    }

    void aNodeBudgetPlaysTheSameMoveHoweverBusyTheMachine()
    {
        // Matches turn the levels' time budgets into node budgets, so the
        // same seed must give the same move, and the budget must hold.
        QFETCH(int, level);
        const TPosition position = Parse("10x10 RR8/2RR1B4/4BRR3/3RBRR3/10/3B1R1B2/2BBBRRB2/2RRBBBB2/6BB2/8BB R");
        TThinkRequest request = Request(position, level, 7);
        request.NodesPerMillisecond = 3;
        const std::atomic<bool> go{false};
        TComputerPlayer first(1), second(1);
        const TEngineMove move = first.Choose(request, go);
        QVERIFY(position.IsLegal(move));
        QCOMPARE(second.Choose(request, go).Code(), move.Code());
        // The stop is checked every 1,024 positions.
        const std::uint64_t budget = std::uint64_t(StyleOfLevel(level).Milliseconds) * 3;
        QVERIFY2(first.LastSearch().Nodes <= budget + 1024,
                 qPrintable(QString("%1 nodes for a budget of %2").arg(first.LastSearch().Nodes).arg(budget)));
    }

    void aCancelledChoiceReturnsNothing()
    {
        TComputerPlayer player(1);
        std::atomic<bool> cancel{true};
        const TThinkRequest request = Request(TPosition::Start(10, 10), 10, 1);
        QCOMPARE(player.Choose(request, cancel), NoEngineMove);
        QVERIFY(!player.ChooseMove(request, cancel));
    }

    void cancelDuringTheSearchReturnsNothing()
    {
        TComputerPlayer player(4);
        std::atomic<bool> cancel{false};
        const TThinkRequest request = Request(Parse("10x10 RR8/2RR1B4/4BRR3/3RBRR3/10/3B1R1B2/2BBBRRB2/2RRBBBB2/6BB2/8BB R"), 10, 1);
        std::optional<TMove> move{TMove{}};
        std::thread worker([&] { move = player.ChooseMove(request, cancel); });
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        cancel = true;
        worker.join();
        QVERIFY(!move);
    }

    void noMoveWhenTheGameIsOver()
    {
        TComputerPlayer player(1);
        const std::atomic<bool> go{false};
        QCOMPARE(player.Choose(Request(Parse("4x4 RRRR/RRRR/RRRR/RRRR B"), 5, 1), go), NoEngineMove);
        QCOMPARE(player.Choose(Request(Parse("5x5 RR1RR/RRRRR/RRRBB/BBBBB/BBBBB B"), 5, 1), go), NoEngineMove);
    }

    void theWindowsTypesInAndOut()
    {
        TGameState state;
        LoadBoard(state, {"R.B.", "..B.", "....", "...B"});
        TGameRecord record;
        record.Add(state.GameBoard, state.Size(), 0);
        const TThinkRequest request = ThinkRequestFromGame(state.GameBoard, state.Size(), 0, record, 3, 9);
        // The record's last entry is the position itself and is not history.
        QVERIFY(request.History.empty());
        QCOMPARE(request.Position.Side, RedSide);
        const std::atomic<bool> go{false};
        TComputerPlayer player(1);
        const std::optional<TMove> move = player.ChooseMove(request, go);
        QVERIFY(move);
        // The window's rules accept the move: the piece is Red's, the target
        // an empty cell one or two steps away.
        const auto legal = GenerateMoves(state.GameBoard, state.Size(), clRed);
        QVERIFY(std::find(legal.begin(), legal.end(), *move) != legal.end());
        QCOMPARE(MoveFromGame(request.Position, *move), std::optional<TEngineMove>(player.Choose(request, go)));
        // Moves the window would refuse are refused.
        QVERIFY(!MoveFromGame(request.Position, {{4, 4}, {4, 3}}));  // Blue's piece
        QVERIFY(!MoveFromGame(request.Position, {{1, 1}, {1, 4}}));  // three steps
        QVERIFY(!MoveFromGame(request.Position, {{1, 1}, {0, 1}}));  // off the board
        QVERIFY(!MoveFromGame(request.Position, {{1, 1}, {1, 1}}));  // no move
    }

    void gamesBetweenComputerPlayersEnd_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("red");
        QTest::addColumn<int>("blue");
        QTest::newRow("4x4, random against search") << 4 << 0 << 4;
        QTest::newRow("5x5, softmax against softmax") << 5 << 2 << 3;
        QTest::newRow("6x6, search against search") << 6 << 4 << 4;
    }

    void gamesBetweenComputerPlayersEnd()
    {
        QFETCH(int, size);
        QFETCH(int, red);
        QFETCH(int, blue);
        TComputerPlayer players[2] = {TComputerPlayer(1), TComputerPlayer(1)};
        const std::atomic<bool> go{false};
        TPosition position = TPosition::Start(size, size);
        std::vector<TPosition> history;
        int plies = 0;
        while (position.Outcome() == TResult::None && plies < 1000) {
            TThinkRequest request = Request(position, position.Side == RedSide ? red : blue, std::uint64_t(plies), 3);
            request.History = history;
            const TEngineMove move = players[position.Side].Choose(request, go);
            QVERIFY(position.IsLegal(move));
            history.push_back(position);
            position.Play(move);
            ++plies;
        }
        QVERIFY2(position.Outcome() != TResult::None, qPrintable(QString("still going after %1 plies").arg(plies)));
    }
};

QTEST_GUILESS_MAIN(ComputerPlayerTest)
#include "ComputerPlayerTest.moc"
