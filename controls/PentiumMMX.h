// The processor probe: asks an x86 processor through CPUID, the flags
// register and RDTSC what it is and what it can do, subtracts time-stamp
// readings and applies one MMX instruction, chosen by number, to two 64-bit
// operands. On other processors it reports no CPUID and no MMX, and the MMX
// operations are computed in plain C++.
#pragma once

#include "shell/Exception.h"

#include <QObject>
#include <QString>

#include <cstdint>

inline constexpr std::int32_t PentiumMMXErrorCode = 65537;

// Raised by the identification getters when ErrorEnable is on and the
// processor cannot answer.
class EPentiumMMXError : public Exception {
public:
    explicit EPentiumMMXError(const QString& message, std::int32_t errorCode = PentiumMMXErrorCode)
        : Exception(message), ErrorCode(errorCode)
    {
    }

    std::int32_t ErrorCode;
};

// A 64-bit count as two 32-bit words, the more significant word first.
struct TCount64 {
    std::uint32_t High = 0;
    std::uint32_t Low = 0;

    friend bool operator==(TCount64, TCount64) = default;
};

// The four registers CPUID answers with.
struct TCpuIdRegisters {
    std::uint32_t Eax = 0;
    std::uint32_t Ebx = 0;
    std::uint32_t Ecx = 0;
    std::uint32_t Edx = 0;
};

class TPentiumMMX : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool ErrorEnable READ ErrorEnable WRITE SetErrorEnable)
    Q_PROPERTY(bool CpuIDsupport READ CpuIDsupport)
    Q_PROPERTY(bool RDTSCsupport READ RDTSCsupport)
    Q_PROPERTY(bool MMXsupport READ MMXsupport)
    Q_PROPERTY(QString VendorString READ VendorString)
    Q_PROPERTY(quint8 SteppingID READ SteppingID)
    Q_PROPERTY(quint8 Model READ Model)
    Q_PROPERTY(quint16 Family READ Family)
    Q_PROPERTY(quint32 FeatureFlags READ FeatureFlags)
    Q_PROPERTY(qint32 TimeStampHigh READ TimeStampHigh)
    Q_PROPERTY(qint32 TimeStampLow READ TimeStampLow)

public:
    explicit TPentiumMMX(QObject* parent = nullptr);

    // Whether the identification getters throw (instead of answering 0)
    // when the processor has no CPUID leaf 1.
    bool ErrorEnable() const { return FErrorEnable; }
    void SetErrorEnable(bool value);

    // Every getter below asks the processor again; nothing is cached.
    bool CpuIDsupport() const;
    bool RDTSCsupport() const;
    bool MMXsupport() const;
    QString VendorString() const; // always 12 characters
    std::uint8_t SteppingID() const;
    std::uint8_t Model() const;
    std::uint16_t Family() const;
    std::uint32_t FeatureFlags() const;
    // Each reads the counter anew, so the two halves come from two readings.
    std::int32_t TimeStampHigh() const;
    std::int32_t TimeStampLow() const;

    // later - earlier, modulo 2^32 and 2^64.
    std::uint32_t Interval32(std::uint32_t later, std::uint32_t earlier) const;
    TCount64 Interval64(TCount64 later, TCount64 earlier) const;

    // The MMX instruction that Op selects (1 PAND ... 44 PMADDWD) with A as
    // destination and B as source, lane 0 in the lowest bits; 0 for any other
    // Op. It does not check MMXsupport: the caller does.
    std::uint64_t MmxOperate(std::uint8_t Op, std::uint64_t A, std::uint64_t B) const;

protected:
    // The identification source. Tests replace it to play a processor that
    // the machine running them is not.
    virtual bool IdentificationFlagToggles() const;
    virtual TCpuIdRegisters CpuId(std::uint32_t leaf) const;

private:
    template <typename Result, typename Extract>
    Result Leaf1Field(const char* property, Extract extract) const;

    bool FErrorEnable = false;
};

// The MMX operations in plain C++, the same for every processor: MmxOperate
// uses it where the instructions are not available.
std::uint64_t MmxOperatePortable(std::uint8_t op, std::uint64_t a, std::uint64_t b);
