// The computer player's turns in the window: when the side to move is played
// by the computer, it asks the engine for a move on the thinking thread and
// then presses the board as a player would: the piece first, so its
// highlight shows, then the target. The window stays responsive throughout,
// and anything that changes the game cancels the turn so that a late answer
// is never played.
#pragma once

#include "engine/ComputerPlayer.h"
#include "game/GameState.h"
#include "game/Moves.h"
#include "game/ThinkingThread.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <random>

class TComputerTurn : public QObject {
    Q_OBJECT

public:
    // What the turn needs of the window.
    struct TWindow {
        // No paced sequence, button handler or modal window is under way.
        std::function<bool()> CanPress;
        // A press on the cell, through the same path as a player's.
        std::function<void(TPoint cell)> Press;
        // Is the side (0 Red, 1 Blue) played from elsewhere (the peer of a
        // game over the network)? The computer never moves for it.
        std::function<bool(int side)> Remote;
    };

    // The least time from the start of the computer's turn to its target
    // press, and the least time its picked piece stays highlighted: long
    // enough for the players to see which piece went where.
    static constexpr int MinTurnMs = 400;
    static constexpr int PickShownMs = 250;

    TComputerTurn(TGameState& game, TWindow window, QObject* parent = nullptr);
    ~TComputerTurn() override;

    // Other pauses, for tests that play whole games.
    void SetPauses(int minTurnMs, int pickShownMs);
    // The level of the turn under way.
    int TurnLevel() const { return level_; }

    // Is the side (0 Red, 1 Blue) played by the computer?
    bool IsComputer(int side) const;
    // The side the board waits for: the side to pick, or the side of the
    // piece picked.
    int SideToMove() const;
    // The computer is to move: a player's press on the board is refused.
    bool ComputerToMove() const;
    // A search for the present position runs or its move is being pressed.
    bool TurnUnderWay() const { return phase_ != phIdle; }
    bool Thinking() const { return phase_ == phThinking; }
    // The thinking thread still runs a search (a cancelled one for the few
    // milliseconds it takes to stop).
    bool SearchRunning() const { return thread_ && thread_->Busy(); }

    // A new game stands on the board: the positions of the last one are
    // forgotten and its turn is cancelled.
    void NewGame();
    // Drops the running search and the presses still due; nothing of them
    // is played. The piece already picked stays picked.
    void Cancel();
    // After anything may have changed (a move, a closed window, other
    // settings): notes the position and starts, goes on with or cancels the
    // computer's turn. Does nothing while the window cannot take a press.
    void Update();

signals:
    // A turn's search has started (for tests and measurements).
    void ThinkingStarted();

private:
    enum TPhase { phIdle, phThinking, phChosen, phPicked };

    int LevelSetting() const;
    TPosition CurrentPosition(int side) const;
    void StartThinking(int side, const TPosition& position);
    void OnResult(std::uint64_t ticket, std::optional<TMove> move);
    void ScheduleStep();
    void Step();
    void PressCell(TPoint cell);

    TGameState& game_;
    TWindow window_;
    TGameRecord record_;
    bool started_ = false;
    bool newGame_ = false;
    bool pressing_ = false;
    TPhase phase_ = phIdle;
    std::uint64_t ticket_ = 0;
    TPosition position_;
    int level_ = DefaultLevel;
    TMove move_;
    int minTurnMs_ = MinTurnMs;
    int pickShownMs_ = PickShownMs;
    QElapsedTimer turnClock_;
    qint64 pickedAt_ = 0;
    QTimer stepTimer_;
    std::mt19937_64 random_;
    // Made for the first search, so that a game between people has no
    // thread and no search tables. Last: stopped before anything it
    // reports to goes.
    std::unique_ptr<TThinkingThread> thread_;
};
