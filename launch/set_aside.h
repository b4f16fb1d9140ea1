// Moving everything in a game's directory to a place beside it and back.
// The place is outside the directory the unzip program writes into, so no
// archive entry can name it, whatever the unzip program makes of the
// entries' names. Items move whole (a folder with all it holds), by renames
// within the volume: nothing is copied, and a file open elsewhere stops the
// move of its item.
//
// Directories are full paths ending in '\'.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace qn {

// An item of the user's that stays in the place beside the game's directory
// because the run left something of the other kind at its place that could
// not be removed.
struct KeptAside {
    std::string item;     // where it belongs
    std::string keptAs;   // where it is
    bool folder = false;  // the user's item is a folder
};

struct PutBack {
    bool stuck = false;            // an item could not be moved (open elsewhere)
    std::vector<KeptAside> kept;   // items left aside, each for what is in its way
};

// Moves every file and folder of `dir` into `aside` (which exists). The
// name of the first item that could not be moved, when one could not; the
// items moved before it are then in `aside`.
std::optional<std::string> moveEverythingAside(Platform& os, const std::string& dir, const std::string& aside);

// Puts back each item whose place in `dir` is free, under its own name. A
// folder whose place holds a folder is merged: its items go back where
// their own places are free, and it is left in `aside` with the rest.
void returnWhereFree(Platform& os, const std::string& aside, const std::string& dir);

// Puts back everything: each item replaces what is at its place and keeps
// its own name and letter case. Something of the other kind at an item's
// place is removed; where it cannot be, the item stays aside (`kept`).
void returnEverything(Platform& os, const std::string& aside, const std::string& dir, PutBack& out);

// Deletes a folder with everything in it; false when anything stays.
bool removeTree(Platform& os, const std::string& dir);

// Whether `dir` holds no file and no folder.
bool isEmptyDirectory(Platform& os, const std::string& dir);

}  // namespace qn
