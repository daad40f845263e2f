// Transposition table storage and replacement.
#include "engine/TranspositionTable.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif
#if defined(_WIN32)
#include <malloc.h>
#endif

namespace {

// Probes land anywhere in the table, so with small pages nearly every probe
// also misses the address cache; the table asks for huge pages where it can.
constexpr std::size_t HugePage = std::size_t(2) << 20;

void* AllocateAligned(std::size_t alignment, std::size_t size)
{
#if defined(_WIN32)
    return _aligned_malloc(size, alignment);
#else
    return std::aligned_alloc(alignment, size);
#endif
}

} // namespace

void TTranspositionTable::TFree::operator()(TTableEntry* entries) const
{
#if defined(_WIN32)
    _aligned_free(entries);
#else
    std::free(entries);
#endif
}

TTranspositionTable::TTranspositionTable(std::size_t megabytes)
{
    Resize(megabytes);
}

void TTranspositionTable::Resize(std::size_t megabytes)
{
    const std::size_t bytes = std::max<std::size_t>(megabytes, 1) << 20;
    // A power of two of buckets, so a key's bucket is a mask away.
    const std::size_t buckets = std::bit_floor(bytes / (sizeof(TTableEntry) * BucketSize));
    size_ = buckets * BucketSize;
    const std::size_t size = size_ * sizeof(TTableEntry);
    void* memory = AllocateAligned(size % HugePage == 0 ? HugePage : 64, size);
    if (!memory)
        throw std::bad_alloc();
#if defined(MADV_HUGEPAGE)
    madvise(memory, size, MADV_HUGEPAGE);
#endif
    entries_.reset(static_cast<TTableEntry*>(memory));
    Clear();
    mask_ = buckets - 1;
}

void TTranspositionTable::Clear()
{
    std::fill(entries_.get(), entries_.get() + size_, TTableEntry{});
}

void TTranspositionTable::Store(std::uint64_t key, int score, TEngineMove move, int depth, std::uint8_t bound)
{
    TTableEntry* bucket = &entries_[(key & mask_) * BucketSize];
    TTableEntry* victim = bucket;
    int worst = 1 << 30;
    for (int i = 0; i < BucketSize; ++i) {
        TTableEntry& entry = bucket[i];
        if (entry.Key == key || entry.Bound == BoundNone) {
            victim = &entry;
            break;
        }
        // Entries of earlier searches count as eight plies shallower.
        const int worth = entry.Depth - (entry.Generation == generation_ ? 0 : 8);
        if (worth < worst) {
            worst = worth;
            victim = &entry;
        }
    }
    // A shallower result keeps the move a deeper one found for the position.
    if (victim->Key == key && move == NoEngineMove)
        move = victim->BestMove();
    victim->Key = key;
    victim->Score = std::int16_t(score);
    victim->Move = move.Code();
    victim->Depth = std::int8_t(depth);
    victim->Bound = bound;
    victim->Generation = generation_;
}
