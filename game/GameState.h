// The board and the game's variables. There is no board object beyond a
// fixed 10 x 10 array of colour values: every cell is painted in exactly the
// colour the array holds, so the array doubles as the picture's model.
#pragma once

#include "hexmap/HexGeometry.h"
#include "shell/Colors.h"

#include <QString>
#include <QtGlobal>

#include <array>
#include <cstdint>

constexpr int MaxBoardSize = 10;
constexpr int MinBoardSize = 4;

// Colour values indexed [column, row], both from 1. The column is the major
// index, so the layout does not change with the board size; cells outside the
// board in use keep whatever an earlier, larger game left there.
class TGameBoard {
public:
    TGameBoard() { cells_.fill(clGray); }

    TColor& operator()(int column, int row) { return cells_[Index(column, row)]; }
    TColor operator()(int column, int row) const { return cells_[Index(column, row)]; }
    TColor& operator[](TPoint cell) { return (*this)(cell.X, cell.Y); }
    TColor operator[](TPoint cell) const { return (*this)(cell.X, cell.Y); }

    friend bool operator==(const TGameBoard&, const TGameBoard&) = default;

private:
    static int Index(int column, int row)
    {
        Q_ASSERT(column >= 1 && column <= MaxBoardSize && row >= 1 && row <= MaxBoardSize);
        return (column - 1) * MaxBoardSize + (row - 1);
    }

    std::array<TColor, MaxBoardSize * MaxBoardSize> cells_;
};

// The Part of the board in use: everything that walks the board needs only
// its size, so the rules run on any board value.
struct TBoardSize {
    std::uint8_t Width = MaxBoardSize;
    std::uint8_t Height = MaxBoardSize;

    bool OnBoard(TPoint cell) const
    {
        return cell.X >= 1 && cell.X <= Width && cell.Y >= 1 && cell.Y <= Height;
    }

    friend bool operator==(TBoardSize, TBoardSize) = default;
};

// Column and row offsets of the six neighbours; odd columns stand half a cell
// higher than even ones. The order is the order captures are examined in.
inline constexpr std::array<TPoint, 6> NeighbourOffsetsOdd{{{-1, -1}, {0, -1}, {1, -1}, {-1, 0}, {0, 1}, {1, 0}}};
inline constexpr std::array<TPoint, 6> NeighbourOffsetsEven{{{-1, 0}, {0, -1}, {1, 0}, {-1, 1}, {0, 1}, {1, 1}}};

// The on-board neighbours of a cell in table order; off-board coordinates are
// dropped before anyone reads the board.
struct TNeighbours {
    std::array<TPoint, 6> Cells;
    int Count = 0;

    const TPoint* begin() const { return Cells.data(); }
    const TPoint* end() const { return Cells.data() + Count; }
};
TNeighbours Neighbours(TBoardSize size, TPoint cell);

struct TPieceCount {
    std::uint16_t Red = 0;
    std::uint16_t Blue = 0;
};
// Highlight colours count for their side, as the picture shows them.
TPieceCount CountPieces(const TGameBoard& board, TBoardSize size);

// Calls visit(cell) for every cell of the board in use, column by column
// (columns outer, rows inner): the order every whole-board pass shows.
template <typename Visit>
void ForEachCell(TBoardSize size, Visit&& visit)
{
    for (int column = 1; column <= size.Width; ++column)
        for (int row = 1; row <= size.Height; ++row)
            visit(TPoint{column, row});
}

// The game's variables. One instance is the game the main window plays; the
// settings store and the settings dialog read and change its options.
struct TGameState {
    TGameBoard GameBoard;
    std::uint8_t BoardWidth = 0;
    std::uint8_t BoardHeight = 0;
    std::uint8_t TotalCells = 0;
    std::uint8_t HalfCells = 0;
    std::uint8_t CurrentPlayer = 0;  // 0 = Red may pick, 1 = Blue may pick
    std::uint8_t SelectionState = 0; // 0 = none, 1 = a Blue piece, 2 = a Red piece
    TPoint SelectedCell;
    TPoint HoverCell;
    std::uint8_t RestartNeeded = 0;
    std::uint8_t SoundEnabled = 0;
    std::uint8_t MusicEnabled = 0;
    std::uint8_t MmxEnabled = 0;
    std::uint8_t DirectXEnabled = 0;
    std::uint8_t NetworkPlay = 0;
    std::uint8_t NetworkClient = 1;
    // Who plays each side: 0 a person at the mouse, 1 the computer, which
    // plays at level Intelligence (0..10).
    std::uint8_t BluePlayer = 0;
    std::uint8_t RedPlayer = 0;
    std::uint8_t Intelligence = 5;
    // Network play: the server's address as the player typed it, and the
    // port both sides use.
    QString NetworkAddress;
    std::uint16_t NetworkPort = 41095;
    // Comfort options, each off unless the players switch it on.
    std::uint8_t UndoEnabled = 0;     // "Povolit vracení tahů"
    std::uint8_t HintsEnabled = 0;    // "Ukázat možné tahy"
    std::uint8_t LastMoveEnabled = 0; // "Ukázat poslední tah"
    std::uint8_t Language = 0;        // 0 Czech, 1 English; read at start-up

    TBoardSize Size() const { return {BoardWidth, BoardHeight}; }
    bool OnBoard(TPoint cell) const { return Size().OnBoard(cell); }
};
