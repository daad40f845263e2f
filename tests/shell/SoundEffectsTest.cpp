// Sound effects: every file opens and plays, a new effect cuts off the one
// sounding, and missing, damaged or odd names stay silent and quiet. Runs
// on machines without a sound card as well as with one.
#include "shell/Application.h"
#include "shell/DataFiles.h"
#include "shell/SoundEffects.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QSoundEffect>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QString DataDir = QStringLiteral(ZELVON_TEST_DATA_DIR);

int& MessageCount()
{
    static int count = 0;
    return count;
}

void CountMessage(QtMsgType, const QMessageLogContext&, const QString&)
{
    ++MessageCount();
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void SetLe32(QByteArray& bytes, int at, quint32 value)
{
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char((value >> (8 * i)) & 0xFF);
}

QByteArray Chunk(const char* id, const QByteArray& body)
{
    QByteArray chunk(id, 4);
    chunk += QByteArray(4, '\0');
    SetLe32(chunk, 4, quint32(body.size()));
    chunk += body;
    if (body.size() % 2 != 0)
        chunk += '\0';
    return chunk;
}

QByteArray WithRiffSize(QByteArray bytes)
{
    SetLe32(bytes, 4, quint32(bytes.size() - 8));
    return bytes;
}

} // namespace

class SoundEffectsTest : public QObject {
    Q_OBJECT

private:
    QStringList errors_;

    // Loading happens in the background; a test that looks at playing state
    // waits for it first so the result does not depend on timing.
    static bool WaitUntilLoaded(const QStringList& names)
    {
        for (const QString& name : names) {
            const QSoundEffect* player = SoundEffectPlayer(name);
            if (!player)
                return false;
            if (!QTest::qWaitFor([&] { return player->status() == QSoundEffect::Ready; }, 10000))
                return false;
        }
        return true;
    }

    static QStringList Sounding()
    {
        QStringList sounding;
        for (const QString& name : SoundEffectFiles())
            if (const QSoundEffect* player = SoundEffectPlayer(name); player && player->isPlaying())
                sounding << name;
        return sounding;
    }

private slots:
    void initTestCase()
    {
        SetDataDirectories({DataDir});
        SetErrorReporter([this](const QString& message) { errors_ << message; });
    }

    void cleanup()
    {
        ResetSoundEffects();
        SetDataDirectories({DataDir});
        QVERIFY2(errors_.isEmpty(), qPrintable(errors_.join(QLatin1Char('\n'))));
    }

    void cleanupTestCase()
    {
        SetErrorReporter({});
        // Left sounding on purpose: the players must go with the application
        // object at exit without hanging or crashing, as they do in the game.
        PreloadSoundEffects();
        PlaySoundEffect(QStringLiteral("applause.wav"));
        QVERIFY(SoundEffectPlayer(QStringLiteral("applause.wav")));
    }

    void preloadOpensEveryEffectFile()
    {
        const QSet<QString> expected{QStringLiteral("ding.wav"), QStringLiteral("pop.wav"), QStringLiteral("laser.wav"),
                                     QStringLiteral("explode.wav"), QStringLiteral("applause.wav")};
        const QStringList files = SoundEffectFiles();
        QCOMPARE(QSet<QString>(files.begin(), files.end()), expected);
        QCOMPARE(files.size(), expected.size());

        PreloadSoundEffects();
        QList<const QSoundEffect*> players;
        for (const QString& name : files) {
            const QSoundEffect* player = SoundEffectPlayer(name);
            QVERIFY2(player, qPrintable(name));
            QCOMPARE(player->source(), QUrl::fromLocalFile(QDir(DataDir).filePath(name)));
            QVERIFY2(!player->isPlaying(), "preloading must not sound");
            players << player;
        }
        // Qt's own decoder accepts every generated file.
        QVERIFY(WaitUntilLoaded(files));

        PreloadSoundEffects();
        for (int i = 0; i < files.size(); ++i)
            QCOMPARE(SoundEffectPlayer(files[i]), players[i]);
        QVERIFY(LastSoundEffect().isEmpty());
    }

    void everyEffectStarts_data()
    {
        QTest::addColumn<QString>("name");
        for (const QString& name : SoundEffectFiles())
            QTest::newRow(qPrintable(name)) << name;
    }

    void everyEffectStarts()
    {
        QFETCH(QString, name);
        PreloadSoundEffects();
        QVERIFY(WaitUntilLoaded({name}));
        PlaySoundEffect(name);
        QCOMPARE(LastSoundEffect(), name);
        QCOMPARE(Sounding(), QStringList{name});
    }

    void newEffectCutsOffTheSoundingOne()
    {
        PreloadSoundEffects();
        QVERIFY(WaitUntilLoaded(SoundEffectFiles()));
        const QStringList sequence{QStringLiteral("ding.wav"),    QStringLiteral("laser.wav"), QStringLiteral("pop.wav"),
                                   QStringLiteral("pop.wav"),     QStringLiteral("explode.wav"),
                                   QStringLiteral("applause.wav"), QStringLiteral("ding.wav")};
        for (const QString& name : sequence) {
            PlaySoundEffect(name);
            QCOMPARE(LastSoundEffect(), name);
            QCOMPARE(Sounding(), QStringList{name});
        }
        // Back-to-back calls with no event processing between them, as in a
        // move that pops and then explodes.
        PlaySoundEffect(QStringLiteral("pop.wav"));
        PlaySoundEffect(QStringLiteral("explode.wav"));
        QCOMPARE(Sounding(), QStringList{QStringLiteral("explode.wav")});
    }

    void playWithoutPreloadOpensOnDemand()
    {
        QVERIFY(!SoundEffectPlayer(QStringLiteral("laser.wav")));
        PlaySoundEffect(QStringLiteral("laser.wav"));
        QCOMPARE(LastSoundEffect(), QStringLiteral("laser.wav"));
        QVERIFY(SoundEffectPlayer(QStringLiteral("laser.wav")));
        QVERIFY(WaitUntilLoaded({QStringLiteral("laser.wav")}));
        // Opened on demand, but a later effect still cuts it off.
        PlaySoundEffect(QStringLiteral("pop.wav"));
        QVERIFY(!SoundEffectPlayer(QStringLiteral("laser.wav"))->isPlaying());
    }

    void badNamesAndFilesAreSilent_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("contents"); // written to the first data folder unless null
        QTest::addColumn<bool>("isFolder");
        const QByteArray ding = ReadFile(QDir(DataDir).filePath(QStringLiteral("ding.wav")));
        QVERIFY(ding.size() > 1000);
        // The generated files: "fmt " of 16 bytes at 12, "data" header at 36.
        QVERIFY(ding.mid(12, 4) == "fmt " && ding.mid(36, 4) == "data");
        QByteArray noChannels = ding;
        noChannels[22] = 0;
        QByteArray float32 = ding;
        float32[20] = 3;
        float32[34] = 32;
        QByteArray halfFrame = ding.left(ding.size() - 1);
        SetLe32(halfFrame, 40, quint32(halfFrame.size() - 44));
        QByteArray noData = ding.left(44);
        SetLe32(noData, 40, 0);
        const QByteArray dataBeforeFormat = ding.left(12) + ding.mid(36) + ding.mid(12, 24);
        QTest::newRow("missing") << QStringLiteral("nosuch.wav") << QByteArray() << false;
        QTest::newRow("empty name") << QString() << QByteArray() << false;
        QTest::newRow("a folder") << QStringLiteral("folder.wav") << QByteArray() << true;
        QTest::newRow("name longer than any buffer") << QString(300, QLatin1Char('x')) + QStringLiteral(".wav")
                                                     << QByteArray() << false;
        QTest::newRow("not a WAV") << QStringLiteral("garbage.wav") << QByteArray(5000, '\x5a') << false;
        QTest::newRow("a few bytes") << QStringLiteral("tiny.wav") << ding.left(10) << false;
        QTest::newRow("empty file") << QStringLiteral("empty.wav") << QByteArray("") << false;
        QTest::newRow("header only") << QStringLiteral("header.wav") << ding.left(44) << false;
        QTest::newRow("cut short") << QStringLiteral("short.wav") << ding.left(1000) << false;
        QTest::newRow("no channels") << QStringLiteral("mute.wav") << noChannels << false;
        QTest::newRow("floating-point samples") << QStringLiteral("float.wav") << float32 << false;
        QTest::newRow("last frame cut in half") << QStringLiteral("half.wav") << halfFrame << false;
        QTest::newRow("no samples") << QStringLiteral("nodata.wav") << noData << false;
        QTest::newRow("data before format") << QStringLiteral("order.wav") << dataBeforeFormat << false;
        QTest::newRow("chunk before format") << QStringLiteral("junk1.wav")
                                             << WithRiffSize(ding.left(12) + Chunk("junk", "abcd") + ding.mid(12)) << false;
        QTest::newRow("unknown chunk before data")
            << QStringLiteral("junk2.wav") << WithRiffSize(ding.left(36) + Chunk("junk", "abcd") + ding.mid(36)) << false;
        QTest::newRow("odd-sized chunk before data")
            << QStringLiteral("junk3.wav") << WithRiffSize(ding.left(36) + Chunk("LIST", "abc") + ding.mid(36)) << false;
    }

    void badNamesAndFilesAreSilent()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, contents);
        QFETCH(bool, isFolder);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        if (isFolder)
            QVERIFY(QDir(dir.path()).mkdir(name));
        else if (!contents.isNull())
            QVERIFY(WriteFile(dir.filePath(name), contents));
        SetDataDirectories({dir.path(), DataDir});

        PreloadSoundEffects();
        QVERIFY(WaitUntilLoaded({QStringLiteral("ding.wav")}));
        PlaySoundEffect(QStringLiteral("ding.wav"));
        QVERIFY(SoundEffectPlayer(QStringLiteral("ding.wav"))->isPlaying());

        PlaySoundEffect(name);
        // Whatever the name, the call behaves as a new effect: the old one stops.
        QVERIFY(!SoundEffectPlayer(QStringLiteral("ding.wav"))->isPlaying());
        // A damaged file is never handed to the audio system, whose loader
        // would wait for the missing samples for ever.
        QVERIFY(!SoundEffectPlayer(name));
        QVERIFY(LastSoundEffect().isEmpty());
        PlaySoundEffect(name);
        QVERIFY(Sounding().isEmpty());
        QVERIFY(errors_.isEmpty());

        // The real effects are unaffected.
        PlaySoundEffect(QStringLiteral("pop.wav"));
        QCOMPARE(LastSoundEffect(), QStringLiteral("pop.wav"));
    }

    void unusualButSoundFilesPlay_data()
    {
        QTest::addColumn<QByteArray>("contents");
        const QByteArray ding = ReadFile(QDir(DataDir).filePath(QStringLiteral("ding.wav")));
        QVERIFY(ding.size() > 1000);
        QByteArray longFormat = ding.left(12) + Chunk("fmt ", ding.mid(20, 16) + QByteArray(2, '\0')) + ding.mid(36);
        QByteArray eightBitStereo = ding.left(44) + QByteArray(44100, char(0x80));
        eightBitStereo[22] = 2;                  // channels
        SetLe32(eightBitStereo, 28, 22050 * 2);  // bytes per second
        eightBitStereo[32] = 2;                  // bytes per frame
        eightBitStereo[34] = 8;                  // bits
        SetLe32(eightBitStereo, 40, 44100);
        QTest::newRow("as generated") << ding;
        QTest::newRow("text chunk before the data") << WithRiffSize(ding.left(36) + Chunk("LIST", "INFO") + ding.mid(36));
        QTest::newRow("longer format chunk") << WithRiffSize(longFormat);
        QTest::newRow("8-bit stereo") << WithRiffSize(eightBitStereo);
    }

    void unusualButSoundFilesPlay()
    {
        QFETCH(QByteArray, contents);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(WriteFile(dir.filePath(QStringLiteral("odd.wav")), contents));
        SetDataDirectories({dir.path()});

        PlaySoundEffect(QStringLiteral("odd.wav"));
        QCOMPARE(LastSoundEffect(), QStringLiteral("odd.wav"));
        const QSoundEffect* player = SoundEffectPlayer(QStringLiteral("odd.wav"));
        QVERIFY(player);
        QVERIFY(QTest::qWaitFor([&] { return player->status() != QSoundEffect::Loading; }, 10000));
        QCOMPARE(player->status(), QSoundEffect::Ready);
        ResetSoundEffects(); // before the folder goes
    }

    void repeatedCallsDoNotWarn()
    {
        PreloadSoundEffects();
        PlaySoundEffect(QStringLiteral("nosuch.wav"));
        QVERIFY(WaitUntilLoaded(SoundEffectFiles()));
        QTest::qWait(100); // let any message about the device or the files arrive

        MessageCount() = 0;
        const QtMessageHandler previous = qInstallMessageHandler(CountMessage);
        for (int i = 0; i < 200; ++i) {
            PlaySoundEffect(QStringLiteral("nosuch.wav"));
            PlaySoundEffect(SoundEffectFiles().at(i % SoundEffectFiles().size()));
            if (i % 20 == 0)
                QCoreApplication::processEvents();
        }
        QTest::qWait(100);
        qInstallMessageHandler(previous);
        QCOMPARE(MessageCount(), 0);
    }

    void resetReopensFromTheCurrentFolders()
    {
        PreloadSoundEffects();
        const QSoundEffect* before = SoundEffectPlayer(QStringLiteral("pop.wav"));
        QVERIFY(before);
        PlaySoundEffect(QStringLiteral("pop.wav"));
        ResetSoundEffects();
        QVERIFY(!SoundEffectPlayer(QStringLiteral("pop.wav")));
        QVERIFY(LastSoundEffect().isEmpty());

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QFile::copy(QDir(DataDir).filePath(QStringLiteral("pop.wav")), dir.filePath(QStringLiteral("pop.wav"))));
        SetDataDirectories({dir.path()});
        PlaySoundEffect(QStringLiteral("pop.wav"));
        const QSoundEffect* after = SoundEffectPlayer(QStringLiteral("pop.wav"));
        QVERIFY(after);
        QCOMPARE(after->source(), QUrl::fromLocalFile(dir.filePath(QStringLiteral("pop.wav"))));
        QVERIFY(WaitUntilLoaded({QStringLiteral("pop.wav")}));
        ResetSoundEffects(); // before the folder goes
    }
};

QTEST_MAIN(SoundEffectsTest)
#include "SoundEffectsTest.moc"
