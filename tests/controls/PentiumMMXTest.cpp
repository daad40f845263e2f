// The processor probe: time-stamp arithmetic, every MMX operation against a
// reference written here from the instruction set's definitions, the
// identification getters on a played processor, and the machine itself.
#include "controls/PentiumMMX.h"

#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

Q_DECLARE_METATYPE(TCount64)

namespace {

// ---- Reference ------------------------------------------------------------
// Works on the eight bytes of an operand, lane 0 in the lowest bytes, with
// every lane widened to long long, so it shares nothing with the probe's own
// lane templates.

using Bytes = std::array<std::uint8_t, 8>;

Bytes ToBytes(std::uint64_t value)
{
    Bytes bytes{};
    for (int i = 0; i < 8; ++i)
        bytes[i] = std::uint8_t(value >> (8 * i));
    return bytes;
}

std::uint64_t FromBytes(const Bytes& bytes)
{
    std::uint64_t value = 0;
    for (int i = 7; i >= 0; --i)
        value = (value << 8) | bytes[i];
    return value;
}

long long GetLane(const Bytes& bytes, int width, int lane, bool isSigned)
{
    unsigned long long value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | bytes[lane * width + i];
    const unsigned long long signBit = 1ull << (8 * width - 1);
    if (isSigned && (value & signBit))
        return (long long)(value) - (long long)(signBit) - (long long)(signBit);
    return (long long)value;
}

void PutLane(Bytes& bytes, int width, int lane, long long value)
{
    for (int i = 0; i < width; ++i)
        bytes[lane * width + i] = std::uint8_t((unsigned long long)value >> (8 * i));
}

long long Clamp(long long value, long long low, long long high)
{
    return value < low ? low : value > high ? high : value;
}

long long SignedMin(int width)
{
    return -(1ll << (8 * width - 1));
}

long long SignedMax(int width)
{
    return (1ll << (8 * width - 1)) - 1;
}

long long UnsignedMax(int width)
{
    return (1ll << (8 * width)) - 1;
}

std::uint64_t Reference(int op, std::uint64_t a, std::uint64_t b)
{
    const Bytes x = ToBytes(a);
    const Bytes y = ToBytes(b);
    Bytes r{};
    const auto lanewise = [&](int width, bool isSigned, const std::function<long long(long long, long long)>& f) {
        for (int lane = 0; lane < 8 / width; ++lane)
            PutLane(r, width, lane, f(GetLane(x, width, lane, isSigned), GetLane(y, width, lane, isSigned)));
        return FromBytes(r);
    };
    const auto shiftLogicalRight = [&](int width) {
        return lanewise(width, false, [&](long long v, long long) { return b >= std::uint64_t(8 * width) ? 0 : v >> b; });
    };
    const auto shiftLeft = [&](int width) {
        return lanewise(width, false, [&](long long v, long long) { return b >= std::uint64_t(8 * width) ? 0 : (long long)((unsigned long long)v << b); });
    };
    const auto shiftArithmeticRight = [&](int width) {
        return lanewise(width, true, [&](long long v, long long) { return b >= std::uint64_t(8 * width) ? (v < 0 ? -1 : 0) : v >> b; });
    };
    // Narrowing pack: the destination's lanes go to the low half.
    const auto pack = [&](int width, long long low, long long high) {
        const int lanes = 8 / width;
        for (int lane = 0; lane < lanes; ++lane) {
            PutLane(r, width / 2, lane, Clamp(GetLane(x, width, lane, true), low, high));
            PutLane(r, width / 2, lane + lanes, Clamp(GetLane(y, width, lane, true), low, high));
        }
        return FromBytes(r);
    };
    const auto unpack = [&](int width, bool high) {
        const int half = 4 / width;
        for (int i = 0; i < half; ++i) {
            PutLane(r, width, 2 * i, GetLane(x, width, (high ? half : 0) + i, false));
            PutLane(r, width, 2 * i + 1, GetLane(y, width, (high ? half : 0) + i, false));
        }
        return FromBytes(r);
    };
    const auto addSigned = [&](int width) {
        return lanewise(width, true, [&](long long p, long long q) { return Clamp(p + q, SignedMin(width), SignedMax(width)); });
    };
    const auto addUnsigned = [&](int width) {
        return lanewise(width, false, [&](long long p, long long q) { return Clamp(p + q, 0, UnsignedMax(width)); });
    };
    const auto subtractSigned = [&](int width) {
        return lanewise(width, true, [&](long long p, long long q) { return Clamp(p - q, SignedMin(width), SignedMax(width)); });
    };
    const auto subtractUnsigned = [&](int width) {
        return lanewise(width, false, [&](long long p, long long q) { return Clamp(p - q, 0, UnsignedMax(width)); });
    };
    const auto greater = [&](int width) {
        return lanewise(width, true, [](long long p, long long q) { return p > q ? -1ll : 0ll; });
    };
    const auto equal = [&](int width) {
        return lanewise(width, false, [](long long p, long long q) { return p == q ? -1ll : 0ll; });
    };
    const auto plus = [](long long p, long long q) { return p + q; };
    const auto minus = [](long long p, long long q) { return p - q; };

    switch (op) {
    case 1: return a & b;
    case 2: return ~a & b;
    case 3: return a | b;
    case 4: return a ^ b;
    case 5: return shiftLogicalRight(2);
    case 6: return shiftLogicalRight(4);
    case 7: return b >= 64 ? 0 : a >> b;
    case 8: return shiftArithmeticRight(2);
    case 9: return shiftArithmeticRight(4);
    case 10: return shiftLeft(2);
    case 11: return shiftLeft(4);
    case 12: return b >= 64 ? 0 : a << b;
    case 13: return greater(1);
    case 14: return greater(2);
    case 15: return greater(4);
    case 16: return equal(1);
    case 17: return equal(2);
    case 18: return equal(4);
    case 19: return pack(2, -128, 127);
    case 20: return pack(4, -32768, 32767);
    case 21: return pack(2, 0, 255);
    case 22: return unpack(1, false);
    case 23: return unpack(2, false);
    case 24: return unpack(4, false);
    case 25: return unpack(1, true);
    case 26: return unpack(2, true);
    case 27: return unpack(4, true);
    case 28: return addUnsigned(1);
    case 29: return addUnsigned(2);
    case 30: return addSigned(1);
    case 31: return addSigned(2);
    case 32: return lanewise(1, false, plus);
    case 33: return lanewise(2, false, plus);
    case 34: return lanewise(4, false, plus);
    case 35: return subtractUnsigned(1);
    case 36: return subtractUnsigned(2);
    case 37: return subtractSigned(1);
    case 38: return subtractSigned(2);
    case 39: return lanewise(1, false, minus);
    case 40: return lanewise(2, false, minus);
    case 41: return lanewise(4, false, minus);
    case 42: return lanewise(2, true, [](long long p, long long q) { return p * q; });
    case 43: return lanewise(2, true, [](long long p, long long q) { return (p * q) >> 16; });
    case 44:
        for (int lane = 0; lane < 2; ++lane)
            PutLane(r, 4, lane, GetLane(x, 2, 2 * lane, true) * GetLane(y, 2, 2 * lane, true) + GetLane(x, 2, 2 * lane + 1, true) * GetLane(y, 2, 2 * lane + 1, true));
        return FromBytes(r);
    default: return 0;
    }
}

const char* const InstructionNames[45] = {
    "", "PAND", "PANDN", "POR", "PXOR", "PSRLW", "PSRLD", "PSRLQ", "PSRAW", "PSRAD", "PSLLW", "PSLLD", "PSLLQ",
    "PCMPGTB", "PCMPGTW", "PCMPGTD", "PCMPEQB", "PCMPEQW", "PCMPEQD", "PACKSSWB", "PACKSSDW", "PACKUSWB",
    "PUNPCKLBW", "PUNPCKLWD", "PUNPCKLDQ", "PUNPCKHBW", "PUNPCKHWD", "PUNPCKHDQ", "PADDUSB", "PADDUSW",
    "PADDSB", "PADDSW", "PADDB", "PADDW", "PADDD", "PSUBUSB", "PSUBUSW", "PSUBSB", "PSUBSW", "PSUBB",
    "PSUBW", "PSUBD", "PMULLW", "PMULHW", "PMADDWD"};

// Lane boundaries, signs, saturation limits.
const std::vector<std::uint64_t> EdgeOperands = {
    0, ~0ull, 0x8000000000000000ull, 0x7FFFFFFFFFFFFFFFull, 0x8080808080808080ull, 0x7F7F7F7F7F7F7F7Full,
    0x8000800080008000ull, 0x7FFF7FFF7FFF7FFFull, 0x8000000080000000ull, 0x7FFFFFFF7FFFFFFFull,
    0x00FF00FF00FF00FFull, 0xFF00FF00FF00FF00ull, 0x0101010101010101ull, 1, 0x0123456789ABCDEFull,
    0xFF7F80017FFF8000ull};

// Shift counts at and beyond every lane width; the high half counts too.
const std::vector<std::uint64_t> ShiftCounts = {
    0, 1, 7, 8, 15, 16, 17, 31, 32, 33, 63, 64, 65, 255, 256, 0x100000000ull, 0x8000000000000001ull, 0x10000000Full};

QString Hex(std::uint64_t value)
{
    return QStringLiteral("0x%1").arg(value, 16, 16, QLatin1Char('0'));
}

// Plays a processor through the identification seam.
class TPlayedProcessor : public TPentiumMMX {
public:
    bool HasCpuId = true;
    TCpuIdRegisters Leaf0{0, 0, 0, 0};
    TCpuIdRegisters Leaf1{0, 0, 0, 0};
    mutable int Leaf1Queries = 0;

protected:
    bool IdentificationFlagToggles() const override { return HasCpuId; }
    TCpuIdRegisters CpuId(std::uint32_t leaf) const override
    {
        if (leaf == 0)
            return Leaf0;
        if (leaf == 1) {
            ++Leaf1Queries;
            return Leaf1;
        }
        return {};
    }
};

std::uint32_t FourChars(const char* text)
{
    return std::uint32_t(std::uint8_t(text[0])) | std::uint32_t(std::uint8_t(text[1])) << 8
        | std::uint32_t(std::uint8_t(text[2])) << 16 | std::uint32_t(std::uint8_t(text[3])) << 24;
}

// Runs `read` and expects the probe's error with `message`.
void ExpectProbeError(const std::function<void()>& read, const QString& message)
{
    try {
        read();
    } catch (const EPentiumMMXError& error) {
        QCOMPARE(error.Message, message);
        QCOMPARE(error.ErrorCode, 65537);
        return;
    }
    QFAIL(qPrintable(QStringLiteral("no error raised, expected \"%1\"").arg(message)));
}

// One field of /proc/cpuinfo for the first processor, or an empty text.
QString CpuInfoField(const QString& field)
{
    QFile file(QStringLiteral("/proc/cpuinfo"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    const QStringList lines = QString::fromLatin1(file.readAll()).split(u'\n');
    for (const QString& line : lines) {
        const qsizetype colon = line.indexOf(u':');
        if (colon > 0 && line.left(colon).trimmed() == field)
            return line.mid(colon + 1).trimmed();
    }
    return {};
}

} // namespace

class PentiumMMXTest : public QObject {
    Q_OBJECT

private slots:
    void interval32_data()
    {
        QTest::addColumn<quint32>("later");
        QTest::addColumn<quint32>("earlier");
        QTest::addColumn<quint32>("expected");
        QTest::newRow("across the wrap") << 5u << 0xFFFFFFFEu << 7u;
        QTest::newRow("one step back") << 0u << 1u << 0xFFFFFFFFu;
        QTest::newRow("equal") << 0x12345678u << 0x12345678u << 0u;
        QTest::newRow("borrow between the 16-bit pieces") << 0x10000u << 0xFFFFu << 1u;
        QTest::newRow("half the range") << 0u << 0x80000000u << 0x80000000u;
        QTest::newRow("plain") << 1000u << 250u << 750u;
    }

    void interval32()
    {
        QFETCH(quint32, later);
        QFETCH(quint32, earlier);
        QFETCH(quint32, expected);
        QCOMPARE(TPentiumMMX().Interval32(later, earlier), expected);
    }

    void interval64_data()
    {
        QTest::addColumn<TCount64>("later");
        QTest::addColumn<TCount64>("earlier");
        QTest::addColumn<TCount64>("expected");
        QTest::newRow("borrow into the high word") << TCount64{1, 0} << TCount64{0, 1} << TCount64{0, 0xFFFFFFFF};
        QTest::newRow("below zero wraps") << TCount64{0, 0} << TCount64{0, 1} << TCount64{0xFFFFFFFF, 0xFFFFFFFF};
        QTest::newRow("both words borrow") << TCount64{5, 3} << TCount64{2, 7} << TCount64{2, 0xFFFFFFFC};
        QTest::newRow("across the sign of the high word") << TCount64{0x80000000, 0} << TCount64{0x7FFFFFFF, 0xFFFFFFFF} << TCount64{0, 1};
        QTest::newRow("no borrow") << TCount64{7, 0x90000000} << TCount64{3, 0x10000000} << TCount64{4, 0x80000000};
    }

    void interval64()
    {
        QFETCH(TCount64, later);
        QFETCH(TCount64, earlier);
        QFETCH(TCount64, expected);
        const TCount64 result = TPentiumMMX().Interval64(later, earlier);
        QCOMPARE(result.High, expected.High);
        QCOMPARE(result.Low, expected.Low);
    }

    // Results worked out by hand from the instruction definitions; they check
    // the probe, its portable twin and the reference alike.
    void knownResults_data()
    {
        QTest::addColumn<int>("op");
        QTest::addColumn<quint64>("a");
        QTest::addColumn<quint64>("b");
        QTest::addColumn<quint64>("expected");
        // Lanes (low first) 0x8000, 1, 0x7FFF, 0xFFFF plus 0x8000, 2, 1, 1.
        QTest::newRow("PADDW wraps") << 33 << quint64(0xFFFF7FFF00018000ull) << quint64(0x0001000100028000ull) << quint64(0x0000800000030000ull);
        QTest::newRow("PADDUSW saturates at 65535") << 29 << quint64(0xFFFF7FFF00018000ull) << quint64(0x0001000100028000ull) << quint64(0xFFFF80000003FFFFull);
        QTest::newRow("PANDN is (not A) and B") << 2 << quint64(0xF0F0F0F00000FFFFull) << quint64(0xFFFF0000FFFFFFFFull) << quint64(0x0F0F0000FFFF0000ull);
        QTest::newRow("PADDSW clamps both ways") << 31 << quint64(0x80007FFF00050001ull) << quint64(0xFFFF0001FFFA0002ull) << quint64(0x80007FFFFFFF0003ull);
        // Words 300, -300, 5, -5 and 127, -128, 32767, -32768.
        QTest::newRow("PACKSSWB") << 19 << quint64(0xFFFB0005FED4012Cull) << quint64(0x80007FFFFF80007Full) << quint64(0x807F807FFB05807Full);
        QTest::newRow("PACKUSWB") << 21 << quint64(0xFFFB0005FED4012Cull) << quint64(0x80007FFFFF80007Full) << quint64(0x00FF007F000500FFull);
        QTest::newRow("PSRAW by 16 fills with the sign") << 8 << quint64(0x80007FFF0001FFFFull) << quint64(16) << quint64(0xFFFF00000000FFFFull);
        QTest::newRow("PSRLW by 16 empties") << 5 << quint64(0x80007FFF0001FFFFull) << quint64(16) << quint64(0);
        QTest::newRow("PSLLQ count in the high half") << 12 << quint64(1) << quint64(0x100000000ull) << quint64(0);
        QTest::newRow("PSLLD by 4") << 11 << quint64(0x1234567880000001ull) << quint64(4) << quint64(0x2345678000000010ull);
        QTest::newRow("PCMPGTB is signed") << 13 << quint64(0x00000000000180FFull) << quint64(0x000000000000FF80ull) << quint64(0x0000000000FF00FFull);
        QTest::newRow("PUNPCKLBW") << 22 << quint64(0x0706050403020100ull) << quint64(0x1716151413121110ull) << quint64(0x1303120211011000ull);
        QTest::newRow("PUNPCKHDQ") << 27 << quint64(0xAAAAAAAA11111111ull) << quint64(0xBBBBBBBB22222222ull) << quint64(0xBBBBBBBBAAAAAAAAull);
        // -32768 * -32768 twice overflows the signed dword.
        QTest::newRow("PMADDWD overflow") << 44 << quint64(0x0002000380008000ull) << quint64(0x0004000580008000ull) << quint64(0x0000001780000000ull);
        // -2 * 3 = -6: low word 0xFFFA, high word 0xFFFF.
        QTest::newRow("PMULLW") << 42 << quint64(0x000000000000FFFEull) << quint64(0x0000000000000003ull) << quint64(0x000000000000FFFAull);
        QTest::newRow("PMULHW") << 43 << quint64(0x000000000000FFFEull) << quint64(0x0000000000000003ull) << quint64(0x000000000000FFFFull);
        QTest::newRow("PSUBUSB floors at 0") << 35 << quint64(0x0000000000000510ull) << quint64(0x0000000000000A01ull) << quint64(0x000000000000000Full);
    }

    void knownResults()
    {
        QFETCH(int, op);
        QFETCH(quint64, a);
        QFETCH(quint64, b);
        QFETCH(quint64, expected);
        QCOMPARE(Hex(TPentiumMMX().MmxOperate(std::uint8_t(op), a, b)), Hex(expected));
        QCOMPARE(Hex(MmxOperatePortable(std::uint8_t(op), a, b)), Hex(expected));
        QCOMPARE(Hex(Reference(op, a, b)), Hex(expected));
    }

    void operationsOutsideTheTableGiveZero()
    {
        const TPentiumMMX probe;
        for (int op : {0, 45, 46, 100, 200, 255}) {
            for (std::uint64_t a : EdgeOperands) {
                QCOMPARE(probe.MmxOperate(std::uint8_t(op), a, ~a), std::uint64_t(0));
                QCOMPARE(MmxOperatePortable(std::uint8_t(op), a, ~a), std::uint64_t(0));
            }
        }
    }

    void everyOperationMatchesReference_data()
    {
        QTest::addColumn<int>("op");
        for (int op = 1; op <= 44; ++op)
            QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(op).arg(QLatin1String(InstructionNames[op])))) << op;
    }

    // The real instructions (where present) and the portable code, against
    // the reference on edge operands and many random pairs.
    void everyOperationMatchesReference()
    {
        QFETCH(int, op);
        std::vector<std::pair<std::uint64_t, std::uint64_t>> pairs;
        for (std::uint64_t a : EdgeOperands) {
            for (std::uint64_t b : EdgeOperands)
                pairs.emplace_back(a, b);
            for (std::uint64_t count : ShiftCounts)
                pairs.emplace_back(a, count);
        }
        QRandomGenerator random(0x5A17u + unsigned(op));
        for (int i = 0; i < 4000; ++i) {
            const std::uint64_t a = random.generate64();
            // A quarter of the sources are small, so shifts move bits too.
            const std::uint64_t b = (i % 4 == 0) ? random.bounded(72u) : random.generate64();
            pairs.emplace_back(a, b);
        }
        const TPentiumMMX probe;
        for (const auto& [a, b] : pairs) {
            const std::uint64_t expected = Reference(op, a, b);
            const std::uint64_t real = probe.MmxOperate(std::uint8_t(op), a, b);
            const std::uint64_t portable = MmxOperatePortable(std::uint8_t(op), a, b);
            if (real != expected || portable != expected)
                QFAIL(qPrintable(QStringLiteral("A=%1 B=%2: reference %3, MmxOperate %4, portable %5")
                                     .arg(Hex(a), Hex(b), Hex(expected), Hex(real), Hex(portable))));
        }
    }

    // Without EMMS after the operation the x87 registers stay taken by the
    // MMX state and the next long double calculation gives NaN.
    void floatingPointWorksAfterEveryOperation()
    {
        const TPentiumMMX probe;
        for (int op = 1; op <= 44; ++op) {
            const std::uint64_t result = probe.MmxOperate(std::uint8_t(op), 0x0123456789ABCDEFull, 3);
            volatile long double factor = 1.5L;
            const long double product = factor * 3.0L + static_cast<long double>(result & 1);
            QVERIFY2(product == 4.5L || product == 5.5L, InstructionNames[op]);
        }
    }

    void missingLeaf1AnswersZero_data()
    {
        QTest::addColumn<quint32>("highestLeaf");
        QTest::newRow("highest leaf 0") << 0u;
        QTest::newRow("highest leaf negative as a signed number") << 0x80000000u;
    }

    void missingLeaf1AnswersZero()
    {
        QFETCH(quint32, highestLeaf);
        TPlayedProcessor cpu;
        cpu.Leaf0.Eax = highestLeaf;
        cpu.Leaf1 = {0x6A5, 0, 0, 0xFFFFFFFF}; // must never be read
        QCOMPARE(cpu.ErrorEnable(), false);
        QCOMPARE(cpu.SteppingID(), std::uint8_t(0));
        QCOMPARE(cpu.Model(), std::uint8_t(0));
        QCOMPARE(cpu.Family(), std::uint16_t(0));
        QCOMPARE(cpu.FeatureFlags(), std::uint32_t(0));
        QCOMPARE(cpu.MMXsupport(), false);
        QCOMPARE(cpu.RDTSCsupport(), false);
        QCOMPARE(cpu.CpuIDsupport(), true);
        QCOMPARE(cpu.Leaf1Queries, 0);
    }

    void missingLeaf1RaisesWhenErrorsAreEnabled_data()
    {
        QTest::addColumn<QString>("property");
        QTest::addColumn<QString>("message");
        QTest::newRow("SteppingID") << "SteppingID" << "CPU not supported SteppingID";
        QTest::newRow("Model") << "Model" << "CPU not supported Model";
        QTest::newRow("Family") << "Family" << "CPU not supported Family";
        QTest::newRow("FeatureFlags") << "FeatureFlags" << "CPU not supported FeatureFlags";
        QTest::newRow("MMXsupport passes on FeatureFlags") << "MMXsupport" << "CPU not supported FeatureFlags";
        QTest::newRow("RDTSCsupport passes on FeatureFlags") << "RDTSCsupport" << "CPU not supported FeatureFlags";
    }

    void missingLeaf1RaisesWhenErrorsAreEnabled()
    {
        QFETCH(QString, property);
        QFETCH(QString, message);
        TPlayedProcessor cpu;
        cpu.SetErrorEnable(true);
        const std::map<QString, std::function<void()>> readers = {
            {QStringLiteral("SteppingID"), [&] { cpu.SteppingID(); }},
            {QStringLiteral("Model"), [&] { cpu.Model(); }},
            {QStringLiteral("Family"), [&] { cpu.Family(); }},
            {QStringLiteral("FeatureFlags"), [&] { cpu.FeatureFlags(); }},
            {QStringLiteral("MMXsupport"), [&] { cpu.MMXsupport(); }},
            {QStringLiteral("RDTSCsupport"), [&] { cpu.RDTSCsupport(); }},
        };
        ExpectProbeError(readers.at(property), message);
        // The error is an Exception like every other, so the error box shows it.
        try {
            readers.at(property)();
            QFAIL("the second read did not raise");
        } catch (const Exception& error) {
            QCOMPARE(error.Message, message);
        }
        // CPUID itself, the vendor and the time stamp never raise.
        QCOMPARE(cpu.CpuIDsupport(), true);
        QCOMPARE(cpu.VendorString().size(), 12);
        cpu.TimeStampLow();
    }

    void withoutCpuIdTheFeaturesAreAbsentWithoutError()
    {
        TPlayedProcessor cpu;
        cpu.HasCpuId = false;
        cpu.SetErrorEnable(true);
        QCOMPARE(cpu.CpuIDsupport(), false);
        QCOMPARE(cpu.MMXsupport(), false);
        QCOMPARE(cpu.RDTSCsupport(), false);
        QCOMPARE(cpu.Leaf1Queries, 0);
    }

    void leaf1Decoding_data()
    {
        QTest::addColumn<quint32>("signature");
        QTest::addColumn<quint32>("features");
        QTest::addColumn<int>("stepping");
        QTest::addColumn<int>("model");
        QTest::addColumn<int>("family");
        QTest::addColumn<bool>("rdtsc");
        QTest::addColumn<bool>("mmx");
        QTest::newRow("Pentium MMX") << 0x00000543u << 0x008001BFu << 3 << 4 << 5 << true << true;
        QTest::newRow("extended family and model ignored") << 0x00A20F12u << 0x00800010u << 2 << 1 << 15 << true << true;
        QTest::newRow("all signature bits set") << 0xFFFFFFFFu << 0u << 15 << 15 << 15 << false << false;
        QTest::newRow("MMX only") << 0x000006A5u << 0x00800000u << 5 << 10 << 6 << false << true;
        QTest::newRow("time stamp only") << 0x00000521u << 0x00000010u << 1 << 2 << 5 << true << false;
    }

    void leaf1Decoding()
    {
        QFETCH(quint32, signature);
        QFETCH(quint32, features);
        QFETCH(int, stepping);
        QFETCH(int, model);
        QFETCH(int, family);
        QFETCH(bool, rdtsc);
        QFETCH(bool, mmx);
        TPlayedProcessor cpu;
        cpu.SetErrorEnable(true);
        cpu.Leaf0.Eax = 1;
        cpu.Leaf1 = {signature, 0xFFFFFFFF, 0xFFFFFFFF, features};
        QCOMPARE(int(cpu.SteppingID()), stepping);
        QCOMPARE(int(cpu.Model()), model);
        QCOMPARE(int(cpu.Family()), family);
        QCOMPARE(cpu.FeatureFlags(), features);
        QCOMPARE(cpu.RDTSCsupport(), rdtsc);
        QCOMPARE(cpu.MMXsupport(), mmx);
    }

    void vendorStringJoinsEbxEdxEcx()
    {
        TPlayedProcessor cpu;
        cpu.Leaf0 = {1, FourChars("Genu"), FourChars("ntel"), FourChars("ineI")};
        QCOMPARE(cpu.VendorString(), QStringLiteral("GenuineIntel"));
        cpu.Leaf0 = {0x10, FourChars("Auth"), FourChars("cAMD"), FourChars("enti")};
        QCOMPARE(cpu.VendorString(), QStringLiteral("AuthenticAMD"));
        // Zero bytes still count: always twelve characters.
        cpu.Leaf0 = {0, 0, 0, 0};
        QCOMPARE(cpu.VendorString().size(), 12);
    }

    void everyReadAsksTheProcessorAgain()
    {
        TPlayedProcessor cpu;
        cpu.Leaf0.Eax = 1;
        cpu.Leaf1.Edx = 1u << 23;
        QCOMPARE(cpu.MMXsupport(), true);
        cpu.Leaf1.Edx = 0;
        QCOMPARE(cpu.MMXsupport(), false);
        cpu.Leaf0.Eax = 0;
        cpu.SetErrorEnable(true);
        ExpectProbeError([&] { cpu.FeatureFlags(); }, QStringLiteral("CPU not supported FeatureFlags"));
        cpu.SetErrorEnable(false);
        QCOMPARE(cpu.FeatureFlags(), std::uint32_t(0));
    }

    void propertiesReadThroughTheMetaObject()
    {
        TPlayedProcessor cpu;
        cpu.Leaf0 = {1, FourChars("Genu"), FourChars("ntel"), FourChars("ineI")};
        cpu.Leaf1 = {0x00000543u, 0, 0, 0x00800010u};
        QVERIFY(cpu.setProperty("ErrorEnable", true));
        QCOMPARE(cpu.ErrorEnable(), true);
        QCOMPARE(cpu.property("MMXsupport").toBool(), true);
        QCOMPARE(cpu.property("VendorString").toString(), QStringLiteral("GenuineIntel"));
        QCOMPARE(cpu.property("Family").toUInt(), 5u);
        QCOMPARE(cpu.property("Model").toUInt(), 4u);
        QCOMPARE(cpu.property("FeatureFlags").toUInt(), 0x00800010u);
        // Only ErrorEnable is writable.
        QVERIFY(!cpu.setProperty("MMXsupport", false));
    }

    // The machine running the tests, checked against what the kernel read
    // from the same processor.
    void thisMachine()
    {
        const TPentiumMMX probe;
        QCOMPARE(probe.VendorString().size(), 12);
#if defined(__x86_64__) || defined(_M_X64)
        QVERIFY(probe.CpuIDsupport()); // every 64-bit x86 processor has CPUID
#endif
#if defined(__x86_64__) || defined(__i386__) || defined(_M_X64) || defined(_M_IX86)
        const QString vendor = CpuInfoField(QStringLiteral("vendor_id"));
        if (vendor.isEmpty())
            QSKIP("no /proc/cpuinfo to compare with");
        QCOMPARE(probe.VendorString(), vendor);
        const QStringList flags = CpuInfoField(QStringLiteral("flags")).split(u' ', Qt::SkipEmptyParts);
        QCOMPARE(probe.MMXsupport(), flags.contains(QStringLiteral("mmx")));
        QCOMPARE(probe.RDTSCsupport(), flags.contains(QStringLiteral("tsc")));
        QCOMPARE(int(probe.SteppingID()), CpuInfoField(QStringLiteral("stepping")).toInt());
        // The kernel adds the extended fields, which the probe leaves out.
        QCOMPARE(int(probe.Model()), CpuInfoField(QStringLiteral("model")).toInt() & 0xF);
        const int family = CpuInfoField(QStringLiteral("cpu family")).toInt();
        QCOMPARE(int(probe.Family()), family >= 15 ? 15 : family);
#else
        QCOMPARE(probe.CpuIDsupport(), false);
        QCOMPARE(probe.MMXsupport(), false);
#endif
    }

    void timeStampCounterMoves()
    {
        const TPentiumMMX probe;
        const std::uint32_t highBefore = std::uint32_t(probe.TimeStampHigh());
        const std::uint32_t first = std::uint32_t(probe.TimeStampLow());
        bool moved = false;
        for (int i = 0; i < 1000000 && !moved; ++i)
            moved = std::uint32_t(probe.TimeStampLow()) != first;
        QVERIFY(moved);
        QVERIFY(std::uint32_t(probe.TimeStampHigh()) >= highBefore);
    }
};

QTEST_GUILESS_MAIN(PentiumMMXTest)
#include "PentiumMMXTest.moc"
