// The generated pictures: written files and their sizes, the podium's plates
// and texts, the glyphs' key colours and grey halves, the icons'
// transparency, the vector icon's consistency and the moves figure's rings.
#include "tools/Pictures.h"

#include "controls/TransBtn.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <cstdlib>
#include <functional>

namespace {

bool IsGrey(QRgb pixel)
{
    return qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel);
}

bool IsRed(QRgb pixel)
{
    return qRed(pixel) > 180 && qGreen(pixel) < 90 && qBlue(pixel) < 90;
}

// Pixels of a rectangle that satisfy a test.
int Count(const QImage& image, const QRect& area, const std::function<bool(QRgb)>& test)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += test(image.pixel(x, y));
    return count;
}

bool Reddish(QRgb p) { return qRed(p) > qBlue(p) + 60 && qRed(p) > qGreen(p) + 60; }
bool Bluish(QRgb p) { return qBlue(p) > qRed(p) + 60 && qBlue(p) > qGreen(p) + 60; }
bool Greenish(QRgb p) { return qGreen(p) > qRed(p) + 60 && qGreen(p) > qBlue(p) + 60; }
bool NearBlack(QRgb p) { return qRed(p) < 40 && qGreen(p) < 40 && qBlue(p) < 40; }
bool Silver(QRgb p)
{
    return qRed(p) > 150 && std::abs(qRed(p) - qGreen(p)) < 20 && std::abs(qGreen(p) - qBlue(p)) < 25;
}
bool DarkRed(QRgb p) { return qRed(p) >= 90 && qRed(p) <= 175 && qGreen(p) < 30 && qBlue(p) < 30; }

} // namespace

class PictureMakerTest : public QObject {
    Q_OBJECT

    QTemporaryDir output_;

    QImage Load(const QString& name) const
    {
        return QImage(QDir(output_.path()).filePath(name)).convertToFormat(QImage::Format_ARGB32);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(output_.isValid());
        QString error;
        QVERIFY2(WritePictures(output_.path(), &error), qPrintable(error));
    }

    void everyFileIsWrittenWithItsSize_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::newRow("podium") << "podium.png" << QSize(960, 200);
        for (const char* glyph : {"glyph-help.png", "glyph-setup.png", "glyph-quit.png", "glyph-ok.png", "glyph-cancel.png",
                                  "glyph-about.png"})
            QTest::newRow(glyph) << glyph << QSize(32, 16);
        for (const char* glyph : {"glyph-help@2x.png", "glyph-setup@2x.png", "glyph-quit@2x.png", "glyph-ok@2x.png",
                                  "glyph-cancel@2x.png"})
            QTest::newRow(glyph) << glyph << QSize(64, 32);
        QTest::newRow("setup icon") << "setup-icon.png" << QSize(32, 32);
        QTest::newRow("setup animation") << "setup-anim.png" << QSize(384, 48);
        QTest::newRow("icon") << "zelvon.png" << QSize(48, 48);
        QTest::newRow("large icon") << "zelvon-256.png" << QSize(256, 256);
        // A help figure is a board drawn as the game draws it, so it has the
        // hex map's size for its grid.
        QTest::newRow("help moves") << "help-moves.png"
                                    << QSize(3 * HelpRadius / 2 * (HelpMovesBoard.X - 1) + 2 * HelpRadius,
                                             2 * HalfHeightOf(HelpRadius) * HelpMovesBoard.Y + HalfHeightOf(HelpRadius));
    }

    void everyFileIsWrittenWithItsSize()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QVERIFY(PictureFileNames().contains(name));
        QCOMPARE(Load(name).size(), size);
    }

    void everyListedFileExists()
    {
        const QDir folder(output_.path());
        for (const QString& name : PictureFileNames()) {
            QVERIFY2(QFile::exists(folder.filePath(name)), qPrintable(name));
            if (name.endsWith(".png"))
                QVERIFY2(!QImage(folder.filePath(name)).isNull(), qPrintable(name));
        }
        QVERIFY(PictureFileNames().contains("zelvon.svg"));
        QVERIFY(PictureFileNames().contains("help-board.png"));
        QVERIFY(PictureFileNames().contains("help-capture.png"));
    }

    void unwritableFolderFailsWithAMessage()
    {
        QTemporaryDir scratch;
        QFile blocker(QDir(scratch.path()).filePath("taken"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        QString error;
        QVERIFY(!WritePictures(QDir(scratch.path()).filePath("taken/inside"), &error));
        QVERIFY(error.contains("taken"));
        QVERIFY(!WritePictures(QDir(scratch.path()).filePath("taken/inside"), nullptr));
    }

    void podiumIsFullyOpaque()
    {
        const QImage podium = Load("podium.png");
        QCOMPARE(Count(podium, podium.rect(), [](QRgb p) { return qAlpha(p) != 255; }), 0);
        // On black: the corners of every picture are dark.
        for (int outcome = 0; outcome < PodiumOutcomes; ++outcome) {
            const int left = outcome * PodiumWidth;
            QVERIFY(NearBlack(podium.pixel(left + 1, PodiumHeight - 2)));
            QVERIFY(NearBlack(podium.pixel(left + PodiumWidth - 2, PodiumHeight - 2)));
        }
    }

    void podiumPlatesHaveTheirColours_data()
    {
        QTest::addColumn<int>("outcome");
        QTest::addColumn<bool>("leftRed");
        QTest::addColumn<bool>("rightRed");
        QTest::newRow("draw: red on the left, blue on the right") << 0 << true << false;
        QTest::newRow("Blue won: blue plate") << 1 << false << false;
        QTest::newRow("Red won: red plate") << 2 << true << true;
    }

    void podiumPlatesHaveTheirColours()
    {
        QFETCH(int, outcome);
        QFETCH(bool, leftRed);
        QFETCH(bool, rightRed);
        const QImage podium = Load("podium.png");
        const QImage picture = podium.copy(outcome * PodiumWidth, 0, PodiumWidth, PodiumHeight);
        QCOMPARE(picture, DrawPodiumPicture(outcome).convertToFormat(QImage::Format_ARGB32));
        // The plate's outer thirds at its widest, beside the texts.
        const std::pair<QRect, bool> regions[] = {{QRect(30, 84, 50, 28), leftRed}, {QRect(240, 84, 50, 28), rightRed}};
        for (const auto& [area, red] : regions) {
            const int pixels = area.width() * area.height();
            const int wanted = Count(picture, area, red ? Reddish : Bluish);
            const int other = Count(picture, area, red ? Bluish : Reddish);
            QVERIFY2(wanted > pixels * 7 / 10, qPrintable(QString("%1 of %2").arg(wanted).arg(pixels)));
            QVERIFY2(other < pixels / 20, qPrintable(QString("%1 of %2").arg(other).arg(pixels)));
        }
    }

    void podiumTextsHaveTheirColours()
    {
        const QImage podium = Load("podium.png");
        const auto picture = [&](int outcome) { return podium.copy(outcome * PodiumWidth, 0, PodiumWidth, PodiumHeight); };
        // The product name sits in the plate's upper part, the outcome below it.
        const QRect name(100, 40, 120, 40), outcome(130, 100, 60, 35);

        QCOMPARE(Count(picture(0), name, Greenish), 0);
        QVERIFY(Count(picture(0), name, NearBlack) > 300);
        QVERIFY(Count(picture(0), outcome, DarkRed) > 40);
        for (const int won : {1, 2}) {
            QVERIFY(Count(picture(won), name, Greenish) > 300);
            QVERIFY(Count(picture(won), outcome, Silver) > 40);
        }
        QCOMPARE(Count(picture(1), outcome, DarkRed), 0);
    }

    void drawingIsRepeatable()
    {
        QCOMPARE(DrawPodiumPicture(2), DrawPodiumPicture(2));
        QCOMPARE(DrawSetupAnimation(), DrawSetupAnimation());
    }

    void glyphsHaveKeyedCellsAndAGreyHalf_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRgb>("key");
        QTest::addColumn<bool>("red");
        QTest::newRow("help") << "glyph-help.png" << GlyphKeyColor << false;
        QTest::newRow("setup") << "glyph-setup.png" << GlyphKeyColor << false;
        QTest::newRow("quit") << "glyph-quit.png" << GlyphKeyColor << true;
        QTest::newRow("ok: red tick") << "glyph-ok.png" << GlyphKeyColor << true;
        QTest::newRow("cancel: red prohibition sign") << "glyph-cancel.png" << GlyphKeyColor << true;
        QTest::newRow("about: red and grey tick on purple") << "glyph-about.png" << QRgb(0xFF800080) << true;
        QTest::newRow("help, twice the density") << "glyph-help@2x.png" << GlyphKeyColor << false;
        QTest::newRow("quit, twice the density") << "glyph-quit@2x.png" << GlyphKeyColor << true;
    }

    void glyphsHaveKeyedCellsAndAGreyHalf()
    {
        QFETCH(QString, name);
        QFETCH(QRgb, key);
        QFETCH(bool, red);
        const QImage glyph = Load(name);
        const int size = glyph.height();
        const QRect normal(0, 0, size, size), disabled(size, 0, size, size);
        // Each cell is cut out on its own and keyed by its own bottom-left pixel.
        QCOMPARE(glyph.pixel(normal.bottomLeft()), key);
        QCOMPARE(glyph.pixel(disabled.bottomLeft()), key);

        const auto drawn = [&](QRgb p) { return p != key; };
        QVERIFY(Count(glyph, normal, drawn) > 30);
        QCOMPARE(Count(glyph, disabled, drawn), Count(glyph, normal, drawn));
        QVERIFY(Count(glyph, normal, [&](QRgb p) { return p != key && !IsGrey(p); }) > 10);
        QCOMPARE(Count(glyph, disabled, [&](QRgb p) { return p != key && !IsGrey(p); }), 0);
        if (red)
            QVERIFY(Count(glyph, normal, IsRed) > 10);
        QCOMPARE(Count(glyph, glyph.rect(), [](QRgb p) { return qAlpha(p) != 255; }), 0);
    }

    void aboutTickStaysWholeWhenTheButtonGreysIt()
    {
        // The about box's button shows its own grey version of the first cell
        // while the pointer is away, keyed by the key colour's grey.
        const QImage cell = Load("glyph-about.png").copy(0, 0, GlyphSize, GlyphSize);
        const QImage grey = TTransparentButton::MakeGrayBitmap(cell).convertToFormat(QImage::Format_ARGB32);
        const QRgb greyKey = grey.pixel(0, GlyphSize - 1);
        int holes = 0;
        for (int y = 0; y < GlyphSize; ++y)
            for (int x = 0; x < GlyphSize; ++x)
                holes += cell.pixel(x, y) != AboutGlyphKeyColor && grey.pixel(x, y) == greyKey;
        QCOMPARE(holes, 0);
    }

    void iconsAreTransparentAroundTheirDesign_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("colours");
        QTest::newRow("application icon") << "zelvon.png" << "red blue";
        QTest::newRow("large application icon") << "zelvon-256.png" << "red blue";
        QTest::newRow("settings icon") << "setup-icon.png" << "yellow";
    }

    void iconsAreTransparentAroundTheirDesign()
    {
        QFETCH(QString, name);
        QFETCH(QString, colours);
        const QImage icon = Load(name);
        const int last = icon.width() - 1;
        for (const QPoint corner : {QPoint(0, 0), QPoint(last, 0), QPoint(0, last), QPoint(last, last)})
            QCOMPARE(qAlpha(icon.pixel(corner)), 0);
        QCOMPARE(qAlpha(icon.pixel(icon.width() / 2, icon.height() / 2)), 255);
        const auto opaque = [](std::function<bool(QRgb)> test) { return [=](QRgb p) { return qAlpha(p) == 255 && test(p); }; };
        if (colours.contains("red"))
            QVERIFY(Count(icon, icon.rect(), opaque(Reddish)) > icon.width() * icon.height() / 20);
        if (colours.contains("blue"))
            QVERIFY(Count(icon, icon.rect(), opaque(Bluish)) > icon.width() * icon.height() / 20);
        if (colours.contains("yellow"))
            QVERIFY(Count(icon, icon.rect(), opaque([](QRgb p) {
                        return qRed(p) > 200 && qGreen(p) > 160 && qBlue(p) < 90;
                    })) > 40);
    }

    void vectorIconIsWellFormedAndSelfContained()
    {
        QFile file(QDir(output_.path()).filePath("zelvon.svg"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        QSet<QString> defined, used;
        int cells = 0;
        bool rootSeen = false;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            const QXmlStreamAttributes attributes = xml.attributes();
            if (!rootSeen) {
                rootSeen = true;
                QCOMPARE(xml.name().toString(), QString("svg"));
                QCOMPARE(xml.namespaceUri().toString(), QString("http://www.w3.org/2000/svg"));
                QCOMPARE(attributes.value("viewBox").toString(), QString("0 0 48 48"));
            }
            if (attributes.hasAttribute("id"))
                defined << attributes.value("id").toString();
            const QString fill = attributes.value("fill").toString();
            if (fill.startsWith("url(#"))
                used << fill.mid(5, fill.size() - 6);
            if (xml.name() == QLatin1String("polygon")) {
                ++cells;
                QCOMPARE(attributes.value("points").toString().split(' ').size(), 6);
            }
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QVERIFY(cells >= 3);
        for (const QString& id : used)
            QVERIFY2(defined.contains(id), qPrintable(id));
    }

    void animationFramesAllDiffer()
    {
        const QImage strip = Load("setup-anim.png");
        QCOMPARE(strip.width(), SetupAnimationFrames * SetupAnimationFrameSize);
        QList<QImage> frames;
        for (int frame = 0; frame < SetupAnimationFrames; ++frame)
            frames << strip.copy(frame * SetupAnimationFrameSize, 0, SetupAnimationFrameSize, SetupAnimationFrameSize);
        for (int a = 0; a < frames.size(); ++a)
            for (int b = a + 1; b < frames.size(); ++b)
                QVERIFY2(frames[a] != frames[b], qPrintable(QString("frames %1 and %2").arg(a).arg(b)));
        // A frame outside the loop wraps around to its place in it.
        QCOMPARE(DrawSetupAnimationFrame(SetupAnimationFrames + 3), DrawSetupAnimationFrame(3));
    }

    void movesFigureMarksBothRingsByTheBoardsGeometry()
    {
        const QImage figure = Load("help-moves.png");
        const THexGeometry geometry{HelpMovesBoard.X, HelpMovesBoard.Y, HelpRadius, HalfHeightOf(HelpRadius)};
        int copies = 0, jumps = 0;
        for (int column = 1; column <= HelpMovesBoard.X; ++column) {
            for (int row = 1; row <= HelpMovesBoard.Y; ++row) {
                const TPoint centre = geometry.ConvertPoint({column, row}, cpCellToPixel);
                // Inside the cell, clear of its digit and of its edges.
                const QRgb sample = figure.pixel(centre.X - HelpRadius / 2, centre.Y + geometry.HexHalfHeight / 2);
                const int distance = geometry.HexDistance({column, row}, HelpMovesPiece);
                const QString where = QString("cell (%1, %2) at distance %3").arg(column).arg(row).arg(distance);
                if (distance == 1) {
                    QVERIFY2(sample == HelpCopyMark, qPrintable(where));
                    ++copies;
                } else if (distance == 2) {
                    QVERIFY2(sample == HelpJumpMark, qPrintable(where));
                    ++jumps;
                } else {
                    QVERIFY2(sample != HelpCopyMark && sample != HelpJumpMark, qPrintable(where));
                }
            }
        }
        QCOMPARE(copies, 6);
        QCOMPARE(jumps, 12);
    }
};

QTEST_MAIN(PictureMakerTest)
#include "PictureMakerTest.moc"
