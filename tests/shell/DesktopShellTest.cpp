// The desktop's open service: which address a target becomes, and that the
// opener sees exactly that address or nothing at all.
#include "shell/DesktopShell.h"

#include <QTemporaryFile>
#include <QTest>

class DesktopShellTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { SetShellOpener({}); }

    void targetsBecomeAddresses_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("expected");

        QTest::newRow("mail with a blank after the colon") << "mailto: someone@example.org" << "mailto:someone@example.org";
        QTest::newRow("mail with blanks and a tab") << "mailto: \t  someone@example.org" << "mailto:someone@example.org";
        QTest::newRow("mail as written") << "mailto:someone@example.org" << "mailto:someone@example.org";
        QTest::newRow("web page with blanks around") << "  https://www.example.org/zelvon  " << "https://www.example.org/zelvon";
        QTest::newRow("upper-case scheme") << "HTTP://www.example.org/" << "http://www.example.org/";
        QTest::newRow("host without a scheme") << "www.example.org" << "http://www.example.org";
        QTest::newRow("host and path without a scheme") << "example.org/games/index.html" << "http://example.org/games/index.html";
        QTest::newRow("host with a port") << "www.example.org:8080/x" << "http://www.example.org:8080/x";
        QTest::newRow("bare mail address") << "someone@example.org" << "mailto:someone@example.org";
        QTest::newRow("a caption is no address") << "Brantek's Homepage" << "";
        QTest::newRow("a default caption is no address") << "Click me!" << "";
        QTest::newRow("a single word is no address") << "zelvon" << "";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("blanks only") << "   " << "";
        QTest::newRow("scheme without anything after it") << "mailto:  " << "";
        QTest::newRow("missing absolute file") << "/no/such/folder/zelvon.txt" << "";
    }

    void targetsBecomeAddresses()
    {
        QFETCH(QString, target);
        QFETCH(QString, expected);
        QCOMPARE(ShellTargetUrl(target).toString(), expected);

        QList<QUrl> opened;
        SetShellOpener([&](const QUrl& url) {
            opened << url;
            return true;
        });
        ShellOpen(target);
        if (expected.isEmpty()) {
            QVERIFY(opened.isEmpty());
        } else {
            QCOMPARE(opened.size(), 1);
            QCOMPARE(opened.front(), QUrl(expected));
        }
    }

    void mailAddressKeepsItsParts()
    {
        // The mail program reads the address from the path: no blank may
        // survive in front of it.
        const QUrl url = ShellTargetUrl(QStringLiteral("mailto: someone@example.org"));
        QCOMPARE(url.scheme(), QStringLiteral("mailto"));
        QCOMPARE(url.path(), QStringLiteral("someone@example.org"));
    }

    void existingFileOpensAsFile()
    {
        QTemporaryFile file;
        QVERIFY(file.open());
        const QUrl url = ShellTargetUrl(file.fileName());
        QVERIFY(url.isLocalFile());
        QCOMPARE(url.toLocalFile(), file.fileName());
    }

    void refusedOpenIsSilent()
    {
        int calls = 0;
        SetShellOpener([&](const QUrl&) {
            ++calls;
            return false;
        });
        ShellOpen(QStringLiteral("https://www.example.org/"));
        ShellOpen(QStringLiteral("mailto: someone@example.org"));
        QCOMPARE(calls, 2);
    }
};

QTEST_GUILESS_MAIN(DesktopShellTest)
#include "DesktopShellTest.moc"
