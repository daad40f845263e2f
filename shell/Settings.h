// The per-user settings store: board size, raised cells, sound, music and MMX
// use, kept between runs as a handful of text values. It is QSettings in its
// native form for organisation "Brantek", application "Zelvon": an INI file
// under the XDG configuration folder on Linux, the registry key
// "Software\Brantek\Zelvon\" of the current user on Windows.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>

struct TGameState;

// The text stored under `name`, or `defaultText` when there is none. Every
// call opens the store on its own; the first one creates the (empty) store.
// A value that is not plain text throws "Invalid data type for '<name>'".
QString ReadSetting(const QString& name, const QString& defaultText);

// Stores `text` under `name` and saves at once. Throws
// "Failed to set data for '<name>'" when the store refuses the write, and
// also when the stored file holds lines it cannot read (a rewrite would drop
// them), leaving that file as it is.
void WriteSetting(const QString& name, const QString& text);

// "1" for exactly 1, "0" for every other byte.
QString BoolToSetting(std::uint8_t flag);
// True only for exactly "1".
bool SettingToBool(const QString& text);

// Reads the settings into `state` in the store's order: "Sound", "Music",
// "MMX", "Sirka", "Vyska", "3Dhex" (handed to `setHex3d`, the main board's
// raised-cell style), then sets the per-run flags. Board sizes end inside
// 4..10 whatever the store says. When a step throws, the settings it did not
// reach keep their defaults (and `setHex3d` still gets one) before the
// exception goes on.
void LoadSettings(TGameState& state, const std::function<void(bool)>& setHex3d);

// Writes all seven values, "Ver" included, in the store's order; stops at
// the first write that fails.
void SaveSettings(const TGameState& state, bool hex3d);
