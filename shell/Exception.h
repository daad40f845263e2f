// The one exception type the program raises. Whatever escapes an event
// handler is shown in the application's error box (shell/Application.h).
#pragma once

#include <QString>
#include <stdexcept>

class Exception : public std::runtime_error {
public:
    explicit Exception(const QString& message)
        : std::runtime_error(message.toStdString()), Message(message)
    {
    }

    QString Message;
};
