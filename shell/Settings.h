// The per-user settings store: board size, raised cells, sound, music and MMX
// use, the network game's role, address and port, kept between runs as a
// handful of text values. It is QSettings in its native form for
// organisation "Brantek", application "Zelvon": an INI file under the XDG
// configuration folder on Linux, the registry key
// "Software\Brantek\Zelvon\" of the current user on Windows.
#pragma once

#include <QList>
#include <QString>

#include <cstdint>
#include <functional>
#include <utility>

struct TGameState;

// Values to store, as name and text, in the order the store has always
// written them; a refused save is reported under the first name.
using TSettingValues = QList<std::pair<QString, QString>>;

// Tells the user, in Czech, about the store file as a whole: a damaged file
// moved aside, a file that cannot be read.
using TSettingsNotice = std::function<void(const QString& text)>;

// The text stored under `name`, or `defaultText` when there is none or the
// store cannot be read. Every call opens the store on its own; the first one
// creates the (empty) store. A value that is not plain text throws
// "Invalid data type for '<name>'".
QString ReadSetting(const QString& name, const QString& defaultText);

// Stores all `values` in one step: afterwards the store holds either every
// one of them or, when the save is refused or cut off, exactly what it held
// before. Values not named are kept. Throws "Failed to set data for '<first
// name>'" when the store refuses, and leaves alone a store that could not be
// read back whole (not a plain file, unreadable, damaged since the start).
void WriteSettings(const TSettingValues& values);
void WriteSetting(const QString& name, const QString& text);

// "1" for exactly 1, "0" for every other byte.
QString BoolToSetting(std::uint8_t flag);
// True only for exactly "1".
bool SettingToBool(const QString& text);

// The interface language as stored under "Jazyk": "cs" for 0, "en" for 1;
// any other text reads as Czech.
QString LanguageToSetting(std::uint8_t language);
std::uint8_t SettingToLanguage(const QString& text);

// Everything a save writes, "Ver" included, in the store's order.
TSettingValues SettingsToSave(const TGameState& state, bool hex3d);

// Reads the settings into `state` in the store's order: "Sound", "Music",
// "MMX", "Sirka", "Vyska", "3Dhex" (handed to `setHex3d`, the main board's
// raised-cell style), "ModryHrac" and "CervenyHrac" ("1" the computer plays
// that side, anything else a person), "Inteligence" (the computer's level
// "0".."10", anything else 5), the network game's "SitServer" ("1" server,
// else client), "SitAdresa" (the server's address as typed) and "SitPort" (a
// port 1..65535, else 41095), then the comfort options "Vraceni",
// "Napoveda", "PosledniTah" and "Jazyk", and sets the per-run flags:
// network play itself always starts off. Board sizes end inside
// 4..10 whatever the store says. When a step throws, the settings it did not
// reach keep their defaults (and `setHex3d` still gets one) before the
// exception goes on.
// A store file that cannot be read cleanly (the settings library finds it
// malformed, or a value of ours holds what the program never writes) is
// moved aside to "Zelvon.conf.poskozeny" (numbered when that exists), so
// the next save writes a fresh one; what still read cleanly is used. That,
// and a store that cannot be read at all, goes to `notice`.
void LoadSettings(TGameState& state, const std::function<void(bool)>& setHex3d, const TSettingsNotice& notice = {});

// Writes SettingsToSave in one step.
void SaveSettings(const TGameState& state, bool hex3d);
