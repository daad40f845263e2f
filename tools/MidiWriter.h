// A small Standard MIDI File writer for the music generator: format 1, one
// chunk per track, tempo and time-signature meta events, program changes,
// controllers and notes (drums on channel 10). Plain C++, no Qt, so the
// generator builds before anything else.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

// Channel 10 as musicians count it: General MIDI's percussion channel.
constexpr int DrumChannel = 9;

class TMidiTrack {
public:
    // Meta events; the tempo and the time signature belong in the first track.
    void Name(const std::string& text);
    void Tempo(std::uint32_t tick, double beatsPerMinute);
    void TimeSignature(std::uint32_t tick, int numerator, int denominator);

    // Channels count from 0 (so DrumChannel is 9); out-of-range values throw
    // std::invalid_argument rather than write a file that plays wrongly.
    void ProgramChange(std::uint32_t tick, int channel, int program);
    void Controller(std::uint32_t tick, int channel, int controller, int value);
    // A note-on at `tick` and its note-off `duration` ticks later (at least 1).
    void Note(std::uint32_t tick, std::uint32_t duration, int channel, int key, int velocity);

    // The end-of-track event goes no earlier than this tick, so a piece can
    // end on a rest.
    void EndAt(std::uint32_t tick);
    // Tick of the end-of-track event: the latest event or EndAt, whichever is later.
    std::uint32_t EndTick() const;

    // The complete "MTrk" chunk.
    std::vector<std::uint8_t> Chunk() const;

private:
    // Within one tick note-offs go first, so a repeated key is not cut short
    // by its own previous note-off; then settings, then note-ons.
    enum TOrder { orNoteOff = 0, orSetting = 1, orNoteOn = 2 };
    struct TEvent {
        std::uint32_t Tick;
        TOrder Order;
        std::vector<std::uint8_t> Bytes;
    };

    void Add(std::uint32_t tick, TOrder order, std::vector<std::uint8_t> bytes);

    std::vector<TEvent> events_;
    std::uint32_t endTick_ = 0;
};

class TMidiFile {
public:
    explicit TMidiFile(int ticksPerQuarter = 480);

    int TicksPerQuarter() const { return ticksPerQuarter_; }
    // References stay valid as more tracks are added.
    TMidiTrack& AddTrack();
    int TrackCount() const { return static_cast<int>(tracks_.size()); }

    std::vector<std::uint8_t> Bytes() const;
    // False when the file cannot be written completely.
    bool Save(const std::string& path) const;

private:
    int ticksPerQuarter_;
    std::deque<TMidiTrack> tracks_;
};

// Variable-length quantity as MIDI files store delta times and lengths.
void AppendVariableLength(std::vector<std::uint8_t>& bytes, std::uint32_t value);
