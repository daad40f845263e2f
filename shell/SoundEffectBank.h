// The players of the sound effects, built as a module of their own
// ("zelvon-sound") that the program opens when an effect is first needed:
// Qt Multimedia brings some twenty libraries with it (PulseAudio, libsndfile
// and its codecs, Qt Network, Kerberos, ...), which cost every start time
// and memory and which a game with sound off never uses. This is what the
// module offers the program; the game itself uses SoundEffects.h.
#pragma once

#include <QString>

class QSoundEffect;

class ISoundEffectBank {
public:
    // Opens the player of the effect `name` from the file `path`, unless it
    // has been opened before. A missing, unreadable or damaged file makes no
    // player, and is remembered as such.
    virtual void Open(const QString& name, const QString& path) = 0;
    // Opens (as above) and starts the effect, cutting off the one still
    // sounding; a name without a player is silent but cuts it off as well.
    virtual void Play(const QString& name, const QString& path) = 0;
    // The name of the last Play that started an effect.
    virtual QString Last() const = 0;
    virtual const QSoundEffect* Player(const QString& name) const = 0;

protected:
    ~ISoundEffectBank() = default;
};

// The module's entries, by these names. The bank belongs to the application
// object (and is null without one); the reset deletes it, with its players.
using TSoundEffectBankEntry = ISoundEffectBank* (*)();
using TResetSoundEffectBankEntry = void (*)();
inline constexpr char SoundEffectBankEntryName[] = "ZelvonSoundEffectBank";
inline constexpr char ResetSoundEffectBankEntryName[] = "ZelvonResetSoundEffectBank";
