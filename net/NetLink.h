// One TCP connection of a network game seen as a stream of messages: it
// turns received bytes into messages, sends messages as frames, keeps the
// connection alive with pings and notices a peer that fell silent or got
// stuck in the middle of a frame. What the messages mean is the session's
// business (NetSession).
#pragma once

#include "net/NetErrors.h"
#include "net/Protocol.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>

class QTcpSocket;

struct TNetTimeouts {
    int ConnectMs = 10000;  // name lookup, connection and the peer's hello together
    int HeartbeatMs = 4000; // a ping goes out after this long without sending
    int SilenceMs = 12000;  // this long without a whole frame: the peer is lost
    int FrameMs = 5000;     // a frame begun must be complete within this
    int ByeMs = 2000;       // a closing connection may flush its last words this long
};

class TNetLink : public QObject {
    Q_OBJECT

public:
    // Takes over a socket, connected or not.
    TNetLink(QTcpSocket* socket, const TNetTimeouts& timeouts, QObject* parent = nullptr);
    ~TNetLink() override;

    // Opens the connection of a socket that is not connected yet; Connected
    // or Failed (HostNotFound, Refused, Unreachable) follows.
    void ConnectTo(const QString& host, quint16 port);

    void Send(const TNetMessage& message);
    // Expects a whole frame at least every `milliseconds` from now on.
    void Watch(int milliseconds);
    // Sends pings whenever this side has been quiet for the heartbeat time.
    void StartHeartbeat();
    // Says goodbye with `reason` (unless the connection is gone already) and
    // lets the connection go; no signal comes after this.
    void Close(std::optional<std::uint8_t> byeReason);

    // The peer's address as a player reads it (IPv4 without the IPv6 dress).
    QString PeerAddress() const;
    // Closed, its last bytes out, and none of its code running: it may be
    // deleted.
    bool Finished() const;

signals:
    void Connected();
    void Received(const TNetMessage& message);
    // The connection broke or the peer broke the stream's rules; the link
    // reads nothing more.
    void Failed(TNetError error, const QString& detail);

private:
    struct TBusy;
    void ReadAvailable();
    void Fail(TNetError error, const QString& detail = {});
    void StopTimers();

    QTcpSocket* socket_;
    TNetTimeouts timeouts_;
    TNetFrameReader reader_;
    QTimer frameTimer_;
    QTimer silenceTimer_;
    QTimer heartbeatTimer_;
    QTimer byeTimer_;
    bool connected_ = false;
    bool cut_ = false;
    bool closed_ = false;
    bool broken_ = false;
    int busy_ = 0;
};
