// Writes the game's four background pieces as MIDI files into the folder named
// on the command line: a stately minor-key piece ("evita.mid"), a synth-bass
// groove ("axel'f.mid"), a cheerful major-key tune ("behappy.mid") and a slow,
// calm piece ("relax.mid"). The music is our own: chord tables written here,
// melodies walked from them by a seeded generator, so every build writes the
// same notes.
#include "tools/MidiWriter.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

constexpr int Q = 480; // ticks per quarter note
constexpr int Sixteenth = Q / 4;
constexpr int BarTicks = 4 * Q; // every piece is in 4/4

std::uint32_t BarStart(int bar)
{
    return static_cast<std::uint32_t>(bar * BarTicks);
}

// xorshift32: our own generator, because the standard distributions may
// differ between libraries and the pieces must not.
class TRandom {
public:
    explicit TRandom(std::uint32_t seed)
        : state_(seed ? seed : 0x9E3779B9u)
    {
    }
    std::uint32_t Next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }
    int Between(int low, int high) { return low + Below(high - low + 1); }
    int Pick(std::initializer_list<int> values) { return values.begin()[Below(static_cast<int>(values.size()))]; }

private:
    std::uint32_t state_;
};

struct TChord {
    int Root = 0; // pitch class, C = 0
    std::vector<int> Intervals;

    bool Contains(int key) const
    {
        const int pitchClass = ((key - Root) % 12 + 12) % 12;
        return std::find(Intervals.begin(), Intervals.end(), pitchClass) != Intervals.end();
    }
};

// "Dm", "Bb", "A7", "Fmaj7", "Csus4", "Gm7", "Eadd9": enough to write the
// progressions as readable tables.
TChord Chord(const std::string& name)
{
    static const int letterClass[] = {9, 11, 0, 2, 4, 5, 7}; // A..G
    TChord chord;
    std::size_t at = 0;
    chord.Root = letterClass[name[at++] - 'A'];
    if (at < name.size() && (name[at] == 'b' || name[at] == '#'))
        chord.Root = (chord.Root + (name[at++] == 'b' ? 11 : 1)) % 12;
    const std::string quality = name.substr(at);
    if (quality.empty())
        chord.Intervals = {0, 4, 7};
    else if (quality == "m")
        chord.Intervals = {0, 3, 7};
    else if (quality == "7")
        chord.Intervals = {0, 4, 7, 10};
    else if (quality == "maj7")
        chord.Intervals = {0, 4, 7, 11};
    else if (quality == "m7")
        chord.Intervals = {0, 3, 7, 10};
    else if (quality == "sus4")
        chord.Intervals = {0, 5, 7};
    else if (quality == "add9")
        chord.Intervals = {0, 2, 4, 7};
    else {
        std::fprintf(stderr, "unknown chord %s\n", name.c_str());
        std::exit(2);
    }
    return chord;
}

std::vector<TChord> Progression(std::initializer_list<const char*> names)
{
    std::vector<TChord> chords;
    for (const char* name : names)
        chords.push_back(Chord(name));
    return chords;
}

// The chord's tones from `low` upwards, one of each.
std::vector<int> Voicing(const TChord& chord, int low)
{
    std::vector<int> keys;
    for (int interval : chord.Intervals) {
        int key = chord.Root + interval;
        while (key < low)
            key += 12;
        keys.push_back(key);
    }
    std::sort(keys.begin(), keys.end());
    return keys;
}

// The lowest key of the chord's root at or above `low`.
int RootKey(const TChord& chord, int low)
{
    int key = chord.Root;
    while (key < low)
        key += 12;
    return key;
}

struct TScale {
    int Tonic;
    std::vector<int> Steps;

    bool Contains(int key) const
    {
        const int pitchClass = ((key - Tonic) % 12 + 12) % 12;
        return std::find(Steps.begin(), Steps.end(), pitchClass) != Steps.end();
    }
    // The scale as it sounds over a chord: a chord tone from outside the
    // scale (the C sharp of A major in D minor) replaces the degree a
    // semitone below it, so passing notes do not rub against the harmony.
    TScale Over(const TChord& chord) const
    {
        TScale adapted = *this;
        for (int interval : chord.Intervals) {
            const int tone = ((chord.Root + interval - Tonic) % 12 + 12) % 12;
            if (std::find(Steps.begin(), Steps.end(), tone) != Steps.end())
                continue;
            std::erase(adapted.Steps, (tone + 11) % 12);
            adapted.Steps.push_back(tone);
        }
        return adapted;
    }

    // `count` scale steps up (or down when negative) from `key`.
    int Move(int key, int count) const
    {
        const int direction = count < 0 ? -1 : 1;
        for (int done = 0; done != count; done += direction) {
            do
                key += direction;
            while (!Contains(key));
        }
        return key;
    }
};

// One bar of melody rhythm: note lengths in ticks, a negative length is a rest.
using TRhythm = std::vector<int>;

struct TVoice {
    TMidiTrack* Track;
    int Channel;
    int Low;
    int High;
    int Velocity;
};

int NearestChordTone(const TChord& chord, int around, int low, int high)
{
    for (int distance = 0; distance < 12; ++distance) {
        for (int key : {around - distance, around + distance})
            if (key >= low && key <= high && chord.Contains(key))
                return key;
    }
    return std::clamp(around, low, high);
}

// A melody over one chord per bar: chord tones on the strong beats, scale
// steps in between, ending on the root when asked. The same seed over other
// chords gives the same contour again, which is how the pieces recall their
// themes. Returns the last key.
int Melody(const TVoice& voice, int firstBar, const std::vector<TChord>& chords, const std::vector<TRhythm>& rhythms,
           const TScale& scale, std::uint32_t seed, bool endOnRoot, int startKey)
{
    TRandom random(seed);
    int key = startKey;
    for (std::size_t bar = 0; bar < chords.size(); ++bar) {
        const TChord& chord = chords[bar];
        const TRhythm& rhythm = rhythms[bar % rhythms.size()];
        int position = 0;
        for (std::size_t index = 0; index < rhythm.size(); ++index) {
            const int length = rhythm[index];
            if (length < 0) {
                position -= length;
                continue;
            }
            const bool strong = position % (2 * Q) == 0;
            const bool last = bar + 1 == chords.size() && index + 1 == rhythm.size();
            if (last && endOnRoot) {
                key = NearestChordTone(TChord{chord.Root, {0}}, key, voice.Low, voice.High);
            } else if (strong) {
                key = NearestChordTone(chord, key + random.Between(-3, 3), voice.Low, voice.High);
            } else {
                int step = random.Pick({-2, -1, -1, 1, 1, 2});
                if (key + 4 > voice.High)
                    step = -std::abs(step);
                if (key - 4 < voice.Low)
                    step = std::abs(step);
                key = scale.Over(chord).Move(key, step);
            }
            const int velocity = std::clamp(voice.Velocity + (strong ? 8 : 0) + random.Between(-6, 6), 1, 127);
            const int sounding = std::max(1, length * 9 / 10);
            voice.Track->Note(BarStart(firstBar + static_cast<int>(bar)) + position, sounding, voice.Channel, key,
                              velocity);
            position += length;
        }
    }
    return key;
}

// Sustained chords, a bar each, released just before the next one.
void Pad(const TVoice& voice, int firstBar, const std::vector<TChord>& chords)
{
    for (std::size_t bar = 0; bar < chords.size(); ++bar)
        for (int key : Voicing(chords[bar], voice.Low))
            voice.Track->Note(BarStart(firstBar + static_cast<int>(bar)), BarTicks - 10, voice.Channel, key,
                              voice.Velocity);
}

// A bar written as sixteenths: 'R' root, 'O' root an octave up, 'F' fifth,
// 'S' minor seventh, 'T' third of the chord, '-' holds the previous note,
// '.' is silence. Notes are played a little short, as a bass player would.
void PatternBar(const TVoice& voice, int bar, const TChord& chord, const std::string& pattern)
{
    const int root = RootKey(chord, voice.Low);
    const int third = root + (chord.Contains(root + 3) ? 3 : 4);
    for (std::size_t at = 0; at < pattern.size(); ++at) {
        int key = 0;
        switch (pattern[at]) {
        case 'R': key = root; break;
        case 'O': key = root + 12; break;
        case 'F': key = root + 7; break;
        case 'S': key = root + 10; break;
        case 'T': key = third; break;
        default: continue;
        }
        std::size_t end = at + 1;
        while (end < pattern.size() && pattern[end] == '-')
            ++end;
        const int length = static_cast<int>(end - at) * Sixteenth;
        const int velocity = std::clamp(voice.Velocity + (at % 4 == 0 ? 10 : 0), 1, 127);
        voice.Track->Note(BarStart(bar) + static_cast<std::uint32_t>(at) * Sixteenth, length * 4 / 5, voice.Channel, key,
                          velocity);
    }
}

// One drum in one bar, written as sixteenths: 'x' a hit, 'X' an accent.
void DrumBar(TMidiTrack& track, int bar, int drum, const std::string& pattern, int velocity)
{
    for (std::size_t at = 0; at < pattern.size(); ++at) {
        if (pattern[at] != 'x' && pattern[at] != 'X')
            continue;
        const int hit = std::clamp(pattern[at] == 'X' ? velocity + 20 : velocity, 1, 127);
        track.Note(BarStart(bar) + static_cast<std::uint32_t>(at) * Sixteenth, Sixteenth / 2, DrumChannel, drum, hit);
    }
}

// Up-and-down broken chords in eighths across two octaves.
void Arpeggio(const TVoice& voice, int firstBar, const std::vector<TChord>& chords, std::uint32_t seed)
{
    TRandom random(seed);
    for (std::size_t bar = 0; bar < chords.size(); ++bar) {
        std::vector<int> keys = Voicing(chords[bar], voice.Low);
        for (int key : Voicing(chords[bar], voice.Low + 12))
            keys.push_back(key);
        std::vector<int> order;
        for (std::size_t i = 0; i < keys.size(); ++i)
            order.push_back(static_cast<int>(i));
        for (int i = static_cast<int>(keys.size()) - 2; i > 0; --i)
            order.push_back(i);
        for (int step = 0; step < 8; ++step) {
            const int key = keys[static_cast<std::size_t>(order[static_cast<std::size_t>(step) % order.size()])];
            if (key > voice.High)
                continue;
            const int velocity = std::clamp(voice.Velocity + (step % 2 == 0 ? 6 : 0) + random.Between(-4, 4), 1, 127);
            voice.Track->Note(BarStart(firstBar + static_cast<int>(bar)) + static_cast<std::uint32_t>(step) * Q / 2,
                              Q / 2 + Q / 4, voice.Channel, key, velocity);
        }
    }
}

// Channel set-up at the start: instrument, volume, stereo place, reverb.
void Instrument(TMidiTrack& track, const char* name, int channel, int program, int volume, int pan, int reverb)
{
    track.Name(name);
    if (channel != DrumChannel)
        track.ProgramChange(0, channel, program);
    track.Controller(0, channel, 7, volume);
    track.Controller(0, channel, 10, pan);
    track.Controller(0, channel, 91, reverb);
}

std::vector<TChord> Slice(const std::vector<TChord>& chords, std::size_t from, std::size_t count)
{
    return {chords.begin() + static_cast<std::ptrdiff_t>(from), chords.begin() + static_cast<std::ptrdiff_t>(from + count)};
}

template <typename T>
std::vector<T> Join(std::initializer_list<std::vector<T>> parts)
{
    std::vector<T> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// Every track ends with the last bar, so the piece lasts exactly its bars.
void EndAllTracks(std::initializer_list<TMidiTrack*> tracks, int bars)
{
    for (TMidiTrack* track : tracks)
        track->EndAt(BarStart(bars));
}

// A stately piece in D minor: strings, horn and oboe over a bowed bass, harp
// in the middle part, timpani marking the phrases, slowing down at the end.
TMidiFile Evita()
{
    constexpr int bars = 20;
    TMidiFile file(Q);
    TMidiTrack& conductor = file.AddTrack();
    conductor.Name("Zelvon - Evita");
    conductor.TimeSignature(0, 4, 4);
    conductor.Tempo(0, 76);
    conductor.Tempo(BarStart(18), 66);
    conductor.Tempo(BarStart(19), 56);

    TMidiTrack& strings = file.AddTrack();
    TMidiTrack& horn = file.AddTrack();
    TMidiTrack& oboe = file.AddTrack();
    TMidiTrack& bass = file.AddTrack();
    TMidiTrack& harp = file.AddTrack();
    TMidiTrack& timpani = file.AddTrack();
    Instrument(strings, "Strings", 0, 48, 96, 54, 70);
    Instrument(horn, "Horn", 1, 60, 104, 44, 60);
    Instrument(oboe, "Oboe", 2, 68, 100, 84, 60);
    Instrument(bass, "Basses", 3, 43, 100, 64, 50);
    Instrument(harp, "Harp", 4, 46, 84, 88, 70);
    Instrument(timpani, "Timpani", 5, 47, 96, 64, 50);

    const std::vector<TChord> chords = Progression({
        "Dm", "Bb", "Gm", "A", "Dm", "F", "Gm", "A",        // theme
        "Bb", "F", "Gm", "Dm", "Bb", "C", "Gm", "A7",      // middle part
        "Dm", "Gm", "A7", "Dm",                            // return and close
    });
    const TScale minor{2, {0, 2, 3, 5, 7, 8, 10}};
    const std::vector<TRhythm> stately = {
        {2 * Q, Q, Q}, {3 * Q, Q}, {Q, Q, 2 * Q}, {Q + Q / 2, Q / 2, 2 * Q}, {2 * Q, 2 * Q},
    };

    Pad({&strings, 0, 57, 84, 62}, 0, chords);

    const TVoice hornVoice{&horn, 1, 53, 74, 84};
    int key = Melody(hornVoice, 0, Slice(chords, 0, 4), stately, minor, 1703, false, 62);
    key = Melody(hornVoice, 4, Slice(chords, 4, 4), {stately[0], stately[1], stately[2], {4 * Q}}, minor, 1703, true, key);
    const TVoice oboeVoice{&oboe, 2, 65, 86, 80};
    key = Melody(oboeVoice, 8, Slice(chords, 8, 4), {stately[3], stately[0], stately[4], stately[1]}, minor, 2291,
                 false, 74);
    key = Melody(oboeVoice, 12, Slice(chords, 12, 4), {stately[3], stately[0], stately[2], {4 * Q}}, minor, 2291, false,
                 key);
    Melody(hornVoice, 16, Slice(chords, 16, 4), {stately[0], stately[1], stately[2], {4 * Q}}, minor, 1703, true, 62);

    const TVoice bassVoice{&bass, 3, 38, 60, 84};
    for (int bar = 0; bar < bars - 1; ++bar)
        PatternBar(bassVoice, bar, chords[static_cast<std::size_t>(bar)], "R-------F-------");
    PatternBar(bassVoice, bars - 1, chords.back(), "R---------------");

    Arpeggio({&harp, 4, 62, 86, 58}, 8, Slice(chords, 8, 8), 733);
    Arpeggio({&harp, 4, 62, 86, 52}, 16, Slice(chords, 16, 3), 734);

    // Timpani: a stroke at every phrase start, a roll into the last chord.
    for (int bar : {0, 4, 8, 12, 16})
        timpani.Note(BarStart(bar), Q, 5, RootKey(chords[static_cast<std::size_t>(bar)], 38), 96);
    for (int beat = 0; beat < 16; ++beat)
        timpani.Note(BarStart(18) + static_cast<std::uint32_t>(beat * Sixteenth), Sixteenth / 2, 5, 45, 40 + beat * 4);
    timpani.Note(BarStart(19), Q, 5, 38, 110);

    EndAllTracks({&conductor, &strings, &horn, &oboe, &bass, &harp, &timpani}, bars);
    return file;
}

// A bright groove in E: a sixteenth-note synth bass, a square lead that keeps
// coming back to its two-bar hook, brass stabs, a pad and a drum machine.
TMidiFile Axel()
{
    constexpr int bars = 32;
    TMidiFile file(Q);
    TMidiTrack& conductor = file.AddTrack();
    conductor.Name("Zelvon - Axel F");
    conductor.TimeSignature(0, 4, 4);
    conductor.Tempo(0, 118);

    TMidiTrack& bass = file.AddTrack();
    TMidiTrack& lead = file.AddTrack();
    TMidiTrack& pad = file.AddTrack();
    TMidiTrack& brass = file.AddTrack();
    TMidiTrack& drums = file.AddTrack();
    Instrument(bass, "Synth bass", 0, 38, 110, 64, 20);
    Instrument(lead, "Lead", 1, 80, 92, 56, 50);
    Instrument(pad, "Pad", 2, 89, 80, 72, 80);
    Instrument(brass, "Brass", 3, 62, 84, 80, 40);
    Instrument(drums, "Drums", DrumChannel, 0, 110, 64, 30);

    const std::vector<TChord> loop = Progression({"Em", "Em", "C", "D"});
    const std::vector<TChord> bridge = Progression({"Am", "C", "G", "D", "Am", "C", "Bm", "D"});
    std::vector<TChord> chords;
    for (int i = 0; i < 4; ++i)
        chords.insert(chords.end(), loop.begin(), loop.end());
    chords.insert(chords.end(), bridge.begin(), bridge.end());
    for (int i = 0; i < 2; ++i)
        chords.insert(chords.end(), loop.begin(), loop.end());

    const TScale minor{4, {0, 2, 3, 5, 7, 8, 10}};
    const std::vector<TRhythm> hook = {
        {Q, Q / 2, Q / 2, -Q / 2, Q / 2, Q},
        {Q / 2, Q / 2, Q / 4, Q / 4, Q / 2, -Q, Q},
    };
    const std::vector<TRhythm> answer = {
        {Q / 2, Q / 2, Q / 2, Q / 2, 2 * Q},
        {Q + Q / 2, Q / 2, -Q, Q},
    };

    const TVoice bassVoice{&bass, 0, 28, 60, 92};
    for (int bar = 0; bar < bars - 1; ++bar) {
        const TChord& chord = chords[static_cast<std::size_t>(bar)];
        const bool bridgeBar = bar >= 16 && bar < 24;
        PatternBar(bassVoice, bar, chord, bridgeBar ? "R-.R-.F.R-.O.F.S" : "R..R..O.R.FR..S.");
    }
    PatternBar(bassVoice, bars - 1, chords.back(), "R...............");

    // The hook: the same two-bar seed over each pair of chords.
    const TVoice leadVoice{&lead, 1, 64, 83, 88};
    for (int bar = 4; bar < 16; bar += 2)
        Melody(leadVoice, bar, Slice(chords, static_cast<std::size_t>(bar), 2), hook, minor, 4099, false, 71);
    for (int bar = 16; bar < 24; bar += 4)
        Melody(leadVoice, bar, Slice(chords, static_cast<std::size_t>(bar), 4), answer, minor, 5003, bar == 20, 76);
    for (int bar = 24; bar < bars - 1; bar += 2)
        Melody(leadVoice, bar, Slice(chords, static_cast<std::size_t>(bar), 2), hook, minor, 4099, false, 71);
    lead.Note(BarStart(bars - 1), Q, 1, 76, 100);

    Pad({&pad, 2, 55, 79, 64}, 16, Slice(chords, 16, 8));
    Pad({&pad, 2, 55, 79, 56}, 24, Slice(chords, 24, 7));

    // Stabs on the off-beats in the last part.
    for (int bar = 24; bar < bars - 1; ++bar)
        for (int at : {Q + Q / 2, 3 * Q + Q / 2})
            for (int key : Voicing(chords[static_cast<std::size_t>(bar)], 60))
                brass.Note(BarStart(bar) + static_cast<std::uint32_t>(at), Q / 4, 3, key, 76);

    for (int bar = 0; bar < bars - 1; ++bar) {
        const bool intro = bar < 2;
        DrumBar(drums, bar, 36, "X.....x.x..x....", 96);
        if (!intro) {
            DrumBar(drums, bar, 38, "....X.......X...", 92);
            DrumBar(drums, bar, 42, "x.x.x.x.x.x.x.x.", 62);
            DrumBar(drums, bar, 46, "..............x.", 60);
        }
        if (bar >= 16 && bar < 24)
            DrumBar(drums, bar, 39, "....x.......x..x", 70);
        if (bar % 8 == 0 && bar > 0)
            DrumBar(drums, bar, 49, "x...............", 90);
    }
    DrumBar(drums, bars - 1, 36, "X...............", 110);
    DrumBar(drums, bars - 1, 49, "X...............", 100);

    EndAllTracks({&conductor, &bass, &lead, &pad, &brass, &drums}, bars);
    return file;
}

// A cheerful tune in G: flute and marimba taking turns over a strummed
// guitar, a walking bass and light percussion.
TMidiFile BeHappy()
{
    constexpr int bars = 30;
    TMidiFile file(Q);
    TMidiTrack& conductor = file.AddTrack();
    conductor.Name("Zelvon - Be happy");
    conductor.TimeSignature(0, 4, 4);
    conductor.Tempo(0, 112);

    TMidiTrack& flute = file.AddTrack();
    TMidiTrack& marimba = file.AddTrack();
    TMidiTrack& guitar = file.AddTrack();
    TMidiTrack& bass = file.AddTrack();
    TMidiTrack& drums = file.AddTrack();
    Instrument(flute, "Flute", 0, 73, 100, 52, 50);
    Instrument(marimba, "Marimba", 1, 12, 100, 80, 40);
    Instrument(guitar, "Guitar", 2, 25, 84, 40, 40);
    Instrument(bass, "Bass", 3, 32, 104, 64, 20);
    Instrument(drums, "Percussion", DrumChannel, 0, 90, 64, 30);

    const std::vector<TChord> verse = Progression({"G", "C", "D", "G", "Em", "C", "D7", "G"});
    const std::vector<TChord> middle = Progression({"C", "G", "Am", "D", "C", "G", "A7", "D7"});
    const std::vector<TChord> coda = Progression({"C", "D", "Bm", "Em", "C", "G"});
    const std::vector<TChord> chords = Join({verse, middle, verse, coda});

    const TScale major{7, {0, 2, 4, 5, 7, 9, 11}};
    const std::vector<TRhythm> bouncy = {
        {Q / 2, Q / 2, Q, Q / 2, Q / 2, Q},
        {Q * 3 / 4, Q / 4, Q, Q, Q},
        {Q, Q / 2, Q / 2, 2 * Q},
        {Q / 2, Q / 2, Q / 2, Q / 2, Q, -Q},
    };
    const std::vector<TRhythm> ending = {bouncy[0], bouncy[1], bouncy[2], {3 * Q, -Q}};

    const TVoice fluteVoice{&flute, 0, 67, 88, 88};
    const TVoice marimbaVoice{&marimba, 1, 60, 84, 92};
    int key = Melody(fluteVoice, 0, Slice(chords, 0, 4), bouncy, major, 777, false, 71);
    Melody(fluteVoice, 4, Slice(chords, 4, 4), ending, major, 778, true, key);
    // Question and answer in the middle part.
    key = Melody(marimbaVoice, 8, Slice(chords, 8, 2), bouncy, major, 901, false, 72);
    Melody(fluteVoice, 10, Slice(chords, 10, 2), bouncy, major, 902, false, key);
    key = Melody(marimbaVoice, 12, Slice(chords, 12, 2), bouncy, major, 901, false, 72);
    Melody(fluteVoice, 14, Slice(chords, 14, 2), ending, major, 903, false, key);
    key = Melody(fluteVoice, 16, Slice(chords, 16, 4), bouncy, major, 777, false, 71);
    Melody(fluteVoice, 20, Slice(chords, 20, 4), ending, major, 778, true, key);
    Melody(marimbaVoice, 24, Slice(chords, 24, 6), ending, major, 1234, true, 74);

    // Guitar strums on the off-beats, strings a few ticks apart.
    for (int bar = 0; bar < bars - 1; ++bar) {
        const std::vector<int> keys = Voicing(chords[static_cast<std::size_t>(bar)], 55);
        for (int beat = 0; beat < 4; ++beat)
            for (std::size_t string = 0; string < keys.size(); ++string)
                guitar.Note(BarStart(bar) + static_cast<std::uint32_t>(beat * Q + Q / 2 + 8 * static_cast<int>(string)),
                            Q / 3, 2, keys[string], 64 + (beat % 2) * 8);
    }
    for (int key2 : Voicing(chords.back(), 55))
        guitar.Note(BarStart(bars - 1), 3 * Q, 2, key2, 72);

    const TVoice bassVoice{&bass, 3, 36, 60, 88};
    for (int bar = 0; bar < bars - 1; ++bar)
        PatternBar(bassVoice, bar, chords[static_cast<std::size_t>(bar)], bar % 2 ? "R---T---F---T-F-" : "R---F---R---F-T-");
    PatternBar(bassVoice, bars - 1, chords.back(), "R-----------....");

    for (int bar = 0; bar < bars - 1; ++bar) {
        DrumBar(drums, bar, 36, "x.......x.......", 84);
        DrumBar(drums, bar, 37, "....x.......x...", 72);
        DrumBar(drums, bar, 70, "x.xxx.xxx.xxx.xx", 50);
        if (bar >= 8 && bar < 16)
            DrumBar(drums, bar, 54, "....x.......x...", 64);
    }
    DrumBar(drums, bars - 1, 36, "x...............", 90);
    DrumBar(drums, bars - 1, 54, "x...............", 80);

    EndAllTracks({&conductor, &flute, &marimba, &guitar, &bass, &drums}, bars);
    return file;
}

// A slow, calm piece in F: electric-piano arpeggios on a warm pad, a fretless
// bass and a few vibraphone phrases, ending on a long chord.
TMidiFile Relax()
{
    constexpr int bars = 16;
    TMidiFile file(Q);
    TMidiTrack& conductor = file.AddTrack();
    conductor.Name("Zelvon - Relax");
    conductor.TimeSignature(0, 4, 4);
    conductor.Tempo(0, 64);

    TMidiTrack& piano = file.AddTrack();
    TMidiTrack& pad = file.AddTrack();
    TMidiTrack& bass = file.AddTrack();
    TMidiTrack& vibes = file.AddTrack();
    Instrument(piano, "Electric piano", 0, 4, 92, 50, 80);
    Instrument(pad, "Warm pad", 1, 89, 76, 78, 100);
    Instrument(bass, "Fretless bass", 2, 35, 92, 64, 40);
    Instrument(vibes, "Vibraphone", 3, 11, 84, 84, 100);

    const std::vector<TChord> chords = Progression({
        "Fmaj7", "Dm7", "Bbmaj7", "Csus4", "Fmaj7", "Am7", "Bbmaj7", "C",
        "Dm7", "Bbmaj7", "Fmaj7", "Gm7", "Bbmaj7", "Csus4", "Fmaj7", "Fmaj7",
    });
    const TScale major{5, {0, 2, 4, 5, 7, 9, 11}};

    Arpeggio({&piano, 0, 57, 84, 56}, 0, Slice(chords, 0, bars - 1), 4242);
    for (int key : Voicing(chords.back(), 57))
        piano.Note(BarStart(bars - 1), BarTicks - 20, 0, key, 58);
    Pad({&pad, 1, 53, 77, 48}, 0, chords);

    const TVoice bassVoice{&bass, 2, 29, 52, 80};
    for (int bar = 0; bar < bars; ++bar)
        PatternBar(bassVoice, bar, chords[static_cast<std::size_t>(bar)], bar % 4 == 3 ? "R-------F-------" : "R---------------");

    const std::vector<TRhythm> calm = {{2 * Q, 2 * Q}, {3 * Q, Q}, {4 * Q}, {Q, Q, 2 * Q}};
    const TVoice vibesVoice{&vibes, 3, 65, 84, 70};
    int key = Melody(vibesVoice, 4, Slice(chords, 4, 4), calm, major, 31337, false, 72);
    key = Melody(vibesVoice, 8, Slice(chords, 8, 4), {calm[3], calm[0], calm[1], calm[2]}, major, 27182, false, key);
    Melody(vibesVoice, 12, Slice(chords, 12, 3), calm, major, 31337, true, key);

    EndAllTracks({&conductor, &piano, &pad, &bass, &vibes}, bars);
    return file;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT-FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    const struct {
        const char* Name;
        TMidiFile (*Compose)();
    } pieces[] = {
        {"evita.mid", Evita},
        {"axel'f.mid", Axel},
        {"behappy.mid", BeHappy},
        {"relax.mid", Relax},
    };
    for (const auto& piece : pieces) {
        if (!piece.Compose().Save(folder + piece.Name)) {
            std::fprintf(stderr, "cannot write %s%s\n", folder.c_str(), piece.Name);
            return 1;
        }
    }
    return 0;
}
