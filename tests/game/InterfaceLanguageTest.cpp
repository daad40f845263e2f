// The interface in each of its languages, headless: every window of the
// program (main window, settings dialog with all its pages, about box,
// podium, help viewer, the quit question and an error box) is walked for
// its texts. In English no Czech text of the program may show: no Czech
// letters, no Czech word of the program, no source text left untranslated.
// In Czech no English text of the program may show: nothing equal to an
// English translation that differs from its Czech source.
#include "shell/Application.h"
#include "shell/DataFiles.h"
#include "shell/Language.h"
#include "shell/Settings.h"
#include "tests/InterfaceTexts.h"
#include "tests/game/TestProgram.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// The product's name is the same in both languages.
const QStringList Names = {QStringLiteral("Zelvon pro Windows 95"), QStringLiteral("Zelvon pro Win 95")};

QString WithoutNames(QString text)
{
    for (const QString& name : Names)
        text.remove(name);
    return text;
}

// Collects the texts of every modal window that comes up and closes it
// without an answer, the way a player cancels: the quit question is not
// confirmed, the settings are not changed.
class TModalReader : public QObject {
public:
    TModalReader()
    {
        timer_.setInterval(5);
        connect(&timer_, &QTimer::timeout, this, [this] { Step(); });
        timer_.start();
    }

    QList<TShownText> Texts;
    QStringList Windows;

private:
    void Step()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || handled_.contains(modal))
            return;
        handled_ << modal;
        Windows << QString::fromLatin1(modal->metaObject()->className());
        Texts << WindowTexts(modal);
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->done(QMessageBox::Abort);
        else
            modal->close();
    }

    QTimer timer_;
    QList<QPointer<QWidget>> handled_;
};

} // namespace

class InterfaceLanguageTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir config_;
    QTemporaryDir empty_;
    QList<TTranslatedText> translation_;

    // Every window of the program with its texts, in the language installed.
    QList<TShownText> WalkAllWindows(QStringList& modalWindows)
    {
        QList<TShownText> texts;
        TestProgram program;
        if (QTest::currentTestFailed())
            return texts;
        TModalReader reader;
        // The settings dialog, the quit question and the podium are modal.
        QTest::mouseClick(program.Form1.BitBtn2, Qt::LeftButton);
        QTest::mouseClick(program.Form1.BitBtn1, Qt::LeftButton);
        program.Form5.ShowPodium(poBlueWon, false);
        // The help viewer, then an error box of the program's own with Qt's
        // standard button: the help file asked for where there is none.
        QTest::mouseClick(program.Form1.BitBtn4, Qt::LeftButton);
        SetErrorReporter({});
        SetDataDirectories({empty_.path()});
        QTest::mouseClick(program.Form1.BitBtn4, Qt::LeftButton);
        SetDataDirectories({QStringLiteral(ZELVON_TEST_DATA_DIR)});
        SetErrorReporter([](const QString&) {});

        texts << reader.Texts;
        modalWindows = reader.Windows;
        // The windows that are not modal, and those shown so far hidden again.
        for (QWidget* window : {static_cast<QWidget*>(&program.Form1), static_cast<QWidget*>(&program.AboutBox),
                                static_cast<QWidget*>(&program.SetupDial), static_cast<QWidget*>(&program.Form5)})
            texts << WindowTexts(window);
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->isVisible() && window != &program.Form1)
                texts << WindowTexts(window);
        return texts;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(config_.isValid() && empty_.isValid());
        qputenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit());
        WriteSetting(QStringLiteral("Music"), QStringLiteral("0"));
        WriteSetting(QStringLiteral("Sound"), QStringLiteral("0"));
        SetDataDirectories({QStringLiteral(ZELVON_TEST_DATA_DIR)});
        SetErrorReporter([](const QString&) {});
        translation_ = ReadTranslationFile(QStringLiteral(ZELVON_TS_FILE));
        QVERIFY(translation_.size() > 50);
    }

    void cleanup()
    {
        InstallLanguage(QStringLiteral("cs"));
    }

    void englishShowsNoCzech()
    {
        QVERIFY(InstallLanguage(QStringLiteral("en")));
        QStringList modalWindows;
        const QList<TShownText> texts = WalkAllWindows(modalWindows);
        QVERIFY2(modalWindows.size() >= 4, qPrintable(modalWindows.join(u',')));

        // Words of the program's Czech texts that no English text has.
        QSet<QString> englishWords;
        QSet<QString> untranslated;
        for (const TTranslatedText& message : translation_)
            for (const QString& word : Words(message.Translation))
                englishWords.insert(word);
        QSet<QString> czechWords;
        for (const TTranslatedText& message : translation_) {
            if (message.Translation != message.Source)
                untranslated.insert(WithoutMnemonics(message.Source));
            for (const QString& word : Words(message.Source))
                if (word.size() >= 3 && !englishWords.contains(word))
                    czechWords.insert(word);
        }
        QVERIFY(czechWords.contains(QStringLiteral("konec")));
        // Common words of the game's Czech without Czech letters, for texts
        // that were never made translatable at all.
        for (const char* word : {"hra", "hrac", "konec", "znovu", "jazyk", "hudba", "zvuky", "povolit", "tah", "tahy",
                                 "zpet", "pocitac", "soupere", "spojeni", "adresa", "nastaveni", "napoveda"})
            czechWords.insert(QLatin1String(word));

        bool sawQuit = false;
        for (const TShownText& shown : texts) {
            const QString text = WithoutNames(shown.Text);
            sawQuit = sawQuit || shown.Text == QStringLiteral("Quit");
            QVERIFY2(!HasCzechLetters(text), qPrintable(shown.Where + QStringLiteral(": ") + shown.Text));
            QVERIFY2(!untranslated.contains(shown.Text), qPrintable(shown.Where + QStringLiteral(": ") + shown.Text));
            for (const QString& word : Words(text))
                QVERIFY2(!czechWords.contains(word), qPrintable(shown.Where + QString::fromUtf8(": “") + word + QString::fromUtf8("” in ") + shown.Text));
        }
        QVERIFY2(sawQuit, "the walk did not reach the main window's buttons");
    }

    void czechShowsNoEnglish()
    {
        QVERIFY(InstallLanguage(QStringLiteral("cs")));
        QStringList modalWindows;
        const QList<TShownText> texts = WalkAllWindows(modalWindows);
        QVERIFY2(modalWindows.size() >= 4, qPrintable(modalWindows.join(u',')));

        QSet<QString> english;
        for (const TTranslatedText& message : translation_)
            if (message.Translation != message.Source)
                english.insert(WithoutMnemonics(message.Translation));
        bool sawQuit = false;
        for (const TShownText& shown : texts) {
            sawQuit = sawQuit || shown.Text == QStringLiteral("Konec");
            QVERIFY2(!english.contains(shown.Text), qPrintable(shown.Where + QStringLiteral(": ") + shown.Text));
            // A document is checked line by line.
            for (const QString& line : shown.Text.split(u'\n'))
                QVERIFY2(!english.contains(line.trimmed()), qPrintable(shown.Where + QStringLiteral(": ") + line));
        }
        QVERIFY2(sawQuit, "the walk did not reach the main window's buttons");
    }
};

QTEST_MAIN(InterfaceLanguageTest)
#include "InterfaceLanguageTest.moc"
