// The MIDI writer and the four pieces written with it: what the writer
// writes reads back with the lengths it was given, and the generated tracks
// last as long as they were composed and play to their end in FluidSynth.
#include "shell/Exception.h"
#include "shell/FluidSynthPlayer.h"
#include "shell/MidiFile.h"
#include "tools/MidiWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace {

QByteArray ToByteArray(const std::vector<std::uint8_t>& bytes)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

// Milliseconds of `beats` quarters at a tempo, as the file stores it: whole
// microseconds per quarter.
double BeatsMs(int beats, double beatsPerMinute)
{
    return beats * std::round(60'000'000.0 / beatsPerMinute) / 1000.0;
}

} // namespace

class MidiWriterTest : public QObject {
    Q_OBJECT

private:
    // One player for all pieces: the sound font loads once.
    std::unique_ptr<TFluidSynthPlayer> player;

private slots:
    void initTestCase() { player = std::make_unique<TFluidSynthPlayer>(TFluidSynthPlayer::foManualRender); }
    void cleanupTestCase() { player.reset(); }

    void headerDescribesAFormatOneFile()
    {
        TMidiFile file(480);
        file.AddTrack().Note(0, 10, 0, 60, 100);
        file.AddTrack().Note(0, 10, 1, 62, 100);
        const QByteArray bytes = ToByteArray(file.Bytes());
        QCOMPARE(bytes.left(14), QByteArray::fromHex("4D546864 00000006 0001 0002 01E0"));
        QCOMPARE(bytes.mid(14, 4), QByteArray("MTrk"));
    }

    void variableLengthValues_data()
    {
        // The examples the file format's own description gives.
        QTest::addColumn<quint32>("value");
        QTest::addColumn<QByteArray>("encoded");
        QTest::newRow("0") << quint32(0) << QByteArray::fromHex("00");
        QTest::newRow("0x40") << quint32(0x40) << QByteArray::fromHex("40");
        QTest::newRow("0x7F") << quint32(0x7F) << QByteArray::fromHex("7F");
        QTest::newRow("0x80") << quint32(0x80) << QByteArray::fromHex("8100");
        QTest::newRow("0x2000") << quint32(0x2000) << QByteArray::fromHex("C000");
        QTest::newRow("0x3FFF") << quint32(0x3FFF) << QByteArray::fromHex("FF7F");
        QTest::newRow("0x4000") << quint32(0x4000) << QByteArray::fromHex("818000");
        QTest::newRow("0x100000") << quint32(0x100000) << QByteArray::fromHex("C08000");
        QTest::newRow("0x1FFFFF") << quint32(0x1FFFFF) << QByteArray::fromHex("FFFF7F");
        QTest::newRow("0x200000") << quint32(0x200000) << QByteArray::fromHex("81808000");
        QTest::newRow("0x0FFFFFFF") << quint32(0x0FFFFFFF) << QByteArray::fromHex("FFFFFF7F");
    }
    void variableLengthValues()
    {
        QFETCH(quint32, value);
        QFETCH(QByteArray, encoded);
        std::vector<std::uint8_t> bytes{0xAA};
        AppendVariableLength(bytes, value);
        QCOMPARE(ToByteArray(bytes), QByteArray(1, char(0xAA)) + encoded);
    }

    void writtenFilesReadBackWithTheirLength()
    {
        TMidiFile file(240);
        TMidiTrack& conductor = file.AddTrack();
        conductor.Tempo(0, 100);           // 600 ms a quarter
        conductor.Tempo(4 * 240, 150);     // 400 ms a quarter from the fifth beat
        TMidiTrack& melody = file.AddTrack();
        melody.ProgramChange(0, 3, 40);
        melody.Note(0, 240, 3, 72, 90);
        melody.Note(3 * 240, 3 * 240, 3, 74, 90); // ends on beat 6
        TMidiTrack& drums = file.AddTrack();
        drums.Note(2 * 240, 60, DrumChannel, 38, 100);
        drums.EndAt(7 * 240); // a rest before the end
        // A long silence inside a track needs a multi-byte delta.
        TMidiTrack& late = file.AddTrack();
        late.Controller(0, 5, 7, 100);
        late.Controller(5 * 240, 5, 7, 90);

        const TMidiFileInfo info = ReadMidiFile(ToByteArray(file.Bytes()));
        QCOMPARE(info.Format, 1);
        QCOMPARE(info.TrackCount, 4);
        QCOMPARE(info.TicksPerQuarter, 240);
        QCOMPARE(info.LastTick, std::int64_t(7 * 240));
        QCOMPARE(info.LengthMs(), std::int64_t(4 * 600 + 3 * 400));
        QCOMPARE(info.NoteCount, 3);
        QCOMPARE(info.NoteChannels, std::uint16_t((1 << 3) | (1 << 9)));
    }

    void repeatedKeyIsReleasedBeforeItSoundsAgain()
    {
        TMidiFile file(96);
        TMidiTrack& track = file.AddTrack();
        // Written in the "wrong" order: the second note first.
        track.Note(96, 96, 0, 60, 100);
        track.Note(0, 96, 0, 60, 100);
        const QByteArray bytes = ToByteArray(file.Bytes());
        // Tick 0 on, delta 96 off, delta 0 on, delta 96 off, end.
        QCOMPARE(bytes.mid(22), QByteArray::fromHex("00903C64 60803C40 00903C64 60803C40 00FF2F00"));
    }

    void invalidValuesAreRefused_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("velocity");
        QTest::addColumn<int>("duration");
        QTest::newRow("channel 16") << 16 << 60 << 100 << 10;
        QTest::newRow("channel -1") << -1 << 60 << 100 << 10;
        QTest::newRow("key 128") << 0 << 128 << 100 << 10;
        QTest::newRow("velocity 0") << 0 << 60 << 0 << 10;
        QTest::newRow("velocity 128") << 0 << 60 << 128 << 10;
        QTest::newRow("no duration") << 0 << 60 << 100 << 0;
    }
    void invalidValuesAreRefused()
    {
        QFETCH(int, channel);
        QFETCH(int, key);
        QFETCH(int, velocity);
        QFETCH(int, duration);
        TMidiTrack track;
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, track.Note(0, std::uint32_t(duration), channel, key, velocity));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, track.ProgramChange(0, 0, 128));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, track.TimeSignature(0, 4, 3));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, TMidiFile(0));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, TMidiFile(0x8000));
        // Nothing half-written stays behind.
        QCOMPARE(track.EndTick(), std::uint32_t(0));
    }

    void saveReportsAFailure()
    {
        QTemporaryDir dir;
        TMidiFile file;
        file.AddTrack().Note(0, 10, 0, 60, 100);
        QVERIFY(!file.Save(dir.filePath("no/such/folder/x.mid").toStdString()));
        const QString path = dir.filePath("x.mid");
        QVERIFY(file.Save(path.toStdString()));
        QFile saved(path);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        QCOMPARE(saved.readAll(), ToByteArray(file.Bytes()));
    }

    void piecesAreAsComposed_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("composedMs");
        QTest::addColumn<bool>("drums");
        // Bars of four beats at the tempos the pieces were written in.
        QTest::newRow("evita") << "evita.mid"
                               << BeatsMs(18 * 4, 76) + BeatsMs(4, 66) + BeatsMs(4, 56) << false;
        QTest::newRow("axel'f") << "axel'f.mid" << BeatsMs(32 * 4, 118) << true;
        QTest::newRow("behappy") << "behappy.mid" << BeatsMs(30 * 4, 112) << true;
        QTest::newRow("relax") << "relax.mid" << BeatsMs(16 * 4, 64) << false;
    }
    void piecesAreAsComposed()
    {
        QFETCH(QString, name);
        QFETCH(double, composedMs);
        QFETCH(bool, drums);
        QFile file(QDir(ZELVON_TEST_DATA_DIR).filePath(name));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        const TMidiFileInfo info = ReadMidiFile(file.readAll());
        QCOMPARE(info.Format, 1);
        QVERIFY(std::abs(info.TickToMs(info.LastTick) - composedMs) < 1.0);
        // About a minute, as background music for one game.
        QVERIFY(composedMs > 45000 && composedMs < 90000);
        QVERIFY(info.NoteCount > 200);
        int voices = 0;
        for (int channel = 0; channel < 16; ++channel)
            voices += (info.NoteChannels >> channel) & 1;
        QVERIFY2(voices >= 4, "a few instruments");
        QCOMPARE(bool(info.NoteChannels & (1 << DrumChannel)), drums);
    }

    void piecesPlayToTheirEndInFluidSynth_data() { piecesAreAsComposed_data(); }
    void piecesPlayToTheirEndInFluidSynth()
    {
        QFETCH(QString, name);
        QFETCH(double, composedMs);
        TFluidSynthPlayer& player = *this->player;
        player.Open(QDir(ZELVON_TEST_DATA_DIR).filePath(name));
        QCOMPARE(player.Length(), int(std::lround(composedMs)));
        player.Play();

        constexpr int step = TFluidSynthPlayer::SampleRate / 10;
        std::vector<float> samples;
        samples.reserve(std::size_t(2 * TFluidSynthPlayer::SampleRate * (composedMs / 1000 + 1)));
        int renderedMs = 0;
        while (player.State() == IMusicPlayer::msPlaying && renderedMs < composedMs + 5000) {
            player.Render(step, &samples);
            renderedMs += 100;
        }
        QCOMPARE(player.State(), IMusicPlayer::msEnded);
        QCOMPARE(player.Position(), player.Length());
        QVERIFY2(std::abs(renderedMs - composedMs) <= 100, qPrintable(QString::number(renderedMs)));

        // Audible all the way, and never clipped.
        float peak = 0.0f;
        int silentSeconds = 0;
        const std::size_t second = 2 * TFluidSynthPlayer::SampleRate;
        for (std::size_t start = 0; start + second <= samples.size(); start += second) {
            float secondPeak = 0.0f;
            for (std::size_t i = start; i < start + second; ++i)
                secondPeak = std::max(secondPeak, std::abs(samples[i]));
            silentSeconds += secondPeak < 0.01f;
            peak = std::max(peak, secondPeak);
        }
        QCOMPARE(silentSeconds, 0);
        QVERIFY2(peak < 1.0f, qPrintable(QString::number(peak)));
    }
};

QTEST_GUILESS_MAIN(MidiWriterTest)
#include "MidiWriterTest.moc"
