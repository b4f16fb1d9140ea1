// The game table: the games of roms.dat with their required files,
// availability and option flags.
#pragma once

#include <string>
#include <vector>

#include "settings/settings.h"

namespace qn {

struct GameRecord {
    std::string Title;
    std::string ShortName;
    bool Available = false;
    // The first RequiredFileCount entries of RequiredFiles are in use;
    // MissingFiles has a mark for each of them after a plain-ROM check.
    int RequiredFileCount = 0;
    std::vector<std::string> RequiredFiles;
    std::vector<bool> MissingFiles;
    qn::OptionFlags OptionFlags{};
};

// The games in use are slots 0 to GameCount-1; the table may hold more slots
// than that (those of an earlier, longer read), which nothing looks at.
struct GameCatalogue {
    std::vector<GameRecord> games;
    int GameCount = 0;

    // First slot in use whose Title (or ShortName) equals the text exactly; -1 if none.
    int findByTitle(const std::string& title) const;
    int findByShortName(const std::string& shortName) const;

    // The games in use with their flags, as the settings keep them, and back.
    std::vector<GameOptions> gameOptions() const;
    void setGameOptions(const std::vector<GameOptions>& options);
};

// Splits roms.dat's content into the catalogue's names, one slot per record
// line, growing the table as needed. Returns the number of records read.
int parseCatalogue(const std::string& content, GameCatalogue& catalogue);

// The groups of reqfiles.dat into the slots of the table, in order. Lines
// without a backslash, or starting with one, are skipped; groups past the
// table's slots belong to no game and are ignored.
void parseRequiredFiles(const std::string& content, GameCatalogue& catalogue);

}  // namespace qn
