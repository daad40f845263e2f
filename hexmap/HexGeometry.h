// The arithmetic of a grid of six-sided cells with flat tops and pointed left
// and right corners: where a cell lies, which cell lies under a pixel, and how
// many steps separate two cells. Odd-numbered columns stand half a cell higher
// than even-numbered ones. Pure integer arithmetic, no drawing, so the game's
// rules measure moves with it without a display.
#pragma once

#include <cstdint>

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
    std::int32_t HexDistance(TPoint a, TPoint b) const;

    // Size of the control that shows the grid on a plain background.
    std::int32_t ControlWidth() const { return 3 * HexRadius / 2 * (HexColumns - 1) + 2 * HexRadius; }
    std::int32_t ControlHeight() const { return 2 * HexHalfHeight * HexRows + HexHalfHeight; }
};
