// The settings store in a private XDG configuration folder: first run,
// round trips, the texts of on and off, board size limits, every failure,
// unwritable and unreadable places, damaged files moved aside, and saves cut
// off at random moments. Run as root, the test gives its folder to an
// unprivileged user and becomes that user, so that permissions bind.
#include "game/GameState.h"
#include "shell/Exception.h"
#include "shell/Settings.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <optional>

#include <chrono>
#include <random>

#if defined(Q_OS_UNIX)
#include <grp.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>
#endif
#if defined(Q_OS_LINUX)
#include <sys/prctl.h>
#endif

namespace {

// The settings as one line, so that a mismatch shows every value at once.
QString Describe(const TGameState& state, std::optional<bool> hex3d)
{
    return QStringLiteral("Sound=%1 Music=%2 MMX=%3 Sirka=%4 Vyska=%5 3Dhex=%6")
        .arg(state.SoundEnabled)
        .arg(state.MusicEnabled)
        .arg(state.MmxEnabled)
        .arg(state.BoardWidth)
        .arg(state.BoardHeight)
        .arg(hex3d ? QString::number(int(*hex3d)) : QStringLiteral("unset"));
}

const QString Defaults = QStringLiteral("Sound=1 Music=1 MMX=1 Sirka=10 Vyska=10 3Dhex=1");

#if defined(Q_OS_UNIX)
// Gives `folder` to an unprivileged user and becomes that user for the rest
// of the run. Root reads and writes whatever the permissions say, so the
// tests of unreadable and unwritable places would prove nothing as root.
bool BecomeUnprivileged(const QString& folder)
{
    if (::geteuid() != 0)
        return true;
    constexpr uid_t Nobody = 65534;
    if (::chown(QFile::encodeName(folder).constData(), Nobody, Nobody) != 0)
        return false;
    if (::setgroups(0, nullptr) != 0 || ::setgid(Nobody) != 0 || ::setuid(Nobody) != 0)
        return false;
#if defined(Q_OS_LINUX)
    // A changed user makes the process undumpable, which would keep the leak
    // checker of a sanitizer build from looking at it.
    ::prctl(PR_SET_DUMPABLE, 1);
#endif
    return ::geteuid() == Nobody;
}
#endif

// Values nothing in the store produces, so an untouched variable shows.
TGameState Scrambled()
{
    TGameState state;
    state.SoundEnabled = state.MusicEnabled = state.MmxEnabled = 0x55;
    state.BoardWidth = state.BoardHeight = 0;
    state.DirectXEnabled = state.NetworkPlay = 1;
    state.NetworkClient = 0;
    return state;
}

} // namespace

class SettingsTest : public QObject {
    Q_OBJECT

    QTemporaryDir config_;
    QString folder_;
    QString file_;
    int stamp_ = 0;
    QStringList notices_;

    // Writes the store as a user or another program would. The file's time
    // moves on each time, because QSettings keeps parsed files per process
    // and reads one again only when its size or time changed.
    void WriteStore(const QByteArray& content)
    {
        QDir().mkpath(folder_);
        QFile file(file_);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        file.close();
        Touch();
    }

    void Touch()
    {
        QFile file(file_);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime(QDate(2001, 1, 1), QTime(0, 0)).addSecs(++stamp_), QFileDevice::FileModificationTime));
    }

    QByteArray StoreContent() const
    {
        QFile file(file_);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }

    // Loads into scrambled variables; the per-run flags come out the same
    // whatever happens.
    QString Load(QString* error = nullptr)
    {
        TGameState state = Scrambled();
        std::optional<bool> hex3d;
        int hex3dCalls = 0;
        try {
            LoadSettings(state, [&](bool on) { hex3d = on; ++hex3dCalls; },
                         [this](const QString& text) { notices_ << text; });
        } catch (const Exception& e) {
            if (!error)
                throw;
            *error = e.Message;
        }
        if (state.DirectXEnabled != 0 || state.NetworkPlay != 0 || state.NetworkClient != 1)
            return QStringLiteral("per-run flags not reset");
        if (hex3dCalls != 1)
            return QStringLiteral("raised-cell style set %1 times").arg(hex3dCalls);
        return Describe(state, hex3d);
    }

    // Everything in the store's folder but the store itself.
    QStringList OtherFiles() const
    {
        QStringList names = QDir(folder_).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        names.removeAll(QStringLiteral("Zelvon.conf"));
        return names;
    }

    // Who plays each side and the level, loaded into variables that hold
    // what no store produces; with the rest as a check that nothing else moved.
    QString LoadPlayers(QString* rest = nullptr)
    {
        TGameState state = Scrambled();
        state.BluePlayer = state.RedPlayer = state.Intelligence = 0x55;
        std::optional<bool> hex3d;
        LoadSettings(state, [&](bool on) { hex3d = on; });
        if (rest)
            *rest = Describe(state, hex3d);
        return QStringLiteral("Modry=%1 Cerveny=%2 Inteligence=%3")
            .arg(state.BluePlayer)
            .arg(state.RedPlayer)
            .arg(state.Intelligence);
    }

    QString SaveError(const TGameState& state, bool hex3d)
    {
        try {
            SaveSettings(state, hex3d);
        } catch (const Exception& e) {
            return e.Message;
        }
        return {};
    }

private slots:
    void initTestCase()
    {
        QVERIFY(config_.isValid());
#if defined(Q_OS_UNIX)
        QVERIFY(BecomeUnprivileged(config_.path()));
#endif
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()));
        folder_ = config_.path() + QStringLiteral("/Brantek");
        file_ = folder_ + QStringLiteral("/Zelvon.conf");
        // Never run against the user's real settings.
        const QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Brantek"), QStringLiteral("Zelvon"));
        if (store.fileName() != file_)
            QFAIL(qPrintable(QStringLiteral("the store is at %1, not in the test folder").arg(store.fileName())));
    }

    void init()
    {
        notices_.clear();
        QFile::setPermissions(folder_, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QFile::setPermissions(file_, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        QFileInfo(folder_).isDir() ? (void)QDir(folder_).removeRecursively() : (void)QFile::remove(folder_);
        QFile::remove(config_.path() + QStringLiteral("/Brantek.conf"));
    }

    void cleanup() { init(); }

    void firstRunCreatesTheEmptyStoreAndUsesDefaults()
    {
        QVERIFY(!QFileInfo::exists(file_));
        QCOMPARE(Load(), Defaults);
        QVERIFY(QFileInfo(file_).isFile());
        QCOMPARE(QFileInfo(file_).size(), qint64(0));

        init();
        QCOMPARE(ReadSetting(QStringLiteral("Sound"), QStringLiteral("dflt")), QStringLiteral("dflt"));
        QVERIFY(QFileInfo(file_).isFile());
    }

    void textReadsBackAsWritten_data()
    {
        QTest::addColumn<QString>("text");
        for (const char* text : {"1", "0", "7", "10", "", "1, 2", " 7 ", "@ByteArray(x)", "a;b=c\"d", "back\\slash", "two\nlines", "[General]"})
            QTest::newRow(qPrintable(QStringLiteral("'%1'").arg(QString::fromUtf8(text).replace(u'\n', QLatin1String("\\n"))))) << QString::fromUtf8(text);
        QTest::newRow("non-ASCII") << QStringLiteral("Želva ✓");
    }

    void textReadsBackAsWritten()
    {
        QFETCH(QString, text);
        WriteSetting(QStringLiteral("Sound"), QStringLiteral("before"));
        WriteSetting(QStringLiteral("Music"), text);
        Touch(); // from the file, not from QSettings' memory
        QCOMPARE(ReadSetting(QStringLiteral("Music"), QStringLiteral("<none>")), text);
        QCOMPARE(ReadSetting(QStringLiteral("Sound"), QStringLiteral("<none>")), QStringLiteral("before"));
    }

    void saveWritesAllSevenValuesAsText()
    {
        TGameState state;
        state.SoundEnabled = 1;
        state.MusicEnabled = 0;
        state.MmxEnabled = 2; // on only when exactly 1
        state.BoardWidth = 7;
        state.BoardHeight = 5;
        QCOMPARE(SaveError(state, false), QString());
        QStringList lines = QString::fromUtf8(StoreContent()).split(u'\n', Qt::SkipEmptyParts);
        lines.sort();
        QCOMPARE(lines, (QStringList{"3Dhex=0", "CervenyHrac=0", "Inteligence=5", "Jazyk=cs", "MMX=0", "ModryHrac=0",
                                     "Music=0", "Napoveda=0", "PosledniTah=0", "Sirka=7", "SitAdresa=", "SitPort=41095",
                                     "SitServer=0", "Sound=1", "Ver=1.6b", "Vraceni=0", "Vyska=5", "[General]"}));
        Touch();
        QCOMPARE(Load(), QStringLiteral("Sound=1 Music=0 MMX=0 Sirka=7 Vyska=5 3Dhex=0"));
    }

    // The network game's role, address and port: read as stored, anything
    // odd falling back to its default, and network play itself off at every
    // start whatever the file says.
    void networkSettingsLoad_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected");
        const QString defaults = QStringLiteral("client '' 41095");
        QTest::newRow("none (an older file)") << QByteArray("[General]\nSound=0\nSirka=7\n") << defaults;
        QTest::newRow("server") << QByteArray("SitServer=1\n") << QStringLiteral("server '' 41095");
        QTest::newRow("client") << QByteArray("SitServer=0\nSitAdresa=hra.example.org\n")
                                << QStringLiteral("client 'hra.example.org' 41095");
        QTest::newRow("server is exactly 1") << QByteArray("SitServer=yes\n") << defaults;
        QTest::newRow("IPv6 address") << QByteArray("SitAdresa=\"[::1]\"\nSitPort=5000\n")
                                      << QStringLiteral("client '[::1]' 5000");
        QTest::newRow("address trimmed") << QByteArray("SitAdresa=\"  10.0.0.7 \"\n") << QStringLiteral("client '10.0.0.7' 41095");
        QTest::newRow("port 1") << QByteArray("SitPort=1\n") << QStringLiteral("client '' 1");
        QTest::newRow("port 65535") << QByteArray("SitPort=65535\n") << QStringLiteral("client '' 65535");
        QTest::newRow("port 0") << QByteArray("SitPort=0\n") << defaults;
        QTest::newRow("port too large") << QByteArray("SitPort=65536\n") << defaults;
        QTest::newRow("port far too large") << QByteArray("SitPort=99999999999\n") << defaults;
        QTest::newRow("port negative") << QByteArray("SitPort=-5\n") << defaults;
        QTest::newRow("port not a number") << QByteArray("SitPort=abc\n") << defaults;
        QTest::newRow("port empty") << QByteArray("SitPort=\n") << defaults;
        QTest::newRow("network play on in the file") << QByteArray("SitServer=1\nNetworkPlay=1\nSit=1\n")
                                                   << QStringLiteral("server '' 41095");
    }

    void networkSettingsLoad()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        WriteStore(content);
        TGameState state = Scrambled();
        state.NetworkAddress = QStringLiteral("stale");
        state.NetworkPort = 7;
        LoadSettings(state, {});
        QCOMPARE(QStringLiteral("%1 '%2' %3")
                     .arg(state.NetworkClient == 1 ? QStringLiteral("client") : state.NetworkClient == 0 ? QStringLiteral("server") : QStringLiteral("?"))
                     .arg(state.NetworkAddress)
                     .arg(state.NetworkPort),
                 expected);
        QCOMPARE(state.NetworkPlay, 0);
        QVERIFY(notices_.isEmpty());
    }

    void networkSettingsRoundTrip_data()
    {
        QTest::addColumn<int>("client");
        QTest::addColumn<QString>("address");
        QTest::addColumn<int>("port");
        QTest::newRow("client by name") << 1 << QStringLiteral("hra.example.org") << 41095;
        QTest::newRow("server") << 0 << QString() << 2000;
        QTest::newRow("IPv6") << 1 << QStringLiteral("fe80::1%eth0") << 65535;
        QTest::newRow("characters the file format quotes") << 1 << QStringLiteral("a;b=c\"d, e") << 1025;
    }

    void networkSettingsRoundTrip()
    {
        QFETCH(int, client);
        QFETCH(QString, address);
        QFETCH(int, port);
        TGameState state;
        state.BoardWidth = state.BoardHeight = 6;
        state.NetworkClient = static_cast<std::uint8_t>(client);
        state.NetworkAddress = address;
        state.NetworkPort = static_cast<std::uint16_t>(port);
        state.NetworkPlay = 1;
        QCOMPARE(SaveError(state, true), QString());
        Touch();
        TGameState loaded = Scrambled();
        LoadSettings(loaded, {});
        QCOMPARE(loaded.NetworkClient, state.NetworkClient);
        QCOMPARE(loaded.NetworkAddress, address);
        QCOMPARE(loaded.NetworkPort, state.NetworkPort);
        QCOMPARE(loaded.NetworkPlay, 0);
        QCOMPARE(loaded.BoardWidth, 6);
    }

    void storedTextsLoad_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected");
        QTest::newRow("all set") << QByteArray("[General]\nSound=0\nMusic=1\nMMX=0\nSirka=6\nVyska=8\n3Dhex=0\n")
                                 << "Sound=0 Music=1 MMX=0 Sirka=6 Vyska=8 3Dhex=0";
        QTest::newRow("0 is off") << QByteArray("Music=0\n") << "Sound=1 Music=0 MMX=1 Sirka=10 Vyska=10 3Dhex=1";
        QTest::newRow("yes is off") << QByteArray("Music=yes\n") << "Sound=1 Music=0 MMX=1 Sirka=10 Vyska=10 3Dhex=1";
        QTest::newRow("empty is off") << QByteArray("Music=\n") << "Sound=1 Music=0 MMX=1 Sirka=10 Vyska=10 3Dhex=1";
        QTest::newRow("true is off") << QByteArray("3Dhex=true\n") << "Sound=1 Music=1 MMX=1 Sirka=10 Vyska=10 3Dhex=0";
        QTest::newRow("1 with a blank is off") << QByteArray("Sound=\"1 \"\n") << "Sound=0 Music=1 MMX=1 Sirka=10 Vyska=10 3Dhex=1";
        QTest::newRow("01 is off") << QByteArray("MMX=01\n") << "Sound=1 Music=1 MMX=0 Sirka=10 Vyska=10 3Dhex=1";
        QTest::newRow("text ends at NUL") << QByteArray("Sound=1\\0 and more\n") << Defaults;
        QTest::newRow("another section is another key") << QByteArray("[Old]\nSound=0\n") << Defaults;
    }

    void storedTextsLoad()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        WriteStore(content);
        QCOMPARE(Load(), expected);
    }

    void computerPlayersLoad_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected");
        const QString people = QStringLiteral("Modry=0 Cerveny=0 Inteligence=5");
        QTest::newRow("file of the previous version")
            << QByteArray("[General]\nSound=0\nMusic=1\nVer=1.6b\nMMX=0\nSirka=6\nVyska=8\n3Dhex=0\n") << people;
        QTest::newRow("empty file") << QByteArray() << people;
        QTest::newRow("both computers, strongest")
            << QByteArray("ModryHrac=1\nCervenyHrac=1\nInteligence=10\n") << "Modry=1 Cerveny=1 Inteligence=10";
        QTest::newRow("blue computer, weakest") << QByteArray("ModryHrac=1\nInteligence=0\n") << "Modry=1 Cerveny=0 Inteligence=0";
        QTest::newRow("red computer") << QByteArray("CervenyHrac=1\nInteligence=7\n") << "Modry=0 Cerveny=1 Inteligence=7";
        QTest::newRow("only 1 is the computer") << QByteArray("ModryHrac=yes\nCervenyHrac=2\n") << people;
        QTest::newRow("level above 10") << QByteArray("Inteligence=11\n") << people;
        QTest::newRow("negative level") << QByteArray("Inteligence=-1\n") << people;
        QTest::newRow("level not a number") << QByteArray("Inteligence=abc\n") << people;
        QTest::newRow("empty level") << QByteArray("Inteligence=\n") << people;
        QTest::newRow("level with a blank") << QByteArray("Inteligence=\" 3\"\n") << people;
        QTest::newRow("level with leading zero") << QByteArray("Inteligence=03\n") << "Modry=0 Cerveny=0 Inteligence=3";
        QTest::newRow("level not text") << QByteArray("Inteligence=@ByteArray(7)\nModryHrac=1\n") << "Modry=1 Cerveny=0 Inteligence=5";
        QTest::newRow("player a list") << QByteArray("CervenyHrac=1, 1\nInteligence=2\n") << "Modry=0 Cerveny=0 Inteligence=2";
    }

    void computerPlayersLoad()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        WriteStore(content);
        QString rest;
        QCOMPARE(LoadPlayers(&rest), expected);
        if (content.contains("Sirka=6")) // the old file's values, all of them
            QCOMPARE(rest, QStringLiteral("Sound=0 Music=1 MMX=0 Sirka=6 Vyska=8 3Dhex=0"));
        else
            QCOMPARE(rest, Defaults);
    }

    void computerPlayersSave_data()
    {
        QTest::addColumn<int>("blue");
        QTest::addColumn<int>("red");
        QTest::addColumn<int>("level");
        QTest::addColumn<QString>("stored");
        QTest::newRow("people") << 0 << 0 << 5 << "0 0 5";
        QTest::newRow("blue computer") << 1 << 0 << 10 << "1 0 10";
        QTest::newRow("red computer") << 0 << 1 << 0 << "0 1 0";
        QTest::newRow("other bytes are people") << 2 << 0x55 << 3 << "0 0 3";
        QTest::newRow("level held at 10") << 1 << 1 << 200 << "1 1 10";
    }

    void computerPlayersSave()
    {
        QFETCH(int, blue);
        QFETCH(int, red);
        QFETCH(int, level);
        QFETCH(QString, stored);
        TGameState state;
        state.BoardWidth = state.BoardHeight = 10;
        state.BluePlayer = std::uint8_t(blue);
        state.RedPlayer = std::uint8_t(red);
        state.Intelligence = std::uint8_t(level);
        QCOMPARE(SaveError(state, true), QString());
        Touch();
        const QString written = QStringList{ReadSetting(QStringLiteral("ModryHrac"), QStringLiteral("-")),
                                            ReadSetting(QStringLiteral("CervenyHrac"), QStringLiteral("-")),
                                            ReadSetting(QStringLiteral("Inteligence"), QStringLiteral("-"))}
                                    .join(u' ');
        QCOMPARE(written, stored);
        const QStringList values = stored.split(u' ');
        QCOMPARE(LoadPlayers(), QStringLiteral("Modry=%1 Cerveny=%2 Inteligence=%3").arg(values[0], values[1], values[2]));
    }

    void comfortOptionsLoad_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected"); // Vraceni Napoveda PosledniTah Jazyk
        QTest::addColumn<QString>("others");
        const QString plain = QStringLiteral("Sound=0 Music=0 MMX=0 Sirka=6 Vyska=8 3Dhex=0");
        const QByteArray old = "[General]\nSound=0\nMusic=0\nVer=1.6b\nMMX=0\nSirka=6\nVyska=8\n3Dhex=0\n";
        QTest::newRow("previous version's file") << old << "0 0 0 cs" << plain;
        QTest::newRow("all on, English") << old + "Vraceni=1\nNapoveda=1\nPosledniTah=1\nJazyk=en\n" << "1 1 1 en" << plain;
        QTest::newRow("one on") << old + "Napoveda=1\n" << "0 1 0 cs" << plain;
        QTest::newRow("explicit Czech") << old + "Jazyk=cs\n" << "0 0 0 cs" << plain;
        QTest::newRow("unknown language") << old + "Jazyk=de\n" << "0 0 0 cs" << plain;
        QTest::newRow("language in capitals") << old + "Jazyk=EN\n" << "0 0 0 cs" << plain;
        QTest::newRow("yes is off") << old + "Vraceni=yes\nPosledniTah=true\n" << "0 0 0 cs" << plain;
        QTest::newRow("list is its default, quietly") << old + "Vraceni=1, 1\nJazyk=en\n" << "0 0 0 en" << plain;
        QTest::newRow("byte array is its default") << old + "Jazyk=@ByteArray(en)\nNapoveda=1\n" << "0 1 0 cs" << plain;
        QTest::newRow("alone in the store") << QByteArray("PosledniTah=1\n") << "0 0 1 cs" << Defaults;
    }

    void comfortOptionsLoad()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        QFETCH(QString, others);
        WriteStore(content);
        TGameState state = Scrambled();
        state.UndoEnabled = state.HintsEnabled = state.LastMoveEnabled = state.Language = 0x55;
        std::optional<bool> hex3d;
        LoadSettings(state, [&](bool on) { hex3d = on; }, [this](const QString& text) { notices_ << text; });
        QCOMPARE(QStringLiteral("%1 %2 %3 %4")
                     .arg(state.UndoEnabled)
                     .arg(state.HintsEnabled)
                     .arg(state.LastMoveEnabled)
                     .arg(LanguageToSetting(state.Language)),
                 expected);
        QCOMPARE(Describe(state, hex3d), others);
        QVERIFY(notices_.isEmpty());

        // Written back as read, beside the others.
        QCOMPARE(SaveError(state, *hex3d), QString());
        TGameState again = Scrambled();
        LoadSettings(again, {}, {});
        QCOMPARE(QStringLiteral("%1 %2 %3 %4")
                     .arg(again.UndoEnabled)
                     .arg(again.HintsEnabled)
                     .arg(again.LastMoveEnabled)
                     .arg(LanguageToSetting(again.Language)),
                 expected);
    }

    void flagTexts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("on");
        QTest::newRow("1") << "1" << true;
        for (const char* text : {"0", "yes", "", "1 ", " 1", "01", "true", "TRUE", "11", "2"})
            QTest::newRow(qPrintable(QStringLiteral("'%1'").arg(QLatin1String(text)))) << QString::fromLatin1(text) << false;
    }

    void flagTexts()
    {
        QFETCH(QString, text);
        QFETCH(bool, on);
        QCOMPARE(SettingToBool(text), on);
    }

    void flagBytes()
    {
        QCOMPARE(BoolToSetting(1), QStringLiteral("1"));
        for (int flag : {0, 2, 0x55, 255})
            QCOMPARE(BoolToSetting(std::uint8_t(flag)), QStringLiteral("0"));
    }

    void boardSizesStayOnTheBoard_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("size");
        const QList<QPair<const char*, int>> rows = {
            {"3", 4}, {"0", 4}, {"-5", 4}, {"-0", 4}, {"11", 10}, {"255", 10}, {"256", 10}, {"260", 10},
            {"99999999999999999999", 10}, {"-99999999999999999999", 4}, {"4", 4}, {"10", 10}, {"7", 7}, {"+7", 7}, {"007", 7}};
        for (const auto& [text, size] : rows)
            QTest::newRow(text) << QString::fromLatin1(text) << size;
    }

    void boardSizesStayOnTheBoard()
    {
        QFETCH(QString, text);
        QFETCH(int, size);
        WriteSetting(QStringLiteral("Sirka"), text);
        WriteSetting(QStringLiteral("Vyska"), text);
        Touch();
        QCOMPARE(Load(), QStringLiteral("Sound=1 Music=1 MMX=1 Sirka=%1 Vyska=%1 3Dhex=1").arg(size));
    }

    // A failing step is reported; what it read before stays, and everything
    // after it holds its default.
    void loadFailures_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("expected");
        const QByteArray others = "Sirka=5\nVyska=6\n3Dhex=0\n";
        QTest::newRow("list") << "Sound=1, 2\nMusic=0\nMMX=0\n" + others << "Invalid data type for 'Sound'" << Defaults;
        QTest::newRow("byte array") << "Sound=0\nMusic=@ByteArray(x)\nMMX=0\n" + others << "Invalid data type for 'Music'"
                                    << "Sound=0 Music=1 MMX=1 Sirka=10 Vyska=10 3Dhex=1";
        QTest::newRow("damaged variant") << "Sound=0\nMusic=0\nMMX=@Variant(garbage)\n" + others << "Invalid data type for 'MMX'"
                                         << "Sound=0 Music=0 MMX=1 Sirka=10 Vyska=10 3Dhex=1";
        QTest::newRow("width not a number") << QByteArray("Sound=0\nMusic=0\nMMX=0\nSirka=abc\nVyska=6\n3Dhex=0\n")
                                            << "'abc' is not a valid integer value" << "Sound=0 Music=0 MMX=0 Sirka=10 Vyska=10 3Dhex=1";
        QTest::newRow("width with a fraction") << QByteArray("Sirka=7.5\n") << "'7.5' is not a valid integer value" << Defaults;
        QTest::newRow("width in hex") << QByteArray("Sirka=0x7\n") << "'0x7' is not a valid integer value" << Defaults;
        QTest::newRow("width with a blank") << QByteArray("Sirka=\" 7\"\n") << "' 7' is not a valid integer value" << Defaults;
        QTest::newRow("width just a sign") << QByteArray("Sirka=-\n") << "'-' is not a valid integer value" << Defaults;
        QTest::newRow("empty height") << QByteArray("Sirka=6\nVyska=\n3Dhex=0\n") << "'' is not a valid integer value"
                                      << "Sound=1 Music=1 MMX=1 Sirka=6 Vyska=10 3Dhex=1";
        QTest::newRow("height a rectangle") << QByteArray("Sirka=6\nVyska=@Rect(1 2 3 4)\n") << "Invalid data type for 'Vyska'"
                                            << "Sound=1 Music=1 MMX=1 Sirka=6 Vyska=10 3Dhex=1";
        QTest::newRow("raised cells a list") << QByteArray("Sound=0\nMusic=0\nMMX=0\nSirka=5\nVyska=6\n3Dhex=1,1\n") << "Invalid data type for '3Dhex'"
                                             << "Sound=0 Music=0 MMX=0 Sirka=5 Vyska=6 3Dhex=1";
    }

    void loadFailures()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        QFETCH(QString, expected);
        WriteStore(content);
        QString error;
        QCOMPARE(Load(&error), expected);
        QCOMPARE(error, message);
    }

    void readSettingFailsOnlyForNonText()
    {
        WriteStore("Sound=1, 2\nMusic=\"1, 2\"\n");
        QCOMPARE(ReadSetting(QStringLiteral("Music"), QStringLiteral("x")), QStringLiteral("1, 2"));
        try {
            ReadSetting(QStringLiteral("Sound"), QStringLiteral("1"));
            QFAIL("a list was read as text");
        } catch (const Exception& e) {
            QCOMPARE(e.Message, QStringLiteral("Invalid data type for 'Sound'"));
        }
    }

    // Another file of the organisation is not this application's key.
    void onlyTheApplicationsOwnStoreIsRead()
    {
        QFile shared(config_.path() + QStringLiteral("/Brantek.conf"));
        QVERIFY(shared.open(QIODevice::WriteOnly));
        shared.write("[General]\nMusic=0\nSirka=5\n");
        shared.close();
        QCOMPARE(Load(), Defaults);
    }

    void unwritablePlaces_data()
    {
        QTest::addColumn<QString>("place");
        QTest::addColumn<QByteArray>("stored");
        const QByteArray plain = "[General]\nMusic=0\n";
        QTest::newRow("folder is a file") << "folder is a file" << plain;
        QTest::newRow("store is a folder") << "store is a folder" << QByteArray();
        QTest::newRow("read-only folder") << "read-only folder" << plain;
        QTest::newRow("read-only store") << "read-only store" << plain;
    }

    // Loading falls back quietly; saving reports the refusal and leaves
    // whatever was there untouched.
    void unwritablePlaces()
    {
        QFETCH(QString, place);
        QFETCH(QByteArray, stored);
        const bool readOnlyFolder = place == QLatin1String("read-only folder");
        QString expectedLoad = Defaults;
        if (place == QLatin1String("folder is a file")) {
            QFile blocker(folder_);
            QVERIFY(blocker.open(QIODevice::WriteOnly));
            blocker.write(stored);
        } else if (place == QLatin1String("store is a folder")) {
            QVERIFY(QDir().mkpath(file_));
        } else {
            WriteStore(stored);
            expectedLoad = QStringLiteral("Sound=1 Music=0 MMX=1 Sirka=10 Vyska=10 3Dhex=1");
            const QString target = readOnlyFolder ? folder_ : file_;
            QVERIFY(QFile::setPermissions(target, readOnlyFolder ? QFileDevice::ReadOwner | QFileDevice::ExeOwner : QFileDevice::ReadOwner));
            QFile probe(readOnlyFolder ? folder_ + QStringLiteral("/probe") : file_);
            if (probe.open(readOnlyFolder ? QIODevice::WriteOnly : QIODevice::ReadWrite)) {
                probe.close();
                if (readOnlyFolder)
                    probe.remove();
                QSKIP("permissions do not bind this user (root)");
            }
        }
        QCOMPARE(Load(), expectedLoad);
        if (readOnlyFolder)
            Touch(); // changed since it was loaded, so the save reads it anew
        TGameState state;
        state.BoardWidth = state.BoardHeight = 8;
        QCOMPARE(SaveError(state, true), QStringLiteral("Failed to set data for 'Sound'"));
        if (place == QLatin1String("folder is a file")) {
            QFile blocker(folder_);
            QVERIFY(blocker.open(QIODevice::ReadOnly));
            QCOMPARE(blocker.readAll(), stored);
        } else if (place == QLatin1String("store is a folder")) {
            QVERIFY(QFileInfo(file_).isDir());
        } else {
            QCOMPARE(StoreContent(), stored);
            // The refused value is not read back as if it were stored.
            QCOMPARE(ReadSetting(QStringLiteral("Sound"), QStringLiteral("<none>")), QStringLiteral("<none>"));
            QCOMPARE(Load(), expectedLoad);
            // Once the place is writable again, saving works.
            QVERIFY(QFile::setPermissions(readOnlyFolder ? folder_ : file_, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
            QCOMPARE(SaveError(state, true), QString());
            Touch();
            QCOMPARE(Load(), QStringLiteral("Sound=0 Music=0 MMX=0 Sirka=8 Vyska=8 3Dhex=1"));
        }
    }

    // A file the store cannot read cleanly is moved aside whole, the user is
    // told where it went, what still reads cleanly is used, and the next
    // save writes a fresh file.
    void damagedStoreIsMovedAside_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("expected");
        QTest::newRow("line without =") << QByteArray("[General]\nSound=0\nMusic=0\nSirka 7\nVyska=6\n")
                                        << "Sound=0 Music=0 MMX=1 Sirka=10 Vyska=6 3Dhex=1";
        QTest::newRow("hash comment") << QByteArray("[General]\n# mine\nMusic=0\n") << "Sound=1 Music=0 MMX=1 Sirka=10 Vyska=10 3Dhex=1";
        QTest::newRow("text before a ; comment") << QByteArray("Music=0\nbroken ; note\n") << "Sound=1 Music=0 MMX=1 Sirka=10 Vyska=10 3Dhex=1";
        QTest::newRow("in another section") << QByteArray("Music=0\n[Notes]\nremember this\n") << "Sound=1 Music=0 MMX=1 Sirka=10 Vyska=10 3Dhex=1";
        QTest::newRow("quote closed too late") << QByteArray("Music=0\n\"Sound=1\"\n") << "Sound=1 Music=0 MMX=1 Sirka=10 Vyska=10 3Dhex=1";
        QTest::newRow("section without bracket") << QByteArray("[General\nSound=0\nNote=kept\n") << "Sound=0 Music=1 MMX=1 Sirka=10 Vyska=10 3Dhex=1";
        QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF[General]\nSound=0\nNote=kept\n") << "Sound=0 Music=1 MMX=1 Sirka=10 Vyska=10 3Dhex=1";
        QTest::newRow("binary") << QByteArray("\0\x01\x02\xFF\n", 5) << Defaults;
        // The quote runs to the end of the file and takes the sizes with it.
        QTest::newRow("unclosed quote") << QByteArray("[General]\nSound=\"1\nMusic=0\nSirka=6\nVyska=5\n") << Defaults;
        QTest::newRow("line break in a size") << QByteArray("Music=0\nSirka=\"6\n7\"\nVyska=5\n")
                                              << "Sound=1 Music=0 MMX=1 Sirka=10 Vyska=5 3Dhex=1";
    }

    void damagedStoreIsMovedAside()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, expected);
        WriteStore(content);
        QCOMPARE(Load(), expected);

        const QString aside = file_ + QStringLiteral(".poskozeny");
        QCOMPARE(notices_.size(), 1);
        QVERIFY2(notices_.front().contains(QDir::toNativeSeparators(aside)), qPrintable(notices_.front()));
        QVERIFY(!QFileInfo::exists(file_));
        QFile kept(aside);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), content);
        kept.close();

        TGameState state;
        state.BoardWidth = 6;
        state.BoardHeight = 5;
        QCOMPARE(SaveError(state, true), QString());
        QSettings fresh(file_, QSettings::IniFormat);
        QCOMPARE(fresh.allKeys().size(), int(SettingsToSave(state, true).size()));
        QCOMPARE(fresh.value(QStringLiteral("Sirka")).toString(), QStringLiteral("6"));
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), content);
        // Once is enough: the fresh file loads without a word.
        notices_.clear();
        QCOMPARE(Load(), QStringLiteral("Sound=0 Music=0 MMX=0 Sirka=6 Vyska=5 3Dhex=1"));
        QVERIFY(notices_.isEmpty());
    }

    // A damaged file that cannot be moved aside is read as far as it goes and
    // never saved over; once its folder is writable again, the next start
    // moves it aside and saving works.
    void damagedStoreInReadOnlyFolder()
    {
        const QByteArray content = "\xEF\xBB\xBF[General]\nMusic=0\n";
        WriteStore(content);
        QVERIFY(QFile::setPermissions(folder_, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        QCOMPARE(Load(), QStringLiteral("Sound=1 Music=0 MMX=1 Sirka=10 Vyska=10 3Dhex=1"));
        QCOMPARE(notices_.size(), 1);
        QVERIFY(!notices_.front().contains(QStringLiteral("poskozeny")));
        TGameState state;
        state.BoardWidth = state.BoardHeight = 8;
        QCOMPARE(SaveError(state, true), QStringLiteral("Failed to set data for 'Sound'"));
        QCOMPARE(StoreContent(), content);

        QVERIFY(QFile::setPermissions(folder_, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        Touch();
        notices_.clear();
        QCOMPARE(Load(), QStringLiteral("Sound=1 Music=0 MMX=1 Sirka=10 Vyska=10 3Dhex=1"));
        QCOMPARE(notices_.size(), 1);
        QVERIFY(notices_.front().contains(QStringLiteral("Zelvon.conf.poskozeny")));
        QCOMPARE(SaveError(state, true), QString());
        Touch();
        QCOMPARE(Load(), QStringLiteral("Sound=0 Music=0 MMX=0 Sirka=8 Vyska=8 3Dhex=1"));
    }

    void damagedFilesAsideAreNumbered()
    {
        for (const char* name : {"Zelvon.conf.poskozeny", "Zelvon.conf.poskozeny.1"}) {
            WriteStore(QByteArray("Sound=\"") + name + "\n");
            QCOMPARE(Load(), Defaults);
            QVERIFY(QFileInfo::exists(folder_ + QLatin1Char('/') + QLatin1String(name)));
        }
        QCOMPARE(notices_.size(), 2);
        QVERIFY(notices_[1].contains(QStringLiteral("Zelvon.conf.poskozeny.1")));
        QFile first(file_ + QStringLiteral(".poskozeny"));
        QVERIFY(first.open(QIODevice::ReadOnly));
        QCOMPARE(first.readAll(), QByteArray("Sound=\"Zelvon.conf.poskozeny\n"));
    }

#if defined(Q_OS_UNIX)
    // What cannot be read at all is said at start; the defaults serve, and
    // the thing is neither waited on nor replaced.
    void unreadableStoreIsReportedAtStart_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("named pipe") << "fifo";
        QTest::newRow("folder") << "folder";
        QTest::newRow("no read permission") << "unreadable";
    }

    void unreadableStoreIsReportedAtStart()
    {
        QFETCH(QString, kind);
        QVERIFY(QDir().mkpath(folder_));
        if (kind == QLatin1String("fifo")) {
            QCOMPARE(::mkfifo(QFile::encodeName(file_).constData(), 0600), 0);
        } else if (kind == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(file_));
        } else {
            WriteStore("[General]\nSirka=6\n");
            QVERIFY(QFile::setPermissions(file_, QFileDevice::WriteOwner));
        }
        QCOMPARE(Load(), Defaults);
        QCOMPARE(notices_.size(), 1);
        QVERIFY2(notices_.front().contains(QDir::toNativeSeparators(file_)), qPrintable(notices_.front()));
        QCOMPARE(ReadSetting(QStringLiteral("Sirka"), QStringLiteral("<none>")), QStringLiteral("<none>"));
        TGameState state;
        state.BoardWidth = state.BoardHeight = 8;
        QCOMPARE(SaveError(state, true), QStringLiteral("Failed to set data for 'Sound'"));
        const QFileInfo after(file_);
        QCOMPARE(after.isDir(), kind == QLatin1String("folder"));
        QCOMPARE(after.isFile(), kind == QLatin1String("unreadable"));
        QVERIFY(OtherFiles().isEmpty());
        if (kind == QLatin1String("fifo"))
            QFile::remove(file_);
    }

    // A save killed at any moment leaves the previous file or the new one,
    // never a mixture; what a killed save left behind goes at a later save
    // once it is old.
    void saveCutOffLeavesOldOrNew()
    {
        TGameState before;
        before.SoundEnabled = before.MusicEnabled = before.MmxEnabled = 0;
        before.BoardWidth = 4;
        before.BoardHeight = 5;
        TGameState after;
        after.BoardWidth = 9;
        after.BoardHeight = 8;
        const TSettingValues old = SettingsToSave(before, false);
        const TSettingValues fresh = SettingsToSave(after, true);

        // How long one save takes here, so that the kills fall across it.
        const auto started = std::chrono::steady_clock::now();
        for (int i = 0; i < 5; ++i)
            WriteSettings(i % 2 ? fresh : old);
        const auto save = (std::chrono::steady_clock::now() - started) / 5;
        const int span = int(std::chrono::duration_cast<std::chrono::microseconds>(save).count()) * 3 + 200;

        std::mt19937 random(17);
        int copies = 0;
        for (int round = 0; round < 40; ++round) {
            WriteSettings(old);
            const pid_t child = ::fork();
            QVERIFY(child >= 0);
            if (child == 0) {
                try {
                    WriteSettings(fresh);
                } catch (...) {
                    ::_exit(1);
                }
                ::_exit(0);
            }
            // The last round lets the save finish.
            if (round < 39) {
                ::usleep(useconds_t(std::uniform_int_distribution<int>(0, span)(random)));
                ::kill(child, SIGKILL);
            }
            int status = 0;
            QCOMPARE(::waitpid(child, &status, 0), child);
            if (round == 39)
                QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);

            // Read through a copy: QSettings keeps files it has read in memory
            // while their size and time stay the same.
            const QString copy = config_.filePath(QStringLiteral("copy-%1.conf").arg(++copies));
            QVERIFY(QFile::copy(file_, copy));
            QSettings stored(copy, QSettings::IniFormat);
            TSettingValues found;
            for (const auto& value : old)
                found << std::pair(value.first, stored.value(value.first).toString());
            QVERIFY2(found == old || found == fresh, qPrintable(QStringLiteral("round %1: a mixture").arg(round)));
            if (round == 39)
                QVERIFY(found == fresh);
        }

        // Whatever the kills left: once old, the next save removes it; our
        // lock, a file of the user's and young ones stay.
        const QString young = file_ + QStringLiteral(".Young1");
        const QString mine = file_ + QStringLiteral(".poskozeny");
        for (const QString& path : {young, mine}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const QDateTime longAgo = QDateTime::currentDateTime().addDays(-1);
        for (const QString& name : OtherFiles()) {
            const QString path = folder_ + QLatin1Char('/') + name;
            if (path == young)
                continue;
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite));
            QVERIFY(file.setFileTime(longAgo, QFileDevice::FileModificationTime));
        }
        WriteSettings(old);
        QStringList left = OtherFiles();
        left.sort();
        QCOMPARE(left, (QStringList{QStringLiteral("Zelvon.conf.Young1"), QStringLiteral("Zelvon.conf.poskozeny")}));
    }
#endif

    // Odd but whole: every line is understood, so saving goes ahead and
    // keeps the values the program does not know.
    void harmlessOdditiesAreSavedOver_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("note");
        QTest::newRow("; comments and blanks") << QByteArray("; by hand\n\n  \t\n[General]\nSound=0\nNote=kept ; aside\n") << "kept";
        QTest::newRow("continued line") << QByteArray("[General]\nSound=0\nNote=first \\\nsecond\n") << "first second";
        QTest::newRow("continued CR LF line") << QByteArray("[General]\r\nSound=0\r\nNote=a\\\r\nb\r\n") << "ab";
        QTest::newRow("quoted line break") << QByteArray("[General]\nNote=\"two\nlines\"\nSound=0\n") << "two\nlines";
        QTest::newRow("escaped quote") << QByteArray("[General]\nNote=\"say \\\"hi\\\"\"\nSound=0\n") << "say \"hi\"";
    }

    void harmlessOdditiesAreSavedOver()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, note);
        WriteStore(content);
        QCOMPARE(Load().left(7), QStringLiteral("Sound=0"));
        QVERIFY(notices_.isEmpty());
        Touch(); // changed since it was loaded, so the save reads it anew
        TGameState state;
        state.SoundEnabled = 1;
        state.BoardWidth = state.BoardHeight = 9;
        QCOMPARE(SaveError(state, true), QString());
        Touch();
        QCOMPARE(ReadSetting(QStringLiteral("Sound"), QStringLiteral("<none>")), QStringLiteral("1"));
        QCOMPARE(ReadSetting(QStringLiteral("Note"), QStringLiteral("<none>")), note);
    }

#if defined(Q_OS_UNIX)
    // A save replaces the file through a temporary file and a rename, never
    // rewriting it in place, and leaves nothing else behind.
    void saveReplacesTheFileWhole()
    {
        WriteStore("[General]\nSound=0\n");
        struct stat before {};
        QCOMPARE(::stat(QFile::encodeName(file_).constData(), &before), 0);
        TGameState state;
        state.BoardWidth = state.BoardHeight = 4;
        QCOMPARE(SaveError(state, true), QString());
        struct stat after {};
        QCOMPARE(::stat(QFile::encodeName(file_).constData(), &after), 0);
        QVERIFY(before.st_ino != after.st_ino);
        QCOMPARE(QDir(folder_).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{QStringLiteral("Zelvon.conf")});
    }
#endif
};

QTEST_GUILESS_MAIN(SettingsTest)
#include "SettingsTest.moc"
