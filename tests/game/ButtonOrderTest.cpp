// The main window's buttons, headless, when presses pile up: clicks that
// arrive while the settings dialog is closing, or while a board is being laid
// out, are held and run afterwards, each once and in the order they came, and
// the board on screen keeps the size the game plays on.
#include "game/Moves.h"
#include "game/Unit1.h"
#include "hexmap/Hexmap.h"
#include "shell/Application.h"
#include "shell/DataFiles.h"
#include "shell/HelpViewer.h"
#include "shell/Settings.h"
#include "shell/Unit2.h"
#include "shell/Unit3.h"
#include "shell/Unit5.h"
#include "tests/TestSupport.h"
#include "tests/game/TestProgram.h"

#include <QApplication>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {

// Writes down, in order, what the main window's handlers put on screen: the
// settings dialog, the help, the quit question and the set-up bar of a new
// board. It answers the question with No and hands each showing of the
// dialog to `OnSettings` (Cancel when that is empty or done with).
class HandlerLog : public QObject {
public:
    explicit HandlerLog(TestProgram& program)
        : program_(program)
    {
        qApp->installEventFilter(this);
    }
    ~HandlerLog() override { qApp->removeEventFilter(this); }

    QStringList Seen;
    std::function<void(TSetupDial&)> OnSettings;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Show || !watched->isWidgetType())
            return false;
        if (watched == &program_.SetupDial) {
            Seen << QStringLiteral("settings");
            QTimer::singleShot(0, &program_.SetupDial, [this] {
                auto act = std::exchange(OnSettings, nullptr);
                if (act)
                    act(program_.SetupDial);
                if (program_.SetupDial.isVisible())
                    program_.SetupDial.BitBtn2->click();
            });
        } else if (auto* box = qobject_cast<QMessageBox*>(watched)) {
            Seen << QStringLiteral("question");
            QTimer::singleShot(0, box, [box] {
                for (QAbstractButton* button : box->buttons())
                    if (button->text() == QStringLiteral("&No"))
                        button->click();
            });
        } else if (qobject_cast<THelpViewer*>(watched)) {
            Seen << QStringLiteral("help");
        } else if (watched == program_.Form1.ProgressBar1) {
            Seen << QStringLiteral("restart");
        }
        return false;
    }

private:
    TestProgram& program_;
};

void StoreSettings(int width, int height)
{
    WriteSettings({{QStringLiteral("Sirka"), QString::number(width)},
                   {QStringLiteral("Vyska"), QString::number(height)},
                   {QStringLiteral("Sound"), QStringLiteral("0")},
                   {QStringLiteral("Music"), QStringLiteral("0")}});
}

QPushButton* ButtonNamed(TForm1& form, const QString& name)
{
    if (name == QStringLiteral("Restart"))
        return form.Button1;
    if (name == QStringLiteral("Nápověda"))
        return form.BitBtn4;
    if (name == QStringLiteral("Nastavení"))
        return form.BitBtn2;
    return form.BitBtn1;
}

void Click(TForm1& form, const QStringList& buttons)
{
    for (const QString& name : buttons)
        QTest::mouseClick(ButtonNamed(form, name), Qt::LeftButton);
}

// The board on screen is the board the game plays on.
void VerifyBoardMatchesGame(TestProgram& program)
{
    TGameState& game = program.Game();
    QCOMPARE(program.Form1.HexMap1->HexColumns(), int(game.BoardWidth));
    QCOMPARE(program.Form1.HexMap1->HexRows(), int(game.BoardHeight));
    QCOMPARE(int(game.TotalCells), game.BoardWidth * game.BoardHeight);
    QCOMPARE(game.GameBoard(1, 1), clRed);
    QCOMPARE(game.GameBoard(game.BoardWidth, game.BoardHeight), clBlue);
    const TPieceCount count = CountPieces(game.GameBoard, game.Size());
    QCOMPARE(count.Red + count.Blue, 2);
    QCOMPARE(program.PictureAt({game.BoardWidth, game.BoardHeight}), clBlue);
}

} // namespace

class ButtonOrderTest : public QObject {
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
        // A handler run inside the dialog's own loop would show as this.
        QTest::failOnWarning(QRegularExpression(QStringLiteral("Recursive call")));
    }

    void cleanup() { QVERIFY2(errors_.isEmpty(), qPrintable(errors_.join(QLatin1Char('\n')))); }

    // OK with a new width, and more clicks on the main window in the instant
    // the dialog is hidden but its loop has not yet returned.
    void clicksWhileTheDialogCloses_data()
    {
        QTest::addColumn<QStringList>("clicks");
        QTest::addColumn<QStringList>("seen");
        QTest::newRow("Nastavení") << QStringList{"Nastavení"} << QStringList{"settings", "restart", "settings"};
        QTest::newRow("Nastavení, Restart, Nastavení")
            << QStringList{"Nastavení", "Restart", "Nastavení"}
            << QStringList{"settings", "restart", "settings", "restart"};
        QTest::newRow("Restart, Konec") << QStringList{"Restart", "Konec"}
                                        << QStringList{"settings", "restart", "restart", "question"};
    }

    void clicksWhileTheDialogCloses()
    {
        QFETCH(QStringList, clicks);
        QFETCH(QStringList, seen);
        TestProgram program;
        HandlerLog log(program);
        log.OnSettings = [&](TSetupDial& dial) {
            dial.ScrollBar1->setValue(6);
            auto once = std::make_shared<QMetaObject::Connection>();
            *once = connect(&dial, &QDialog::finished, this, [&, once] {
                disconnect(*once);
                QVERIFY(dial.isHidden());
                Click(program.Form1, clicks);
            });
            dial.BitBtn1->click();
        };
        Click(program.Form1, {QStringLiteral("Nastavení")});
        program.WaitIdle();

        QCOMPARE(log.Seen, seen);
        QCOMPARE(program.Game().BoardWidth, 6);
        QCOMPARE(program.Game().BoardHeight, 10);
        VerifyBoardMatchesGame(program);
        QVERIFY(program.SetupDial.isHidden());
    }

    // Presses during the set-up of a board all run once it is laid out: in
    // the order they came, a button pressed twice once.
    void clicksWhileABoardIsLaidOut()
    {
        StoreSettings(7, 5);
        TestProgram program;
        TForm1& form = program.Form1;
        HandlerLog log(program);
        bool clicked = false;
        connect(form.ProgressBar1, &QProgressBar::valueChanged, this, [&](int value) {
            if (clicked || value < 30)
                return;
            clicked = true;
            QVERIFY(form.SequenceRunning());
            Click(form, {"Nastavení", "Nápověda", "Konec", "Nastavení", "Restart"});
            // Nothing of it runs inside the set-up.
            QCOMPARE(log.Seen, QStringList{"restart"});
        });
        Click(form, {QStringLiteral("Restart")});
        program.WaitIdle();

        QVERIFY(clicked);
        QCOMPARE(log.Seen, (QStringList{"restart", "settings", "help", "question", "restart"}));
        VerifyBoardMatchesGame(program);
        QVERIFY(form.isVisible());
    }

private:
    QTemporaryDir config_;
    QStringList errors_;
};

QTEST_MAIN(ButtonOrderTest)
#include "ButtonOrderTest.moc"
