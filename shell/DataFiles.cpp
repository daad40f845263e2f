// Where the data files are found (see DataFiles.h).
#include "shell/DataFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

// This file's texts, for the translation.
class TDataFileText {
    Q_DECLARE_TR_FUNCTIONS(DataFiles)
};

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
    return TDataFileText::tr("„%1“").arg(QDir::toNativeSeparators(path));
}

QString UnreadableReason(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return TDataFileText::tr("soubor neexistuje");
    if (info.isDir())
        return TDataFileText::tr("je to složka");
    if (!info.isReadable())
        return TDataFileText::tr("chybí oprávnění ke čtení");
    return TDataFileText::tr("soubor nelze číst");
}
