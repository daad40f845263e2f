// The main window, headless: new games, the read-out, the status line, the
// turn indicator, whole games played by clicks, and input storms that arrive
// while boards are laid out and filled.
#include "controls/PentiumMMX.h"
#include "controls/UKITScan.h"
#include "game/Moves.h"
#include "game/Unit1.h"
#include "hexmap/Hexmap.h"
#include "shell/Application.h"
#include "shell/DataFiles.h"
#include "shell/Settings.h"
#include "shell/Unit2.h"
#include "shell/Unit3.h"
#include "shell/Unit5.h"
#include "tests/TestSupport.h"
#include "tests/game/TestProgram.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <random>

namespace {

// Closes whatever modal window turns up, as a patient player would: the
// podium with OK, the quit question with No, the dialogs with their close.
class ModalCloser : public QObject {
public:
    ModalCloser()
    {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { CloseModal(); });
        timer_.start();
    }

    int Podiums = 0;
    int Questions = 0;

private:
    void CloseModal()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            ++Questions;
            for (QAbstractButton* button : box->buttons())
                if (button->text() == QStringLiteral("&No"))
                    button->click();
        } else if (auto* podium = dynamic_cast<TForm5*>(modal)) {
            ++Podiums;
            podium->BitBtn1->click();
        } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
            dialog->reject();
        }
    }

    QTimer timer_;
};

struct Program : TestProgram {
    void CheckConsistent()
    {
        TGameState& game = Game();
        ForEachCell(game.Size(), [&](TPoint cell) {
            const TColor color = game.GameBoard[cell];
            QVERIFY(color == clGray || color == clRed || color == clBlue);
            const bool highlighted = game.SelectionState != 0 && cell == game.SelectedCell;
            QCOMPARE(PictureAt(cell), highlighted ? (color == clRed ? clFuchsia : clAqua) : color);
        });
        const TPieceCount count = CountPieces(game.GameBoard, game.Size());
        QCOMPARE(Form1.RedScore->text(), QString::number(count.Red));
        QCOMPARE(Form1.BlueScore->text(), QString::number(count.Blue));
    }
};

void StoreSettings(int width, int height, bool sound = false)
{
    WriteSetting(QStringLiteral("Sirka"), QString::number(width));
    WriteSetting(QStringLiteral("Vyska"), QString::number(height));
    WriteSetting(QStringLiteral("Sound"), sound ? QStringLiteral("1") : QStringLiteral("0"));
    WriteSetting(QStringLiteral("Music"), QStringLiteral("0"));
}

} // namespace

class Unit1Test : public QObject {
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

    void newGameShowsTwoPiecesAndOneEach()
    {
        Program program;
        TGameState& game = program.Game();
        QCOMPARE(program.Form1.RedScore->text(), QStringLiteral("1"));
        QCOMPARE(program.Form1.BlueScore->text(), QStringLiteral("1"));
        QCOMPARE(game.GameBoard(1, 1), clRed);
        QCOMPARE(game.GameBoard(10, 10), clBlue);
        const TPieceCount count = CountPieces(game.GameBoard, game.Size());
        QCOMPARE(count.Red + count.Blue, 2);
        program.CheckConsistent();
        QVERIFY(program.Form1.HexMap1->isVisible());
        QVERIFY(!program.Form1.ProgressBar1->isVisible());
        QCOMPARE(game.HoverCell, (TPoint{1, 1}));
        QCOMPARE(game.SelectedCell, (TPoint{1, 1}));
        QCOMPARE(program.Form1.KITScanner1->ScanColor(), game.CurrentPlayer == 1 ? scBlue : scRed);
        QVERIFY(errors_.isEmpty());
    }

    void setUpProgressStepsBySixOnFourByFour()
    {
        StoreSettings(4, 4);
        TForm1 form1;
        QList<int> values;
        connect(form1.ProgressBar1, &QProgressBar::valueChanged, this, [&](int value) { values << value; });
        form1.show();
        QVERIFY(QTest::qWaitFor([&] { return form1.Timer1.isActive() && !form1.SequenceRunning(); }, 20000));
        // The bar is drawn once per display frame, so it may skip cells, but
        // it climbs by whole cells to 96 before it is reset.
        QVERIFY(values.size() >= 2);
        QCOMPARE(values.takeLast(), 0);
        QCOMPARE(values.last(), 96);
        for (qsizetype i = 0; i < values.size(); ++i) {
            QCOMPARE(values[i] % 6, 0);
            QVERIFY(values[i] > (i > 0 ? values[i - 1] : 0));
        }
        QVERIFY(!form1.ProgressBar1->isVisible());
        QCOMPARE(form1.HexMap1->size(), QSize(3 * 20 / 2 * 3 + 40, 2 * 17 * 4 + 17));
    }

    // As the program makes them: nothing before the first paint, the about
    // box right after it, the settings dialog and the podium when first
    // opened, each of them once.
    void otherWindowsAreMadeWhenFirstNeeded()
    {
        ModalCloser closer;
        TForm1 form1;
        std::unique_ptr<TAboutBox> aboutBox;
        std::unique_ptr<TSetupDial> setupDial;
        std::unique_ptr<TForm5> form5;
        int made[3] = {0, 0, 0};
        form1.SetWindowFactories(
            [&] {
                ++made[0];
                return (aboutBox = std::make_unique<TAboutBox>(&form1)).get();
            },
            [&] {
                ++made[1];
                return (setupDial = std::make_unique<TSetupDial>(form1.Game(), form1.HexMap1, form1.PentiumMMX1, &form1))
                    .get();
            },
            [&] {
                ++made[2];
                return (form5 = std::make_unique<TForm5>(&form1)).get();
            });
        QVERIFY(!form1.AboutBoxMade() && !form1.SetupDialMade() && !form1.Form5Made());

        form1.show();
        QVERIFY(QTest::qWaitFor([&] { return form1.Timer1.isActive() && !form1.SequenceRunning(); }, 20000));
        QCOMPARE(made[0], 1);
        QCOMPARE(made[1] + made[2], 0);
        QCOMPARE(aboutBox->parentWidget(), &form1);

        for (int round = 0; round < 2; ++round) {
            form1.BitBtn2->click();
            IGameView& view = form1;
            view.ShowPodium(poDraw);
        }
        QCOMPARE(made[0], 1);
        QCOMPARE(made[1], 1);
        QCOMPARE(made[2], 1);
        QCOMPARE(closer.Podiums, 2);
        QVERIFY(setupDial->isHidden() && form5->isHidden());
        QVERIFY(errors_.isEmpty());
    }

    void readOutFollowsThePointer()
    {
        Program program;
        TForm1& form = program.Form1;
        auto moveTo = [&](int x, int y) { QTest::mouseMove(form.HexMap1, QPoint(x, y)); };
        form.Label2->setText(QStringLiteral("7"));
        form.Label4->setText(QStringLiteral("7"));
        moveTo(20, 17); // cell (1, 1) is already the hover cell after a new game
        QCOMPARE(form.Label2->text(), QStringLiteral("7"));
        moveTo(80, 119);
        QCOMPARE(form.Label2->text(), QStringLiteral("3"));
        QCOMPARE(form.Label4->text(), QStringLiteral("4"));
        form.Label2->setText(QStringLiteral("x"));
        moveTo(84, 110); // the same cell: nothing touched
        QCOMPARE(form.Label2->text(), QStringLiteral("x"));
        moveTo(2, 2); // on the control but in no cell
        QCOMPARE(form.Label2->text(), QStringLiteral("0"));
        QCOMPARE(form.Label4->text(), QStringLiteral("0"));
        moveTo(290, 340);
        QCOMPARE(form.Label2->text(), QStringLiteral("10"));
        QTest::mouseMove(&form, QPoint(450, 300)); // off the control: the last values stay
        QCOMPARE(form.Label2->text(), QStringLiteral("10"));
        QCOMPARE(form.Label4->text(), QStringLiteral("10"));
    }

    void statusLineFollowsTheMmxSetting()
    {
        Program program;
        TForm1& form = program.Form1;
        program.Game().MmxEnabled = 0;
        form.UpdateAccelerationStatus();
        QCOMPARE(form.Label5->text(), QStringLiteral("x86 Instructions"));
        program.Game().MmxEnabled = 1;
        form.UpdateAccelerationStatus();
        QCOMPARE(form.Label5->text(), form.PentiumMMX1->MMXsupport() ? QStringLiteral("MMX Boosted !")
                                                                      : QStringLiteral("x86 Instructions"));
    }

    void turnIndicatorShowsTheSideToMove()
    {
        Program program;
        TGameState& game = program.Game();
        const bool redFirst = game.CurrentPlayer == 0;
        const TPoint piece = redFirst ? TPoint{1, 1} : TPoint{10, 10};
        const TPoint target = redFirst ? TPoint{1, 2} : TPoint{10, 9};
        program.Press(piece, Qt::RightButton);
        // Picking does not move the indicator; the move does.
        QCOMPARE(program.Form1.KITScanner1->ScanColor(), redFirst ? scRed : scBlue);
        program.Press(target, Qt::MiddleButton);
        QCOMPARE(game.GameBoard[target], redFirst ? clRed : clBlue);
        QCOMPARE(program.Form1.KITScanner1->ScanColor(), redFirst ? scBlue : scRed);
        program.CheckConsistent();
    }

    void restartAbandonsTheGameAlsoWithAPieceSelected()
    {
        Program program;
        TGameState& game = program.Game();
        for (int round = 0; round < 2; ++round) {
            const TPoint piece = game.CurrentPlayer == 0 ? TPoint{1, 1} : TPoint{10, 10};
            program.Press(piece);
            if (round == 0)
                program.Press(game.CurrentPlayer == 1 ? TPoint{2, 2} : TPoint{9, 9}); // a jump
            QTest::mouseClick(program.Form1.Button1, Qt::LeftButton);
            program.WaitIdle();
            QCOMPARE(game.SelectionState, 0);
            QCOMPARE(CountPieces(game.GameBoard, game.Size()).Red, 1);
            QCOMPARE(program.Form1.RedScore->text(), QStringLiteral("1"));
            program.CheckConsistent();
        }
    }

    void wholeGamesByClicksEndOnThePodiumAndStartAgain()
    {
        StoreSettings(4, 4, true);
        ModalCloser closer;
        Program program;
        TGameState& game = program.Game();
        std::mt19937 random(11);
        for (int press = 0; press < 2000 && closer.Podiums < 2; ++press) {
            const TColor side = game.CurrentPlayer == 0 ? clRed : clBlue;
            const auto moves = GenerateMoves(game.GameBoard, game.Size(), side);
            QVERIFY(!moves.empty());
            const TMove move = moves[std::uniform_int_distribution<size_t>(0, moves.size() - 1)(random)];
            program.Press(move.From);
            program.Press(move.To);
            program.WaitIdle();
        }
        QCOMPARE(closer.Podiums, 2);
        // After the podium a fresh board stands.
        QCOMPARE(CountPieces(game.GameBoard, game.Size()).Red + CountPieces(game.GameBoard, game.Size()).Blue, 2);
        program.CheckConsistent();
        QVERIFY(program.Form5.isHidden());
    }

    void inputStormLeavesBoardAndScoresConsistent()
    {
        StoreSettings(5, 4);
        ModalCloser closer;
        Program program;
        TForm1& form = program.Form1;
        std::mt19937 random(3);
        int sent = 0;
        QTimer storm;
        storm.setInterval(0);
        connect(&storm, &QTimer::timeout, this, [&] {
            if (++sent > 3000) {
                storm.stop();
                return;
            }
            const int kind = std::uniform_int_distribution<int>(0, 99)(random);
            if (kind < 2) {
                form.Button1->click();
            } else if (kind < 3) {
                form.BitBtn1->click();
            } else if (kind < 4) {
                form.BitBtn2->click();
            } else {
                // Moves of the side to pick, mostly, so that games reach their end.
                const TColor side = program.Game().CurrentPlayer == 0 ? clRed : clBlue;
                const auto moves = GenerateMoves(program.Game().GameBoard, program.Game().Size(), side);
                if (!moves.empty() && kind < 80) {
                    const TMove move = moves[std::uniform_int_distribution<size_t>(0, moves.size() - 1)(random)];
                    program.Press(program.Game().SelectionState == 0 ? move.From : move.To);
                } else {
                    const QPoint pixel(std::uniform_int_distribution<int>(-5, 200)(random),
                                       std::uniform_int_distribution<int>(-5, 200)(random));
                    QTest::mouseClick(form.HexMap1, Qt::LeftButton, {}, pixel);
                }
            }
        });
        storm.start();
        QVERIFY(QTest::qWaitFor([&] { return !storm.isActive(); }, 120000));
        program.WaitIdle();
        program.CheckConsistent();
        QVERIFY(form.isVisible());
        QVERIFY(errors_.isEmpty());
    }

private:
    QTemporaryDir config_;
    QStringList errors_;
};

QTEST_MAIN(Unit1Test)
#include "Unit1Test.moc"
