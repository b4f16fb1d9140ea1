// The game table: the games of roms.dat with their required files,
// availability and option flags.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "settings/settings.h"

namespace qn {

constexpr int MaxGames = 25;
constexpr int MaxRequiredFiles = 35;
constexpr size_t MaxRequiredNameLength = 12;

struct GameRecord {
    std::string Title;
    std::string ShortName;
    bool Available = false;
    int RequiredFileCount = 0;
    std::array<std::string, MaxRequiredFiles> RequiredFiles;
    std::array<bool, MaxRequiredFiles> MissingFiles{};
    qn::OptionFlags OptionFlags{};
};

struct GameCatalogue {
    std::array<GameRecord, MaxGames> games;
    int GameCount = 0;

    // First slot in use whose Title (or ShortName) equals the text exactly; -1 if none.
    int findByTitle(const std::string& title) const;
    int findByShortName(const std::string& shortName) const;

    // The games in use with their flags, as the settings keep them, and back.
    std::vector<GameOptions> gameOptions() const;
    void setGameOptions(const std::vector<GameOptions>& options);
};

// Splits roms.dat's content into the catalogue's names. Record lines past the
// 25th are ignored. Returns the number of records read.
int parseCatalogue(const std::string& content, GameCatalogue& catalogue);

// The groups of reqfiles.dat into all slots of the table. Lines without a
// backslash, or starting with one, are skipped; lines past the room of the
// table are ignored.
void parseRequiredFiles(const std::string& content, GameCatalogue& catalogue);

}  // namespace qn
