// The program as a server, turned on through the settings dialog, facing a
// peer that breaks the rules from a bare socket: garbage, oversized frames,
// unknown messages, illegal and out-of-turn moves, a wrong version, a board
// that disagrees, a slow trickle of bytes. The program stays up, tells the
// player (a message box during a game, the status line while waiting), and
// its board stays as it was.
#include "shell/Application.h"
#include "shell/DataFiles.h"
#include "tests/game/NetTestProgram.h"
#include "tests/net/NetTestSupport.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include "shell/NetPanel.h"

namespace {

quint16 FreePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::Any, 0) ? probe.serverPort() : 0;
}

enum TFault {
    fGarbage,
    fWrongVersion,
    fWrongRole,
    fSlowTrickle,
    fOversized,
    fUnknownType,
    fHelloAgain,
    fIllegalMove,
    fOutOfTurn,
    fOtherGame,
    fWrongHash,
};

} // namespace

Q_DECLARE_METATYPE(TFault)

class NetHostileTest : public QObject {
    Q_OBJECT

    QTemporaryDir config_;
    QStringList errors_;

    // OK in the settings dialog with the box on, "Server" and `port`.
    static void ListenThroughTheDialog(TNetProgram& program, quint16 port)
    {
        TSetupDial& dial = program.SetupDial;
        QTimer::singleShot(0, &dial, [&dial, port] {
            dial.CheckBox5->click();
            dial.RadioButton2->click();
            dial.NetPanel->Edit2->setText(QString::number(port));
            dial.BitBtn1->click();
        });
        program.Form1.BitBtn2->click();
    }

    // The server's move through the window, read back by the peer.
    static bool ServerMoves(TNetProgram& program, TRawPeer& peer, TMatch& match)
    {
        const TGameState& game = program.Game();
        const std::vector<TMove> moves = GenerateMoves(game.GameBoard, game.Size(), clRed);
        if (moves.empty())
            return false;
        program.Press(moves.front().From);
        program.Press(moves.front().To);
        const TNetMessage* sent = peer.WaitFor(TNetMessageType::Move);
        if (!sent || std::get<TNetMove>(*sent).Move != moves.front())
            return false;
        match.Play(moves.front());
        return program.WaitIdle();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(config_.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()));
        SetDataDirectories({QStringLiteral(ZELVON_TEST_DATA_DIR)});
        SetErrorReporter([this](const QString& message) { errors_ << message; });
    }

    void init()
    {
        errors_.clear();
        StoreQuietSettings(5);
    }

    void cleanup() { QVERIFY2(errors_.isEmpty(), qPrintable(errors_.join(u'\n'))); }

    void hostilePeer_data()
    {
        QTest::addColumn<TFault>("fault");
        // What the player reads: in the status line while the server waits,
        // in a message box once a game runs.
        QTest::addColumn<QString>("told");
        QTest::newRow("garbage instead of a hello") << fGarbage << QString::fromUtf8("odmítnuto");
        QTest::newRow("wrong version") << fWrongVersion << QString::fromUtf8("jinou verzi");
        QTest::newRow("a second server") << fWrongRole << QString::fromUtf8("odmítnuto");
        QTest::newRow("slow trickle") << fSlowTrickle << QString::fromUtf8("příliš pomalu");
        QTest::newRow("oversized frame") << fOversized << QString::fromUtf8("neplatná data");
        QTest::newRow("unknown message") << fUnknownType << QString::fromUtf8("neplatná data");
        QTest::newRow("hello in a game") << fHelloAgain << QString::fromUtf8("neplatná data");
        QTest::newRow("illegal move") << fIllegalMove << QString::fromUtf8("neplatný tah");
        QTest::newRow("move out of turn") << fOutOfTurn << QString::fromUtf8("nebyl na tahu");
        QTest::newRow("move of another game") << fOtherGame << QString::fromUtf8("neplatná data");
        QTest::newRow("boards disagree") << fWrongHash << QString::fromUtf8("rozešla");
    }

    void hostilePeer()
    {
        QFETCH(TFault, fault);
        QFETCH(QString, told);
        TNetProgram program;
        QVERIFY(program.Start());
        TModalCloser closer(program);
        const quint16 port = FreePort();
        QVERIFY(port != 0);
        ListenThroughTheDialog(program, port);
        QVERIFY(program.WaitIdle());
        QCOMPARE(program.Session().State(), TNetSession::nsListening);
        QVERIFY(program.Form1.NetStatus->isVisible());
        QVERIFY(program.Form1.NetStatus->text().startsWith(QString::fromUtf8("Čekám na soupeře…")));
        const TGameBoard waiting = program.Game().GameBoard;

        TRawPeer peer;
        QVERIFY(peer.Connect(port));
        const bool handshake = fault == fGarbage || fault == fWrongVersion || fault == fWrongRole
                               || fault == fSlowTrickle;
        if (handshake) {
            TNetHello hello = HelloOf(TNetRole::Client);
            if (fault == fGarbage) {
                peer.SendBytes("GET / HTTP/1.1\r\nHost: zelvon\r\n\r\n");
            } else if (fault == fWrongVersion) {
                QByteArray frame = EncodeFrame(hello);
                // The version byte follows the type and "ZELVON".
                frame[NetFrameHeader + 7] = 9;
                peer.SendBytes(frame);
            } else if (fault == fWrongRole) {
                peer.Send(HelloOf(TNetRole::Server, {1, 5, 5, 0}));
            } else {
                for (const char byte : EncodeFrame(hello)) {
                    if (peer.Socket().state() != QAbstractSocket::ConnectedState)
                        break;
                    peer.SendBytes(QByteArray(1, byte));
                    QTest::qWait(150);
                }
            }
            QVERIFY(peer.WaitClosed(5000));
            QVERIFY(QTest::qWaitFor([&] { return program.Form1.NetStatus->text().contains(told); }, 5000));
            // Still waiting for a real opponent, nothing shown in a box.
            QCOMPARE(program.Session().State(), TNetSession::nsListening);
            QVERIFY2(closer.Messages.isEmpty(), qPrintable(closer.Messages.join(u'\n')));
            QCOMPARE(program.Game().GameBoard, waiting);
            QCOMPARE(program.Game().NetworkPlay, 1);
            return;
        }

        peer.Send(HelloOf(TNetRole::Client));
        const TNetMessage* reply = peer.WaitFor(TNetMessageType::Hello);
        QVERIFY(reply);
        const TNetGame game = std::get<TNetHello>(*reply).Game;
        QCOMPARE(game.Size().Width, 5);
        QVERIFY(QTest::qWaitFor([&] { return program.Net().Playing() && !program.Form1.Busy(); }, 10000));
        TMatch match;
        match.Start(game.Size(), game.FirstPlayer);
        // Faults that need Blue to move wait for the server's first move.
        const bool bluesTurn = fault == fOtherGame || fault == fWrongHash || fault == fIllegalMove;
        if (bluesTurn && match.SideToMove() == clRed)
            QVERIFY(ServerMoves(program, peer, match));
        if (fault == fOutOfTurn && match.SideToMove() == clBlue) {
            // A legal move first, shown like any other; the next is not.
            const TMove legal = GenerateMoves(match.Board(), match.Size(), clBlue).front();
            match.Play(legal);
            peer.Send(TNetMove{game.Number, legal, match.Hash()});
            QVERIFY(QTest::qWaitFor([&] { return program.Game().GameBoard == match.Board(); }, 5000));
            QVERIFY(program.WaitIdle());
        }
        const TGameBoard before = program.Game().GameBoard;
        QCOMPARE(before, match.Board());

        const std::vector<TMove> blueMoves = GenerateMoves(match.Board(), match.Size(), clBlue);
        QVERIFY(!blueMoves.empty());
        switch (fault) {
        case fOversized:
            peer.SendBytes(Hex("ffff") + QByteArray(64, 'x'));
            break;
        case fUnknownType:
            peer.SendBytes(Hex("0001 7f"));
            break;
        case fHelloAgain:
            peer.Send(HelloOf(TNetRole::Client));
            break;
        case fIllegalMove: {
            // From an empty cell in the middle.
            peer.Send(TNetMove{game.Number, {{3, 3}, {3, 4}}, 0});
            break;
        }
        case fOutOfTurn:
        case fWrongHash: {
            TMatch next = match;
            next.SetPosition(match.Board(), match.Size(), clBlue);
            next.Play(blueMoves.front());
            peer.Send(TNetMove{game.Number, blueMoves.front(), fault == fWrongHash ? next.Hash() ^ 1 : next.Hash()});
            break;
        }
        case fOtherGame:
            peer.Send(TNetMove{7, blueMoves.front(), 0});
            break;
        default:
            break;
        }
        QVERIFY(QTest::qWaitFor([&] { return !closer.Messages.isEmpty(); }, 5000));
        QVERIFY2(closer.Messages.front().contains(told), qPrintable(closer.Messages.front()));
        QVERIFY(peer.WaitClosed(5000));
        QVERIFY(program.WaitIdle());
        QCOMPARE(program.Game().GameBoard, before);
        QCOMPARE(program.Game().NetworkPlay, 0);
        QVERIFY(!program.Net().Active());
        QVERIFY(program.Form1.NetStatus->isHidden());
    }

    // On the peer's turn the player's presses change nothing and send
    // nothing; the peer's move then shows as usual.
    void pressesOnThePeersTurnRefused()
    {
        TNetProgram program;
        QVERIFY(program.Start());
        TModalCloser closer(program);
        const quint16 port = FreePort();
        ListenThroughTheDialog(program, port);
        TRawPeer peer;
        QVERIFY(peer.Connect(port));
        peer.Send(HelloOf(TNetRole::Client));
        const TNetMessage* reply = peer.WaitFor(TNetMessageType::Hello);
        QVERIFY(reply);
        const TNetGame game = std::get<TNetHello>(*reply).Game;
        QVERIFY(QTest::qWaitFor([&] { return program.Net().Playing() && !program.Form1.Busy(); }, 10000));
        TMatch match;
        match.Start(game.Size(), game.FirstPlayer);
        if (match.SideToMove() == clRed)
            QVERIFY(ServerMoves(program, peer, match));
        const std::size_t sent = peer.Received().size();

        const TGameBoard before = program.Game().GameBoard;
        const TMove red = GenerateMoves(before, match.Size(), clRed).front();
        const TMove blue = GenerateMoves(before, match.Size(), clBlue).front();
        for (const TPoint cell : {red.From, red.To, blue.From, blue.To}) {
            program.Press(cell);
            QVERIFY(program.WaitIdle());
        }
        QCOMPARE(program.Game().GameBoard, before);
        QCOMPARE(program.Game().SelectionState, 0);
        QTest::qWait(50);
        QCOMPARE(peer.Received().size(), sent);

        match.Play(blue);
        peer.Send(TNetMove{game.Number, blue, match.Hash()});
        QVERIFY(QTest::qWaitFor([&] { return program.Game().GameBoard == match.Board(); }, 5000));
        QVERIFY(program.WaitIdle());
        QVERIFY(program.Session().IsLocalTurn());
        QVERIFY(closer.Messages.isEmpty());
    }

    // A connection that cannot be made: a Czech message box, and the game
    // back at one computer with the box off.
    void connectionFailures_data()
    {
        QTest::addColumn<bool>("server");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("told");
        QTest::newRow("refused") << false << QStringLiteral("127.0.0.1") << QString::fromUtf8("spojení odmítl");
        QTest::newRow("not an address") << false << QStringLiteral("hra..example") << QString::fromUtf8("není platná adresa");
        QTest::newRow("port in use") << true << QString() << QString::fromUtf8("už používá jiný program");
    }

    void connectionFailures()
    {
        QFETCH(bool, server);
        QFETCH(QString, address);
        QFETCH(QString, told);
        TNetProgram program;
        QVERIFY(program.Start());
        TModalCloser closer(program);
        QTcpServer other;
        QVERIFY(other.listen(QHostAddress::Any, 0));
        const quint16 port = other.serverPort();
        if (!server)
            other.close();
        const TGameBoard before = program.Game().GameBoard;
        program.Game().NetworkPlay = 1;
        program.Game().NetworkClient = server ? 0 : 1;
        program.Game().NetworkAddress = address;
        program.Game().NetworkPort = port;
        program.Net().ApplySettings();
        QVERIFY(QTest::qWaitFor([&] { return !closer.Messages.isEmpty(); }, 10000));
        QVERIFY2(closer.Messages.front().contains(told), qPrintable(closer.Messages.front()));
        QVERIFY(program.WaitIdle());
        QCOMPARE(program.Game().NetworkPlay, 0);
        QVERIFY(!program.Net().Active());
        QCOMPARE(program.Game().GameBoard, before);
        QVERIFY(program.Form1.NetStatus->isHidden());
    }
};

int main(int argc, char** argv)
{
    TApplication application(argc, argv);
    NetHostileTest test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "NetHostileTest.moc"
