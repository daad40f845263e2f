// A game view that records what the logic shows, for tests that drive whole
// games without a window.
#pragma once

#include "game/GameLogic.h"

#include <QStringList>

#include <cstring>

#include <functional>
#include <vector>

struct TPaint {
    TPoint Cell;
    TColor Color;
    friend bool operator==(const TPaint&, const TPaint&) = default;
};

class FakeGameView : public IGameView {
public:
    explicit FakeGameView(TGameState& state)
        : state_(state)
    {
        Geometry = {state.BoardWidth, state.BoardHeight, 20, 17};
    }

    const THexGeometry& BoardGeometry() const override { return Geometry; }
    void PaintCell(TPoint cell, TColor color) override { Paints.push_back({cell, color}); }
    void PlayEffect(const QString& fileName) override { Effects << fileName; }
    void ShowScore(TSide side, int count) override
    {
        (side == TSide::Red ? RedScore : BlueScore) = count;
        ScoreHistory.push_back({side, count});
    }
    void UpdateTurnIndicator() override { ++TurnUpdates; }
    void Wait(TPace& pace) override
    {
        Waits.push_back(static_cast<int>(pace.StepMs()));
        PaceSteps.push_back(pace.Steps());
        PaintsAtWait.push_back(Paints.size());
    }
    void ShowPodium(TPodiumOutcome outcome) override { Podiums.push_back(outcome); }
    void Restart() override
    {
        ++Restarts;
        SetUpNewBoard(state_, 0);
    }

    // The pixel at the centre of a cell, as a player would press it.
    TPoint PixelOf(TPoint cell) const { return Geometry.ConvertPoint(cell, cpCellToPixel); }

    void Clear()
    {
        Paints.clear();
        Effects.clear();
        ScoreHistory.clear();
        Waits.clear();
        PaceSteps.clear();
        PaintsAtWait.clear();
        Podiums.clear();
        TurnUpdates = Restarts = 0;
    }

    THexGeometry Geometry;
    std::vector<TPaint> Paints;
    QStringList Effects;
    int RedScore = -1;
    int BlueScore = -1;
    std::vector<std::pair<TSide, int>> ScoreHistory;
    int TurnUpdates = 0;
    std::vector<int> Waits;
    // For each wait: the length of its pace, and how many cells had been
    // painted when it came.
    std::vector<int> PaceSteps;
    std::vector<size_t> PaintsAtWait;
    std::vector<TPodiumOutcome> Podiums;
    int Restarts = 0;

private:
    TGameState& state_;
};

// A board drawn as text, one string per row, one character per column:
// 'R' Red, 'B' Blue, '.' empty.
inline void LoadBoard(TGameState& state, std::initializer_list<const char*> rows)
{
    state.BoardHeight = std::uint8_t(rows.size());
    state.BoardWidth = std::uint8_t(std::strlen(*rows.begin()));
    state.TotalCells = std::uint8_t(state.BoardWidth * state.BoardHeight);
    state.HalfCells = state.TotalCells / 2;
    int row = 1;
    for (const char* line : rows) {
        for (int column = 1; column <= state.BoardWidth; ++column)
            state.GameBoard(column, row) = line[column - 1] == 'R' ? clRed : line[column - 1] == 'B' ? clBlue : clGray;
        ++row;
    }
}
