// FluidSynth opened when music first has to play, instead of linked: the
// library pulls in most of the sound system (SDL, JACK, PulseAudio,
// libsndfile with its codecs, readline, ...), which costs every start
// time and memory, and a game with music off never needs any of it. Only
// FluidSynth's header is used when building, for its types and constants.
#pragma once

#include <QString>

#include <fluidsynth.h>

// The functions the music player calls, named as FluidSynth names them.
struct TFluidSynthLibrary {
    decltype(&::fluid_set_log_function) fluid_set_log_function = nullptr;
    decltype(&::new_fluid_settings) new_fluid_settings = nullptr;
    decltype(&::delete_fluid_settings) delete_fluid_settings = nullptr;
    decltype(&::fluid_settings_setint) fluid_settings_setint = nullptr;
    decltype(&::fluid_settings_setnum) fluid_settings_setnum = nullptr;
    decltype(&::fluid_settings_setstr) fluid_settings_setstr = nullptr;
    decltype(&::new_fluid_synth) new_fluid_synth = nullptr;
    decltype(&::delete_fluid_synth) delete_fluid_synth = nullptr;
    decltype(&::fluid_synth_sfload) fluid_synth_sfload = nullptr;
    decltype(&::fluid_synth_process) fluid_synth_process = nullptr;
    decltype(&::fluid_synth_all_notes_off) fluid_synth_all_notes_off = nullptr;
    decltype(&::new_fluid_audio_driver2) new_fluid_audio_driver2 = nullptr;
    decltype(&::delete_fluid_audio_driver) delete_fluid_audio_driver = nullptr;
    decltype(&::new_fluid_player) new_fluid_player = nullptr;
    decltype(&::delete_fluid_player) delete_fluid_player = nullptr;
    decltype(&::fluid_player_add_mem) fluid_player_add_mem = nullptr;
    decltype(&::fluid_player_play) fluid_player_play = nullptr;
    decltype(&::fluid_player_stop) fluid_player_stop = nullptr;
    decltype(&::fluid_player_get_status) fluid_player_get_status = nullptr;
    decltype(&::fluid_player_get_current_tick) fluid_player_get_current_tick = nullptr;
};

// The system's FluidSynth library (major version 3) as the platform names it.
QString DefaultFluidSynthLibrary();

// The functions of the FluidSynth library `fileName` (the system's when
// empty), opened on the first call for that name and kept open for the rest
// of the run; null when it cannot be opened or lacks one of them. Its log
// is silenced: the game reports failures in its own words.
const TFluidSynthLibrary* LoadFluidSynth(const QString& fileName = {});
