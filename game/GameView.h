// What the game logic asks of the window that shows it. The main window
// implements it; tests drive whole games through a recording fake.
#pragma once

#include "game/GameState.h"
#include "game/WaitMs.h"

#include <QString>

// The podium pictures, by outcome.
enum TPodiumOutcome : std::uint8_t { poDraw = 0, poBlueWon = 1, poRedWon = 2 };

enum class TSide : std::uint8_t { Red, Blue };

class IGameView {
public:
    virtual ~IGameView() = default;

    // Pixel-to-cell conversion of the board as it is shown.
    virtual const THexGeometry& BoardGeometry() const = 0;
    // Paints one cell at once.
    virtual void PaintCell(TPoint cell, TColor color) = 0;
    // Starts an effect and returns; only called with sound on.
    virtual void PlayEffect(const QString& fileName) = 0;
    virtual void ShowScore(TSide side, int count) = 0;
    virtual void UpdateTurnIndicator() = 0;
    // Waits, the window staying responsive, until the next step of a paced
    // sequence is due.
    virtual void Wait(TPace& pace) = 0;
    // Shows the outcome until the players close it.
    virtual void ShowPodium(TPodiumOutcome outcome) = 0;
    // Sets up a new game, as the Restart button does.
    virtual void Restart() = 0;
};
