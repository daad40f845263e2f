// Where the program finds its data files (effects, music, pictures, help):
// beside the executable first, which is where the build puts them, then in
// ../share/zelvon beside it, the installed layout.
#pragma once

#include <QString>
#include <QStringList>

// Full path of a data file. When no folder holds it, the path it would have
// beside the executable, so that an error message names a sensible place.
QString DataFilePath(const QString& name);

// The folders searched, in order.
QStringList DataDirectories();

// Tests point the search elsewhere; an empty list restores the default.
void SetDataDirectories(const QStringList& directories);

// For the players' messages, in Czech: a path as the desktop writes it, in
// quotes, and why a file cannot be opened for reading.
QString QuotedPath(const QString& path);
QString UnreadableReason(const QString& path);
