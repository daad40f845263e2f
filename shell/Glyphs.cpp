#include "shell/Glyphs.h"

#include "shell/DataFiles.h"

#include <QPixmap>

QImage LoadGlyph(const QString& fileName)
{
    QImage glyph;
    glyph.load(DataFilePath(fileName));
    return glyph;
}

QImage GlyphCell(const QImage& glyph, int cellCount, int index)
{
    if (glyph.isNull() || cellCount < 1)
        return {};
    const int width = glyph.width() / cellCount;
    QImage cell = glyph.copy(index * width, 0, width, glyph.height()).convertToFormat(QImage::Format_ARGB32);
    const QRgb key = cell.pixel(0, cell.height() - 1);
    for (int y = 0; y < cell.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(cell.scanLine(y));
        for (int x = 0; x < cell.width(); ++x)
            if (line[x] == key)
                line[x] = qRgba(0, 0, 0, 0);
    }
    return cell;
}

QIcon GlyphIcon(const QString& fileName)
{
    const QImage glyph = LoadGlyph(fileName);
    if (glyph.isNull() || glyph.height() == 0)
        return {};
    const int cells = std::max(1, glyph.width() / glyph.height());
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(GlyphCell(glyph, cells, 0)), QIcon::Normal);
    if (cells > 1)
        icon.addPixmap(QPixmap::fromImage(GlyphCell(glyph, cells, 1)), QIcon::Disabled);
    return icon;
}
