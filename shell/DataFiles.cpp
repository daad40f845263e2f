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
