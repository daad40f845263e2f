// A game against a player on another computer: the server waits for one
// opponent, the client connects to it, and both keep a mirror of the game
// (TMatch) that every move of the peer must pass before the window hears of
// it. The server plays Red and deals each game's board size and beginner;
// the client plays Blue. Everything runs on the thread's event loop; nothing
// here waits or blocks.
//
// Delivery: the session never emits a signal while a slot of an earlier one
// is still running (a slot may show the podium or animate with a nested
// event loop). What happens meanwhile is recorded at once and its signal
// follows when that slot returns, in order. The state queries always tell
// the present. Do not delete the session from one of its slots; use
// deleteLater().
#pragma once

#include "net/Match.h"
#include "net/NetErrors.h"
#include "net/NetLink.h"
#include "net/Protocol.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <deque>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

class QTcpServer;

class TNetSession : public QObject {
    Q_OBJECT

public:
    enum TState : std::uint8_t {
        nsIdle,       // no connection; the initial state and the state after every end
        nsListening,  // server: waiting for an opponent
        nsConnecting, // client: looking up, connecting, waiting for the server's hello
        nsPlaying,    // connected: games are played
    };

    explicit TNetSession(const TNetTimeouts& timeouts = {}, QObject* parent = nullptr);
    ~TNetSession() override;

    // Server: waits on `port` of every address, IPv4 and IPv6, for one
    // opponent. Port 0 takes any free port (see ListeningPort). A port that
    // cannot be used ends in Failed before this returns.
    void Listen(quint16 port);
    // Client: connects to `host` (a name or an IPv4 or IPv6 address). Ends in
    // Connected and GameStarted, or in Failed within the connect time.
    void Connect(const QString& host, quint16 port);
    // Leaves politely: a goodbye goes to the peer, everything is let go, no
    // signal follows. Also cancels waiting and connecting at once.
    void Close();

    // The board size of the games this side deals (the server's) or would
    // like (the client's; its hello carries it, the server deals its own).
    // Takes effect with the next game.
    void SetBoardSize(TBoardSize size);

    // A move of the local side. Refused (false, nothing sent) unless a game
    // runs, it is the local side's turn and the move is legal. Send it
    // before the window plays it: a move that ends the game brings up the
    // podium, and the peer should not wait behind it.
    bool SendMove(const TMove& move);
    // Asks the peer for a new game; NewGameAnswered follows. When the peer
    // has asked already, this is a yes to its question.
    bool RequestNewGame();
    // Answers the peer's NewGameRequested. A yes leads to GameStarted.
    bool AnswerNewGame(bool accept);

    TState State() const { return state_; }
    bool IsServer() const { return isServer_; }
    // clRed for the server, clBlue for the client.
    TColor LocalSide() const { return isServer_ ? clRed : clBlue; }
    // The mirrored game: board, size, side to move, end.
    const TMatch& Match() const { return match_; }
    const TNetGame& Game() const { return game_; }
    bool IsLocalTurn() const;
    // Our question is waiting for the peer's answer.
    bool NewGameAsked() const { return asked_; }
    // The peer's question is waiting for our answer.
    bool NewGameOffered() const { return offered_; }
    // Both sides agreed; the client waits for the server's new game.
    bool NewGameAgreed() const { return agreed_; }
    QString PeerAddress() const { return peerAddress_; }
    QString PeerProgram() const { return peerProgram_; }
    // The port the server listens on, 0 when it does not.
    quint16 ListeningPort() const;

    // The program name and version the hello carries.
    static QString ProgramText();

signals:
    // The handshake is done; GameStarted with the first game follows.
    void Connected(const QString& peerAddress);
    // A game begins: set up a board of its size with its first player.
    void GameStarted(const TNetGame& game);
    // The peer's move, legal and already played on Match().
    void MoveReceived(const TMove& move);
    void NewGameRequested();
    void NewGameAnswered(bool accepted);
    // The peer quit or was lost. The session is idle; Match() keeps the last
    // position so the game can go on at one computer.
    void PeerLeft(const QString& message, TNetError error);
    // No connection could be made, or the peer broke the rules and the
    // session hung up. The session is idle; the local board was not touched.
    void Failed(const QString& message, TNetError error);
    // Server: something the player may like to know that ends nothing, such
    // as a connection refused because a game is running.
    void Notice(const QString& message);

private:
    struct TBusy;
    void OnNewConnection();
    void OnConnected(TNetLink* link);
    void OnMessage(TNetLink* link, const TNetMessage& message);
    void OnLinkFailed(TNetLink* link, TNetError error, const QString& detail);
    void OnHandshake(TNetLink* link, const TNetMessage& message);
    void OnGameMessage(const TNetMessage& message);
    void OnMove(const TNetMove& move);
    void OnNewGameRequest();
    void OnNewGameAnswer(bool accepted);
    void OnNewGame(const TNetGame& game);
    void AcceptCandidate(TNetLink* link, const TNetHello& hello);
    void RejectCandidate(TNetLink* link, TNetError error, const QString& detail = {});
    void BeginPlay(TNetLink* link);
    void StartNextGame();
    void Agree();
    // Hangs up (with a goodbye saying why, unless the peer said its own)
    // and tells the window.
    void End(TNetError error, const QString& detail = {}, bool sayBye = true);
    void Reset(std::optional<std::uint8_t> byeReason);
    TNetLink* MakeLink(QTcpSocket* socket);
    void Retire(TNetLink* link, std::optional<std::uint8_t> byeReason);
    void Purge();
    TNetHello OwnHello() const;
    void Post(std::function<void()> emitter);

    TNetTimeouts timeouts_;
    TState state_ = nsIdle;
    bool isServer_ = false;
    QTcpServer* server_ = nullptr;
    TNetLink* peer_ = nullptr;
    std::vector<TNetLink*> candidates_;
    std::vector<TNetLink*> retired_;
    std::vector<QTcpServer*> retiredServers_;
    int busy_ = 0;
    QTimer connectTimer_;
    QTimer purgeTimer_;
    QString host_;
    QString where_;
    QString peerAddress_;
    QString peerProgram_;
    TBoardSize boardSize_{MaxBoardSize, MaxBoardSize};
    TNetGame game_;
    TMatch match_;
    bool asked_ = false;
    bool offered_ = false;
    bool agreed_ = false;
    int offers_ = 0;
    std::deque<std::function<void()>> pending_;
    bool delivering_ = false;
};
