// The settings store on QSettings; see Settings.h.
#include "shell/Settings.h"

#include "game/GameState.h"
#include "shell/Exception.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QVariant>

#include <algorithm>
#include <cstdio>
#include <optional>

namespace {

// This file's texts, for the translation.
class TSettingsText {
    Q_DECLARE_TR_FUNCTIONS(Settings)
};

const QString DefaultOn = QStringLiteral("1");
const QString DefaultBoardSize = QStringLiteral("10");
const QString DefaultHuman = QStringLiteral("0");
constexpr std::uint8_t DefaultIntelligence = 5;
// Network play: a client with no address yet, on the game's own port.
const QString DefaultServer = QStringLiteral("0");
constexpr std::uint16_t DefaultPort = 41095;
// Far more than any host name; a longer text in a hand-edited file is cut.
constexpr qsizetype MaxAddressLength = 255;
const QString DefaultOff = QStringLiteral("0");
const QString DefaultLanguage = QStringLiteral("cs");

// Windows keeps the store in the registry and Apple systems in their own
// preferences; everywhere else QSettings' native store is one INI file.
#if defined(Q_OS_WIN) || defined(Q_OS_DARWIN)
constexpr bool StoreIsIniFile = false;
#else
constexpr bool StoreIsIniFile = true;
#endif

// A temporary file of a save that was cut off is this old at least before
// the next save removes it.
constexpr qint64 AbandonedAfterSeconds = 10 * 60;
// How long a save waits for another one (of another copy of the program),
// and how old a lock must be to count as left by a save that was cut off.
// A save holds it for milliseconds; one cut off between making the lock
// file and writing its owner into it leaves a lock that only its age tells
// apart, and QSettings alone would wait half a minute for that.
constexpr int LockWaitMs = 5000;
constexpr int StaleLockMs = 2000;

// One opening of the store, like one opening of the registry key. Fallbacks
// are off: the key of the application in the user's store is the only place
// read, never an organisation-wide or system-wide file.
class TStore : public QSettings {
public:
    TStore()
        : QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Brantek"), QStringLiteral("Zelvon"))
    {
        setFallbacksEnabled(false);
    }

    // Where QSettings keeps the INI file, found without opening it:
    // QSettings reads the file as soon as it is made, and would wait forever
    // on a named pipe put in its place.
    static QString Path()
    {
        return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
            + QStringLiteral("/Brantek/Zelvon.conf");
    }
};

[[noreturn]] void FailWrite(const QString& name)
{
    throw Exception(TSettingsText::tr("Failed to set data for '%1'").arg(name));
}

QString Shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

enum class TFileState { Missing, Readable, NotAFile, Unreadable };

// Looks at the store file before QSettings touches it: QSettings would wait
// forever on a named pipe and treat an unreadable file as empty.
TFileState StoreFileState(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return TFileState::Missing;
    if (!info.isFile())
        return TFileState::NotAFile;
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? TFileState::Readable : TFileState::Unreadable;
}

// The state of the store as far as reading goes: a missing or readable file,
// or the registry, count as readable.
TFileState StoreState()
{
    if constexpr (StoreIsIniFile)
        return StoreFileState(TStore::Path());
    return TFileState::Readable;
}

// A first run leaves the empty store behind, as opening a missing registry
// key creates it. Failing to create it changes nothing: the defaults serve.
void CreateStoreFile(const QString& path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    (void)file.open(QIODevice::WriteOnly | QIODevice::NewOnly);
}

// The names of our own values: everything a save writes.
QStringList OwnNames()
{
    QStringList names;
    for (const auto& value : SettingsToSave(TGameState{}, true))
        names << value.first;
    return names;
}

// A value of ours that the program cannot have written. Every text we write
// is one line; a line break in one means the reader ran on past its end (an
// unclosed quote takes every line after it), so the values that followed
// are lost inside it.
bool IsBrokenValue(const QVariant& value)
{
    if (value.typeId() != QMetaType::QString)
        return false;
    const QString text = value.toString();
    return text.contains(u'\n') || text.contains(u'\r');
}

// Whether `store`, read whole, is what a save can safely replace. Qt parses
// sections only when asked, and reports a malformed line only then.
bool ReadsCleanly(TStore& store)
{
    (void)store.allKeys();
    if (store.status() != QSettings::NoError)
        return false;
    const QStringList names = OwnNames();
    return std::none_of(names.begin(), names.end(), [&](const QString& name) { return IsBrokenValue(store.value(name)); });
}

// The value's text, as a registry string is read: up to its first NUL.
// Qt turns "1, 2" into a list, "@ByteArray(...)" into bytes and a damaged
// "@Variant(...)" into an invalid value: none is the text we wrote.
QString SettingText(const QString& name, const std::optional<QVariant>& value, const QString& defaultText)
{
    if (!value)
        return defaultText;
    if (value->typeId() != QMetaType::QString)
        throw Exception(TSettingsText::tr("Invalid data type for '%1'").arg(name));
    QString text = value->toString();
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    if (nul >= 0)
        text.truncate(nul);
    return text;
}

// "Zelvon.conf.poskozeny", or the first free numbered name after it; the
// file keeps the user's text for them to look at or put back.
QString MoveAside(const QString& path)
{
    for (int number = 0; number < 1000; ++number) {
        QString target = path + QStringLiteral(".poskozeny");
        if (number > 0)
            target += QStringLiteral(".%1").arg(number);
        const QFileInfo info(target);
        if (info.exists() || info.isSymLink())
            continue;
        // Refuses to replace an existing file, so a race only costs a number.
        if (QFile::rename(path, target))
            return target;
        if (QFileInfo::exists(target))
            continue;
        return {};
    }
    return {};
}

// The values of ours in a store, read once. A damaged file is moved aside
// and only what still reads cleanly is kept.
QHash<QString, QVariant> ReadStoreForLoad(const TSettingsNotice& notice)
{
    const auto tell = [&](const QString& text) {
        if (notice)
            notice(text);
    };
    QHash<QString, QVariant> values;
    const TFileState state = StoreState();
    if constexpr (StoreIsIniFile) {
        const QString path = TStore::Path();
        if (state == TFileState::Missing) {
            CreateStoreFile(path);
            return values;
        }
        if (state != TFileState::Readable) {
            tell(TSettingsText::tr("Soubor s nastavením „%1“ nelze přečíst (%2). Hra použije výchozí nastavení.")
                     .arg(Shown(path), state == TFileState::NotAFile ? TSettingsText::tr("není to obyčejný soubor")
                                                                     : TSettingsText::tr("chybí oprávnění ke čtení")));
            return values;
        }
    }

    TStore store;
    const bool clean = ReadsCleanly(store);
    for (const QString& name : OwnNames()) {
        if (!store.contains(name))
            continue;
        const QVariant value = store.value(name);
        if (!IsBrokenValue(value))
            values.insert(name, value);
    }
    if constexpr (StoreIsIniFile) {
        if (!clean) {
            const QString path = TStore::Path();
            const QString aside = MoveAside(path);
            if (aside.isEmpty()) {
                tell(TSettingsText::tr("Soubor s nastavením „%1“ je poškozený a nepodařilo se ho odložit stranou. "
                                       "Hra použije, co z něj šlo přečíst, a do souboru nic neuloží.")
                         .arg(Shown(path)));
            } else {
                tell(TSettingsText::tr("Soubor s nastavením „%1“ byl poškozený, hra ho proto odložila jako „%2“. "
                                       "Použije, co z něj šlo přečíst, ostatní nastavení budou výchozí; "
                                       "při ukončení uloží nový soubor.")
                         .arg(Shown(path), Shown(aside)));
            }
        }
    }
    return values;
}

// A save that was cut off leaves its temporary files beside the store: the
// new store ("Zelvon.conf.XXXXXX"), and QSettings' own temporary file and
// lock for it. The caller holds the store's lock, so no save is under way,
// in this program or another copy of it; an old one is surely abandoned.
void RemoveAbandonedTemporaryFiles(const QString& path)
{
    const QFileInfo store(path);
    const QRegularExpression temporary(QStringLiteral("^%1\\.[A-Za-z0-9]{6}(\\.[A-Za-z0-9]{6}|\\.lock)?$")
                                           .arg(QRegularExpression::escape(store.fileName())));
    const QDateTime abandoned = QDateTime::currentDateTime().addSecs(-AbandonedAfterSeconds);
    const QFileInfoList candidates = QDir(store.absolutePath())
                                         .entryInfoList({store.fileName() + QStringLiteral(".*")},
                                                        QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& candidate : candidates) {
        if (temporary.match(candidate.fileName()).hasMatch() && !candidate.isSymLink()
            && candidate.lastModified() < abandoned)
            QFile::remove(candidate.absoluteFilePath());
    }
}

// QSettings knows a file it has read by its size and time; a new store of
// the same size written in the same millisecond as the one it replaces would
// be taken for the old one by every later read of this program.
void KeepTimeAhead(const QString& temporaryPath, const QString& path)
{
    const QFileInfo old(path);
    if (!old.exists())
        return;
    const QDateTime before = old.lastModified();
    if (QFileInfo(temporaryPath).lastModified() > before)
        return;
    QFile file(temporaryPath);
    if (file.open(QIODevice::ReadWrite))
        file.setFileTime(before.addMSecs(1), QFileDevice::FileModificationTime);
}

// Writes the store's values with `values` changed into a new file beside it
// and renames that over the store: a save that is refused or cut off leaves
// the old file whole. The store itself is never written in place, so
// QSettings' memory of it never holds a refused value either.
bool ReplaceStoreFile(const QString& path, const TSettingValues& values)
{
    // One writer at a time: QSettings in other copies of the program takes
    // the same lock.
    QLockFile lock(path + QStringLiteral(".lock"));
    lock.setStaleLockTime(StaleLockMs);
    if (!lock.tryLock(LockWaitMs))
        return false;
    RemoveAbandonedTemporaryFiles(path);

    QList<std::pair<QString, QVariant>> kept;
    {
        TStore current;
        if (!ReadsCleanly(current))
            return false;
        for (const QString& key : current.allKeys())
            kept << std::pair(key, current.value(key));
    }

    QTemporaryFile temporary(path + QStringLiteral(".XXXXXX"));
    if (!temporary.open())
        return false;
    const QString temporaryPath = temporary.fileName();
    temporary.close();
    {
        QSettings writer(temporaryPath, QSettings::IniFormat);
        for (const auto& [key, value] : kept)
            writer.setValue(key, value);
        for (const auto& [name, text] : values)
            writer.setValue(name, text);
        // QSettings writes through a file of its own and a rename, flushed
        // to the disk first.
        writer.sync();
        if (writer.status() != QSettings::NoError)
            return false;
    }
    if (QFileInfo::exists(path))
        QFile::setPermissions(temporaryPath, QFileInfo(path).permissions());
    KeepTimeAhead(temporaryPath, path);
    if (std::rename(QFile::encodeName(temporaryPath).constData(), QFile::encodeName(path).constData()) != 0)
        return false;
    temporary.setAutoRemove(false);
    return true;
}

// A board size is a decimal integer with an optional sign. Any such number is
// held inside the board's limits, so a hand-edited "0" or "300" cannot start
// a game on an impossible board.
std::uint8_t BoardSizeFromSetting(const QString& text)
{
    qsizetype i = 0;
    bool negative = false;
    if (!text.isEmpty() && (text[0] == u'+' || text[0] == u'-')) {
        negative = text[0] == u'-';
        ++i;
    }
    if (i == text.size())
        throw Exception(TSettingsText::tr("'%1' is not a valid integer value").arg(text));
    int value = 0;
    for (; i < text.size(); ++i) {
        const char16_t ch = text[i].unicode();
        if (ch < u'0' || ch > u'9')
            throw Exception(TSettingsText::tr("'%1' is not a valid integer value").arg(text));
        value = std::min(value * 10 + (ch - u'0'), 1000); // saturates far above the limit
    }
    if (negative)
        value = -value;
    return static_cast<std::uint8_t>(std::clamp(value, MinBoardSize, MaxBoardSize));
}

// The computer's level: exactly a number 0..10, or the middle level.
std::uint8_t IntelligenceFromSetting(const QString& text)
{
    bool ok = false;
    const int level = text.toInt(&ok);
    const bool plain = !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar ch) { return ch.isDigit(); });
    return ok && plain && level >= 0 && level <= 10 ? static_cast<std::uint8_t>(level) : DefaultIntelligence;
}

// A port is a plain decimal number 1..65535; anything else means the
// default port, quietly, like an on/off value that is not "1" means off.
std::uint16_t PortFromSetting(const QString& text)
{
    if (text.isEmpty() || text.size() > 5)
        return DefaultPort;
    for (const QChar ch : text)
        if (ch < u'0' || ch > u'9')
            return DefaultPort;
    const int value = text.toInt();
    return value >= 1 && value <= 65535 ? static_cast<std::uint16_t>(value) : DefaultPort;
}

} // namespace

QString ReadSetting(const QString& name, const QString& defaultText)
{
    const TFileState state = StoreState();
    if (state == TFileState::Missing)
        CreateStoreFile(TStore::Path());
    if (state != TFileState::Readable)
        return defaultText;
    TStore store;
    return SettingText(name, store.contains(name) ? std::optional(store.value(name)) : std::nullopt, defaultText);
}

void WriteSettings(const TSettingValues& values)
{
    if (values.isEmpty())
        return;
    const QString& first = values.front().first;
    if constexpr (StoreIsIniFile) {
        const QString path = TStore::Path();
        // What could not be read is never replaced by our few values, nor a
        // file its owner made read-only.
        const TFileState state = StoreFileState(path);
        if (state == TFileState::NotAFile || state == TFileState::Unreadable)
            FailWrite(first);
        if (state == TFileState::Readable && !QFileInfo(path).isWritable())
            FailWrite(first);
        if (state == TFileState::Missing && !QDir().mkpath(QFileInfo(path).absolutePath()))
            FailWrite(first);
        if (!ReplaceStoreFile(path, values))
            FailWrite(first);
        return;
    }
    // The registry writes value by value; there is no file to replace.
    TStore store;
    for (const auto& [name, text] : values)
        store.setValue(name, text);
    store.sync();
    if (store.status() != QSettings::NoError)
        FailWrite(first);
}

void WriteSetting(const QString& name, const QString& text)
{
    WriteSettings({{name, text}});
}

QString BoolToSetting(std::uint8_t flag)
{
    return flag == 1 ? QStringLiteral("1") : QStringLiteral("0");
}

bool SettingToBool(const QString& text)
{
    return text == QLatin1String("1");
}

QString LanguageToSetting(std::uint8_t language)
{
    return language == 1 ? QStringLiteral("en") : DefaultLanguage;
}

std::uint8_t SettingToLanguage(const QString& text)
{
    return text == QLatin1String("en") ? 1 : 0;
}

TSettingValues SettingsToSave(const TGameState& state, bool hex3d)
{
    return {
        {QStringLiteral("Sound"), BoolToSetting(state.SoundEnabled)},
        {QStringLiteral("Music"), BoolToSetting(state.MusicEnabled)},
        {QStringLiteral("Ver"), QStringLiteral("1.6b")},
        {QStringLiteral("MMX"), BoolToSetting(state.MmxEnabled)},
        {QStringLiteral("Sirka"), QString::number(state.BoardWidth)},
        {QStringLiteral("Vyska"), QString::number(state.BoardHeight)},
        {QStringLiteral("3Dhex"), BoolToSetting(hex3d ? 1 : 0)},
        {QStringLiteral("ModryHrac"), BoolToSetting(state.BluePlayer)},
        {QStringLiteral("CervenyHrac"), BoolToSetting(state.RedPlayer)},
        {QStringLiteral("Inteligence"), QString::number(std::min<int>(state.Intelligence, 10))},
        {QStringLiteral("SitServer"), BoolToSetting(state.NetworkClient == 1 ? 0 : 1)},
        {QStringLiteral("SitAdresa"), state.NetworkAddress.left(MaxAddressLength)},
        {QStringLiteral("SitPort"), QString::number(state.NetworkPort)},
        // Added later; a store without them reads as all off and Czech.
        {QStringLiteral("Vraceni"), BoolToSetting(state.UndoEnabled)},
        {QStringLiteral("Napoveda"), BoolToSetting(state.HintsEnabled)},
        {QStringLiteral("PosledniTah"), BoolToSetting(state.LastMoveEnabled)},
        {QStringLiteral("Jazyk"), LanguageToSetting(state.Language)},
    };
}

void LoadSettings(TGameState& state, const std::function<void(bool)>& setHex3d, const TSettingsNotice& notice)
{
    // Defaults first, so a step that throws leaves every later setting as a
    // first run would have it, never at zero.
    state.SoundEnabled = 1;
    state.MusicEnabled = 1;
    state.MmxEnabled = 1;
    state.BoardWidth = MaxBoardSize;
    state.BoardHeight = MaxBoardSize;
    state.DirectXEnabled = 0;
    state.NetworkPlay = 0;
    state.NetworkClient = 1;
    state.BluePlayer = 0;
    state.RedPlayer = 0;
    state.Intelligence = DefaultIntelligence;
    state.NetworkAddress.clear();
    state.NetworkPort = DefaultPort;
    state.UndoEnabled = 0;
    state.HintsEnabled = 0;
    state.LastMoveEnabled = 0;
    state.Language = 0;
    bool hex3d = true;
    const auto applyHex3d = [&] {
        if (setHex3d)
            setHex3d(hex3d);
    };
    try {
        const QHash<QString, QVariant> stored = ReadStoreForLoad(notice);
        const auto read = [&](const char* name, const QString& defaultText) {
            const QString key = QLatin1String(name);
            return SettingText(key, stored.contains(key) ? std::optional(stored.value(key)) : std::nullopt, defaultText);
        };
        state.SoundEnabled = SettingToBool(read("Sound", DefaultOn));
        state.MusicEnabled = SettingToBool(read("Music", DefaultOn));
        state.MmxEnabled = SettingToBool(read("MMX", DefaultOn));
        state.BoardWidth = BoardSizeFromSetting(read("Sirka", DefaultBoardSize));
        state.BoardHeight = BoardSizeFromSetting(read("Vyska", DefaultBoardSize));
        hex3d = SettingToBool(read("3Dhex", DefaultOn));
        // The players, the level, the network values and the comfort options
        // came after the first versions: a value of another type here means
        // only its default, never a failed start.
        const auto readOwn = [&](const char* name, const QString& defaultText) {
            try {
                return read(name, defaultText);
            } catch (const Exception&) {
                return defaultText;
            }
        };
        state.BluePlayer = SettingToBool(readOwn("ModryHrac", DefaultHuman)) ? 1 : 0;
        state.RedPlayer = SettingToBool(readOwn("CervenyHrac", DefaultHuman)) ? 1 : 0;
        state.Intelligence = IntelligenceFromSetting(readOwn("Inteligence", QString::number(DefaultIntelligence)));
        // The role, the address and the port are remembered; whether the
        // game is played over the network is not (see NetworkPlay).
        state.NetworkClient = SettingToBool(readOwn("SitServer", DefaultServer)) ? 0 : 1;
        state.NetworkAddress = readOwn("SitAdresa", {}).trimmed().left(MaxAddressLength);
        state.NetworkPort = PortFromSetting(readOwn("SitPort", QString::number(DefaultPort)));
        state.UndoEnabled = SettingToBool(readOwn("Vraceni", DefaultOff));
        state.HintsEnabled = SettingToBool(readOwn("Napoveda", DefaultOff));
        state.LastMoveEnabled = SettingToBool(readOwn("PosledniTah", DefaultOff));
        state.Language = SettingToLanguage(readOwn("Jazyk", DefaultLanguage));
    } catch (...) {
        applyHex3d();
        throw;
    }
    applyHex3d();
}

void SaveSettings(const TGameState& state, bool hex3d)
{
    WriteSettings(SettingsToSave(state, hex3d));
}
