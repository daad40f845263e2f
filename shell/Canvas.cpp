#include "shell/Canvas.h"

#include <QApplication>
#include <QColor>
#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <QPolygon>

#include <cmath>
#include <cstdlib>

QColor ColorToQColor(TColor color)
{
    if (IsSystemColor(color)) {
        const QPalette palette = QApplication::palette();
        switch (color) {
        case clBtnFace:
            return palette.color(QPalette::Active, QPalette::Button);
        case clBtnShadow:
            return palette.color(QPalette::Active, QPalette::Mid);
        case clBtnHighlight:
            return palette.color(QPalette::Active, QPalette::Light);
        case cl3DDkShadow:
            return palette.color(QPalette::Active, QPalette::Shadow);
        default:
            return palette.color(QPalette::Active, QPalette::Window);
        }
    }
    return QColor(GetRValue(color), GetGValue(color), GetBValue(color));
}

TColor QRgbToColor(QRgb rgb)
{
    return RGBToColor(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

TCanvas::TCanvas(QImage& image)
    : image_(image)
{
}

bool TCanvas::PenDraws() const
{
    return Pen.Style != TPenStyle::psClear;
}

QRect TCanvas::LogicalRect() const
{
    return QRect(QPoint(0, 0), image_.deviceIndependentSize().toSize());
}

int TCanvas::DeviceEdge(int logical) const
{
    // The edge QPainter's aliased fills use: halves go to the right and
    // down, so a block drawn here and a fill of the same pixels agree.
    return int(std::floor(logical * image_.devicePixelRatio() + 0.5));
}

void TCanvas::FillRect(const QRect& rect)
{
    if (Brush.Style == TBrushStyle::bsClear || image_.isNull())
        return;
    const QRect clipped = rect.intersected(LogicalRect());
    if (clipped.isEmpty())
        return;
    QPainter painter(&image_);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(clipped, ColorToQColor(Brush.Color));
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2)
{
    const int width = std::max(1, Pen.Width);
    if (PenDraws()) {
        FillRect(QRect(QPoint(x1 + width, y1 + width), QPoint(x2 - width - 1, y2 - width - 1)));
        // A wide pen stays inside the rectangle, one ring per unit of width.
        for (int ring = 0; ring < width; ++ring) {
            const int l = x1 + ring, t = y1 + ring, r = x2 - 1 - ring, b = y2 - 1 - ring;
            if (l > r || t > b)
                break;
            const QPoint corners[] = {{l, t}, {r, t}, {r, b}, {l, b}, {l, t}};
            for (int i = 0; i < 4; ++i)
                PlotLine(corners[i], corners[i + 1]);
        }
    } else {
        FillRect(QRect(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1)));
    }
}

void TCanvas::Polygon(std::span<const QPoint> points)
{
    if (points.empty() || image_.isNull())
        return;
    if (Brush.Style != TBrushStyle::bsClear) {
        QPainter painter(&image_);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.setPen(Qt::NoPen);
        painter.setBrush(ColorToQColor(Brush.Color));
        painter.drawPolygon(points.data(), int(points.size()));
    }
    if (PenDraws()) {
        for (size_t i = 0; i < points.size(); ++i)
            PlotLine(points[i], points[(i + 1) % points.size()]);
    }
    penPos_ = points.front();
}

void TCanvas::Polyline(std::span<const QPoint> points)
{
    if (points.empty())
        return;
    if (PenDraws()) {
        for (size_t i = 0; i + 1 < points.size(); ++i)
            PlotLine(points[i], points[i + 1]);
    }
    penPos_ = points.back();
}

void TCanvas::MoveTo(int x, int y)
{
    penPos_ = QPoint(x, y);
}

void TCanvas::LineTo(int x, int y)
{
    if (PenDraws())
        PlotLine(penPos_, QPoint(x, y));
    penPos_ = QPoint(x, y);
}

// Bresenham from `from` towards `to`, the end pixel left out so that joined
// segments never paint a vertex twice.
void TCanvas::PlotLine(QPoint from, QPoint to)
{
    if (Scaled()) {
        StrokeLine(from, to);
        return;
    }
    int x = from.x(), y = from.y();
    const int dx = std::abs(to.x() - x), dy = -std::abs(to.y() - y);
    const int sx = x < to.x() ? 1 : -1, sy = y < to.y() ? 1 : -1;
    int error = dx + dy;
    while (x != to.x() || y != to.y()) {
        SetPixel(x, y, Pen.Color);
        const int doubled = 2 * error;
        if (doubled >= dy) {
            error += dy;
            x += sx;
        }
        if (doubled <= dx) {
            error += dx;
            y += sy;
        }
    }
}

// The same line on a scaled image: one logical pixel wide, through the
// centres of the pixels Bresenham would set, ending on the last one before
// `to`. Square ends make a straight line cover exactly its blocks; a slant
// is stepped in device pixels instead of in blocks.
void TCanvas::StrokeLine(QPoint from, QPoint to)
{
    const int steps = std::max(std::abs(to.x() - from.x()), std::abs(to.y() - from.y()));
    if (steps == 0 || image_.isNull())
        return;
    const QColor color = ColorToQColor(Pen.Color);
    QPainter painter(&image_);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    if (steps == 1) {
        painter.fillRect(QRect(from, QSize(1, 1)), color);
        return;
    }
    QPen pen(color, 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    painter.setPen(pen);
    const QPointF start = QPointF(from) + QPointF(0.5, 0.5);
    painter.drawLine(start, start + QPointF(to - from) * (double(steps - 1) / steps));
}

void TCanvas::TextOut(int x, int y, const QString& text)
{
    if (image_.isNull())
        return;
    QPainter painter(&image_);
    painter.setFont(Font);
    const QFontMetrics metrics(Font);
    const QRect box(x, y, metrics.horizontalAdvance(text), metrics.height());
    if (Brush.Style != TBrushStyle::bsClear)
        painter.fillRect(box, ColorToQColor(Brush.Color));
    painter.setPen(ColorToQColor(FontColor));
    painter.drawText(QPoint(x, y + metrics.ascent()), text);
    penPos_ = QPoint(x + box.width(), y);
}

int TCanvas::TextWidth(const QString& text) const
{
    return QFontMetrics(Font).horizontalAdvance(text);
}

int TCanvas::TextHeight(const QString& /*text*/) const
{
    return QFontMetrics(Font).height();
}

void TCanvas::Draw(int x, int y, const QImage& bitmap)
{
    if (bitmap.isNull() || image_.isNull())
        return;
    QPainter painter(&image_);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(x, y, bitmap);
}

void TCanvas::DrawTransparent(int x, int y, const QImage& bitmap, TColor keyColor)
{
    if (bitmap.isNull() || image_.isNull())
        return;
    QImage source = bitmap.convertToFormat(QImage::Format_RGB32);
    // A picture of another resolution is brought to this one pixel by pixel,
    // without blending, so that the key colour stays exact.
    const qreal ratio = image_.devicePixelRatio();
    if (source.devicePixelRatio() != ratio) {
        const QSizeF logical = source.deviceIndependentSize();
        source = source.scaled((logical * ratio).toSize(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    const int left = DeviceEdge(x), top = DeviceEdge(y);
    for (int row = 0; row < source.height(); ++row) {
        const int targetY = top + row;
        if (targetY < 0 || targetY >= image_.height())
            continue;
        const auto* line = reinterpret_cast<const QRgb*>(source.constScanLine(row));
        for (int column = 0; column < source.width(); ++column) {
            const int targetX = left + column;
            const TColor color = QRgbToColor(line[column]);
            if (color != keyColor && targetX >= 0 && targetX < image_.width())
                image_.setPixel(targetX, targetY, ColorToQColor(color).rgb());
        }
    }
}

void TCanvas::SetPixel(int x, int y, TColor color)
{
    const QRgb rgb = ColorToQColor(color).rgb();
    if (!Scaled()) {
        if (x < 0 || y < 0 || x >= image_.width() || y >= image_.height())
            return;
        image_.setPixel(x, y, rgb);
        return;
    }
    const int right = std::min(DeviceEdge(x + 1), image_.width());
    const int bottom = std::min(DeviceEdge(y + 1), image_.height());
    for (int row = std::max(DeviceEdge(y), 0); row < bottom; ++row)
        for (int column = std::max(DeviceEdge(x), 0); column < right; ++column)
            image_.setPixel(column, row, rgb);
}

TColor TCanvas::Pixel(int x, int y) const
{
    const int column = DeviceEdge(x), row = DeviceEdge(y);
    if (x < 0 || y < 0 || column >= image_.width() || row >= image_.height())
        return clBlack;
    return QRgbToColor(image_.pixel(column, row));
}

QImage DeviceImage(QSize size, qreal ratio, QImage::Format format)
{
    if (ratio <= 0 || ratio == 1.0)
        return QImage(size, format);
    QImage image(int(std::ceil(size.width() * ratio)), int(std::ceil(size.height() * ratio)), format);
    image.setDevicePixelRatio(ratio);
    return image;
}

void DrawBevelFrame(TCanvas& canvas, QRect& rect, TColor topLeft, TColor bottomRight, int thickness)
{
    // rect is [left, right) x [top, bottom); QRect's right() is inclusive.
    int left = rect.left(), top = rect.top();
    int right = rect.left() + rect.width() - 1, bottom = rect.top() + rect.height() - 1;
    const TPen saved = canvas.Pen;
    canvas.Pen.Width = 1;
    canvas.Pen.Style = TPenStyle::psSolid;
    for (int ring = 0; ring < thickness && left <= right && top <= bottom; ++ring) {
        canvas.Pen.Color = topLeft;
        canvas.MoveTo(left, bottom);
        canvas.LineTo(left, top);
        canvas.LineTo(right, top);
        canvas.Pen.Color = bottomRight;
        canvas.LineTo(right, bottom);
        canvas.LineTo(left - 1, bottom);
        ++left, ++top, --right, --bottom;
    }
    canvas.Pen = saved;
    rect = QRect(QPoint(left, top), QPoint(right, bottom));
}
