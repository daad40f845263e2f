// The comfort options in the main window, headless: the take-back buttons
// and shortcuts appear only with their option and sit in free space; moves
// taken back through the window show the earlier position with its scores
// and turn indicator; the hint and last-move marks; keyboard play from Tab
// to a whole move.
#include "controls/UKITScan.h"
#include "game/Moves.h"
#include "game/Unit1.h"
#include "hexmap/Hexmap.h"
#include "shell/Application.h"
#include "shell/DataFiles.h"
#include "shell/Mnemonics.h"
#include "shell/Settings.h"
#include "tests/TestSupport.h"
#include "tests/game/TestProgram.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <random>
#include <vector>

namespace {

struct Program : TestProgram {
    // What the window shows agrees with the game's variables.
    void CheckShown()
    {
        TGameState& game = Game();
        ForEachCell(game.Size(), [&](TPoint cell) {
            const bool highlighted = game.SelectionState != 0 && cell == game.SelectedCell;
            const TColor color = game.GameBoard[cell];
            QCOMPARE(PictureAt(cell), highlighted ? (color == clRed ? clFuchsia : clAqua) : color);
        });
        const TPieceCount count = CountPieces(game.GameBoard, game.Size());
        QCOMPARE(Form1.RedScore->text(), QString::number(count.Red));
        QCOMPARE(Form1.BlueScore->text(), QString::number(count.Blue));
        QCOMPARE(Form1.KITScanner1->ScanColor(), game.CurrentPlayer == 1 ? scBlue : scRed);
    }

    void PlayRandom(std::mt19937& random)
    {
        const TColor side = Game().CurrentPlayer == 1 ? clBlue : clRed;
        // Copies only: a few of them cannot end a game, which would bring
        // up the podium.
        std::vector<TMove> moves = GenerateMoves(Game().GameBoard, Game().Size(), side);
        std::erase_if(moves, [&](const TMove& m) { return BoardDistance(Game().Size(), m.From, m.To) != 1; });
        const TMove move = moves[std::uniform_int_distribution<std::size_t>(0, moves.size() - 1)(random)];
        Press(move.From);
        Press(move.To);
        WaitIdle();
    }

    void Key(int key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &Form1, Qt::Key(key), modifiers);
    }
};

void StoreOptions(bool undo, bool hints, bool lastMove, int size = 6)
{
    WriteSettings({{QStringLiteral("Sirka"), QString::number(size)},
                   {QStringLiteral("Vyska"), QString::number(size)},
                   {QStringLiteral("Sound"), QStringLiteral("0")},
                   {QStringLiteral("Music"), QStringLiteral("0")},
                   {QStringLiteral("Vraceni"), BoolToSetting(undo)},
                   {QStringLiteral("Napoveda"), BoolToSetting(hints)},
                   {QStringLiteral("PosledniTah"), BoolToSetting(lastMove)}});
}

} // namespace

class ComfortWindowTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(config_.isValid());
        qputenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit());
        SetDataDirectories({QStringLiteral(ZELVON_TEST_DATA_DIR)});
        SetErrorReporter([](const QString& message) { QFAIL(qPrintable(message)); });
    }

    void buttonsAndShortcutsFollowTheOption_data()
    {
        QTest::addColumn<bool>("undo");
        QTest::newRow("off, as by default") << false;
        QTest::newRow("on") << true;
    }

    void buttonsAndShortcutsFollowTheOption()
    {
        QFETCH(bool, undo);
        StoreOptions(undo, false, false);
        Program program;
        TForm1& form = program.Form1;
        QCOMPARE(form.UndoButton->isVisible(), undo);
        QCOMPARE(form.RedoButton->isVisible(), undo);
        // In free space: no other control of the window is under them.
        for (QPushButton* button : {form.UndoButton, form.RedoButton}) {
            QVERIFY(form.rect().contains(button->geometry()));
            for (QWidget* other : form.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (other != form.UndoButton && other != form.RedoButton && !other->isWindow() && other->isVisible())
                    QVERIFY2(!other->geometry().intersects(button->geometry()), qPrintable(other->objectName()));
        }
        // Every button of the window has a letter of its own.
        QSet<QChar> letters;
        for (QPushButton* button : form.findChildren<QPushButton*>()) {
            if (button->window() != &form)
                continue;
            const QChar letter = MnemonicOf(button->text());
            QVERIFY2(!letter.isNull() && !letters.contains(letter), qPrintable(button->text()));
            letters.insert(letter);
        }

        std::mt19937 random(5);
        program.PlayRandom(random);
        const TGamePosition after = PositionOf(program.Game());
        form.activateWindow();
        QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier);
        program.WaitIdle();
        QCOMPARE(PositionOf(program.Game()) == after, !undo);
        if (undo) {
            QVERIFY(!form.UndoButton->isEnabled());
            QVERIFY(form.RedoButton->isEnabled());
            QTest::keyClick(&form, Qt::Key_Y, Qt::ControlModifier);
            QVERIFY(PositionOf(program.Game()) == after);
            QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier);
            QTest::keyClick(&form, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
            QVERIFY(PositionOf(program.Game()) == after);
        }
        program.CheckShown();
    }

    void undoThroughTheWindowShowsEachPosition_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("seed");
        QTest::newRow("6 x 6") << 6 << 1;
        QTest::newRow("10 x 10") << 10 << 2;
    }

    void undoThroughTheWindowShowsEachPosition()
    {
        QFETCH(int, size);
        QFETCH(int, seed);
        StoreOptions(true, true, true, size);
        Program program;
        TForm1& form = program.Form1;
        std::mt19937 random{std::uint32_t(seed)};
        std::vector<TGamePosition> positions{PositionOf(program.Game())};
        for (int move = 0; move < 4; ++move) {
            program.PlayRandom(random);
            positions.push_back(PositionOf(program.Game()));
        }
        // A pick is dropped with the move before it.
        const TColor side = program.Game().CurrentPlayer == 1 ? clBlue : clRed;
        program.Press(GenerateMoves(program.Game().GameBoard, program.Game().Size(), side).front().From);
        QVERIFY(program.Game().SelectionState != 0);
        for (std::size_t index = positions.size() - 1; index-- > 0;) {
            form.UndoButton->click();
            QVERIFY(PositionOf(program.Game()) == positions[index]);
            QCOMPARE(program.Game().SelectionState, 0);
            program.CheckShown();
        }
        QVERIFY(!form.UndoButton->isEnabled());
        form.RedoButton->click();
        QVERIFY(PositionOf(program.Game()) == positions[1]);
        program.CheckShown();
        // Restart forgets the game.
        form.Button1->click();
        program.WaitIdle();
        QVERIFY(!form.UndoButton->isEnabled());
        QVERIFY(!form.RedoButton->isEnabled());
    }

    void marksOnTheRealBoard()
    {
        StoreOptions(false, true, true);
        Program program;
        THexMap& map = *program.Form1.HexMap1;
        TGameState& game = program.Game();
        const TColor side = game.CurrentPlayer == 1 ? clBlue : clRed;
        const TMove move = GenerateMoves(game.GameBoard, game.Size(), side).front();
        program.Press(move.From);
        const TMoveTargets targets = MoveTargets(game.GameBoard, game.Size(), move.From);
        QCOMPARE(map.Marks().CopyTargets, targets.Copies);
        QCOMPARE(map.Marks().JumpTargets, targets.Jumps);
        // Drawn over the picture: the shown board differs, the picture not.
        const TPoint copy = targets.Copies.front();
        const TPoint centre = map.ConvertPoint(copy, cpCellToPixel);
        QCOMPARE(program.PictureAt(copy), clGray);
        QVERIFY(QRgbToColor(map.grab().toImage().pixel(centre.X, centre.Y)) != clGray);
        program.Press(move.To);
        program.WaitIdle();
        QVERIFY(map.Marks().CopyTargets.empty() && map.Marks().JumpTargets.empty());
        QCOMPARE(map.Marks().LastFrom, move.From);
        QCOMPARE(map.Marks().LastTo, move.To);
        program.CheckShown();
    }

    void keyboardPlaysAWholeMove()
    {
        StoreOptions(false, false, false, 5);
        Program program;
        TForm1& form = program.Form1;
        TGameState& game = program.Game();
        // Tab goes round the window's controls to the board.
        form.activateWindow();
        for (int tab = 0; tab < 12 && !form.HexMap1->hasFocus(); ++tab)
            program.Key(Qt::Key_Tab);
        QVERIFY(form.HexMap1->hasFocus());
        const TColor side = game.CurrentPlayer == 1 ? clBlue : clRed;
        const TMove move = GenerateMoves(game.GameBoard, game.Size(), side).front();
        // Walk to the piece by arrows only, then to the target.
        const auto walkTo = [&](TPoint cell) {
            while (form.HexMap1->CursorCell().X != cell.X)
                program.Key(form.HexMap1->CursorCell().X < cell.X ? Qt::Key_Right : Qt::Key_Left);
            while (form.HexMap1->CursorCell().Y != cell.Y)
                program.Key(form.HexMap1->CursorCell().Y < cell.Y ? Qt::Key_Down : Qt::Key_Up);
            QCOMPARE(form.Label2->text(), QString::number(cell.X));
            QCOMPARE(form.Label4->text(), QString::number(cell.Y));
        };
        walkTo(move.From);
        program.Key(Qt::Key_Space);
        QVERIFY(game.SelectionState != 0);
        QCOMPARE(game.SelectedCell, move.From);
        walkTo(move.To);
        program.Key(Qt::Key_Return);
        program.WaitIdle();
        QCOMPARE(game.SelectionState, 0);
        QCOMPARE(game.GameBoard[move.To], side);
        program.CheckShown();
    }

private:
    QTemporaryDir config_;
};

QTEST_MAIN(ComfortWindowTest)
#include "ComfortWindowTest.moc"
