// The computer player in the real main window, headless: its moves for
// either colour with the pick shown first, the players' presses refused
// while it is to move, Restart, "Nastavení" and a close request cancelling
// a search so that its move is never played, changes in the dialog taking
// effect without a restart, and a game between two computer players that
// reaches the podium and goes on with the next one.
#include "game/ComputerTurn.h"
#include "game/Moves.h"
#include "game/Unit1.h"
#include "hexmap/Hexmap.h"
#include "shell/Application.h"
#include "shell/DataFiles.h"
#include "shell/Settings.h"
#include "shell/SoundEffects.h"
#include "shell/Unit3.h"
#include "shell/Unit5.h"
#include "tests/TestSupport.h"
#include "tests/game/TestProgram.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <functional>

namespace {

enum TPlayers { RedComputer = 1, BlueComputer = 2, BothComputers = 3 };

void StoreSettings(int size, TPlayers players, int level, bool sound = false)
{
    WriteSettings({{QStringLiteral("Sirka"), QString::number(size)},
                   {QStringLiteral("Vyska"), QString::number(size)},
                   {QStringLiteral("Sound"), sound ? QStringLiteral("1") : QStringLiteral("0")},
                   {QStringLiteral("Music"), QStringLiteral("0")},
                   {QStringLiteral("CervenyHrac"), (players & RedComputer) ? QStringLiteral("1") : QStringLiteral("0")},
                   {QStringLiteral("ModryHrac"), (players & BlueComputer) ? QStringLiteral("1") : QStringLiteral("0")},
                   {QStringLiteral("Inteligence"), QString::number(level)}});
}

int PieceCount(const TGameState& game)
{
    const TPieceCount count = CountPieces(game.GameBoard, game.Size());
    return count.Red + count.Blue;
}

// Is `after` what one legal move of `side` makes of `before`?
bool OneLegalMove(const TGameState& game, const TGameBoard& before, const TGameBoard& after, TColor side)
{
    for (const TMove& move : GenerateMoves(before, game.Size(), side)) {
        TGameBoard board = before;
        ApplyMove(board, game.Size(), move, side);
        if (board == after)
            return true;
    }
    return false;
}

struct Program : TestProgram {
    TComputerTurn& Turn() { return Form1.ComputerTurn(); }

    // Presses "Nastavení"; `act` runs inside the dialog and closes it.
    void Settings(const std::function<void(TSetupDial&)>& act)
    {
        bool ran = false;
        QTimer::singleShot(0, &SetupDial, [&] {
            ran = SetupDial.isVisible();
            act(SetupDial);
            if (SetupDial.isVisible())
                SetupDial.done(QDialog::Rejected);
        });
        QTest::mouseClick(Form1.BitBtn2, Qt::LeftButton);
        QVERIFY(ran);
    }

    // A move of the side to pick, a copy when there is one, pressed as a
    // player would.
    void PlayHumanMove()
    {
        const TColor side = Game().CurrentPlayer == 0 ? clRed : clBlue;
        const auto moves = GenerateMoves(Game().GameBoard, Game().Size(), side);
        QVERIFY(!moves.empty());
        const auto copy = std::find_if(moves.begin(), moves.end(), [&](const TMove& move) {
            return BoardDistance(Game().Size(), move.From, move.To) == 1;
        });
        const TMove move = copy != moves.end() ? *copy : moves.front();
        Press(move.From);
        Press(move.To);
        WaitIdle();
    }

    // Until the computer is to move and thinking.
    void WaitThinking()
    {
        QVERIFY(WaitUntil([this] { return Turn().Thinking(); }, 10000));
    }
};

// Closes each podium with its button and counts them.
class PodiumCloser : public QObject {
public:
    PodiumCloser()
    {
        timer_.setInterval(5);
        connect(&timer_, &QTimer::timeout, this, [this] {
            if (auto* podium = dynamic_cast<TForm5*>(QApplication::activeModalWidget())) {
                ++Podiums;
                podium->BitBtn1->click();
            }
        });
        timer_.start();
    }

    int Podiums = 0;

private:
    QTimer timer_;
};

// Answers the quit question with "No", checking first that no search runs
// behind it.
class QuestionCloser : public QObject {
public:
    explicit QuestionCloser(TComputerTurn& turn)
        : turn_(turn)
    {
        timer_.setInterval(5);
        connect(&timer_, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || box->isHidden())
                return;
            ++Questions;
            ThinkingBehind = ThinkingBehind || turn_.Thinking();
            SearchStopped = WaitUntil([this] { return !turn_.SearchRunning(); }, 5000);
            for (QAbstractButton* button : box->buttons())
                if (button->text() == QStringLiteral("&No"))
                    button->click();
        });
        timer_.start();
    }

    int Questions = 0;
    bool ThinkingBehind = false;
    bool SearchStopped = false;

private:
    TComputerTurn& turn_;
    QTimer timer_;
};

} // namespace

class ComputerTurnTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(UsePrivateSetUp(config_, errors_));
    }

    void init() { errors_.clear(); }

    void cleanup() { QVERIFY2(errors_.isEmpty(), qPrintable(errors_.join(QLatin1Char('\n')))); }

    void computerMovesLikeAPlayer_data()
    {
        QTest::addColumn<int>("computerSide");
        QTest::newRow("Red") << 0;
        QTest::newRow("Blue") << 1;
    }

    void computerMovesLikeAPlayer()
    {
        QFETCH(int, computerSide);
        StoreSettings(8, computerSide == 0 ? RedComputer : BlueComputer, 2);
        PodiumCloser closer; // should the computer win already
        Program program;
        TGameState& game = program.Game();
        const TColor colour = computerSide == 0 ? clRed : clBlue;
        const TColor highlight = computerSide == 0 ? clFuchsia : clAqua;
        // The computer's turns, timed from their start.
        QElapsedTimer turn;
        connect(&program.Turn(), &TComputerTurn::ThinkingStarted, this, [&] { turn.start(); });
        for (int move = 0; move < 3; ++move) {
            if (program.Turn().SideToMove() != computerSide)
                program.PlayHumanMove();
            QCOMPARE(program.Turn().SideToMove(), computerSide);
            QVERIFY(program.Turn().TurnUnderWay());
            const TGameBoard before = game.GameBoard;
            // The piece is picked and shown highlighted before the target.
            bool pickShown = false;
            qint64 movedAfter = -1;
            QVERIFY(WaitUntil(
                [&] {
                    if (game.SelectionState != 0 && game.GameBoard[game.SelectedCell] == colour
                        && program.PictureAt(game.SelectedCell) == highlight)
                        pickShown = true;
                    if (game.GameBoard == before)
                        return false;
                    movedAfter = turn.isValid() ? turn.elapsed() : -1;
                    return true;
                },
                10000));
            program.WaitIdle();
            QVERIFY(pickShown);
            // The first turn of a game the computer opens began before the
            // test could listen.
            if (movedAfter >= 0)
                QVERIFY2(movedAfter >= TComputerTurn::MinTurnMs - 5, qPrintable(QString::number(movedAfter)));
            turn.invalidate();
            QVERIFY(OneLegalMove(game, before, game.GameBoard, colour) || PieceCount(game) == 2); // or the game ended
            QCOMPARE(game.SelectionState, 0);
        }
        QVERIFY(program.Form1.RedScore->text().toInt() + program.Form1.BlueScore->text().toInt() == PieceCount(game));
    }

    void pressesAreRefusedWhileTheComputerMoves()
    {
        StoreSettings(10, RedComputer, 10, true);
        Program program;
        TGameState& game = program.Game();
        if (program.Turn().SideToMove() != 0)
            program.PlayHumanMove();
        program.WaitThinking();
        const TGameBoard before = game.GameBoard;
        const TPoint blue = [&] {
            TPoint found{0, 0};
            ForEachCell(game.Size(), [&](TPoint cell) {
                if (game.GameBoard[cell] == clBlue)
                    found = cell;
            });
            return found;
        }();
        // A Red piece, an empty cell and a Blue piece: each is refused
        // with the ding, and nothing is picked.
        for (const TPoint cell : {TPoint{1, 1}, TPoint{5, 5}, blue}) {
            ResetSoundEffects();
            program.Press(cell);
            QCOMPARE(LastSoundEffect(), QStringLiteral("ding.wav"));
            QVERIFY(game.GameBoard == before);
            QCOMPARE(game.SelectionState, 0);
        }
        // Once the computer has picked, the empty cells next to its piece
        // (where a player's press would move it) are refused too.
        QVERIFY(WaitUntil([&] { return game.SelectionState != 0; }, 10000));
        const TPoint picked = game.SelectedCell;
        for (const TPoint cell : Neighbours(game.Size(), picked))
            if (game.GameBoard[cell] == clGray)
                program.Press(cell);
        QVERIFY(game.GameBoard == before);
        QCOMPARE(game.SelectedCell, picked);
        // The computer finishes its move, and then Blue's presses count.
        QVERIFY(WaitUntil([&] { return !(game.GameBoard == before); }, 10000));
        program.WaitIdle();
        QVERIFY(OneLegalMove(game, before, game.GameBoard, clRed));
        QVERIFY(!program.Turn().ComputerToMove());
        program.PlayHumanMove();
        QCOMPARE(program.Turn().SideToMove(), 0);
    }

    void buttonsCancelTheSearch_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("Restart") << QStringLiteral("Restart");
        QTest::newRow("Nastavení") << QStringLiteral("Nastavení");
        QTest::newRow("close request") << QStringLiteral("close");
    }

    void buttonsCancelTheSearch()
    {
        QFETCH(QString, way);
        StoreSettings(10, BothComputers, 10);
        PodiumCloser closer;
        Program program;
        TGameState& game = program.Game();
        program.WaitThinking();
        const TGameBoard start = game.GameBoard;
        QSignalSpy started(&program.Turn(), &TComputerTurn::ThinkingStarted);
        if (way == QStringLiteral("Restart")) {
            QTest::mouseClick(program.Form1.Button1, Qt::LeftButton);
            program.WaitIdle();
            // The new game's own search is at level 10 and takes about a
            // second; a move within the first moments would be the old one's.
            QCOMPARE(started.count(), 1);
            QTest::qWait(300);
            QCOMPARE(PieceCount(game), 2);
            QCOMPARE(game.SelectionState, 0);
        } else if (way == QStringLiteral("Nastavení")) {
            bool thinkingBehind = true;
            bool stopped = false;
            program.Settings([&](TSetupDial& dial) {
                thinkingBehind = program.Turn().Thinking();
                stopped = WaitUntil([&] { return !program.Turn().SearchRunning(); }, 5000);
                dial.RadioButton3->setChecked(true);
                dial.RadioButton5->setChecked(true);
                dial.BitBtn1->click();
            });
            QVERIFY(!thinkingBehind);
            QVERIFY(stopped);
            // Both are people now: the search cut off is never played.
            QTest::qWait(1500);
            QVERIFY(game.GameBoard == start);
            QCOMPARE(game.SelectionState, 0);
            QCOMPARE(started.count(), 0);
        } else {
            QuestionCloser closer(program.Turn());
            program.Form1.close();
            QVERIFY(WaitUntil([&] { return closer.Questions == 1 && !QApplication::activeModalWidget(); }, 5000));
            QVERIFY(!closer.ThinkingBehind);
            QVERIFY(closer.SearchStopped);
            QVERIFY(program.Form1.isVisible());
            // Staying on, the computer thinks again and plays.
            QCOMPARE(started.count(), 1);
            QVERIFY(WaitUntil([&] { return PieceCount(game) == 3; }, 10000));
        }
    }

    void settingsTakeEffectWithoutRestart_data()
    {
        QTest::addColumn<int>("players");
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("newPlayers");
        QTest::addColumn<int>("newLevel");
        QTest::newRow("level 10 to 0") << int(BothComputers) << 10 << int(BothComputers) << 0;
        QTest::newRow("level 0 to 3") << int(BothComputers) << 0 << int(BothComputers) << 3;
        QTest::newRow("computers to people") << int(BothComputers) << 10 << 0 << 10;
        QTest::newRow("people to computers") << 0 << 5 << int(BothComputers) << 1;
    }

    void settingsTakeEffectWithoutRestart()
    {
        QFETCH(int, players);
        QFETCH(int, level);
        QFETCH(int, newPlayers);
        QFETCH(int, newLevel);
        StoreSettings(8, TPlayers(players), level);
        PodiumCloser closer; // a failing wait must not leave a podium open
        Program program;
        TGameState& game = program.Game();
        if (players != 0)
            program.WaitThinking();
        const TGameBoard start = game.GameBoard;
        QSignalSpy started(&program.Turn(), &TComputerTurn::ThinkingStarted);
        program.Settings([&](TSetupDial& dial) {
            (newPlayers & RedComputer ? dial.RadioButton6 : dial.RadioButton5)->setChecked(true);
            (newPlayers & BlueComputer ? dial.RadioButton4 : dial.RadioButton3)->setChecked(true);
            dial.TrackBar1->setValue(newLevel);
            dial.BitBtn1->click();
        });
        QCOMPARE(game.Intelligence, newLevel);
        QVERIFY(game.GameBoard == start);
        if (newPlayers == 0) {
            QCOMPARE(started.count(), 0);
            QVERIFY(!program.Turn().TurnUnderWay());
            program.PlayHumanMove();
            QCOMPARE(PieceCount(game), 3);
        } else {
            QCOMPARE(started.count(), 1);
            QCOMPARE(program.Turn().TurnLevel(), newLevel);
            QVERIFY(WaitUntil([&] { return PieceCount(game) == 3; }, 10000));
        }
        QCOMPARE(ReadSetting(QStringLiteral("Inteligence"), QString()), QString::number(level));
    }

    void computersPlayWholeGamesOnTheirOwn()
    {
        StoreSettings(4, BothComputers, 3, true);
        PodiumCloser closer;
        Program program;
        TGameState& game = program.Game();
        program.Turn().SetPauses(5, 2);
        // The podium waits for its button; then the next game is played too.
        QVERIFY(WaitUntil([&] { return closer.Podiums >= 1; }, 60000));
        QVERIFY(WaitUntil([&] { return closer.Podiums >= 2; }, 60000));
        program.WaitIdle();
        const TPieceCount count = CountPieces(game.GameBoard, game.Size());
        QCOMPARE(program.Form1.RedScore->text(), QString::number(count.Red));
        QCOMPARE(program.Form1.BlueScore->text(), QString::number(count.Blue));
        QVERIFY(program.Form5.isHidden());
    }

private:
    QTemporaryDir config_;
    QStringList errors_;
};

QTEST_MAIN(ComputerTurnTest)
#include "ComputerTurnTest.moc"
