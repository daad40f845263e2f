// Two real copies of the program over the loopback interface: this test
// process as the server and a second process of the same binary (started
// with --peer) as the client. They play a random game to the podium with the
// same final board on both sides, agree on or refuse a new game, and the
// server notices a client that quits, is killed or freezes, keeping its
// position for play at one computer. A computer player on the server plays
// its side through the network and never the client's.
#include "game/ComputerTurn.h"
#include "shell/Application.h"
#include "shell/DataFiles.h"
#include "tests/TestSupport.h"
#include "tests/game/NetTestProgram.h"

#include <QDir>
#include <QProcess>
#include <QSettings>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>

#if defined(Q_OS_UNIX)
#include <signal.h>
#include <unistd.h>
#endif

namespace {

// The second copy: a client that connects to `port` on the loopback
// interface, writes what happens as lines on its standard output ("game
// <n>", "podium <board>", "message <text>", "board <board>") and takes
// commands on its standard input ("play", "idle", "restart", "quit",
// "board"). It ends when its input does.
int RunPeer(int argc, char** argv)
{
    TApplication application(argc, argv);
    const quint16 port = static_cast<quint16>(QByteArray(argv[2]).toUInt());
    const bool accept = QByteArray(argv[3]) == "accept";
    const auto say = [](const QByteArray& line) {
        std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    };
    SetDataDirectories({QStringLiteral(ZELVON_TEST_DATA_DIR)});
    SetErrorReporter([&](const QString& message) { say("error " + message.toUtf8()); });
    // Its own board size, which the server's replaces.
    StoreQuietSettings(7);

    TNetProgram program;
    TModalCloser closer(program);
    closer.AcceptNewGame = accept;
    closer.OnMessage = [&](const QString& text) { say("message " + text.simplified().toUtf8()); };
    closer.OnPodium = [&](const QByteArray& board) { say("podium " + board); };
    if (!program.Start())
        return 2;
    TRandomPlayer player(program, 7);
    player.On = false;

    int shownGame = 0;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (program.Net().Playing() && !program.Form1.Busy() && program.Session().Game().Number != shownGame) {
            shownGame = program.Session().Game().Number;
            say("game " + QByteArray::number(shownGame) + ' ' + BoardText(program.Game()));
        }
    });
    watch.start(5);

    const auto obey = [&](const QByteArray& line) {
        if (line == "play")
            player.On = true;
        else if (line == "idle")
            player.On = false;
        else if (line == "restart")
            program.Form1.Button1->click();
        else if (line == "quit")
            program.Form1.BitBtn1->click();
        else if (line == "board")
            say("board " + BoardText(program.Game()));
    };
    // Read straight from the descriptor: several commands may come in one
    // piece, and the notifier tells of the piece only once.
    QByteArray pending;
    QSocketNotifier input(0, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char bytes[256];
        const auto count = ::read(0, bytes, sizeof bytes);
        if (count <= 0) {
            input.setEnabled(false);
            QCoreApplication::exit(0);
            return;
        }
        pending.append(bytes, count);
        for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
            const QByteArray line = pending.left(end);
            pending.remove(0, end + 1);
            // A command may open a modal window; the rest waits for the loop.
            QTimer::singleShot(0, [&, line] { obey(line); });
        }
    });
    program.Turn(false, port);
    return application.exec();
}

// The second copy seen from the test: its lines and its commands.
class TPeerProcess {
public:
    bool Start(quint16 port, bool accept, const QString& configFolder)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configFolder);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process_.setProcessEnvironment(environment);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(QCoreApplication::applicationFilePath(),
                       {QStringLiteral("--peer"), QString::number(port),
                        accept ? QStringLiteral("accept") : QStringLiteral("refuse")});
        return process_.waitForStarted(10000);
    }

    void Send(const QByteArray& command)
    {
        process_.write(command + '\n');
        process_.waitForBytesWritten(1000);
    }

    // The first line from `from` on that starts with `prefix` (the prefix
    // taken off); empty after `ms` without one.
    QByteArray WaitLine(const QByteArray& prefix, int ms = 20000, int from = 0)
    {
        QByteArray found;
        (void)QTest::qWaitFor(
            [&] {
                Read();
                for (int i = from; i < lines_.size(); ++i)
                    if (lines_[i].startsWith(prefix)) {
                        found = lines_[i].mid(prefix.size());
                        return true;
                    }
                return false;
            },
            ms);
        return found;
    }

    int LineCount()
    {
        Read();
        return static_cast<int>(lines_.size());
    }

    QProcess& Process() { return process_; }

    ~TPeerProcess()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }

private:
    void Read()
    {
        while (process_.canReadLine())
            lines_.push_back(process_.readLine().trimmed());
    }

    QProcess process_;
    QList<QByteArray> lines_;
};

} // namespace

class NetPlayTest : public QObject {
    Q_OBJECT

    QTemporaryDir config_;
    QTemporaryDir peerConfig_;
    QStringList errors_;

    // This copy listening on a free port with its own board size.
    bool Listen(TNetProgram& program)
    {
        program.Turn(true, 0);
        return program.Session().State() == TNetSession::nsListening && program.Form1.NetStatus->isVisible()
            && program.Form1.NetStatus->text().startsWith(QString::fromUtf8("Čekám na soupeře…"));
    }

    // The peer connected and its first game laid out on both sides.
    bool Connect(TNetProgram& program, TPeerProcess& peer, bool accept)
    {
        return peer.Start(program.Session().ListeningPort(), accept, peerConfig_.path())
            && QTest::qWaitFor([&] { return program.Net().Playing() && !program.Form1.Busy(); }, 20000)
            && !peer.WaitLine("game 1 ").isEmpty();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(config_.isValid() && peerConfig_.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()));
        SetDataDirectories({QStringLiteral(ZELVON_TEST_DATA_DIR)});
        SetErrorReporter([this](const QString& message) { errors_ << message; });
    }

    void init()
    {
        errors_.clear();
        StoreQuietSettings(5);
        WriteSettings({{QStringLiteral("CervenyHrac"), QStringLiteral("0")}, {QStringLiteral("ModryHrac"), QStringLiteral("0")}});
    }

    void cleanup() { QVERIFY2(errors_.isEmpty(), qPrintable(errors_.join(u'\n'))); }

    // A whole random game: the client's board takes the server's size, both
    // podiums show the same board, and Konec on the client ends the
    // connection politely, the server back at one computer.
    void randomGameToThePodium()
    {
        TNetProgram program;
        QVERIFY(program.Start());
        TModalCloser closer(program);
        QVERIFY(Listen(program));
        TPeerProcess peer;
        QVERIFY(Connect(program, peer, true));
        QCOMPARE(peer.WaitLine("game 1 ").left(4), QByteArray("5x5 "));
        QVERIFY(program.Form1.NetStatus->text().contains(QString::fromUtf8("červené")));

        TRandomPlayer player(program, 11);
        peer.Send("play");
        const QByteArray peerPodium = peer.WaitLine("podium ", 60000);
        QVERIFY(!peerPodium.isEmpty());
        QVERIFY(QTest::qWaitFor([&] { return !closer.PodiumBoards.empty(); }, 20000));
        QCOMPARE(closer.PodiumBoards.front(), peerPodium);
        QVERIFY(player.Moves > 0);
        // Both podiums closed: the server deals the next game by itself.
        QVERIFY(!peer.WaitLine("game 2 ").isEmpty());
        player.On = false;
        peer.Send("idle");
        QVERIFY(program.WaitIdle());

        peer.Send("quit");
        QVERIFY(peer.Process().waitForFinished(20000));
        QCOMPARE(peer.Process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(peer.Process().exitCode(), 0);
        QVERIFY(QTest::qWaitFor([&] { return !closer.Messages.isEmpty(); }, 10000));
        QVERIFY2(closer.Messages.front().startsWith(QString::fromUtf8("Soupeř ukončil hru.")),
                 qPrintable(closer.Messages.front()));
        QVERIFY(!program.Net().Active());
        QCOMPARE(program.Game().NetworkPlay, 0);
        QVERIFY(program.Form1.NetStatus->isHidden());
        // The client wrote its own board size on the way out, not the
        // server's, and remembered where it played.
        QSettings written(peerConfig_.path() + QStringLiteral("/Brantek/Zelvon.conf"), QSettings::IniFormat);
        QCOMPARE(written.value(QStringLiteral("Sirka")).toString(), QStringLiteral("7"));
        QCOMPARE(written.value(QStringLiteral("SitServer")).toString(), QStringLiteral("0"));
        QCOMPARE(written.value(QStringLiteral("SitAdresa")).toString(), QStringLiteral("127.0.0.1"));
    }

    // A computer player set for a side plays it only where that side is
    // this copy's: on the server's Red it plays the whole game through the
    // network, on Blue (the client's side) it never thinks.
    void computerPlayerOnOneSide_data()
    {
        QTest::addColumn<bool>("onRed");
        QTest::newRow("server's own side") << true;
        QTest::newRow("the peer's side") << false;
    }

    void computerPlayerOnOneSide()
    {
        QFETCH(bool, onRed);
        WriteSettings({{QStringLiteral("CervenyHrac"), onRed ? QStringLiteral("1") : QStringLiteral("0")},
                       {QStringLiteral("ModryHrac"), onRed ? QStringLiteral("0") : QStringLiteral("1")},
                       {QStringLiteral("Inteligence"), QStringLiteral("1")}});
        TNetProgram program;
        QVERIFY(program.Start());
        program.Form1.ComputerTurn().SetPauses(5, 2);
        std::vector<int> thoughtFor;
        connect(&program.Form1.ComputerTurn(), &TComputerTurn::ThinkingStarted, this,
                [&] { thoughtFor.push_back(program.Form1.ComputerTurn().SideToMove()); });
        TModalCloser closer(program);
        QVERIFY(Listen(program));
        TPeerProcess peer;
        QVERIFY(Connect(program, peer, true));
        TRandomPlayer player(program, 13);
        player.On = !onRed;
        peer.Send("play");
        const QByteArray peerPodium = peer.WaitLine("podium ", 60000);
        QVERIFY(!peerPodium.isEmpty());
        QVERIFY(WaitUntil([&] { return !closer.PodiumBoards.empty(); }, 20000));
        QCOMPARE(closer.PodiumBoards.front(), peerPodium);
        QCOMPARE(player.Moves > 0, !onRed);
        QCOMPARE(thoughtFor.empty(), !onRed);
        QVERIFY(std::all_of(thoughtFor.begin(), thoughtFor.end(), [](int side) { return side == 0; }));
        QVERIFY(closer.Messages.isEmpty());
    }

    // Restart on one side asks the other; a yes deals game 2 on both, a no
    // keeps the game and tells the asker.
    void restartAgreement_data()
    {
        QTest::addColumn<bool>("serverAsks");
        QTest::addColumn<bool>("accept");
        QTest::newRow("server asks, yes") << true << true;
        QTest::newRow("server asks, no") << true << false;
        QTest::newRow("client asks, yes") << false << true;
        QTest::newRow("client asks, no") << false << false;
    }

    void restartAgreement()
    {
        QFETCH(bool, serverAsks);
        QFETCH(bool, accept);
        TNetProgram program;
        QVERIFY(program.Start());
        TModalCloser closer(program);
        closer.AcceptNewGame = accept;
        QVERIFY(Listen(program));
        TPeerProcess peer;
        QVERIFY(Connect(program, peer, accept));
        // A move or two, so a new game is visibly new.
        TRandomPlayer player(program, 5);
        peer.Send("play");
        QVERIFY(QTest::qWaitFor([&] { return program.Session().Match().Plies() >= 2; }, 20000));
        player.On = false;
        peer.Send("idle");
        QVERIFY(program.WaitIdle());
        QTest::qWait(50);
        QVERIFY(program.WaitIdle());

        const int peerLines = peer.LineCount();
        if (serverAsks) {
            program.Form1.Button1->click();
            QVERIFY(program.Form1.NetStatus->text().contains(QString::fromUtf8("odpověď")));
        } else {
            peer.Send("restart");
        }
        if (accept) {
            QVERIFY(!peer.WaitLine("game 2 ").isEmpty());
            QVERIFY(QTest::qWaitFor([&] { return program.Session().Game().Number == 2 && program.WaitIdle(); }, 20000));
            const TPieceCount count = CountPieces(program.Game().GameBoard, program.Game().Size());
            QCOMPARE(count.Red + count.Blue, 2);
            QVERIFY(program.Net().Playing());
        } else if (serverAsks) {
            QVERIFY(QTest::qWaitFor([&] { return !closer.Messages.isEmpty(); }, 20000));
            QCOMPARE(closer.Messages.front(), QString::fromUtf8("Soupeř novou hru odmítl. Hraje se dál."));
        } else {
            QVERIFY(!peer.WaitLine("message Soupeř novou hru odmítl", 20000, peerLines).isEmpty());
        }
        if (!accept) {
            QCOMPARE(program.Session().Game().Number, 1);
            QVERIFY(program.Session().Match().Plies() >= 2);
            QVERIFY(program.Net().Playing());
        }
        QCOMPARE(closer.Questions, serverAsks ? 0 : 1);
    }

    // A client killed or frozen mid-game: the server reports the lost
    // connection, keeps the position and plays on at one computer.
    void lostPeer_data()
    {
        QTest::addColumn<bool>("freeze");
        QTest::newRow("killed") << false;
#if defined(Q_OS_UNIX)
        QTest::newRow("frozen") << true;
#endif
    }

    void lostPeer()
    {
        QFETCH(bool, freeze);
        TNetProgram program;
        QVERIFY(program.Start());
        TModalCloser closer(program);
        QVERIFY(Listen(program));
        TPeerProcess peer;
        QVERIFY(Connect(program, peer, true));
        TRandomPlayer player(program, 3);
        peer.Send("play");
        QVERIFY(QTest::qWaitFor([&] { return program.Session().Match().Plies() >= 3; }, 20000));
        player.On = false;
        peer.Send("idle");
        QTest::qWait(200);
        QVERIFY(program.WaitIdle());
        const TGameState before = program.Game();
        const std::size_t podiums = closer.PodiumBoards.size();

#if defined(Q_OS_UNIX)
        if (freeze)
            ::kill(static_cast<pid_t>(peer.Process().processId()), SIGSTOP);
        else
#endif
            peer.Process().kill();
        QElapsedTimer clock;
        clock.start();
        QVERIFY(QTest::qWaitFor([&] { return !closer.Messages.isEmpty(); }, 15000));
        QVERIFY2(closer.Messages.front().startsWith(QString::fromUtf8("Spojení se soupeřem se přerušilo.")),
                 qPrintable(closer.Messages.front()));
        qInfo("lost peer noticed after %lld ms", static_cast<long long>(clock.elapsed()));
        QCOMPARE(program.Game().GameBoard, before.GameBoard);
        QCOMPARE(program.Game().CurrentPlayer, before.CurrentPlayer);
        QCOMPARE(program.Game().NetworkPlay, 0);
        QVERIFY(!program.Net().Active());

        // The side to move plays on at this computer.
        // A pick hands the turn indicator over already.
        const TColor mover = before.SelectionState != 0 ? (before.SelectionState == 2 ? clRed : clBlue)
                             : before.CurrentPlayer == 0 ? clRed
                                                         : clBlue;
        const std::vector<TMove> moves = GenerateMoves(before.GameBoard, before.Size(), mover);
        QVERIFY(!moves.empty());
        program.Press(moves.front().From);
        program.Press(moves.front().To);
        QVERIFY(program.WaitIdle());
        // The move may win the game: the podium shows the board it left.
        QVERIFY(closer.PodiumBoards.size() <= podiums + 1);
        const QByteArray board = closer.PodiumBoards.size() == podiums ? BoardText(program.Game()) : closer.PodiumBoards.back();
        const int index = 4 + (moves.front().To.X - 1) * before.BoardHeight + (moves.front().To.Y - 1);
        QCOMPARE(board.at(index), mover == clRed ? 'R' : 'B');
    }
};

int main(int argc, char** argv)
{
    if (argc >= 4 && qstrcmp(argv[1], "--peer") == 0)
        return RunPeer(argc, argv);
    TApplication application(argc, argv);
    NetPlayTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "NetPlayTest.moc"
