// RIFF/WAVE encoding for the effect generator.
#include "tools/WavWriter.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {

void PutU16(std::vector<std::uint8_t>& out, std::uint16_t value)
{
    out.push_back(std::uint8_t(value & 0xFF));
    out.push_back(std::uint8_t(value >> 8));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(std::uint8_t((value >> shift) & 0xFF));
}

void PutTag(std::vector<std::uint8_t>& out, const char (&tag)[5])
{
    out.insert(out.end(), tag, tag + 4);
}

} // namespace

std::vector<std::int16_t> ToPcm16(const std::vector<double>& signal)
{
    std::vector<std::int16_t> samples;
    samples.reserve(signal.size());
    for (const double value : signal) {
        if (std::isnan(value)) {
            samples.push_back(0);
            continue;
        }
        // Symmetric scale: +1 and -1 both map to full scale, -32768 is never used.
        const double scaled = std::nearbyint(value * 32767.0);
        if (scaled >= 32767.0)
            samples.push_back(32767);
        else if (scaled <= -32767.0)
            samples.push_back(-32767);
        else
            samples.push_back(std::int16_t(scaled));
    }
    return samples;
}

std::vector<std::uint8_t> EncodeWav(const std::vector<std::int16_t>& samples, TWavFormat format)
{
    const std::uint16_t channels = format.Channels == 0 ? 1 : format.Channels;
    const std::uint16_t blockAlign = std::uint16_t(channels * 2);
    std::size_t sampleCount = samples.size();
    if (sampleCount % channels != 0)
        sampleCount += channels - sampleCount % channels;

    // RIFF sizes are 32 bits; longer input is cut at a whole frame rather
    // than written with a wrapped, lying size.
    const std::size_t maxData = (std::numeric_limits<std::uint32_t>::max() - (WavHeaderSize - 8)) / blockAlign * blockAlign;
    std::size_t dataBytes = sampleCount * 2;
    if (dataBytes > maxData) {
        dataBytes = maxData;
        sampleCount = dataBytes / 2;
    }

    std::vector<std::uint8_t> out;
    out.reserve(WavHeaderSize + dataBytes);
    PutTag(out, "RIFF");
    PutU32(out, std::uint32_t(WavHeaderSize - 8 + dataBytes));
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutU32(out, 16);
    PutU16(out, 1); // integer PCM
    PutU16(out, channels);
    PutU32(out, format.SampleRate);
    PutU32(out, format.SampleRate * blockAlign);
    PutU16(out, blockAlign);
    PutU16(out, 16);
    PutTag(out, "data");
    PutU32(out, std::uint32_t(dataBytes));
    for (std::size_t i = 0; i < sampleCount; ++i)
        PutU16(out, std::uint16_t(i < samples.size() ? samples[i] : 0));
    return out;
}

bool WriteWavFile(const std::string& path, const std::vector<std::int16_t>& samples, TWavFormat format,
                  std::string& error)
{
    const std::vector<std::uint8_t> bytes = EncodeWav(samples, format);
    // Written beside the target and renamed into place: an interrupted or
    // failed write never leaves a truncated effect under the real name.
    const std::string temporary = path + ".part";
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    errno = 0;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    int failure = errno;
    const bool closed = std::fclose(file) == 0;
    if (failure == 0)
        failure = errno;
    if (!written || !closed) {
        error = path + ": " + (failure != 0 ? std::strerror(failure) : "write failed");
        std::remove(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        // Windows refuses to rename over an existing file.
        std::remove(path.c_str());
        if (std::rename(temporary.c_str(), path.c_str()) != 0) {
            error = path + ": " + std::strerror(errno);
            std::remove(temporary.c_str());
            return false;
        }
    }
    return true;
}
