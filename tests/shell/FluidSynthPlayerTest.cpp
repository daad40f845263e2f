// The FluidSynth player on generated tracks, driven without a sound device:
// rendering by hand moves the track on much faster than real time, and the
// rendered time is the clock the positions are checked against.
#include "shell/Exception.h"
#include "shell/FluidSynthPlayer.h"
#include "tools/MidiWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>

namespace {

constexpr int Rate = TFluidSynthPlayer::SampleRate;

int Frames(int ms)
{
    return static_cast<int>(std::int64_t(ms) * Rate / 1000);
}

float Peak(const std::vector<float>& samples)
{
    float peak = 0.0f;
    for (float sample : samples)
        peak = std::max(peak, std::abs(sample));
    return peak;
}

// Two bars at 120 beats a minute (4 s), then one bar at 60 (4 s): 8 s in all.
TMidiFile TempoChangeTrack()
{
    TMidiFile file(480);
    TMidiTrack& conductor = file.AddTrack();
    conductor.Tempo(0, 120);
    conductor.Tempo(8 * 480, 60);
    TMidiTrack& piano = file.AddTrack();
    piano.ProgramChange(0, 0, 0);
    for (int beat = 0; beat < 12; ++beat)
        for (int key : {60, 64, 67})
            piano.Note(std::uint32_t(beat * 480), 400, 0, key + (beat % 4), 100);
    piano.EndAt(12 * 480);
    return file;
}

// One bar at 120 beats a minute: 2 s.
TMidiFile ShortTrack()
{
    TMidiFile file(96);
    TMidiTrack& track = file.AddTrack();
    track.ProgramChange(0, 0, 19);
    track.Note(0, 4 * 96, 0, 57, 90);
    return file;
}

} // namespace

class FluidSynthPlayerTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir;
    QString tempoTrack;
    QString shortTrack;
    std::unique_ptr<TFluidSynthPlayer> player;

    QString Write(const QString& name, const QByteArray& bytes)
    {
        const QString path = dir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    static QByteArray Bytes(const TMidiFile& file)
    {
        const std::vector<std::uint8_t> bytes = file.Bytes();
        return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    }

    // Renders until the track has ended; the rendered time, or -1 when it
    // did not end within `limitMs`.
    int RenderToEnd(int limitMs)
    {
        for (int ms = 0; ms <= limitMs; ms += 10) {
            if (player->State() == IMusicPlayer::msEnded)
                return ms;
            player->Render(Frames(10));
        }
        return -1;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QVERIFY2(!TFluidSynthPlayer::DefaultSoundFont().isEmpty(), "no General MIDI sound font installed");
        tempoTrack = Write("tempo.mid", Bytes(TempoChangeTrack()));
        shortTrack = Write("short.mid", Bytes(ShortTrack()));
        player = std::make_unique<TFluidSynthPlayer>(TFluidSynthPlayer::foManualRender);
    }

    void cleanupTestCase() { player.reset(); }

    void everyOperationNeedsAnOpenTrack()
    {
        TFluidSynthPlayer fresh(TFluidSynthPlayer::foManualRender);
        QCOMPARE(fresh.State(), IMusicPlayer::msNoTrack);
        QVERIFY(fresh.FileName().isEmpty());
        const std::function<void()> operations[] = {
            [&] { fresh.Play(); },
            [&] { fresh.Stop(); },
            [&] { fresh.Length(); },
            [&] { fresh.Position(); },
        };
        for (const auto& operation : operations) {
            try {
                operation();
                QFAIL("an operation without a track succeeded");
            } catch (const Exception& error) {
                QCOMPARE(error.Message, NoTrackOpenText);
            }
        }
    }

    void lengthIsKnownRightAfterOpen()
    {
        player->Open(tempoTrack);
        QCOMPARE(player->Length(), 8000);
        QCOMPARE(player->Position(), 0);
        QCOMPARE(player->State(), IMusicPlayer::msAtRest);
        QCOMPARE(player->FileName(), QFileInfo(tempoTrack).absoluteFilePath());

        // At rest nothing moves, however much is rendered.
        player->Render(Frames(500));
        QCOMPARE(player->Position(), 0);
    }

    void positionFollowsTheRenderedTime()
    {
        player->Open(tempoTrack);
        player->Play();
        QCOMPARE(player->State(), IMusicPlayer::msPlaying);
        std::vector<float> samples;
        player->Render(Frames(1000), &samples);
        QVERIFY2(std::abs(player->Position() - 1000) <= 25, qPrintable(QString::number(player->Position())));
        QVERIFY(Peak(samples) > 0.01f);

        // Across the tempo change the milliseconds still match the clock.
        player->Render(Frames(5000));
        QVERIFY2(std::abs(player->Position() - 6000) <= 25, qPrintable(QString::number(player->Position())));
    }

    void stopKeepsThePositionAndPlayResumes()
    {
        player->Open(tempoTrack);
        player->Play();
        player->Render(Frames(2000));
        player->Stop();
        QCOMPARE(player->State(), IMusicPlayer::msAtRest);
        const int stoppedAt = player->Position();
        QVERIFY(std::abs(stoppedAt - 2000) <= 25);

        std::vector<float> samples;
        player->Render(Frames(2000), &samples);
        QCOMPARE(player->Position(), stoppedAt);
        // Stopping releases the notes: the last second is silent.
        QVERIFY(Peak(std::vector<float>(samples.end() - 2 * Frames(1000), samples.end())) < 0.001f);

        player->Play();
        player->Render(Frames(500));
        QVERIFY2(std::abs(player->Position() - (stoppedAt + 500)) <= 25,
                 qPrintable(QString::number(player->Position())));
    }

    void positionEqualsLengthAtTheEnd()
    {
        player->Open(tempoTrack);
        player->Play();
        const int rendered = RenderToEnd(12000);
        QVERIFY2(std::abs(rendered - 8000) <= 30, qPrintable(QString::number(rendered)));
        QCOMPARE(player->Position(), player->Length());

        // FluidSynth's own tick runs on; ours stays at the end.
        player->Render(Frames(2000));
        QCOMPARE(player->State(), IMusicPlayer::msEnded);
        QCOMPARE(player->Position(), 8000);
    }

    void positionStaysBelowTheLengthUntilTheEnd()
    {
        player->Open(shortTrack);
        QCOMPARE(player->Length(), 2000);
        player->Play();
        int last = 0;
        while (player->State() == IMusicPlayer::msPlaying) {
            const int position = player->Position();
            QVERIFY(position >= last);
            if (player->State() == IMusicPlayer::msPlaying)
                QVERIFY(position < player->Length());
            last = position;
            player->Render(64);
        }
        QCOMPARE(player->Position(), 2000);
    }

    void playOnAnEndedTrackDoesNothing()
    {
        player->Open(shortTrack);
        player->Play();
        QVERIFY(RenderToEnd(5000) >= 0);
        player->Render(Frames(4000)); // let the last notes die away
        player->Play();
        QCOMPARE(player->State(), IMusicPlayer::msEnded);
        std::vector<float> samples;
        player->Render(Frames(1000), &samples);
        QCOMPARE(player->Position(), player->Length());
        QVERIFY2(Peak(samples) < 0.001f, "the ended track started again");

        // Stop leaves it ended too.
        player->Stop();
        QCOMPARE(player->State(), IMusicPlayer::msEnded);
    }

    void openReplacesAPlayingTrack()
    {
        player->Open(tempoTrack);
        player->Play();
        player->Render(Frames(3000));
        player->Open(shortTrack);
        QCOMPARE(player->State(), IMusicPlayer::msAtRest);
        QCOMPARE(player->Position(), 0);
        QCOMPARE(player->Length(), 2000);
        player->Render(Frames(1000));
        QCOMPARE(player->Position(), 0);
        player->Play();
        player->Render(Frames(1000));
        QVERIFY(std::abs(player->Position() - 1000) <= 25);
    }

    void badFilesAreReportedAndCloseTheTrack_data()
    {
        QTest::addColumn<QString>("path");
        const QByteArray good = Bytes(ShortTrack());
        QTest::newRow("missing") << dir.filePath("absent.mid");
        QTest::newRow("empty") << Write("empty.mid", {});
        QTest::newRow("text") << Write("text.mid", "this is not music\n");
        QTest::newRow("truncated") << Write("truncated.mid", good.left(good.size() - 5));
        QTest::newRow("folder") << dir.path();
    }
    void badFilesAreReportedAndCloseTheTrack()
    {
        QFETCH(QString, path);
        player->Open(tempoTrack);
        player->Play();
        try {
            player->Open(path);
            QFAIL("a bad file opened");
        } catch (const Exception& error) {
            QVERIFY2(error.Message.contains(QDir::toNativeSeparators(path)), qPrintable(error.Message));
        }
        QCOMPARE(player->State(), IMusicPlayer::msNoTrack);
        QVERIFY(player->FileName().isEmpty());
        QVERIFY_THROWS_EXCEPTION(Exception, player->Position());

        // The player is as good as new for the next track.
        player->Open(shortTrack);
        QCOMPARE(player->Length(), 2000);
    }

    void missingSoundOutputIsReportedOnce()
    {
        TFluidSynthPlayer silent(TFluidSynthPlayer::foSoundDevice, {}, {QStringLiteral("no-such-driver")});
        silent.Open(shortTrack);
        try {
            silent.Play();
            QFAIL("playing without any sound output succeeded");
        } catch (const Exception& error) {
            QCOMPARE(error.Message, NoSoundOutputText);
        }
        // Afterwards quietly nothing, and the track stays usable.
        silent.Play();
        silent.Play();
        QCOMPARE(silent.State(), IMusicPlayer::msAtRest);
        QCOMPARE(silent.Position(), 0);
        silent.Stop();
        silent.Open(tempoTrack);
        QCOMPARE(silent.Length(), 8000);
        silent.Play();
    }

    void soundDeviceEitherPlaysOrSaysSoOnce()
    {
        // The machine decides: without a sound device the usual drivers all
        // fail and the first play says so; with one the track moves in real
        // time once the sound font has loaded.
        TFluidSynthPlayer real;
        real.Open(shortTrack);
        try {
            real.Play();
        } catch (const Exception& error) {
            QCOMPARE(error.Message, NoSoundOutputText);
            real.Play();
            QCOMPARE(real.State(), IMusicPlayer::msAtRest);
            return;
        }
        QTRY_VERIFY_WITH_TIMEOUT(real.Position() > 0, 20000);
        real.Stop();
        QCOMPARE(real.State(), IMusicPlayer::msAtRest);
    }

    void missingSoundFontIsReportedOnce()
    {
        const QString absent = dir.filePath("absent.sf2");
        TFluidSynthPlayer player2(TFluidSynthPlayer::foManualRender, absent);
        player2.Open(shortTrack);
        try {
            player2.Play();
            QFAIL("playing without a sound font succeeded");
        } catch (const Exception& error) {
            QVERIFY2(error.Message.contains(QDir::toNativeSeparators(absent)), qPrintable(error.Message));
        }
        player2.Play();
        player2.Render(Frames(500));
        QCOMPARE(player2.Position(), 0);
    }

    void damagedSoundFontIsReportedOnce()
    {
        const QString damaged = Write("damaged.sf2", "RIFF....sfbk and nothing of a sound font");
        TFluidSynthPlayer player2(TFluidSynthPlayer::foManualRender, damaged);
        player2.Open(shortTrack);
        // Whether the first play already knows depends on the loader thread;
        // either way the failure is told exactly once.
        int reports = 0;
        for (int attempt = 0; attempt < 4; ++attempt) {
            try {
                player2.Play();
            } catch (const Exception& error) {
                ++reports;
                QVERIFY2(error.Message.contains(QDir::toNativeSeparators(damaged)), qPrintable(error.Message));
            }
            player2.Render(Frames(100));
        }
        QCOMPARE(reports, 1);
        QCOMPARE(player2.State(), IMusicPlayer::msAtRest);
        QCOMPARE(player2.Position(), 0);
    }

    void playBeforeTheSoundFontIsLoadedStartsLater()
    {
        // Playing must not wait for the sound font: the track counts as
        // playing at 0 and moves once the synth is complete.
        TFluidSynthPlayer player2(TFluidSynthPlayer::foManualRender);
        player2.Open(tempoTrack);
        player2.Play();
        QCOMPARE(player2.State(), IMusicPlayer::msPlaying);
        QVERIFY(player2.Position() <= 25);
        player2.Render(Frames(1000));
        QVERIFY2(std::abs(player2.Position() - 1000) <= 25, qPrintable(QString::number(player2.Position())));
        player2.Stop();
        QCOMPARE(player2.State(), IMusicPlayer::msAtRest);
    }

    void stopBeforeTheSoundFontIsLoadedKeepsTheTrackAtZero()
    {
        TFluidSynthPlayer player2(TFluidSynthPlayer::foManualRender);
        player2.Open(tempoTrack);
        player2.Play();
        player2.Stop();
        player2.Render(Frames(1000));
        QCOMPARE(player2.State(), IMusicPlayer::msAtRest);
        QCOMPARE(player2.Position(), 0);
    }
};

QTEST_GUILESS_MAIN(FluidSynthPlayerTest)
#include "FluidSynthPlayerTest.moc"
