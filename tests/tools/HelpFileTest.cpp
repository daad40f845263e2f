// The help document as the program's viewer sees it: read from the output
// folder by QTextBrowser, with its topic anchor, working internal links and
// the pictures it shows.
#include "shell/DataFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QScrollBar>
#include <QSet>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextFragment>
#include <QUrl>

namespace {

struct THelpStructure {
    QSet<QString> Anchors;
    QStringList Links;
    QStringList Images;
};

THelpStructure Scan(const QTextDocument& document)
{
    THelpStructure found;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid())
                continue;
            const QTextCharFormat format = fragment.charFormat();
            for (const QString& name : format.anchorNames())
                found.Anchors.insert(name);
            if (format.isAnchor() && !format.anchorHref().isEmpty())
                found.Links.append(format.anchorHref());
            if (format.isImageFormat())
                found.Images.append(format.toImageFormat().name());
        }
    }
    return found;
}

} // namespace

class HelpFileTest : public QObject {
    Q_OBJECT

private:
    QString path_;
    QTextBrowser browser_;

private slots:
    void initTestCase()
    {
        SetDataDirectories({QStringLiteral(ZELVON_TEST_DATA_DIR)});
        path_ = DataFilePath(QStringLiteral("Zelvon.hlp"));
        QVERIFY2(QFileInfo::exists(path_), qPrintable(path_));
        // The same route the help window takes: by URL, so the type and the
        // character set come from the file itself.
        browser_.setSource(QUrl::fromLocalFile(path_));
        QVERIFY(!browser_.document()->isEmpty());
    }

    void readsAsCzechHtml()
    {
        const QString text = browser_.document()->toPlainText();
        QVERIFY2(!text.contains(QLatin1Char('<')), "markup shows as text: the file was not read as HTML");
        QVERIFY2(!text.contains(QChar::ReplacementCharacter), "the file is not valid UTF-8");
        // Letters that only survive a correct UTF-8 decode.
        QVERIFY2(text.contains(QStringLiteral("Pravidla hry")) && text.contains(QStringLiteral("Nápověda")),
                 "Czech headings are missing or garbled");
        QVERIFY(!browser_.documentTitle().isEmpty());
    }

    void topicAnchorLeadsToTheRules()
    {
        const THelpStructure help = Scan(*browser_.document());
        QVERIFY(help.Anchors.contains(QStringLiteral("IDH_1")));

        // The text right after the topic anchor is the rules heading.
        const QTextDocument& document = *browser_.document();
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                if (it.fragment().charFormat().anchorNames().contains(QStringLiteral("IDH_1"))) {
                    QVERIFY2(block.text().contains(QStringLiteral("Pravidla")), qPrintable(block.text()));
                    // Near the top: within the first fifth of the document.
                    QVERIFY(block.position() < document.characterCount() / 5);
                    return;
                }
            }
        }
        QFAIL("no block carries the IDH_1 anchor");
    }

    void internalLinksReachAnAnchor()
    {
        const THelpStructure help = Scan(*browser_.document());
        QVERIFY(help.Links.size() >= 5);
        for (const QString& link : help.Links) {
            const QUrl url(link);
            if (!url.scheme().isEmpty())
                continue;
            QVERIFY2(url.path().isEmpty(), qPrintable(QStringLiteral("link to another file: ") + link));
            QVERIFY2(help.Anchors.contains(url.fragment()), qPrintable(QStringLiteral("dangling link ") + link));
        }
    }

    void picturesExistInTheOutputFolder()
    {
        const THelpStructure help = Scan(*browser_.document());
        QVERIFY(!help.Images.isEmpty());
        const QDir folder = QFileInfo(path_).dir();
        for (const QString& name : help.Images) {
            QVERIFY2(!name.contains(QLatin1Char('/')), qPrintable(name));
            const QString picture = folder.filePath(name);
            if (!QFileInfo::exists(picture))
                QSKIP(qPrintable(QStringLiteral("%1 has not been generated yet").arg(name)));
            QVERIFY2(!QImage(picture).isNull(), qPrintable(picture));
        }
    }

    void openingAtTheTopicScrollsThere()
    {
        QTextBrowser viewer;
        viewer.resize(400, 300);
        viewer.show();
        QVERIFY(QTest::qWaitForWindowExposed(&viewer));
        QUrl url = QUrl::fromLocalFile(path_);
        viewer.setSource(url);
        QCOMPARE(viewer.verticalScrollBar()->value(), 0);
        url.setFragment(QStringLiteral("IDH_1"));
        viewer.setSource(url);
        QTRY_VERIFY(viewer.verticalScrollBar()->value() > 0);
        // The anchor's block is what now stands at the top of the view.
        const QTextCursor top = viewer.cursorForPosition(QPoint(5, 5));
        QVERIFY2(top.block().text().contains(QStringLiteral("Pravidla")), qPrintable(top.block().text()));
    }
};

QTEST_MAIN(HelpFileTest)
#include "HelpFileTest.moc"
