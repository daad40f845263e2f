// The language of the interface: Czech, the language the program is written
// in, or English from its translation. It is chosen once at start-up, before
// the first window is made, from the setting "Jazyk" ("cs" or "en"); every
// text is translated as its window is built, so a change in the settings
// dialog takes effect at the next start.
#pragma once

#include <QString>
#include <QStringList>

// The languages the interface has, the source language first.
QStringList InterfaceLanguages();

// "en" when the stored "Jazyk" says so; "cs" for "cs", for a missing,
// unknown or unreadable value, and for a store that cannot be read.
QString LanguageSetting();

// Installs the program's translation into `language` and Qt's own
// translation of its standard texts (buttons of message boxes, context
// menus), replacing what an earlier call installed. An unknown language
// counts as Czech. False, with the Czech interface in place, when the
// program's translation file cannot be loaded.
bool InstallLanguage(const QString& language);

// Reads the setting and installs its language; a translation file that
// cannot be loaded is reported in the error box, in both languages, and the
// game goes on in Czech.
void ApplyLanguageSetting();

// The language in effect: "cs" until a translation is installed.
QString CurrentLanguage();

// The name of the program's translation file for `language`, such as
// "zelvon_en.qm"; found among the data files.
QString TranslationFileName(const QString& language);

// A data file in the language in effect: "Zelvon.hlp" is "Zelvon_en.hlp" in
// English when that file is there, and the Czech file otherwise.
QString LocalizedDataFile(const QString& name);
