// The settings button of the main window, headless, with all four windows as
// the program makes them: a new board size restarting at once, the cell
// style switched under a game in progress, Cancel (and Escape, and a close
// request) leaving the style alone, sound off, and the status line.
#include "controls/PentiumMMX.h"
#include "game/Moves.h"
#include "game/Unit1.h"
#include "hexmap/Hexmap.h"
#include "shell/Application.h"
#include "shell/DataFiles.h"
#include "shell/Settings.h"
#include "shell/SoundEffects.h"
#include "shell/Unit2.h"
#include "shell/Unit3.h"
#include "shell/Unit5.h"
#include "tests/TestSupport.h"
#include "tests/game/TestProgram.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <functional>
#include <random>

namespace {

// A click on the box itself, where a player aims; a wide check box takes
// clicks only on its box and caption.
void ClickBox(QAbstractButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(7, button->height() / 2));
}

struct Program : TestProgram {
    // Presses "Nastavení"; `act` runs inside the dialog and closes it. A
    // dialog left open is closed here and fails the test.
    void Settings(const std::function<void(TSetupDial&)>& act)
    {
        bool ran = false;
        bool leftOpen = false;
        QTimer::singleShot(0, &SetupDial, [&] {
            ran = SetupDial.isVisible();
            act(SetupDial);
            if (SetupDial.isVisible()) {
                leftOpen = true;
                SetupDial.done(QDialog::Rejected);
            }
        });
        QTest::mouseClick(Form1.BitBtn2, Qt::LeftButton);
        QVERIFY(ran);
        QVERIFY(!leftOpen);
        QVERIFY(SetupDial.isHidden());
    }

    // Random copies from a fixed seed, so that a game is under way and every
    // move adds a piece.
    void PlayMoves(int count, unsigned seed)
    {
        std::mt19937 random(seed);
        for (int move = 0; move < count; ++move) {
            TGameState& game = Game();
            const TColor side = game.CurrentPlayer == 0 ? clRed : clBlue;
            auto moves = GenerateMoves(game.GameBoard, game.Size(), side);
            std::erase_if(moves, [&](const TMove& m) { return BoardDistance(game.Size(), m.From, m.To) != 1; });
            QVERIFY(!moves.empty());
            const TMove chosen = moves[std::uniform_int_distribution<size_t>(0, moves.size() - 1)(random)];
            Press(chosen.From);
            Press(chosen.To);
            WaitIdle();
        }
    }

    // Picks a piece of the side to pick that can be copied, and returns it.
    TPoint SelectAPiece()
    {
        TGameState& game = Game();
        const TColor side = game.CurrentPlayer == 0 ? clRed : clBlue;
        const auto moves = GenerateMoves(game.GameBoard, game.Size(), side);
        const auto copy = std::find_if(moves.rbegin(), moves.rend(), [&](const TMove& m) {
            return BoardDistance(game.Size(), m.From, m.To) == 1;
        });
        if (copy == moves.rend())
            return {};
        Press(copy->From);
        return copy->From;
    }

    // The picture shows the board: every cell in its colour, the selected
    // piece (if any) in its highlight, and every cell in the board's style.
    void CheckPicture(bool highlightShown)
    {
        TGameState& game = Game();
        const bool raised = Form1.HexMap1->Hex3d();
        // Just inside the top edge: the white rim of a raised cell, the fill of a flat one.
        const int rim = 1 - Form1.HexMap1->HexHalfHeight();
        ForEachCell(game.Size(), [&](TPoint cell) {
            const TColor color = game.GameBoard[cell];
            const bool highlighted = highlightShown && game.SelectionState != 0 && cell == game.SelectedCell;
            const TColor fill = highlighted ? (color == clRed ? clFuchsia : clAqua) : color;
            QCOMPARE(PictureAt(cell), fill);
            QCOMPARE(PictureAt(cell, rim), raised ? clWhite : fill);
        });
    }

    int PieceCount()
    {
        const TPieceCount count = CountPieces(Game().GameBoard, Game().Size());
        return count.Red + count.Blue;
    }
};

void StoreSettings(int width, int height, bool sound = false)
{
    WriteSetting(QStringLiteral("Sirka"), QString::number(width));
    WriteSetting(QStringLiteral("Vyska"), QString::number(height));
    WriteSetting(QStringLiteral("Sound"), sound ? QStringLiteral("1") : QStringLiteral("0"));
    WriteSetting(QStringLiteral("Music"), QStringLiteral("0"));
    WriteSetting(QStringLiteral("MMX"), QStringLiteral("1"));
    WriteSetting(QStringLiteral("3Dhex"), QStringLiteral("1"));
}

} // namespace

class SettingsApplyTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(UsePrivateSetUp(config_, errors_));
    }

    void init()
    {
        errors_.clear();
        StoreSettings(10, 10);
    }

    void cleanup() { QVERIFY2(errors_.isEmpty(), qPrintable(errors_.join(QLatin1Char('\n')))); }

    void widthChangeRestartsAtOnceInMidGame()
    {
        Program program;
        TGameState& game = program.Game();
        program.PlayMoves(3, 5);
        QVERIFY(program.PieceCount() >= 5);
        program.SelectAPiece();
        QVERIFY(game.SelectionState != 0);

        program.Settings([](TSetupDial& dial) {
            dial.PageControl1->setCurrentIndex(1);
            dial.ScrollBar1->setValue(7);
            QTest::mouseClick(dial.BitBtn1, Qt::LeftButton);
        });
        // Already laid out when the button's handler returns.
        QVERIFY(!program.Form1.SequenceRunning());
        QCOMPARE(game.BoardWidth, 7);
        QCOMPARE(game.BoardHeight, 10);
        QCOMPARE(program.Form1.HexMap1->HexColumns(), 7);
        QCOMPARE(program.Form1.HexMap1->HexRows(), 10);
        QCOMPARE(game.GameBoard(1, 1), clRed);
        QCOMPARE(game.GameBoard(7, 10), clBlue);
        QCOMPARE(program.PieceCount(), 2);
        QCOMPARE(game.SelectionState, 0);
        QCOMPARE(program.Form1.RedScore->text(), QStringLiteral("1"));
        QCOMPARE(program.Form1.BlueScore->text(), QStringLiteral("1"));
        program.CheckPicture(true);
        // Kept for the run; the store is written only on the way out.
        QCOMPARE(ReadSetting(QStringLiteral("Sirka"), QString()), QStringLiteral("10"));

        // The same size again is no change: the new game goes on.
        program.PlayMoves(1, 9);
        const TGameBoard before = game.GameBoard;
        program.Settings([](TSetupDial& dial) {
            QCOMPARE(dial.ScrollBar1->value(), 7);
            dial.ScrollBar1->setValue(9);
            dial.ScrollBar1->setValue(7);
            dial.BitBtn1->click();
        });
        QVERIFY(game.GameBoard == before);
        QCOMPARE(game.RestartNeeded, 0);
    }

    void sizeChangeCancelledLeavesTheGame()
    {
        Program program;
        TGameState& game = program.Game();
        program.PlayMoves(2, 21);
        const TGameBoard before = game.GameBoard;
        const std::uint8_t player = game.CurrentPlayer;
        program.Settings([](TSetupDial& dial) {
            dial.ScrollBar1->setValue(4);
            dial.ScrollBar2->setValue(5);
            QTest::mouseClick(dial.BitBtn2, Qt::LeftButton);
        });
        QCOMPARE(game.BoardWidth, 10);
        QCOMPARE(game.BoardHeight, 10);
        QVERIFY(game.GameBoard == before);
        QCOMPARE(game.CurrentPlayer, player);
        QCOMPARE(program.Form1.HexMap1->HexColumns(), 10);
        program.CheckPicture(true);
    }

    void raisedCellsSwitchKeepsEveryPiece()
    {
        Program program;
        TGameState& game = program.Game();
        program.PlayMoves(6, 7);
        const TPoint selected = program.SelectAPiece();
        QVERIFY(game.SelectionState != 0);
        QCOMPARE(game.SelectedCell, selected);
        const TGameBoard before = game.GameBoard;
        const std::uint8_t selection = game.SelectionState;
        const std::uint8_t player = game.CurrentPlayer;
        const int pieces = program.PieceCount();
        program.CheckPicture(true);

        program.Settings([](TSetupDial& dial) {
            dial.PageControl1->setCurrentIndex(1);
            ClickBox(dial.CheckBox9);
            QTest::mouseClick(dial.BitBtn1, Qt::LeftButton);
        });
        QVERIFY(!program.Form1.HexMap1->Hex3d());
        QCOMPARE(game.RestartNeeded, 0);
        QVERIFY(game.GameBoard == before);
        QCOMPARE(program.PieceCount(), pieces);
        // The selected piece is drawn plain, yet it is still the one picked.
        program.CheckPicture(false);
        QCOMPARE(game.SelectionState, selection);
        QCOMPARE(game.SelectedCell, selected);
        QCOMPARE(game.CurrentPlayer, player);

        // ... and moving it works as if nothing had happened.
        const TColor side = game.GameBoard[selected];
        const auto moves = GenerateMoves(game.GameBoard, game.Size(), side);
        const auto move = std::find_if(moves.begin(), moves.end(), [&](const TMove& m) {
            return m.From == selected && BoardDistance(game.Size(), m.From, m.To) == 1;
        });
        QVERIFY(move != moves.end());
        program.Press(move->To);
        program.WaitIdle();
        QCOMPARE(game.GameBoard[move->To], side);
        QCOMPARE(game.GameBoard[selected], side);
        QCOMPARE(game.SelectionState, 0);
        program.CheckPicture(true);

        // And back to raised cells, still without disturbing the game.
        const TGameBoard later = game.GameBoard;
        program.Settings([](TSetupDial& dial) {
            QVERIFY(!dial.CheckBox9->isChecked());
            ClickBox(dial.CheckBox9);
            dial.BitBtn1->click();
        });
        QVERIFY(program.Form1.HexMap1->Hex3d());
        QVERIFY(game.GameBoard == later);
        program.CheckPicture(true);
    }

    void raisedCellsKeptWhenNotConfirmed_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("Zrušit") << 0;
        QTest::newRow("Escape") << 1;
        QTest::newRow("close request") << 2;
    }

    void raisedCellsKeptWhenNotConfirmed()
    {
        QFETCH(int, way);
        Program program;
        TGameState& game = program.Game();
        program.PlayMoves(2, 3);
        program.SelectAPiece();
        QVERIFY(game.SelectionState != 0);
        const TGameBoard before = game.GameBoard;
        program.Settings([way](TSetupDial& dial) {
            dial.PageControl1->setCurrentIndex(1);
            ClickBox(dial.CheckBox9);
            if (way == 0)
                QTest::mouseClick(dial.BitBtn2, Qt::LeftButton);
            else if (way == 1)
                QTest::keyClick(&dial, Qt::Key_Escape);
            else
                dial.close();
        });
        QVERIFY(program.Form1.HexMap1->Hex3d());
        QVERIFY(game.GameBoard == before);
        // Nothing was repainted: the selected piece still shows its highlight.
        program.CheckPicture(true);
    }

    void soundOffSilencesTheNextEvent()
    {
        StoreSettings(10, 10, true);
        Program program;
        TGameState& game = program.Game();
        QCOMPARE(game.SoundEnabled, 1);
        // A press on an empty cell with nothing picked is refused with a ding.
        ResetSoundEffects();
        program.Press({5, 5});
        QCOMPARE(LastSoundEffect(), QStringLiteral("ding.wav"));

        const TGameBoard before = game.GameBoard;
        const std::uint8_t music = game.MusicEnabled;
        program.Settings([](TSetupDial& dial) {
            ClickBox(dial.CheckBox1);
            dial.BitBtn1->click();
        });
        QCOMPARE(game.SoundEnabled, 0);
        QCOMPARE(game.MusicEnabled, music);
        QVERIFY(game.GameBoard == before);
        QCOMPARE(game.RestartNeeded, 0);
        QCOMPARE(ReadSetting(QStringLiteral("Sound"), QString()), QStringLiteral("1"));

        ResetSoundEffects();
        program.Press({5, 5});
        QVERIFY(LastSoundEffect().isEmpty());
        // A real move is silent too, and still made.
        program.PlayMoves(1, 4);
        QVERIFY(LastSoundEffect().isEmpty());
        QCOMPARE(program.PieceCount(), 3);
    }

    void statusLineFollowsTheMmxBoxAtOnce()
    {
        Program program;
        TForm1& form = program.Form1;
        const bool hasMmx = form.PentiumMMX1->MMXsupport();
        const QString boosted = hasMmx ? QStringLiteral("MMX Boosted !") : QStringLiteral("x86 Instructions");
        QCOMPARE(form.Label5->text(), boosted);

        program.Settings([](TSetupDial& dial) {
            ClickBox(dial.CheckBox3);
            dial.BitBtn1->click();
        });
        // Without MMX the box cannot be changed and the setting stays on.
        QCOMPARE(program.Game().MmxEnabled, hasMmx ? 0 : 1);
        QCOMPARE(form.Label5->text(), QStringLiteral("x86 Instructions"));

        program.Settings([](TSetupDial& dial) {
            ClickBox(dial.CheckBox3);
            dial.BitBtn1->click();
        });
        QCOMPARE(program.Game().MmxEnabled, 1);
        QCOMPARE(form.Label5->text(), boosted);
    }

    void mmxBoxGreyedWithoutMmx()
    {
        Program program;
        program.SetupDial.SetMMXQuery([] { return false; });
        program.Settings([](TSetupDial& dial) {
            QVERIFY(!dial.CheckBox3->isEnabled());
            QVERIFY(dial.CheckBox3->isChecked());
            ClickBox(dial.CheckBox3);
            dial.BitBtn1->click();
        });
        QCOMPARE(program.Game().MmxEnabled, 1);
    }

private:
    QTemporaryDir config_;
    QStringList errors_;
};

QTEST_MAIN(SettingsApplyTest)
#include "SettingsApplyTest.moc"
