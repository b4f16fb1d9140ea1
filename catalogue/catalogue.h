// The game table: the games of roms.dat with their required files,
// availability and option flags.
#pragma once

#include <string>
#include <vector>

#include "settings/settings.h"

namespace qn {

// Whether a game can run is not kept here: catalogue/availability.h
// answers it, from the files on disk.
struct GameRecord {
    std::string Title;
    std::string ShortName;
    std::vector<std::string> RequiredFiles;
    qn::OptionFlags OptionFlags{};
    // The flags are read from the settings when the game is first shown; a
    // close writes only those the user changed.
    bool optionsRead = false;
    bool optionsChanged = false;
};

struct GameCatalogue {
    std::vector<GameRecord> games;
    int size() const { return static_cast<int>(games.size()); }

    // First slot in use whose Title (or ShortName) equals the text exactly; -1 if none.
    int findByTitle(const std::string& title) const;
    int findByShortName(const std::string& shortName) const;
};

// Splits roms.dat's content into the catalogue's names, one slot per record
// line; a slot read before keeps its option flags.
void parseCatalogue(const std::string& content, GameCatalogue& catalogue);

// The groups of reqfiles.dat into the slots of the table, in order. Lines
// without a backslash, or starting with one, are skipped; groups past the
// table's slots belong to no game and are ignored.
void parseRequiredFiles(const std::string& content, GameCatalogue& catalogue);

}  // namespace qn
