// The background music: a random one of four MIDI tracks per game, the next
// random one when a track ends, and the main window's thin progress bar. The
// logic here has no widgets; the main window owns a TMusic, forwards its new
// game, its 100 ms timer and the settings dialog's result to it, and shows the
// bar through two callbacks. The player behind it is an IMusicPlayer, so the
// logic runs in tests without sound.
#pragma once

#include <QString>

#include <array>
#include <functional>

struct TGameState;

// The music player as the game sees it. Length and position are in
// milliseconds. Every operation except Open fails with NoTrackOpenText while
// no track is open (before the first open, and after a failed one).
class IMusicPlayer {
public:
    enum TState { msNoTrack, msAtRest, msPlaying, msEnded };

    virtual ~IMusicPlayer() = default;

    // Closes the open track, then opens `fileName` at position 0, at rest.
    // Throws Exception with a readable reason when the file is missing or
    // damaged; no track is open afterwards.
    virtual void Open(const QString& fileName) = 0;
    // Plays on from the current position, in the background. No effect on a
    // track that is playing or has ended.
    virtual void Play() = 0;
    // Halts playback; the position stays where it is.
    virtual void Stop() = 0;
    virtual int Length() = 0;
    // Never beyond the length, and equal to it once the last event has played.
    virtual int Position() = 0;

    virtual TState State() = 0;
    // Full path of the open track; empty when none is open.
    virtual QString FileName() const = 0;
};

inline const QString NoTrackOpenText = QStringLiteral("No MCI device open");

inline const std::array<QString, 4> MusicTracks{
    QStringLiteral("evita.mid"),
    QStringLiteral("axel'f.mid"),
    QStringLiteral("behappy.mid"),
    QStringLiteral("relax.mid"),
};

// The main window's music bar.
struct TMusicBar {
    std::function<void(int)> SetMaximum;
    std::function<void(int)> SetPosition;
};

class TMusic {
public:
    // random(n) gives a number in 0..n-1 from the generator that every new
    // game reseeds.
    using TRandom = std::function<int(int)>;

    TMusic(IMusicPlayer& player, TGameState& state, TRandom random, TMusicBar bar);

    // Opens a randomly chosen track from the data folder and sets the bar to
    // its length and to 0. Does not play. Throws Exception when the track
    // cannot be opened (the bar is then left alone).
    void StartRandomTrack();

    // The music start of a new game: a new random track, played when music
    // is on. Failures are reported in the error box. Returns false when no
    // track could be opened: the caller then leaves its timer as it is.
    bool StartGameMusic();

    // The 100 ms poll: the bar follows the track, and a track that has ended
    // while music is on is followed by a new random one. After a failed open
    // it keeps quiet until a track opens again.
    void Timer1Timer();

    // After the settings dialog closes: play on when music is on, stop
    // otherwise. Failures (no track open, no sound output) are reported in
    // the error box; returns false then.
    bool ApplyMusicEnabled();

    IMusicPlayer& Player() { return player_; }

private:
    bool MusicOn() const;
    void SetBarMaximum(int maximum);
    void SetBarPosition(int position);
    // Plays, reporting a failure; the rest of the caller's work goes on.
    void PlayReported();

    IMusicPlayer& player_;
    TGameState& state_;
    TRandom random_;
    TMusicBar bar_;
};
