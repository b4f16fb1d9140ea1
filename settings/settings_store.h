// The settings key in the registry: read at start-up, written back at the end.
#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/platform.h"
#include "settings/settings.h"

namespace qn {

inline const char* const kSettingsKey = "Software\\Tolvane\\Tolvane Quon FrontEnd v2.09";
inline const char* const kFirstRunMessage =
    "Tolvane's QUON FrontEnd v2.09 is going to be installed in your computer";

// One registry value as text: its stored size is asked first, and only a
// value of more than one byte is read, up to its first NUL. Missing, empty,
// NUL-led or unreadable values give nothing; the value's type is not looked at.
std::optional<std::string> readRegistryText(RegistryKey& key, const std::string& name);

// The names of the settings' own values, in the order they are saved.
inline const char* const kSettingValueNames[] = {
    "Main Program Path", "Quon Path", "PkUnzip Program", "Compressed ROMs Path", "Drivers Path",
    "Interface"};

// True when a game's title would name one of the settings' values in the
// registry, which sees a name only up to its first NUL and ignores case.
// Such a game's flags are neither read nor saved.
bool titleNamesASetting(const std::string& title);

// What the settings key said at start-up.
enum class StoredSettings {
    Complete,
    NoKey,          // a first run: nothing was read
    EmptyMainPath,  // a first run too, but the other values were read
    NoMainPath,     // the key lacks its main path value: nothing was read
};

// Reads the paths and the interface type over `settings`; a value that is
// not stored leaves its field as it was. The key is closed on return.
StoredSettings readSettings(Platform& os, Settings& settings);

// What the key held when the games' flags were read in one pass: each
// value's stored bytes by its name in upper case (ASCII names only), and
// the key's last-write time taken before that pass.
struct StoredValues {
    std::optional<std::uint64_t> readAt;
    std::unordered_map<std::string, std::string> data;
};

// Reads each game's stored flags over its flags. Nothing is read, and false
// returned, when the key is gone. What a one-pass read saw goes to `seen`.
bool readGameOptions(Platform& os, std::vector<GameOptions>& games, StoredValues* seen = nullptr);

// Writes every value in a fixed order: the five paths, the interface, then
// each game's flags under its title (but for titles that name a setting). A value that cannot be written is
// reported and the others are still written; without the key nothing is.
// While the key has not been written since `seen` was read, a value that
// holds exactly the text it would get is not written again.
void writeSettings(Platform& os, const Settings& settings, const StoredValues* seen = nullptr);

// Deletes the settings key alone (its parents stay).
void deleteSettingsKey(Platform& os);

// Uninstalling: deletes the key as a subkey of its parent. False when the
// key could not be deleted.
bool uninstallSettingsKey(Platform& os);

}  // namespace qn
