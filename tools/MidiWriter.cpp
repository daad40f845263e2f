// Standard MIDI File writer (see MidiWriter.h).
#include "tools/MidiWriter.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <stdexcept>

namespace {

void Require(bool condition, const char* what)
{
    if (!condition)
        throw std::invalid_argument(what);
}

void AppendBigEndian(std::vector<std::uint8_t>& bytes, std::uint32_t value, int size)
{
    for (int shift = 8 * (size - 1); shift >= 0; shift -= 8)
        bytes.push_back(static_cast<std::uint8_t>(value >> shift));
}

std::uint8_t Status(int kind, int channel)
{
    Require(channel >= 0 && channel <= 15, "MIDI channel out of range");
    return static_cast<std::uint8_t>(kind | channel);
}

std::uint8_t DataByte(int value, const char* what)
{
    Require(value >= 0 && value <= 127, what);
    return static_cast<std::uint8_t>(value);
}

} // namespace

void AppendVariableLength(std::vector<std::uint8_t>& bytes, std::uint32_t value)
{
    // Four groups of seven bits is all the format allows.
    Require(value <= 0x0FFFFFFF, "MIDI variable-length value too large");
    std::uint8_t groups[4];
    int count = 0;
    do {
        groups[count++] = value & 0x7F;
        value >>= 7;
    } while (value != 0);
    while (count > 1)
        bytes.push_back(groups[--count] | 0x80);
    bytes.push_back(groups[0]);
}

void TMidiTrack::Add(std::uint32_t tick, TOrder order, std::vector<std::uint8_t> bytes)
{
    events_.push_back({tick, order, std::move(bytes)});
}

void TMidiTrack::Name(const std::string& text)
{
    std::vector<std::uint8_t> bytes{0xFF, 0x03};
    AppendVariableLength(bytes, static_cast<std::uint32_t>(text.size()));
    bytes.insert(bytes.end(), text.begin(), text.end());
    Add(0, orSetting, std::move(bytes));
}

void TMidiTrack::Tempo(std::uint32_t tick, double beatsPerMinute)
{
    Require(beatsPerMinute >= 4.0 && beatsPerMinute <= 1000.0, "tempo out of range");
    const auto microseconds = static_cast<std::uint32_t>(std::lround(60'000'000.0 / beatsPerMinute));
    std::vector<std::uint8_t> bytes{0xFF, 0x51, 0x03};
    AppendBigEndian(bytes, microseconds, 3);
    Add(tick, orSetting, std::move(bytes));
}

void TMidiTrack::TimeSignature(std::uint32_t tick, int numerator, int denominator)
{
    Require(numerator >= 1 && numerator <= 255, "time signature numerator out of range");
    int power = 0;
    while ((1 << power) < denominator && power < 7)
        ++power;
    Require((1 << power) == denominator, "time signature denominator must be a power of two");
    // 24 clocks per metronome click, 8 thirty-seconds per quarter: the usual values.
    Add(tick, orSetting,
        {0xFF, 0x58, 0x04, static_cast<std::uint8_t>(numerator), static_cast<std::uint8_t>(power), 24, 8});
}

void TMidiTrack::ProgramChange(std::uint32_t tick, int channel, int program)
{
    Add(tick, orSetting, {Status(0xC0, channel), DataByte(program, "program out of range")});
}

void TMidiTrack::Controller(std::uint32_t tick, int channel, int controller, int value)
{
    Add(tick, orSetting,
        {Status(0xB0, channel), DataByte(controller, "controller out of range"),
         DataByte(value, "controller value out of range")});
}

void TMidiTrack::Note(std::uint32_t tick, std::uint32_t duration, int channel, int key, int velocity)
{
    Require(duration >= 1, "note duration must be at least one tick");
    Require(velocity >= 1, "note velocity must be at least 1");
    const std::uint8_t keyByte = DataByte(key, "key out of range");
    Add(tick, orNoteOn, {Status(0x90, channel), keyByte, DataByte(velocity, "velocity out of range")});
    Add(tick + duration, orNoteOff, {Status(0x80, channel), keyByte, 64});
}

void TMidiTrack::EndAt(std::uint32_t tick)
{
    endTick_ = std::max(endTick_, tick);
}

std::uint32_t TMidiTrack::EndTick() const
{
    std::uint32_t end = endTick_;
    for (const TEvent& event : events_)
        end = std::max(end, event.Tick);
    return end;
}

std::vector<std::uint8_t> TMidiTrack::Chunk() const
{
    std::vector<const TEvent*> ordered;
    ordered.reserve(events_.size());
    for (const TEvent& event : events_)
        ordered.push_back(&event);
    std::stable_sort(ordered.begin(), ordered.end(), [](const TEvent* a, const TEvent* b) {
        return a->Tick != b->Tick ? a->Tick < b->Tick : a->Order < b->Order;
    });

    std::vector<std::uint8_t> body;
    std::uint32_t previous = 0;
    for (const TEvent* event : ordered) {
        AppendVariableLength(body, event->Tick - previous);
        body.insert(body.end(), event->Bytes.begin(), event->Bytes.end());
        previous = event->Tick;
    }
    AppendVariableLength(body, EndTick() - previous);
    body.insert(body.end(), {0xFF, 0x2F, 0x00});

    std::vector<std::uint8_t> chunk{'M', 'T', 'r', 'k'};
    AppendBigEndian(chunk, static_cast<std::uint32_t>(body.size()), 4);
    chunk.insert(chunk.end(), body.begin(), body.end());
    return chunk;
}

TMidiFile::TMidiFile(int ticksPerQuarter)
    : ticksPerQuarter_(ticksPerQuarter)
{
    // The top bit would switch the division to SMPTE time.
    Require(ticksPerQuarter >= 1 && ticksPerQuarter <= 0x7FFF, "ticks per quarter out of range");
}

TMidiTrack& TMidiFile::AddTrack()
{
    Require(tracks_.size() < 0xFFFF, "too many tracks");
    return tracks_.emplace_back();
}

std::vector<std::uint8_t> TMidiFile::Bytes() const
{
    std::vector<std::uint8_t> bytes{'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1};
    AppendBigEndian(bytes, static_cast<std::uint32_t>(tracks_.size()), 2);
    AppendBigEndian(bytes, static_cast<std::uint32_t>(ticksPerQuarter_), 2);
    for (const TMidiTrack& track : tracks_) {
        const std::vector<std::uint8_t> chunk = track.Chunk();
        bytes.insert(bytes.end(), chunk.begin(), chunk.end());
    }
    return bytes;
}

bool TMidiFile::Save(const std::string& path) const
{
    const std::vector<std::uint8_t> bytes = Bytes();
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}
