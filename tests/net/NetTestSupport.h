// Helpers shared by the network tests: bytes written as hex, readable
// failure output for messages, short timeouts, and a raw peer that speaks
// the wire format by hand (or breaks it) from a bare socket.
#pragma once

#include "net/Match.h"
#include "net/NetLink.h"
#include "net/Protocol.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <deque>

// Spaces are for the reader; fromHex skips them.
inline QByteArray Hex(const char* text)
{
    return QByteArray::fromHex(text);
}

inline char* toString(const TNetMessage& message)
{
    return qstrdup(EncodeFrame(message).toHex(' ').constData());
}

// Long enough for a loaded machine, short enough for a test in seconds.
// Sessions ping every 100 ms, so one second of silence means a lost peer.
inline TNetTimeouts ShortTimeouts()
{
    TNetTimeouts timeouts;
    timeouts.ConnectMs = 3000;
    timeouts.HeartbeatMs = 100;
    timeouts.SilenceMs = 1000;
    timeouts.FrameMs = 400;
    timeouts.ByeMs = 300;
    return timeouts;
}

inline TNetHello HelloOf(TNetRole role, TNetGame game = {0, 10, 10, 0})
{
    TNetHello hello;
    hello.Role = role;
    hello.Game = game;
    hello.Program = QStringLiteral("Test peer");
    return hello;
}

// A peer on a bare socket: what it sends is not checked, what it receives
// is decoded frame by frame.
class TRawPeer {
public:
    TRawPeer() = default;
    explicit TRawPeer(QTcpSocket* socket)
        : socket_(socket)
    {
    }

    bool Connect(quint16 port)
    {
        owned_.connectToHost(QHostAddress::LocalHost, port);
        socket_ = &owned_;
        return owned_.waitForConnected(3000);
    }

    void SendBytes(const QByteArray& bytes)
    {
        socket_->write(bytes);
        socket_->flush();
    }
    void Send(const TNetMessage& message) { SendBytes(EncodeFrame(message)); }

    // Everything that arrived until now, decoded; stops at the first fault.
    const std::deque<TNetMessage>& Received()
    {
        reader_.Append(socket_->readAll());
        for (TNetDecoded next = reader_.Next(); next.Error == TNetDecodeError::None; next = reader_.Next())
            received_.push_back(next.Message);
        return received_;
    }

    // Waits until a message of `type` has come; the latest of them.
    const TNetMessage* WaitFor(TNetMessageType type, int milliseconds = 3000)
    {
        QElapsedTimer clock;
        clock.start();
        do {
            for (auto it = Received().rbegin(); it != received_.rend(); ++it)
                if (TypeOf(*it) == type)
                    return &*it;
            QTest::qWait(5);
        } while (clock.elapsed() < milliseconds);
        return nullptr;
    }

    bool WaitClosed(int milliseconds = 3000)
    {
        QElapsedTimer clock;
        clock.start();
        while (socket_->state() != QAbstractSocket::UnconnectedState && clock.elapsed() < milliseconds)
            QTest::qWait(5);
        Received();
        return socket_->state() == QAbstractSocket::UnconnectedState;
    }

    QTcpSocket& Socket() { return *socket_; }

private:
    QTcpSocket owned_;
    QTcpSocket* socket_ = nullptr;
    TNetFrameReader reader_;
    std::deque<TNetMessage> received_;
};
