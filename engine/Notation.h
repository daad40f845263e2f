// Positions and moves as one line of text, for the command-line engine, test
// cases and bug reports.
//
// A position is "WxH ROWS SIDE": the board size, the rows from top to bottom
// separated by '/', each row's cells from the left: 'R' a Red piece, 'B' a
// Blue piece, '.' an empty cell, or a number for that many empty cells; and
// the side to pick, 'R' or 'B'. Letters may be lower case. The 10 x 10 start
// with Red to pick reads "10x10 R9/10/10/10/10/10/10/10/10/9B R".
//
// A cell is its column as a letter from 'a' and its row as a number from 1
// (the top row): "a1" is the top-left cell. A move is "ORIGIN-TARGET"; a
// copy may also be given as its target alone, since copies to one cell are
// the same move.
#pragma once

#include "engine/Position.h"

#include <optional>
#include <string>
#include <string_view>

std::string FormatPosition(const TPosition& position);
// Reads a position; on bad input returns nothing and says why in `error`.
std::optional<TPosition> ParsePosition(std::string_view text, std::string& error);

std::string FormatCell(const TGeometry& geometry, int index);
// The move as origin and target. A copy names as its origin the first of the
// target's neighbours that holds a piece of the side to pick.
std::string FormatMove(const TPosition& position, TEngineMove move);
// Reads a legal move of the side to pick.
std::optional<TEngineMove> ParseMove(const TPosition& position, std::string_view text, std::string& error);

// "WxH" with both sides in 4..10.
bool ParseSize(std::string_view text, int& width, int& height);

// The origin a copy is shown from: the lowest-numbered neighbour of the
// target that holds a piece of the side to pick.
int CopyOrigin(const TPosition& position, int to);
