// Processor time of music playback: our player against FluidSynth rendering
// the same piece with the same sound font in a bare loop, in the same run.
// Both render on the benchmark thread; the counter music_s is seconds of
// music per second of processor time, so the ratio of the two counters is
// the player's overhead.
#include "shell/FluidSynthPlayer.h"
#include "shell/MidiFile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>

#include <benchmark/benchmark.h>
#include <fluidsynth.h>

#include <memory>
#include <vector>

namespace {

const QString Piece = QDir(ZELVON_BENCH_DATA_DIR).filePath(QStringLiteral("evita.mid"));
constexpr int Block = 512;          // what an audio driver asks for at a time
constexpr int PollFrames = 4410;    // the game's 100 ms poll

void PlayerRender(benchmark::State& state)
{
    static std::unique_ptr<TFluidSynthPlayer> player;
    if (!player) {
        player = std::make_unique<TFluidSynthPlayer>(TFluidSynthPlayer::foManualRender);
        player->Render(0); // the sound font loads outside the measurement
    }
    double musicSeconds = 0;
    for (auto _ : state) {
        player->Open(Piece);
        player->Play();
        const int frames = int(std::int64_t(player->Length()) * TFluidSynthPlayer::SampleRate / 1000);
        for (int done = 0; done < frames; done += PollFrames) {
            player->Render(std::min(PollFrames, frames - done));
            benchmark::DoNotOptimize(player->Position());
        }
        musicSeconds += double(frames) / TFluidSynthPlayer::SampleRate;
    }
    state.counters["music_s"] = benchmark::Counter(musicSeconds, benchmark::Counter::kIsRate);
}

void BareFluidSynth(benchmark::State& state)
{
    fluid_settings_t* settings = new_fluid_settings();
    fluid_settings_setnum(settings, "synth.sample-rate", TFluidSynthPlayer::SampleRate);
    fluid_settings_setnum(settings, "synth.gain", 0.3);
    fluid_settings_setint(settings, "synth.lock-memory", 0);
    fluid_synth_t* synth = new_fluid_synth(settings);
    fluid_synth_sfload(synth, QFile::encodeName(TFluidSynthPlayer::DefaultSoundFont()).constData(), 1);
    // The same number of frames as the player renders: the piece's length.
    QFile file(Piece);
    if (!file.open(QIODevice::ReadOnly)) {
        state.SkipWithError("the piece is missing");
        return;
    }
    const int frames = int(ReadMidiFile(file.readAll()).LengthMs() * TFluidSynthPlayer::SampleRate / 1000);

    std::vector<float> left(Block), right(Block);
    double musicSeconds = 0;
    for (auto _ : state) {
        fluid_player_t* player = new_fluid_player(synth);
        fluid_player_add(player, QFile::encodeName(Piece).constData());
        fluid_player_play(player);
        for (int done = 0; done < frames; done += Block) {
            std::fill(left.begin(), left.end(), 0.0f);
            std::fill(right.begin(), right.end(), 0.0f);
            float* outputs[] = {left.data(), right.data()};
            fluid_synth_process(synth, std::min(Block, frames - done), 2, outputs, 2, outputs);
        }
        benchmark::DoNotOptimize(left.data());
        fluid_player_stop(player);
        delete_fluid_player(player);
        fluid_synth_system_reset(synth);
        musicSeconds += double(frames) / TFluidSynthPlayer::SampleRate;
    }
    state.counters["music_s"] = benchmark::Counter(musicSeconds, benchmark::Counter::kIsRate);
    delete_fluid_synth(synth);
    delete_fluid_settings(settings);
}

} // namespace

BENCHMARK(PlayerRender)->Unit(benchmark::kMillisecond)->Iterations(3)->MeasureProcessCPUTime();
BENCHMARK(BareFluidSynth)->Unit(benchmark::kMillisecond)->Iterations(3)->MeasureProcessCPUTime();
BENCHMARK(PlayerRender)->Unit(benchmark::kMillisecond)->Iterations(3)->MeasureProcessCPUTime();

BENCHMARK_MAIN();
