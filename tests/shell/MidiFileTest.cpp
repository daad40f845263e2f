// Reading MIDI files: lengths through tempo changes, running status, skipped
// chunks and events, and damaged files rejected with an exception, never a
// crash or a wrong length.
#include "shell/Exception.h"
#include "shell/MidiFile.h"

#include <QTest>

namespace {

QByteArray BigEndian(quint32 value, int size)
{
    QByteArray bytes;
    for (int shift = 8 * (size - 1); shift >= 0; shift -= 8)
        bytes.append(char((value >> shift) & 0xFF));
    return bytes;
}

QByteArray Chunk(const QByteArray& id, const QByteArray& body)
{
    return id + BigEndian(quint32(body.size()), 4) + body;
}

QByteArray Header(int format, int tracks, int division)
{
    return Chunk("MThd", BigEndian(quint32(format), 2) + BigEndian(quint32(tracks), 2) + BigEndian(quint32(division), 2));
}

// 96 ticks a quarter; one quarter at 120 beats a minute (500 ms), then the
// tempo halves and three more quarters follow (3000 ms). Running status,
// a note-on of velocity 0, a system-exclusive message and a drum.
QByteArray SampleTrack()
{
    return QByteArray::fromHex("00FF510307A120"      // tick 0: 500000 us a quarter
                               "00903C40"            // note on 60
                               "603C00"              // tick 96, running status: velocity 0
                               "003E50"              // note on 62
                               "00FF51030F4240"      // tick 96: 1000000 us a quarter
                               "60803E40"            // tick 192: note off 62
                               "00F0037E00F7"        // system exclusive
                               "00992464"            // drum on channel 10
                               "81408924 00"         // tick 384: drum off
                               "00FF2F00");          // end of track
}

QByteArray SampleFile()
{
    return Header(0, 1, 96) + Chunk("MTrk", SampleTrack());
}

} // namespace

class MidiFileTest : public QObject {
    Q_OBJECT

private slots:
    void readsTheSampleFile()
    {
        const TMidiFileInfo info = ReadMidiFile(SampleFile());
        QCOMPARE(info.Format, 0);
        QCOMPARE(info.TrackCount, 1);
        QCOMPARE(info.TicksPerQuarter, 96);
        QCOMPARE(info.LastTick, std::int64_t(384));
        QCOMPARE(info.LengthMs(), std::int64_t(3500));
        QCOMPARE(info.NoteCount, 3);
        QCOMPARE(info.NoteChannels, std::uint16_t(0x0201));
    }

    void tickToMsFollowsTheTempoMap_data()
    {
        QTest::addColumn<qint64>("tick");
        QTest::addColumn<double>("ms");
        QTest::newRow("start") << qint64(0) << 0.0;
        QTest::newRow("first tempo") << qint64(48) << 250.0;
        QTest::newRow("at the change") << qint64(96) << 500.0;
        QTest::newRow("second tempo") << qint64(192) << 1500.0;
        QTest::newRow("beyond the end") << qint64(480) << 4500.0;
    }
    void tickToMsFollowsTheTempoMap()
    {
        QFETCH(qint64, tick);
        QFETCH(double, ms);
        const TMidiFileInfo info = ReadMidiFile(SampleFile());
        QCOMPARE(info.TickToMs(tick), ms);
    }

    void tempoInOneTrackTimesTheOthers()
    {
        // Format 1: the tempo track says 60 beats a minute from tick 480;
        // the longest track lasts to tick 960 at 480 ticks a quarter.
        const QByteArray conductor = QByteArray::fromHex("00FF510307A120" "8360FF51030F4240" "00FF2F00");
        const QByteArray notes = QByteArray::fromHex("00904064" "8740804000" "00FF2F00");
        const TMidiFileInfo info =
            ReadMidiFile(Header(1, 2, 480) + Chunk("MTrk", conductor) + Chunk("MTrk", notes));
        QCOMPARE(info.LastTick, std::int64_t(960));
        QCOMPARE(info.LengthMs(), std::int64_t(500 + 1000));
        QCOMPARE(info.Tempos.size(), std::size_t(2));
    }

    void noTempoMeansOneHundredTwentyBeats()
    {
        const QByteArray notes = QByteArray::fromHex("00904064" "83608040 00" "00FF2F00");
        QCOMPARE(ReadMidiFile(Header(0, 1, 480) + Chunk("MTrk", notes)).LengthMs(), std::int64_t(500));
    }

    void otherChunksAndTrailingBytesAreSkipped()
    {
        const QByteArray extra = Chunk("XYZW", "\x01\x02\x03");
        const QByteArray longHeader =
            Chunk("MThd", BigEndian(0, 2) + BigEndian(1, 2) + BigEndian(96, 2) + QByteArray("\0\0", 2));
        const QByteArray track = Chunk("MTrk", SampleTrack() + QByteArray::fromHex("00903C40"));
        const TMidiFileInfo info = ReadMidiFile(longHeader + extra + track + "garbage after the last track");
        // Events after the end of track never play, so they do not count.
        QCOMPARE(info.LastTick, std::int64_t(384));
        QCOMPARE(info.NoteCount, 3);
    }

    void damagedFilesAreRejected_data()
    {
        QTest::addColumn<QByteArray>("data");
        const QByteArray track = Chunk("MTrk", SampleTrack());
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("not MIDI") << QByteArray("RIFF\0\0\0\0WAVEfmt and some more", 30);
        QTest::newRow("short header") << Chunk("MThd", BigEndian(0, 2) + BigEndian(1, 2)) + track;
        QTest::newRow("format 3") << Header(3, 1, 96) + track;
        QTest::newRow("no tracks") << Header(0, 0, 96) + track;
        QTest::newRow("SMPTE time") << Header(0, 1, 0xE728) + track;
        QTest::newRow("zero division") << Header(0, 1, 0) + track;
        QTest::newRow("track missing") << Header(1, 2, 96) + track;
        QTest::newRow("chunk longer than file") << Header(0, 1, 96) + BigEndian(0, 0) + "MTrk" + BigEndian(1000, 4) +
                                                       SampleTrack();
        QTest::newRow("data without status")
            << Header(0, 1, 96) + Chunk("MTrk", QByteArray::fromHex("003C40" "00FF2F00"));
        QTest::newRow("bad data byte") << Header(0, 1, 96) + Chunk("MTrk", QByteArray::fromHex("00903CC0" "00FF2F00"));
        QTest::newRow("bad status") << Header(0, 1, 96) + Chunk("MTrk", QByteArray::fromHex("00F4" "00FF2F00"));
        QTest::newRow("delta of five bytes")
            << Header(0, 1, 96) + Chunk("MTrk", QByteArray::fromHex("8080808000903C40" "00FF2F00"));
        QTest::newRow("zero tempo") << Header(0, 1, 96) + Chunk("MTrk", QByteArray::fromHex("00FF5103000000" "00FF2F00"));
        QTest::newRow("meta longer than track")
            << Header(0, 1, 96) + Chunk("MTrk", QByteArray::fromHex("00FF0110414243"));
        QTest::newRow("event cut short") << Header(0, 1, 96) + Chunk("MTrk", QByteArray::fromHex("00903C"));
        QTest::newRow("beyond 32-bit ticks")
            << Header(0, 1, 96) +
                   Chunk("MTrk", QByteArray::fromHex("FFFFFF7F903C40").repeated(9) + QByteArray::fromHex("00FF2F00"));
    }
    void damagedFilesAreRejected()
    {
        QFETCH(QByteArray, data);
        QVERIFY_THROWS_EXCEPTION(Exception, ReadMidiFile(data));
    }

    void everyTruncationIsRejected()
    {
        const QByteArray whole = Header(1, 2, 96) + Chunk("MTrk", SampleTrack()) + Chunk("MTrk", SampleTrack());
        QVERIFY(ReadMidiFile(whole).LastTick > 0);
        for (qsizetype size = 0; size < whole.size(); ++size) {
            bool rejected = false;
            try {
                ReadMidiFile(whole.left(size));
            } catch (const Exception& error) {
                rejected = !error.Message.isEmpty();
            }
            QVERIFY2(rejected, qPrintable(QStringLiteral("prefix of %1 bytes accepted").arg(size)));
        }
    }

    void corruptedBytesNeverCrash()
    {
        // Whatever a damaged file holds, the answer is a length or an
        // exception; the sanitizer run watches the reads.
        const QByteArray whole = Header(1, 2, 96) + Chunk("MTrk", SampleTrack()) + Chunk("MTrk", SampleTrack());
        quint32 random = 12345;
        int rejected = 0;
        for (int round = 0; round < 3000; ++round) {
            QByteArray data = whole;
            for (int flips = 0; flips < 3; ++flips) {
                random = random * 1103515245u + 12345u;
                const qsizetype at = qsizetype((random >> 8) % quint32(data.size()));
                random = random * 1103515245u + 12345u;
                data[at] = char(random >> 16);
            }
            try {
                const TMidiFileInfo info = ReadMidiFile(data);
                QVERIFY(info.LengthMs() >= 0);
                QVERIFY(info.TicksPerQuarter > 0);
            } catch (const Exception&) {
                ++rejected;
            }
        }
        QVERIFY(rejected > 0);
    }
};

QTEST_GUILESS_MAIN(MidiFileTest)
#include "MidiFileTest.moc"
