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

namespace {

// The table: a header of little-endian 32-bit words (the number of chunks,
// the unpacked size of a chunk, then each chunk's compressed size) and the
// chunks, each compressed with zlib on its own.
constexpr std::uint32_t ChunkCount = 32;

void PutWord(std::string& out, std::uint32_t word)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(char((word >> (8 * i)) & 0xFF));
}

std::uint32_t Word(const std::string& in, std::size_t at)
{
    std::uint32_t word = 0;
    for (int i = 0; i < 4; ++i)
        word |= std::uint32_t(static_cast<unsigned char>(in[at + std::size_t(i)])) << (8 * i);
    return word;
}

} // namespace

struct TPerfect4x4::TChunk {
    std::string Compressed;
    std::uint64_t Bytes = 0;
    mutable std::once_flag Unpacked;
    mutable std::vector<std::uint8_t> Packed;
};

std::string TPerfect4x4::Compress(const std::vector<std::uint8_t>& packed)
{
    const std::uint64_t chunkBytes = (packed.size() + ChunkCount - 1) / ChunkCount;
    std::string header, body;
    PutWord(header, ChunkCount);
    PutWord(header, std::uint32_t(chunkBytes));
    for (std::uint32_t i = 0; i < ChunkCount; ++i) {
        const std::uint64_t begin = std::min<std::uint64_t>(i * chunkBytes, packed.size());
        const std::uint64_t end = std::min<std::uint64_t>(begin + chunkBytes, packed.size());
        const QByteArray compressed = qCompress(packed.data() + begin, qsizetype(end - begin), 9);
        PutWord(header, std::uint32_t(compressed.size()));
        body.append(compressed.constData(), std::size_t(compressed.size()));
    }
    return header + body;
}

TPerfect4x4::TPerfect4x4(const std::string& table)
{
    // A table of another numbering, or a damaged one, is worse than none.
    const std::uint64_t packedBytes = (Slots(index_) + 3) / 4;
    if (table.size() < 8 || Word(table, 0) != ChunkCount)
        return;
    chunkBytes_ = Word(table, 4);
    if (chunkBytes_ * ChunkCount < packedBytes || table.size() < 8 + 4 * ChunkCount)
        return;
    std::size_t at = 8 + 4 * ChunkCount;
    std::vector<std::unique_ptr<TChunk>> chunks;
    for (std::uint32_t i = 0; i < ChunkCount; ++i) {
        const std::size_t size = Word(table, 8 + 4 * i);
        if (at + size > table.size())
            return;
        auto chunk = std::make_unique<TChunk>();
        chunk->Compressed = table.substr(at, size);
        chunk->Bytes = std::min<std::uint64_t>(chunkBytes_, packedBytes - std::min(packedBytes, i * chunkBytes_));
        chunks.push_back(std::move(chunk));
        at += size;
    }
    chunks_ = std::move(chunks);
}

TPerfect4x4::~TPerfect4x4() = default;

const TPerfect4x4& TPerfect4x4::Builtin()
{
    static const TPerfect4x4 table(std::string(ZelvonPerfect4x4Data, ZelvonPerfect4x4DataSize));
    return table;
}

TGameValue TPerfect4x4::Stored(const TPosition& position) const
{
    const std::uint64_t slot = Slot(index_, Board4x4Of(position));
    const std::uint64_t byte = slot / 4;
    const TChunk& chunk = *chunks_[std::size_t(byte / chunkBytes_)];
    std::call_once(chunk.Unpacked, [&] {
        const QByteArray packed = qUncompress(reinterpret_cast<const uchar*>(chunk.Compressed.data()),
                                              qsizetype(chunk.Compressed.size()));
        chunk.Packed.assign(packed.begin(), packed.end());
        // A damaged chunk reads as draws rather than out of bounds.
        chunk.Packed.resize(std::size_t(chunk.Bytes), 0x55);
    });
    const int bits = (chunk.Packed[std::size_t(byte % chunkBytes_)] >> (2 * (slot % 4))) & 3;
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
