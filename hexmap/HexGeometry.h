// The arithmetic of a grid of six-sided cells with flat tops and pointed left
// and right corners: where a cell lies, which cell lies under a pixel, and how
// many steps separate two cells. Odd-numbered columns stand half a cell higher
// than even-numbered ones. Pure integer arithmetic, no drawing, so the game's
// rules measure moves with it without a display.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>

// A cell (X = column, Y = row, both from 1; (0, 0) is no cell) or a pixel.
struct TPoint {
    std::int32_t X = 0;
    std::int32_t Y = 0;

    friend bool operator==(TPoint, TPoint) = default;
};

enum : std::uint8_t { cpCellToPixel = 0, cpPixelToCell = 1 };

// Nearest integer to numerator / denominator (denominator > 0), exact halves
// going to the even integer.
std::int64_t RoundHalfEven(std::int64_t numerator, std::int64_t denominator);

// Half the height of a cell of radius R: the nearest integer to R * sqrt(3) / 2.
std::int32_t HalfHeightOf(std::int32_t radius);

struct THexGeometry {
    std::int32_t HexColumns = 8;
    std::int32_t HexRows = 8;
    std::int32_t HexRadius = 30;     // centre to left and right corner; always even
    std::int32_t HexHalfHeight = 26; // follows HexRadius

    // cpCellToPixel: the centre of a cell (any integers, no bounds check).
    // cpPixelToCell: the cell under a pixel, or (0, 0) outside the grid; every
    // cell answers for a rectangle of 3R/2 x 2H around its centre, and a pixel
    // exactly on a border goes to the even column or row.
    TPoint ConvertPoint(TPoint point, std::uint8_t mode) const;

    // Steps through neighbouring cells. Inside the grid this is the shortest
    // path; outside it the walk saturates at HexColumns * HexRows steps.
    std::int32_t HexDistance(TPoint a, TPoint b) const
    {
        // Inside the grid the walk always takes a shortest path, whose length
        // follows from the columns apart and the cells' heights in half
        // cells: each step across also climbs or descends one half cell. The
        // rules ask for thousands of distances per move, so they get them
        // without walking. (Both cells in the grid: the smallest coordinate
        // at least 1, the largest within the counts.)
        const bool inside = std::min(std::min(a.X, b.X), std::min(a.Y, b.Y)) >= 1 &&
                            std::max(a.X, b.X) <= HexColumns && std::max(a.Y, b.Y) <= HexRows;
        if (inside) [[likely]] {
            const std::int64_t across = std::abs(std::int64_t(a.X) - b.X);
            const std::int64_t climb = std::abs(HalfCellHeight(a) - HalfCellHeight(b));
            return static_cast<std::int32_t>(across + std::max<std::int64_t>(0, (climb - across) / 2));
        }
        return WalkDistance(a, b, std::int64_t(HexColumns) * HexRows);
    }

    // Size of the control that shows the grid on a plain background.
    std::int32_t ControlWidth() const { return 3 * HexRadius / 2 * (HexColumns - 1) + 2 * HexRadius; }
    std::int32_t ControlHeight() const { return 2 * HexHalfHeight * HexRows + HexHalfHeight; }

private:
    // Odd columns stand half a cell higher than even ones.
    static std::int64_t HalfCellHeight(TPoint cell) { return 2 * std::int64_t(cell.Y) - (cell.X & 1); }
    // The distance by walking, for cells off the grid: at most `budget`
    // steps, and always at least one. Static, so that an inlined
    // HexDistance keeps the grid in registers.
    static std::int32_t WalkDistance(TPoint a, TPoint b, std::int64_t budget);
};
