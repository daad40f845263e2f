// Short WAV effects for game events, played without blocking the caller.
// One effect sounds at a time: starting one cuts off the one still sounding.
// Whether an effect should play at all (the sound setting) is the caller's
// business.
#pragma once

#include <QString>
#include <QStringList>

class QSoundEffect;

// The effect files the game plays, bare names looked up with DataFilePath.
QStringList SoundEffectFiles();

// Opens every effect file so the first play is not late; call once at
// start-up, after the application object exists. Calling it again only
// opens what is not open yet.
void PreloadSoundEffects();

// Starts the named effect and returns at once. A name not preloaded is
// opened on first use. A missing, unreadable or damaged file, or a machine
// without an audio device, plays nothing and reports nothing; the effect
// that was sounding is cut off all the same.
void PlaySoundEffect(const QString& fileName);

// The name given to the last PlaySoundEffect call that started an effect
// (empty when none has, or the last one was silenced by a missing file).
QString LastSoundEffect();

// The player behind a name, or nullptr when its file is missing or damaged
// or the name has not been opened. For tests and diagnostics.
const QSoundEffect* SoundEffectPlayer(const QString& fileName);

// Stops and forgets every player; the next preload or play opens the files
// again from the data directories as they are then.
void ResetSoundEffects();
