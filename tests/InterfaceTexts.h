// What the windows show in words, for the tests of the interface language:
// every text of every widget (captions, titles, tooltips, tab and list
// entries, documents). Generic over widget types, so windows and controls
// added later are read without changes here.
#pragma once

#include "tests/TranslationFile.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QMetaProperty>
#include <QProgressBar>
#include <QRegularExpression>
#include <QSet>
#include <QSpinBox>
#include <QStringList>
#include <QTabBar>
#include <QTextDocumentFragment>
#include <QTextEdit>
#include <QWidget>

struct TShownText {
    QString Where; // class and object name of the widget
    QString Text;
};

inline QString WidgetName(const QWidget* widget)
{
    return QString::fromLatin1(widget->metaObject()->className()) + u' ' + widget->objectName();
}

// Rich text as the reader sees it.
inline QString Readable(const QString& text)
{
    return Qt::mightBeRichText(text) ? QTextDocumentFragment::fromHtml(text).toPlainText() : text;
}

// The texts of one widget, without its children.
inline QStringList OwnTexts(const QWidget* widget)
{
    QStringList texts;
    if (widget->isWindow())
        texts << widget->windowTitle();
    texts << widget->toolTip() << widget->statusTip() << widget->whatsThis() << widget->accessibleName()
          << widget->accessibleDescription();
    static const char* const properties[] = {"text", "title", "plainText", "placeholderText", "informativeText",
                                             "detailedText", "prefix", "suffix", "specialValueText"};
    const QMetaObject* meta = widget->metaObject();
    for (const char* name : properties) {
        const int index = meta->indexOfProperty(name);
        if (index >= 0 && meta->property(index).metaType().id() == QMetaType::QString)
            texts << Readable(meta->property(index).read(widget).toString());
    }
    if (const auto* tabs = qobject_cast<const QTabBar*>(widget))
        for (int i = 0; i < tabs->count(); ++i)
            texts << tabs->tabText(i) << tabs->tabToolTip(i);
    if (const auto* combo = qobject_cast<const QComboBox*>(widget))
        for (int i = 0; i < combo->count(); ++i)
            texts << combo->itemText(i);
    if (const auto* view = qobject_cast<const QAbstractItemView*>(widget); view && view->model())
        for (int row = 0; row < view->model()->rowCount(); ++row)
            texts << view->model()->index(row, 0).data().toString();
    if (const auto* edit = qobject_cast<const QTextEdit*>(widget))
        texts << edit->documentTitle();
    if (const auto* bar = qobject_cast<const QProgressBar*>(widget); bar && bar->isTextVisible())
        texts << bar->text();
    texts.removeAll(QString());
    return texts;
}

// A caption as it reads: the underline marks of its access key dropped
// ("&&" is a plain "&"), so a caption given its letter at run time still
// matches its source and translation.
inline QString WithoutMnemonics(const QString& text)
{
    QString plain;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) {
            if (text[i + 1] == u'&')
                plain += u'&';
            ++i;
            if (text[i] != u'&')
                plain += text[i];
            continue;
        }
        plain += text[i];
    }
    return plain;
}

// Every text of `window` and everything in it, shown or not yet shown (a
// page of a tab widget, a control that appears later).
inline QList<TShownText> WindowTexts(const QWidget* window)
{
    QList<TShownText> found;
    QList<const QWidget*> widgets{window};
    for (const QWidget* child : window->findChildren<QWidget*>())
        widgets << child;
    for (const QWidget* widget : widgets)
        for (const QString& text : OwnTexts(widget))
            found << TShownText{WidgetName(widget), WithoutMnemonics(text)};
    return found;
}

// Letters only Czech has among the Latin ones the program uses.
inline bool HasCzechLetters(const QString& text)
{
    static const QRegularExpression czech(QStringLiteral("[ÁČĎÉĚÍŇÓŘŠŤÚŮÝŽáčďéěíňóřšťúůýž]"));
    return czech.match(text).hasMatch();
}

// The words of `text`, lower case, without the accelerator marks.
inline QStringList Words(const QString& text)
{
    static const QRegularExpression separators(QStringLiteral("[^\\p{L}]+"));
    QString plain = text;
    plain.remove(u'&');
    return plain.toLower().split(separators, Qt::SkipEmptyParts);
}
