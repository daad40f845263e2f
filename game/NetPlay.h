// A game against a player on another computer, seen from the main window:
// it turns the settings into listening or connecting, lets the local player
// press only on their own turn, sends their moves, plays the peer's moves
// through the same presses a player makes, deals new games by agreement and
// falls back to one-computer play, with a message, whenever the connection
// ends. The connection itself is TNetSession's; the window is reached only
// through TNetPlayHost, so a computer player can sit on either side later.
#pragma once

#include "game/GameState.h"
#include "game/Moves.h"
#include "net/NetSession.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <deque>
#include <functional>
#include <optional>

class QWidget;

// What the network game asks of the main window.
struct TNetPlayHost {
    // A paced sequence or a button's handler (with its windows) is running:
    // nothing may touch the board now.
    std::function<bool()> Busy;
    // Lays out a new board of the game's size with its first player, as
    // Restart does.
    std::function<void(std::uint8_t firstPlayer)> StartGame;
    // Plays a move through the presses a player would make: the pick, a
    // pause of `pickMs` for it to be seen, the target.
    std::function<void(const TMove& move, int pickMs)> PlayMove;
    // The line about the network game in the window; empty hides it.
    std::function<void(const QString& text)> ShowStatus;
    // The window message boxes belong to.
    std::function<QWidget*()> Window;
};

class TNetPlay : public QObject {
    Q_OBJECT

public:
    TNetPlay(TGameState& game, TNetPlayHost host, QObject* parent = nullptr);
    ~TNetPlay() override;

    // Tests shorten the connection's times and the pause after the peer's pick.
    void SetTimeouts(const TNetTimeouts& timeouts);
    void SetPeerPickMs(int milliseconds) { peerPickMs_ = milliseconds; }

    // The settings dialog closed with OK: starts, keeps or ends network play
    // as the box, the role, the address and the port now say.
    void ApplySettings();

    // Listening, connecting or connected.
    bool Active() const;
    // Connected: the board belongs to the game over the network.
    bool Playing() const;
    // Is the side (0 Red, 1 Blue) the peer's in the game being played?
    bool RemoteSide(int side) const { return Playing() && (side == 0 ? clRed : clBlue) != LocalSide(); }

    // A press of the local player on `cell`. False when it is refused (not
    // their turn, the peer's move still being shown): the press then only
    // plays the refusal sound. A press that completes a move sends it first.
    bool AllowPress(TPoint cell);
    // The press let through by AllowPress has been played.
    void AfterPress();

    // Restart pressed. True when the network game took it: the peer is asked.
    bool RestartPressed();
    // The podium of a game over the network closed. True when the network
    // game took it: the next game comes by agreement, not at once.
    bool GameEnded();
    // Konec: says goodbye and gives the board size setting back.
    void Leave();

    TNetSession& Session() { return *session_; }

private:
    void MakeSession();
    // Ends the connection, if any, and forgets the news not yet shown.
    void Stop();
    void RestoreOwnSize();
    void Enqueue(std::function<void()> action);
    void Pump();
    void ShowGame(const TNetGame& game);
    void ShowPeerMove(const TMove& move, const TGameBoard& expected);
    void AskNewGame();
    void NewGameAnswered(bool accepted);
    // The connection ended; `text` tells why. The position stays.
    void Fallback(const QString& text, bool warning);
    bool BoardMatches(const TGameBoard& expected) const;
    void LoseSync();
    void UpdateStatus();
    void ShowNotice(const QString& text);
    void Message(const QString& text, bool warning);
    TColor LocalSide() const { return session_->LocalSide(); }

    TGameState& game_;
    TNetPlayHost host_;
    TNetTimeouts timeouts_;
    TNetSession* session_ = nullptr;
    int peerPickMs_ = 300;
    // What the session told, shown in order once the window is free.
    std::deque<std::function<void()>> queue_;
    QTimer pumpTimer_;
    bool pumping_ = false;
    // The board is the network game's (its news has been shown so far).
    bool playing_ = false;
    TBoardSize shownSize_;
    // The role and address the session was started with.
    QString endpoint_;
    // The board a local move sent must leave behind.
    std::optional<TGameBoard> sentBoard_;
    // The podium of the last game closed; the next game waits for the peer.
    bool waitingForGame_ = false;
    // The player's own board size, while the server's is in use.
    std::optional<TBoardSize> ownSize_;
    QString notice_;
    QTimer noticeTimer_;
};
