// The network game in the main window: the session's news queued and shown
// in order whenever the window is free, the local player's presses checked
// against the turn, and the fallback to one-computer play.
#include "game/NetPlay.h"

#include "shell/SoundEffects.h"

#include <QMessageBox>
#include <QPointer>
#include <QPushButton>

#include <utility>

namespace {

// How soon a queued piece of news is tried again while the window is busy
// (a board being laid out, a dialog open).
constexpr int BusyRetryMs = 15;
// How long a remark about a refused connection stays in the status line.
constexpr int NoticeMs = 6000;

} // namespace

TNetPlay::TNetPlay(TGameState& game, TNetPlayHost host, QObject* parent)
    : QObject(parent)
    , game_(game)
    , host_(std::move(host))
{
    pumpTimer_.setSingleShot(true);
    connect(&pumpTimer_, &QTimer::timeout, this, &TNetPlay::Pump);
    noticeTimer_.setSingleShot(true);
    connect(&noticeTimer_, &QTimer::timeout, this, [this] {
        notice_.clear();
        UpdateStatus();
    });
    MakeSession();
}

TNetPlay::~TNetPlay()
{
    // The session says goodbye as it goes; nothing of it may call back here.
    session_->disconnect(this);
    delete session_;
}

void TNetPlay::SetTimeouts(const TNetTimeouts& timeouts)
{
    timeouts_ = timeouts;
    if (session_->State() == TNetSession::nsIdle)
        MakeSession();
}

void TNetPlay::MakeSession()
{
    if (session_) {
        session_->disconnect(this);
        session_->deleteLater();
    }
    session_ = new TNetSession(timeouts_);
    TNetSession* session = session_;
    connect(session, &TNetSession::Connected, this, [this] { UpdateStatus(); });
    connect(session, &TNetSession::GameStarted, this, [this](const TNetGame& game) {
        Enqueue([this, game] { ShowGame(game); });
    });
    connect(session, &TNetSession::MoveReceived, this, [this, session](const TMove& move) {
        // The mirror has played the move already: its board is the one the
        // window must show once it has played the move too.
        Enqueue([this, move, expected = session->Match().Board()] { ShowPeerMove(move, expected); });
    });
    connect(session, &TNetSession::NewGameRequested, this, [this] { Enqueue([this] { AskNewGame(); }); });
    connect(session, &TNetSession::NewGameAnswered, this, [this](bool accepted) {
        Enqueue([this, accepted] { NewGameAnswered(accepted); });
    });
    connect(session, &TNetSession::PeerLeft, this, [this](const QString& message, TNetError) {
        Enqueue([this, message] {
            Fallback(message + tr(" Rozehranou partii můžete dohrát u jednoho počítače."), false);
        });
    });
    connect(session, &TNetSession::Failed, this, [this](const QString& message, TNetError) {
        Enqueue([this, message] { Fallback(message, true); });
    });
    connect(session, &TNetSession::Notice, this, &TNetPlay::ShowNotice);
}

bool TNetPlay::Active() const
{
    return playing_ || session_->State() != TNetSession::nsIdle;
}

bool TNetPlay::Playing() const
{
    return playing_;
}

void TNetPlay::ApplySettings()
{
    // A board size chosen while the board belongs to a network game waits
    // for the next game this side plays; the board in use keeps its size.
    if (game_.RestartNeeded == 1) {
        if (playing_) {
            ownSize_ = game_.Size();
            game_.BoardWidth = shownSize_.Width;
            game_.BoardHeight = shownSize_.Height;
        } else {
            ownSize_.reset();
        }
    }
    const TBoardSize wanted = ownSize_.value_or(game_.Size());

    if (game_.NetworkPlay != 1) {
        if (Active())
            Stop();
        return;
    }
    const bool server = game_.NetworkClient == 0;
    const QString endpoint = server ? QString::number(game_.NetworkPort)
                                    : game_.NetworkAddress + u' ' + QString::number(game_.NetworkPort);
    if (session_->State() != TNetSession::nsIdle && session_->IsServer() == server && endpoint == endpoint_) {
        session_->SetBoardSize(wanted);
        UpdateStatus();
        return;
    }
    Stop();
    endpoint_ = endpoint;
    session_->SetBoardSize(wanted);
    if (server)
        session_->Listen(game_.NetworkPort);
    else
        session_->Connect(game_.NetworkAddress, game_.NetworkPort);
    UpdateStatus();
}

void TNetPlay::Stop()
{
    session_->Close();
    queue_.clear();
    playing_ = false;
    waitingForGame_ = false;
    sentBoard_.reset();
    UpdateStatus();
}

bool TNetPlay::AllowPress(TPoint cell)
{
    if (!playing_)
        return true;
    const bool ourTurn = queue_.empty() && !pumping_ && !waitingForGame_ && session_->IsLocalTurn();
    if (!ourTurn) {
        // Like a press on the opponent's piece.
        if (game_.SoundEnabled == 1)
            PlaySoundEffect(QStringLiteral("ding.wav"));
        return false;
    }
    // A press that completes a move: the peer hears of it before the window
    // plays it, since a move that ends the game brings up the podium.
    if (game_.SelectionState != 0 && game_.OnBoard(cell) && game_.GameBoard[cell] == clGray
        && MoveKindOf(BoardDistance(game_.Size(), game_.SelectedCell, cell)) != TMoveKind::None) {
        if (!session_->SendMove({game_.SelectedCell, cell})) {
            LoseSync();
            return false;
        }
        sentBoard_ = session_->Match().Board();
    }
    return true;
}

void TNetPlay::AfterPress()
{
    if (sentBoard_) {
        const TGameBoard expected = *std::exchange(sentBoard_, std::nullopt);
        if (playing_ && !BoardMatches(expected))
            LoseSync();
    }
    UpdateStatus();
}

bool TNetPlay::RestartPressed()
{
    if (!playing_) {
        RestoreOwnSize();
        return false;
    }
    if (!waitingForGame_ && session_->State() == TNetSession::nsPlaying && !session_->NewGameAsked()
        && !session_->NewGameAgreed())
        session_->RequestNewGame();
    UpdateStatus();
    return true;
}

bool TNetPlay::GameEnded()
{
    if (!playing_) {
        RestoreOwnSize();
        return false;
    }
    // Both sides ask once their podium is closed; two questions that cross
    // are a yes, and the server deals the next game.
    waitingForGame_ = true;
    if (session_->State() == TNetSession::nsPlaying)
        session_->RequestNewGame();
    UpdateStatus();
    return true;
}

void TNetPlay::Leave()
{
    Stop();
    RestoreOwnSize();
}

void TNetPlay::RestoreOwnSize()
{
    if (!ownSize_)
        return;
    game_.BoardWidth = ownSize_->Width;
    game_.BoardHeight = ownSize_->Height;
    ownSize_.reset();
}

void TNetPlay::Enqueue(std::function<void()> action)
{
    queue_.push_back(std::move(action));
    UpdateStatus();
    // Never from inside the session's own call: the news is shown from the
    // event loop, where a nested loop of the window may run.
    if (!pumping_)
        pumpTimer_.start(0);
}

void TNetPlay::Pump()
{
    if (pumping_)
        return;
    pumping_ = true;
    const QPointer<TNetPlay> alive(this);
    while (!queue_.empty()) {
        if (host_.Busy && host_.Busy()) {
            pumpTimer_.start(BusyRetryMs);
            break;
        }
        const std::function<void()> next = std::move(queue_.front());
        queue_.pop_front();
        next();
        if (!alive)
            return;
    }
    pumping_ = false;
    UpdateStatus();
}

void TNetPlay::ShowGame(const TNetGame& game)
{
    // The server's board size is the one played; the client's own comes
    // back with its next game at one computer, or with the next start.
    if (!session_->IsServer() && !ownSize_ && (game.Width != game_.BoardWidth || game.Height != game_.BoardHeight))
        ownSize_ = game_.Size();
    playing_ = true;
    waitingForGame_ = false;
    sentBoard_.reset();
    game_.BoardWidth = game.Width;
    game_.BoardHeight = game.Height;
    shownSize_ = game.Size();
    host_.StartGame(game.FirstPlayer);
}

void TNetPlay::ShowPeerMove(const TMove& move, const TGameBoard& expected)
{
    if (!playing_)
        return;
    host_.PlayMove(move, peerPickMs_);
    if (playing_ && !BoardMatches(expected))
        LoseSync();
}

void TNetPlay::AskNewGame()
{
    if (!session_->NewGameOffered())
        return;
    // After a finished game a new one is what both want.
    if (waitingForGame_ || session_->Match().Over()) {
        session_->AnswerNewGame(true);
        return;
    }
    QMessageBox question(QMessageBox::Question, tr("Síťová hra"), tr("Soupeř chce novou hru"),
                         QMessageBox::NoButton, host_.Window ? host_.Window() : nullptr);
    question.setInformativeText(tr("Rozehraná partie skončí."));
    QAbstractButton* accept = question.addButton(tr("&Přijmout"), QMessageBox::YesRole);
    question.addButton(tr("&Odmítnout"), QMessageBox::NoRole);
    question.exec();
    // The peer may have left meanwhile; the answer then goes nowhere.
    session_->AnswerNewGame(question.clickedButton() == accept);
}

void TNetPlay::NewGameAnswered(bool accepted)
{
    if (!accepted && playing_)
        Message(tr("Soupeř novou hru odmítl. Hraje se dál."), false);
}

void TNetPlay::Fallback(const QString& text, bool warning)
{
    playing_ = false;
    waitingForGame_ = false;
    sentBoard_.reset();
    game_.NetworkPlay = 0;
    UpdateStatus();
    Message(text, warning);
}

bool TNetPlay::BoardMatches(const TGameBoard& expected) const
{
    bool same = true;
    ForEachCell(game_.Size(), [&](TPoint cell) { same = same && game_.GameBoard[cell] == expected[cell]; });
    return same;
}

void TNetPlay::LoseSync()
{
    // The window and the connection no longer agree on the board; nothing
    // the connection says can be shown on it any more.
    session_->Close();
    queue_.clear();
    Fallback(NetErrorText(TNetError::LostSync), true);
}

void TNetPlay::UpdateStatus()
{
    if (!host_.ShowStatus)
        return;
    QString text;
    switch (session_->State()) {
    case TNetSession::nsListening:
        text = tr("Čekám na soupeře…\nport %1").arg(session_->ListeningPort());
        break;
    case TNetSession::nsConnecting:
        text = tr("Připojuji se k soupeři…");
        break;
    case TNetSession::nsPlaying:
        if (!playing_ || waitingForGame_ || session_->NewGameAgreed())
            text = tr("Čekám na soupeře…");
        else if (session_->NewGameAsked())
            text = tr("Čekám na odpověď soupeře…");
        else
            text = (LocalSide() == clRed ? tr("Hrajete za červené.\n") : tr("Hrajete za modré.\n"))
                + (session_->IsLocalTurn() && queue_.empty() ? tr("Jste na tahu.") : tr("Táhne soupeř."));
        break;
    case TNetSession::nsIdle:
        break;
    }
    if (!notice_.isEmpty())
        text = notice_;
    host_.ShowStatus(text);
}

void TNetPlay::ShowNotice(const QString& text)
{
    notice_ = text;
    noticeTimer_.start(NoticeMs);
    UpdateStatus();
}

void TNetPlay::Message(const QString& text, bool warning)
{
    QMessageBox box(warning ? QMessageBox::Warning : QMessageBox::Information, tr("Síťová hra"), text,
                    QMessageBox::Ok, host_.Window ? host_.Window() : nullptr);
    box.exec();
}
