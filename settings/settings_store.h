// The settings in the registry: reading them at start-up, writing them back,
// and putting them into the main window.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "platform/platform.h"

namespace qn {

class App;

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

// Appends a backslash to a non-empty directory that lacks one.
std::string withTrailingBackslash(const std::string& directory);

// "1"/"0" per flag, index 0 first.
std::string encodeOptionFlags(const std::array<bool, 8>& flags);

void LoadSettings(App& app);
void SaveSettings(App& app);
void ApplySettings(App& app);

// Deletes the settings key alone (its parents stay).
void DeleteSettingsKey(App& app);

}  // namespace qn
