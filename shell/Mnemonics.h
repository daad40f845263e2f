// Underlined letters for a window's captions: every button, check box,
// radio button, group box and page tab without one gets the first letter
// of its caption that no other control it is shown with uses yet, so that
// the whole window can be worked with Alt and a letter. The controls of
// different pages of a tab widget may share a letter. Letters a caption
// already underlines are kept and reserved first.
#pragma once

#include <QString>

class QWidget;

// The caption with the letter at `index` underlined ("&&" stays a plain
// ampersand, as Qt shows it).
QString WithMnemonic(const QString& caption, qsizetype index);
// The underlined letter of a caption, lower case, or a null character.
QChar MnemonicOf(const QString& caption);

// Gives the captions of `window` and its children their letters.
void AddMnemonics(QWidget* window);
