// Where the data files are found (see DataFiles.h).
#include "shell/DataFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

QStringList& OverrideDirectories()
{
    static QStringList directories;
    return directories;
}

} // namespace

QStringList DataDirectories()
{
    if (!OverrideDirectories().isEmpty())
        return OverrideDirectories();
    const QString executableDir = QCoreApplication::applicationDirPath();
    return {executableDir, QDir::cleanPath(executableDir + QStringLiteral("/../share/zelvon"))};
}

QString DataFilePath(const QString& name)
{
    const QStringList directories = DataDirectories();
    for (const QString& directory : directories) {
        const QString candidate = QDir(directory).filePath(name);
        if (QFileInfo::exists(candidate))
            return candidate;
    }
    return QDir(directories.value(0)).filePath(name);
}

void SetDataDirectories(const QStringList& directories)
{
    OverrideDirectories() = directories;
}

QString QuotedPath(const QString& path)
{
    return QString::fromUtf8("„%1“").arg(QDir::toNativeSeparators(path));
}

QString UnreadableReason(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QString::fromUtf8("soubor neexistuje");
    if (info.isDir())
        return QString::fromUtf8("je to složka");
    if (!info.isReadable())
        return QString::fromUtf8("chybí oprávnění ke čtení");
    return QString::fromUtf8("soubor nelze číst");
}
