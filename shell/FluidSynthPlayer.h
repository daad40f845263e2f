// The music player of the game: MIDI files rendered by FluidSynth with a
// General MIDI sound font, played by FluidSynth's own audio thread so the
// user interface never waits for it. The sound font loads once, on a worker
// thread started at construction; the sound output is made when music first
// has to play. Without any sound output the first play says so once and
// later plays are silently nothing.
#pragma once

#include "shell/Music.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class TFluidSynthPlayer final : public IMusicPlayer {
public:
    enum TOutput {
        foSoundDevice,  // FluidSynth's audio driver renders in real time
        foManualRender, // nothing renders until Render is called (tests, measurements)
    };

    static constexpr int SampleRate = 44100;

    // An empty sound font means DefaultSoundFont(); an empty driver list
    // means the usual drivers of the platform, tried in turn; an empty
    // library the system's FluidSynth, which is opened only when music
    // first has to play (a missing one counts as no sound output).
    explicit TFluidSynthPlayer(TOutput output = foSoundDevice, const QString& soundFont = {},
                               const QStringList& audioDrivers = {}, const QString& library = {});
    ~TFluidSynthPlayer() override;

    TFluidSynthPlayer(const TFluidSynthPlayer&) = delete;
    TFluidSynthPlayer& operator=(const TFluidSynthPlayer&) = delete;

    void Open(const QString& fileName) override;
    void Play() override;
    void Stop() override;
    int Length() override;
    int Position() override;
    TState State() override;
    QString FileName() const override;

    // foManualRender only: renders `frames` stereo frames, which moves a
    // playing track on by frames / SampleRate seconds. The samples, left and
    // right interleaved, are appended to `samples` when given.
    void Render(int frames, std::vector<float>* samples = nullptr);

    // The sound font the system names as its General MIDI default, else one
    // of the usual ones; the first existing of the candidates.
    static QString DefaultSoundFont();
    static QStringList DefaultAudioDrivers();

private:
    struct TImpl;
    std::unique_ptr<TImpl> d;
};

// The reason given when no sound output can be made.
inline const QString NoSoundOutputText =
    QString::fromUtf8("Hudbu nelze přehrát: není k dispozici žádné zvukové zařízení.");
