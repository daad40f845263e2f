// Opening FluidSynth at run time (see FluidSynthLibrary.h).
#include "shell/FluidSynthLibrary.h"

#include <QLibrary>

#include <map>
#include <memory>
#include <mutex>

namespace {

template <class TFunction>
bool Resolve(QLibrary& library, const char* name, TFunction& function)
{
    function = reinterpret_cast<TFunction>(library.resolve(name));
    return function != nullptr;
}

std::unique_ptr<TFluidSynthLibrary> Open(const QString& fileName)
{
    QLibrary library(fileName);
    if (!library.load())
        return nullptr;
    auto f = std::make_unique<TFluidSynthLibrary>();
#define ZELVON_RESOLVE(name) Resolve(library, #name, f->name)
    const bool complete = ZELVON_RESOLVE(fluid_set_log_function) && ZELVON_RESOLVE(new_fluid_settings)
        && ZELVON_RESOLVE(delete_fluid_settings) && ZELVON_RESOLVE(fluid_settings_setint)
        && ZELVON_RESOLVE(fluid_settings_setnum) && ZELVON_RESOLVE(fluid_settings_setstr)
        && ZELVON_RESOLVE(new_fluid_synth) && ZELVON_RESOLVE(delete_fluid_synth) && ZELVON_RESOLVE(fluid_synth_sfload)
        && ZELVON_RESOLVE(fluid_synth_process) && ZELVON_RESOLVE(fluid_synth_all_notes_off)
        && ZELVON_RESOLVE(new_fluid_audio_driver2) && ZELVON_RESOLVE(delete_fluid_audio_driver)
        && ZELVON_RESOLVE(new_fluid_player) && ZELVON_RESOLVE(delete_fluid_player)
        && ZELVON_RESOLVE(fluid_player_add_mem) && ZELVON_RESOLVE(fluid_player_play)
        && ZELVON_RESOLVE(fluid_player_stop) && ZELVON_RESOLVE(fluid_player_get_status)
        && ZELVON_RESOLVE(fluid_player_get_current_tick);
#undef ZELVON_RESOLVE
    if (!complete) {
        library.unload();
        return nullptr;
    }
    // Without a sound device every driver tried prints an error; the game
    // reports that once in its own words instead.
    for (int level = FLUID_PANIC; level < LAST_LOG_LEVEL; ++level)
        f->fluid_set_log_function(level, [](int, const char*, void*) {}, nullptr);
    // The library stays loaded: the QLibrary object going does not unload it.
    return f;
}

} // namespace

QString DefaultFluidSynthLibrary()
{
#if defined(Q_OS_WIN)
    return QStringLiteral("libfluidsynth-3");
#elif defined(Q_OS_MACOS)
    return QStringLiteral("libfluidsynth.3.dylib");
#else
    return QStringLiteral("libfluidsynth.so.3");
#endif
}

const TFluidSynthLibrary* LoadFluidSynth(const QString& fileName)
{
    static std::mutex mutex;
    // A failure is remembered too, so that it costs one attempt per run.
    static std::map<QString, std::unique_ptr<TFluidSynthLibrary>> opened;
    const QString name = fileName.isEmpty() ? DefaultFluidSynthLibrary() : fileName;
    std::lock_guard lock(mutex);
    auto found = opened.find(name);
    if (found == opened.end())
        found = opened.emplace(name, Open(name)).first;
    return found->second.get();
}
