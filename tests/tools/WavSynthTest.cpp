// The generated effect files: valid WAV beside the program, audible, shaped
// like the sounds they stand for, and the same on every build.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

const QString DataDir = QStringLiteral(ZELVON_TEST_DATA_DIR);
const QString Generator = QStringLiteral(ZELVON_WAVSYNTH);

// Read independently of the writer: chunks are walked, not assumed at
// fixed offsets.
struct TWav {
    QString Error;
    qint64 FileSize = 0;
    quint32 RiffSize = 0;
    int Format = 0;
    int Channels = 0;
    int Rate = 0;
    int ByteRate = 0;
    int BlockAlign = 0;
    int Bits = 0;
    quint32 DataSize = 0;
    std::vector<double> Mono; // channels averaged, full scale 1.0

    double Seconds() const { return Rate > 0 ? double(Mono.size()) / Rate : 0.0; }
};

quint32 Le32(const QByteArray& b, qsizetype at)
{
    return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 | quint32(quint8(b[at + 2])) << 16
           | quint32(quint8(b[at + 3])) << 24;
}

int Le16(const QByteArray& b, qsizetype at)
{
    return quint8(b[at]) | quint8(b[at + 1]) << 8;
}

TWav ReadWav(const QString& path)
{
    TWav wav;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        wav.Error = QStringLiteral("cannot open ") + path;
        return wav;
    }
    const QByteArray b = file.readAll();
    wav.FileSize = b.size();
    if (b.size() < 12 || b.left(4) != "RIFF" || b.mid(8, 4) != "WAVE") {
        wav.Error = QStringLiteral("not RIFF/WAVE");
        return wav;
    }
    wav.RiffSize = Le32(b, 4);
    bool haveFormat = false;
    qsizetype at = 12;
    while (at + 8 <= b.size()) {
        const QByteArray id = b.mid(at, 4);
        const quint32 size = Le32(b, at + 4);
        const qsizetype body = at + 8;
        if (body + qsizetype(size) > b.size()) {
            wav.Error = QStringLiteral("chunk ") + QString::fromLatin1(id) + QStringLiteral(" runs past the end");
            return wav;
        }
        if (id == "fmt " && size >= 16) {
            wav.Format = Le16(b, body);
            wav.Channels = Le16(b, body + 2);
            wav.Rate = int(Le32(b, body + 4));
            wav.ByteRate = int(Le32(b, body + 8));
            wav.BlockAlign = Le16(b, body + 12);
            wav.Bits = Le16(b, body + 14);
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat || wav.Bits != 16 || wav.Channels < 1) {
                wav.Error = QStringLiteral("data before a usable fmt chunk");
                return wav;
            }
            wav.DataSize = size;
            const qsizetype frames = size / (2 * wav.Channels);
            for (qsizetype f = 0; f < frames; ++f) {
                double sum = 0.0;
                for (int c = 0; c < wav.Channels; ++c)
                    sum += qint16(Le16(b, body + 2 * (f * wav.Channels + c)));
                wav.Mono.push_back(sum / wav.Channels / 32768.0);
            }
        }
        at = body + size + (size & 1);
    }
    if (wav.DataSize == 0 && wav.Mono.empty())
        wav.Error = QStringLiteral("no data chunk");
    return wav;
}

double Rms(const std::vector<double>& s, double from, double to)
{
    const std::size_t begin = std::size_t(from * double(s.size()));
    const std::size_t end = std::min(s.size(), std::size_t(to * double(s.size())));
    double sum = 0.0;
    for (std::size_t i = begin; i < end; ++i)
        sum += s[i] * s[i];
    return end > begin ? std::sqrt(sum / double(end - begin)) : 0.0;
}

// Sign changes per second over a fraction of the signal: twice the pitch of
// a clean tone.
double CrossingRate(const TWav& wav, double from, double to)
{
    const std::vector<double>& s = wav.Mono;
    const std::size_t begin = std::size_t(from * double(s.size()));
    const std::size_t end = std::min(s.size(), std::size_t(to * double(s.size())));
    int crossings = 0;
    for (std::size_t i = begin + 1; i < end; ++i)
        if ((s[i - 1] < 0.0) != (s[i] < 0.0))
            ++crossings;
    return crossings / (double(end - begin) / wav.Rate);
}

double Peak(const std::vector<double>& s)
{
    double peak = 0.0;
    for (const double v : s)
        peak = std::max(peak, std::abs(v));
    return peak;
}

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int RunGenerator(const QStringList& arguments)
{
    QProcess process;
    process.start(Generator, arguments);
    if (!process.waitForFinished(60000))
        return -1;
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

const QStringList EffectNames{QStringLiteral("ding.wav"), QStringLiteral("pop.wav"), QStringLiteral("laser.wav"),
                              QStringLiteral("explode.wav"), QStringLiteral("applause.wav")};

} // namespace

class WavSynthTest : public QObject {
    Q_OBJECT

private slots:
    void validAndAudible_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("minSeconds");
        QTest::addColumn<double>("maxSeconds");
        QTest::newRow("bell") << QStringLiteral("ding.wav") << 0.2 << 2.0;
        // Fill pops come 50 ms apart and each cuts the last off: keep it short.
        QTest::newRow("pop") << QStringLiteral("pop.wav") << 0.03 << 0.2;
        QTest::newRow("laser") << QStringLiteral("laser.wav") << 0.15 << 1.5;
        QTest::newRow("explosion") << QStringLiteral("explode.wav") << 0.4 << 3.0;
        QTest::newRow("applause") << QStringLiteral("applause.wav") << 1.0 << 5.0;
    }

    void validAndAudible()
    {
        QFETCH(QString, name);
        QFETCH(double, minSeconds);
        QFETCH(double, maxSeconds);

        const TWav wav = ReadWav(QDir(DataDir).filePath(name));
        QVERIFY2(wav.Error.isEmpty(), qPrintable(wav.Error));
        QCOMPARE(wav.RiffSize, quint32(wav.FileSize - 8));
        QCOMPARE(wav.Format, 1);
        QCOMPARE(wav.Bits, 16);
        QVERIFY(wav.Channels == 1 || wav.Channels == 2);
        QVERIFY(wav.Rate == 22050 || wav.Rate == 44100);
        QCOMPARE(wav.BlockAlign, wav.Channels * 2);
        QCOMPARE(wav.ByteRate, wav.Rate * wav.BlockAlign);
        QCOMPARE(wav.DataSize % quint32(wav.BlockAlign), 0u);
        QVERIFY2(wav.FileSize < 300 * 1024, qPrintable(QString::number(wav.FileSize)));

        QVERIFY2(wav.Seconds() >= minSeconds && wav.Seconds() <= maxSeconds, qPrintable(QString::number(wav.Seconds())));

        const double peak = Peak(wav.Mono);
        QVERIFY2(peak > 0.25, qPrintable(QString::number(peak)));  // clearly audible
        QVERIFY2(peak < 0.999, qPrintable(QString::number(peak))); // not clipped
        QVERIFY(Rms(wav.Mono, 0.0, 1.0) > 0.01);
        // Starting or stopping mid-wave clicks.
        QVERIFY(std::abs(wav.Mono.front()) < 0.02);
        QVERIFY(std::abs(wav.Mono.back()) < 0.02);
    }

    void decays_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("minDrop"); // loudness of the first fifth over the last
        QTest::newRow("bell") << QStringLiteral("ding.wav") << 4.0;
        QTest::newRow("pop") << QStringLiteral("pop.wav") << 4.0;
        // The zap fades while it falls; the fall is what carries it.
        QTest::newRow("laser") << QStringLiteral("laser.wav") << 2.0;
        QTest::newRow("explosion") << QStringLiteral("explode.wav") << 4.0;
    }

    void decays()
    {
        QFETCH(QString, name);
        QFETCH(double, minDrop);
        const TWav wav = ReadWav(QDir(DataDir).filePath(name));
        QVERIFY2(wav.Error.isEmpty(), qPrintable(wav.Error));
        double previous = Rms(wav.Mono, 0.0, 0.2);
        const double first = previous;
        for (int fifth = 1; fifth < 5; ++fifth) {
            const double level = Rms(wav.Mono, fifth * 0.2, (fifth + 1) * 0.2);
            QVERIFY2(level < previous, qPrintable(QStringLiteral("fifth %1: %2 after %3").arg(fifth).arg(level).arg(previous)));
            previous = level;
        }
        QVERIFY2(first > minDrop * previous, qPrintable(QStringLiteral("%1 -> %2").arg(first).arg(previous)));
    }

    void laserFallsInPitch()
    {
        const TWav wav = ReadWav(QDir(DataDir).filePath(QStringLiteral("laser.wav")));
        QVERIFY2(wav.Error.isEmpty(), qPrintable(wav.Error));
        double previous = CrossingRate(wav, 0.0, 0.25);
        const double first = previous;
        for (int quarter = 1; quarter < 4; ++quarter) {
            const double rate = CrossingRate(wav, quarter * 0.25, (quarter + 1) * 0.25);
            QVERIFY2(rate < previous, qPrintable(QStringLiteral("quarter %1: %2 after %3").arg(quarter).arg(rate).arg(previous)));
            previous = rate;
        }
        QVERIFY2(first > 4.0 * previous, qPrintable(QStringLiteral("%1 -> %2").arg(first).arg(previous)));
        // It starts high enough to be heard as a zap, not a hum.
        QVERIFY(first / 2.0 > 1000.0);
    }

    void applauseSwellsHoldsAndFades()
    {
        const TWav wav = ReadWav(QDir(DataDir).filePath(QStringLiteral("applause.wav")));
        QVERIFY2(wav.Error.isEmpty(), qPrintable(wav.Error));
        QVERIFY(wav.Seconds() > 1.0);

        const double total = wav.Seconds();
        auto windowRms = [&](double fromSeconds, double toSeconds) {
            return Rms(wav.Mono, fromSeconds / total, toSeconds / total);
        };
        const double body = windowRms(0.3, 1.3);
        QVERIFY2(body > 2.0 * windowRms(0.0, 0.03), "no swell at the start");
        QVERIFY2(body > 2.0 * windowRms(total - 0.15, total), "no fade at the end");

        // A crowd, not a few isolated claps: every 50 ms of the body sounds.
        for (double t = 0.3; t < 1.3; t += 0.05)
            QVERIFY2(windowRms(t, t + 0.05) > 0.15 * body, qPrintable(QStringLiteral("gap at %1 s").arg(t)));
        // Noise-like claps cross zero far more often than any of the tones.
        QVERIFY(CrossingRate(wav, 0.3 / total, 1.3 / total) > 1000.0);
    }

    void generatorIsReproducible()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QCOMPARE(RunGenerator({dir.path()}), 0);
        for (const QString& name : EffectNames) {
            const QByteArray fresh = Contents(dir.filePath(name));
            QVERIFY2(!fresh.isEmpty(), qPrintable(name));
            QVERIFY2(fresh == Contents(QDir(DataDir).filePath(name)), qPrintable(name + " differs from the build's copy"));
        }
    }

    void generatorRefusesBadArguments()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QCOMPARE(RunGenerator({}), 2);
        QCOMPARE(RunGenerator({dir.path(), QStringLiteral("moo.wav")}), 1);
        QVERIFY(QDir(dir.path()).entryList(QDir::Files).isEmpty());
        // One bad name does not stop the good ones, but still fails the run.
        QCOMPARE(RunGenerator({dir.path(), QStringLiteral("moo.wav"), QStringLiteral("ding.wav")}), 1);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("ding.wav")});
        QCOMPARE(RunGenerator({dir.filePath(QStringLiteral("missing/folder"))}), 1);
    }
};

QTEST_GUILESS_MAIN(WavSynthTest)
#include "WavSynthTest.moc"
