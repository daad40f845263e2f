// The music logic against a fake player whose clock the test moves: the
// player states, the timer's two steps, track changes, the settings dialog's
// play and stop, and how failures are reported.
#include "game/GameState.h"
#include "shell/Application.h"
#include "shell/DataFiles.h"
#include "shell/Exception.h"
#include "shell/Music.h"
#include "tests/shell/FakeMusicPlayer.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <deque>

namespace {

// Bar values start at -1 so "never set" is visible.
struct TBarRecord {
    int Maximum = -1;
    int Position = -1;
    int PositionUpdates = 0;
};

QString TrackName(const QString& path)
{
    return QFileInfo(path).fileName();
}

} // namespace

class MusicTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dataDir;
    TGameState state;
    TFakePlayer* player = nullptr;
    TBarRecord bar;
    std::deque<int> picks;
    QList<int> randomRanges;
    QStringList errors;
    std::unique_ptr<TFakePlayer> playerOwner;
    std::unique_ptr<TMusic> music;

    // Every tick of the timer, the player's clock having moved by 100 ms.
    void Tick(int ticks = 1)
    {
        for (int i = 0; i < ticks; ++i) {
            player->Advance(100);
            music->Timer1Timer();
        }
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dataDir.isValid());
        SetDataDirectories({dataDir.path()});
        SetErrorReporter([this](const QString& message) { errors << message; });
    }

    void cleanupTestCase()
    {
        SetErrorReporter({});
        SetDataDirectories({});
    }

    void init()
    {
        state = TGameState{};
        state.MusicEnabled = 1;
        bar = {};
        picks.clear();
        randomRanges.clear();
        errors.clear();
        playerOwner = std::make_unique<TFakePlayer>();
        player = playerOwner.get();
        player->Lengths = {{"evita.mid", 30000}, {"axel'f.mid", 65000}, {"behappy.mid", 45000}, {"relax.mid", 60000}};
        music = std::make_unique<TMusic>(
            *player, state,
            [this](int n) {
                randomRanges << n;
                const int pick = picks.empty() ? 0 : picks.front();
                if (!picks.empty())
                    picks.pop_front();
                return pick;
            },
            TMusicBar{[this](int maximum) { bar.Maximum = maximum; },
                      [this](int position) {
                          bar.Position = position;
                          ++bar.PositionUpdates;
                      }});
    }

    void startRandomTrackOpensTheChosenFile_data()
    {
        QTest::addColumn<int>("pick");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("length");
        QTest::newRow("0") << 0 << "evita.mid" << 30000;
        QTest::newRow("1") << 1 << "axel'f.mid" << 65000;
        QTest::newRow("2") << 2 << "behappy.mid" << 45000;
        QTest::newRow("3") << 3 << "relax.mid" << 60000;
        QTest::newRow("below the range") << -1 << "evita.mid" << 30000;
        QTest::newRow("above the range") << 4 << "relax.mid" << 60000;
    }
    void startRandomTrackOpensTheChosenFile()
    {
        QFETCH(int, pick);
        QFETCH(QString, expected);
        QFETCH(int, length);
        picks = {pick};
        music->StartRandomTrack();
        QCOMPARE(randomRanges, QList<int>{4});
        QCOMPARE(player->Opened, QStringList{DataFilePath(expected)});
        QCOMPARE(bar.Maximum, length);
        QCOMPARE(bar.Position, 0);
        // Opening never plays, even with music on.
        QCOMPARE(player->State(), IMusicPlayer::msAtRest);
        QVERIFY(errors.isEmpty());
    }

    void gameStartPlaysOnlyWithMusicOn_data()
    {
        QTest::addColumn<int>("musicEnabled");
        QTest::addColumn<int>("expectedState");
        QTest::newRow("on") << 1 << int(IMusicPlayer::msPlaying);
        QTest::newRow("off") << 0 << int(IMusicPlayer::msAtRest);
    }
    void gameStartPlaysOnlyWithMusicOn()
    {
        QFETCH(int, musicEnabled);
        QFETCH(int, expectedState);
        state.MusicEnabled = std::uint8_t(musicEnabled);
        picks = {2};
        QVERIFY(music->StartGameMusic());
        QCOMPARE(int(player->State()), expectedState);
        QCOMPARE(bar.Maximum, 45000);
        QCOMPARE(bar.Position, 0);
        QVERIFY(errors.isEmpty());
    }

    void timerMovesTheBarOnlyWithMusicOn()
    {
        QVERIFY(music->StartGameMusic());
        Tick(15);
        QCOMPARE(bar.Position, 1500);
        Tick(10);
        QCOMPARE(bar.Position, 2500);

        // Step 1 asks for the setting, not for the player's state.
        state.MusicEnabled = 0;
        const int updates = bar.PositionUpdates;
        Tick(5);
        QCOMPARE(bar.PositionUpdates, updates);
        QCOMPARE(bar.Position, 2500);
        QCOMPARE(player->Position(), 3000);
    }

    void trackEndingWithMusicOnStartsANewOne()
    {
        picks = {0, 2};
        QVERIFY(music->StartGameMusic());
        QCOMPARE(bar.Maximum, 30000);
        Tick(299);
        QCOMPARE(player->Opened.size(), 1);
        QCOMPARE(bar.Position, 29900);

        // The tick that sees the end starts the next track at once.
        Tick();
        QCOMPARE(player->Opened.size(), 2);
        QCOMPARE(TrackName(player->Opened.last()), QStringLiteral("behappy.mid"));
        QCOMPARE(player->State(), IMusicPlayer::msPlaying);
        QCOMPARE(player->Position(), 0);
        QCOMPARE(bar.Maximum, 45000);
        QCOMPARE(bar.Position, 0);
        Tick(3);
        QCOMPARE(bar.Position, 300);
        QVERIFY(errors.isEmpty());
    }

    void sameTrackMayFollowItself()
    {
        picks = {3, 3};
        QVERIFY(music->StartGameMusic());
        player->Advance(60000);
        music->Timer1Timer();
        QCOMPARE(player->Opened, QStringList({DataFilePath("relax.mid"), DataFilePath("relax.mid")}));
        QCOMPARE(player->State(), IMusicPlayer::msPlaying);
        QCOMPARE(player->Position(), 0);
    }

    void musicOffAtStartLeavesTheBarAtZero()
    {
        state.MusicEnabled = 0;
        picks = {1};
        QVERIFY(music->StartGameMusic());
        QCOMPARE(bar.Maximum, 65000);
        Tick(50);
        QCOMPARE(bar.Position, 0);
        QCOMPARE(bar.PositionUpdates, 1); // the reset of StartRandomTrack only
        QCOMPARE(player->State(), IMusicPlayer::msAtRest);

        // Turned on in the settings: the open track starts from its beginning.
        state.MusicEnabled = 1;
        QVERIFY(music->ApplyMusicEnabled());
        QCOMPARE(player->State(), IMusicPlayer::msPlaying);
        Tick(7);
        QCOMPARE(bar.Position, 700);
        QCOMPARE(player->Opened.size(), 1);
    }

    void offThenOnContinuesTheSameTrack()
    {
        picks = {3};
        QVERIFY(music->StartGameMusic());
        Tick(20);
        state.MusicEnabled = 0;
        QVERIFY(music->ApplyMusicEnabled());
        QCOMPARE(player->State(), IMusicPlayer::msAtRest);

        // A stopped track is below its length: no new track while off.
        Tick(1000);
        QCOMPARE(player->Position(), 2000);
        QCOMPARE(player->Opened.size(), 1);

        state.MusicEnabled = 1;
        QVERIFY(music->ApplyMusicEnabled());
        Tick(5);
        QCOMPARE(player->Position(), 2500);
        QCOMPARE(bar.Position, 2500);
        QCOMPARE(player->Opened.size(), 1);
        QVERIFY(errors.isEmpty());
    }

    void endedTrackWaitsForMusicOn()
    {
        picks = {0, 1};
        QVERIFY(music->StartGameMusic());
        player->Advance(30000); // ends between two ticks
        QCOMPARE(player->State(), IMusicPlayer::msEnded);

        state.MusicEnabled = 0;
        QVERIFY(music->ApplyMusicEnabled());
        QCOMPARE(player->State(), IMusicPlayer::msEnded);
        Tick(20);
        QCOMPARE(player->Opened.size(), 1);

        // Play has no effect on an ended track; the next tick moves on.
        state.MusicEnabled = 1;
        QVERIFY(music->ApplyMusicEnabled());
        QCOMPARE(player->State(), IMusicPlayer::msEnded);
        QCOMPARE(player->Opened.size(), 1);
        music->Timer1Timer();
        QCOMPARE(player->Opened.size(), 2);
        QCOMPARE(TrackName(player->FileName()), QStringLiteral("axel'f.mid"));
        QCOMPARE(player->State(), IMusicPlayer::msPlaying);
        QCOMPARE(bar.Maximum, 65000);
    }

    void newGameReplacesTheTrackMidway()
    {
        picks = {1, 1};
        QVERIFY(music->StartGameMusic());
        Tick(100);
        QCOMPARE(bar.Position, 10000);
        QVERIFY(music->StartGameMusic());
        QCOMPARE(player->Opened.size(), 2);
        QCOMPARE(player->Position(), 0);
        QCOMPARE(bar.Position, 0);
        QCOMPARE(player->State(), IMusicPlayer::msPlaying);
        Tick();
        QCOMPARE(bar.Position, 100);
    }

    void failedOpenIsReportedOnceAndTheTimerKeepsQuiet()
    {
        player->Missing = {"evita.mid"};
        picks = {0};
        QVERIFY(!music->StartGameMusic());
        QCOMPARE(errors, QStringList{"missing: evita.mid"});
        // The rest of that game's music start does not run.
        QCOMPARE(bar.Maximum, -1);
        QCOMPARE(player->PlayCalls, 0);

        Tick(50);
        QCOMPARE(errors.size(), 1);
        QCOMPARE(player->Opened.size(), 1);

        // The settings dialog's step does report that nothing is open.
        QVERIFY(!music->ApplyMusicEnabled());
        QCOMPARE(errors.size(), 2);
        QCOMPARE(errors.last(), NoTrackOpenText);

        // The next game with a good track plays and the timer comes back.
        picks = {2};
        QVERIFY(music->StartGameMusic());
        QCOMPARE(player->State(), IMusicPlayer::msPlaying);
        Tick(4);
        QCOMPARE(bar.Position, 400);
        QCOMPARE(errors.size(), 2);
    }

    void failedOpenAfterAGoodTrackSilencesTheOldOne()
    {
        player->Missing = {"relax.mid"};
        picks = {0, 3};
        QVERIFY(music->StartGameMusic());
        Tick(10);
        QVERIFY(!music->StartGameMusic());
        QCOMPARE(errors.size(), 1);
        QCOMPARE(player->State(), IMusicPlayer::msNoTrack);
        Tick(20);
        QCOMPARE(errors.size(), 1);
        QCOMPARE(bar.Position, 1000); // left where the old track was
    }

    void missingTrackIsReportedAtEveryOpen()
    {
        for (const QString& track : MusicTracks)
            player->Missing.insert(track);
        picks = {0, 1, 2};
        for (int game = 1; game <= 3; ++game) {
            QVERIFY(!music->StartGameMusic());
            Tick(10);
            QCOMPARE(errors.size(), game);
        }
    }

    void missingNextTrackIsReportedOnce()
    {
        player->Missing = {"behappy.mid"};
        picks = {0, 2};
        QVERIFY(music->StartGameMusic());
        Tick(300);
        QCOMPARE(errors, QStringList{"missing: behappy.mid"});
        Tick(100);
        QCOMPARE(errors.size(), 1);
        QCOMPARE(player->Opened.size(), 2);
    }

    void playFailureIsReportedAndTheTrackStaysOpen()
    {
        player->FailNextPlay = true;
        QVERIFY(music->StartGameMusic());
        QCOMPARE(errors, QStringList{"no output"});
        QCOMPARE(player->State(), IMusicPlayer::msAtRest);
        QCOMPARE(bar.Maximum, 30000);
        Tick(10);
        QCOMPARE(errors.size(), 1);
    }

    void musicOffNeverPlays()
    {
        state.MusicEnabled = 0;
        picks = {0, 1};
        QVERIFY(music->StartGameMusic());
        QVERIFY(music->ApplyMusicEnabled());
        QVERIFY(music->StartGameMusic());
        Tick(100);
        QCOMPARE(player->PlayCalls, 0);
    }
};

QTEST_GUILESS_MAIN(MusicTest)
#include "MusicTest.moc"
