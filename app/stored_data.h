// What the application keeps outside itself: the settings key and the data
// files, read into the App and written back, the user told of failures.
#pragma once

#include <string>

#include "settings/settings.h"

namespace qn {

class App;

// At start-up: the settings, and the catalogue when they name a program
// directory. A first run (no key, or an empty main path) is announced and
// remembered; a key without its main path has it emptied, so that the next
// start is a first run, and the process ends with exit code 1.
void LoadSettings(App& app);

// A game's option flags (by catalogue slot), read from the settings key the
// first time they are wanted; a change marks them for the close to write.
const OptionFlags& GameOptionFlags(App& app, int slot);
void SetGameOptionFlag(App& app, int slot, int flag, bool on);

// Writes the settings that changed and the flags the user changed (a game
// left alone keeps what it has stored). While a first run is in progress the interface type
// comes from the configuration dialog and the compressed-ROM settings are
// kept; otherwise they are emptied unless the main window uses compressed
// ROMs.
void SaveSettings(App& app);

// roms.dat and reqfiles.dat into the game table. A file that cannot be read
// is a data file error.
void LoadCatalogue(App& app);
void LoadRequiredFiles(App& app);

// A data file that cannot be read: the message, the main path emptied so
// that the next start installs again (every other value kept), and
// DataLoadError set.
void DataFileError(App& app, const std::string& message);

}  // namespace qn
