// The music logic (see Music.h).
#include "shell/Music.h"

#include "game/GameState.h"
#include "shell/Application.h"
#include "shell/DataFiles.h"
#include "shell/Exception.h"

#include <algorithm>

TMusic::TMusic(IMusicPlayer& player, TGameState& state, TRandom random, TMusicBar bar)
    : player_(player), state_(state), random_(std::move(random)), bar_(std::move(bar))
{
}

bool TMusic::MusicOn() const
{
    return state_.MusicEnabled == 1;
}

void TMusic::StartRandomTrack()
{
    const int count = static_cast<int>(MusicTracks.size());
    // A generator handing out something outside 0..3 still picks a track.
    const int index = std::clamp(random_ ? random_(count) : 0, 0, count - 1);
    player_.Open(DataFilePath(MusicTracks[static_cast<std::size_t>(index)]));
    SetBarMaximum(player_.Length());
    SetBarPosition(0);
}

void TMusic::SetBarMaximum(int maximum)
{
    if (bar_.SetMaximum)
        bar_.SetMaximum(maximum);
}

void TMusic::SetBarPosition(int position)
{
    if (bar_.SetPosition)
        bar_.SetPosition(position);
}

void TMusic::PlayReported()
{
    try {
        player_.Play();
    } catch (const Exception& error) {
        ShowErrorMessage(error.Message);
    }
}

bool TMusic::StartGameMusic()
{
    try {
        StartRandomTrack();
    } catch (const Exception& error) {
        ShowErrorMessage(error.Message);
        return false;
    }
    if (MusicOn())
        PlayReported();
    return true;
}

void TMusic::Timer1Timer()
{
    // Nothing open means the open already failed and was reported; every
    // tick reporting "no track" again would bury the game in message boxes.
    if (player_.State() == IMusicPlayer::msNoTrack)
        return;
    if (MusicOn())
        SetBarPosition(player_.Position());
    if (player_.Position() == player_.Length() && MusicOn()) {
        try {
            StartRandomTrack();
        } catch (const Exception& error) {
            ShowErrorMessage(error.Message);
            return;
        }
        PlayReported();
    }
}

bool TMusic::ApplyMusicEnabled()
{
    try {
        if (MusicOn())
            player_.Play();
        else
            player_.Stop();
    } catch (const Exception& error) {
        ShowErrorMessage(error.Message);
        return false;
    }
    return true;
}
