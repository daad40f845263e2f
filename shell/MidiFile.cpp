// Standard MIDI File reader (see MidiFile.h). Strict about structure, because
// a file that fails here would otherwise fail silently inside the synthesizer.
#include "shell/MidiFile.h"

#include "shell/Exception.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// The synthesizer counts ticks in a signed 32-bit integer.
constexpr std::int64_t MaxTick = std::numeric_limits<std::int32_t>::max();

class TReader {
public:
    TReader(const QByteArray& data, qsizetype begin, qsizetype end)
        : data_(data), at_(begin), end_(end)
    {
    }

    bool AtEnd() const { return at_ >= end_; }
    qsizetype Offset() const { return at_; }

    std::uint8_t Byte(const char* what)
    {
        if (at_ >= end_)
            throw Exception(QString::fromUtf8(what));
        return static_cast<std::uint8_t>(data_[at_++]);
    }

    std::uint32_t BigEndian(int size, const char* what)
    {
        std::uint32_t value = 0;
        for (int i = 0; i < size; ++i)
            value = (value << 8) | Byte(what);
        return value;
    }

    // At most four bytes, as the format defines.
    std::uint32_t VariableLength(const char* what)
    {
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            const std::uint8_t byte = Byte(what);
            value = (value << 7) | (byte & 0x7F);
            if (!(byte & 0x80))
                return value;
        }
        throw Exception(QString::fromUtf8(what));
    }

    void Skip(std::uint32_t count, const char* what)
    {
        if (count > static_cast<std::uint64_t>(end_ - at_))
            throw Exception(QString::fromUtf8(what));
        at_ += count;
    }

private:
    const QByteArray& data_;
    qsizetype at_;
    qsizetype end_;
};

void ReadTrack(TReader& reader, int trackNumber, TMidiFileInfo& info)
{
    const QByteArray truncated = "stopa " + QByteArray::number(trackNumber) + " je useknutá";
    const char* damaged = truncated.constData();
    std::int64_t tick = 0;
    std::uint8_t runningStatus = 0;
    while (!reader.AtEnd()) {
        tick += reader.VariableLength(damaged);
        if (tick > MaxTick)
            throw Exception(QString::fromUtf8("stopa %1 je příliš dlouhá").arg(trackNumber));
        info.LastTick = std::max(info.LastTick, tick);

        std::uint8_t status = reader.Byte(damaged);
        std::uint8_t first = 0;
        if (status < 0x80) {
            // A data byte where a status byte belongs: running status.
            if (runningStatus == 0)
                throw Exception(QString::fromUtf8("data bez stavového bajtu ve stopě %1").arg(trackNumber));
            first = status;
            status = runningStatus;
        } else if (status < 0xF0) {
            first = reader.Byte(damaged);
        }

        if (status < 0xF0) {
            runningStatus = status;
            const int kind = status & 0xF0;
            const bool oneDataByte = kind == 0xC0 || kind == 0xD0;
            const std::uint8_t second = oneDataByte ? 0 : reader.Byte(damaged);
            if (first >= 0x80 || second >= 0x80)
                throw Exception(QString::fromUtf8("chybný datový bajt ve stopě %1").arg(trackNumber));
            if (kind == 0x90 && second > 0) {
                ++info.NoteCount;
                info.NoteChannels |= std::uint16_t(1u << (status & 0x0F));
            }
            continue;
        }

        runningStatus = 0;
        if (status == 0xF0 || status == 0xF7) {
            reader.Skip(reader.VariableLength(damaged), damaged);
        } else if (status == 0xFF) {
            const std::uint8_t type = reader.Byte(damaged);
            const std::uint32_t length = reader.VariableLength(damaged);
            if (type == 0x2F)
                return; // end of track; anything after it is never played
            if (type == 0x51 && length == 3) {
                const std::uint32_t microseconds = reader.BigEndian(3, damaged);
                if (microseconds == 0)
                    throw Exception(QString::fromUtf8("nulové tempo ve stopě %1").arg(trackNumber));
                info.Tempos.push_back({tick, microseconds});
            } else {
                reader.Skip(length, damaged);
            }
        } else {
            throw Exception(QString::fromUtf8("chybná událost ve stopě %1").arg(trackNumber));
        }
    }
}

} // namespace

double TMidiFileInfo::TickToMs(std::int64_t tick) const
{
    double ms = 0.0;
    for (std::size_t i = 0; i < Tempos.size() && Tempos[i].Tick < tick; ++i) {
        const std::int64_t to = i + 1 < Tempos.size() ? std::min(tick, Tempos[i + 1].Tick) : tick;
        ms += double(to - Tempos[i].Tick) * Tempos[i].MicrosecondsPerQuarter / TicksPerQuarter / 1000.0;
    }
    return ms;
}

std::int64_t TMidiFileInfo::LengthMs() const
{
    return std::llround(TickToMs(LastTick));
}

TMidiFileInfo ReadMidiFile(const QByteArray& data)
{
    TReader reader(data, 0, data.size());
    if (data.size() < 14 || !data.startsWith("MThd"))
        throw Exception(QString::fromUtf8("není to soubor MIDI"));
    reader.Skip(4, "");
    const std::uint32_t headerLength = reader.BigEndian(4, "hlavička je useknutá");
    if (headerLength < 6)
        throw Exception(QString::fromUtf8("hlavička je poškozená"));

    TMidiFileInfo info;
    info.Format = static_cast<int>(reader.BigEndian(2, "hlavička je useknutá"));
    info.TrackCount = static_cast<int>(reader.BigEndian(2, "hlavička je useknutá"));
    const std::uint32_t division = reader.BigEndian(2, "hlavička je useknutá");
    reader.Skip(headerLength - 6, "hlavička je useknutá");
    if (info.Format > 2)
        throw Exception(QString::fromUtf8("neznámý formát souboru MIDI %1").arg(info.Format));
    if (info.TrackCount == 0)
        throw Exception(QString::fromUtf8("neobsahuje žádnou stopu"));
    if (division & 0x8000)
        throw Exception(QString::fromUtf8("časové dělení SMPTE není podporováno"));
    if (division == 0)
        throw Exception(QString::fromUtf8("nulové časové dělení"));
    info.TicksPerQuarter = static_cast<int>(division);

    int tracksRead = 0;
    while (tracksRead < info.TrackCount) {
        if (reader.AtEnd())
            throw Exception(QString::fromUtf8("chybí stopa %1").arg(tracksRead + 1));
        const qsizetype chunkStart = reader.Offset();
        const QByteArray id = data.mid(chunkStart, 4);
        reader.Skip(4, "blok dat je useknutý");
        const std::uint32_t length = reader.BigEndian(4, "blok dat je useknutý");
        if (length > static_cast<std::uint64_t>(data.size() - reader.Offset()))
            throw Exception(QString::fromUtf8("stopa %1 je useknutá").arg(tracksRead + 1));
        if (id == "MTrk") {
            TReader track(data, reader.Offset(), reader.Offset() + length);
            ReadTrack(track, ++tracksRead, info);
        }
        // Chunks of other kinds are skipped, as the format asks of readers.
        reader.Skip(length, "blok dat je useknutý");
    }

    std::stable_sort(info.Tempos.begin(), info.Tempos.end(),
                     [](const TMidiTempoChange& a, const TMidiTempoChange& b) { return a.Tick < b.Tick; });
    if (info.Tempos.empty() || info.Tempos.front().Tick != 0)
        info.Tempos.insert(info.Tempos.begin(), TMidiTempoChange{});
    if (info.LengthMs() > std::numeric_limits<int>::max())
        throw Exception(QString::fromUtf8("skladba je příliš dlouhá"));
    return info;
}
