// Reading the data files beside the program into the game table.
#pragma once

#include <string>

namespace qn {

class App;
struct GameCatalogue;

// roms.dat: the games' names. On failure: the error message, the settings
// key deleted, DataLoadError set, GameCount unchanged.
void LoadCatalogue(App& app);

// A data file that cannot be read: the message, the settings key deleted
// so that the next start installs again, and DataLoadError set.
void DataFileError(App& app, const std::string& message);

// reqfiles.dat: the files each game needs, by group position.
void LoadRequiredFiles(App& app);

// The groups of reqfiles.dat into all slots of the table. Lines without a
// backslash, or starting with one, are skipped; lines past the room of the
// table are ignored.
void parseRequiredFiles(const std::string& content, GameCatalogue& catalogue);

}  // namespace qn
