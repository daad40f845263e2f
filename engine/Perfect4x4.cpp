// Looking up the 4 x 4 values.
#include "engine/Perfect4x4.h"

#include <QByteArray>

#include <algorithm>

// The compressed table, generated from engine/data/perfect4x4.bin at build
// time (tools/EmbedData).
extern const char ZelvonPerfect4x4Data[];
extern const std::size_t ZelvonPerfect4x4DataSize;

TBoard4x4 TurnedRound(const TBoard4x4& board)
{
    // Cell k is column k / 4, row k % 4; turned round it is cell 15 - k.
    auto reverse = [](std::uint16_t bits) {
        std::uint16_t result = 0;
        for (int k = 0; k < 16; ++k)
            if (bits & (1u << k))
                result |= std::uint16_t(1u << (15 - k));
        return result;
    };
    return {reverse(board.Red), reverse(board.Blue), board.Side};
}

std::uint64_t TPerfect4x4::Slots(const TLayerIndex& index)
{
    std::uint64_t total = 0;
    for (int e = 0; e <= 16; ++e)
        total += index.LayerSize(e) / 2;
    return total;
}

std::uint64_t TPerfect4x4::Slot(const TLayerIndex& index, const TBoard4x4& board)
{
    const int empties = board.Empties();
    std::uint64_t offset = 0;
    for (int e = 0; e < empties; ++e)
        offset += index.LayerSize(e) / 2;
    const std::uint32_t a = index.IndexOf(board) >> 1;
    const std::uint32_t b = index.IndexOf(TurnedRound(board)) >> 1;
    return offset + std::min(a, b);
}

std::string TPerfect4x4::Compress(const std::vector<std::uint8_t>& packed)
{
    const QByteArray compressed = qCompress(reinterpret_cast<const uchar*>(packed.data()), qsizetype(packed.size()), 9);
    return std::string(compressed.constData(), std::size_t(compressed.size()));
}

TPerfect4x4::TPerfect4x4(const std::string& compressed)
{
    const QByteArray packed = qUncompress(reinterpret_cast<const uchar*>(compressed.data()), qsizetype(compressed.size()));
    // A table of another numbering is worse than none.
    if (std::uint64_t(packed.size()) != (Slots(index_) + 3) / 4)
        return;
    packed_.assign(packed.begin(), packed.end());
}

const TPerfect4x4& TPerfect4x4::Builtin()
{
    static const TPerfect4x4 table(std::string(ZelvonPerfect4x4Data, ZelvonPerfect4x4DataSize));
    return table;
}

TGameValue TPerfect4x4::Stored(const TPosition& position) const
{
    const std::uint64_t slot = Slot(index_, Board4x4Of(position));
    const int bits = (packed_[std::size_t(slot / 4)] >> (2 * (slot % 4))) & 3;
    return bits == 2 ? TGameValue::Win : bits == 1 ? TGameValue::Draw : TGameValue::Loss;
}

TGameValue TPerfect4x4::ValueOfMove(const TPosition& position, TEngineMove move) const
{
    TPosition next = position;
    next.Play(move);
    switch (next.Outcome()) {
    case TResult::Draw:
        return TGameValue::Draw;
    case TResult::RedWins:
        return position.Side == RedSide ? TGameValue::Win : TGameValue::Loss;
    case TResult::BlueWins:
        return position.Side == BlueSide ? TGameValue::Win : TGameValue::Loss;
    case TResult::None:
        break;
    }
    return TGameValue(-int(Value(next)));
}

TGameValue TPerfect4x4::Value(const TPosition& position) const
{
    if (position.Side == RedSide)
        return Stored(position);
    // Blue to pick: every move leads to a stored position or ends the game.
    TMoveList moves;
    position.GenerateMoves(moves);
    TGameValue best = TGameValue::Loss;
    for (const TEngineMove move : moves) {
        best = std::max(best, ValueOfMove(position, move));
        if (best == TGameValue::Win)
            break;
    }
    return best;
}
