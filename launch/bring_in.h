// Bringing what the unzip program wrote into a game's directory, and taking
// it out again, touching nothing else the user keeps there. The unzip
// writes into a folder of the run's own; each item it wrote moves into the
// game's directory. Where the user has an item at that place (by name in
// any letter case, or by a short alias), that one item is set aside under
// its own path and comes back after the run; a folder of the archive's at
// the place of a user's folder is merged, its items going in by the same
// rule. Links are never moved, opened through or descended into.
//
// Directories are full paths ending in '\'; paths below them use '\'.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace qn {

struct Placement {
    std::string from;      // below the unpacked folder
    std::string to;        // below the game's directory
    bool folder = false;
    std::string identity;  // the archive's item's, as the unzip left it
    std::string userItem;  // below the game's directory: the user's item in the way; empty: none
    bool userFolder = false;
};

struct Plan {
    std::vector<Placement> moves;
    std::string refusal;  // why nothing may move; empty when all may
};

// What must move, worked out whole before anything moves: each directory
// listed once, the user's items looked at only where the archive brings
// something.
Plan planBringIn(Platform& os, const std::string& unpacked, const std::string& gameDir);

// The item at `dir` + `path`, reached without passing through a link.
std::optional<Platform::ItemFacts> itemWithoutLinks(Platform& os, const std::string& dir, const std::string& path);

// Deletes a folder with everything in it, links left standing (and the
// folder then too); false when anything stays.
bool removeTree(Platform& os, const std::string& dir);

// Makes each folder of `path`'s parent below `dir` that is not there.
void makeParents(Platform& os, const std::string& dir, const std::string& path);

}  // namespace qn
