// The transposition table: what earlier searches learnt about a position,
// keyed by its Zobrist key. Four entries share a 64-byte bucket; a new result
// replaces the entry of the same position, else the one least worth keeping
// (shallow, or from an earlier search). Owned by one searcher, never shared.
#pragma once

#include "engine/Position.h"

#include <cstdint>
#include <memory>

enum : std::uint8_t { BoundNone = 0, BoundUpper = 1, BoundLower = 2, BoundExact = 3 };

struct TTableEntry {
    std::uint64_t Key = 0;
    std::int16_t Score = 0;
    std::uint16_t Move = 0; // TEngineMove::Code()
    std::int8_t Depth = 0;
    std::uint8_t Bound = BoundNone;
    std::uint8_t Generation = 0;
    std::uint8_t Unused = 0;

    TEngineMove BestMove() const { return {std::uint8_t(Move >> 8), std::uint8_t(Move & 0xFF)}; }
};
static_assert(sizeof(TTableEntry) == 16);

class TTranspositionTable {
public:
    explicit TTranspositionTable(std::size_t megabytes = 16);

    void Resize(std::size_t megabytes);
    void Clear();
    // A new search: older entries become the first to go.
    void NewSearch() { ++generation_; }

    // The entry of `key`, or nullptr.
    const TTableEntry* Probe(std::uint64_t key) const
    {
        const TTableEntry* bucket = &entries_[(key & mask_) * BucketSize];
        for (int i = 0; i < BucketSize; ++i)
            if (bucket[i].Key == key && bucket[i].Bound != BoundNone)
                return &bucket[i];
        return nullptr;
    }
    // Starts loading the bucket of `key` while other work goes on.
    void Prefetch(std::uint64_t key) const
    {
#if defined(__GNUC__)
        __builtin_prefetch(&entries_[(key & mask_) * BucketSize]);
#else
        (void)key;
#endif
    }
    void Store(std::uint64_t key, int score, TEngineMove move, int depth, std::uint8_t bound);

    std::size_t Entries() const { return size_; }

private:
    struct TFree {
        void operator()(TTableEntry* entries) const;
    };
    static constexpr int BucketSize = 4;
    std::unique_ptr<TTableEntry[], TFree> entries_;
    std::size_t size_ = 0;
    std::uint64_t mask_ = 0;
    std::uint8_t generation_ = 0;
};
