// Peers that break the rules, played by a bare socket: whatever they send,
// the session hangs up with the right reason, tells its player, says why to
// the peer, and its board stays as it was.
#include "net/NetSession.h"
#include "tests/TestSupport.h"
#include "tests/net/NetTestSupport.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

constexpr TBoardSize HostileBoard{5, 5};

// A raw peer sends no pings: the silence limit must outlast each case.
TNetTimeouts PatientTimeouts()
{
    TNetTimeouts timeouts = ShortTimeouts();
    timeouts.SilenceMs = 5000;
    return timeouts;
}

TNetError ErrorOf(const QSignalSpy& spy)
{
    return spy.isEmpty() ? TNetError::None : spy.last().at(1).value<TNetError>();
}

// A server session in a game with a raw client on a 5 x 5 board, the
// client (Blue) to move; the raw client keeps its own mirror.
struct TServerGame {
    TNetSession Server{PatientTimeouts()};
    QSignalSpy Failed{&Server, &TNetSession::Failed};
    QSignalSpy Left{&Server, &TNetSession::PeerLeft};
    QSignalSpy Moves{&Server, &TNetSession::MoveReceived};
    QSignalSpy Notices{&Server, &TNetSession::Notice};
    QSignalSpy Started{&Server, &TNetSession::GameStarted};
    TRawPeer Peer;
    TMatch Mirror;

    bool Begin()
    {
        Server.SetBoardSize(HostileBoard);
        Server.Listen(0);
        if (!Peer.Connect(Server.ListeningPort()))
            return false;
        Peer.Send(HelloOf(TNetRole::Client));
        const TNetMessage* hello = Peer.WaitFor(TNetMessageType::Hello);
        if (!hello)
            return false;
        const TNetGame game = std::get<TNetHello>(*hello).Game;
        Mirror.Start(game.Size(), game.FirstPlayer);
        if (Mirror.SideToMove() == clRed) {
            if (!QTest::qWaitFor([&] { return Started.size() == 1; }, 3000))
                return false;
            const auto moves = GenerateMoves(Server.Match().Board(), Server.Match().Size(), clRed);
            Server.SendMove(moves.front());
            const TNetMessage* move = Peer.WaitFor(TNetMessageType::Move);
            if (!move)
                return false;
            Mirror.Play(std::get<TNetMove>(*move).Move);
        }
        return QTest::qWaitFor([&] { return Server.Match().SideToMove() == clBlue && Started.size() == 1; }, 3000);
    }

    TNetMove LegalMove() const
    {
        TMatch next = Mirror;
        const TMove move = GenerateMoves(Mirror.Board(), Mirror.Size(), clBlue).front();
        next.Play(move);
        return {1, move, next.Hash()};
    }
};

} // namespace

class HostilePeerTest : public QObject {
    Q_OBJECT

private slots:
    void rulesBrokenInGameEndIt_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<int>("error");
        const int protocol = int(TNetError::ProtocolError);
        QTest::newRow("garbage") << QStringLiteral("garbage") << protocol;
        QTest::newRow("frame over the limit") << QStringLiteral("oversized") << protocol;
        QTest::newRow("empty frame") << QStringLiteral("empty") << protocol;
        QTest::newRow("unknown type") << QStringLiteral("unknown type") << protocol;
        QTest::newRow("second hello") << QStringLiteral("hello") << protocol;
        QTest::newRow("new game dealt by the client") << QStringLiteral("new game") << protocol;
        QTest::newRow("answer to no question") << QStringLiteral("answer") << protocol;
        QTest::newRow("move of another game") << QStringLiteral("other game") << protocol;
        QTest::newRow("move three steps") << QStringLiteral("too far") << int(TNetError::IllegalMove);
        QTest::newRow("move off the board") << QStringLiteral("off board") << int(TNetError::IllegalMove);
        QTest::newRow("move of Red's piece") << QStringLiteral("red piece") << int(TNetError::IllegalMove);
        QTest::newRow("move onto a piece") << QStringLiteral("onto piece") << int(TNetError::IllegalMove);
        QTest::newRow("move with another board's hash") << QStringLiteral("hash") << int(TNetError::LostSync);
        QTest::newRow("two moves in a row") << QStringLiteral("twice") << int(TNetError::OutOfTurn);
        QTest::newRow("slow trickle of a move") << QStringLiteral("trickle") << int(TNetError::SlowFrame);
    }

    void rulesBrokenInGameEndIt()
    {
        QFETCH(QString, what);
        QFETCH(int, error);
        TServerGame game;
        QVERIFY(game.Begin());
        const TNetMove legal = game.LegalMove();
        TMatch expected = game.Server.Match();
        const QByteArray move = EncodeFrame(legal);

        if (what == QLatin1String("garbage"))
            game.Peer.SendBytes(Hex("0003 deadbe"));
        else if (what == QLatin1String("oversized"))
            game.Peer.SendBytes(Hex("7fff") + QByteArray(4096, 'x'));
        else if (what == QLatin1String("empty"))
            game.Peer.SendBytes(Hex("0000"));
        else if (what == QLatin1String("unknown type"))
            game.Peer.SendBytes(Hex("0002 2a00"));
        else if (what == QLatin1String("hello"))
            game.Peer.Send(HelloOf(TNetRole::Client));
        else if (what == QLatin1String("new game"))
            game.Peer.Send(TNetNewGame{{2, 5, 5, 0}});
        else if (what == QLatin1String("answer"))
            game.Peer.Send(TNetNewGameAnswer{true});
        else if (what == QLatin1String("other game"))
            game.Peer.Send(TNetMove{7, legal.Move, legal.BoardHash});
        else if (what == QLatin1String("too far"))
            game.Peer.Send(TNetMove{1, {{5, 5}, {5, 2}}, 0});
        else if (what == QLatin1String("off board"))
            game.Peer.Send(TNetMove{1, {{5, 5}, {6, 5}}, 0});
        else if (what == QLatin1String("red piece"))
            game.Peer.Send(TNetMove{1, {{1, 1}, {1, 2}}, 0});
        else if (what == QLatin1String("onto piece"))
            game.Peer.Send(TNetMove{1, {{5, 5}, {5, 5}}, 0});
        else if (what == QLatin1String("hash"))
            game.Peer.Send(TNetMove{1, legal.Move, legal.BoardHash ^ 1});
        else if (what == QLatin1String("twice")) {
            game.Peer.SendBytes(move + move);
            expected.Play(legal.Move);
        } else if (what == QLatin1String("trickle")) {
            // One byte every 100 ms: the frame would need 1.7 s, the limit
            // is 0.4 s.
            for (int i = 0; i < move.size() && game.Failed.isEmpty(); ++i) {
                game.Peer.SendBytes(move.mid(i, 1));
                QTest::qWait(100);
            }
        }

        QTRY_COMPARE_WITH_TIMEOUT(game.Failed.size(), 1, 3000);
        QCOMPARE(int(ErrorOf(game.Failed)), error);
        QVERIFY(!game.Failed.first().first().toString().isEmpty());
        QCOMPARE(game.Server.State(), TNetSession::nsIdle);
        QCOMPARE(game.Server.Match().Board(), expected.Board());
        QCOMPARE(game.Server.Match().Plies(), expected.Plies());
        QCOMPARE(game.Moves.size(), what == QLatin1String("twice") ? 1 : 0);
        QVERIFY(game.Left.isEmpty());
        // The peer is told why, and let go.
        const TNetMessage* bye = game.Peer.WaitFor(TNetMessageType::Bye);
        QVERIFY(bye);
        QCOMPARE(std::get<TNetBye>(*bye).Reason, ByeReasonOf(TNetError(error)));
        QVERIFY(game.Peer.WaitClosed());
    }

    void strangersBeforeTheHelloAreTurnedAwayAndWaitingGoesOn_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("reason");
        TNetHello server = HelloOf(TNetRole::Server, {1, 10, 10, 0});
        QTest::newRow("another protocol version") << Hex("0009 01 5a454c564f4e 09 00") << int(brVersionMismatch);
        QTest::newRow("garbage") << QByteArray("\x00\x05hello", 7) << int(brProtocolError);
        QTest::newRow("a server's hello") << EncodeFrame(server) << int(brProtocolError);
        QTest::newRow("a move first") << EncodeFrame(TNetMove{1, {{10, 10}, {10, 9}}, 0}) << int(brProtocolError);
        QTest::newRow("nothing at all") << QByteArray() << -1;
    }

    void strangersBeforeTheHelloAreTurnedAwayAndWaitingGoesOn()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, reason);
        TNetTimeouts timeouts = ShortTimeouts();
        timeouts.ConnectMs = 1000;
        TNetSession server(timeouts);
        QSignalSpy notices(&server, &TNetSession::Notice);
        QSignalSpy failed(&server, &TNetSession::Failed);
        QSignalSpy started(&server, &TNetSession::GameStarted);
        server.Listen(0);
        TRawPeer stranger;
        QVERIFY(stranger.Connect(server.ListeningPort()));
        stranger.SendBytes(bytes);

        QTRY_COMPARE_WITH_TIMEOUT(notices.size(), 1, 3000);
        QVERIFY(notices.first().first().toString().contains(QStringLiteral("127.0.0.1")));
        QVERIFY(stranger.WaitClosed());
        if (reason >= 0) {
            const TNetMessage* bye = stranger.WaitFor(TNetMessageType::Bye, 0);
            QVERIFY(bye);
            QCOMPARE(int(std::get<TNetBye>(*bye).Reason), reason);
        }
        if (reason == brVersionMismatch) {
            // Our hello goes first, so the other version can tell the player.
            QVERIFY(!stranger.Received().empty());
            QCOMPARE(TypeOf(stranger.Received().front()), TNetMessageType::Hello);
        }
        QVERIFY(failed.isEmpty() && started.isEmpty());
        QCOMPARE(server.State(), TNetSession::nsListening);

        // The real opponent still gets in.
        TNetSession client(ShortTimeouts());
        QSignalSpy clientStarted(&client, &TNetSession::GameStarted);
        client.Connect(QStringLiteral("127.0.0.1"), server.ListeningPort());
        QTRY_VERIFY(clientStarted.size() == 1 && started.size() == 1);
    }

    void hostileServerIsRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("error");
        const int protocol = int(TNetError::ProtocolError);
        QTest::newRow("garbage") << Hex("0004 01020304") << protocol;
        QTest::newRow("frame over the limit") << Hex("f000") << protocol;
        QTest::newRow("a client's hello") << EncodeFrame(HelloOf(TNetRole::Client)) << protocol;
        QTest::newRow("hello of game 2") << EncodeFrame(HelloOf(TNetRole::Server, {2, 10, 10, 0})) << protocol;
        QTest::newRow("a move first") << EncodeFrame(TNetMove{1, {{1, 1}, {1, 2}}, 0}) << protocol;
        QTest::newRow("another protocol version") << Hex("0009 01 5a454c564f4e 02 00")
                                                  << int(TNetError::VersionMismatch);
        QTest::newRow("busy") << EncodeFrame(TNetBye{brBusy}) << int(TNetError::Busy);
        QTest::newRow("hangs up at once") << QByteArray("close") << int(TNetError::PeerLost);
        QTest::newRow("says nothing") << QByteArray() << int(TNetError::Timeout);
    }

    void hostileServerIsRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, error);
        QTcpServer listener;
        QVERIFY(listener.listen(QHostAddress::LocalHost));
        TNetTimeouts timeouts = ShortTimeouts();
        if (bytes.isEmpty())
            timeouts.ConnectMs = 500;
        TNetSession client(timeouts);
        QSignalSpy failed(&client, &TNetSession::Failed);
        QSignalSpy started(&client, &TNetSession::GameStarted);
        client.Connect(QStringLiteral("127.0.0.1"), listener.serverPort());
        QTRY_VERIFY(listener.hasPendingConnections());
        TRawPeer server(listener.nextPendingConnection());
        QVERIFY(server.WaitFor(TNetMessageType::Hello));
        if (bytes == "close")
            server.Socket().close();
        else
            server.SendBytes(bytes);

        QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 1, 3000);
        QCOMPARE(int(ErrorOf(failed)), error);
        QVERIFY(started.isEmpty());
        QCOMPARE(client.State(), TNetSession::nsIdle);
    }

    void hostileServerInGameIsRefused_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<int>("error");
        QTest::newRow("new game nobody agreed to") << QStringLiteral("new game") << int(TNetError::ProtocolError);
        QTest::newRow("move out of turn") << QStringLiteral("out of turn") << int(TNetError::OutOfTurn);
        QTest::newRow("move with another board's hash") << QStringLiteral("hash") << int(TNetError::LostSync);
    }

    void hostileServerInGameIsRefused()
    {
        QFETCH(QString, what);
        QFETCH(int, error);
        QTcpServer listener;
        QVERIFY(listener.listen(QHostAddress::LocalHost));
        TNetSession client(ShortTimeouts());
        QSignalSpy failed(&client, &TNetSession::Failed);
        QSignalSpy moves(&client, &TNetSession::MoveReceived);
        client.Connect(QStringLiteral("127.0.0.1"), listener.serverPort());
        QTRY_VERIFY(listener.hasPendingConnections());
        TRawPeer server(listener.nextPendingConnection());
        QVERIFY(server.WaitFor(TNetMessageType::Hello));
        // Red begins when the server is honest about it, Blue when it is not.
        const bool redBegins = what != QLatin1String("out of turn");
        server.Send(HelloOf(TNetRole::Server, {1, 6, 6, std::uint8_t(redBegins ? 0 : 1)}));
        QTRY_COMPARE(client.State(), TNetSession::nsPlaying);
        const TMatch before = client.Match();
        TMatch next = before;
        next.SetPosition(before.Board(), before.Size(), clRed);
        const TMove move{{1, 1}, {2, 1}};
        next.Play(move);
        if (what == QLatin1String("new game"))
            server.Send(TNetNewGame{{2, 6, 6, 0}});
        else
            server.Send(TNetMove{1, move, what == QLatin1String("hash") ? next.Hash() + 1 : next.Hash()});

        QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 1, 3000);
        QCOMPARE(int(ErrorOf(failed)), error);
        QVERIFY(moves.isEmpty());
        QCOMPARE(client.Match().Board(), before.Board());
        QCOMPARE(client.Match().SideToMove(), before.SideToMove());
        const TNetMessage* bye = server.WaitFor(TNetMessageType::Bye);
        QVERIFY(bye);
        QCOMPARE(std::get<TNetBye>(*bye).Reason, ByeReasonOf(TNetError(error)));
    }

    // A hostile client that opens connection after connection while a game
    // runs: each is told the server is busy, the game goes on.
    void connectionFloodDuringAGameIsTurnedAway()
    {
        TServerGame game;
        QVERIFY(game.Begin());
        std::vector<std::unique_ptr<TRawPeer>> strangers;
        for (int i = 0; i < 20; ++i) {
            strangers.push_back(std::make_unique<TRawPeer>());
            QVERIFY(strangers.back()->Connect(game.Server.ListeningPort()));
        }
        QTRY_COMPARE(game.Notices.size(), 20);
        for (auto& stranger : strangers) {
            QVERIFY(stranger->WaitClosed());
            QVERIFY(stranger->WaitFor(TNetMessageType::Bye, 0));
            QCOMPARE(std::get<TNetBye>(*stranger->WaitFor(TNetMessageType::Bye, 0)).Reason, brBusy);
        }
        game.Peer.Send(game.LegalMove());
        QTRY_COMPARE(game.Moves.size(), 1);
        QVERIFY(game.Failed.isEmpty() && game.Left.isEmpty());
    }
};

QTEST_GUILESS_MAIN(HostilePeerTest)
#include "HostilePeerTest.moc"
