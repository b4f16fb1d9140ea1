// Which games can run with the files on disk.
#pragma once

#include <memory>
#include <vector>

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

// Where relative and empty directory settings are looked for.
inline const char* const kLookupBase = "C:\\";

// Whether one game can run, and for plain ROM files which of its required
// files are missing (a mark for each), against listings the caller keeps
// (full directories are the caller's affair).
struct GameStatus {
    bool available = false;
    std::vector<bool> missing;  // empty but for plain ROM files
};
GameStatus evaluateGame(const GameRecord& game, const TPaths& paths, RomMode mode, FileLookup& files);
// The directory settings read from `base`: full directories to look in.
TPaths fullPaths(const TPaths& paths, const std::string& base);

// The one answer to "can this game run": the availability of a catalogue's
// games under one set of paths and one mode, each game worked out when it
// is first asked for, so a refill of thousands of games lists only the
// directories of the rows on screen.
class Availability {
public:
    explicit Availability(Platform& os) : os_(os) {}

    // Forgets every answer: the games are looked at anew, under these paths
    // and this mode whatever changes later, relative and empty directories
    // below `base`.
    void reset(const TPaths& paths, RomMode mode, const std::string& base = kLookupBase);
    // Whether the game in the slot can run, worked out now if it was not yet.
    bool of(GameCatalogue& catalogue, int slot);
    // Works out every game not worked out yet.
    void all(GameCatalogue& catalogue);
    // Works out up to `count` more of them; true when none is left after.
    bool allKnownAfter(GameCatalogue& catalogue, int count);

private:
    Platform& os_;
    TPaths paths_;
    RomMode mode_;
    bool started_ = false;
    std::unique_ptr<FileLookup> files_;
    enum class Known : signed char { No, Available, Unavailable };
    std::vector<Known> known_;  // by slot
    int unknownFrom_ = 0;       // no slot before it is left to work out
    bool evaluate(GameCatalogue& catalogue, int slot);
};

}  // namespace qn
