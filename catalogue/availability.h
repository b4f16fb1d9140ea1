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

// Sets Available (and, for plain ROM files, MissingFiles) of every game.
// Makes C:\ the current directory, so empty directory settings look there.
// Each directory is listed once, so the compressed-ROMs and drivers
// directories cost one listing for all games.
void evaluateAvailability(GameCatalogue& catalogue, const TPaths& paths, RomMode mode,
                          Platform& files);

// The same for one game, against listings the caller keeps (the current
// directory is the caller's affair).
void evaluateGame(GameRecord& game, const TPaths& paths, RomMode mode, FileLookup& files);

// The availability of a catalogue's games under one set of paths and one
// mode, each game worked out when it is first asked for: a refill of
// thousands of games lists only the directories of the rows on screen.
class Availability {
public:
    explicit Availability(Platform& os) : os_(os) {}

    // Forgets every answer: the games are looked at anew, under these paths
    // and this mode whatever changes later. Makes C:\ the current directory,
    // as evaluateAvailability does.
    void reset(const TPaths& paths, RomMode mode);
    // Whether the game in the slot can run (its Available), worked out now
    // if it was not yet.
    bool of(GameCatalogue& catalogue, int slot);
    // Works out every game not worked out yet.
    void all(GameCatalogue& catalogue);
    // Works out up to `count` of them; true once none is left.
    bool some(GameCatalogue& catalogue, int count);

private:
    bool known(int slot) const;
    void evaluate(GameRecord& game, int slot);

    Platform& os_;
    TPaths paths_;
    RomMode mode_;
    bool started_ = false;
    // A relative or empty directory is looked up from C:\, made current
    // again before each game in case a run moved it.
    bool fromRoot_ = false;
    std::unique_ptr<FileLookup> files_;
    std::vector<bool> known_;  // by slot
    int unknownFrom_ = 0;       // no slot before it is left to work out
};

}  // namespace qn
