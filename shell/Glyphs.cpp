#include "shell/Glyphs.h"

#include "shell/DataFiles.h"

#include <QFileInfo>
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

QString DenseGlyphName(const QString& fileName)
{
    const QFileInfo info(fileName);
    return info.completeBaseName() + QStringLiteral("@2x.") + info.suffix();
}

namespace {

void AddCells(QIcon& icon, const QImage& glyph, qreal ratio)
{
    const int cells = std::max(1, glyph.width() / glyph.height());
    const auto pixmap = [&](int index) {
        QPixmap cell = QPixmap::fromImage(GlyphCell(glyph, cells, index));
        cell.setDevicePixelRatio(ratio);
        return cell;
    };
    icon.addPixmap(pixmap(0), QIcon::Normal);
    if (cells > 1)
        icon.addPixmap(pixmap(1), QIcon::Disabled);
}

} // namespace

QIcon GlyphIcon(const QString& fileName)
{
    const QImage glyph = LoadGlyph(fileName);
    if (glyph.isNull() || glyph.height() == 0)
        return {};
    QIcon icon;
    AddCells(icon, glyph, 1.0);
    // A dense screen takes the drawing made for it rather than the small one
    // enlarged; without it Qt enlarges the small one.
    const QImage dense = LoadGlyph(DenseGlyphName(fileName));
    if (!dense.isNull() && dense.height() == 2 * glyph.height())
        AddCells(icon, dense, 2.0);
    return icon;
}
