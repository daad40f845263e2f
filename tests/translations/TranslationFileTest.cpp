// The English translation as lrelease and the program will use it: every
// text translated, and every translation fit to stand in for its source:
// the same arg() markers, the same accelerator, line breaks and edge blanks.
#include "tests/TranslationFile.h"

#include <QRegularExpression>
#include <QSet>
#include <QTest>

namespace {

QStringList Markers(const QString& text)
{
    static const QRegularExpression marker(QStringLiteral("%(\\d{1,2}|L\\d{1,2})"));
    QStringList found;
    for (auto it = marker.globalMatch(text); it.hasNext();)
        found << it.next().captured();
    found.sort();
    found.removeDuplicates();
    return found;
}

// Single ampersands mark the accelerator; "&&" is a plain one.
int Accelerators(QString text)
{
    text.remove(QStringLiteral("&&"));
    return static_cast<int>(text.count(u'&'));
}

} // namespace

class TranslationFileTest : public QObject {
    Q_OBJECT

private slots:
    void fileHoldsTheProgramsTexts()
    {
        const QList<TTranslatedText> messages = ReadTranslationFile(QStringLiteral(ZELVON_TS_FILE));
        QVERIFY2(messages.size() > 50, "the .ts file is missing, damaged or nearly empty");
        QSet<QString> contexts;
        QSet<QString> seen;
        for (const TTranslatedText& message : messages) {
            contexts.insert(message.Context);
            const QString key = message.Context + u'\x1f' + message.Source;
            QVERIFY2(!seen.contains(key), qPrintable(QStringLiteral("twice: ") + message.Source));
            seen.insert(key);
        }
        // The windows, the error messages and the network game are all in it.
        for (const char* context : {"TForm1", "TSetupDial", "TAboutBox", "TForm5", "THelpViewer", "NetErrors", "Music"})
            QVERIFY2(contexts.contains(QLatin1String(context)), context);
    }

    void everyTextIsTranslated_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("translation");
        QTest::addColumn<bool>("finished");
        for (const TTranslatedText& message : ReadTranslationFile(QStringLiteral(ZELVON_TS_FILE)))
            QTest::newRow(qPrintable(message.Context + QStringLiteral(": ") + message.Source.left(40)))
                << message.Source << message.Translation << message.Finished;
    }

    void everyTextIsTranslated()
    {
        QFETCH(QString, source);
        QFETCH(QString, translation);
        QFETCH(bool, finished);
        QVERIFY2(finished, "unfinished: run tools/update-translations.sh and translate it");
        QVERIFY(!translation.isEmpty());
        QCOMPARE(Markers(translation), Markers(source));
        QCOMPARE(Accelerators(translation), Accelerators(source));
        QCOMPARE(translation.count(u'\n'), source.count(u'\n'));
        QCOMPARE(translation.endsWith(u' '), source.endsWith(u' '));
        QCOMPARE(translation.startsWith(u' '), source.startsWith(u' '));
    }
};

QTEST_MAIN(TranslationFileTest)
#include "TranslationFileTest.moc"
