// The computer's turns: a small state machine on the user-interface thread
// (idle, thinking, move chosen, piece picked) in front of the thinking
// thread. Every answer carries the ticket of the search that made it; a
// cancel moves the ticket on, so an answer that arrives late is dropped.
#include "game/ComputerTurn.h"

#include "engine/GameBridge.h"

#include <QScopeGuard>

#include <algorithm>
#include <utility>

namespace {

constexpr std::uint8_t SelectionBlue = 1;
constexpr std::uint8_t SelectionRed = 2;

} // namespace

TComputerTurn::TComputerTurn(TGameState& game, TWindow window, QObject* parent)
    : QObject(parent)
    , game_(game)
    , window_(std::move(window))
    , random_(std::random_device{}())
{
    stepTimer_.setSingleShot(true);
    // A coarse timer may fire early, and the pause is a least.
    stepTimer_.setTimerType(Qt::PreciseTimer);
    connect(&stepTimer_, &QTimer::timeout, this, &TComputerTurn::Step);
}

TComputerTurn::~TComputerTurn() = default;

bool TComputerTurn::IsComputer(int side) const
{
    if (window_.Remote && window_.Remote(side))
        return false;
    return (side == 0 ? game_.RedPlayer : game_.BluePlayer) == 1;
}

int TComputerTurn::SideToMove() const
{
    // A pick hands CurrentPlayer over at once; the picked piece still
    // names the side whose move it is.
    if (game_.SelectionState == SelectionRed)
        return 0;
    if (game_.SelectionState == SelectionBlue)
        return 1;
    return game_.CurrentPlayer == 1 ? 1 : 0;
}

bool TComputerTurn::ComputerToMove() const
{
    return started_ && IsComputer(SideToMove());
}

int TComputerTurn::LevelSetting() const
{
    return std::clamp<int>(game_.Intelligence, MinLevel, MaxLevel);
}

TPosition TComputerTurn::CurrentPosition(int side) const
{
    return PositionFromGame(game_.GameBoard, game_.Size(), side);
}

void TComputerTurn::SetPauses(int minTurnMs, int pickShownMs)
{
    minTurnMs_ = minTurnMs;
    pickShownMs_ = pickShownMs;
}

void TComputerTurn::NewGame()
{
    Cancel();
    record_.Clear();
    started_ = true;
    newGame_ = true;
}

void TComputerTurn::Cancel()
{
    ++ticket_;
    if (thread_)
        thread_->Cancel();
    stepTimer_.stop();
    phase_ = phIdle;
}

void TComputerTurn::Update()
{
    if (!started_ || pressing_)
        return;
    const int side = SideToMove();
    const TPosition position = CurrentPosition(side);
    // Every position the game passes through, once, for the repetition
    // rule of the search; a pick leaves the position as it was.
    if (record_.Positions().empty() || !(record_.Positions().back() == position))
        record_.Add(position);

    if (!IsComputer(side)) {
        if (phase_ != phIdle)
            Cancel();
        return;
    }
    // A turn for another position or another level is of no use any more.
    if (phase_ != phIdle && (!(position == position_) || level_ != LevelSetting()))
        Cancel();
    if (!window_.CanPress())
        return;
    switch (phase_) {
    case phIdle:
        StartThinking(side, position);
        break;
    case phThinking:
        break;
    case phChosen:
    case phPicked:
        if (!stepTimer_.isActive())
            ScheduleStep();
        break;
    }
}

void TComputerTurn::StartThinking(int side, const TPosition& position)
{
    ++ticket_;
    phase_ = phThinking;
    position_ = position;
    level_ = LevelSetting();
    if (!thread_) {
        thread_ = std::make_unique<TThinkingThread>([this](std::uint64_t ticket, std::optional<TMove> move) {
            // From the thinking thread; the answer is looked at on this one.
            QMetaObject::invokeMethod(this, [this, ticket, move] { OnResult(ticket, move); }, Qt::QueuedConnection);
        });
    }
    thread_->Start(ticket_, ThinkRequestFromGame(game_.GameBoard, game_.Size(), side, record_, level_, random_()),
                  std::exchange(newGame_, false));
    // After the first search's thread and tables are made, which can take
    // a moment the pause must not lose.
    turnClock_.start();
    emit ThinkingStarted();
}

void TComputerTurn::OnResult(std::uint64_t ticket, std::optional<TMove> move)
{
    if (ticket != ticket_ || phase_ != phThinking)
        return;
    if (!move) {
        // Only a position without a move has no answer, and the game never
        // leaves the turn with such a side.
        phase_ = phIdle;
        return;
    }
    move_ = *move;
    phase_ = phChosen;
    ScheduleStep();
}

void TComputerTurn::ScheduleStep()
{
    qint64 due = 0;
    if (phase_ == phPicked)
        due = std::max<qint64>(minTurnMs_, pickedAt_ + pickShownMs_) - turnClock_.elapsed();
    stepTimer_.start(static_cast<int>(std::max<qint64>(due, 0)));
}

void TComputerTurn::Step()
{
    // Whatever keeps the window from taking a press calls Update when it
    // ends, and the turn goes on from there.
    if (!window_.CanPress())
        return;
    const int side = SideToMove();
    if (!IsComputer(side) || !(CurrentPosition(side) == position_)) {
        Cancel();
        Update();
        return;
    }
    if (phase_ == phChosen) {
        // The piece must still be there: the position is the one searched.
        phase_ = phPicked;
        pickedAt_ = turnClock_.elapsed();
        PressCell(move_.From);
        const std::uint8_t code = side == 0 ? SelectionRed : SelectionBlue;
        if (phase_ != phPicked || game_.SelectionState != code || game_.SelectedCell != move_.From) {
            Cancel();
            return;
        }
        ScheduleStep();
    } else if (phase_ == phPicked) {
        phase_ = phIdle;
        PressCell(move_.To);
        Update();
    }
}

void TComputerTurn::PressCell(TPoint cell)
{
    // The window's own Update calls at the end of the press wait for this one.
    pressing_ = true;
    const auto done = qScopeGuard([this] { pressing_ = false; });
    window_.Press(cell);
}
