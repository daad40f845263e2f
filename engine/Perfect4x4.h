// Perfect play on the 4 x 4 board, from the values of the retrograde
// analysis (tools/Retrograde4x4): won, drawn or lost with best play.
//
// The table keeps the value of every position with Red to pick, two bits a
// position in the numbering of TLayerIndex, packed and compressed in chunks;
// a position turned half round (which the rules cannot tell apart) is stored
// once. The value of a position with Blue to pick is worked out from its
// moves, which all lead to positions with Red to pick, so half the table is
// never stored. A chunk is unpacked the first time a value in it is wanted,
// a few milliseconds each, so a player that is told to stop never waits for
// the whole table.
#pragma once

#include "engine/Board4x4.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

enum class TGameValue : std::int8_t { Loss = -1, Draw = 0, Win = 1 };

class TPerfect4x4 {
public:
    // The table built into the program; not Ready() when it cannot be read.
    static const TPerfect4x4& Builtin();

    // From the bytes Retrograde4x4 writes with --table.
    explicit TPerfect4x4(const std::string& table);
    ~TPerfect4x4();

    bool Ready() const { return !chunks_.empty(); }

    // The value for the side to pick of a 4 x 4 position that goes on.
    TGameValue Value(const TPosition& position) const;
    // The value for the side to pick of playing `move`.
    TGameValue ValueOfMove(const TPosition& position, TEngineMove move) const;

    // The numbers the table keeps a value under: positions with Red to pick,
    // the smaller number of the position and of it turned half round.
    static std::uint64_t Slot(const TLayerIndex& index, const TBoard4x4& board);
    static std::uint64_t Slots(const TLayerIndex& index);
    // Two bits a slot: 0 loss, 1 draw, 2 win (3 is not used); the bytes of
    // the table as --table writes them.
    static std::string Compress(const std::vector<std::uint8_t>& packed);

private:
    struct TChunk;
    TGameValue Stored(const TPosition& position) const;

    TLayerIndex index_;
    std::vector<std::unique_ptr<TChunk>> chunks_;
    std::uint64_t chunkBytes_ = 0;
};

// The board turned half round: cell (c, r) goes to (5 - c, 5 - r).
TBoard4x4 TurnedRound(const TBoard4x4& board);
