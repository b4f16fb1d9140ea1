// The settings key in the registry: read at start-up, written back at the end.
#pragma once

#include <array>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "settings/settings.h"

namespace qn {

inline const char* const kSettingsKey = "Software\\Tolvane\\Tolvane Quon FrontEnd v2.09";
inline const char* const kFirstRunMessage =
    "Tolvane's QUON FrontEnd v2.09 is going to be installed in your computer";

// One registry value as text: its stored size is asked first, and only a
// value of more than one byte is read, up to its first NUL. Missing, empty,
// NUL-led or unreadable values give nothing; the value's type is not looked
// at. `exists` tells whether the value is there at all.
std::optional<std::string> readRegistryText(RegistryKey& key, const std::string& name,
                                            bool* exists = nullptr);

// How a setting's stored text becomes its value and back.
enum class SettingKind {
    Directory,  // a path, given a trailing backslash when read without one
    File,       // a file name, as it is
    Interface,  // "Common" for the double-click interface, "Cool" (or any other) the single-click one
};

// One value of the settings key: its name, its kind, the path field that
// holds it (none for the interface), and whether a game whose title names
// it may keep its options under that name instead of it.
struct SettingRow {
    const char* name;
    SettingKind kind;
    std::string TPaths::*path;
    bool titleMayShadow;
};

// The settings in the order they are read and saved; a new setting is a row.
inline constexpr SettingRow kSettingRows[] = {
    {"Main Program Path", SettingKind::Directory, &TPaths::mainPath, false},
    {"Quon Path", SettingKind::Directory, &TPaths::emulatorPath, false},
    {"PkUnzip Program", SettingKind::File, &TPaths::unzipProgram, false},
    {"Compressed ROMs Path", SettingKind::Directory, &TPaths::romsPath, false},
    {"Drivers Path", SettingKind::Directory, &TPaths::driversPath, false},
    {"Interface", SettingKind::Interface, nullptr, false},
};
inline constexpr size_t kSettingCount = std::size(kSettingRows);
inline const char* const kMainPathValue = kSettingRows[0].name;

// True when a game's title would name one of the settings' values that a
// title may not shadow, in the registry, which sees a name only up to its
// first NUL and ignores case. Such a game's flags are neither read nor saved.
bool titleNamesASetting(const std::string& title);

// What the settings key said at start-up.
enum class StoredSettings {
    Complete,
    NoKey,          // a first run: nothing was read
    EmptyMainPath,  // a first run too, but the other values were read
    NoMainPath,     // the key lacks its main path value: nothing was read
};

// The settings as a close writes them, in the order of kSettingRows.
using SettingTexts = std::array<std::string, kSettingCount>;
SettingTexts settingTexts(const TPaths& paths, bool singleClick);
// What the key is known to hold of each setting, as the text a close would
// write for it; nothing where that is not known.
using KnownSettings = std::array<std::optional<std::string>, kSettingCount>;

// Reads the paths and the interface type over `settings`; a value that is
// not stored leaves its field as it was. `known` gets, for each value that
// is there, the text a close would write for the setting as read. The key
// is closed on return.
StoredSettings readSettings(Platform& os, Settings& settings, KnownSettings* known = nullptr);

// Reads the flags stored under a game's title over its flags, with one
// question by name; a title that names a setting reads nothing. False when
// the key is gone.
bool readGameOptions(Platform& os, GameOptions& game);

// Writes the settings, then each game's flags under its title (but for
// titles that name a setting; of records sharing a title, the first). With
// `seen`, what the key held of the settings as they were read or last
// written, only the settings whose text differs from it are written, and it
// is brought up to date. A value that cannot be written is reported and the
// others are still written; without the key nothing is.
void writeSettings(Platform& os, const Settings& settings, KnownSettings* seen = nullptr);

// Makes the next start a first run, where the user chooses the program
// directory again, and keeps everything else the key holds: "Main Program
// Path" is emptied (a start that finds it empty is a first run, in this
// version and in earlier ones).
void forgetMainPath(Platform& os);

// Uninstalling: deletes the key as a subkey of its parent. False when the
// key could not be deleted.
bool uninstallSettingsKey(Platform& os);

}  // namespace qn
