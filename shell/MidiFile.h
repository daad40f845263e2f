// Reads what the music player needs to know about a Standard MIDI File before
// playing it: that it is whole, where its last event lies and how ticks map
// to milliseconds through the tempo changes. The synthesizer learns a file's
// length only while rendering it, so the player measures tracks here.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

struct TMidiTempoChange {
    std::int64_t Tick = 0;
    std::uint32_t MicrosecondsPerQuarter = 500000; // 120 beats a minute until told otherwise
};

struct TMidiFileInfo {
    int Format = 0;
    int TrackCount = 0;
    int TicksPerQuarter = 0;
    // Tick of the latest event of any track, end-of-track events included.
    std::int64_t LastTick = 0;
    // Sorted by tick, the first one at tick 0.
    std::vector<TMidiTempoChange> Tempos;
    int NoteCount = 0;
    // Bit n set: channel n (from 0) plays at least one note.
    std::uint16_t NoteChannels = 0;

    // Milliseconds from the start to `tick`, following the tempo changes;
    // ticks beyond the last event continue at the last tempo.
    double TickToMs(std::int64_t tick) const;
    std::int64_t LengthMs() const;
};

// Throws Exception with a short English reason ("not a MIDI file", "truncated
// track 3", ...) when the data is not a complete Standard MIDI File the
// synthesizer can play.
TMidiFileInfo ReadMidiFile(const QByteArray& data);
