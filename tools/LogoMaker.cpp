// Draws the maker's logo for the about box and writes it as "logo.jpg"
// (263 x 115) through libjpeg's compressor.
//
// usage: LogoMaker <output file>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QRadialGradient>
#include <QSaveFile>
#include <QString>

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace {

constexpr int LogoWidth = 263;
constexpr int LogoHeight = 115;
constexpr int JpegQuality = 90;

// Flat-topped cell as the board draws it: pointed left and right corners.
QPolygonF Hexagon(QPointF centre, double radius)
{
    const double h = radius * std::sqrt(3.0) / 2.0;
    return QPolygonF({centre + QPointF(-radius, 0), centre + QPointF(-radius / 2, -h),
                      centre + QPointF(radius / 2, -h), centre + QPointF(radius, 0),
                      centre + QPointF(radius / 2, h), centre + QPointF(-radius / 2, h)});
}

void DrawCell(QPainter& painter, QPointF centre, double radius, QColor colour)
{
    QRadialGradient shade(centre + QPointF(-radius * 0.3, -radius * 0.35), radius * 1.3);
    shade.setColorAt(0.0, colour.lighter(160));
    shade.setColorAt(0.55, colour);
    shade.setColorAt(1.0, colour.darker(170));
    painter.setBrush(shade);
    painter.setPen(QPen(QColor(10, 20, 30), 1.2));
    painter.drawPolygon(Hexagon(centre, radius));
}

// Letter-spaced text with a soft drop shadow, centred on `centreX`.
void DrawTitle(QPainter& painter, const QString& text, const QFont& font, double centreX, double baseline,
               const QBrush& fill, double shadowOffset)
{
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF bounds = path.boundingRect();
    path.translate(centreX - bounds.center().x(), baseline);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 110));
    painter.drawPath(path.translated(shadowOffset, shadowOffset));
    painter.setBrush(fill);
    painter.setPen(QPen(QColor(20, 25, 45), 1.0));
    painter.drawPath(path);
}

QImage DrawLogo()
{
    QImage image(LogoWidth, LogoHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, LogoHeight);
    sky.setColorAt(0.0, QColor(18, 34, 84));
    sky.setColorAt(0.6, QColor(22, 92, 112));
    sky.setColorAt(1.0, QColor(8, 56, 64));
    painter.fillRect(image.rect(), sky);

    // A strip of the board along the bottom: a game in progress, red taking
    // over from the left, blue holding the right, empty cells between.
    const double radius = 13.0;
    const double step = radius * 1.5;
    const double rowHeight = radius * std::sqrt(3.0);
    const QColor red(220, 30, 30), blue(30, 60, 225), grey(128, 128, 128);
    const char* pattern[2] = {"RRRgRgBgBBBgBBg", "RRgRRggBgBBBgBB"};
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 15; ++column) {
            const double x = 4 + column * step;
            // Odd columns (counted from 1) stand half a cell higher.
            const double y = 84 + row * rowHeight - ((column % 2 == 0) ? rowHeight / 2 : 0);
            const char cell = pattern[row][column];
            DrawCell(painter, QPointF(x, y), radius, cell == 'R' ? red : cell == 'B' ? blue : grey);
        }
    }
    // Fade the strip into the background so the lettering stands out.
    QLinearGradient veil(0, 58, 0, 80);
    veil.setColorAt(0.0, QColor(18, 60, 100, 255));
    veil.setColorAt(1.0, QColor(18, 60, 100, 0));
    painter.fillRect(QRectF(0, 58, LogoWidth, 22), veil);

    QFont maker(QStringLiteral("DejaVu Sans"));
    maker.setPixelSize(13);
    maker.setBold(true);
    maker.setLetterSpacing(QFont::AbsoluteSpacing, 5);
    DrawTitle(painter, QStringLiteral("BRANTEK"), maker, LogoWidth / 2.0, 17, QColor(240, 200, 80), 1.0);

    QFont title(QStringLiteral("DejaVu Serif"));
    title.setPixelSize(44);
    title.setBold(true);
    title.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    QLinearGradient metal(0, 22, 0, 62);
    metal.setColorAt(0.0, QColor(255, 255, 255));
    metal.setColorAt(0.5, QColor(210, 225, 240));
    metal.setColorAt(0.51, QColor(160, 180, 205));
    metal.setColorAt(1.0, QColor(235, 240, 250));
    DrawTitle(painter, QStringLiteral("Zelvon"), title, LogoWidth / 2.0, 58, metal, 2.0);

    // Thin light frame, the way a badge would be cut.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(255, 255, 255, 90), 1.0));
    painter.drawRect(QRectF(0.5, 0.5, LogoWidth - 1, LogoHeight - 1));
    painter.end();
    return image;
}

struct TJpegErrors {
    jpeg_error_mgr Manager; // first member: libjpeg hands back a pointer to it
    std::jmp_buf Jump;
    char Text[JMSG_LENGTH_MAX];
};

[[noreturn]] void ErrorExit(j_common_ptr info)
{
    auto* errors = reinterpret_cast<TJpegErrors*>(info->err);
    (*info->err->format_message)(info, errors->Text);
    std::longjmp(errors->Jump, 1);
}

// Nothing with a destructor lives in this frame: libjpeg may longjmp into it.
// On success *output holds a malloc'ed buffer of *outputSize bytes.
bool Compress(const QImage* rgb, unsigned char** output, unsigned long* outputSize, TJpegErrors* errors)
{
    jpeg_compress_struct info {};
    info.err = jpeg_std_error(&errors->Manager);
    errors->Manager.error_exit = ErrorExit;
    if (setjmp(errors->Jump) != 0) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, output, outputSize);
    info.image_width = JDIMENSION(rgb->width());
    info.image_height = JDIMENSION(rgb->height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, JpegQuality, TRUE);
    info.optimize_coding = TRUE;
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb->constScanLine(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: LogoMaker <output file>\n");
        return 2;
    }
    const QString outputPath = QString::fromLocal8Bit(argv[1]);

    const QImage rgb = DrawLogo().convertToFormat(QImage::Format_RGB888);
    TJpegErrors errors {};
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    if (!Compress(&rgb, &buffer, &size, &errors)) {
        std::free(buffer);
        std::fprintf(stderr, "LogoMaker: JPEG compression failed: %s\n", errors.Text);
        return 1;
    }

    QSaveFile file(outputPath);
    const bool written = file.open(QIODevice::WriteOnly)
        && file.write(reinterpret_cast<const char*>(buffer), qint64(size)) == qint64(size) && file.commit();
    std::free(buffer);
    if (!written) {
        std::fprintf(stderr, "LogoMaker: cannot write %s: %s\n", argv[1], qPrintable(file.errorString()));
        return 1;
    }
    return 0;
}
