// The processor probe; see PentiumMMX.h.
#include "controls/PentiumMMX.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <type_traits>

#if defined(__x86_64__) || defined(__i386__)
#define ZELVON_X86_GNU 1
#include <cpuid.h>
#include <x86intrin.h>
#elif defined(_M_X64) || defined(_M_IX86)
#define ZELVON_X86_MSVC 1
#include <intrin.h>
#endif

namespace {

constexpr std::uint32_t IdentificationFlag = 0x200000; // EFLAGS bit 21
constexpr std::uint32_t TimeStampCounterFlag = 1u << 4;
constexpr std::uint32_t MmxFlag = 1u << 23;

// Flips the identification bit of the flags register and reads it back;
// only a processor with CPUID lets it change. The flags are put back after.
bool FlagsIdentificationBitToggles()
{
#if defined(ZELVON_X86_GNU) && defined(__x86_64__)
    std::uint64_t original = 0;
    std::uint64_t toggled = 0;
    // The pushes would otherwise land in the red zone below the stack
    // pointer, where the compiler may keep locals of this function.
    asm volatile("sub $128, %%rsp\n\t"
                 "pushfq\n\t"
                 "popq %0\n\t"
                 "movq %0, %1\n\t"
                 "xorq $0x200000, %1\n\t"
                 "pushq %1\n\t"
                 "popfq\n\t"
                 "pushfq\n\t"
                 "popq %1\n\t"
                 "pushq %0\n\t"
                 "popfq\n\t"
                 "add $128, %%rsp"
                 : "=&r"(original), "=&r"(toggled)
                 :
                 : "cc");
    return ((original ^ toggled) & IdentificationFlag) != 0;
#elif defined(ZELVON_X86_GNU)
    std::uint32_t original = 0;
    std::uint32_t toggled = 0;
    asm volatile("pushfl\n\t"
                 "popl %0\n\t"
                 "movl %0, %1\n\t"
                 "xorl $0x200000, %1\n\t"
                 "pushl %1\n\t"
                 "popfl\n\t"
                 "pushfl\n\t"
                 "popl %1\n\t"
                 "pushl %0\n\t"
                 "popfl"
                 : "=&r"(original), "=&r"(toggled)
                 :
                 : "cc");
    return ((original ^ toggled) & IdentificationFlag) != 0;
#elif defined(ZELVON_X86_MSVC)
    const auto original = __readeflags();
    __writeeflags(original ^ IdentificationFlag);
    const auto toggled = __readeflags();
    __writeeflags(original);
    return ((original ^ toggled) & IdentificationFlag) != 0;
#else
    return false;
#endif
}

TCpuIdRegisters ExecuteCpuId(std::uint32_t leaf)
{
    TCpuIdRegisters r;
#if defined(ZELVON_X86_GNU)
    __cpuid_count(leaf, 0, r.Eax, r.Ebx, r.Ecx, r.Edx);
#elif defined(ZELVON_X86_MSVC)
    int registers[4] = {};
    __cpuidex(registers, static_cast<int>(leaf), 0);
    r = {std::uint32_t(registers[0]), std::uint32_t(registers[1]), std::uint32_t(registers[2]), std::uint32_t(registers[3])};
#else
    (void)leaf; // no identification instruction: highest leaf 0, blank vendor
#endif
    return r;
}

std::uint64_t ReadTimeStampCounter()
{
#if defined(ZELVON_X86_GNU) || defined(ZELVON_X86_MSVC)
    return __rdtsc();
#else
    // No time-stamp counter: a monotonic count of nanoseconds serves.
    return static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
#endif
}

// ---- MMX operations in plain C++ ------------------------------------------

template <typename Lane>
constexpr int LaneBits = 8 * int(sizeof(Lane));

template <typename Lane>
Lane LaneOf(std::uint64_t value, int index)
{
    using Unsigned = std::make_unsigned_t<Lane>;
    return static_cast<Lane>(static_cast<Unsigned>(value >> (index * LaneBits<Lane>)));
}

template <typename Lane>
std::uint64_t PlaceLane(std::int64_t value, int index)
{
    // Conversion to the unsigned lane type keeps the low bits: wrap-around.
    using Unsigned = std::make_unsigned_t<Lane>;
    return std::uint64_t(static_cast<Unsigned>(value)) << (index * LaneBits<Lane>);
}

template <typename Lane, typename Operation>
std::uint64_t EachLane(std::uint64_t a, std::uint64_t b, Operation operation)
{
    std::uint64_t result = 0;
    for (int i = 0; i < 64 / LaneBits<Lane>; ++i)
        result |= PlaceLane<Lane>(std::int64_t(operation(LaneOf<Lane>(a, i), LaneOf<Lane>(b, i))), i);
    return result;
}

template <typename Lane>
Lane Saturate(std::int64_t value)
{
    return static_cast<Lane>(std::clamp<std::int64_t>(value, std::numeric_limits<Lane>::min(), std::numeric_limits<Lane>::max()));
}

template <typename Lane>
std::uint64_t AddSaturated(std::uint64_t a, std::uint64_t b)
{
    return EachLane<Lane>(a, b, [](Lane x, Lane y) { return Saturate<Lane>(std::int64_t(x) + y); });
}

template <typename Lane>
std::uint64_t SubtractSaturated(std::uint64_t a, std::uint64_t b)
{
    return EachLane<Lane>(a, b, [](Lane x, Lane y) { return Saturate<Lane>(std::int64_t(x) - y); });
}

template <typename Lane>
std::uint64_t Add(std::uint64_t a, std::uint64_t b)
{
    return EachLane<Lane>(a, b, [](Lane x, Lane y) { return std::int64_t(x) + y; });
}

template <typename Lane>
std::uint64_t Subtract(std::uint64_t a, std::uint64_t b)
{
    return EachLane<Lane>(a, b, [](Lane x, Lane y) { return std::int64_t(x) - y; });
}

template <typename Lane>
std::uint64_t CompareGreater(std::uint64_t a, std::uint64_t b)
{
    return EachLane<Lane>(a, b, [](Lane x, Lane y) { return x > y ? -1 : 0; });
}

template <typename Lane>
std::uint64_t CompareEqual(std::uint64_t a, std::uint64_t b)
{
    return EachLane<Lane>(a, b, [](Lane x, Lane y) { return x == y ? -1 : 0; });
}

// Shift counts come from all 64 bits of the source: a count of the lane
// width or more empties a logical shift and fills an arithmetic one with
// the sign.
template <typename Lane>
std::uint64_t ShiftRightLogical(std::uint64_t a, std::uint64_t count)
{
    if (count >= std::uint64_t(LaneBits<Lane>))
        return 0;
    return EachLane<Lane>(a, 0, [count](Lane x, Lane) { return x >> count; });
}

template <typename Lane>
std::uint64_t ShiftLeftLogical(std::uint64_t a, std::uint64_t count)
{
    if (count >= std::uint64_t(LaneBits<Lane>))
        return 0;
    return EachLane<Lane>(a, 0, [count](Lane x, Lane) { return std::uint64_t(x) << count; });
}

template <typename Lane>
std::uint64_t ShiftRightArithmetic(std::uint64_t a, std::uint64_t count)
{
    const int shift = int(std::min<std::uint64_t>(count, LaneBits<Lane> - 1));
    return EachLane<Lane>(a, 0, [shift](Lane x, Lane) { return x >> shift; });
}

// The destination's lanes, narrowed with saturation, fill the low half of
// the result and the source's the high half.
template <typename From, typename To>
std::uint64_t Pack(std::uint64_t a, std::uint64_t b)
{
    constexpr int lanes = 64 / LaneBits<From>;
    std::uint64_t result = 0;
    for (int i = 0; i < lanes; ++i) {
        result |= PlaceLane<To>(Saturate<To>(LaneOf<From>(a, i)), i);
        result |= PlaceLane<To>(Saturate<To>(LaneOf<From>(b, i)), i + lanes);
    }
    return result;
}

// Interleaves the low (or high) halves of both operands, destination first.
template <typename Lane>
std::uint64_t Unpack(std::uint64_t a, std::uint64_t b, bool high)
{
    constexpr int half = 32 / LaneBits<Lane>;
    const int first = high ? half : 0;
    std::uint64_t result = 0;
    for (int i = 0; i < half; ++i) {
        result |= PlaceLane<Lane>(LaneOf<Lane>(a, first + i), 2 * i);
        result |= PlaceLane<Lane>(LaneOf<Lane>(b, first + i), 2 * i + 1);
    }
    return result;
}

std::uint64_t MultiplyAdd(std::uint64_t a, std::uint64_t b)
{
    return EachLane<std::int32_t>(a, b, [](std::int32_t x, std::int32_t y) {
        const auto low = [](std::int32_t v) { return std::int64_t(std::int16_t(v)); };
        const auto high = [](std::int32_t v) { return std::int64_t(std::int16_t(v >> 16)); };
        return low(x) * low(y) + high(x) * high(y);
    });
}

} // namespace

std::uint64_t MmxOperatePortable(std::uint8_t op, std::uint64_t a, std::uint64_t b)
{
    using std::int8_t, std::int16_t, std::int32_t, std::uint8_t, std::uint16_t, std::uint32_t;
    switch (op) {
    case 1: return a & b;
    case 2: return ~a & b;
    case 3: return a | b;
    case 4: return a ^ b;
    case 5: return ShiftRightLogical<uint16_t>(a, b);
    case 6: return ShiftRightLogical<uint32_t>(a, b);
    case 7: return ShiftRightLogical<std::uint64_t>(a, b);
    case 8: return ShiftRightArithmetic<int16_t>(a, b);
    case 9: return ShiftRightArithmetic<int32_t>(a, b);
    case 10: return ShiftLeftLogical<uint16_t>(a, b);
    case 11: return ShiftLeftLogical<uint32_t>(a, b);
    case 12: return ShiftLeftLogical<std::uint64_t>(a, b);
    case 13: return CompareGreater<int8_t>(a, b);
    case 14: return CompareGreater<int16_t>(a, b);
    case 15: return CompareGreater<int32_t>(a, b);
    case 16: return CompareEqual<int8_t>(a, b);
    case 17: return CompareEqual<int16_t>(a, b);
    case 18: return CompareEqual<int32_t>(a, b);
    case 19: return Pack<int16_t, int8_t>(a, b);
    case 20: return Pack<int32_t, int16_t>(a, b);
    case 21: return Pack<int16_t, uint8_t>(a, b);
    case 22: return Unpack<uint8_t>(a, b, false);
    case 23: return Unpack<uint16_t>(a, b, false);
    case 24: return Unpack<uint32_t>(a, b, false);
    case 25: return Unpack<uint8_t>(a, b, true);
    case 26: return Unpack<uint16_t>(a, b, true);
    case 27: return Unpack<uint32_t>(a, b, true);
    case 28: return AddSaturated<uint8_t>(a, b);
    case 29: return AddSaturated<uint16_t>(a, b);
    case 30: return AddSaturated<int8_t>(a, b);
    case 31: return AddSaturated<int16_t>(a, b);
    case 32: return Add<uint8_t>(a, b);
    case 33: return Add<uint16_t>(a, b);
    case 34: return Add<uint32_t>(a, b);
    case 35: return SubtractSaturated<uint8_t>(a, b);
    case 36: return SubtractSaturated<uint16_t>(a, b);
    case 37: return SubtractSaturated<int8_t>(a, b);
    case 38: return SubtractSaturated<int16_t>(a, b);
    case 39: return Subtract<uint8_t>(a, b);
    case 40: return Subtract<uint16_t>(a, b);
    case 41: return Subtract<uint32_t>(a, b);
    case 42: return EachLane<int16_t>(a, b, [](int16_t x, int16_t y) { return int32_t(x) * y; });
    case 43: return EachLane<int16_t>(a, b, [](int16_t x, int16_t y) { return (int32_t(x) * y) >> 16; });
    case 44: return MultiplyAdd(a, b);
    default: return 0;
    }
}

TPentiumMMX::TPentiumMMX(QObject* parent)
    : QObject(parent)
{
}

void TPentiumMMX::SetErrorEnable(bool value)
{
    FErrorEnable = value;
}

bool TPentiumMMX::IdentificationFlagToggles() const
{
    return FlagsIdentificationBitToggles();
}

TCpuIdRegisters TPentiumMMX::CpuId(std::uint32_t leaf) const
{
    return ExecuteCpuId(leaf);
}

template <typename Result, typename Extract>
Result TPentiumMMX::Leaf1Field(const char* property, Extract extract) const
{
    // The highest standard leaf is compared as a signed number, so a
    // processor answering with the top bit set has no leaf 1 either.
    if (static_cast<std::int32_t>(CpuId(0).Eax) < 1) {
        if (FErrorEnable)
            throw EPentiumMMXError(QStringLiteral("CPU not supported ") + QLatin1String(property));
        return 0;
    }
    return static_cast<Result>(extract(CpuId(1)));
}

bool TPentiumMMX::CpuIDsupport() const
{
    return IdentificationFlagToggles();
}

bool TPentiumMMX::RDTSCsupport() const
{
    return CpuIDsupport() && (FeatureFlags() & TimeStampCounterFlag) != 0;
}

bool TPentiumMMX::MMXsupport() const
{
    return CpuIDsupport() && (FeatureFlags() & MmxFlag) != 0;
}

QString TPentiumMMX::VendorString() const
{
    const TCpuIdRegisters r = CpuId(0);
    QString vendor;
    vendor.reserve(12);
    for (const std::uint32_t word : {r.Ebx, r.Edx, r.Ecx})
        for (int shift = 0; shift < 32; shift += 8)
            vendor += QChar(char16_t((word >> shift) & 0xFF));
    return vendor;
}

std::uint8_t TPentiumMMX::SteppingID() const
{
    return Leaf1Field<std::uint8_t>("SteppingID", [](const TCpuIdRegisters& r) { return r.Eax & 0xF; });
}

std::uint8_t TPentiumMMX::Model() const
{
    return Leaf1Field<std::uint8_t>("Model", [](const TCpuIdRegisters& r) { return (r.Eax >> 4) & 0xF; });
}

std::uint16_t TPentiumMMX::Family() const
{
    return Leaf1Field<std::uint16_t>("Family", [](const TCpuIdRegisters& r) { return (r.Eax >> 8) & 0xF; });
}

std::uint32_t TPentiumMMX::FeatureFlags() const
{
    return Leaf1Field<std::uint32_t>("FeatureFlags", [](const TCpuIdRegisters& r) { return r.Edx; });
}

std::int32_t TPentiumMMX::TimeStampHigh() const
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(ReadTimeStampCounter() >> 32));
}

std::int32_t TPentiumMMX::TimeStampLow() const
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(ReadTimeStampCounter()));
}

std::uint32_t TPentiumMMX::Interval32(std::uint32_t later, std::uint32_t earlier) const
{
    return later - earlier; // unsigned arithmetic drops the final borrow
}

TCount64 TPentiumMMX::Interval64(TCount64 later, TCount64 earlier) const
{
    const std::uint64_t difference = ((std::uint64_t(later.High) << 32) | later.Low) - ((std::uint64_t(earlier.High) << 32) | earlier.Low);
    return {std::uint32_t(difference >> 32), std::uint32_t(difference)};
}

#if defined(ZELVON_X86_GNU)

// The instructions themselves, in inline assembly: GCC compiles the MMX
// intrinsics to SSE code on x86-64, which would never touch the MMX unit.
// EMMS before and after leaves the x87 registers free for floating point.
#define ZELVON_MMX_OPERATION(number, instruction)                                                     \
    case number:                                                                                      \
        asm volatile("emms\n\t"                                                                       \
                     "movq %1, %%mm0\n\t"                                                             \
                     "movq %2, %%mm1\n\t" instruction " %%mm1, %%mm0\n\t"                             \
                     "movq %%mm0, %0\n\t"                                                             \
                     "emms"                                                                           \
                     : "=m"(result)                                                                   \
                     : "m"(A), "m"(B)                                                                 \
                     : "mm0", "mm1", "st", "st(1)", "st(2)", "st(3)", "st(4)", "st(5)", "st(6)", "st(7)"); \
        break;

std::uint64_t TPentiumMMX::MmxOperate(std::uint8_t Op, std::uint64_t A, std::uint64_t B) const
{
    std::uint64_t result = 0;
    switch (Op) {
        ZELVON_MMX_OPERATION(1, "pand")
        ZELVON_MMX_OPERATION(2, "pandn")
        ZELVON_MMX_OPERATION(3, "por")
        ZELVON_MMX_OPERATION(4, "pxor")
        ZELVON_MMX_OPERATION(5, "psrlw")
        ZELVON_MMX_OPERATION(6, "psrld")
        ZELVON_MMX_OPERATION(7, "psrlq")
        ZELVON_MMX_OPERATION(8, "psraw")
        ZELVON_MMX_OPERATION(9, "psrad")
        ZELVON_MMX_OPERATION(10, "psllw")
        ZELVON_MMX_OPERATION(11, "pslld")
        ZELVON_MMX_OPERATION(12, "psllq")
        ZELVON_MMX_OPERATION(13, "pcmpgtb")
        ZELVON_MMX_OPERATION(14, "pcmpgtw")
        ZELVON_MMX_OPERATION(15, "pcmpgtd")
        ZELVON_MMX_OPERATION(16, "pcmpeqb")
        ZELVON_MMX_OPERATION(17, "pcmpeqw")
        ZELVON_MMX_OPERATION(18, "pcmpeqd")
        ZELVON_MMX_OPERATION(19, "packsswb")
        ZELVON_MMX_OPERATION(20, "packssdw")
        ZELVON_MMX_OPERATION(21, "packuswb")
        ZELVON_MMX_OPERATION(22, "punpcklbw")
        ZELVON_MMX_OPERATION(23, "punpcklwd")
        ZELVON_MMX_OPERATION(24, "punpckldq")
        ZELVON_MMX_OPERATION(25, "punpckhbw")
        ZELVON_MMX_OPERATION(26, "punpckhwd")
        ZELVON_MMX_OPERATION(27, "punpckhdq")
        ZELVON_MMX_OPERATION(28, "paddusb")
        ZELVON_MMX_OPERATION(29, "paddusw")
        ZELVON_MMX_OPERATION(30, "paddsb")
        ZELVON_MMX_OPERATION(31, "paddsw")
        ZELVON_MMX_OPERATION(32, "paddb")
        ZELVON_MMX_OPERATION(33, "paddw")
        ZELVON_MMX_OPERATION(34, "paddd")
        ZELVON_MMX_OPERATION(35, "psubusb")
        ZELVON_MMX_OPERATION(36, "psubusw")
        ZELVON_MMX_OPERATION(37, "psubsb")
        ZELVON_MMX_OPERATION(38, "psubsw")
        ZELVON_MMX_OPERATION(39, "psubb")
        ZELVON_MMX_OPERATION(40, "psubw")
        ZELVON_MMX_OPERATION(41, "psubd")
        ZELVON_MMX_OPERATION(42, "pmullw")
        ZELVON_MMX_OPERATION(43, "pmulhw")
        ZELVON_MMX_OPERATION(44, "pmaddwd")
    default:
        break;
    }
    return result;
}

#undef ZELVON_MMX_OPERATION

#else

std::uint64_t TPentiumMMX::MmxOperate(std::uint8_t Op, std::uint64_t A, std::uint64_t B) const
{
    return MmxOperatePortable(Op, A, B);
}

#endif
