// Generator of the game's sound effects: every sample is synthesised here,
// from fixed random seeds, so two builds write identical files.
//
//   WavSynth <output-dir> [name.wav ...]    (no names: all five effects)
#include "tools/WavWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr double Rate = 22050.0;
constexpr double Pi = 3.14159265358979323846;
constexpr TWavFormat Format{22050, 1};

using TSignal = std::vector<double>;

// std::uniform_real_distribution differs between standard libraries; this
// is built on the engine's raw output, which the C++ standard fixes bit for
// bit.
class TNoise {
public:
    explicit TNoise(std::uint32_t seed) : engine_(seed) {}
    double Uniform() { return double(engine_() >> 8) / double(1u << 24); } // [0, 1)
    double Between(double low, double high) { return low + (high - low) * Uniform(); }
    double Bipolar() { return Between(-1.0, 1.0); }

private:
    std::mt19937 engine_;
};

std::size_t Samples(double seconds)
{
    return std::size_t(seconds * Rate + 0.5);
}

// Short linear ramps at both ends: a sound that starts or stops mid-wave clicks.
void Ramp(TSignal& signal, double attackSeconds, double releaseSeconds)
{
    const std::size_t attack = std::min(Samples(attackSeconds), signal.size());
    for (std::size_t i = 0; i < attack; ++i)
        signal[i] *= double(i) / double(attack);
    const std::size_t release = std::min(Samples(releaseSeconds), signal.size());
    for (std::size_t i = 0; i < release; ++i)
        signal[signal.size() - 1 - i] *= double(i) / double(release);
}

// Scales the loudest sample to `peak`, leaving headroom below full scale.
void Normalise(TSignal& signal, double peak)
{
    double loudest = 0.0;
    for (const double value : signal)
        loudest = std::max(loudest, std::abs(value));
    if (loudest > 0.0)
        for (double& value : signal)
            value *= peak / loudest;
}

// Refused press: a small struck bar. The partials of a free bar are not
// harmonic (ratios 1 : 2.76 : 5.40 : 8.93), and the higher ones die first.
TSignal Ding()
{
    struct TPartial { double Ratio, Amplitude, Decay; };
    constexpr TPartial partials[] = {{1.0, 1.0, 0.30}, {2.756, 0.45, 0.14}, {5.404, 0.22, 0.07}, {8.933, 0.10, 0.04}};
    constexpr double fundamental = 1046.5;
    TSignal signal(Samples(0.7));
    for (std::size_t i = 0; i < signal.size(); ++i) {
        const double t = double(i) / Rate;
        for (const TPartial& p : partials)
            signal[i] += p.Amplitude * std::exp(-t / p.Decay) * std::sin(2.0 * Pi * fundamental * p.Ratio * t);
    }
    Ramp(signal, 0.002, 0.02);
    Normalise(signal, 0.7);
    return signal;
}

// Copy move and each filled cell: a short drop of pitch with a click of
// noise at the start, over within a tenth of a second so the 50 ms fill
// pops stay distinct.
TSignal Pop()
{
    TNoise noise(0x706F70);
    TSignal signal(Samples(0.09));
    double phase = 0.0;
    for (std::size_t i = 0; i < signal.size(); ++i) {
        const double t = double(i) / Rate;
        const double frequency = 220.0 + 700.0 * std::exp(-t / 0.012);
        phase += 2.0 * Pi * frequency / Rate;
        const double body = std::sin(phase) * std::exp(-t / 0.025);
        const double click = noise.Bipolar() * std::exp(-t / 0.002) * 0.5;
        signal[i] = body + click;
    }
    Ramp(signal, 0.0005, 0.01);
    Normalise(signal, 0.8);
    return signal;
}

// Jump move: a sweep falling exponentially from 2.4 kHz to 180 Hz. The
// second harmonic gives it an edge without adding zero crossings
// (sin x + 0.25 sin 2x vanishes only where sin x does), and a touch of
// vibrato keeps it from sounding like a test tone.
TSignal Laser()
{
    constexpr double seconds = 0.45;
    constexpr double start = 2400.0;
    constexpr double end = 180.0;
    TSignal signal(Samples(seconds));
    double phase = 0.0;
    for (std::size_t i = 0; i < signal.size(); ++i) {
        const double t = double(i) / Rate;
        const double frequency = start * std::pow(end / start, t / seconds) * (1.0 + 0.03 * std::sin(2.0 * Pi * 30.0 * t));
        phase += 2.0 * Pi * frequency / Rate;
        const double envelope = std::exp(-t / 0.35);
        signal[i] = envelope * (std::sin(phase) + 0.25 * std::sin(2.0 * phase));
    }
    Ramp(signal, 0.003, 0.03);
    Normalise(signal, 0.7);
    return signal;
}

// Capture: white noise through a low-pass filter whose cutoff closes as the
// burst decays, over a rumble of integrated noise.
TSignal Explode()
{
    TNoise noise(0xB00A);
    TSignal signal(Samples(1.3));
    double bright = 0.0;
    double rumble = 0.0;
    for (std::size_t i = 0; i < signal.size(); ++i) {
        const double t = double(i) / Rate;
        const double cutoff = 200.0 + 5000.0 * std::exp(-t / 0.08);
        const double alpha = 1.0 - std::exp(-2.0 * Pi * cutoff / Rate);
        const double white = noise.Bipolar();
        bright += alpha * (white - bright);
        rumble = 0.995 * rumble + 0.05 * white;
        signal[i] = (bright + 0.6 * rumble) * std::exp(-t / 0.28);
    }
    Ramp(signal, 0.001, 0.05);
    Normalise(signal, 0.85);
    return signal;
}

// Win: a crowd clapping. Each clap is a few milliseconds of noise through a
// resonant band-pass with its own pitch; claps arrive at random (Poisson)
// times at a rate that swells over a third of a second, holds and fades. Two
// feedback delays stand in for the hall, so the claps blur into a crowd.
TSignal Applause()
{
    constexpr double seconds = 2.6;
    constexpr double peakRate = 160.0; // claps per second
    TNoise noise(0xC1A9);
    TSignal signal(Samples(seconds));

    auto rate = [](double at) {
        const double swell = std::min(1.0, 0.25 + at / 0.35);
        const double fade = at < 1.4 ? 1.0 : std::max(0.0, (seconds - at) / (seconds - 1.4));
        return peakRate * swell * fade * fade;
    };

    double t = 0.0;
    while (true) {
        // Thinning: draw at the peak rate, keep each with probability rate(t)/peak.
        t += -std::log(1.0 - noise.Uniform()) / peakRate;
        if (t >= seconds - 0.05)
            break;
        if (noise.Uniform() * peakRate >= rate(t))
            continue;

        const double centre = noise.Between(700.0, 2600.0);
        const double q = noise.Between(1.5, 4.0);
        const double loudness = noise.Between(0.3, 1.0);
        const double decay = noise.Between(0.004, 0.012);

        // Biquad band-pass (constant peak gain), direct form I.
        const double w = 2.0 * Pi * centre / Rate;
        const double a = std::sin(w) / (2.0 * q);
        const double a0 = 1.0 + a;
        const double b0 = a / a0, b2 = -a / a0;
        const double a1 = -2.0 * std::cos(w) / a0, a2 = (1.0 - a) / a0;
        double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;

        const std::size_t begin = Samples(t);
        const std::size_t length = Samples(decay * 6.0);
        for (std::size_t k = 0; k < length && begin + k < signal.size(); ++k) {
            const double x = noise.Bipolar() * std::exp(-double(k) / Rate / decay);
            const double y = b0 * x + b2 * x2 - a1 * y1 - a2 * y2;
            x2 = x1;
            x1 = x;
            y2 = y1;
            y1 = y;
            signal[begin + k] += loudness * y;
        }
    }

    for (const double delaySeconds : {0.0231, 0.0373}) {
        const std::size_t delay = Samples(delaySeconds);
        for (std::size_t i = delay; i < signal.size(); ++i)
            signal[i] += 0.35 * signal[i - delay];
    }
    Ramp(signal, 0.005, 0.05);
    Normalise(signal, 0.85);
    return signal;
}

struct TEffect {
    const char* Name;
    TSignal (*Make)();
};

constexpr TEffect Effects[] = {
    {"ding.wav", Ding}, {"pop.wav", Pop}, {"laser.wav", Laser}, {"explode.wav", Explode}, {"applause.wav", Applause},
};

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s <output-dir> [name.wav ...]\n", argv[0]);
        return 2;
    }
    const std::string directory = argv[1];
    std::vector<std::string> wanted(argv + 2, argv + argc);
    if (wanted.empty())
        for (const TEffect& effect : Effects)
            wanted.emplace_back(effect.Name);

    int failures = 0;
    for (const std::string& name : wanted) {
        const auto effect = std::find_if(std::begin(Effects), std::end(Effects),
                                         [&](const TEffect& e) { return name == e.Name; });
        if (effect == std::end(Effects)) {
            std::fprintf(stderr, "WavSynth: no effect called %s\n", name.c_str());
            ++failures;
            continue;
        }
        std::string error;
        if (!WriteWavFile(directory + "/" + name, ToPcm16(effect->Make()), Format, error)) {
            std::fprintf(stderr, "WavSynth: cannot write %s\n", error.c_str());
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
