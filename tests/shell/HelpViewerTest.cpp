// The help, headless: the Nápověda button opens our viewer at the rules
// topic, again after the reader has scrolled away, with its pictures and its
// Czech text; a missing help file is reported once per press and opens
// nothing.
#include "game/Unit1.h"
#include "shell/Application.h"
#include "shell/DataFiles.h"
#include "shell/HelpViewer.h"
#include "shell/Settings.h"

#include <QApplication>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextFragment>

namespace {

const QString Topic = QStringLiteral("IDH_1");

// The text of the block that stands at the top of the viewer's page.
QString TopBlockText(const QTextBrowser& browser)
{
    return browser.cursorForPosition(QPoint(5, 5)).block().text();
}

QStringList ImageNames(const QTextDocument& document)
{
    QStringList names;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat())
                names << it.fragment().charFormat().toImageFormat().name();
    return names;
}

QList<THelpViewer*> VisibleViewers()
{
    QList<THelpViewer*> viewers;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* viewer = qobject_cast<THelpViewer*>(window); viewer && viewer->isVisible())
            viewers << viewer;
    return viewers;
}

} // namespace

class HelpViewerTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(config_.isValid());
        qputenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit());
        WriteSetting(QStringLiteral("Music"), QStringLiteral("0"));
        WriteSetting(QStringLiteral("Sound"), QStringLiteral("0"));
        SetErrorReporter([this](const QString& message) { errors_ << message; });
    }

    void init()
    {
        errors_.clear();
        SetDataDirectories({QStringLiteral(ZELVON_TEST_DATA_DIR)});
    }

    void helpButtonOpensTheViewerAtTheTopic()
    {
        TForm1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::mouseClick(form.BitBtn4, Qt::LeftButton);

        const QList<THelpViewer*> viewers = VisibleViewers();
        QCOMPARE(viewers.size(), 1);
        THelpViewer* viewer = viewers.front();
        QVERIFY(viewer->isWindow());
        QTextBrowser* browser = viewer->Browser();
        QVERIFY(QTest::qWaitForWindowExposed(viewer));
        // The topic is not the top of the file: the view has moved down to it.
        QTRY_VERIFY(browser->verticalScrollBar()->value() > 0);
        QVERIFY2(TopBlockText(*browser).contains(QStringLiteral("Pravidla")), qPrintable(TopBlockText(*browser)));
        QVERIFY2(errors_.isEmpty(), qPrintable(errors_.join(QLatin1Char('|'))));
    }

    void secondPressReturnsToTheTopicInTheSameViewer()
    {
        TForm1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTest::mouseClick(form.BitBtn4, Qt::LeftButton);
        QCOMPARE(VisibleViewers().size(), 1);
        THelpViewer* viewer = VisibleViewers().front();
        QTextBrowser* browser = viewer->Browser();
        QTRY_VERIFY(browser->verticalScrollBar()->value() > 0);
        const int atTopic = browser->verticalScrollBar()->value();

        // The reader scrolls to the end, then presses the button again.
        browser->verticalScrollBar()->setValue(browser->verticalScrollBar()->maximum());
        QVERIFY(browser->verticalScrollBar()->value() != atTopic);
        QTest::mouseClick(form.BitBtn4, Qt::LeftButton);

        QCOMPARE(VisibleViewers(), QList<THelpViewer*>{viewer});
        QTRY_COMPARE(browser->verticalScrollBar()->value(), atTopic);
        QVERIFY2(TopBlockText(*browser).contains(QStringLiteral("Pravidla")), qPrintable(TopBlockText(*browser)));
        QVERIFY2(errors_.isEmpty(), qPrintable(errors_.join(QLatin1Char('|'))));
    }

    void viewerShowsTheCzechTextAndItsPictures()
    {
        QWidget owner;
        ShowHelpTopic(&owner, QStringLiteral("Zelvon.hlp"), Topic);
        QCOMPARE(VisibleViewers().size(), 1);
        QTextBrowser* browser = VisibleViewers().front()->Browser();
        const QString text = browser->toPlainText();
        QVERIFY2(!text.contains(QLatin1Char('<')), "markup shows as text");
        QVERIFY(!text.contains(QChar::ReplacementCharacter));
        QVERIFY(text.contains(QString::fromUtf8("Pravidla hry")));
        QVERIFY(text.contains(QString::fromUtf8("Nápověda")));

        // The pictures lie beside the help file; the viewer must find them
        // although the document came in as text, not from a file address.
        const QStringList pictures = ImageNames(*browser->document());
        QVERIFY(!pictures.isEmpty());
        for (const QString& name : pictures) {
            const QVariant resource = browser->document()->resource(QTextDocument::ImageResource, QUrl(name));
            QVERIFY2(resource.isValid(), qPrintable(name));
            const QImage image = resource.typeId() == QMetaType::QImage ? resource.value<QImage>()
                                 : resource.typeId() == QMetaType::QPixmap
                                     ? resource.value<QPixmap>().toImage()
                                     : QImage::fromData(resource.toByteArray());
            QVERIFY2(!image.isNull(), qPrintable(name));
        }
        QVERIFY2(errors_.isEmpty(), qPrintable(errors_.join(QLatin1Char('|'))));
    }

    void missingHelpFileIsReportedOncePerPressAndOpensNothing()
    {
        TForm1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        errors_.clear();
        QTemporaryDir empty;
        QVERIFY(empty.isValid());
        SetDataDirectories({empty.path()});

        for (int press = 1; press <= 2; ++press) {
            QTest::mouseClick(form.BitBtn4, Qt::LeftButton);
            QCOMPARE(errors_.size(), press);
            QVERIFY2(errors_.back().contains(QStringLiteral("Zelvon.hlp")), qPrintable(errors_.back()));
            QVERIFY(VisibleViewers().isEmpty());
        }
        QVERIFY(form.isVisible());
    }

    void openTopicRefusesAFileItCannotRead()
    {
        THelpViewer viewer;
        QTemporaryDir empty;
        QVERIFY(empty.isValid());
        QVERIFY(!viewer.OpenTopic(empty.filePath(QStringLiteral("Zelvon.hlp")), Topic));
        // A folder under the help file's name is no help file either.
        QVERIFY(!viewer.OpenTopic(empty.path(), Topic));
        QVERIFY(viewer.isHidden());
        QVERIFY(viewer.Browser()->document()->isEmpty());
    }

private:
    QTemporaryDir config_;
    QStringList errors_;
};

QTEST_MAIN(HelpViewerTest)
#include "HelpViewerTest.moc"
