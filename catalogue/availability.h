// Which games can run with the files on disk.
#pragma once

#include "catalogue/catalogue.h"
#include "catalogue/file_lookup.h"
#include "platform/platform.h"
#include "settings/settings.h"

namespace qn {

// Where the ROMs and drivers are looked for: zipped ROM sets in the
// compressed-ROMs directory or plain files in each game's directory; driver
// files in the drivers directory or beside the ROMs.
struct RomMode {
    bool compressed = false;
    bool driversPath = false;
};

// Sets Available (and, for plain ROM files, MissingFiles) of every game.
// Makes C:\ the current directory, so empty directory settings look there.
// Each directory is listed once, so the compressed-ROMs and drivers
// directories cost one listing for all games.
void evaluateAvailability(GameCatalogue& catalogue, const TPaths& paths, RomMode mode,
                          Platform& files);

// The same against listings the caller keeps: directories listed before
// are not listed again.
void evaluateAvailability(GameCatalogue& catalogue, const TPaths& paths, RomMode mode,
                          Platform& files, FileLookup& listings);

// The same for one game, against listings the caller keeps (the current
// directory is the caller's affair).
void evaluateGame(GameRecord& game, const TPaths& paths, RomMode mode, FileLookup& files);

}  // namespace qn
