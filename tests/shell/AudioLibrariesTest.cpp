// The audio libraries come into the process when the game first needs them:
// a game with music and sound off opens neither FluidSynth nor the sound
// effects' module with Qt Multimedia; playing music or an effect does. A
// missing or unusable FluidSynth counts as a machine without sound output.
// The order of the cases matters: what is opened stays for the whole run.
#include "game/Unit1.h"
#include "shell/Application.h"
#include "shell/DataFiles.h"
#include "shell/Exception.h"
#include "shell/FluidSynthLibrary.h"
#include "shell/FluidSynthPlayer.h"
#include "shell/Settings.h"
#include "shell/SoundEffects.h"

#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

#if defined(__linux__)
#include <link.h>
#endif

namespace {

// Whether a shared object whose path contains `name` is in the process.
bool InProcess(const char* name)
{
#if defined(__linux__)
    struct TSearch {
        const char* Name;
        bool Found;
    } search{name, false};
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) {
            auto* s = static_cast<TSearch*>(data);
            if (info->dlpi_name && std::strstr(info->dlpi_name, s->Name))
                s->Found = true;
            return 0;
        },
        &search);
    return search.Found;
#else
    Q_UNUSED(name);
    return false;
#endif
}

} // namespace

class AudioLibrariesTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
#if !defined(__linux__)
        QSKIP("looks at the loaded libraries through dl_iterate_phdr");
#endif
        QVERIFY(config_.isValid());
        qputenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit());
        SetDataDirectories({QStringLiteral(ZELVON_TEST_DATA_DIR)});
        SetErrorReporter([this](const QString& message) { errors_ << message; });
        // The test itself must not have brought them in.
        QVERIFY(InProcess("libQt6Core"));
        QVERIFY(!InProcess("libfluidsynth"));
        QVERIFY(!InProcess("libQt6Multimedia"));
        QVERIFY(!InProcess("zelvon-sound"));
    }

    void gameWithMusicAndSoundOffOpensNoAudioLibrary()
    {
        WriteSetting(QStringLiteral("Music"), QStringLiteral("0"));
        WriteSetting(QStringLiteral("Sound"), QStringLiteral("0"));
        TForm1 form1;
        form1.show();
        const auto idle = [&] { return form1.Timer1.isActive() && !form1.SequenceRunning(); };
        QVERIFY(QTest::qWaitFor(idle, 20000));
        // A new game opens the next track, and its bar polls the player.
        form1.Button1->click();
        QVERIFY(QTest::qWaitFor(idle, 20000));
        QTest::qWait(250);
        QVERIFY(!form1.MediaPlayer2->FileName().isEmpty());
        QVERIFY(!InProcess("libfluidsynth"));
        QVERIFY(!InProcess("libQt6Multimedia"));
        QVERIFY(!InProcess("zelvon-sound"));
        QVERIFY2(errors_.isEmpty(), qPrintable(errors_.join(QLatin1Char('\n'))));
    }

    void missingLibraryCountsAsNoSoundOutput()
    {
        for (const auto output : {TFluidSynthPlayer::foSoundDevice, TFluidSynthPlayer::foManualRender}) {
            TFluidSynthPlayer player(output, {}, {}, QStringLiteral("libzelvon-no-such-fluidsynth.so.3"));
            player.Open(DataFilePath(QStringLiteral("evita.mid")));
            try {
                player.Play();
                QFAIL("a player without its library played");
            } catch (const Exception& error) {
                QCOMPARE(error.Message, NoSoundOutputText);
            }
            // Said once; afterwards quietly nothing, as without a device.
            player.Play();
            QCOMPARE(player.State(), IMusicPlayer::msAtRest);
            QCOMPARE(player.Position(), 0);
        }
        QVERIFY(!InProcess("libfluidsynth"));
    }

    void firstEffectOpensTheSoundModule()
    {
        QVERIFY(SoundEffectPlayer(QStringLiteral("pop.wav")) == nullptr);
        QVERIFY(LastSoundEffect().isEmpty());
        QVERIFY(!InProcess("zelvon-sound"));
        PlaySoundEffect(QStringLiteral("pop.wav"));
        QVERIFY(InProcess("zelvon-sound"));
        QVERIFY(InProcess("libQt6Multimedia"));
        QVERIFY(SoundEffectPlayer(QStringLiteral("pop.wav")) != nullptr);
        QCOMPARE(LastSoundEffect(), QStringLiteral("pop.wav"));
        ResetSoundEffects();
        QVERIFY(SoundEffectPlayer(QStringLiteral("pop.wav")) == nullptr);
    }

    void playingMusicOpensFluidSynth()
    {
        TFluidSynthPlayer player(TFluidSynthPlayer::foManualRender);
        player.Open(DataFilePath(QStringLiteral("evita.mid")));
        QVERIFY(!InProcess("libfluidsynth"));
        player.Play();
        QVERIFY(InProcess("libfluidsynth"));
        std::vector<float> samples;
        player.Render(TFluidSynthPlayer::SampleRate / 2, &samples);
        QVERIFY(player.Position() > 0);
    }

    void onlyACompleteLibraryIsUsed_data()
    {
        QTest::addColumn<QString>("library");
        QTest::addColumn<bool>("usable");
        QTest::newRow("the system's") << QString() << true;
        QTest::newRow("by its file name") << DefaultFluidSynthLibrary() << true;
        QTest::newRow("missing") << QStringLiteral("libzelvon-no-such-fluidsynth.so.3") << false;
        QTest::newRow("another library") << QStringLiteral("libjpeg.so.62") << false;
    }
    void onlyACompleteLibraryIsUsed()
    {
        QFETCH(QString, library);
        QFETCH(bool, usable);
        const TFluidSynthLibrary* fluid = LoadFluidSynth(library);
        QCOMPARE(fluid != nullptr, usable);
        // Asked again, the same answer without another attempt.
        QCOMPARE(LoadFluidSynth(library), fluid);
        if (fluid) {
            fluid_settings_t* settings = fluid->new_fluid_settings();
            QVERIFY(settings);
            QCOMPARE(fluid->fluid_settings_setint(settings, "synth.polyphony", 64), FLUID_OK);
            fluid->delete_fluid_settings(settings);
        }
    }

private:
    QTemporaryDir config_;
    QStringList errors_;
};

QTEST_MAIN(AudioLibrariesTest)
#include "AudioLibrariesTest.moc"
