// The application object. Its one addition to QApplication: an exception
// that leaves an event handler is shown in the standard error box, titled
// with the application's name, and the program goes on.
#pragma once

#include <QApplication>
#include <QString>

#include <exception>
#include <functional>

class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    QString Title;
    QString HelpFile;
};

// Shows `message` in the error box (or hands it to the reporter set below).
void ShowErrorMessage(const QString& message);
// Shows the text of the exception currently being handled.
void ShowException(const std::exception& error);

// Tests replace the modal box with a recorder; an empty function restores it.
using ErrorReporter = std::function<void(const QString&)>;
void SetErrorReporter(ErrorReporter reporter);
