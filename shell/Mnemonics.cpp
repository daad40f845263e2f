// Choosing underlined letters for the captions of a window.
#include "shell/Mnemonics.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QHash>
#include <QSet>
#include <QTabWidget>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

// A caption, the way to put it back, and the page of a tab widget it is
// on (none for the window's own controls and the tabs).
struct TCaption {
    QString Text;
    std::function<void(const QString&)> Set;
    const QWidget* Page = nullptr;
};

const QWidget* PageOf(const QWidget* widget, const QList<const QWidget*>& pages)
{
    for (const QWidget* page : pages)
        if (page->isAncestorOf(widget))
            return page;
    return nullptr;
}

std::vector<TCaption> CaptionsOf(QWidget* window)
{
    std::vector<TCaption> captions;
    // Creation order, which is the order the window is read in.
    QList<QWidget*> widgets = window->findChildren<QWidget*>();
    QList<const QWidget*> pages;
    for (const QTabWidget* tabs : window->findChildren<QTabWidget*>())
        for (int index = 0; index < tabs->count(); ++index)
            pages << tabs->widget(index);
    for (QWidget* widget : widgets) {
        if (widget->window() != window)
            continue;
        const QWidget* page = PageOf(widget, pages);
        if (auto* button = qobject_cast<QAbstractButton*>(widget); button && !button->text().isEmpty())
            captions.push_back({button->text(), [button](const QString& text) { button->setText(text); }, page});
        else if (auto* box = qobject_cast<QGroupBox*>(widget); box && !box->title().isEmpty())
            captions.push_back({box->title(), [box](const QString& text) { box->setTitle(text); }, page});
        else if (auto* tabs = qobject_cast<QTabWidget*>(widget))
            for (int index = 0; index < tabs->count(); ++index)
                captions.push_back(
                    {tabs->tabText(index), [tabs, index](const QString& text) { tabs->setTabText(index, text); }});
    }
    return captions;
}

} // namespace

QChar MnemonicOf(const QString& caption)
{
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&')
            continue;
        if (caption[i + 1] != u'&')
            return caption[i + 1].toLower();
        ++i; // "&&"
    }
    return {};
}

QString WithMnemonic(const QString& caption, qsizetype index)
{
    QString text = caption;
    text.insert(index, u'&');
    return text;
}

void AddMnemonics(QWidget* window)
{
    std::vector<TCaption> captions = CaptionsOf(window);
    // A letter is taken for the whole window by the controls outside the
    // pages, for one page by the controls on it: the controls of a hidden
    // page do not answer their letters.
    QHash<const QWidget*, QSet<QChar>> taken;
    const auto usedBy = [&](const TCaption& caption) {
        QSet<QChar> used = taken.value(nullptr);
        if (caption.Page)
            used += taken.value(caption.Page);
        return used;
    };
    for (const TCaption& caption : captions)
        if (const QChar letter = MnemonicOf(caption.Text); !letter.isNull())
            taken[caption.Page].insert(letter);
    // The window's own captions first, since every page shares them.
    std::stable_partition(captions.begin(), captions.end(), [](const TCaption& caption) { return !caption.Page; });
    for (TCaption& caption : captions) {
        if (!MnemonicOf(caption.Text).isNull())
            continue;
        const QSet<QChar> used = usedBy(caption);
        // Plain ASCII letters and digits only: they are on every keyboard
        // layout without a dead key. With none of them free the first is
        // shared; Qt then moves between the controls that share it.
        qsizetype chosen = -1, first = -1;
        for (qsizetype i = 0; i < caption.Text.size() && chosen < 0; ++i) {
            const QChar c = caption.Text[i];
            if (c == u'&') {
                ++i; // an escaped ampersand
                continue;
            }
            if (c.unicode() >= 0x80 || !c.isLetterOrNumber())
                continue;
            if (first < 0)
                first = i;
            if (!used.contains(c.toLower()))
                chosen = i;
        }
        if (chosen < 0)
            chosen = first;
        if (chosen < 0)
            continue;
        taken[caption.Page].insert(caption.Text[chosen].toLower());
        caption.Set(WithMnemonic(caption.Text, chosen));
    }
}
