// The main window's music, headless, with a player that plays nothing: the
// track each new game opens and plays, the settings dialog stopping and
// resuming it, the 100 ms timer moving the bar and changing tracks, and a
// track that cannot be opened.
#include "game/Unit1.h"
#include "shell/Application.h"
#include "shell/DataFiles.h"
#include "shell/Settings.h"
#include "shell/Unit3.h"
#include "tests/game/TestProgram.h"
#include "tests/shell/FakeMusicPlayer.h"

#include <QCheckBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

namespace {

struct Program : TestProgram {
    explicit Program(std::unique_ptr<TFakePlayer> player)
        : TestProgram(std::move(player))
        , Player(static_cast<TFakePlayer&>(*Form1.MediaPlayer2))
    {
    }

    // Presses "Nastavení"; `act` runs inside the dialog and closes it.
    void Settings(const std::function<void(TSetupDial&)>& act)
    {
        QTimer::singleShot(0, &SetupDial, [&] {
            act(SetupDial);
            if (SetupDial.isVisible())
                SetupDial.done(QDialog::Rejected);
        });
        QTest::mouseClick(Form1.BitBtn2, Qt::LeftButton);
    }

    TFakePlayer& Player;
};

std::unique_ptr<Program> Start(bool music, const QSet<QString>& missing = {})
{
    WriteSettings({{QStringLiteral("Music"), music ? QStringLiteral("1") : QStringLiteral("0")},
                   {QStringLiteral("Sound"), QStringLiteral("0")}});
    auto player = std::make_unique<TFakePlayer>();
    player->Missing = missing;
    return std::make_unique<Program>(std::move(player));
}

bool IsGameTrack(const QString& path)
{
    for (const QString& track : MusicTracks)
        if (path == DataFilePath(track))
            return true;
    return false;
}

} // namespace

class MusicWiringTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(UsePrivateSetUp(config_, errors_));
    }

    void init() { errors_.clear(); }

    void everyNewGameOpensATrack_data()
    {
        QTest::addColumn<bool>("music");
        QTest::newRow("music on: played") << true;
        QTest::newRow("music off: opened, silent") << false;
    }

    void everyNewGameOpensATrack()
    {
        QFETCH(bool, music);
        auto program = Start(music);
        TFakePlayer& player = program->Player;
        QCOMPARE(player.Opened.size(), 1);
        QVERIFY2(IsGameTrack(player.Opened.front()), qPrintable(player.Opened.front()));
        QCOMPARE(player.State(), music ? IMusicPlayer::msPlaying : IMusicPlayer::msAtRest);
        QCOMPARE(program->Form1.ProgressBar2->maximum(), player.Length());
        QCOMPARE(program->Form1.ProgressBar2->value(), 0);

        player.Advance(1000);
        QTest::mouseClick(program->Form1.Button1, Qt::LeftButton);
        program->WaitIdle();
        QCOMPARE(player.Opened.size(), 2);
        QCOMPARE(player.Position(), 0);
        QCOMPARE(player.State(), music ? IMusicPlayer::msPlaying : IMusicPlayer::msAtRest);
        QVERIFY(errors_.isEmpty());
    }

    // Off in the dialog stops the track where it is; on again plays the same
    // track on from there. Cancel applies the setting as it stands.
    void settingsDialogStopsAndResumes()
    {
        auto program = Start(true);
        TFakePlayer& player = program->Player;
        player.Advance(1234);
        const QString track = player.FileName();

        program->Settings([](TSetupDial& dial) {
            dial.CheckBox2->setChecked(false);
            dial.BitBtn1->click();
        });
        QCOMPARE(player.State(), IMusicPlayer::msAtRest);
        QCOMPARE(player.Position(), 1234);

        program->Settings([](TSetupDial& dial) { dial.BitBtn2->click(); });
        QCOMPARE(player.State(), IMusicPlayer::msAtRest);

        program->Settings([](TSetupDial& dial) {
            dial.CheckBox2->setChecked(true);
            dial.BitBtn1->click();
        });
        QCOMPARE(player.State(), IMusicPlayer::msPlaying);
        QCOMPARE(player.Position(), 1234);
        QCOMPARE(player.FileName(), track);
        QCOMPARE(player.Opened.size(), 1);
        QVERIFY(errors_.isEmpty());
    }

    // The timer moves the bar with the track and follows an ended track
    // with a new one, played at once.
    void timerFollowsTheTrack()
    {
        auto program = Start(true);
        TFakePlayer& player = program->Player;
        QVERIFY(program->Form1.Timer1.isActive());
        player.Advance(700);
        QTRY_COMPARE(program->Form1.ProgressBar2->value(), std::min(700, player.Length()));

        const int opened = int(player.Opened.size());
        player.Advance(player.Length());
        QTRY_COMPARE(int(player.Opened.size()), opened + 1);
        QCOMPARE(player.State(), IMusicPlayer::msPlaying);
        QCOMPARE(program->Form1.ProgressBar2->maximum(), player.Length());
        QVERIFY(errors_.isEmpty());
    }

    // A track that cannot be opened is reported once; the game and its timer
    // go on without further messages.
    void missingTrackIsReportedOnce()
    {
        QSet<QString> all;
        for (const QString& track : MusicTracks)
            all << track;
        auto program = Start(true, all);
        QCOMPARE(errors_.size(), 1);
        QVERIFY(errors_.front().startsWith(QStringLiteral("missing: ")));
        QTest::qWait(350);
        QCOMPARE(errors_.size(), 1);
        QVERIFY(program->Form1.isVisible());
        QCOMPARE(program->Game().GameBoard(1, 1), clRed);
    }

private:
    QTemporaryDir config_;
    QStringList errors_;
};

QTEST_MAIN(MusicWiringTest)
#include "MusicWiringTest.moc"
