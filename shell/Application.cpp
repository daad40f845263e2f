#include "shell/Application.h"

#include "shell/Exception.h"

#include <QFont>
#include <QMessageBox>

namespace {

ErrorReporter& Reporter()
{
    static ErrorReporter reporter;
    return reporter;
}

QString ApplicationTitle()
{
    if (auto* app = dynamic_cast<TApplication*>(QCoreApplication::instance()); app && !app->Title.isEmpty())
        return app->Title;
    return QCoreApplication::applicationName();
}

} // namespace

TApplication::TApplication(int& argc, char** argv)
    : QApplication(argc, argv)
{
    // The windows were laid out for this narrow face; Arial's metric twins
    // keep captions inside their boxes where it is missing.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"), QStringLiteral("Arial")});
}

bool TApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        ShowException(error);
    } catch (...) {
        ShowErrorMessage(QString::fromUtf8("Nastala neznámá chyba."));
    }
    return false;
}

void ShowErrorMessage(const QString& message)
{
    if (Reporter()) {
        Reporter()(message);
        return;
    }
    QMessageBox::critical(nullptr, ApplicationTitle(), message);
}

void ShowException(const std::exception& error)
{
    if (const auto* own = dynamic_cast<const Exception*>(&error))
        ShowErrorMessage(own->Message);
    else
        ShowErrorMessage(QString::fromUtf8("Nastala neočekávaná chyba (%1).").arg(QString::fromUtf8(error.what())));
}

void SetErrorReporter(ErrorReporter reporter)
{
    Reporter() = std::move(reporter);
}
