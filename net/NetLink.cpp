// The message stream over one TCP connection, with its three clocks: the
// frame in progress, the peer's silence and our own heartbeat.
#include "net/NetLink.h"

#include <QHostAddress>
#include <QTcpSocket>

namespace {

// What Qt may hold for us between two reads; far more than a game sends.
constexpr qint64 ReadBufferSize = 16 * 1024;

TNetError ConnectError(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::HostNotFoundError:
        return TNetError::HostNotFound;
    case QAbstractSocket::ConnectionRefusedError:
        return TNetError::Refused;
    case QAbstractSocket::SocketTimeoutError:
        return TNetError::Timeout;
    default:
        return TNetError::Unreachable;
    }
}

} // namespace

// Marks the link's code as running, so the session does not delete the link
// under a slot that a nested event loop has interrupted.
struct TNetLink::TBusy {
    explicit TBusy(TNetLink& link)
        : Link(link)
    {
        ++Link.busy_;
    }
    ~TBusy() { --Link.busy_; }
    TNetLink& Link;
};

TNetLink::TNetLink(QTcpSocket* socket, const TNetTimeouts& timeouts, QObject* parent)
    : QObject(parent)
    , socket_(socket)
    , timeouts_(timeouts)
{
    socket_->setParent(this);
    connected_ = socket_->state() == QAbstractSocket::ConnectedState;
    socket_->setReadBufferSize(ReadBufferSize);
    // Moves are a few bytes each and wait for nobody.
    socket_->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    for (QTimer* timer : {&frameTimer_, &silenceTimer_, &byeTimer_})
        timer->setSingleShot(true);
    frameTimer_.setInterval(timeouts_.FrameMs);
    heartbeatTimer_.setInterval(timeouts_.HeartbeatMs);
    byeTimer_.setInterval(timeouts_.ByeMs);

    connect(socket_, &QTcpSocket::readyRead, this, [this] {
        TBusy busy(*this);
        ReadAvailable();
    });
    connect(socket_, &QTcpSocket::disconnected, this, [this] {
        TBusy busy(*this);
        cut_ = true;
        Fail(TNetError::PeerLost);
    });
    connect(socket_, &QTcpSocket::connected, this, [this] {
        TBusy busy(*this);
        connected_ = true;
        emit Connected();
    });
    connect(socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        TBusy busy(*this);
        // The socket is being torn down: nothing more may be written to it.
        cut_ = true;
        Fail(connected_ ? TNetError::PeerLost : ConnectError(error));
    });
    connect(&frameTimer_, &QTimer::timeout, this, [this] {
        TBusy busy(*this);
        Fail(TNetError::SlowFrame);
    });
    connect(&silenceTimer_, &QTimer::timeout, this, [this] {
        TBusy busy(*this);
        Fail(TNetError::PeerLost);
    });
    connect(&heartbeatTimer_, &QTimer::timeout, this, [this] { Send(TNetPing{}); });
    connect(&byeTimer_, &QTimer::timeout, this, [this] { socket_->abort(); });

    // Bytes that came with the connection itself.
    if (socket_->bytesAvailable() > 0)
        QTimer::singleShot(0, this, [this] {
            TBusy busy(*this);
            ReadAvailable();
        });
}

TNetLink::~TNetLink()
{
    socket_->disconnect(this);
    socket_->abort();
}

void TNetLink::ConnectTo(const QString& host, quint16 port)
{
    socket_->connectToHost(host, port);
}

void TNetLink::Send(const TNetMessage& message)
{
    if (closed_ || cut_ || socket_->state() != QAbstractSocket::ConnectedState)
        return;
    socket_->write(EncodeFrame(message));
    if (heartbeatTimer_.isActive())
        heartbeatTimer_.start();
}

void TNetLink::Watch(int milliseconds)
{
    if (closed_ || broken_)
        return;
    silenceTimer_.start(milliseconds);
}

void TNetLink::StartHeartbeat()
{
    if (!closed_)
        heartbeatTimer_.start();
}

void TNetLink::Close(std::optional<std::uint8_t> byeReason)
{
    if (closed_)
        return;
    if (byeReason && !cut_ && socket_->state() == QAbstractSocket::ConnectedState) {
        Send(TNetBye{*byeReason});
        // Out to the system now: the link may be deleted before the event
        // loop would have written it.
        socket_->flush();
    }
    closed_ = true;
    StopTimers();
    // Whatever the peer still sends goes unread; the goodbye leaves first,
    // then the connection closes, or is cut when the peer does not take it.
    socket_->disconnect(this);
    connect(socket_, &QTcpSocket::readyRead, this, [this] { socket_->readAll(); });
    if (cut_ || socket_->state() == QAbstractSocket::UnconnectedState)
        return;
    socket_->disconnectFromHost();
    if (socket_->state() != QAbstractSocket::UnconnectedState)
        byeTimer_.start();
}

QString TNetLink::PeerAddress() const
{
    QHostAddress address = socket_->peerAddress();
    bool mapped = false;
    const quint32 ipv4 = address.toIPv4Address(&mapped);
    if (mapped)
        address = QHostAddress(ipv4);
    return address.toString();
}

bool TNetLink::Finished() const
{
    return closed_ && busy_ == 0 && socket_->state() == QAbstractSocket::UnconnectedState;
}

void TNetLink::ReadAvailable()
{
    while (!closed_ && !broken_ && socket_->bytesAvailable() > 0) {
        reader_.Append(socket_->read(ReadBufferSize));
        bool completed = false;
        for (;;) {
            const TNetDecoded decoded = reader_.Next();
            if (decoded.Error == TNetDecodeError::Incomplete)
                break;
            if (decoded.Error == TNetDecodeError::UnsupportedVersion) {
                const auto& hello = std::get<TNetHello>(decoded.Message);
                Fail(TNetError::VersionMismatch, QString::number(hello.Protocol));
                return;
            }
            if (decoded.Error != TNetDecodeError::None) {
                Fail(TNetError::ProtocolError, DecodeErrorText(decoded.Error));
                return;
            }
            completed = true;
            if (silenceTimer_.isActive())
                silenceTimer_.start();
            emit Received(decoded.Message);
            if (closed_ || broken_)
                return;
        }
        // A frame gets its time from its first byte; a finished frame
        // restarts the clock for the one begun behind it.
        if (reader_.Pending() == 0)
            frameTimer_.stop();
        else if (completed || !frameTimer_.isActive())
            frameTimer_.start();
    }
}

void TNetLink::Fail(TNetError error, const QString& detail)
{
    if (closed_ || broken_)
        return;
    broken_ = true;
    StopTimers();
    emit Failed(error, detail);
}

void TNetLink::StopTimers()
{
    frameTimer_.stop();
    silenceTimer_.stop();
    heartbeatTimer_.stop();
}
