// Encoding of 16-bit PCM samples as a RIFF/WAVE file. Plain C++ so the
// generators build without Qt.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Channels interleaved, 16 bits per sample, little-endian whatever the host.
struct TWavFormat {
    std::uint32_t SampleRate = 22050;
    std::uint16_t Channels = 1;
};

// Size of the canonical header written before the samples.
constexpr std::size_t WavHeaderSize = 44;

// Real-valued signal in [-1, 1] to 16-bit samples: rounded to nearest,
// anything outside the range (or not a number) clipped rather than wrapped.
std::vector<std::int16_t> ToPcm16(const std::vector<double>& signal);

// The whole file as bytes: "RIFF" header, one "fmt " chunk, one "data"
// chunk. A sample count that is not a multiple of the channel count is
// padded with silence so that the last frame is complete.
std::vector<std::uint8_t> EncodeWav(const std::vector<std::int16_t>& samples, TWavFormat format);

// Writes EncodeWav's bytes to path, replacing what was there. Returns false,
// with the reason in error, when the file cannot be written completely; a
// partly written file never appears under path.
bool WriteWavFile(const std::string& path, const std::vector<std::int16_t>& samples, TWavFormat format,
                  std::string& error);
