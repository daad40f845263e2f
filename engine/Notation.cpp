// Reading and writing positions, cells and moves as text.
#include "engine/Notation.h"

#include <cctype>

namespace {

bool ReadNumber(std::string_view text, std::size_t& at, int& value)
{
    const std::size_t start = at;
    value = 0;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) && at - start < 3)
        value = value * 10 + (text[at++] - '0');
    return at > start;
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

// Reads a cell name at `at`; index -1 for a name off the board.
bool ReadCell(const TGeometry& g, std::string_view text, std::size_t& at, int& index)
{
    if (at >= text.size() || !std::isalpha(static_cast<unsigned char>(text[at])))
        return false;
    const int column = std::tolower(static_cast<unsigned char>(text[at++])) - 'a' + 1;
    int row = 0;
    if (!ReadNumber(text, at, row))
        return false;
    index = column >= 1 && column <= g.Width && row >= 1 && row <= g.Height ? g.Index(column, row) : -1;
    return true;
}

} // namespace

bool ParseSize(std::string_view text, int& width, int& height)
{
    std::size_t at = 0;
    if (!ReadNumber(text, at, width) || at >= text.size() || (text[at] != 'x' && text[at] != 'X'))
        return false;
    ++at;
    if (!ReadNumber(text, at, height) || at != text.size())
        return false;
    return width >= EngineMinSize && width <= EngineMaxSize && height >= EngineMinSize && height <= EngineMaxSize;
}

std::string FormatPosition(const TPosition& position)
{
    const TGeometry& g = *position.Geo;
    std::string text = std::to_string(g.Width) + "x" + std::to_string(g.Height) + " ";
    for (int row = 1; row <= g.Height; ++row) {
        if (row > 1)
            text += '/';
        int run = 0;
        for (int column = 1; column <= g.Width; ++column) {
            const int index = g.Index(column, row);
            const char piece = position.Pieces[RedSide].Has(index) ? 'R' : position.Pieces[BlueSide].Has(index) ? 'B' : 0;
            if (!piece) {
                ++run;
                continue;
            }
            if (run)
                text += std::to_string(run);
            run = 0;
            text += piece;
        }
        if (run)
            text += std::to_string(run);
    }
    text += position.Side == RedSide ? " R" : " B";
    return text;
}

std::optional<TPosition> ParsePosition(std::string_view text, std::string& error)
{
    text = Trimmed(text);
    const std::size_t firstSpace = text.find_first_of(" \t");
    const std::size_t lastSpace = text.find_last_of(" \t");
    if (firstSpace == std::string_view::npos || firstSpace == lastSpace) {
        error = "a position has three parts, size, rows and side to pick, e.g. \"4x4 R3/4/4/3B R\"";
        return std::nullopt;
    }
    int width = 0, height = 0;
    if (!ParseSize(text.substr(0, firstSpace), width, height)) {
        error = "the board size must be WxH with both numbers from 4 to 10, not \"" + std::string(text.substr(0, firstSpace)) + "\"";
        return std::nullopt;
    }
    const std::string_view rows = Trimmed(text.substr(firstSpace, lastSpace - firstSpace));
    const std::string_view side = text.substr(lastSpace + 1);
    if (side.size() != 1 || (std::toupper(static_cast<unsigned char>(side[0])) != 'R' && std::toupper(static_cast<unsigned char>(side[0])) != 'B')) {
        error = "the side to pick must be R or B, not \"" + std::string(side) + "\"";
        return std::nullopt;
    }

    const TGeometry& g = GeometryOf(width, height);
    TMask red, blue;
    int row = 1, column = 1;
    std::size_t at = 0;
    while (at <= rows.size()) {
        const char c = at < rows.size() ? rows[at] : '/';
        if (c == '/') {
            if (column != width + 1) {
                error = "row " + std::to_string(row) + " has " + std::to_string(column - 1) + " cells, not " + std::to_string(width);
                return std::nullopt;
            }
            ++at;
            if (at > rows.size())
                break;
            if (++row > height) {
                error = "more than " + std::to_string(height) + " rows";
                return std::nullopt;
            }
            column = 1;
            continue;
        }
        int cells = 1;
        const char upper = char(std::toupper(static_cast<unsigned char>(c)));
        if (std::isdigit(static_cast<unsigned char>(c))) {
            ReadNumber(rows, at, cells);
            if (cells == 0) {
                error = "an empty run of 0 cells in row " + std::to_string(row);
                return std::nullopt;
            }
        } else if (upper == 'R' || upper == 'B' || c == '.') {
            ++at;
        } else {
            error = std::string("unknown character '") + c + "' in row " + std::to_string(row) + " (R, B, '.', digits and '/' only)";
            return std::nullopt;
        }
        if (column + cells > width + 1) {
            error = "row " + std::to_string(row) + " has more than " + std::to_string(width) + " cells";
            return std::nullopt;
        }
        if (upper == 'R')
            red |= TMask::Bit(g.Index(column, row));
        else if (upper == 'B')
            blue |= TMask::Bit(g.Index(column, row));
        column += cells;
    }
    if (row != height) {
        error = "the board has " + std::to_string(height) + " rows, the text " + std::to_string(row);
        return std::nullopt;
    }
    const int toPick = std::toupper(static_cast<unsigned char>(side[0])) == 'R' ? RedSide : BlueSide;
    return TPosition::FromSets(g, red, blue, toPick);
}

std::string FormatCell(const TGeometry& geometry, int index)
{
    return char('a' + geometry.Column[index] - 1) + std::to_string(geometry.Row[index]);
}

int CopyOrigin(const TPosition& position, int to)
{
    const TMask origins = position.Geo->Near[to] & position.Own();
    return origins.Any() ? origins.First() : to;
}

std::string FormatMove(const TPosition& position, TEngineMove move)
{
    if (move == NoEngineMove)
        return "none";
    const int from = move.IsCopy() ? CopyOrigin(position, move.To) : move.From;
    return FormatCell(*position.Geo, from) + "-" + FormatCell(*position.Geo, move.To);
}

std::optional<TEngineMove> ParseMove(const TPosition& position, std::string_view text, std::string& error)
{
    const TGeometry& g = *position.Geo;
    text = Trimmed(text);
    std::size_t at = 0;
    int from = -1, to = -1;
    bool haveFrom = false;
    if (!ReadCell(g, text, at, to)) {
        error = "\"" + std::string(text) + "\" is not a move such as a1-b1";
        return std::nullopt;
    }
    if (at < text.size() && text[at] == '-') {
        ++at;
        from = to;
        haveFrom = true;
        if (!ReadCell(g, text, at, to)) {
            error = "\"" + std::string(text) + "\" is not a move such as a1-b1";
            return std::nullopt;
        }
    }
    if (at != text.size()) {
        error = "\"" + std::string(text) + "\" is not a move such as a1-b1";
        return std::nullopt;
    }
    if (to < 0 || (haveFrom && from < 0)) {
        error = "\"" + std::string(text) + "\" names a cell off the " + std::to_string(g.Width) + "x" + std::to_string(g.Height) + " board";
        return std::nullopt;
    }
    TEngineMove move = TEngineMove::Copy(to);
    if (haveFrom) {
        const int distance = CellDistance(g.Column[from], g.Row[from], g.Column[to], g.Row[to]);
        if (distance == 2)
            move = TEngineMove::Jump(from, to);
        else if (distance != 1 || !position.Own().Has(from)) {
            error = "\"" + std::string(text) + "\" is not a legal move here";
            return std::nullopt;
        }
    }
    if (!position.IsLegal(move)) {
        error = "\"" + std::string(text) + "\" is not a legal move here";
        return std::nullopt;
    }
    return move;
}
