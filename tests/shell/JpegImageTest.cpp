// JPEG decoding: the generated logo, pictures with known content written by
// Qt's own encoder, and every kind of bad file ending in a clear Exception.
#include "shell/DataFiles.h"
#include "shell/Exception.h"
#include "shell/JpegImage.h"

#include <QBuffer>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

namespace {

QByteArray EncodeWithQt(const QImage& image, bool progressive = false)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(95);
    writer.setProgressiveScanWrite(progressive);
    if (!writer.write(image))
        return {};
    return bytes;
}

// Four flat quadrants: large single-colour areas survive JPEG almost exactly.
QImage Quadrants(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(0, 0, width / 2, height / 2, QColor(220, 20, 20));
    painter.fillRect(width / 2, 0, width - width / 2, height / 2, QColor(20, 40, 220));
    painter.fillRect(0, height / 2, width / 2, height - height / 2, QColor(30, 200, 40));
    painter.fillRect(width / 2, height / 2, width - width / 2, height - height / 2, QColor(250, 250, 250));
    return image;
}

bool Near(QColor actual, QColor expected, int tolerance = 24)
{
    return qAbs(actual.red() - expected.red()) <= tolerance && qAbs(actual.green() - expected.green()) <= tolerance
        && qAbs(actual.blue() - expected.blue()) <= tolerance;
}

// Offset of the frame header's height field (SOF0..SOF2), or -1.
qsizetype FrameSizeOffset(const QByteArray& jpeg)
{
    for (qsizetype i = 2; i + 8 < jpeg.size(); ++i) {
        const auto marker = static_cast<unsigned char>(jpeg[i + 1]);
        if (static_cast<unsigned char>(jpeg[i]) == 0xFF && marker >= 0xC0 && marker <= 0xC2)
            return i + 5;
    }
    return -1;
}

QByteArray WithFrameSize(QByteArray jpeg, int width, int height)
{
    const qsizetype at = FrameSizeOffset(jpeg);
    if (at < 0)
        return {};
    jpeg[at] = char(height >> 8);
    jpeg[at + 1] = char(height & 0xFF);
    jpeg[at + 2] = char(width >> 8);
    jpeg[at + 3] = char(width & 0xFF);
    return jpeg;
}

// Offset of the first byte after the start-of-scan header, or -1.
qsizetype ScanDataOffset(const QByteArray& jpeg)
{
    const qsizetype sos = jpeg.indexOf("\xFF\xDA");
    if (sos < 0 || sos + 4 > jpeg.size())
        return -1;
    const int length = (static_cast<unsigned char>(jpeg[sos + 2]) << 8) | static_cast<unsigned char>(jpeg[sos + 3]);
    return sos + 2 + length;
}

QString DecodeError(const std::function<QImage()>& decode)
{
    try {
        const QImage image = decode();
        return QStringLiteral("<decoded %1 x %2>").arg(image.width()).arg(image.height());
    } catch (const Exception& error) {
        return error.Message;
    }
}

} // namespace

class JpegImageTest : public QObject {
    Q_OBJECT

private:
    QByteArray logo_;
    QTemporaryDir temporary_;

    QString WriteTemporary(const QString& name, const QByteArray& bytes)
    {
        const QString path = temporary_.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return {};
        return path;
    }

private slots:
    void initTestCase()
    {
        SetDataDirectories({QStringLiteral(ZELVON_TEST_DATA_DIR)});
        QFile file(DataFilePath(QStringLiteral("logo.jpg")));
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.fileName()));
        logo_ = file.readAll();
        QVERIFY(temporary_.isValid());
    }

    void init()
    {
        // Reference pictures come from Qt's own JPEG plugin, an independent codec.
        const QByteArray function = QTest::currentTestFunction();
        if ((function == "knownPictures" || function == "oversizedHeaders" || function == "forgedSizeWithinLimit")
            && !QImageWriter::supportedImageFormats().contains("jpeg"))
            QSKIP("Qt's JPEG plugin is missing: no reference pictures");
    }

    void realLogoDecodes()
    {
        const QImage image = LoadJpeg(DataFilePath(QStringLiteral("logo.jpg")));
        QCOMPARE(image.size(), QSize(263, 115));

        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); y += 3)
            for (int x = 0; x < image.width(); x += 3)
                colours.insert(image.pixel(x, y));
        QVERIFY2(colours.size() > 50, "the logo decodes to a nearly uniform picture");

        // Qt's reader is an independent decoder of the same file.
        if (!QImageReader::supportedImageFormats().contains("jpeg"))
            return;
        const QImage reference = QImage::fromData(logo_, "JPEG");
        QCOMPARE(reference.size(), image.size());
        for (const QPoint p : {QPoint(5, 5), QPoint(131, 40), QPoint(20, 100), QPoint(250, 100)})
            QVERIFY2(Near(image.pixelColor(p), reference.pixelColor(p), 6), qPrintable(QStringLiteral("pixel %1,%2").arg(p.x()).arg(p.y())));
    }

    void knownPictures_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("progressive");
        QTest::addColumn<bool>("grey");
        QTest::newRow("baseline 64 x 48") << QSize(64, 48) << false << false;
        QTest::newRow("odd size 33 x 17") << QSize(33, 17) << false << false;
        QTest::newRow("progressive") << QSize(80, 40) << true << false;
        QTest::newRow("greyscale") << QSize(48, 48) << false << true;
        QTest::newRow("one pixel") << QSize(1, 1) << false << false;
        QTest::newRow("widest accepted") << QSize(MaxJpegSide, 16) << false << false;
    }

    void knownPictures()
    {
        QFETCH(QSize, size);
        QFETCH(bool, progressive);
        QFETCH(bool, grey);
        QImage source = Quadrants(size.width(), size.height());
        if (grey)
            source = source.convertToFormat(QImage::Format_Grayscale8);
        const QByteArray jpeg = EncodeWithQt(source, progressive);
        QVERIFY(!jpeg.isEmpty());

        const QImage image = DecodeJpeg(jpeg, QStringLiteral("known.jpg"));
        QCOMPARE(image.size(), size);
        // Sample well inside each quadrant, away from the blurred borders.
        const int w = size.width(), h = size.height();
        const QPoint samples[] = {QPoint(w / 4, h / 4), QPoint(3 * w / 4, h / 4), QPoint(w / 4, 3 * h / 4),
                                  QPoint(3 * w / 4, 3 * h / 4)};
        for (const QPoint p : samples) {
            const QColor expected = source.pixelColor(p);
            QVERIFY2(Near(image.pixelColor(p), expected),
                     qPrintable(QStringLiteral("at %1,%2: %3 expected %4")
                                    .arg(p.x())
                                    .arg(p.y())
                                    .arg(image.pixelColor(p).name(), expected.name())));
        }
    }

    // Every bad file ends in an Exception that names it; none ends the process.
    void badFiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");

        const qsizetype scan = ScanDataOffset(logo_);
        QVERIFY(scan > 0 && scan < logo_.size() - 100);

        QTest::newRow("empty file") << QByteArray() << QString::fromUtf8("prázdný");
        QTest::newRow("cut inside the scan data") << logo_.left(scan + (logo_.size() - scan) / 2) << QString::fromUtf8("poškozený");
        QTest::newRow("cut right after the scan header") << logo_.left(scan) << QString::fromUtf8("poškozený");
        QTest::newRow("cut inside the header") << logo_.left(scan / 2) << QString::fromUtf8("není platný obrázek JPEG");
        QTest::newRow("only the start marker") << logo_.left(2) << QString::fromUtf8("není platný obrázek JPEG");

        QByteArray badStart = logo_;
        badStart[0] = 'X';
        QTest::newRow("damaged start marker") << badStart << QString::fromUtf8("není platný obrázek JPEG");

        QByteArray badFrame = logo_;
        const qsizetype frame = FrameSizeOffset(logo_);
        QVERIFY(frame > 0);
        badFrame[frame - 1] = 3; // sample precision 3 bits
        QTest::newRow("damaged frame header") << badFrame << QString::fromUtf8("není platný obrázek JPEG");

        QTest::newRow("zero width") << WithFrameSize(logo_, 0, 115) << QString::fromUtf8("není platný obrázek JPEG");

        QByteArray endInScan = logo_;
        endInScan.insert(scan + 200, QByteArray("\xFF\xD9", 2));
        endInScan.truncate(scan + 202);
        QTest::newRow("end marker inside the scan data") << endInScan << QString::fromUtf8("poškozený");

        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        QVERIFY(Quadrants(16, 16).save(&buffer, "PNG"));
        QTest::newRow("PNG named .jpg") << png << QString::fromUtf8("není platný obrázek JPEG");

        QTest::newRow("plain text") << QByteArray("this is not a picture\n") << QString::fromUtf8("není platný obrázek JPEG");
    }

    void badFiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);

        const QString path = WriteTemporary(QStringLiteral("bad.jpg"), bytes);
        QVERIFY(!path.isEmpty());
        const QString fromFile = DecodeError([&] { return LoadJpeg(path); });
        QVERIFY2(fromFile.contains(expected, Qt::CaseInsensitive), qPrintable(fromFile));
        QVERIFY2(fromFile.contains(QDir::toNativeSeparators(path)), qPrintable(fromFile));

        const QString fromMemory = DecodeError([&] { return DecodeJpeg(bytes, QStringLiteral("memory.jpg")); });
        QVERIFY2(fromMemory.contains(expected, Qt::CaseInsensitive), qPrintable(fromMemory));
        QVERIFY2(fromMemory.contains(QStringLiteral("memory.jpg")), qPrintable(fromMemory));
    }

    void missingFile()
    {
        const QString path = temporary_.filePath(QStringLiteral("nowhere/logo.jpg"));
        const QString message = DecodeError([&] { return LoadJpeg(path); });
        QVERIFY2(message.contains(QString::fromUtf8("nelze otevřít: soubor neexistuje")), qPrintable(message));
        QVERIFY2(message.contains(QDir::toNativeSeparators(path)), qPrintable(message));
    }

    void folderInsteadOfFile()
    {
        const QString message = DecodeError([&] { return LoadJpeg(temporary_.path()); });
        QVERIFY2(message.contains(QDir::toNativeSeparators(temporary_.path())), qPrintable(message));
        QVERIFY2(!message.startsWith(QStringLiteral("<decoded")), qPrintable(message));
    }

    // A forged size is refused from the header alone, before any pixel memory.
    void oversizedHeaders_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::newRow("one column too wide") << MaxJpegSide + 1 << 16;
        QTest::newRow("one row too tall") << 16 << MaxJpegSide + 1;
        QTest::newRow("both far too large") << 20000 << 20000;
    }

    void oversizedHeaders()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        const QByteArray forged = WithFrameSize(EncodeWithQt(Quadrants(16, 16)), width, height);
        QVERIFY(!forged.isEmpty());
        const QString message = DecodeError([&] { return DecodeJpeg(forged, QStringLiteral("forged.jpg")); });
        QVERIFY2(message.contains(QString::fromUtf8("příliš velký")), qPrintable(message));
        QVERIFY2(message.contains(QString::fromUtf8("%1 × %2").arg(width).arg(height)), qPrintable(message));
    }

    // Within the limit, a header promising far more than the data holds is a
    // damaged file, not a grey picture.
    void forgedSizeWithinLimit()
    {
        for (const bool progressive : {false, true}) {
            const QByteArray forged = WithFrameSize(EncodeWithQt(Quadrants(16, 16), progressive), MaxJpegSide, MaxJpegSide);
            QVERIFY(!forged.isEmpty());
            const QString message = DecodeError([&] { return DecodeJpeg(forged, QStringLiteral("forged.jpg")); });
            QVERIFY2(message.contains(QString::fromUtf8("poškozený")), qPrintable(message));
        }
    }

#ifdef Q_OS_LINUX
    // A device that reports size 0 and never ends must not be read forever.
    void endlessDevice()
    {
        const QString message = DecodeError([] { return LoadJpeg(QStringLiteral("/dev/zero")); });
        QVERIFY2(message.contains(QString::fromUtf8("příliš velký")), qPrintable(message));
    }
#endif
};

QTEST_MAIN(JpegImageTest)
#include "JpegImageTest.moc"
