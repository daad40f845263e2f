// The settings store on QSettings; see Settings.h.
#include "shell/Settings.h"

#include "game/GameState.h"
#include "shell/Exception.h"

#include <QByteArrayView>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QVariant>

#include <algorithm>

namespace {

const QString DefaultOn = QStringLiteral("1");
const QString DefaultBoardSize = QStringLiteral("10");

// Windows keeps the store in the registry and Apple systems in their own
// preferences; everywhere else QSettings' native store is one INI file.
#if defined(Q_OS_WIN) || defined(Q_OS_DARWIN)
constexpr bool StoreIsIniFile = false;
#else
constexpr bool StoreIsIniFile = true;
#endif

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
};

[[noreturn]] void FailWrite(const QString& name)
{
    throw Exception(QStringLiteral("Failed to set data for '%1'").arg(name));
}

// A first run leaves the empty store behind, as opening a missing registry
// key creates it. Failing to create it changes nothing: the defaults serve.
void CreateStoreFile(const QString& path)
{
    if (QFileInfo::exists(path))
        return;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    (void)file.open(QIODevice::WriteOnly | QIODevice::NewOnly);
}

bool IsBlank(char ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r' || ch == '\f' || ch == '\v';
}

// Whether the INI text holds a line that is neither blank, a comment, a
// section header nor a key=value pair. Qt reads past such a line, but its
// rewrite on the next save drops it, and with it whatever the user meant by
// it. Lines split as Qt's reader splits them: a backslash or an open quote
// carries a line break, and ';' outside quotes starts a comment. A leading
// UTF-8 byte-order mark is no damage (Qt flags it, reads past it, and nothing
// but the mark is lost by a rewrite).
bool HasUnreadableLine(QByteArrayView data)
{
    if (data.startsWith("\xEF\xBB\xBF"))
        data = data.sliced(3);
    const qsizetype size = data.size();
    qsizetype i = 0;
    while (i < size) {
        while (i < size && IsBlank(data[i]))
            ++i;
        if (i == size)
            break;
        const char first = data[i];
        bool inQuotes = false;
        bool hasEquals = false;
        for (; i < size; ++i) {
            const char ch = data[i];
            if (ch == '\\') {
                // The escaped character belongs to the line, a line break
                // (either order of CR and LF) included.
                if (i + 2 < size && ((data[i + 1] == '\r' && data[i + 2] == '\n') || (data[i + 1] == '\n' && data[i + 2] == '\r')))
                    ++i;
                ++i;
            } else if (ch == '"') {
                inQuotes = !inQuotes;
            } else if (inQuotes) {
                continue;
            } else if (ch == '\n' || ch == '\r') {
                break;
            } else if (ch == ';') {
                while (i < size && data[i] != '\n' && data[i] != '\r')
                    ++i;
                break;
            } else if (ch == '=') {
                hasEquals = true;
            }
        }
        if (first != ';' && first != '[' && !hasEquals)
            return true;
    }
    return false;
}

// Whether a rewrite of the store file keeps everything the file says. A file
// that exists but cannot be read counts as damaged: Qt would treat it as
// empty and replace it with our few values.
bool RewriteLosesNothing(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return true; // nothing to lose; a folder in the way fails the write itself
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return !HasUnreadableLine(file.readAll());
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
        throw Exception(QStringLiteral("'%1' is not a valid integer value").arg(text));
    int value = 0;
    for (; i < text.size(); ++i) {
        const char16_t ch = text[i].unicode();
        if (ch < u'0' || ch > u'9')
            throw Exception(QStringLiteral("'%1' is not a valid integer value").arg(text));
        value = std::min(value * 10 + (ch - u'0'), 1000); // saturates far above the limit
    }
    if (negative)
        value = -value;
    return static_cast<std::uint8_t>(std::clamp(value, MinBoardSize, MaxBoardSize));
}

} // namespace

QString ReadSetting(const QString& name, const QString& defaultText)
{
    TStore store;
    if constexpr (StoreIsIniFile)
        CreateStoreFile(store.fileName());
    // An unreadable store reads as an empty one: the defaults serve, and
    // WriteSetting refuses to overwrite what it could not read.
    if (!store.contains(name))
        return defaultText;
    // Qt turns "1, 2" into a list, "@ByteArray(...)" into bytes and a
    // damaged "@Variant(...)" into an invalid value: none is the text we wrote.
    const QVariant value = store.value(name);
    if (value.typeId() != QMetaType::QString)
        throw Exception(QStringLiteral("Invalid data type for '%1'").arg(name));
    // Stored text ends at its first NUL, as a registry string does.
    QString text = value.toString();
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    if (nul >= 0)
        text.truncate(nul);
    return text;
}

void WriteSetting(const QString& name, const QString& text)
{
    TStore current;
    if (StoreIsIniFile && !RewriteLosesNothing(current.fileName()))
        FailWrite(name);
    const bool existed = current.contains(name);
    const QVariant previous = current.value(name);
    // QSettings reports only its first complaint, and its reader complains
    // about things a rewrite loses nothing by (a byte-order mark). Parsing
    // everything here, in another instance, keeps the writer's status about
    // the write alone.
    (void)current.allKeys();

    TStore writer;
    writer.setValue(name, text);
    // QSettings saves through a lock file, a temporary file and a rename, so
    // a refused or interrupted save leaves the old file whole.
    writer.sync();
    if (writer.status() != QSettings::NoError) {
        // QSettings would keep the refused value in its per-process memory of
        // the file and answer later reads with it; put back what is stored.
        if (existed)
            writer.setValue(name, previous);
        else
            writer.remove(name);
        FailWrite(name);
    }
}

QString BoolToSetting(std::uint8_t flag)
{
    return flag == 1 ? QStringLiteral("1") : QStringLiteral("0");
}

bool SettingToBool(const QString& text)
{
    return text == QLatin1String("1");
}

void LoadSettings(TGameState& state, const std::function<void(bool)>& setHex3d)
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
    bool hex3d = true;
    const auto applyHex3d = [&] {
        if (setHex3d)
            setHex3d(hex3d);
    };
    try {
        state.SoundEnabled = SettingToBool(ReadSetting(QStringLiteral("Sound"), DefaultOn));
        state.MusicEnabled = SettingToBool(ReadSetting(QStringLiteral("Music"), DefaultOn));
        state.MmxEnabled = SettingToBool(ReadSetting(QStringLiteral("MMX"), DefaultOn));
        state.BoardWidth = BoardSizeFromSetting(ReadSetting(QStringLiteral("Sirka"), DefaultBoardSize));
        state.BoardHeight = BoardSizeFromSetting(ReadSetting(QStringLiteral("Vyska"), DefaultBoardSize));
        hex3d = SettingToBool(ReadSetting(QStringLiteral("3Dhex"), DefaultOn));
    } catch (...) {
        applyHex3d();
        throw;
    }
    applyHex3d();
}

void SaveSettings(const TGameState& state, bool hex3d)
{
    WriteSetting(QStringLiteral("Sound"), BoolToSetting(state.SoundEnabled));
    WriteSetting(QStringLiteral("Music"), BoolToSetting(state.MusicEnabled));
    WriteSetting(QStringLiteral("Ver"), QStringLiteral("1.6b"));
    WriteSetting(QStringLiteral("MMX"), BoolToSetting(state.MmxEnabled));
    WriteSetting(QStringLiteral("Sirka"), QString::number(state.BoardWidth));
    WriteSetting(QStringLiteral("Vyska"), QString::number(state.BoardHeight));
    WriteSetting(QStringLiteral("3Dhex"), BoolToSetting(hex3d ? 1 : 0));
}
