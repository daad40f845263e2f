// Two sessions over the loopback interface: whole games, new-game
// agreement, a peer that leaves or vanishes, and connections that fail.
#include "net/NetAddress.h"
#include "net/NetSession.h"
#include "tests/TestSupport.h"
#include "tests/net/NetTestSupport.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <memory>
#include <random>

namespace {

// Plays a random legal move whenever it is its session's turn.
class TRandomPlayer : public QObject {
public:
    TRandomPlayer(TNetSession& session, unsigned seed)
        : session_(session)
        , random_(seed)
    {
        connect(&session, &TNetSession::GameStarted, this, [this] { Play(); });
        connect(&session, &TNetSession::MoveReceived, this, [this](const TMove& move) {
            Received.push_back(move);
            Play();
        });
    }

    void Play()
    {
        if (!Enabled || !session_.IsLocalTurn())
            return;
        const TMatch& match = session_.Match();
        const auto moves = GenerateMoves(match.Board(), match.Size(), session_.LocalSide());
        const TMove move = moves[std::uniform_int_distribution<std::size_t>(0, moves.size() - 1)(random_)];
        if (session_.SendMove(move))
            Sent.push_back(move);
    }

    bool Enabled = true;
    std::vector<TMove> Sent, Received;

private:
    TNetSession& session_;
    std::mt19937 random_;
};

struct TPair {
    TNetSession Server{ShortTimeouts()};
    TNetSession Client{ShortTimeouts()};
    QSignalSpy ServerStarted{&Server, &TNetSession::GameStarted};
    QSignalSpy ClientStarted{&Client, &TNetSession::GameStarted};
    QSignalSpy ServerEnded{&Server, &TNetSession::Failed};
    QSignalSpy ClientEnded{&Client, &TNetSession::Failed};
    QSignalSpy ServerLeft{&Server, &TNetSession::PeerLeft};
    QSignalSpy ClientLeft{&Client, &TNetSession::PeerLeft};
};

TNetError ErrorOf(const QSignalSpy& spy)
{
    return spy.isEmpty() ? TNetError::None : spy.last().at(1).value<TNetError>();
}

bool HasIPv6Loopback()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHostIPv6, 0);
}

} // namespace

class NetSessionTest : public QObject {
    Q_OBJECT

private:
    // Connects a pair and waits for the first game on both sides.
    static bool Connect(TPair& pair, const QString& host = QStringLiteral("127.0.0.1"))
    {
        pair.Server.Listen(0);
        if (pair.Server.State() != TNetSession::nsListening)
            return false;
        pair.Client.Connect(host, pair.Server.ListeningPort());
        return QTest::qWaitFor([&] { return pair.ServerStarted.size() == 1 && pair.ClientStarted.size() == 1; },
                               5000);
    }

    // Makes it the client's turn in a fresh game by a server move if needed.
    static bool ClientToMove(TPair& pair)
    {
        if (pair.Server.IsLocalTurn()) {
            const auto moves = GenerateMoves(pair.Server.Match().Board(), pair.Server.Match().Size(), clRed);
            pair.Server.SendMove(moves.front());
        }
        return QTest::qWaitFor([&] { return pair.Client.IsLocalTurn(); }, 3000);
    }

private slots:
    void completeGamesEndAlikeOnBothSides_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("IPv4, 4 x 4") << QStringLiteral("127.0.0.1") << 4 << 4;
        QTest::newRow("IPv4, 7 x 5") << QStringLiteral("127.0.0.1") << 7 << 5;
        QTest::newRow("IPv6, 10 x 10") << QStringLiteral("::1") << 10 << 10;
        QTest::newRow("by name, 5 x 6") << QStringLiteral("localhost") << 5 << 6;
    }

    void completeGamesEndAlikeOnBothSides()
    {
        QFETCH(QString, host);
        QFETCH(int, width);
        QFETCH(int, height);
        if (host == QLatin1String("::1") && !HasIPv6Loopback())
            QSKIP("no IPv6 loopback on this machine");
        TPair pair;
        pair.Server.SetBoardSize({std::uint8_t(width), std::uint8_t(height)});
        // The client would like another size; the server's wins.
        pair.Client.SetBoardSize({8, 8});
        TRandomPlayer red(pair.Server, 1), blue(pair.Client, 2);
        QSignalSpy connected(&pair.Client, &TNetSession::Connected);
        QVERIFY(Connect(pair, host));
        QCOMPARE(pair.Server.LocalSide(), clRed);
        QCOMPARE(pair.Client.LocalSide(), clBlue);
        QCOMPARE(pair.Client.Game(), pair.Server.Game());
        QCOMPARE(pair.Client.Match().Size().Width, width);
        QCOMPARE(pair.Client.Match().Size().Height, height);
        QCOMPARE(pair.Client.PeerProgram(), TNetSession::ProgramText());
        QCOMPARE(connected.size(), 1);

        QTRY_VERIFY_WITH_TIMEOUT(pair.Server.Match().Over() && pair.Client.Match().Over(), 20000);
        QCOMPARE(pair.Client.Match().Board(), pair.Server.Match().Board());
        QCOMPARE(pair.Client.Match().Outcome(), pair.Server.Match().Outcome());
        QVERIFY(red.Sent == blue.Received);
        QVERIFY(blue.Sent == red.Received);
        QCOMPARE(int(red.Sent.size() + blue.Sent.size()), pair.Server.Match().Plies());
        QVERIFY(!pair.Server.IsLocalTurn() && !pair.Client.IsLocalTurn());
        QVERIFY(pair.ServerEnded.isEmpty() && pair.ClientEnded.isEmpty());
        QVERIFY(pair.ServerLeft.isEmpty() && pair.ClientLeft.isEmpty());
    }

    void localMovesOutOfTurnOrIllegalAreNotSent()
    {
        TPair pair;
        QVERIFY(Connect(pair));
        TNetSession& waiting = pair.Server.IsLocalTurn() ? pair.Client : pair.Server;
        TNetSession& moving = pair.Server.IsLocalTurn() ? pair.Server : pair.Client;
        const TPoint own = moving.LocalSide() == clRed ? TPoint{1, 1} : TPoint{10, 10};
        const TPoint other = moving.LocalSide() == clRed ? TPoint{10, 10} : TPoint{1, 1};
        QVERIFY(!waiting.SendMove({other, {other.X, other.Y == 1 ? 2 : 9}}));
        QVERIFY(!moving.SendMove({own, {own.X, own.Y == 1 ? 4 : 7}}));
        QVERIFY(!moving.SendMove({own, {own.X, own.Y == 1 ? 0 : 11}}));
        QTest::qWait(100);
        QCOMPARE(waiting.Match().Plies(), 0);
        QCOMPARE(moving.Match().Plies(), 0);
        QVERIFY(pair.ServerEnded.isEmpty() && pair.ClientEnded.isEmpty());
    }

    void newGameIsAgreedOrRefused_data()
    {
        QTest::addColumn<bool>("serverAsks");
        QTest::addColumn<bool>("accept");
        QTest::newRow("server asks, client agrees") << true << true;
        QTest::newRow("server asks, client refuses") << true << false;
        QTest::newRow("client asks, server agrees") << false << true;
        QTest::newRow("client asks, server refuses") << false << false;
    }

    void newGameIsAgreedOrRefused()
    {
        QFETCH(bool, serverAsks);
        QFETCH(bool, accept);
        TPair pair;
        QVERIFY(Connect(pair));
        QVERIFY(ClientToMove(pair));
        TNetSession& asker = serverAsks ? pair.Server : pair.Client;
        TNetSession& asked = serverAsks ? pair.Client : pair.Server;
        QSignalSpy question(&asked, &TNetSession::NewGameRequested);
        QSignalSpy answer(&asker, &TNetSession::NewGameAnswered);
        QSignalSpy askedAnswer(&asked, &TNetSession::NewGameAnswered);

        QVERIFY(asker.RequestNewGame());
        QVERIFY(asker.NewGameAsked());
        QTRY_COMPARE(question.size(), 1);
        QVERIFY(asked.NewGameOffered());
        QVERIFY(asked.AnswerNewGame(accept));
        QTRY_COMPARE(answer.size(), 1);
        QCOMPARE(answer.first().first().toBool(), accept);
        QVERIFY(!asker.NewGameAsked() && !asked.NewGameOffered());
        if (accept) {
            QTRY_VERIFY(pair.ServerStarted.size() == 2 && pair.ClientStarted.size() == 2);
            QCOMPARE(pair.Server.Game().Number, 2);
            QCOMPARE(pair.Client.Game(), pair.Server.Game());
            QCOMPARE(pair.Client.Match().Board(), pair.Server.Match().Board());
            QCOMPARE(pair.Client.Match().Plies(), 0);
        } else {
            // The game goes on where it was.
            QTest::qWait(50);
            QCOMPARE(pair.ServerStarted.size(), 1);
            QCOMPARE(pair.Client.Game().Number, 1);
            QVERIFY(pair.Client.IsLocalTurn());
            const auto moves = GenerateMoves(pair.Client.Match().Board(), pair.Client.Match().Size(), clBlue);
            QVERIFY(pair.Client.SendMove(moves.back()));
            QTRY_VERIFY(pair.Server.IsLocalTurn());
        }
        QVERIFY(askedAnswer.isEmpty());
        QVERIFY(pair.ServerEnded.isEmpty() && pair.ClientEnded.isEmpty());
    }

    // Both players press Restart at once (as both do when a game ends):
    // each question is taken for a yes, nobody is asked.
    void crossingRequestsAgree()
    {
        TPair pair;
        QVERIFY(Connect(pair));
        QSignalSpy serverQuestion(&pair.Server, &TNetSession::NewGameRequested);
        QSignalSpy clientQuestion(&pair.Client, &TNetSession::NewGameRequested);
        QSignalSpy serverAnswer(&pair.Server, &TNetSession::NewGameAnswered);
        QSignalSpy clientAnswer(&pair.Client, &TNetSession::NewGameAnswered);
        QVERIFY(pair.Server.RequestNewGame());
        QVERIFY(pair.Client.RequestNewGame());
        QTRY_VERIFY(pair.ServerStarted.size() == 2 && pair.ClientStarted.size() == 2);
        QTest::qWait(50);
        QCOMPARE(serverAnswer.size(), 1);
        QCOMPARE(clientAnswer.size(), 1);
        QVERIFY(serverAnswer.first().first().toBool() && clientAnswer.first().first().toBool());
        QVERIFY(serverQuestion.isEmpty() && clientQuestion.isEmpty());
        QCOMPARE(pair.Client.Game(), pair.Server.Game());
        QCOMPARE(pair.ServerStarted.size(), 2);
        QVERIFY(pair.ServerEnded.isEmpty() && pair.ClientEnded.isEmpty());
    }

    // The client moves while the server's yes and new game are on the way:
    // the move belongs to the old game and is dropped without a fault.
    void moveOvertakenByANewGameIsDropped()
    {
        TPair pair;
        QVERIFY(Connect(pair));
        QVERIFY(ClientToMove(pair));
        QSignalSpy question(&pair.Server, &TNetSession::NewGameRequested);
        QSignalSpy serverMoves(&pair.Server, &TNetSession::MoveReceived);
        QVERIFY(pair.Client.RequestNewGame());
        QTRY_COMPARE(question.size(), 1);
        QVERIFY(pair.Server.AnswerNewGame(true));
        const auto moves = GenerateMoves(pair.Client.Match().Board(), pair.Client.Match().Size(), clBlue);
        QVERIFY(pair.Client.SendMove(moves.front()));
        QTRY_VERIFY(pair.ClientStarted.size() == 2);
        QTest::qWait(50);
        QVERIFY(serverMoves.isEmpty());
        QCOMPARE(pair.Server.Match().Plies(), 0);
        QCOMPARE(pair.Client.Match().Board(), pair.Server.Match().Board());
        QVERIFY(pair.ServerEnded.isEmpty() && pair.ClientEnded.isEmpty());
    }

    void quietGameIsKeptAliveByPings()
    {
        TPair pair;
        QVERIFY(Connect(pair));
        // Several silence limits pass without a move.
        QTest::qWait(2 * ShortTimeouts().SilenceMs);
        QCOMPARE(pair.Server.State(), TNetSession::nsPlaying);
        QCOMPARE(pair.Client.State(), TNetSession::nsPlaying);
        QVERIFY(pair.ServerLeft.isEmpty() && pair.ClientLeft.isEmpty());
    }

    void leavingPeerIsReported_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("error");
        QTest::newRow("client quits") << QStringLiteral("close") << int(TNetError::PeerQuit);
        QTest::newRow("client's session is destroyed") << QStringLiteral("destroy") << int(TNetError::PeerQuit);
        QTest::newRow("client is killed") << QStringLiteral("kill") << int(TNetError::PeerLost);
    }

    void leavingPeerIsReported()
    {
        QFETCH(QString, how);
        QFETCH(int, error);
        TPair pair;
        auto client = std::make_unique<TNetSession>(ShortTimeouts());
        QSignalSpy serverStarted(&pair.Server, &TNetSession::GameStarted);
        pair.Server.Listen(0);
        client->Connect(QStringLiteral("127.0.0.1"), pair.Server.ListeningPort());
        QTRY_COMPARE(serverStarted.size(), 1);
        QVERIFY(ClientToMoveOn(pair.Server, *client));
        const TMatch before = pair.Server.Match();

        QElapsedTimer clock;
        clock.start();
        if (how == QLatin1String("close"))
            client->Close();
        else if (how == QLatin1String("destroy"))
            client.reset();
        else
            KillConnection(*client);
        QTRY_COMPARE_WITH_TIMEOUT(pair.ServerLeft.size(), 1, 3000);
        QCOMPARE(int(ErrorOf(pair.ServerLeft)), error);
        QVERIFY(!pair.ServerLeft.first().first().toString().isEmpty());
        QVERIFY(clock.elapsed() < ShortTimeouts().SilenceMs);
        QCOMPARE(pair.Server.State(), TNetSession::nsIdle);
        // The position stays for a game at one computer.
        QCOMPARE(pair.Server.Match().Board(), before.Board());
        QCOMPARE(pair.Server.Match().SideToMove(), before.SideToMove());
        QVERIFY(pair.ServerEnded.isEmpty());
    }

    void silentPeerIsLostWithinTheSilenceLimit()
    {
        TNetSession server(ShortTimeouts());
        QSignalSpy left(&server, &TNetSession::PeerLeft);
        QSignalSpy started(&server, &TNetSession::GameStarted);
        server.Listen(0);
        TRawPeer peer;
        QVERIFY(peer.Connect(server.ListeningPort()));
        peer.Send(HelloOf(TNetRole::Client));
        QTRY_COMPARE(started.size(), 1);
        QElapsedTimer clock;
        clock.start();
        // The peer reads (and so the server's pings arrive) but says nothing.
        QTRY_COMPARE_WITH_TIMEOUT(left.size(), 1, 3000);
        QCOMPARE(ErrorOf(left), TNetError::PeerLost);
        QVERIFY(clock.elapsed() >= ShortTimeouts().SilenceMs / 2);
        QVERIFY(peer.WaitFor(TNetMessageType::Ping));
        const TNetMessage* bye = peer.WaitFor(TNetMessageType::Bye);
        QVERIFY(bye);
        QCOMPARE(std::get<TNetBye>(*bye).Reason, brTimeout);
        QVERIFY(peer.WaitClosed());
    }

    void connectionFailuresAreTold_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("server");
        QTest::addColumn<int>("error");
        QTest::newRow("refused") << QStringLiteral("127.0.0.1") << QStringLiteral("closed") << int(TNetError::Refused);
        QTest::newRow("name not found") << QStringLiteral("zelvon-nowhere.invalid") << QStringLiteral("closed")
                                        << int(TNetError::HostNotFound);
        QTest::newRow("server never answers") << QStringLiteral("127.0.0.1") << QStringLiteral("silent")
                                              << int(TNetError::Timeout);
        QTest::newRow("server already playing") << QStringLiteral("127.0.0.1") << QStringLiteral("playing")
                                                << int(TNetError::Busy);
        QTest::newRow("empty address") << QString() << QStringLiteral("closed") << int(TNetError::InvalidAddress);
        QTest::newRow("address with a space") << QStringLiteral("my host") << QStringLiteral("closed")
                                              << int(TNetError::InvalidAddress);
    }

    void connectionFailuresAreTold()
    {
        QFETCH(QString, host);
        QFETCH(QString, server);
        QFETCH(int, error);
        TNetTimeouts timeouts = ShortTimeouts();
        if (server == QLatin1String("silent"))
            timeouts.ConnectMs = 500;
        TNetSession client(timeouts);
        QSignalSpy failed(&client, &TNetSession::Failed);
        QSignalSpy started(&client, &TNetSession::GameStarted);

        QTcpServer silent;
        TPair playing;
        quint16 port = 0;
        if (server == QLatin1String("closed")) {
            QVERIFY(silent.listen(QHostAddress::LocalHost));
            port = silent.serverPort();
            silent.close();
        } else if (server == QLatin1String("silent")) {
            QVERIFY(silent.listen(QHostAddress::LocalHost));
            port = silent.serverPort();
        } else {
            QVERIFY(Connect(playing));
            port = playing.Server.ListeningPort();
        }
        QSignalSpy notice(&playing.Server, &TNetSession::Notice);

        client.Connect(host, port);
        QTRY_COMPARE_WITH_TIMEOUT(failed.size(), 1, 3000);
        QCOMPARE(int(ErrorOf(failed)), error);
        const QString message = failed.first().first().toString();
        QVERIFY(!message.isEmpty());
        if (!host.isEmpty())
            QVERIFY2(message.contains(host), qPrintable(message));
        QCOMPARE(client.State(), TNetSession::nsIdle);
        QVERIFY(started.isEmpty());
        if (server == QLatin1String("playing")) {
            // The game that runs is not disturbed.
            QTRY_COMPARE(notice.size(), 1);
            QCOMPARE(playing.Server.State(), TNetSession::nsPlaying);
            QVERIFY(playing.ServerLeft.isEmpty() && playing.ServerEnded.isEmpty());
        }
    }

    void portInUseIsTold()
    {
        QTcpServer holder;
        QVERIFY(holder.listen(QHostAddress::Any));
        TNetSession server(ShortTimeouts());
        QSignalSpy failed(&server, &TNetSession::Failed);
        server.Listen(holder.serverPort());
        QCOMPARE(failed.size(), 1);
        QCOMPARE(ErrorOf(failed), TNetError::PortInUse);
        QVERIFY(failed.first().first().toString().contains(QString::number(holder.serverPort())));
        QCOMPARE(server.State(), TNetSession::nsIdle);
    }

    void closeCancelsConnectingAtOnce()
    {
        QTcpServer silent;
        QVERIFY(silent.listen(QHostAddress::LocalHost));
        TNetSession client(ShortTimeouts());
        QSignalSpy failed(&client, &TNetSession::Failed);
        client.Connect(QStringLiteral("127.0.0.1"), silent.serverPort());
        QCOMPARE(client.State(), TNetSession::nsConnecting);
        QTRY_VERIFY(silent.hasPendingConnections());
        client.Close();
        QCOMPARE(client.State(), TNetSession::nsIdle);
        QTcpSocket* accepted = silent.nextPendingConnection();
        QTRY_COMPARE(accepted->state(), QAbstractSocket::UnconnectedState);
        QTest::qWait(ShortTimeouts().ConnectMs / 3);
        QVERIFY(failed.isEmpty());
    }

    void typedAddressesAreCheckedBeforeConnecting_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("host");
        QTest::newRow("name") << QStringLiteral("  zelvon.example.org ") << QStringLiteral("zelvon.example.org");
        QTest::newRow("IPv4") << QStringLiteral("192.168.1.20") << QStringLiteral("192.168.1.20");
        QTest::newRow("IPv6") << QStringLiteral("fe80::1") << QStringLiteral("fe80::1");
        QTest::newRow("IPv6 in brackets") << QStringLiteral("[2001:db8::7]") << QStringLiteral("2001:db8::7");
        QTest::newRow("Czech name") << QStringLiteral("želva.example.cz") << QStringLiteral("želva.example.cz");
        QTest::newRow("empty") << QStringLiteral("   ") << QString();
        QTest::newRow("space inside") << QStringLiteral("my host") << QString();
        QTest::newRow("port glued on") << QStringLiteral("host:41095") << QString();
        QTest::newRow("URL") << QStringLiteral("http://host/") << QString();
        QTest::newRow("empty label") << QStringLiteral("a..b") << QString();
        QTest::newRow("format characters") << QStringLiteral("%1%n") << QString();
        QTest::newRow("too long") << QString(254, u'a') << QString();
    }

    void typedAddressesAreCheckedBeforeConnecting()
    {
        QFETCH(QString, typed);
        QFETCH(QString, host);
        QCOMPARE(ParseHostText(typed).value_or(QString()), host);
    }

private:
    static bool ClientToMoveOn(TNetSession& server, TNetSession& client)
    {
        if (!QTest::qWaitFor([&] { return client.State() == TNetSession::nsPlaying; }, 3000))
            return false;
        if (server.IsLocalTurn()) {
            const auto moves = GenerateMoves(server.Match().Board(), server.Match().Size(), clRed);
            server.SendMove(moves.front());
        }
        return QTest::qWaitFor([&] { return client.IsLocalTurn(); }, 3000);
    }

    // What the system does to the connection of a killed program: it is
    // cut, without a goodbye.
    static void KillConnection(TNetSession& session)
    {
        for (QTcpSocket* socket : session.findChildren<QTcpSocket*>())
            socket->abort();
    }
};

QTEST_GUILESS_MAIN(NetSessionTest)
#include "NetSessionTest.moc"
