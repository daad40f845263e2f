// Button icons from the glyph files: normal and disabled cells, and the
// denser drawing for screens of device pixel ratio 2 where it exists.
#include "shell/DataFiles.h"
#include "shell/Glyphs.h"

#include <QApplication>
#include <QPixmap>
#include <QTest>

class GlyphsTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SetDataDirectories({QStringLiteral(ZELVON_TEST_DATA_DIR)}); }
    void cleanupTestCase() { SetDataDirectories({}); }

    void denseScreensGetTheDenseDrawing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("dense");
        for (const char* name : {"glyph-help.png", "glyph-setup.png", "glyph-quit.png", "glyph-ok.png", "glyph-cancel.png"})
            QTest::newRow(name) << name << true;
        QTest::newRow("about box: no dense drawing") << "glyph-about.png" << false;
    }

    void denseScreensGetTheDenseDrawing()
    {
        QFETCH(QString, name);
        QFETCH(bool, dense);
        QCOMPARE(DenseGlyphName(name), QString(name).replace(".png", "@2x.png"));
        const QIcon icon = GlyphIcon(name);
        QVERIFY(!icon.isNull());
        for (const QIcon::Mode mode : {QIcon::Normal, QIcon::Disabled}) {
            const QPixmap ordinary = icon.pixmap(QSize(16, 16), 1.0, mode);
            QCOMPARE(ordinary.size(), QSize(16, 16));
            const QPixmap sharp = icon.pixmap(QSize(16, 16), 2.0, mode);
            QCOMPARE(sharp.devicePixelRatio(), dense ? 2.0 : 1.0);
            if (!dense)
                continue;
            QCOMPARE(sharp.size(), QSize(32, 32));
            // Not the small drawing enlarged: that would repeat every pixel
            // in blocks of two by two.
            const QImage image = sharp.toImage();
            bool finer = false;
            for (int y = 0; y < 32 && !finer; y += 2)
                for (int x = 0; x < 32 && !finer; x += 2)
                    finer = image.pixel(x, y) != image.pixel(x + 1, y) || image.pixel(x, y) != image.pixel(x, y + 1);
            QVERIFY(finer);
        }
    }
};

QTEST_MAIN(GlyphsTest)
#include "GlyphsTest.moc"
