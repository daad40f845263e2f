// The sound effect players on Qt Multimedia (see SoundEffectBank.h): one
// preloaded QSoundEffect per file, and at most one of them sounding. Built
// into the module that the program opens when an effect is first needed.
#include "shell/SoundEffectBank.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QPointer>
#include <QSoundEffect>
#include <QUrl>

#include <cstring>

namespace {

quint32 LittleEndian32(const char* bytes)
{
    const auto* b = reinterpret_cast<const unsigned char*>(bytes);
    return quint32(b[0]) | quint32(b[1]) << 8 | quint32(b[2]) << 16 | quint32(b[3]) << 24;
}

quint16 LittleEndian16(const char* bytes)
{
    const auto* b = reinterpret_cast<const unsigned char*>(bytes);
    return quint16(b[0] | b[1] << 8);
}

// Qt 6.4's loader waits for ever for samples that a short file never
// delivers, and stalls the same way on layouts it does not expect (a chunk
// before the format, an unknown or odd-sized chunk before the data, a last
// frame cut in half). The effect then stays "loading", every effect queued
// behind it in the same loader never loads, and deleting it can hang the
// program. So only the plain layout is handed over: "fmt " first, integer
// PCM of 8 or 16 bits, at most "LIST" chunks after it, and a data chunk of
// whole frames wholly inside the file.
bool IsPlayableWav(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const qint64 size = file.size();
    char header[12];
    if (file.read(header, 12) != 12 || std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0)
        return false;

    qint64 at = 12;
    qint64 frameBytes = 0;
    for (int chunks = 0; chunks < 16 && at + 8 <= size; ++chunks) {
        char chunk[8];
        if (!file.seek(at) || file.read(chunk, 8) != 8)
            return false;
        const qint64 length = LittleEndian32(chunk + 4);
        const qint64 body = at + 8;
        if (body + length > size)
            return false;
        if (chunks == 0) {
            char format[16];
            if (std::memcmp(chunk, "fmt ", 4) != 0 || length < 16 || length % 2 != 0 || file.read(format, 16) != 16)
                return false;
            const quint16 tag = LittleEndian16(format);
            const quint16 channels = LittleEndian16(format + 2);
            const quint32 rate = LittleEndian32(format + 4);
            const quint16 bits = LittleEndian16(format + 14);
            if (tag != 1 || channels < 1 || channels > 8 || rate < 1000 || rate > 192000 || (bits != 8 && bits != 16))
                return false;
            frameBytes = qint64(channels) * (bits / 8);
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            return length > 0 && length % frameBytes == 0;
        } else if (std::memcmp(chunk, "LIST", 4) != 0 || length % 2 != 0) {
            return false;
        }
        at = body + length;
    }
    return false;
}

// Owns the players. It is a child of the application object so that the
// players go while the audio system still exists, never during static
// destruction after it.
class TSoundEffectBank final : public QObject, public ISoundEffectBank {
public:
    explicit TSoundEffectBank(QObject* parent) : QObject(parent) {}

    void Open(const QString& name, const QString& path) override { Opened(name, path); }

    const QSoundEffect* Player(const QString& name) const override { return players_.value(name, nullptr); }

    void Play(const QString& name, const QString& path) override
    {
        QSoundEffect* player = Opened(name, path);
        // isPlaying() may stay true long after an effect has ended (seen
        // without an audio device), so the previous effect is stopped
        // whatever it reports. It is the only one that can be sounding.
        // The same effect again is stopped too, so that it starts over.
        if (sounding_)
            sounding_->stop();
        sounding_ = player;
        // A file that failed to decode stays silent; play() ignores it.
        last_ = player && player->status() != QSoundEffect::Error ? name : QString();
        if (player)
            player->play();
    }

    QString Last() const override { return last_; }

private:
    QSoundEffect* Opened(const QString& name, const QString& path)
    {
        const auto found = players_.constFind(name);
        if (found != players_.cend())
            return found.value();
        QSoundEffect* player = nullptr;
        // isFile: an empty name resolves to the data folder itself.
        if (!name.isEmpty() && QFileInfo(path).isFile() && IsPlayableWav(path)) {
            player = new QSoundEffect(this);
            player->setSource(QUrl::fromLocalFile(path));
        }
        // A miss is remembered as well, so a missing or damaged file costs
        // one lookup, not one per call.
        players_.insert(name, player);
        return player;
    }

    QHash<QString, QSoundEffect*> players_;
    QPointer<QSoundEffect> sounding_;
    QString last_;
};

QPointer<TSoundEffectBank>& BankPointer()
{
    static QPointer<TSoundEffectBank> bank;
    return bank;
}

} // namespace

extern "C" Q_DECL_EXPORT ISoundEffectBank* ZelvonSoundEffectBank()
{
    if (!BankPointer() && QCoreApplication::instance())
        BankPointer() = new TSoundEffectBank(QCoreApplication::instance());
    return BankPointer().data();
}

extern "C" Q_DECL_EXPORT void ZelvonResetSoundEffectBank()
{
    delete BankPointer().data();
}
