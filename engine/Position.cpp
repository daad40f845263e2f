// Moves, game end and perft on the engine's position.
#include "engine/Position.h"

TPosition TPosition::Start(int width, int height, int side)
{
    const TGeometry& g = GeometryOf(width, height);
    return FromSets(g, TMask::Bit(g.Index(1, 1)), TMask::Bit(g.Index(width, height)), side);
}

TPosition TPosition::FromSets(const TGeometry& geometry, TMask red, TMask blue, int side)
{
    TPosition position;
    position.Geo = &geometry;
    position.Pieces = {red & geometry.Board, blue & geometry.Board & ~red};
    position.Side = std::uint8_t(side & 1);
    position.Hash = position.ComputeHash();
    return position;
}

std::uint64_t TPosition::ComputeHash() const
{
    std::uint64_t hash = Side == BlueSide ? Zobrist::SideToPick() : 0;
    for (int side = 0; side < 2; ++side)
        ForEachBit(Pieces[side], [&](int cell) { hash ^= Zobrist::Piece(side, cell); });
    return hash;
}

ZELVON_HOT void TPosition::GenerateMoves(TMoveList& list) const
{
    list.Count = 0;
    const TMask empty = Empty();
    ForEachBit(Geo->Grow(Own()) & empty, [&](int to) { list.Add(TEngineMove::Copy(to)); });
    ForEachBit(Own(), [&](int from) {
        ForEachBit(Geo->Far[from] & empty, [&](int to) { list.Add(TEngineMove::Jump(from, to)); });
    });
}

ZELVON_HOT int TPosition::CountMoves() const
{
    const TMask empty = Empty();
    int count = (Geo->Grow(Own()) & empty).Count();
    ForEachBit(Own(), [&](int from) { count += (Geo->Far[from] & empty).Count(); });
    return count;
}

bool TPosition::IsLegal(TEngineMove move) const
{
    if (!Geo->OnBoard(move.To) || !Empty().Has(move.To))
        return false;
    if (move.IsCopy())
        return (Geo->Near[move.To] & Own()).Any();
    return Geo->OnBoard(move.From) && Own().Has(move.From) && Geo->Far[move.To].Has(move.From);
}

ZELVON_HOT TResult TPosition::Outcome() const
{
    int red = Pieces[RedSide].Count();
    int blue = Pieces[BlueSide].Count();
    if (red == Geo->Half && blue == Geo->Half)
        return TResult::Draw;
    if (CanMove(Side))
        return TResult::None;
    // The mover takes every empty cell; the board is then full.
    const int filled = Empty().Count();
    (Side == RedSide ? blue : red) += filled;
    return blue > red ? TResult::BlueWins : TResult::RedWins;
}

namespace {

ZELVON_HOT std::uint64_t PerftInner(const TPosition& position, int depth)
{
    if (depth == 1)
        return std::uint64_t(position.CountMoves());
    TMoveList moves;
    position.GenerateMoves(moves);
    std::uint64_t leaves = 0;
    for (const TEngineMove move : moves) {
        TPosition next = position;
        next.Play(move);
        leaves += next.Outcome() != TResult::None ? 1 : PerftInner(next, depth - 1);
    }
    return leaves;
}

} // namespace

std::uint64_t Perft(const TPosition& position, int depth)
{
    return depth <= 0 ? 1 : PerftInner(position, depth);
}
