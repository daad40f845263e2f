// The session's course: listening or connecting, the handshake, the games
// with their moves and new-game agreements, and every way it ends.
#include "net/NetSession.h"

#include "net/NetAddress.h"

#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>

namespace {

// Connections a waiting server keeps before one of them has said hello;
// more are turned away as busy.
constexpr std::size_t MaxCandidates = 4;
// How often connections let go are looked at for deletion.
constexpr int PurgeMs = 500;

std::uint16_t NextGameNumber(std::uint16_t number)
{
    return number == 0xFFFF ? 1 : std::uint16_t(number + 1);
}

std::uint16_t PreviousGameNumber(std::uint16_t number)
{
    return number <= 1 ? 0xFFFF : std::uint16_t(number - 1);
}

bool IsLeaving(TNetError error)
{
    return error == TNetError::PeerQuit || error == TNetError::PeerLost;
}

QString ShortText(const QString& text)
{
    constexpr int Shown = 64;
    return text.size() <= Shown ? text : text.left(Shown) + QChar(0x2026);
}

} // namespace

// Marks a slot of the session as running: while one is, a nested event loop
// may sit below it with a link's or the server's code further down, so
// nothing retired is deleted then.
struct TNetSession::TBusy {
    explicit TBusy(TNetSession& session)
        : Session(session)
    {
        ++Session.busy_;
    }
    ~TBusy() { --Session.busy_; }
    TNetSession& Session;
};

TNetSession::TNetSession(const TNetTimeouts& timeouts, QObject* parent)
    : QObject(parent)
    , timeouts_(timeouts)
{
    connectTimer_.setSingleShot(true);
    connect(&connectTimer_, &QTimer::timeout, this, [this] {
        TBusy busy(*this);
        End(TNetError::Timeout, SecondsText((timeouts_.ConnectMs + 999) / 1000));
    });
    purgeTimer_.setInterval(PurgeMs);
    connect(&purgeTimer_, &QTimer::timeout, this, &TNetSession::Purge);
}

TNetSession::~TNetSession()
{
    pending_.clear();
    Reset(brQuit);
}

QString TNetSession::ProgramText()
{
    return QStringLiteral("Zelvon ") + QStringLiteral(ZELVON_VERSION);
}

void TNetSession::Listen(quint16 port)
{
    Reset(brQuit);
    isServer_ = true;
    auto* server = new QTcpServer(this);
    // The dual-stack any-address: IPv6 and, through mapped addresses, IPv4.
    if (!server->listen(QHostAddress::Any, port)) {
        const TNetError error = server->serverError() == QAbstractSocket::AddressInUseError ? TNetError::PortInUse
                                                                                            : TNetError::ListenFailed;
        delete server;
        Post([this, error, port] { emit Failed(NetErrorText(error, {}, QString::number(port)), error); });
        return;
    }
    server_ = server;
    connect(server_, &QTcpServer::newConnection, this, [this] {
        TBusy busy(*this);
        OnNewConnection();
    });
    state_ = nsListening;
}

void TNetSession::Connect(const QString& host, quint16 port)
{
    Reset(brQuit);
    isServer_ = false;
    const std::optional<QString> parsed = ParseHostText(host);
    if (!parsed || port == 0) {
        const QString typed = ShortText(host.trimmed());
        Post([this, typed] {
            emit Failed(NetErrorText(TNetError::InvalidAddress, typed), TNetError::InvalidAddress);
        });
        return;
    }
    host_ = *parsed;
    where_ = HostPortText(*parsed, port);
    state_ = nsConnecting;
    peer_ = MakeLink(new QTcpSocket);
    connectTimer_.start(timeouts_.ConnectMs);
    peer_->ConnectTo(*parsed, port);
}

void TNetSession::Close()
{
    pending_.clear();
    Reset(brQuit);
}

void TNetSession::SetBoardSize(TBoardSize size)
{
    size.Width = std::clamp<std::uint8_t>(size.Width, MinBoardSize, MaxBoardSize);
    size.Height = std::clamp<std::uint8_t>(size.Height, MinBoardSize, MaxBoardSize);
    boardSize_ = size;
}

bool TNetSession::SendMove(const TMove& move)
{
    if (state_ != nsPlaying || agreed_ || match_.Check(move, LocalSide()) != TMoveCheck::Legal)
        return false;
    match_.Play(move);
    peer_->Send(TNetMove{game_.Number, move, match_.Hash()});
    return true;
}

bool TNetSession::RequestNewGame()
{
    if (state_ != nsPlaying)
        return false;
    if (offered_) {
        Post([this] { emit NewGameAnswered(true); });
        return AnswerNewGame(true);
    }
    if (!asked_ && !agreed_) {
        asked_ = true;
        peer_->Send(TNetNewGameRequest{});
    }
    return true;
}

bool TNetSession::AnswerNewGame(bool accept)
{
    if (state_ != nsPlaying || !offered_)
        return false;
    offered_ = false;
    peer_->Send(TNetNewGameAnswer{accept});
    if (accept)
        Agree();
    return true;
}

bool TNetSession::IsLocalTurn() const
{
    return state_ == nsPlaying && !agreed_ && match_.SideToMove() == LocalSide();
}

quint16 TNetSession::ListeningPort() const
{
    return server_ ? server_->serverPort() : 0;
}

void TNetSession::OnNewConnection()
{
    while (server_ && server_->hasPendingConnections()) {
        TNetLink* link = MakeLink(server_->nextPendingConnection());
        if (state_ != nsListening || candidates_.size() >= MaxCandidates) {
            RejectCandidate(link, TNetError::Busy);
            continue;
        }
        candidates_.push_back(link);
        link->Watch(timeouts_.ConnectMs);
    }
}

void TNetSession::OnConnected(TNetLink* link)
{
    if (link != peer_ || state_ != nsConnecting)
        return;
    peerAddress_ = link->PeerAddress();
    link->Send(OwnHello());
}

void TNetSession::OnMessage(TNetLink* link, const TNetMessage& message)
{
    if (link == peer_ && state_ == nsPlaying)
        OnGameMessage(message);
    else
        OnHandshake(link, message);
}

void TNetSession::OnLinkFailed(TNetLink* link, TNetError error, const QString& detail)
{
    if (link == peer_) {
        // The server of another version says so in a hello of its own,
        // which is all of it this side can read.
        End(error, detail);
    } else if (std::find(candidates_.begin(), candidates_.end(), link) != candidates_.end()) {
        RejectCandidate(link, error, detail);
    }
}

void TNetSession::OnHandshake(TNetLink* link, const TNetMessage& message)
{
    const auto* hello = std::get_if<TNetHello>(&message);
    if (isServer_) {
        if (!hello)
            RejectCandidate(link, TNetError::ProtocolError, NetFaultText(TNetFault::UnexpectedMessage));
        else if (hello->Role != TNetRole::Client)
            RejectCandidate(link, TNetError::ProtocolError, NetFaultText(TNetFault::WrongRole));
        else
            AcceptCandidate(link, *hello);
        return;
    }
    if (link != peer_ || state_ != nsConnecting)
        return;
    if (const auto* bye = std::get_if<TNetBye>(&message))
        End(ErrorOfBye(bye->Reason), {}, false);
    else if (!hello)
        End(TNetError::ProtocolError, NetFaultText(TNetFault::UnexpectedMessage));
    else if (hello->Role != TNetRole::Server)
        End(TNetError::ProtocolError, NetFaultText(TNetFault::WrongRole));
    else if (hello->Game.Number != 1)
        End(TNetError::ProtocolError, NetFaultText(TNetFault::WrongGame));
    else {
        connectTimer_.stop();
        game_ = hello->Game;
        peerProgram_ = hello->Program;
        BeginPlay(link);
    }
}

void TNetSession::AcceptCandidate(TNetLink* link, const TNetHello& hello)
{
    candidates_.erase(std::find(candidates_.begin(), candidates_.end(), link));
    for (TNetLink* other : std::exchange(candidates_, {}))
        RejectCandidate(other, TNetError::Busy);
    peerProgram_ = hello.Program;
    game_ = {1, boardSize_.Width, boardSize_.Height, std::uint8_t(QRandomGenerator::global()->bounded(2))};
    link->Send(OwnHello());
    BeginPlay(link);
}

void TNetSession::RejectCandidate(TNetLink* link, TNetError error, const QString& detail)
{
    candidates_.erase(std::remove(candidates_.begin(), candidates_.end(), link), candidates_.end());
    const QString address = link->PeerAddress();
    // A peer of another version reads our hello's version and nothing more.
    if (error == TNetError::VersionMismatch)
        link->Send(OwnHello());
    Retire(link, error == TNetError::PeerLost ? std::nullopt : std::optional(ByeReasonOf(error)));
    Post([this, text = RefusedPeerText(address, error, detail)] { emit Notice(text); });
}

void TNetSession::BeginPlay(TNetLink* link)
{
    peer_ = link;
    peerAddress_ = link->PeerAddress();
    state_ = nsPlaying;
    match_.Start(game_.Size(), game_.FirstPlayer);
    link->Watch(timeouts_.SilenceMs);
    link->StartHeartbeat();
    Post([this, address = peerAddress_] { emit Connected(address); });
    Post([this, game = game_] { emit GameStarted(game); });
}

void TNetSession::OnGameMessage(const TNetMessage& message)
{
    switch (TypeOf(message)) {
    case TNetMessageType::Hello:
        End(TNetError::ProtocolError, NetFaultText(TNetFault::UnexpectedMessage));
        break;
    case TNetMessageType::Move:
        OnMove(std::get<TNetMove>(message));
        break;
    case TNetMessageType::NewGameRequest:
        OnNewGameRequest();
        break;
    case TNetMessageType::NewGameAnswer:
        OnNewGameAnswer(std::get<TNetNewGameAnswer>(message).Accepted);
        break;
    case TNetMessageType::NewGame:
        OnNewGame(std::get<TNetNewGame>(message).Game);
        break;
    case TNetMessageType::Bye:
        End(ErrorOfBye(std::get<TNetBye>(message).Reason), {}, false);
        break;
    case TNetMessageType::Ping:
        break;
    }
}

void TNetSession::OnMove(const TNetMove& move)
{
    if (move.Game != game_.Number || agreed_) {
        // Moves made before the peer learnt of a new game cross its start on
        // the way and are dropped; any other game number is a fault.
        const bool overtaken = move.Game == PreviousGameNumber(game_.Number) || (agreed_ && move.Game == game_.Number);
        if (!overtaken)
            End(TNetError::ProtocolError, NetFaultText(TNetFault::WrongGame));
        return;
    }
    const TMoveCheck check = match_.Check(move.Move, OpponentOf(LocalSide()));
    if (check == TMoveCheck::NotInTurn) {
        End(TNetError::OutOfTurn);
        return;
    }
    if (check != TMoveCheck::Legal) {
        End(TNetError::IllegalMove, MoveCheckText(check));
        return;
    }
    TMatch next = match_;
    next.Play(move.Move);
    if (next.Hash() != move.BoardHash) {
        End(TNetError::LostSync);
        return;
    }
    match_ = next;
    Post([this, played = move.Move] { emit MoveReceived(played); });
}

void TNetSession::OnNewGameRequest()
{
    if (agreed_ || offered_) {
        End(TNetError::ProtocolError, NetFaultText(TNetFault::UnexpectedMessage));
        return;
    }
    if (asked_) {
        // Both asked at once: each takes the other's question for a yes.
        asked_ = false;
        Post([this] { emit NewGameAnswered(true); });
        Agree();
        return;
    }
    offered_ = true;
    // Answered before the signal's turn came (the window asked meanwhile,
    // which is a yes): the question is no longer open.
    const int offer = ++offers_;
    Post([this, offer] {
        if (offered_ && offers_ == offer)
            emit NewGameRequested();
    });
}

void TNetSession::OnNewGameAnswer(bool accepted)
{
    if (!asked_) {
        End(TNetError::ProtocolError, NetFaultText(TNetFault::UnexpectedMessage));
        return;
    }
    asked_ = false;
    Post([this, accepted] { emit NewGameAnswered(accepted); });
    if (accepted)
        Agree();
}

void TNetSession::OnNewGame(const TNetGame& game)
{
    if (isServer_ || !agreed_) {
        End(TNetError::ProtocolError, NetFaultText(TNetFault::UnexpectedMessage));
        return;
    }
    if (game.Number != NextGameNumber(game_.Number)) {
        End(TNetError::ProtocolError, NetFaultText(TNetFault::WrongGame));
        return;
    }
    agreed_ = false;
    game_ = game;
    match_.Start(game_.Size(), game_.FirstPlayer);
    Post([this, game] { emit GameStarted(game); });
}

void TNetSession::Agree()
{
    if (isServer_)
        StartNextGame();
    else
        agreed_ = true;
}

void TNetSession::StartNextGame()
{
    asked_ = offered_ = false;
    game_ = {NextGameNumber(game_.Number), boardSize_.Width, boardSize_.Height,
             std::uint8_t(QRandomGenerator::global()->bounded(2))};
    match_.Start(game_.Size(), game_.FirstPlayer);
    peer_->Send(TNetNewGame{game_});
    Post([this, game = game_] { emit GameStarted(game); });
}

void TNetSession::End(TNetError error, const QString& detail, bool sayBye)
{
    const bool playing = state_ == nsPlaying;
    const QString where = playing ? peerAddress_ : error == TNetError::HostNotFound ? host_ : where_;
    Reset(sayBye ? std::optional(ByeReasonOf(error)) : std::nullopt);
    const QString text = NetErrorText(error, where, detail);
    if (playing && IsLeaving(error))
        Post([this, text, error] { emit PeerLeft(text, error); });
    else
        Post([this, text, error] { emit Failed(text, error); });
}

void TNetSession::Reset(std::optional<std::uint8_t> byeReason)
{
    connectTimer_.stop();
    if (server_) {
        server_->close();
        server_->disconnect(this);
        retiredServers_.push_back(server_);
        server_ = nullptr;
    }
    for (TNetLink* link : std::exchange(candidates_, {}))
        Retire(link, brQuit);
    if (peer_)
        Retire(std::exchange(peer_, nullptr), byeReason);
    state_ = nsIdle;
    asked_ = offered_ = agreed_ = false;
    if (!retiredServers_.empty() || !retired_.empty())
        purgeTimer_.start();
}

TNetLink* TNetSession::MakeLink(QTcpSocket* socket)
{
    auto* link = new TNetLink(socket, timeouts_, this);
    connect(link, &TNetLink::Connected, this, [this, link] {
        TBusy busy(*this);
        OnConnected(link);
    });
    connect(link, &TNetLink::Received, this, [this, link](const TNetMessage& message) {
        TBusy busy(*this);
        OnMessage(link, message);
    });
    connect(link, &TNetLink::Failed, this, [this, link](TNetError error, const QString& detail) {
        TBusy busy(*this);
        OnLinkFailed(link, error, detail);
    });
    return link;
}

void TNetSession::Retire(TNetLink* link, std::optional<std::uint8_t> byeReason)
{
    link->disconnect(this);
    link->Close(byeReason);
    retired_.push_back(link);
    purgeTimer_.start();
}

void TNetSession::Purge()
{
    if (busy_ > 0)
        return;
    for (QTcpServer* server : std::exchange(retiredServers_, {}))
        delete server;
    const auto finished = std::partition(retired_.begin(), retired_.end(), [](TNetLink* link) {
        return !link->Finished();
    });
    std::for_each(finished, retired_.end(), [](TNetLink* link) { delete link; });
    retired_.erase(finished, retired_.end());
    if (retired_.empty())
        purgeTimer_.stop();
}

TNetHello TNetSession::OwnHello() const
{
    TNetHello hello;
    hello.Role = isServer_ ? TNetRole::Server : TNetRole::Client;
    hello.Game = isServer_ ? game_ : TNetGame{0, boardSize_.Width, boardSize_.Height, 0};
    hello.Program = ProgramText();
    return hello;
}

void TNetSession::Post(std::function<void()> emitter)
{
    pending_.push_back(std::move(emitter));
    if (delivering_)
        return;
    const QPointer<TNetSession> alive(this);
    delivering_ = true;
    while (!pending_.empty()) {
        const std::function<void()> next = std::move(pending_.front());
        pending_.pop_front();
        next();
        if (!alive)
            return;
    }
    delivering_ = false;
}
