// FluidSynth music player (see FluidSynthPlayer.h).
//
// FluidSynth's file player knows a file's length only after rendering has
// begun, runs its tick on past the last event and restarts from 0 when played
// after it has finished. So the length and the tempo map come from our own
// reading of the file, the position is clamped to that length, and a track
// whose last event has played is stopped here and kept as ended.
#include "shell/FluidSynthPlayer.h"

#include "shell/DataFiles.h"
#include "shell/Exception.h"
#include "shell/FluidSynthLibrary.h"
#include "shell/MidiFile.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <mutex>
#include <thread>

namespace {

// Larger than any MIDI file a game ships; guards against reading a huge
// unrelated file into memory.
constexpr qint64 MaxMidiFileSize = 16 * 1024 * 1024;

} // namespace

struct TFluidSynthPlayer::TImpl {
    enum TOutputState { osUntried, osReady, osFailed };

    TOutput Output = foSoundDevice;
    QString SoundFont;
    QStringList Drivers;
    QString LibraryName;

    // FluidSynth is opened when music first has to play; until then none of
    // the pointers below is set.
    const TFluidSynthLibrary* Fluid = nullptr;
    fluid_settings_t* Settings = nullptr;
    // Made by the loader thread; read by others only once LoadDone is set.
    fluid_synth_t* Synth = nullptr;
    bool SoundFontLoaded = false;
    std::atomic<bool> LoadDone{false};
    std::thread Loader;
    bool LoadStarted = false;
    bool SoundFontFailureReported = false;

    fluid_audio_driver_t* Driver = nullptr;
    TOutputState OutputState = osUntried;

    // Held while the synth renders and while the file player is created,
    // started, stopped or deleted: the player lives inside the rendering, so
    // it must never change under it.
    std::mutex RenderMutex;
    fluid_player_t* Player = nullptr;
    // Play was asked for while the sound font was still loading.
    bool StartPending = false;

    TState State = msNoTrack;
    QString FileName;
    QByteArray Data;
    TMidiFileInfo Info;
    int LengthMs = 0;

    static int Process(void* data, int length, int effectCount, float* effects[], int outputCount, float* outputs[])
    {
        auto* self = static_cast<TImpl*>(data);
        std::lock_guard lock(self->RenderMutex);
        // Silence (the buffers come zeroed) until the synth is complete.
        if (!self->LoadDone.load(std::memory_order_acquire) || !self->Synth)
            return FLUID_OK;
        // Drivers that offer no separate effect buffers get reverb and
        // chorus mixed into the dry output.
        if (effectCount == 0 || effects == nullptr)
            return self->Fluid->fluid_synth_process(self->Synth, length, outputCount, outputs, outputCount, outputs);
        return self->Fluid->fluid_synth_process(self->Synth, length, effectCount, effects, outputCount, outputs);
    }

    void LoadSynth()
    {
        Synth = Fluid->new_fluid_synth(Settings);
        if (Synth && !SoundFont.isEmpty())
            SoundFontLoaded =
                Fluid->fluid_synth_sfload(Synth, QFile::encodeName(SoundFont).constData(), 1) != FLUID_FAILED;
        LoadDone.store(true, std::memory_order_release);
    }

    // Loading a sound font takes a noticeable moment: it happens off the
    // user-interface thread, and only once music first has to play, so a
    // game with music off never pays for it.
    void StartLoading()
    {
        if (LoadStarted)
            return;
        LoadStarted = true;
        Loader = std::thread([this] { LoadSynth(); });
    }

    // Opens FluidSynth and makes its settings, once; false when the library
    // is missing or damaged.
    bool OpenLibrary()
    {
        if (Fluid)
            return true;
        Fluid = LoadFluidSynth(LibraryName);
        if (!Fluid)
            return false;
        Settings = Fluid->new_fluid_settings();
        Fluid->fluid_settings_setnum(Settings, "synth.sample-rate", SampleRate);
        Fluid->fluid_settings_setnum(Settings, "synth.gain", 0.3);
        Fluid->fluid_settings_setstr(Settings, "player.timing-source", "sample");
        Fluid->fluid_settings_setint(Settings, "player.reset-synth", 1);
        // Locking a large sound font into memory costs seconds and gains
        // nothing for background music.
        Fluid->fluid_settings_setint(Settings, "synth.lock-memory", 0);
        // Music tolerates latency; bigger periods wake the processor less often.
        Fluid->fluid_settings_setint(Settings, "audio.period-size", 512);
        Fluid->fluid_settings_setint(Settings, "audio.periods", 8);
        return true;
    }

    void WaitForLoader()
    {
        if (Loader.joinable())
            Loader.join();
    }

    Exception SoundFontError() const
    {
        if (SoundFont.isEmpty())
            return Exception(QString::fromUtf8("Hudbu nelze přehrát: chybí zvuková banka General MIDI (soubor .sf2)."));
        return Exception(QString::fromUtf8("Hudbu nelze přehrát: zvukovou banku General MIDI %1 nelze načíst.")
                             .arg(QuotedPath(SoundFont)));
    }

    // Made once per run, when music first has to play, without waiting for
    // the sound font. The first failure is thrown; afterwards the answer is
    // a quiet false.
    bool EnsureOutput()
    {
        if (OutputState == osReady)
            return true;
        if (OutputState == osFailed)
            return false;
        OutputState = osFailed;
        if (SoundFont.isEmpty() || !QFileInfo(SoundFont).isFile()) {
            SoundFontFailureReported = true;
            throw SoundFontError();
        }
        // Without the library no output can be made, as without a device.
        if (!OpenLibrary())
            throw Exception(NoSoundOutputText);
        if (Output == foSoundDevice) {
            for (const QString& name : Drivers) {
                if (name == QLatin1String("file"))
                    continue; // would write a file instead of sounding
                Fluid->fluid_settings_setstr(Settings, "audio.driver", name.toLatin1().constData());
                Driver = Fluid->new_fluid_audio_driver2(Settings, &TImpl::Process, this);
                if (Driver)
                    break;
            }
            if (!Driver)
                throw Exception(NoSoundOutputText);
        }
        OutputState = osReady;
        return true;
    }

    void RequireTrack() const
    {
        if (State == msNoTrack)
            throw Exception(NoTrackOpenText);
    }

    // Starts a play that waited for the sound font, once it is there.
    void StartIfReady()
    {
        if (!StartPending || !LoadDone.load(std::memory_order_acquire))
            return;
        StartPending = false;
        if (!Synth || !SoundFontLoaded) {
            // A damaged sound font: nothing can sound. The next play says so.
            State = msAtRest;
            return;
        }
        std::lock_guard lock(RenderMutex);
        if (!Player) {
            Player = Fluid->new_fluid_player(Synth);
            if (Player && Fluid->fluid_player_add_mem(Player, Data.constData(), std::size_t(Data.size())) != FLUID_OK) {
                Fluid->delete_fluid_player(Player);
                Player = nullptr;
            }
        }
        if (Player)
            Fluid->fluid_player_play(Player);
        else
            State = msAtRest;
    }

    void Close()
    {
        {
            std::lock_guard lock(RenderMutex);
            if (Player) {
                Fluid->fluid_player_stop(Player);
                Fluid->delete_fluid_player(Player);
                Player = nullptr;
            }
        }
        if (OutputState == osReady && LoadDone.load(std::memory_order_acquire) && Synth)
            Fluid->fluid_synth_all_notes_off(Synth, -1);
        StartPending = false;
        State = msNoTrack;
        FileName.clear();
        Data.clear();
        Info = {};
        LengthMs = 0;
    }

    // Brings the state up to date: a pending start, and the end of the
    // track, which has come once the player's tick reaches the last event.
    void FollowPlayer()
    {
        StartIfReady();
        if (State != msPlaying || StartPending || !Player)
            return;
        const bool lastEventPlayed = Fluid->fluid_player_get_current_tick(Player) >= Info.LastTick;
        const bool finished = Fluid->fluid_player_get_status(Player) == FLUID_PLAYER_DONE;
        if (lastEventPlayed || finished) {
            std::lock_guard lock(RenderMutex);
            Fluid->fluid_player_stop(Player);
            State = msEnded;
        }
    }
};

TFluidSynthPlayer::TFluidSynthPlayer(TOutput output, const QString& soundFont, const QStringList& audioDrivers,
                                     const QString& library)
    : d(std::make_unique<TImpl>())
{
    d->Output = output;
    d->SoundFont = soundFont.isEmpty() ? DefaultSoundFont() : soundFont;
    d->Drivers = audioDrivers.isEmpty() ? DefaultAudioDrivers() : audioDrivers;
    d->LibraryName = library;
}

TFluidSynthPlayer::~TFluidSynthPlayer()
{
    d->WaitForLoader();
    if (!d->Fluid)
        return;
    // The driver goes first: it is the one calling into the synth.
    if (d->Driver)
        d->Fluid->delete_fluid_audio_driver(d->Driver);
    if (d->Player)
        d->Fluid->delete_fluid_player(d->Player);
    if (d->Synth)
        d->Fluid->delete_fluid_synth(d->Synth);
    d->Fluid->delete_fluid_settings(d->Settings);
}

QString TFluidSynthPlayer::DefaultSoundFont()
{
    const QString system = QStringLiteral("/usr/share/sounds/sf2/");
    for (const QString& name : {QStringLiteral("default-GM.sf2"), QStringLiteral("TimGM6mb.sf2"),
                                QStringLiteral("FluidR3_GM.sf2")}) {
        const QFileInfo info(system + name);
        if (info.isFile())
            return info.canonicalFilePath();
    }
    // Elsewhere than on Debian a sound font may come with the program.
    const QFileInfo own(DataFilePath(QStringLiteral("default-GM.sf2")));
    return own.isFile() ? own.canonicalFilePath() : QString();
}

QStringList TFluidSynthPlayer::DefaultAudioDrivers()
{
#if defined(Q_OS_WIN)
    return {QStringLiteral("wasapi"), QStringLiteral("dsound"), QStringLiteral("waveout")};
#elif defined(Q_OS_MACOS)
    return {QStringLiteral("coreaudio")};
#else
    // JACK last: it may try to start a server of its own.
    return {QStringLiteral("pulseaudio"), QStringLiteral("pipewire"), QStringLiteral("alsa"),
            QStringLiteral("sdl2"), QStringLiteral("oss"), QStringLiteral("jack")};
#endif
}

void TFluidSynthPlayer::Open(const QString& fileName)
{
    d->Close();

    QFile file(fileName);
    if (!file.exists())
        throw Exception(QString::fromUtf8("Hudební soubor %1 neexistuje.").arg(QuotedPath(fileName)));
    if (!file.open(QIODevice::ReadOnly))
        throw Exception(QString::fromUtf8("Hudební soubor %1 nelze otevřít: %2.")
                            .arg(QuotedPath(fileName), UnreadableReason(fileName)));
    if (file.size() > MaxMidiFileSize)
        throw Exception(QString::fromUtf8("Hudební soubor %1 nelze přehrát: na soubor MIDI je příliš velký.")
                            .arg(QuotedPath(fileName)));
    const QByteArray data = file.readAll();
    TMidiFileInfo info;
    try {
        info = ReadMidiFile(data);
    } catch (const Exception& error) {
        throw Exception(
            QString::fromUtf8("Hudební soubor %1 nelze přehrát: %2.").arg(QuotedPath(fileName), error.Message));
    }

    d->Data = data;
    d->Info = info;
    d->LengthMs = static_cast<int>(info.LengthMs());
    d->FileName = QFileInfo(fileName).absoluteFilePath();
    d->State = msAtRest;
}

void TFluidSynthPlayer::Play()
{
    d->RequireTrack();
    d->FollowPlayer();
    if (d->State != msAtRest)
        return;
    if (!d->EnsureOutput())
        return;
    d->StartLoading();
    if (d->LoadDone.load(std::memory_order_acquire) && !d->SoundFontLoaded) {
        if (d->SoundFontFailureReported)
            return;
        d->SoundFontFailureReported = true;
        throw d->SoundFontError();
    }
    // While the sound font is still loading the track counts as playing
    // from 0; it starts sounding as soon as the synth is complete.
    d->State = msPlaying;
    d->StartPending = true;
    d->StartIfReady();
}

void TFluidSynthPlayer::Stop()
{
    d->RequireTrack();
    d->FollowPlayer();
    if (d->State != msPlaying)
        return;
    d->State = msAtRest;
    if (d->StartPending) {
        d->StartPending = false;
        return;
    }
    std::lock_guard lock(d->RenderMutex);
    if (d->Player)
        d->Fluid->fluid_player_stop(d->Player);
}

int TFluidSynthPlayer::Length()
{
    d->RequireTrack();
    return d->LengthMs;
}

int TFluidSynthPlayer::Position()
{
    d->RequireTrack();
    d->FollowPlayer();
    if (d->State == msEnded)
        return d->LengthMs;
    if (!d->Player || d->StartPending)
        return 0;
    const auto ms =
        static_cast<int>(std::llround(d->Info.TickToMs(d->Fluid->fluid_player_get_current_tick(d->Player))));
    // Only the played last event makes the position equal to the length:
    // that equality is how the game learns that a track has ended.
    return std::clamp(ms, 0, std::max(0, d->LengthMs - 1));
}

IMusicPlayer::TState TFluidSynthPlayer::State()
{
    d->FollowPlayer();
    return d->State;
}

QString TFluidSynthPlayer::FileName() const
{
    return d->FileName;
}

void TFluidSynthPlayer::Render(int frames, std::vector<float>* samples)
{
    if (d->Output != foManualRender || !d->OpenLibrary())
        return;
    // Measurements and tests want the whole piece, not a silent start.
    d->StartLoading();
    d->WaitForLoader();
    d->FollowPlayer();
    // Blocks of the size an audio driver would ask for, through the same
    // path the driver takes.
    constexpr int block = 512;
    std::vector<float> left(block), right(block);
    for (int done = 0; done < frames; done += block) {
        const int count = std::min(block, frames - done);
        std::fill(left.begin(), left.end(), 0.0f);
        std::fill(right.begin(), right.end(), 0.0f);
        float* outputs[] = {left.data(), right.data()};
        TImpl::Process(d.get(), count, 0, nullptr, 2, outputs);
        if (samples) {
            for (int i = 0; i < count; ++i) {
                samples->push_back(left[static_cast<std::size_t>(i)]);
                samples->push_back(right[static_cast<std::size_t>(i)]);
            }
        }
    }
}
