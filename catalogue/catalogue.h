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

    // The game in the slot with its required files: reqfiles.dat's groups
    // are handed to their games in order as far as a game asked for needs,
    // so a start reads only those of the games it shows. A catalogue put
    // together by hand keeps the lists it was given.
    const GameRecord& withFiles(int slot);
    // The content of reqfiles.dat, for withFiles to hand out.
    void setRequiredFiles(std::string content);

    // The slot whose option flags a game shows and keeps: the first record
    // of its title, as the settings keep the flags by title, so twins share
    // the first one's. A catalogue put together by hand keeps each game's
    // flags in its own slot.
    int flagsSlot(int slot) const {
        return slot < static_cast<int>(flagsSlots.size()) ? flagsSlots[slot] : slot;
    }
    std::vector<int> flagsSlots;  // by slot, made as roms.dat is read

    // First slot in use whose ShortName equals the text exactly; -1 if none.
    int findByShortName(const std::string& shortName) const;

private:
    std::string requiredText_;   // reqfiles.dat, cut at its end mark
    size_t requiredAt_ = 0;      // where its first group not handed out starts
    size_t requiredGroups_ = 0;  // games given their groups so far
    bool takeRequiredGroup();
};

// Splits roms.dat's content into the catalogue's names, one slot per record
// line; a slot read before keeps its option flags.
void parseCatalogue(const std::string& content, GameCatalogue& catalogue);

// The groups of reqfiles.dat into the slots of the table, in order. Lines
// without a backslash, or starting with one, are skipped; groups past the
// table's slots belong to no game and are ignored. Every game's at once:
// withFiles hands them out as they are needed.
void parseRequiredFiles(const std::string& content, GameCatalogue& catalogue);

}  // namespace qn
