// Choosing the interface language: the stored "Jazyk" read safely whatever
// the store holds, the program's and Qt's translations installed and
// replaced, a missing or damaged translation file falling back to Czech with
// one message, the English data files chosen over the Czech ones, and the
// English help document matching the Czech one topic for topic.
#include "shell/Application.h"
#include "shell/DataFiles.h"
#include "shell/Language.h"
#include "shell/Settings.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>

namespace {

QString StorePath()
{
    return QDir(qEnvironmentVariable("XDG_CONFIG_HOME")).filePath(QStringLiteral("Brantek/Zelvon.conf"));
}

void WriteStore(const QByteArray& contents)
{
    QDir().mkpath(QFileInfo(StorePath()).absolutePath());
    QFile file(StorePath());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(contents);
    file.flush();
    // QSettings knows a file it has read by its size and time: every store
    // written here must look new to it.
    static int written = 0;
    file.setFileTime(QDateTime::currentDateTime().addSecs(++written), QFileDevice::FileModificationTime);
}

QString Translated(const char* context, const char* text)
{
    return QCoreApplication::translate(context, text);
}

struct THelpOutline {
    QStringList Anchors;
    QStringList Links;
    QStringList Images;
    QString Text;
};

THelpOutline Outline(const QString& path)
{
    QFile file(path);
    THelpOutline outline;
    if (!file.open(QIODevice::ReadOnly))
        return outline;
    QTextDocument document;
    document.setHtml(QString::fromUtf8(file.readAll()));
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            outline.Anchors << format.anchorNames();
            if (format.isAnchor() && !format.anchorHref().isEmpty())
                outline.Links << format.anchorHref();
            if (format.isImageFormat())
                outline.Images << format.toImageFormat().name();
        }
    }
    outline.Text = document.toPlainText();
    return outline;
}

} // namespace

class LanguageTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir config_;
    QTemporaryDir data_;
    QStringList errors_;

private slots:
    void initTestCase()
    {
        QVERIFY(config_.isValid() && data_.isValid());
        qputenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit());
        SetErrorReporter([this](const QString& message) { errors_ << message; });
    }

    void init()
    {
        errors_.clear();
        SetDataDirectories({QStringLiteral(ZELVON_TEST_DATA_DIR)});
        QFile::remove(StorePath());
    }

    void cleanup()
    {
        InstallLanguage(QStringLiteral("cs"));
    }

    void storedLanguageIsReadSafely_data()
    {
        QTest::addColumn<QByteArray>("store");
        QTest::addColumn<QString>("language");
        QTest::newRow("no store") << QByteArray() << "cs";
        QTest::newRow("no value") << QByteArray("[General]\nSound=1\n") << "cs";
        QTest::newRow("english") << QByteArray("[General]\nJazyk=en\n") << "en";
        QTest::newRow("czech") << QByteArray("[General]\nJazyk=cs\n") << "cs";
        QTest::newRow("empty") << QByteArray("[General]\nJazyk=\n") << "cs";
        QTest::newRow("capitals") << QByteArray("[General]\nJazyk=EN\n") << "cs";
        QTest::newRow("unknown language") << QByteArray("[General]\nJazyk=de\n") << "cs";
        QTest::newRow("locale name") << QByteArray("[General]\nJazyk=en_GB\n") << "cs";
        QTest::newRow("a list") << QByteArray("[General]\nJazyk=en, cs\n") << "cs";
        QTest::newRow("bytes") << QByteArray("[General]\nJazyk=@ByteArray(en)\n") << "cs";
        QTest::newRow("unclosed quote") << QByteArray("[General]\nJazyk=\"en\nSound=0\n") << "cs";
    }

    void storedLanguageIsReadSafely()
    {
        QFETCH(QByteArray, store);
        QFETCH(QString, language);
        if (!store.isEmpty())
            WriteStore(store);
        QCOMPARE(LanguageSetting(), language);
    }

    void storeThatIsNoFileMeansCzech()
    {
        QDir().mkpath(StorePath());
        QCOMPARE(LanguageSetting(), QStringLiteral("cs"));
        QDir(StorePath()).removeRecursively();
    }

    void translationsAreInstalledAndReplaced()
    {
        QVERIFY(InstallLanguage(QStringLiteral("en")));
        QCOMPARE(CurrentLanguage(), QStringLiteral("en"));
        QCOMPARE(Translated("TForm1", "Konec"), QStringLiteral("Quit"));
        QCOMPARE(Translated("NetErrors", "Soupeř ukončil hru."), QStringLiteral("The opponent has ended the game."));

        // Qt's own standard texts follow the language too.
        QVERIFY(InstallLanguage(QStringLiteral("cs")));
        QCOMPARE(CurrentLanguage(), QStringLiteral("cs"));
        QCOMPARE(Translated("TForm1", "Konec"), QStringLiteral("Konec"));
        QCOMPARE(Translated("QPlatformTheme", "Cancel"), QStringLiteral("Zrušit"));
        QVERIFY(InstallLanguage(QStringLiteral("en")));
        QCOMPARE(Translated("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));

        // An unknown language is the source one.
        QVERIFY(InstallLanguage(QStringLiteral("xx")));
        QCOMPARE(CurrentLanguage(), QStringLiteral("cs"));
        QCOMPARE(Translated("TForm1", "Nápověda"), QStringLiteral("Nápověda"));
    }

    void unusableTranslationFallsBackToCzech_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("empty") << QByteArray("");
        QTest::newRow("garbage") << QByteArray("this is no translation file at all");
        QTest::newRow("cut off") << QByteArray("\x3c\xb8\x64\x18\xca\xef\x9c\x95\xcd\x21\x1c\xbf\x60\xa1\xbd\xdd\x42", 17);
    }

    void unusableTranslationFallsBackToCzech()
    {
        QFETCH(QByteArray, contents);
        QTemporaryDir folder;
        SetDataDirectories({folder.path()});
        if (!contents.isNull()) {
            QFile file(QDir(folder.path()).filePath(TranslationFileName(QStringLiteral("en"))));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(contents);
        }
        WriteStore("[General]\nJazyk=en\n");
        ApplyLanguageSetting();
        QCOMPARE(CurrentLanguage(), QStringLiteral("cs"));
        QCOMPARE(Translated("TForm1", "Konec"), QStringLiteral("Konec"));
        QCOMPARE(errors_.size(), 1);
        QVERIFY2(errors_.front().contains(QStringLiteral("zelvon_en.qm")) && errors_.front().contains(QStringLiteral("česky"))
                     && errors_.front().contains(QStringLiteral("in Czech")),
                 qPrintable(errors_.front()));
    }

    void czechSettingNeedsNoTranslationFile()
    {
        QTemporaryDir folder;
        SetDataDirectories({folder.path()});
        WriteStore("[General]\nJazyk=cs\n");
        ApplyLanguageSetting();
        QCOMPARE(CurrentLanguage(), QStringLiteral("cs"));
        QVERIFY(errors_.isEmpty());
    }

    void englishDataFilesWhereThereAreAny_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        QTest::newRow("czech help") << "cs" << "Zelvon.hlp" << "Zelvon.hlp";
        QTest::newRow("english help") << "en" << "Zelvon.hlp" << "Zelvon_en.hlp";
        QTest::newRow("english podium") << "en" << "podium.png" << "podium_en.png";
        QTest::newRow("no english logo") << "en" << "logo.jpg" << "logo.jpg";
        QTest::newRow("name without suffix") << "en" << "Zelvon" << "Zelvon";
    }

    void englishDataFilesWhereThereAreAny()
    {
        QFETCH(QString, language);
        QFETCH(QString, name);
        QFETCH(QString, expected);
        QVERIFY(InstallLanguage(language));
        QCOMPARE(LocalizedDataFile(name), expected);
    }

    void englishHelpMatchesTheCzechOne()
    {
        const THelpOutline czech = Outline(DataFilePath(QStringLiteral("Zelvon.hlp")));
        const THelpOutline english = Outline(DataFilePath(QStringLiteral("Zelvon_en.hlp")));
        QVERIFY(czech.Anchors.contains(QStringLiteral("IDH_1")));
        QCOMPARE(english.Anchors, czech.Anchors);
        QCOMPARE(english.Links, czech.Links);
        QCOMPARE(english.Images, czech.Images);
        // Written in English: no Czech letters, and about as long.
        static const QRegularExpression czechLetters(QStringLiteral("[ÁČĎÉĚÍŇÓŘŠŤÚŮÝŽáčďéěíňóřšťúůýž]"));
        const QRegularExpressionMatch letter = czechLetters.match(english.Text);
        QVERIFY2(!letter.hasMatch(), qPrintable(english.Text.mid(std::max<qsizetype>(0, letter.capturedStart() - 40), 80)));
        QVERIFY(english.Text.size() > czech.Text.size() * 8 / 10);
    }
};

QTEST_MAIN(LanguageTest)
#include "LanguageTest.moc"
