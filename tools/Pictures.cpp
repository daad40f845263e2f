// Drawing code of the generated pictures. Everything is drawn with QPainter on
// our own geometry; output is deterministic (no clock, no global random
// state) so a rebuild gives the same files.
#include "tools/Pictures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QRadialGradient>
#include <QTransform>

#include <array>
#include <cmath>
#include <functional>
#include <numbers>
#include <utility>
#include <vector>

namespace {

// ---------------------------------------------------------------- helpers

QString BoldFamily()
{
    // The generator runs on build machines whose default font is unknown;
    // DejaVu ships with Debian and has every Czech letter.
    static const QString family = [] {
        const int id = QFontDatabase::addApplicationFont("/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf");
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        return families.isEmpty() ? QString("DejaVu Sans") : families.first();
    }();
    return family;
}

QPainterPath TextPath(const QString& text, int pixelSize)
{
    QFont font(BoldFamily());
    font.setBold(true);
    font.setPixelSize(pixelSize);
    QPainterPath path;
    path.addText(0, 0, font, text);
    return path;
}

QImage Transparent(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QColor Mix(const QColor& a, const QColor& b, double t)
{
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t), float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t), float(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

QColor WithAlpha(QColor color, int alpha)
{
    color.setAlpha(alpha);
    return color;
}

// A small fixed-sequence generator: the scattered decorations come out the
// same on every build.
class TScatter {
public:
    explicit TScatter(std::uint32_t seed) : state_(seed) {}
    double Unit()
    {
        state_ = state_ * 1664525u + 1013904223u;
        return double(state_ >> 8) / double(1u << 24);
    }
    double Range(double low, double high) { return low + (high - low) * Unit(); }

private:
    std::uint32_t state_;
};

// A board cell as the hex map paints it: flat polygon in the line colour,
// then a white inner edge on the upper left and a black one on the lower
// right, one pixel inside the outline.
void PaintBoardCell(QPainter& painter, const THexGeometry& geometry, TPoint cell, QColor fill)
{
    const TPoint c = geometry.ConvertPoint(cell, cpCellToPixel);
    const int r = geometry.HexRadius, h = geometry.HexHalfHeight;
    const QPoint tl(c.X - r / 2, c.Y - h), tr(c.X + r / 2, c.Y - h), rt(c.X + r, c.Y);
    const QPoint br(c.X + r / 2, c.Y + h), bl(c.X - r / 2, c.Y + h), lt(c.X - r, c.Y);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(fill);
    const std::array outline{tl, tr, rt, br, bl, lt};
    painter.drawPolygon(outline.data(), int(outline.size()));
    painter.setPen(QPen(Qt::white, 0));
    const std::array light{bl + QPoint(1, -1), lt + QPoint(1, 0), tl + QPoint(1, 1), tr + QPoint(-1, 1)};
    painter.drawPolyline(light.data(), int(light.size()));
    painter.setPen(QPen(Qt::black, 0));
    const std::array dark{tr + QPoint(-1, 1), rt + QPoint(-1, 0), br + QPoint(-1, -1), bl + QPoint(1, -1)};
    painter.drawPolyline(dark.data(), int(dark.size()));
    painter.restore();
}

using TCellColour = std::function<QColor(TPoint)>;

// A whole board on the game's teal, cells row by row like the hex map.
QImage PaintBoard(const THexGeometry& geometry, const TCellColour& colourOf)
{
    QImage image(geometry.ControlWidth(), geometry.ControlHeight(), QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(0, 128, 128));
    QPainter painter(&image);
    for (int row = 1; row <= geometry.HexRows; ++row)
        for (int column = 1; column <= geometry.HexColumns; ++column)
            PaintBoardCell(painter, geometry, {column, row}, colourOf({column, row}));
    return image;
}

const QColor BoardGray(128, 128, 128);
const QColor BoardRed(255, 0, 0);
const QColor BoardBlue(0, 0, 255);
const QColor BoardFuchsia(255, 0, 255);

THexGeometry Geometry(int columns, int rows, int radius)
{
    return {columns, rows, radius, HalfHeightOf(radius)};
}

// ---------------------------------------------------------------- podium

struct TPodiumStyle {
    QColor PlateLeft, PlateRight;
    QColor Name, NameShade;
    QColor Outcome, OutcomeShade;
    QString OutcomeText;
    bool Festive;
};

// The words on the plate; the English ones are those of the English
// interface's podium window.
QString OutcomeText(int outcome, bool english)
{
    static const char* const czech[] = {"Vyrovnaná hra", "Modrý zvítězil", "Červený zvítězil"};
    static const char* const inEnglish[] = {"A drawn game", "Blue has won", "Red has won"};
    return QString::fromUtf8((english ? inEnglish : czech)[outcome]);
}

TPodiumStyle PodiumStyle(int outcome, bool english)
{
    const QColor plateRed(205, 22, 22), plateBlue(22, 52, 215);
    const QColor green(40, 205, 50), greenShade(0, 55, 0);
    const QColor silver(192, 192, 192), silverShade(20, 20, 28);
    switch (outcome) {
    case 1:
        return {plateBlue, plateBlue, green, greenShade, silver, silverShade, OutcomeText(1, english), true};
    case 2:
        return {plateRed, plateRed, green, greenShade, silver, silverShade, OutcomeText(2, english), true};
    default:
        return {plateRed, plateBlue, QColor(0, 0, 0), QColor(255, 255, 255, 120), QColor(128, 0, 0),
                QColor(255, 225, 225, 150), OutcomeText(0, english), false};
    }
}

// The plate is a regular hexagon lying flat, seen from slightly above: u runs
// across it in units of its corner radius, v from its back (-1) to its front
// (+1) edge. The front appears a little wider and lower than the back.
constexpr double PlateCentreX = 160, PlateCentreY = 88, PlateRadius = 142, PlateDepth = 54, PlateThickness = 22;

QPointF PlatePoint(double u, double v)
{
    const double nearer = 1.0 + 0.07 * v;
    return {PlateCentreX + u * PlateRadius * nearer, PlateCentreY + v * PlateDepth * (1.0 + 0.05 * v)};
}

QPointF Below(QPointF point, double v)
{
    return point + QPointF(0, PlateThickness * (1.0 + 0.07 * v));
}

// Corners in drawing order: left, back-left, back-right, right, front-right, front-left.
std::array<std::pair<double, double>, 6> PlateCorners()
{
    return {{{-1, 0}, {-0.5, -1}, {0.5, -1}, {1, 0}, {0.5, 1}, {-0.5, 1}}};
}

QPolygonF PlateTop()
{
    QPolygonF polygon;
    for (const auto& [u, v] : PlateCorners())
        polygon << PlatePoint(u, v);
    return polygon;
}

QPolygonF PlateSide(int from, int to)
{
    const auto corners = PlateCorners();
    const auto [u0, v0] = corners[std::size_t(from)];
    const auto [u1, v1] = corners[std::size_t(to)];
    const QPointF a = PlatePoint(u0, v0), b = PlatePoint(u1, v1);
    return QPolygonF{} << a << b << Below(b, v1) << Below(a, v0);
}

QPainterPath PlateSilhouette()
{
    QPainterPath path;
    path.addPolygon(PlateTop());
    for (const auto& [from, to] : {std::pair{3, 4}, std::pair{4, 5}, std::pair{5, 0}})
        path.addPolygon(PlateSide(from, to));
    return path.simplified();
}

QLinearGradient PlateAcross(const TPodiumStyle& style, double darken)
{
    QLinearGradient gradient(PlatePoint(-1, 0), PlatePoint(1, 0));
    gradient.setColorAt(0, Mix(style.PlateLeft, Qt::black, darken));
    gradient.setColorAt(1, Mix(style.PlateRight, Qt::black, darken));
    return gradient;
}

void PaintPodiumGlow(QPainter& painter, const TPodiumStyle& style)
{
    // A coloured halo under the plate, as if it stood lit on a dark stage.
    QImage layer = Transparent(PodiumWidth, PodiumHeight);
    {
        QPainter glow(&layer);
        glow.setRenderHint(QPainter::Antialiasing);
        QLinearGradient across(0, 0, PodiumWidth, 0);
        across.setColorAt(0.15, style.PlateLeft);
        across.setColorAt(0.85, style.PlateRight);
        glow.fillRect(layer.rect(), across);
        glow.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        QRadialGradient falloff(PlateCentreX, PlateCentreY + 40, 175);
        falloff.setColorAt(0, QColor(0, 0, 0, 150));
        falloff.setColorAt(0.55, QColor(0, 0, 0, 45));
        falloff.setColorAt(1, QColor(0, 0, 0, 0));
        glow.setTransform(QTransform().translate(PlateCentreX, PlateCentreY + 40).scale(1, 0.42).translate(-PlateCentreX, -PlateCentreY - 40));
        glow.fillRect(QRectF(-200, -400, 800, 1200), falloff);
    }
    painter.drawImage(0, 0, layer);
}

void PaintSparkle(QPainter& painter, QPointF centre, double size, const QColor& colour)
{
    QPainterPath star;
    const double thin = size * 0.22;
    star.moveTo(centre + QPointF(0, -size));
    star.quadTo(centre + QPointF(thin, -thin), centre + QPointF(size, 0));
    star.quadTo(centre + QPointF(thin, thin), centre + QPointF(0, size));
    star.quadTo(centre + QPointF(-thin, thin), centre + QPointF(-size, 0));
    star.quadTo(centre + QPointF(-thin, -thin), centre + QPointF(0, -size));
    QRadialGradient halo(centre, size * 1.6);
    halo.setColorAt(0, WithAlpha(colour, 90));
    halo.setColorAt(1, WithAlpha(colour, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(halo);
    painter.drawEllipse(centre, size * 1.6, size * 1.6);
    painter.setBrush(colour);
    painter.drawPath(star);
}

void PaintCelebration(QPainter& painter, std::uint32_t seed)
{
    // Sparkles and confetti on the dark stage around the plate, never on it.
    const QPainterPath keepClear = [] {
        QPainterPathStroker margin;
        margin.setWidth(22);
        const QPainterPath plate = PlateSilhouette();
        return plate.united(margin.createStroke(plate));
    }();
    const std::array<QColor, 5> confetti{QColor(255, 215, 60), QColor(230, 230, 235), QColor(255, 90, 90),
                                         QColor(90, 150, 255), QColor(120, 230, 120)};
    TScatter scatter(seed);
    int placed = 0;
    for (int attempt = 0; attempt < 400 && placed < 34; ++attempt) {
        const QPointF at(scatter.Range(6, PodiumWidth - 6), scatter.Range(5, PodiumHeight - 5));
        const double kind = scatter.Unit();
        const double size = scatter.Range(1.5, 4.5);
        const QColor colour = confetti[std::size_t(scatter.Unit() * confetti.size()) % confetti.size()];
        const double turn = scatter.Range(0, 180);
        if (keepClear.contains(at))
            continue;
        ++placed;
        if (kind < 0.35) {
            PaintSparkle(painter, at, size + 1.5, QColor(255, 240, 190));
        } else {
            painter.save();
            painter.translate(at);
            painter.rotate(turn);
            painter.setPen(Qt::NoPen);
            painter.setBrush(colour);
            painter.drawRect(QRectF(-size, -size * 0.4, 2 * size, size * 0.8));
            painter.restore();
        }
    }
}

void PaintPlate(QPainter& painter, const TPodiumStyle& style)
{
    painter.setPen(Qt::NoPen);
    // Side faces: light comes from above and a little from the left.
    const std::array<std::pair<std::pair<int, int>, double>, 3> sides{{{{5, 0}, 0.52}, {{4, 5}, 0.40}, {{3, 4}, 0.62}}};
    for (const auto& [edge, darken] : sides) {
        const QPolygonF face = PlateSide(edge.first, edge.second);
        painter.setBrush(PlateAcross(style, darken));
        painter.drawPolygon(face);
        QLinearGradient depth(face.boundingRect().topLeft(), face.boundingRect().bottomLeft());
        depth.setColorAt(0, QColor(255, 255, 255, 25));
        depth.setColorAt(1, QColor(0, 0, 0, 90));
        painter.setBrush(depth);
        painter.drawPolygon(face);
    }

    const QPolygonF top = PlateTop();
    painter.setBrush(PlateAcross(style, 0));
    painter.drawPolygon(top);
    const QRectF bounds = top.boundingRect();
    QLinearGradient light(bounds.topLeft(), bounds.bottomLeft());
    light.setColorAt(0, QColor(255, 255, 255, 95));
    light.setColorAt(0.45, QColor(255, 255, 255, 15));
    light.setColorAt(1, QColor(0, 0, 0, 55));
    painter.setBrush(light);
    painter.drawPolygon(top);
    QRadialGradient sheen(PlatePoint(-0.3, -0.55), 110);
    sheen.setColorAt(0, QColor(255, 255, 255, 60));
    sheen.setColorAt(1, QColor(255, 255, 255, 0));
    painter.setBrush(sheen);
    painter.drawPolygon(top);

    // A bevel just inside the rim makes the top read as a raised tile: the
    // faces turned to the light brighten, the others fall into shade.
    const QPolygonF inner = [&] {
        QPolygonF inset;
        for (const auto& [u, v] : PlateCorners())
            inset << PlatePoint(u * 0.94, v * 0.86);
        return inset;
    }();
    const std::array<int, 6> bevelLight{70, 95, 80, 0, 0, 0};
    const std::array<int, 6> bevelShade{0, 0, 0, 60, 45, 30};
    for (int edge = 0; edge < 6; ++edge) {
        const int next = (edge + 1) % 6;
        const QPolygonF band{top[edge], top[next], inner[next], inner[edge]};
        painter.setBrush(bevelLight[std::size_t(edge)] ? QColor(255, 255, 255, bevelLight[std::size_t(edge)])
                                                       : QColor(0, 0, 0, bevelShade[std::size_t(edge)]));
        painter.drawPolygon(band);
    }

    // Edges catch the light: bright along the front rim, softer at the back.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255, 110), 1.0));
    painter.drawPolyline(QPolygonF{} << top[0] << top[1] << top[2] << top[3]);
    painter.setPen(QPen(QColor(255, 255, 255, 170), 1.4));
    painter.drawPolyline(QPolygonF{} << top[3] << top[4] << top[5] << top[0]);
    painter.setPen(QPen(QColor(0, 0, 0, 120), 1.0));
    painter.drawLine(top[4], Below(top[4], 1));
    painter.drawLine(top[5], Below(top[5], 1));
}

// Lays text flat on the plate: the path is fitted into a box of the given
// height in pixels, centred across the plate with its top at depth v, and
// mapped through the plate's perspective.
QPainterPath OnPlate(const QPainterPath& text, double v, double height, double maxWidth)
{
    const QRectF bounds = text.boundingRect();
    const double scale = std::min(height / bounds.height(), maxWidth / bounds.width());
    const double halfU = bounds.width() * scale / 2 / PlateRadius;
    const double depth = bounds.height() * scale / PlateDepth;
    const QPolygonF from{bounds.topLeft(), bounds.topRight(), bounds.bottomRight(), bounds.bottomLeft()};
    const QPolygonF to{PlatePoint(-halfU, v), PlatePoint(halfU, v), PlatePoint(halfU, v + depth),
                       PlatePoint(-halfU, v + depth)};
    QTransform transform;
    QTransform::quadToQuad(from, to, transform);
    return transform.map(text);
}

void PaintRaisedText(QPainter& painter, const QPainterPath& text, const QColor& face, const QColor& shade, double lift)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(shade);
    for (double step = lift; step > 0; step -= 0.5)
        painter.drawPath(text.translated(step * 0.4, step));
    const QRectF bounds = text.boundingRect();
    QLinearGradient gradient(bounds.topLeft(), bounds.bottomLeft());
    gradient.setColorAt(0, face.lighter(125));
    gradient.setColorAt(1, face.darker(115));
    painter.setBrush(face == QColor(Qt::black) ? QBrush(face) : QBrush(gradient));
    painter.drawPath(text);
}

} // namespace

QImage DrawPodiumPicture(int outcome, bool english)
{
    const TPodiumStyle style = PodiumStyle(outcome, english);
    QImage image(PodiumWidth, PodiumHeight, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    PaintPodiumGlow(painter, style);
    if (style.Festive)
        PaintCelebration(painter, 0x5EED0000u + std::uint32_t(outcome));
    PaintPlate(painter, style);

    const QPainterPath name = OnPlate(TextPath("ZELVON", 64), -0.6, 36, 172);
    PaintRaisedText(painter, name, style.Name, style.NameShade, style.Festive ? 2.5 : 1.5);
    const QPainterPath outcomeText = OnPlate(TextPath(style.OutcomeText, 40), 0.18, 21, 188);
    PaintRaisedText(painter, outcomeText, style.Outcome, style.OutcomeShade, 1.5);
    return image;
}

QImage DrawPodiumStrip(bool english)
{
    QImage strip(PodiumWidth * PodiumOutcomes, PodiumHeight, QImage::Format_RGB32);
    QPainter painter(&strip);
    for (int outcome = 0; outcome < PodiumOutcomes; ++outcome)
        painter.drawImage(outcome * PodiumWidth, 0, DrawPodiumPicture(outcome, english));
    return strip;
}

// ---------------------------------------------------------------- glyphs

namespace {

// Antialiased edges are blended with a button's face colour and then cut
// hard against the key: keyed pictures have no partial transparency.
QImage KeyedCell(const QImage& drawing, QRgb key)
{
    const QImage plain = drawing.convertToFormat(QImage::Format_ARGB32);
    const QColor face(212, 208, 200);
    QImage cell(plain.size(), QImage::Format_RGB32);
    for (int y = 0; y < plain.height(); ++y) {
        for (int x = 0; x < plain.width(); ++x) {
            const QRgb pixel = plain.pixel(x, y);
            const int alpha = qAlpha(pixel);
            QRgb result = key;
            if (alpha >= 100) {
                const auto blend = [&](int colour, int background) { return (colour * alpha + background * (255 - alpha)) / 255; };
                result = qRgb(blend(qRed(pixel), face.red()), blend(qGreen(pixel), face.green()), blend(qBlue(pixel), face.blue()));
                if (result == key) // the key must mean transparent and nothing else
                    result = qRgb(qRed(key), qGreen(key), qBlue(key) ^ 1);
            }
            cell.setPixel(x, y, result);
        }
    }
    cell.setPixel(0, cell.height() - 1, key);
    return cell;
}

// The disabled look: lighter, flatter greys of the same drawing.
QImage GreyRendition(const QImage& cell, QRgb key)
{
    QImage grey = cell.copy();
    for (int y = 0; y < grey.height(); ++y) {
        for (int x = 0; x < grey.width(); ++x) {
            const QRgb pixel = grey.pixel(x, y);
            if (pixel == key)
                continue;
            const int level = 80 + qGray(pixel) * 140 / 255;
            grey.setPixel(x, y, qRgb(level, level, level));
        }
    }
    return grey;
}

QImage SideBySide(const QImage& left, const QImage& right)
{
    QImage both(left.width() + right.width(), left.height(), QImage::Format_RGB32);
    QPainter painter(&both);
    painter.drawImage(0, 0, left);
    painter.drawImage(left.width(), 0, right);
    return both;
}

using TGlyphPainter = void (*)(QPainter&);

QImage PaintGlyph(TGlyphPainter paint, int scale = 1)
{
    QImage drawing = Transparent(GlyphSize * scale, GlyphSize * scale);
    QPainter painter(&drawing);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(scale, scale);
    paint(painter);
    return drawing;
}

void PaintTick(QPainter& painter)
{
    QPainterPath tick;
    tick.moveTo(2.6, 8.4);
    tick.lineTo(6.2, 11.8);
    tick.lineTo(13.4, 3.4);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(110, 0, 0), 4.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(tick);
    painter.setPen(QPen(QColor(232, 28, 28), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(tick);
    painter.setPen(QPen(QColor(255, 150, 140), 0.9, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(6.4, 10.9), QPointF(12.9, 3.3));
}

void PaintProhibition(QPainter& painter)
{
    const QPointF centre(8, 8);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(110, 0, 0));
    painter.drawEllipse(centre, 7.3, 7.3);
    painter.setBrush(QColor(225, 30, 30));
    painter.drawEllipse(centre, 6.5, 6.5);
    painter.setBrush(Qt::white);
    painter.drawEllipse(centre, 4.2, 4.2);
    QPainterPath inside;
    inside.addEllipse(centre, 4.6, 4.6);
    painter.setClipPath(inside);
    painter.setPen(QPen(QColor(225, 30, 30), 2.6, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QPointF(3, 3), QPointF(13, 13));
}

void PaintQuestion(QPainter& painter)
{
    const QPointF centre(8, 8);
    QRadialGradient ball(5.5, 5, 9);
    ball.setColorAt(0, QColor(120, 175, 255));
    ball.setColorAt(1, QColor(10, 45, 175));
    painter.setPen(QPen(QColor(0, 25, 95), 1.0));
    painter.setBrush(ball);
    painter.drawEllipse(centre, 6.9, 6.9);
    QPainterPath mark = TextPath("?", 12);
    const QRectF bounds = mark.boundingRect();
    mark.translate(centre - bounds.center());
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawPath(mark);
}

void PaintGear(QPainter& painter)
{
    const QPointF centre(8, 8);
    constexpr int teeth = 8;
    QPolygonF outline;
    for (int tooth = 0; tooth < teeth; ++tooth) {
        const double middle = tooth * 2 * std::numbers::pi / teeth;
        for (const auto& [offset, radius] : {std::pair{-0.36, 5.2}, std::pair{-0.2, 7.4}, std::pair{0.2, 7.4}, std::pair{0.36, 5.2}})
            outline << centre + QPointF(std::cos(middle + offset) * radius, std::sin(middle + offset) * radius);
    }
    QPainterPath gear;
    gear.addPolygon(outline);
    gear.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(centre, 2.1, 2.1);
    gear = gear.subtracted(hole);
    QLinearGradient metal(2, 1, 14, 15);
    metal.setColorAt(0, QColor(205, 215, 235));
    metal.setColorAt(1, QColor(70, 85, 125));
    painter.setPen(QPen(QColor(30, 35, 60), 0.9));
    painter.setBrush(metal);
    painter.drawPath(gear);
}

void PaintPower(QPainter& painter)
{
    QPainterPath ring;
    const QRectF circle(2.6, 3.2, 10.8, 10.8);
    ring.arcMoveTo(circle, 120);
    ring.arcTo(circle, 120, 300);
    QPainterPath bar;
    bar.moveTo(8, 1.8);
    bar.lineTo(8, 8.2);
    for (const auto& [colour, width] : {std::pair{QColor(100, 0, 0), 3.9}, std::pair{QColor(228, 36, 36), 2.2}}) {
        painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(ring);
        painter.drawPath(bar);
    }
}

TGlyphPainter GlyphPainter(TGlyphDesign design)
{
    switch (design) {
    case TGlyphDesign::gdHelp:
        return PaintQuestion;
    case TGlyphDesign::gdSetup:
        return PaintGear;
    case TGlyphDesign::gdQuit:
        return PaintPower;
    case TGlyphDesign::gdOk:
        return PaintTick;
    case TGlyphDesign::gdCancel:
        return PaintProhibition;
    }
    return PaintTick;
}

} // namespace

QImage DrawButtonGlyph(TGlyphDesign design, int scale)
{
    const QImage normal = KeyedCell(PaintGlyph(GlyphPainter(design), scale), GlyphKeyColor);
    return SideBySide(normal, GreyRendition(normal, GlyphKeyColor));
}

namespace {

// The about box's button greys its first cell itself, weighting red 11, green
// 59 and blue 30, and keys the grey picture by the key colour's grey: a tick
// pixel of that same grey would show as a hole.
int ButtonGrey(QRgb pixel)
{
    return (11 * qRed(pixel) + 59 * qGreen(pixel) + 30 * qBlue(pixel)) / 100;
}

void KeepVisibleWhenGreyed(QImage& cell, QRgb key)
{
    for (int y = 0; y < cell.height(); ++y) {
        for (int x = 0; x < cell.width(); ++x) {
            QRgb pixel = cell.pixel(x, y);
            if (pixel == key)
                continue;
            while (ButtonGrey(pixel) == ButtonGrey(key))
                pixel = qRgb(qRed(pixel), qGreen(pixel) < 254 ? qGreen(pixel) + 2 : 0, qBlue(pixel));
            cell.setPixel(x, y, pixel);
        }
    }
}

} // namespace

QImage DrawAboutGlyph()
{
    QImage red = KeyedCell(PaintGlyph(PaintTick), AboutGlyphKeyColor);
    KeepVisibleWhenGreyed(red, AboutGlyphKeyColor);
    return SideBySide(red, GreyRendition(red, AboutGlyphKeyColor));
}

// ---------------------------------------------------------------- settings dialog

QImage DrawSetupIcon()
{
    QImage image = Transparent(SetupIconSize, SetupIconSize);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(16, 16);
    QRadialGradient disc(11, 9, 20);
    disc.setColorAt(0, QColor(92, 96, 122));
    disc.setColorAt(0.6, QColor(28, 30, 46));
    disc.setColorAt(1, QColor(6, 6, 12));
    painter.setPen(QPen(QColor(0, 0, 0), 1.0));
    painter.setBrush(disc);
    painter.drawEllipse(centre, 15, 15);

    QPainterPath cross;
    cross.moveTo(9.5, 9.5);
    cross.lineTo(22.5, 22.5);
    cross.moveTo(22.5, 9.5);
    cross.lineTo(9.5, 22.5);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(120, 70, 0), 7.6, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter.drawPath(cross);
    QLinearGradient gold(9, 9, 23, 23);
    gold.setColorAt(0, QColor(255, 248, 150));
    gold.setColorAt(0.5, QColor(255, 214, 0));
    gold.setColorAt(1, QColor(232, 160, 0));
    painter.setPen(QPen(QBrush(gold), 5.4, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter.drawPath(cross);
    return image;
}

namespace {

const THexGeometry AnimationBoard = Geometry(4, 4, 6);
constexpr QPoint AnimationBoardOffset(5, 2);

QColor AnimationCell(TPoint cell)
{
    if (cell == TPoint{1, 1} || cell == TPoint{2, 1} || cell == TPoint{1, 2} || cell == TPoint{2, 3})
        return BoardRed;
    if (cell == TPoint{4, 4} || cell == TPoint{3, 4} || cell == TPoint{4, 2})
        return BoardBlue;
    return BoardGray;
}

} // namespace

QImage DrawSetupAnimationFrame(int frame)
{
    static const QImage board = PaintBoard(AnimationBoard, AnimationCell);
    // Only the cells, not the teal around them: the frame sits on the dialog.
    QImage cells = Transparent(board.width(), board.height());
    {
        QPainter clip(&cells);
        QPainterPath shape;
        for (int row = 1; row <= AnimationBoard.HexRows; ++row) {
            for (int column = 1; column <= AnimationBoard.HexColumns; ++column) {
                const TPoint c = AnimationBoard.ConvertPoint({column, row}, cpCellToPixel);
                const int r = AnimationBoard.HexRadius, h = AnimationBoard.HexHalfHeight;
                shape.addPolygon(QPolygonF{} << QPointF(c.X - r / 2, c.Y - h) << QPointF(c.X + r / 2 + 1, c.Y - h)
                                             << QPointF(c.X + r + 1, c.Y) << QPointF(c.X + r / 2 + 1, c.Y + h + 1)
                                             << QPointF(c.X - r / 2, c.Y + h + 1) << QPointF(c.X - r, c.Y));
                shape.closeSubpath();
            }
        }
        clip.setClipPath(shape.simplified());
        clip.drawImage(0, 0, board);
    }

    QImage image = Transparent(SetupAnimationFrameSize, SetupAnimationFrameSize);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.drawImage(AnimationBoardOffset, cells);

    // The glass circles the board once per loop, clockwise from the right.
    const double angle = (frame % SetupAnimationFrames) * 2 * std::numbers::pi / SetupAnimationFrames;
    const QPointF lens(20 + 7 * std::cos(angle), 19 + 7 * std::sin(angle));
    constexpr double lensRadius = 9.5;

    const QPointF handleFrom = lens + QPointF(lensRadius + 0.5, lensRadius + 0.5) / std::numbers::sqrt2;
    const QPointF handleTo = handleFrom + QPointF(9, 9);
    painter.setPen(QPen(QColor(40, 20, 5), 5.2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(handleFrom, handleTo);
    painter.setPen(QPen(QColor(150, 88, 34), 3.2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(handleFrom, handleTo);

    painter.save();
    QPainterPath glass;
    glass.addEllipse(lens, lensRadius, lensRadius);
    painter.setClipPath(glass);
    painter.fillPath(glass, QColor(225, 240, 255, 150));
    painter.translate(lens);
    painter.scale(2.0, 2.0);
    painter.translate(-lens);
    painter.drawImage(AnimationBoardOffset, cells);
    painter.restore();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255, 170), 1.6, Qt::SolidLine, Qt::RoundCap));
    painter.drawArc(QRectF(lens.x() - lensRadius + 2.5, lens.y() - lensRadius + 2.5, 2 * lensRadius - 5, 2 * lensRadius - 5),
                    100 * 16, 70 * 16);
    painter.setPen(QPen(QColor(45, 48, 58), 2.2));
    painter.drawEllipse(lens, lensRadius, lensRadius);
    return image;
}

QImage DrawSetupAnimation()
{
    QImage strip = Transparent(SetupAnimationFrameSize * SetupAnimationFrames, SetupAnimationFrameSize);
    QPainter painter(&strip);
    for (int frame = 0; frame < SetupAnimationFrames; ++frame)
        painter.drawImage(frame * SetupAnimationFrameSize, 0, DrawSetupAnimationFrame(frame));
    return strip;
}

// ---------------------------------------------------------------- application icon

namespace {

// The icon's design on a 48-unit square: a grey cell ringed by three red and
// three blue ones, flat-topped like the board's.
constexpr double IconUnits = 48;
constexpr double IconCellRadius = 8.6;
constexpr double IconDrawnRadius = 7.9;

struct TIconCell {
    QPointF Centre;
    const char* Gradient; // id of its fill in the vector version
};

struct TIconFill {
    const char* Id;
    QColor Light, Dark;
};

const std::array<TIconFill, 3> IconFills{{
    {"red", QColor(255, 118, 100), QColor(165, 0, 0)},
    {"blue", QColor(110, 150, 255), QColor(0, 20, 160)},
    {"grey", QColor(200, 200, 200), QColor(110, 110, 110)},
}};

std::array<TIconCell, 7> IconCells()
{
    const double h = IconCellRadius * std::numbers::sqrt3 / 2;
    const double step = IconCellRadius * 1.5;
    const QPointF c(IconUnits / 2, IconUnits / 2);
    return {{
        {c, "grey"},
        {c + QPointF(0, -2 * h), "red"},
        {c + QPointF(-step, -h), "red"},
        {c + QPointF(-step, h), "red"},
        {c + QPointF(0, 2 * h), "blue"},
        {c + QPointF(step, h), "blue"},
        {c + QPointF(step, -h), "blue"},
    }};
}

// Corners from the left one, clockwise.
QPolygonF IconHexagon(QPointF centre)
{
    const double r = IconDrawnRadius, h = IconDrawnRadius * std::numbers::sqrt3 / 2;
    return QPolygonF{} << centre + QPointF(-r, 0) << centre + QPointF(-r / 2, -h) << centre + QPointF(r / 2, -h)
                       << centre + QPointF(r, 0) << centre + QPointF(r / 2, h) << centre + QPointF(-r / 2, h);
}

// The lit upper-left edges, drawn just inside the outline.
QPolygonF IconHighlight(QPointF centre)
{
    const double r = IconDrawnRadius - 1.3, h = r * std::numbers::sqrt3 / 2;
    return QPolygonF{} << centre + QPointF(-r / 2, h) << centre + QPointF(-r, 0) << centre + QPointF(-r / 2, -h)
                       << centre + QPointF(r / 2, -h);
}

const TIconFill& IconFill(const char* id)
{
    for (const TIconFill& fill : IconFills)
        if (QByteArray(fill.Id) == id)
            return fill;
    return IconFills.back();
}

QString SvgPoints(const QPolygonF& polygon)
{
    QStringList points;
    for (const QPointF& point : polygon)
        points << QString::number(point.x(), 'f', 2) + "," + QString::number(point.y(), 'f', 2);
    return points.join(' ');
}

} // namespace

QImage DrawAppIcon(int size)
{
    QImage image = Transparent(size, size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / IconUnits, size / IconUnits);
    for (const TIconCell& cell : IconCells()) {
        const TIconFill& fill = IconFill(cell.Gradient);
        const QPolygonF hexagon = IconHexagon(cell.Centre);
        QLinearGradient gradient(0, 0, 0, 1);
        gradient.setCoordinateMode(QGradient::ObjectBoundingMode);
        gradient.setColorAt(0, fill.Light);
        gradient.setColorAt(1, fill.Dark);
        painter.setPen(QPen(QColor(26, 26, 26), 1.0, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
        painter.setBrush(gradient);
        painter.drawPolygon(hexagon);
        painter.setPen(QPen(QColor(255, 255, 255, 128), 0.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        painter.drawPolyline(IconHighlight(cell.Centre));
    }
    return image;
}

QString AppIconSvg()
{
    QString svg;
    svg += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"48\" height=\"48\" viewBox=\"0 0 48 48\">\n";
    svg += "  <title>Zelvon</title>\n  <defs>\n";
    for (const TIconFill& fill : IconFills) {
        svg += QString("    <linearGradient id=\"%1\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">\n").arg(fill.Id);
        svg += QString("      <stop offset=\"0\" stop-color=\"%1\"/>\n").arg(fill.Light.name());
        svg += QString("      <stop offset=\"1\" stop-color=\"%1\"/>\n").arg(fill.Dark.name());
        svg += "    </linearGradient>\n";
    }
    svg += "  </defs>\n";
    for (const TIconCell& cell : IconCells()) {
        svg += QString("  <polygon points=\"%1\" fill=\"url(#%2)\" stroke=\"#1a1a1a\" stroke-width=\"1\" "
                       "stroke-linejoin=\"round\"/>\n")
                   .arg(SvgPoints(IconHexagon(cell.Centre)), cell.Gradient);
        svg += QString("  <polyline points=\"%1\" fill=\"none\" stroke=\"#ffffff\" stroke-opacity=\"0.5\" "
                       "stroke-width=\"0.8\" stroke-linecap=\"round\" stroke-linejoin=\"round\"/>\n")
                   .arg(SvgPoints(IconHighlight(cell.Centre)));
    }
    svg += "</svg>\n";
    return svg;
}

// ---------------------------------------------------------------- help figures

namespace {

void PaintCellDigit(QPainter& painter, const THexGeometry& geometry, TPoint cell, const QString& digit)
{
    const TPoint c = geometry.ConvertPoint(cell, cpCellToPixel);
    QPainterPath text = TextPath(digit, 14);
    text.translate(QPointF(c.X, c.Y) - text.boundingRect().center());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(30, 30, 30));
    painter.drawPath(text);
    painter.restore();
}

QColor CaptureBefore(TPoint cell)
{
    if (cell == TPoint{2, 2})
        return BoardFuchsia; // the selected piece
    if (cell == TPoint{1, 3} || cell == TPoint{1, 1})
        return BoardRed;
    if (cell == TPoint{4, 1} || cell == TPoint{4, 2} || cell == TPoint{3, 3} || cell == TPoint{5, 4} || cell == TPoint{4, 4})
        return BoardBlue;
    return BoardGray;
}

} // namespace

QImage DrawHelpBoard()
{
    const THexGeometry geometry = Geometry(7, 5, HelpRadius);
    return PaintBoard(geometry, [](TPoint cell) {
        static const std::array<TPoint, 8> red{{{1, 1}, {2, 1}, {1, 2}, {3, 2}, {2, 3}, {3, 3}, {4, 2}, {1, 4}}};
        static const std::array<TPoint, 7> blue{{{7, 5}, {6, 5}, {7, 4}, {5, 4}, {6, 3}, {5, 5}, {4, 4}}};
        for (const TPoint p : red)
            if (p == cell)
                return BoardRed;
        for (const TPoint p : blue)
            if (p == cell)
                return BoardBlue;
        return BoardGray;
    });
}

QImage DrawHelpMoves()
{
    const THexGeometry geometry = Geometry(HelpMovesBoard.X, HelpMovesBoard.Y, HelpRadius);
    QImage image = PaintBoard(geometry, [&](TPoint cell) {
        switch (geometry.HexDistance(cell, HelpMovesPiece)) {
        case 0:
            return BoardFuchsia;
        case 1:
            return QColor::fromRgb(HelpCopyMark);
        case 2:
            return QColor::fromRgb(HelpJumpMark);
        default:
            return BoardGray;
        }
    });
    QPainter painter(&image);
    for (int row = 1; row <= geometry.HexRows; ++row) {
        for (int column = 1; column <= geometry.HexColumns; ++column) {
            const int distance = geometry.HexDistance({column, row}, HelpMovesPiece);
            if (distance == 1 || distance == 2)
                PaintCellDigit(painter, geometry, {column, row}, QString::number(distance));
        }
    }
    return image;
}

QImage DrawHelpCapture()
{
    // Before: the selected red piece and the empty cell it copies into; after:
    // the copy and every blue neighbour of the destination turned red.
    const THexGeometry geometry = Geometry(5, 4, HelpRadius);
    constexpr TPoint destination{3, 2};
    const QImage before = PaintBoard(geometry, [](TPoint cell) {
        return cell == destination ? QColor::fromRgb(HelpCopyMark) : CaptureBefore(cell);
    });
    const QImage after = PaintBoard(geometry, [&](TPoint cell) {
        const QColor was = CaptureBefore(cell);
        if (cell == destination || was == BoardFuchsia)
            return BoardRed;
        if (was == BoardBlue && geometry.HexDistance(cell, destination) == 1)
            return BoardRed;
        return was;
    });

    constexpr int gap = 56;
    QImage image(before.width() + gap + after.width(), before.height(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.drawImage(0, 0, before);
    painter.drawImage(before.width() + gap, 0, after);

    painter.setRenderHint(QPainter::Antialiasing);
    const double middleY = before.height() / 2.0;
    const double left = before.width() + 9, right = before.width() + gap - 9;
    QPainterPath arrow;
    arrow.moveTo(left, middleY - 5);
    arrow.lineTo(right - 14, middleY - 5);
    arrow.lineTo(right - 14, middleY - 13);
    arrow.lineTo(right, middleY);
    arrow.lineTo(right - 14, middleY + 13);
    arrow.lineTo(right - 14, middleY + 5);
    arrow.lineTo(left, middleY + 5);
    arrow.closeSubpath();
    painter.setPen(QPen(QColor(20, 20, 20), 1.2));
    painter.setBrush(QColor(70, 70, 70));
    painter.drawPath(arrow);
    return image;
}

// ---------------------------------------------------------------- files

namespace {

struct TPictureFile {
    const char* Name;
    std::function<QImage()> Draw;
};

std::vector<TPictureFile> PictureFiles()
{
    return {
        {"podium.png", [] { return DrawPodiumStrip(false); }},
        {"podium_en.png", [] { return DrawPodiumStrip(true); }},
        {"glyph-help.png", [] { return DrawButtonGlyph(TGlyphDesign::gdHelp); }},
        {"glyph-setup.png", [] { return DrawButtonGlyph(TGlyphDesign::gdSetup); }},
        {"glyph-quit.png", [] { return DrawButtonGlyph(TGlyphDesign::gdQuit); }},
        {"glyph-ok.png", [] { return DrawButtonGlyph(TGlyphDesign::gdOk); }},
        {"glyph-cancel.png", [] { return DrawButtonGlyph(TGlyphDesign::gdCancel); }},
        {"glyph-about.png", DrawAboutGlyph},
        {"glyph-help@2x.png", [] { return DrawButtonGlyph(TGlyphDesign::gdHelp, 2); }},
        {"glyph-setup@2x.png", [] { return DrawButtonGlyph(TGlyphDesign::gdSetup, 2); }},
        {"glyph-quit@2x.png", [] { return DrawButtonGlyph(TGlyphDesign::gdQuit, 2); }},
        {"glyph-ok@2x.png", [] { return DrawButtonGlyph(TGlyphDesign::gdOk, 2); }},
        {"glyph-cancel@2x.png", [] { return DrawButtonGlyph(TGlyphDesign::gdCancel, 2); }},
        {"setup-icon.png", DrawSetupIcon},
        {"setup-anim.png", DrawSetupAnimation},
        {"zelvon.png", [] { return DrawAppIcon(48); }},
        {"zelvon-256.png", [] { return DrawAppIcon(256); }},
        {"help-board.png", DrawHelpBoard},
        {"help-moves.png", DrawHelpMoves},
        {"help-capture.png", DrawHelpCapture},
    };
}

constexpr const char* IconSvgName = "zelvon.svg";

} // namespace

QStringList PictureFileNames()
{
    QStringList names;
    for (const TPictureFile& file : PictureFiles())
        names << file.Name;
    names << IconSvgName;
    return names;
}

bool WritePictures(const QString& folder, QString* error)
{
    const auto fail = [&](const QString& message) {
        if (error)
            *error = message;
        return false;
    };
    const QDir dir(folder);
    if (!QDir().mkpath(dir.absolutePath()))
        return fail(QString("cannot create the folder %1").arg(dir.absolutePath()));

    for (const TPictureFile& file : PictureFiles()) {
        const QString path = dir.filePath(file.Name);
        if (!file.Draw().save(path, "PNG"))
            return fail(QString("cannot write %1").arg(path));
    }
    const QString svgPath = dir.filePath(IconSvgName);
    QFile svg(svgPath);
    const QByteArray text = AppIconSvg().toUtf8();
    if (!svg.open(QIODevice::WriteOnly | QIODevice::Truncate) || svg.write(text) != text.size() || !svg.flush())
        return fail(QString("cannot write %1").arg(svgPath));
    return true;
}
