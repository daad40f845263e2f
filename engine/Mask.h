// A set of up to 128 cells as two 64-bit words: the engine's board is two of
// them, one per colour. GCC and Clang (MinGW included) give us a native
// 128-bit integer, which turns every operation into two or three machine
// instructions; other compilers get the same operations spelt out on words.
#pragma once

#include <bit>
#include <cstdint>

#if defined(__SIZEOF_INT128__)
#define ZELVON_NATIVE_INT128 1
#endif

// Counting the cells of a set is the engine's most frequent operation, and
// the baseline x86-64 has no instruction for it. The hot functions are
// therefore compiled for newer processors too, and the loader picks the
// version the machine runs (GNU indirect functions, Linux only).
#if defined(__x86_64__) && defined(__linux__) && defined(__has_attribute)
#if __has_attribute(target_clones)
#define ZELVON_HOT __attribute__((target_clones("arch=x86-64-v3", "arch=x86-64-v2", "default")))
#endif
#endif
#ifndef ZELVON_HOT
#define ZELVON_HOT
#endif
// A helper of a hot function must be inlined into it, or it runs as the
// baseline version.
#if defined(__GNUC__)
#define ZELVON_INLINE [[gnu::always_inline]] inline
#else
#define ZELVON_INLINE inline
#endif

struct TMask {
    std::uint64_t Lo = 0;
    std::uint64_t Hi = 0;

    static constexpr TMask Bit(int index)
    {
        return index < 64 ? TMask{std::uint64_t(1) << index, 0} : TMask{0, std::uint64_t(1) << (index - 64)};
    }

    constexpr bool Any() const { return (Lo | Hi) != 0; }
    constexpr bool None() const { return (Lo | Hi) == 0; }
    constexpr bool Has(int index) const { return index < 64 ? (Lo >> index) & 1 : (Hi >> (index - 64)) & 1; }
    constexpr int Count() const { return std::popcount(Lo) + std::popcount(Hi); }
    // Index of the lowest cell; the set must not be empty.
    constexpr int First() const { return Lo ? std::countr_zero(Lo) : 64 + std::countr_zero(Hi); }
    // Removes the lowest cell and returns its index; the set must not be empty.
    constexpr int PopFirst()
    {
        if (Lo) {
            const int index = std::countr_zero(Lo);
            Lo &= Lo - 1;
            return index;
        }
        const int index = 64 + std::countr_zero(Hi);
        Hi &= Hi - 1;
        return index;
    }

    friend constexpr TMask operator|(TMask a, TMask b) { return {a.Lo | b.Lo, a.Hi | b.Hi}; }
    friend constexpr TMask operator&(TMask a, TMask b) { return {a.Lo & b.Lo, a.Hi & b.Hi}; }
    friend constexpr TMask operator^(TMask a, TMask b) { return {a.Lo ^ b.Lo, a.Hi ^ b.Hi}; }
    constexpr TMask operator~() const { return {~Lo, ~Hi}; }
    constexpr TMask& operator|=(TMask b) { return *this = *this | b; }
    constexpr TMask& operator&=(TMask b) { return *this = *this & b; }
    constexpr TMask& operator^=(TMask b) { return *this = *this ^ b; }
    friend constexpr bool operator==(TMask, TMask) = default;

    // Shifts towards higher indices by 0..127.
    constexpr TMask operator<<(int n) const
    {
#ifdef ZELVON_NATIVE_INT128
        const unsigned __int128 v = ((unsigned __int128)Hi << 64 | Lo) << n;
        return {std::uint64_t(v), std::uint64_t(v >> 64)};
#else
        if (n == 0)
            return *this;
        if (n >= 64)
            return {0, Lo << (n - 64)};
        return {Lo << n, (Hi << n) | (Lo >> (64 - n))};
#endif
    }
    // Shifts towards lower indices by 0..127.
    constexpr TMask operator>>(int n) const
    {
#ifdef ZELVON_NATIVE_INT128
        const unsigned __int128 v = ((unsigned __int128)Hi << 64 | Lo) >> n;
        return {std::uint64_t(v), std::uint64_t(v >> 64)};
#else
        if (n == 0)
            return *this;
        if (n >= 64)
            return {Hi >> (n - 64), 0};
        return {(Lo >> n) | (Hi << (64 - n)), Hi >> n};
#endif
    }
};

// Visits the index of every cell of a set, lowest first.
template <typename Visit>
constexpr void ForEachBit(TMask set, Visit&& visit)
{
    while (set.Lo) {
        visit(std::countr_zero(set.Lo));
        set.Lo &= set.Lo - 1;
    }
    while (set.Hi) {
        visit(64 + std::countr_zero(set.Hi));
        set.Hi &= set.Hi - 1;
    }
}
