// Per-size tables of neighbours and two-step cells.
#include "engine/Geometry.h"

#include <cstdlib>

int CellDistance(int column1, int row1, int column2, int row2)
{
    // A cell's height in half cells: odd columns stand half a cell higher.
    const int height1 = 2 * row1 - (column1 & 1);
    const int height2 = 2 * row2 - (column2 & 1);
    const int across = std::abs(column1 - column2);
    const int up = std::abs(height1 - height2);
    return across + (up > across ? (up - across) / 2 : 0);
}

namespace {

TGeometry Build(int width, int height)
{
    TGeometry g;
    g.Width = width;
    g.Height = height;
    g.Cells = width * height;
    g.Half = g.Cells / 2;
    for (int column = 1; column <= width; ++column) {
        for (int row = 1; row <= height; ++row) {
            const int index = g.Index(column, row);
            const TMask bit = TMask::Bit(index);
            g.Board |= bit;
            if (column & 1)
                g.OddColumns |= bit;
            g.Column[index] = std::uint8_t(column);
            g.Row[index] = std::uint8_t(row);
        }
    }
    ForEachBit(g.Board, [&](int a) {
        ForEachBit(g.Board, [&](int b) {
            const int distance = CellDistance(g.Column[a], g.Row[a], g.Column[b], g.Row[b]);
            if (distance == 1)
                g.Near[a] |= TMask::Bit(b);
            else if (distance == 2)
                g.Far[a] |= TMask::Bit(b);
        });
    });
    return g;
}

struct TAllGeometries {
    static constexpr int Sizes = EngineMaxSize - EngineMinSize + 1;
    TGeometry Table[Sizes][Sizes];

    TAllGeometries()
    {
        for (int w = EngineMinSize; w <= EngineMaxSize; ++w)
            for (int h = EngineMinSize; h <= EngineMaxSize; ++h)
                Table[w - EngineMinSize][h - EngineMinSize] = Build(w, h);
    }
};

} // namespace

const TGeometry& GeometryOf(int width, int height)
{
    // Built on first use; the language makes that safe across threads.
    static const TAllGeometries all;
    if (width < EngineMinSize || width > EngineMaxSize || height < EngineMinSize || height > EngineMaxSize)
        std::abort();
    return all.Table[width - EngineMinSize][height - EngineMinSize];
}
