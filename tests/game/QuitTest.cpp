// The way out of the program, headless: the question, the about box, the
// saving of the settings and the closing of the main window, by the Konec
// button and by a close request from the desktop, a quit press that arrives
// while a board is being laid out, and a confirmed quit ending whatever
// event loop runs. Paths that end in a quit run inside the application's
// event loop, as in the program, since a quit ends it.
#include "controls/TransBtn.h"
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
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

QString StorePath()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Brantek"), QStringLiteral("Zelvon"))
        .fileName();
}

QByteArray StoreBytes()
{
    QFile file(StorePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// How the question is answered.
enum class TAnswer { Yes, No, Escape, CloseBox };

// Plays the player at the modal windows of the quit path: answers the
// question, looks at the settings file while the about box is up and closes
// the box with its tick button. Everything it sees is written down in order.
class QuitDriver : public QObject {
public:
    QuitDriver(TForm1& form, TAnswer answer)
        : form_(form)
        , answer_(answer)
    {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] { Step(); });
        timer_.start();
    }

    QStringList Seen;
    // A modal window of the test's own, left open.
    QWidget* Ignore = nullptr;
    QString Title;
    QString Text;
    QStringList Buttons;
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
    bool SequenceRunningAtQuestion = true;
    bool BoardReadyAtQuestion = false;
    QByteArray StoreWhileAboutOpen;
    bool MainVisibleWhileAboutOpen = false;

private:
    void Step()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == handled_ || modal == Ignore)
            return;
        handled_ = modal;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            Seen << QStringLiteral("question");
            Title = box->windowTitle();
            Text = box->text();
            Icon = box->icon();
            for (QAbstractButton* button : box->buttons())
                Buttons << button->text();
            SequenceRunningAtQuestion = form_.SequenceRunning();
            BoardReadyAtQuestion = form_.HexMap1->isVisible() && !form_.ProgressBar1->isVisible();
            Answer(*box);
        } else if (auto* about = qobject_cast<TAboutBox*>(modal)) {
            Seen << QStringLiteral("about");
            StoreWhileAboutOpen = StoreBytes();
            MainVisibleWhileAboutOpen = form_.isVisible();
            QTest::mouseClick(about->TransparentButton1, Qt::LeftButton, {}, QPoint(20, 14));
        } else {
            Seen << QStringLiteral("other");
            modal->close();
        }
    }

    void Answer(QMessageBox& box)
    {
        switch (answer_) {
        case TAnswer::Yes:
        case TAnswer::No: {
            const QString caption = answer_ == TAnswer::Yes ? QStringLiteral("&Yes") : QStringLiteral("&No");
            for (QAbstractButton* button : box.buttons())
                if (button->text() == caption)
                    button->click();
            break;
        }
        case TAnswer::Escape:
            QTest::keyClick(&box, Qt::Key_Escape);
            break;
        case TAnswer::CloseBox:
            box.close();
            break;
        }
        // Never leave the run hanging on a box the answer did not close.
        if (box.isVisible())
            box.done(QMessageBox::Abort);
    }

    TForm1& form_;
    TAnswer answer_;
    QTimer timer_;
    QWidget* handled_ = nullptr;
};

struct Program : TestProgram {
    // Settings that differ from what the store holds, so that a save shows.
    void ChangeSettings()
    {
        Game().SoundEnabled = 1;
        Game().MmxEnabled = 0;
        Game().BoardWidth = 6;
        Game().BoardHeight = 8;
        Game().Intelligence = 2;
        Form1.HexMap1->SetHex3d(false);
    }
};

void StoreInitialSettings()
{
    QFile::remove(StorePath());
    WriteSetting(QStringLiteral("Sirka"), QStringLiteral("10"));
    WriteSetting(QStringLiteral("Vyska"), QStringLiteral("10"));
    WriteSetting(QStringLiteral("Sound"), QStringLiteral("0"));
    WriteSetting(QStringLiteral("Music"), QStringLiteral("0"));
}

// Runs `start` from inside the application's event loop, the way the program
// runs, and returns the loop's exit code: 0 from the quit path, -1 when the
// loop was still running after 20 seconds.
int RunEventLoop(const std::function<void()>& start)
{
    QTimer::singleShot(0, qApp, start);
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(-1); });
    watchdog.start(20000);
    return QCoreApplication::exec();
}

// The values the store holds after Program::ChangeSettings and a save.
void VerifyChangedSettingsSaved()
{
    QSettings stored(StorePath(), QSettings::IniFormat);
    QCOMPARE(stored.value(QStringLiteral("Sound")).toString(), QStringLiteral("1"));
    QCOMPARE(stored.value(QStringLiteral("Music")).toString(), QStringLiteral("0"));
    QCOMPARE(stored.value(QStringLiteral("Ver")).toString(), QStringLiteral("1.6b"));
    QCOMPARE(stored.value(QStringLiteral("MMX")).toString(), QStringLiteral("0"));
    QCOMPARE(stored.value(QStringLiteral("Sirka")).toString(), QStringLiteral("6"));
    QCOMPARE(stored.value(QStringLiteral("Vyska")).toString(), QStringLiteral("8"));
    QCOMPARE(stored.value(QStringLiteral("3Dhex")).toString(), QStringLiteral("0"));
    QCOMPARE(stored.value(QStringLiteral("ModryHrac")).toString(), QStringLiteral("0"));
    QCOMPARE(stored.value(QStringLiteral("CervenyHrac")).toString(), QStringLiteral("0"));
    QCOMPARE(stored.value(QStringLiteral("Inteligence")).toString(), QStringLiteral("2"));
    // The network game's role, address and port, at their defaults.
    QCOMPARE(stored.value(QStringLiteral("SitServer")).toString(), QStringLiteral("0"));
    QCOMPARE(stored.value(QStringLiteral("SitAdresa")).toString(), QString());
    QCOMPARE(stored.value(QStringLiteral("SitPort")).toString(), QStringLiteral("41095"));
    QCOMPARE(stored.allKeys().size(), 17);
}

} // namespace

class QuitTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(UsePrivateSetUp(config_, errors_));
        QVERIFY(StorePath().startsWith(config_.path()));
    }

    void init()
    {
        errors_.clear();
        StoreInitialSettings();
    }

    void anyAnswerButYesLeavesEverythingAsItWas_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("No") << int(TAnswer::No);
        QTest::newRow("Escape") << int(TAnswer::Escape);
        QTest::newRow("close box of the question") << int(TAnswer::CloseBox);
    }

    void anyAnswerButYesLeavesEverythingAsItWas()
    {
        QFETCH(int, answer);
        Program program;
        program.ChangeSettings();
        TGameState& game = program.Game();
        const TGameBoard board = game.GameBoard;
        const std::uint8_t player = game.CurrentPlayer;
        const QByteArray before = StoreBytes();
        QVERIFY(!before.isEmpty());

        QuitDriver driver(program.Form1, TAnswer(answer));
        QTest::mouseClick(program.Form1.BitBtn1, Qt::LeftButton);

        QCOMPARE(driver.Seen, QStringList{QStringLiteral("question")});
        QCOMPARE(driver.Title, QStringLiteral("Confirm"));
        QCOMPARE(driver.Text, QString::fromUtf8("Opravdu chcete ukončit program?"));
        QCOMPARE(driver.Icon, QMessageBox::Question);
        QCOMPARE(driver.Buttons, (QStringList{QStringLiteral("&Yes"), QStringLiteral("&No")}));
        QCOMPARE(StoreBytes(), before);
        QVERIFY(program.AboutBox.isHidden());
        QVERIFY(program.Form1.isVisible());
        QVERIFY(game.GameBoard == board);
        QCOMPARE(game.CurrentPlayer, player);
        QVERIFY(program.Form1.Timer1.isActive());
        QVERIFY2(errors_.isEmpty(), qPrintable(errors_.join(QLatin1Char('|'))));
    }

    void yesShowsTheAboutBoxThenSavesThenCloses()
    {
        Program program;
        program.ChangeSettings();
        const QByteArray before = StoreBytes();

        QuitDriver driver(program.Form1, TAnswer::Yes);
        QCOMPARE(RunEventLoop([&] { QTest::mouseClick(program.Form1.BitBtn1, Qt::LeftButton); }), 0);

        QCOMPARE(driver.Seen, (QStringList{QStringLiteral("question"), QStringLiteral("about")}));
        // Nothing is written while the about box is up.
        QCOMPARE(driver.StoreWhileAboutOpen, before);
        QVERIFY(driver.MainVisibleWhileAboutOpen);
        VerifyChangedSettingsSaved();
        QVERIFY(program.AboutBox.isHidden());
        QVERIFY(!program.Form1.isVisible());
        QVERIFY2(errors_.isEmpty(), qPrintable(errors_.join(QLatin1Char('|'))));
    }

    void closeRequestTakesTheSamePath_data()
    {
        QTest::addColumn<bool>("byEvent");
        QTest::addColumn<bool>("yes");
        QTest::newRow("close(), No") << false << false;
        QTest::newRow("close(), Yes") << false << true;
        QTest::newRow("close event, No") << true << false;
        QTest::newRow("close event, Yes") << true << true;
    }

    void closeRequestTakesTheSamePath()
    {
        QFETCH(bool, byEvent);
        QFETCH(bool, yes);
        Program program;
        program.ChangeSettings();
        const QByteArray before = StoreBytes();
        QuitDriver driver(program.Form1, yes ? TAnswer::Yes : TAnswer::No);

        if (byEvent) {
            QCloseEvent request;
            QCoreApplication::sendEvent(&program.Form1, &request);
            QVERIFY(!request.isAccepted());
        } else {
            QVERIFY(!program.Form1.close());
        }
        // The request itself closes nothing: the question comes first.
        QVERIFY(program.Form1.isVisible());
        QVERIFY(driver.Seen.isEmpty());

        if (!yes) {
            QTRY_COMPARE_WITH_TIMEOUT(driver.Seen.value(0), QStringLiteral("question"), 5000);
            QTest::qWait(50);
            QCOMPARE(driver.Seen, QStringList{QStringLiteral("question")});
            QVERIFY(program.Form1.isVisible());
            QCOMPARE(StoreBytes(), before);
            return;
        }
        QCOMPARE(RunEventLoop([] {}), 0);
        QVERIFY(!program.Form1.isVisible());
        QCOMPARE(driver.Seen, (QStringList{QStringLiteral("question"), QStringLiteral("about")}));
        QCOMPARE(driver.StoreWhileAboutOpen, before);
        VerifyChangedSettingsSaved();
        QVERIFY2(errors_.isEmpty(), qPrintable(errors_.join(QLatin1Char('|'))));
    }

    void quitPressDuringTheSetUpWaitsForItsEnd()
    {
        Program program;
        TForm1& form = program.Form1;
        QuitDriver driver(form, TAnswer::No);
        bool runningAtPress = false;
        int questionsRightAfterPress = -1;
        bool pressed = false;
        // The quit press arrives half way through the reveal of a new board.
        connect(form.ProgressBar1, &QProgressBar::valueChanged, this, [&](int value) {
            if (pressed || value < 30)
                return;
            pressed = true;
            runningAtPress = form.SequenceRunning();
            QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
            questionsRightAfterPress = int(driver.Seen.size());
        });
        QTest::mouseClick(form.Button1, Qt::LeftButton);
        program.WaitIdle();

        QVERIFY(pressed);
        QVERIFY(runningAtPress);
        QCOMPARE(questionsRightAfterPress, 0);
        QCOMPARE(driver.Seen, QStringList{QStringLiteral("question")});
        QVERIFY(!driver.SequenceRunningAtQuestion);
        QVERIFY(driver.BoardReadyAtQuestion);
        QVERIFY(form.isVisible());
    }

    void failedSaveIsReportedAndTheWindowStillCloses()
    {
        // A folder where the store file should be: every write fails.
        const QString path = StorePath();
        QFile::remove(path);
        QVERIFY(QDir().mkpath(path));
        Program program;
        errors_.clear();

        QuitDriver driver(program.Form1, TAnswer::Yes);
        QCOMPARE(RunEventLoop([&] { QTest::mouseClick(program.Form1.BitBtn1, Qt::LeftButton); }), 0);
        QVERIFY(QDir(path).removeRecursively());

        QCOMPARE(driver.Seen, (QStringList{QStringLiteral("question"), QStringLiteral("about")}));
        // Saving stops at its first failure, so the players see one message.
        QCOMPARE(errors_.size(), 1);
        QCOMPARE(errors_.front(), QStringLiteral("Failed to set data for 'Sound'"));
        QVERIFY(!program.Form1.isVisible());
    }

    // Konec pressed while a board is laid out waits for the set-up; its
    // confirmation then ends the event loop, the help window closes with the
    // main one, and the settings are saved.
    void quitConfirmedAfterASequenceEndsTheLoop()
    {
        Program program;
        TForm1& form = program.Form1;
        program.ChangeSettings();
        QuitDriver driver(form, TAnswer::Yes);
        bool pressed = false;
        connect(form.ProgressBar1, &QProgressBar::valueChanged, this, [&](int value) {
            if (pressed || value < 30)
                return;
            pressed = true;
            QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
        });
        const int code = RunEventLoop([&] {
            QTest::mouseClick(form.BitBtn4, Qt::LeftButton);
            QTest::mouseClick(form.Button1, Qt::LeftButton);
        });
        QCOMPARE(code, 0);
        QVERIFY(pressed);
        QVERIFY(!driver.SequenceRunningAtQuestion);
        QCOMPARE(driver.Seen, (QStringList{QStringLiteral("question"), QStringLiteral("about")}));
        VerifyChangedSettingsSaved();
        QVERIFY(!form.isVisible());
        for (QWidget* window : QApplication::topLevelWidgets())
            QVERIFY2(!window->isVisible(), qPrintable(window->windowTitle()));
    }

    // A modal window that no button opened (an error box, say) is up when
    // the desktop asks three times to close the main window: one question,
    // and its Yes ends the box's loop and the program's.
    void quitConfirmedFromAModalWindowEndsTheLoop()
    {
        Program program;
        TForm1& form = program.Form1;
        QuitDriver driver(form, TAnswer::Yes);
        QDialog box;
        driver.Ignore = &box;
        bool boxReturned = false;
        const int code = RunEventLoop([&] {
            QTest::mouseClick(form.BitBtn4, Qt::LeftButton);
            QTimer::singleShot(0, &form, [&] {
                for (int request = 0; request < 3; ++request)
                    form.close();
            });
            box.exec();
            boxReturned = true;
        });
        QCOMPARE(code, 0);
        QVERIFY(boxReturned);
        QCOMPARE(driver.Seen, (QStringList{QStringLiteral("question"), QStringLiteral("about")}));
        for (QWidget* window : QApplication::topLevelWidgets())
            QVERIFY2(!window->isVisible() || window == &box, qPrintable(window->windowTitle()));
        QVERIFY2(errors_.isEmpty(), qPrintable(errors_.join(QLatin1Char('|'))));
    }

private:
    QTemporaryDir config_;
    QStringList errors_;
};

QTEST_MAIN(QuitTest)
#include "QuitTest.moc"
