#include "hexmap/HexGeometry.h"

#include <cmath>
#include <cstdlib>

std::int64_t RoundHalfEven(std::int64_t numerator, std::int64_t denominator)
{
    std::int64_t quotient = numerator / denominator;
    std::int64_t remainder = numerator % denominator;
    if (remainder < 0) {
        remainder += denominator;
        --quotient;
    }
    const std::int64_t twice = 2 * remainder;
    if (twice > denominator || (twice == denominator && (quotient & 1)))
        ++quotient;
    return quotient;
}

std::int32_t HalfHeightOf(std::int32_t radius)
{
    const long double r = radius;
    const long double half = r / 2;
    // nearbyint rounds halves to even in the default rounding mode.
    return static_cast<std::int32_t>(std::nearbyint(std::sqrt(r * r - half * half)));
}

TPoint THexGeometry::ConvertPoint(TPoint point, std::uint8_t mode) const
{
    const std::int64_t r = HexRadius, h = HexHalfHeight;
    if (mode == cpCellToPixel) {
        const std::int64_t column = point.X, row = point.Y;
        const std::int64_t x = r + (column - 1) * (3 * r / 2);
        const std::int64_t y = (column & 1) ? h * (2 * row - 1) : 2 * h * row;
        return {static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)};
    }
    if (mode != cpPixelToCell || r <= 0 || h <= 0)
        return {};
    const std::int64_t column = RoundHalfEven(2 * std::int64_t(point.X) + r, 3 * r);
    const std::int64_t row = (column & 1) ? RoundHalfEven(std::int64_t(point.Y) + h, 2 * h)
                                          : RoundHalfEven(point.Y, 2 * h);
    if (column < 1 || row < 1 || row > HexRows || column > HexColumns)
        return {};
    return {static_cast<std::int32_t>(column), static_cast<std::int32_t>(row)};
}

std::int32_t THexGeometry::WalkDistance(TPoint a, TPoint b, std::int64_t budget)
{
    // Along a column, or along a row where the cells zig-zag, every step is
    // one cell.
    if (a.X == b.X || a.Y == b.Y)
        return static_cast<std::int32_t>(std::llabs(std::int64_t(a.X) - b.X) + std::llabs(std::int64_t(a.Y) - b.Y));

    // Otherwise walk from the lower cell up towards the other: sideways
    // one column per step (taking the upper diagonal neighbour while rows
    // remain to climb), then straight up. Every step reaches a neighbour; the
    // walk gives up after as many steps as the grid has cells.
    const TPoint target = b.Y < a.Y ? b : a;
    TPoint current = b.Y < a.Y ? a : b;
    const std::int32_t direction = target.X > current.X ? 1 : -1;
    std::int32_t steps = 0;
    do {
        --budget;
        ++steps;
        if (current.X != target.X) {
            const bool fromOddColumn = current.X & 1;
            current.X += direction;
            if (fromOddColumn && current.Y != target.Y)
                --current.Y;
        } else if (current.Y != target.Y) {
            --current.Y;
        }
    } while (current != target && budget > 0);
    return steps;
}
