// Choosing and installing the interface language (see Language.h).
#include "shell/Language.h"

#include "shell/Application.h"
#include "shell/DataFiles.h"
#include "shell/Exception.h"
#include "shell/Settings.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

namespace {

const QString SourceLanguage = QStringLiteral("cs");

struct TInstalled {
    QString Language = SourceLanguage;
    QPointer<QTranslator> Program;
    QPointer<QTranslator> Qt;
};

TInstalled& Installed()
{
    static TInstalled installed;
    return installed;
}

void Remove(QPointer<QTranslator>& translator)
{
    if (!translator)
        return;
    QCoreApplication::removeTranslator(translator);
    delete translator.data();
}

// Qt's own texts in `language`, from the folder Qt keeps its translations
// in; without that file the standard buttons simply stay as Qt has them.
QTranslator* LoadQtTranslation(const QString& language)
{
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(QStringLiteral("qtbase_") + language, QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        return translator;
    delete translator;
    return nullptr;
}

} // namespace

QStringList InterfaceLanguages()
{
    return {SourceLanguage, QStringLiteral("en")};
}

QString LanguageSetting()
{
    QString stored;
    try {
        stored = ReadSetting(QStringLiteral("Jazyk"), SourceLanguage);
    } catch (const Exception&) {
        // A damaged value is reported when the settings are loaded; the
        // language simply stays the source one.
        return SourceLanguage;
    }
    return InterfaceLanguages().contains(stored) ? stored : SourceLanguage;
}

QString TranslationFileName(const QString& language)
{
    return QStringLiteral("zelvon_%1.qm").arg(language);
}

bool InstallLanguage(const QString& language)
{
    TInstalled& installed = Installed();
    Remove(installed.Program);
    Remove(installed.Qt);
    installed.Language = SourceLanguage;

    bool loaded = true;
    QString target = InterfaceLanguages().contains(language) ? language : SourceLanguage;
    if (target != SourceLanguage) {
        auto* program = new QTranslator(QCoreApplication::instance());
        if (program->load(DataFilePath(TranslationFileName(target))) && !program->isEmpty()) {
            QCoreApplication::installTranslator(program);
            installed.Program = program;
        } else {
            delete program;
            loaded = false;
            target = SourceLanguage;
        }
    }
    if (QTranslator* qt = LoadQtTranslation(target)) {
        QCoreApplication::installTranslator(qt);
        installed.Qt = qt;
    }
    installed.Language = target;
    return loaded;
}

void ApplyLanguageSetting()
{
    const QString language = LanguageSetting();
    if (InstallLanguage(language))
        return;
    // Nothing translated is there to say this in the chosen language, so it
    // is said in both.
    const QString path = DataFilePath(TranslationFileName(language));
    ShowErrorMessage(QString::fromUtf8("Překlad rozhraní %1 nelze načíst (%2). Hra poběží česky.\n\n"
                                       "The translation %1 cannot be loaded. The game runs in Czech.")
                         .arg(QuotedPath(path), UnreadableReason(path)));
}

QString CurrentLanguage()
{
    return Installed().Language;
}

QString LocalizedDataFile(const QString& name)
{
    const QString language = CurrentLanguage();
    if (language == SourceLanguage)
        return name;
    const QFileInfo info(name);
    const QString localized = QStringLiteral("%1_%2.%3").arg(info.completeBaseName(), language, info.suffix());
    return QFileInfo::exists(DataFilePath(localized)) ? localized : name;
}
