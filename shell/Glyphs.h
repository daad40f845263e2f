// Button pictures: strips of square cells (normal, then disabled) whose
// bottom-left pixel names the colour that is left out.
#pragma once

#include <QIcon>
#include <QImage>
#include <QString>

// The picture file from the data folder, or a null image when it is missing
// or unreadable (buttons then simply show no picture).
QImage LoadGlyph(const QString& fileName);

// The cell at `index` with its key colour made transparent.
QImage GlyphCell(const QImage& glyph, int cellCount, int index);

// The file of the same picture drawn at twice the density: "name@2x.png".
QString DenseGlyphName(const QString& fileName);

// An icon with the first cell as its normal and the second (if any) as its
// disabled look; with the dense file's cells beside them for screens of
// device pixel ratio 2 where that file exists.
QIcon GlyphIcon(const QString& fileName);
