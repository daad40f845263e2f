// The WAV writer: header fields at their fixed offsets, sample encoding,
// clipping, and failure to write reported rather than hidden.
#include "tools/WavWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <limits>

namespace {

std::uint32_t U32At(const std::vector<std::uint8_t>& bytes, std::size_t offset)
{
    return std::uint32_t(bytes.at(offset)) | std::uint32_t(bytes.at(offset + 1)) << 8
           | std::uint32_t(bytes.at(offset + 2)) << 16 | std::uint32_t(bytes.at(offset + 3)) << 24;
}

std::uint16_t U16At(const std::vector<std::uint8_t>& bytes, std::size_t offset)
{
    return std::uint16_t(bytes.at(offset) | bytes.at(offset + 1) << 8);
}

QByteArray TagAt(const std::vector<std::uint8_t>& bytes, std::size_t offset)
{
    return QByteArray(reinterpret_cast<const char*>(bytes.data() + offset), 4);
}

} // namespace

class WavWriterTest : public QObject {
    Q_OBJECT

private slots:
    void headerFields_data()
    {
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("channels");
        QTest::addColumn<int>("sampleCount");
        QTest::addColumn<int>("expectedDataBytes");
        QTest::newRow("mono 22050") << 22050 << 1 << 5 << 10;
        QTest::newRow("stereo 44100") << 44100 << 2 << 6 << 12;
        QTest::newRow("stereo, half a frame padded") << 44100 << 2 << 7 << 16;
        QTest::newRow("no samples") << 22050 << 1 << 0 << 0;
    }

    void headerFields()
    {
        QFETCH(int, rate);
        QFETCH(int, channels);
        QFETCH(int, sampleCount);
        QFETCH(int, expectedDataBytes);

        const std::vector<std::int16_t> samples(std::size_t(sampleCount), 100);
        const std::vector<std::uint8_t> bytes = EncodeWav(samples, {std::uint32_t(rate), std::uint16_t(channels)});

        QCOMPARE(bytes.size(), WavHeaderSize + std::size_t(expectedDataBytes));
        QCOMPARE(TagAt(bytes, 0), QByteArray("RIFF"));
        QCOMPARE(U32At(bytes, 4), std::uint32_t(bytes.size() - 8));
        QCOMPARE(TagAt(bytes, 8), QByteArray("WAVE"));
        QCOMPARE(TagAt(bytes, 12), QByteArray("fmt "));
        QCOMPARE(U32At(bytes, 16), 16u);
        QCOMPARE(U16At(bytes, 20), std::uint16_t(1));
        QCOMPARE(U16At(bytes, 22), std::uint16_t(channels));
        QCOMPARE(U32At(bytes, 24), std::uint32_t(rate));
        QCOMPARE(U32At(bytes, 28), std::uint32_t(rate * channels * 2));
        QCOMPARE(U16At(bytes, 32), std::uint16_t(channels * 2));
        QCOMPARE(U16At(bytes, 34), std::uint16_t(16));
        QCOMPARE(TagAt(bytes, 36), QByteArray("data"));
        QCOMPARE(U32At(bytes, 40), std::uint32_t(expectedDataBytes));
        // Padding completes the last frame with silence.
        for (std::size_t i = std::size_t(sampleCount); i < std::size_t(expectedDataBytes / 2); ++i)
            QCOMPARE(U16At(bytes, WavHeaderSize + 2 * i), std::uint16_t(0));
    }

    void samplesAreLittleEndianTwosComplement()
    {
        const std::vector<std::int16_t> samples{0, 1, -1, 0x1234, -32767, 32767};
        const std::vector<std::uint8_t> bytes = EncodeWav(samples, {22050, 1});
        const std::vector<std::uint8_t> expected{0x00, 0x00, 0x01, 0x00, 0xFF, 0xFF, 0x34, 0x12, 0x01, 0x80, 0xFF, 0x7F};
        QCOMPARE(std::vector<std::uint8_t>(bytes.begin() + WavHeaderSize, bytes.end()), expected);
    }

    void zeroChannelsTreatedAsMono()
    {
        const std::vector<std::uint8_t> bytes = EncodeWav({1, 2, 3}, {22050, 0});
        QCOMPARE(U16At(bytes, 22), std::uint16_t(1));
        QCOMPARE(U16At(bytes, 32), std::uint16_t(2));
        QCOMPARE(U32At(bytes, 40), 6u);
    }

    void conversionRoundsAndClips_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("silence") << 0.0 << 0;
        QTest::newRow("full scale up") << 1.0 << 32767;
        QTest::newRow("full scale down") << -1.0 << -32767;
        QTest::newRow("half") << 0.5 << 16384; // 16383.5 goes to the even neighbour
        QTest::newRow("over range clips, not wraps") << 1.7 << 32767;
        QTest::newRow("under range clips, not wraps") << -3.0 << -32767;
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << 32767;
        QTest::newRow("not a number is silence") << std::nan("") << 0;
        QTest::newRow("one step") << 1.0 / 32767.0 << 1;
    }

    void conversionRoundsAndClips()
    {
        QFETCH(double, value);
        QFETCH(int, expected);
        const std::vector<std::int16_t> samples = ToPcm16({value});
        QCOMPARE(samples.size(), std::size_t(1));
        QCOMPARE(int(samples[0]), expected);
    }

    void fileHoldsExactlyTheEncodedBytes()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const std::vector<std::int16_t> samples{5, -5, 300, -300, 7};
        const QString path = dir.filePath(QStringLiteral("out.wav"));
        std::string error;
        QVERIFY(WriteWavFile(path.toStdString(), samples, {44100, 1}, error));
        QVERIFY(error.empty());

        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray written = file.readAll();
        const std::vector<std::uint8_t> expected = EncodeWav(samples, {44100, 1});
        QCOMPARE(written, QByteArray(reinterpret_cast<const char*>(expected.data()), qsizetype(expected.size())));
    }

    void rewritingReplacesTheOldFileAndLeavesNoTemporary()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("out.wav"));
        std::string error;
        QVERIFY(WriteWavFile(path.toStdString(), std::vector<std::int16_t>(1000, 9), {22050, 1}, error));
        QVERIFY(WriteWavFile(path.toStdString(), {1, 2}, {22050, 1}, error));
        QCOMPARE(QFileInfo(path).size(), qint64(WavHeaderSize + 4));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("out.wav")});
    }

    void unwritablePathReportsFailure()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QStringLiteral("no/such/folder/out.wav"));
        std::string error;
        QVERIFY(!WriteWavFile(path.toStdString(), {1, 2, 3}, {22050, 1}, error));
        QVERIFY(!error.empty());
        QVERIFY(QString::fromStdString(error).contains(path));
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_GUILESS_MAIN(WavWriterTest)
#include "WavWriterTest.moc"
