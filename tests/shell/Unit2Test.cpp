// The about box, headless: what closes it and what does not, the e-mail
// link's colours and the address it hands to the desktop, the logo stretched
// into its frame, a missing or damaged logo, the panel's bevels, the layout
// and the placement on the screen.
#include "controls/TransBtn.h"
#include "controls/URLLabel.h"
#include "shell/Application.h"
#include "shell/Canvas.h"
#include "shell/DataFiles.h"
#include "shell/DesktopShell.h"
#include "shell/Unit2.h"

#include <QApplication>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <functional>

namespace {

constexpr int DefaultColorTolerance = 14;

// Drives the box's modal loop: `action` runs once the box is up; a guard
// closes the box after a while so that a failure never hangs the run.
struct TModalRun {
    int Result = -1;
    bool GuardFired = false;

    void Exec(TAboutBox& box, const std::function<void()>& action, int guardMs = 3000)
    {
        QTimer guard;
        guard.setSingleShot(true);
        QObject::connect(&guard, &QTimer::timeout, &box, [&] {
            GuardFired = true;
            box.reject();
        });
        QTimer::singleShot(0, &box, [&] {
            action();
            guard.start(guardMs);
        });
        Result = box.exec();
        guard.stop();
    }
};

// The mean colour of a block of the picture, so that smoothing at edges does
// not decide a comparison.
QColor BlockMean(const QImage& image, const QRect& block)
{
    qint64 r = 0, g = 0, b = 0, n = 0;
    for (int y = block.top(); y <= block.bottom(); ++y)
        for (int x = block.left(); x <= block.right(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            r += qRed(pixel);
            g += qGreen(pixel);
            b += qBlue(pixel);
            ++n;
        }
    return QColor(int(r / n), int(g / n), int(b / n));
}

bool Near(const QColor& a, const QColor& b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
        && std::abs(a.blue() - b.blue()) <= tolerance;
}

QRgb Resolved(TColor color)
{
    return ColorToQColor(color).rgb();
}

} // namespace

class Unit2Test : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        SetErrorReporter([this](const QString& message) { errors_ << message; });
    }

    void init()
    {
        errors_.clear();
        opened_.clear();
        SetDataDirectories({QStringLiteral(ZELVON_TEST_DATA_DIR)});
        SetShellOpener([this](const QUrl& url) {
            opened_ << url;
            return true;
        });
    }

    void cleanup()
    {
        SetShellOpener({});
        SetDataDirectories({});
    }

    void boxHoldsItsControlsInPlace()
    {
        TAboutBox box;
        QCOMPARE(box.windowTitle(), QStringLiteral("O programu"));
        QCOMPARE(box.size(), QSize(247, 280));
        QCOMPARE(box.minimumSize(), box.maximumSize()); // a dialog border: no resizing
        QCOMPARE(box.Panel1->geometry(), QRect(7, 7, 233, 238));

        QCOMPARE(box.ProductName->text(), QStringLiteral("Zelvon pro Win 95"));
        QVERIFY(box.ProductName->font().bold());
        QCOMPARE(box.ProductName->font().pixelSize(), 15);
        QVERIFY(box.Version->text().contains(QStringLiteral("1.0b")));
        QVERIFY(box.Label1->text().contains(QStringLiteral("1998")));
        QVERIFY(box.Label1->text().contains(QStringLiteral("Brantek")));
        QCOMPARE(box.Label2->text(), QStringLiteral("E-mail:"));
        QVERIFY(box.Label2->font().bold());

        QCOMPARE(box.URLLabel1->pos(), QPoint(102, 150));
        QCOMPARE(box.URLLabel1->font().pixelSize(), 11);
        QVERIFY(box.URLLabel1->font().underline());
        QCOMPARE(box.URLLabel1->FontColor(), clBlue);
        QCOMPARE(box.URLLabel1->ColorNormal(), clBlue);
        QCOMPARE(box.URLLabel1->ColorMoveOver(), clRed);
        QCOMPARE(box.URLLabel1->ColorClick(), clPurple);
        QCOMPARE(box.URLLabel1->text(), TAboutBox::MailAddress);
        QCOMPARE(box.URLLabel1->URL(), QStringLiteral("mailto: ") + TAboutBox::MailAddress);

        const QStringList memo = box.Memo1->toPlainText().split(QLatin1Char('\n'));
        QCOMPARE(memo.size(), 3);
        QCOMPARE(memo.front(), QString::fromUtf8("Poděkování:"));
        QVERIFY(!memo[1].trimmed().isEmpty() && !memo[2].trimmed().isEmpty());
        QVERIFY(box.Memo1->isReadOnly());
        QVERIFY(box.Memo1->font().bold());
        QCOMPARE(box.Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

        TTransparentButton* button = box.TransparentButton1;
        QCOMPARE(button->geometry(), QRect(108, 248, 40, 29));
        QCOMPARE(button->Glyph().size(), QSize(32, 16));
        QCOMPARE(button->NumGlyphs(), 2);
        QVERIFY(button->Caption().isEmpty());
        QCOMPARE(button->FrameStyle(), TFrameStyle::fsExplorer);
        QVERIFY(button->Transparent());
        QVERIFY(button->AutoGray());
        QVERIFY(errors_.isEmpty());
    }

    void captionsFitInsideThePanelWithoutOverlapping()
    {
        TAboutBox box;
        // Inside both one-pixel bevels.
        const QRect inner = box.Panel1->rect().adjusted(2, 2, -2, -2);
        const QList<QWidget*> parts = {box.ProductName, box.Version, box.ProgramIcon, box.Label1,
                                       box.Label2,      box.URLLabel1, box.Memo1};
        const QStringList names = {"ProductName", "Version", "ProgramIcon", "Label1", "Label2", "URLLabel1", "Memo1"};
        for (int i = 0; i < parts.size(); ++i) {
            // A label shows all of its text only when it is as large as the text.
            if (auto* label = qobject_cast<QLabel*>(parts[i]); label && label != box.ProgramIcon) {
                QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(names[i]));
                QVERIFY2(label->height() >= label->sizeHint().height(), qPrintable(names[i]));
            }
            QVERIFY2(inner.contains(parts[i]->geometry()), qPrintable(names[i]));
        }
        for (int i = 0; i < parts.size(); ++i)
            for (int j = i + 1; j < parts.size(); ++j)
                QVERIFY2(!parts[i]->geometry().intersects(parts[j]->geometry()),
                         qPrintable(names[i] + QStringLiteral(" overlaps ") + names[j]));
        // The link sits right of its caption, on the same line.
        QVERIFY(box.Label2->geometry().right() < box.URLLabel1->x());
        QCOMPARE(box.Label2->y(), box.URLLabel1->y());
        // The button sits below the panel, inside the box.
        QVERIFY(box.TransparentButton1->y() >= box.Panel1->geometry().bottom());
        QVERIFY(box.rect().contains(box.TransparentButton1->geometry()));
    }

    void panelHasALoweredOuterAndARaisedInnerBevel()
    {
        TAboutBox box;
        const QImage panel = box.Panel1->grab().toImage();
        QCOMPARE(panel.size(), QSize(233, 238));
        const QRgb shadow = Resolved(clBtnShadow);
        const QRgb highlight = Resolved(clBtnHighlight);
        QVERIFY(shadow != highlight);
        // Outer ring: shadow on the left and top, highlight right, bottom and
        // in the top-right and bottom-left corners.
        QCOMPARE(panel.pixel(0, 0), shadow);
        QCOMPARE(panel.pixel(0, 120), shadow);
        QCOMPARE(panel.pixel(120, 0), shadow);
        QCOMPARE(panel.pixel(232, 0), highlight);
        QCOMPARE(panel.pixel(0, 237), highlight);
        QCOMPARE(panel.pixel(232, 120), highlight);
        QCOMPARE(panel.pixel(120, 237), highlight);
        // Inner ring, the other way round.
        QCOMPARE(panel.pixel(1, 1), highlight);
        QCOMPARE(panel.pixel(1, 120), highlight);
        QCOMPARE(panel.pixel(231, 120), shadow);
        QCOMPARE(panel.pixel(120, 236), shadow);
        QCOMPARE(panel.pixel(3, 100), Resolved(clBtnFace));
    }

    void clicksOnTheTickButton_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QPoint>("releaseAt");
        QTest::addColumn<bool>("closes");

        QTest::newRow("left click inside") << int(Qt::LeftButton) << QPoint(20, 14) << true;
        QTest::newRow("left click on the far corner") << int(Qt::LeftButton) << QPoint(39, 28) << true;
        QTest::newRow("left press, release outside") << int(Qt::LeftButton) << QPoint(60, 14) << false;
        QTest::newRow("left press, release just past the edge") << int(Qt::LeftButton) << QPoint(40, 14) << false;
        QTest::newRow("right click inside") << int(Qt::RightButton) << QPoint(20, 14) << false;
        QTest::newRow("middle click inside") << int(Qt::MiddleButton) << QPoint(20, 14) << false;
    }

    void clicksOnTheTickButton()
    {
        QFETCH(int, button);
        QFETCH(QPoint, releaseAt);
        QFETCH(bool, closes);
        const auto mouse = Qt::MouseButton(button);

        TAboutBox box;
        TTransparentButton* tick = box.TransparentButton1;
        bool pressedLook = false;
        bool shiftedPicture = false;
        bool openAfterRelease = false;
        TModalRun run;
        run.Exec(box, [&] {
            const QImage normal = tick->grab().toImage();
            QTest::mousePress(tick, mouse, {}, QPoint(20, 14));
            pressedLook = tick->Pressed();
            shiftedPicture = tick->grab().toImage() != normal;
            QTest::mouseRelease(tick, mouse, {}, releaseAt);
            QCoreApplication::processEvents();
            openAfterRelease = box.isVisible();
        }, closes ? 3000 : 300);

        // Every button gives the pressed look; only a left click inside closes.
        QVERIFY(pressedLook);
        QVERIFY(shiftedPicture);
        QVERIFY(!tick->Pressed());
        QCOMPARE(openAfterRelease, !closes);
        QCOMPARE(run.GuardFired, !closes);
        QCOMPARE(run.Result, closes ? int(QDialog::Accepted) : int(QDialog::Rejected));
        QVERIFY(box.isHidden());
    }

    // Without a mouse: Tab reaches the tick button, marked as focused only
    // then, and Space or Enter closes the box as a click does.
    void keyboardReachesTheTickButton_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("space") << int(Qt::Key_Space);
        QTest::newRow("return") << int(Qt::Key_Return);
        QTest::newRow("keypad enter") << int(Qt::Key_Enter);
    }

    void keyboardReachesTheTickButton()
    {
        QFETCH(int, key);
        TAboutBox box;
        TTransparentButton* tick = box.TransparentButton1;
        bool reached = false;
        bool markedOnlyByTab = false;
        TModalRun run;
        run.Exec(box, [&] {
            QVERIFY(QTest::qWaitForWindowActive(&box));
            const QImage unfocused = tick->grab().toImage();
            for (int tabs = 0; tabs < 5 && !tick->hasFocus(); ++tabs)
                QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &box, Qt::Key_Tab);
            reached = tick->hasFocus();
            markedOnlyByTab = tick->grab().toImage() != unfocused;
            QTest::keyClick(tick, Qt::Key(key));
        });
        QVERIFY(reached);
        QVERIFY(markedOnlyByTab);
        QVERIFY(!run.GuardFired);
        QCOMPARE(run.Result, int(QDialog::Accepted));
    }

    void closeBoxClosesIt()
    {
        TAboutBox box;
        TModalRun run;
        run.Exec(box, [&] { box.close(); });
        QVERIFY(!run.GuardFired);
        QVERIFY(box.isHidden());
    }

    void boxOpensAgainAfterClosing()
    {
        // It is created once and shown on the way out; a second showing must
        // work as the first did.
        TAboutBox box;
        for (int round = 0; round < 2; ++round) {
            TModalRun run;
            run.Exec(box, [&] { QTest::mouseClick(box.TransparentButton1, Qt::LeftButton, {}, QPoint(20, 14)); });
            QVERIFY(!run.GuardFired);
            QCOMPARE(run.Result, int(QDialog::Accepted));
        }
    }

    void mailLinkColoursAndAddress_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QPoint>("releaseAt");
        QTest::addColumn<bool>("opens");

        QTest::newRow("left, released inside") << int(Qt::LeftButton) << QPoint(5, 5) << true;
        QTest::newRow("right, released inside") << int(Qt::RightButton) << QPoint(5, 5) << true;
        QTest::newRow("left, released outside") << int(Qt::LeftButton) << QPoint(-10, 5) << false;
    }

    void mailLinkColoursAndAddress()
    {
        QFETCH(int, button);
        QFETCH(QPoint, releaseAt);
        QFETCH(bool, opens);
        const auto mouse = Qt::MouseButton(button);

        TAboutBox box;
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        TURLLabel* link = box.URLLabel1;
        const auto shown = [link] { return link->palette().color(QPalette::Active, QPalette::WindowText).rgb(); };

        QTest::mousePress(link, mouse, {}, QPoint(5, 5));
        QCOMPARE(link->FontColor(), clPurple);
        QCOMPARE(shown(), Resolved(clPurple));
        QVERIFY(opened_.isEmpty()); // nothing opens before the release
        QTest::mouseRelease(link, mouse, {}, releaseAt);
        QCOMPARE(link->FontColor(), opens ? clRed : clBlue);
        QCOMPARE(shown(), Resolved(opens ? clRed : clBlue));

        if (!opens) {
            QVERIFY(opened_.isEmpty());
            return;
        }
        QCOMPARE(opened_.size(), 1);
        // The blank after "mailto:" must not reach the mail program, which
        // reads the address from the path.
        const QUrl url = opened_.front();
        QCOMPARE(url.toString(), QStringLiteral("mailto:") + TAboutBox::MailAddress);
        QCOMPARE(url.scheme(), QStringLiteral("mailto"));
        QCOMPARE(url.path(), TAboutBox::MailAddress);
        QVERIFY(!url.toString().contains(QLatin1Char(' ')));
        // The link opens a mail, it does not close the box.
        QVERIFY(box.isVisible());
    }

    void logoIsDecodedAndStretchedIntoItsFrame()
    {
        TAboutBox box;
        QVERIFY(errors_.isEmpty());
        const QImage logo = box.Logo();
        QCOMPARE(logo.size(), QSize(263, 115));
        QCOMPARE(box.ProgramIcon->size(), QSize(214, 94));
        const QImage shown = box.ProgramIcon->pixmap().toImage();
        QCOMPARE(shown.size(), QSize(214, 94));

        // Stretched, not cut: every eighth of the frame shows the matching
        // eighth of the logo.
        for (int column = 0; column < 4; ++column)
            for (int row = 0; row < 2; ++row) {
                const QRect source(column * logo.width() / 4, row * logo.height() / 2, logo.width() / 4,
                                   logo.height() / 2);
                const QRect target(column * shown.width() / 4, row * shown.height() / 2, shown.width() / 4,
                                   shown.height() / 2);
                const QColor expected = BlockMean(logo, source);
                const QColor actual = BlockMean(shown, target);
                QVERIFY2(Near(expected, actual, DefaultColorTolerance),
                         qPrintable(QStringLiteral("block %1,%2: %3 against %4")
                                        .arg(column)
                                        .arg(row)
                                        .arg(actual.name(), expected.name())));
            }
        // A logo of one flat colour would pass the comparison above.
        QVERIFY(!Near(BlockMean(logo, QRect(0, 0, 40, 40)), BlockMean(logo, QRect(110, 40, 40, 40)), 10)
                || !Near(BlockMean(logo, QRect(0, 0, 40, 40)), BlockMean(logo, QRect(220, 70, 40, 40)), 10));
    }

    void badLogoIsReportedOnceAndLeavesAnEmptyPicture_data()
    {
        QTest::addColumn<QString>("damage");
        QTest::newRow("missing") << QStringLiteral("missing");
        QTest::newRow("empty file") << QStringLiteral("empty");
        QTest::newRow("cut short") << QStringLiteral("truncated");
        QTest::newRow("not a JPEG") << QStringLiteral("text");
    }

    void badLogoIsReportedOnceAndLeavesAnEmptyPicture()
    {
        QFETCH(QString, damage);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString source = QStringLiteral(ZELVON_TEST_DATA_DIR);
        QVERIFY(QFile::copy(source + QStringLiteral("/glyph-about.png"), folder.filePath(QStringLiteral("glyph-about.png"))));
        if (damage != QStringLiteral("missing")) {
            QFile original(source + QStringLiteral("/logo.jpg"));
            QVERIFY(original.open(QIODevice::ReadOnly));
            const QByteArray data = original.readAll();
            QByteArray written;
            if (damage == QStringLiteral("truncated"))
                written = data.left(data.size() / 2);
            else if (damage == QStringLiteral("text"))
                written = "Zelvon logo\n";
            QFile copy(folder.filePath(QStringLiteral("logo.jpg")));
            QVERIFY(copy.open(QIODevice::WriteOnly));
            QCOMPARE(copy.write(written), written.size());
        }
        SetDataDirectories({folder.path()});

        TAboutBox box;
        QCOMPARE(errors_.size(), 1);
        QVERIFY2(errors_.front().contains(QStringLiteral("logo.jpg")), qPrintable(errors_.front()));
        QVERIFY(box.Logo().isNull());
        QVERIFY(box.ProgramIcon->pixmap().isNull());

        // The rest of the box works as ever, and showing it reports nothing more.
        TModalRun run;
        run.Exec(box, [&] { QTest::mouseClick(box.TransparentButton1, Qt::LeftButton, {}, QPoint(20, 14)); });
        QVERIFY(!run.GuardFired);
        QCOMPARE(run.Result, int(QDialog::Accepted));
        QCOMPARE(errors_.size(), 1);
    }

    void missingGlyphLeavesAButtonThatCanBeSeen()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        QVERIFY(QFile::copy(QStringLiteral(ZELVON_TEST_DATA_DIR "/logo.jpg"), folder.filePath(QStringLiteral("logo.jpg"))));
        SetDataDirectories({folder.path()});

        TAboutBox box;
        QVERIFY(errors_.isEmpty());
        QVERIFY(box.TransparentButton1->Glyph().isNull());
        QVERIFY(!box.TransparentButton1->Caption().isEmpty());
        // Something is drawn where the button is.
        box.TransparentButton1->Paint();
        const QImage drawn = box.TransparentButton1->Image();
        bool anyPixel = false;
        for (int y = 0; y < drawn.height() && !anyPixel; ++y)
            for (int x = 0; x < drawn.width() && !anyPixel; ++x)
                anyPixel = qAlpha(drawn.pixel(x, y)) != 0;
        QVERIFY(anyPixel);

        TModalRun run;
        run.Exec(box, [&] { QTest::mouseClick(box.TransparentButton1, Qt::LeftButton, {}, QPoint(20, 14)); });
        QVERIFY(!run.GuardFired);
        QCOMPARE(run.Result, int(QDialog::Accepted));
    }

    void centredOnTheScreenEachTime()
    {
        QScreen* screen = QGuiApplication::primaryScreen();
        QVERIFY(screen);
        const QPoint centre = screen->availableGeometry().center();
        QWidget owner;
        owner.setGeometry(0, 0, 120, 90);
        owner.show();
        TAboutBox box(&owner);
        for (const QPoint placed : {QPoint(0, 0), QPoint(5, 300)}) {
            box.move(placed); // where a previous showing or the desktop left it
            box.show();
            QVERIFY(QTest::qWaitForWindowExposed(&box));
            const QPoint offset = box.frameGeometry().center() - centre;
            QVERIFY2(offset.manhattanLength() <= 2, qPrintable(QStringLiteral("off by %1, %2").arg(offset.x()).arg(offset.y())));
            box.hide();
        }
    }

private:
    QStringList errors_;
    QList<QUrl> opened_;
};

QTEST_MAIN(Unit2Test)
#include "Unit2Test.moc"
