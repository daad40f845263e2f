// JPEG pictures (the about box's logo) decoded with libjpeg's classic API.
// Every failure, from a missing file to a hostile header, becomes an
// `Exception` whose message names the file; libjpeg never ends the process.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Pictures wider or taller than this are refused before any pixel memory is
// taken, so a forged header cannot exhaust memory.
inline constexpr int MaxJpegSide = 8192;
// Files larger than this are refused unread.
inline constexpr qint64 MaxJpegFileSize = 64 * 1024 * 1024;

// Decodes the JPEG stream in `data`; `name` is used in error messages.
// Returns an RGB888 image. A stream that libjpeg reads only with warnings
// (cut short, damaged scan data) counts as damaged and throws as well.
QImage DecodeJpeg(const QByteArray& data, const QString& name);

// Reads and decodes the file at `path`; throws `Exception` when it is
// missing, unreadable, empty, too large or not a sound JPEG.
QImage LoadJpeg(const QString& path);
