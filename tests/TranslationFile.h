// The program's translation as its .ts file holds it, for the tests.
#pragma once

#include <QFile>
#include <QList>
#include <QString>
#include <QXmlStreamReader>

// One message of the translation.
struct TTranslatedText {
    QString Context;
    QString Source;
    QString Translation;
    bool Finished = false;
};

inline QList<TTranslatedText> ReadTranslationFile(const QString& path)
{
    QList<TTranslatedText> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return messages;
    QXmlStreamReader xml(&file);
    QString context;
    TTranslatedText message;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("message")) {
            message = {context, {}, {}, false};
        } else if (xml.name() == QLatin1String("source")) {
            message.Source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            message.Finished = xml.attributes().value(QLatin1String("type")).isEmpty();
            message.Translation = xml.readElementText();
            messages << message;
        }
    }
    return xml.hasError() ? QList<TTranslatedText>{} : messages;
}
