// Sound effects: the game's side of them. The players live in the module
// "zelvon-sound" (see SoundEffectBank.h), opened here when an effect is
// first needed; until then no audio library is in the process.
#include "shell/SoundEffects.h"

#include "shell/DataFiles.h"
#include "shell/SoundEffectBank.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

namespace {

struct TSoundModule {
    TSoundEffectBankEntry Bank = nullptr;
    TResetSoundEffectBankEntry Reset = nullptr;
};

// Beside the program (the build, and Windows), then where it is installed
// relative to the program; then the data folders, which is where tests
// running from folders of their own point the search.
QStringList ModuleDirectories()
{
    const QString here = QCoreApplication::applicationDirPath();
    return QStringList{here, QDir(here).filePath(QStringLiteral(ZELVON_SOUND_MODULE_DIR))} + DataDirectories();
}

TSoundModule OpenModule()
{
    for (const QString& directory : ModuleDirectories()) {
        QLibrary library(QDir(directory).filePath(QStringLiteral("zelvon-sound")));
        if (!library.load())
            continue;
        TSoundModule module;
        module.Bank = reinterpret_cast<TSoundEffectBankEntry>(library.resolve(SoundEffectBankEntryName));
        module.Reset = reinterpret_cast<TResetSoundEffectBankEntry>(library.resolve(ResetSoundEffectBankEntryName));
        // It stays loaded for the rest of the run: its players go with the
        // application object.
        if (module.Bank && module.Reset)
            return module;
        library.unload();
    }
    return {};
}

// Null until the module is wanted; a module that cannot be found leaves the
// effects silent, as a machine without an audio device does.
const TSoundModule* Module(bool open)
{
    static bool tried = false;
    static TSoundModule module;
    if (!tried && open && QCoreApplication::instance()) {
        tried = true;
        module = OpenModule();
    }
    return tried && module.Bank ? &module : nullptr;
}

ISoundEffectBank* Bank(bool open)
{
    const TSoundModule* module = Module(open);
    return module ? module->Bank() : nullptr;
}

} // namespace

QStringList SoundEffectFiles()
{
    return {QStringLiteral("ding.wav"), QStringLiteral("pop.wav"), QStringLiteral("laser.wav"),
            QStringLiteral("explode.wav"), QStringLiteral("applause.wav")};
}

void PreloadSoundEffects()
{
    if (ISoundEffectBank* bank = Bank(true))
        for (const QString& name : SoundEffectFiles())
            bank->Open(name, DataFilePath(name));
}

void PlaySoundEffect(const QString& fileName)
{
    if (ISoundEffectBank* bank = Bank(true))
        bank->Play(fileName, DataFilePath(fileName));
}

QString LastSoundEffect()
{
    const ISoundEffectBank* bank = Bank(false);
    return bank ? bank->Last() : QString();
}

const QSoundEffect* SoundEffectPlayer(const QString& fileName)
{
    const ISoundEffectBank* bank = Bank(false);
    return bank ? bank->Player(fileName) : nullptr;
}

void ResetSoundEffects()
{
    if (const TSoundModule* module = Module(false))
        module->Reset();
}
