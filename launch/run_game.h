// Running a game: unpack, copy the driver, start the emulator with the
// launcher hidden, clean up, come back. Every path the run uses is full and
// fixed at its start; the current directory is set only for the children,
// to what each expects. Only what the run brings moves into the game's
// directory, and only the user's items in its way move aside (launch/kept_files.h).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "catalogue/catalogue.h"
#include "launch/game_directory.h"
#include "launch/kept_files.h"
#include "platform/platform.h"
#include "settings/settings.h"

namespace qn {

// What a run needs of the window it is started from.
class RunWindow {
public:
    // The emulator has started: the window gets out of the way.
    virtual void hideForRun() = 0;
    // The emulator has ended (called only after hideForRun).
    virtual void showAfterRun() = 0;
    // A line for the user in the window's status text.
    virtual void showRunStatus(const std::string& text) = 0;
    // The window shows that it is busy (the wait cursor) while the unzip
    // runs, and stops showing it; a window that cannot show it ignores it.
    virtual void showBusy(bool busy) { (void)busy; }

protected:
    ~RunWindow() = default;
};

// The places of one run, as full paths (directories with their backslash).
struct RunPlaces {
    std::string programDir;
    std::string emulatorDir;
    std::string gameDir;
    std::string driverSource;  // in the drivers directory
};

// The run of one game, by its short name, with the settings and the game
// table as they stand.
class GameRun {
public:
    GameRun(Platform& os, RunWindow& window, const TPaths& paths, GameCatalogue& catalogue);

    // The whole run: the user's items set aside, the archive unpacked when
    // compressed ROMs are set, the driver copied in with `driversPath`, the
    // emulator run with the switches of `options` and `resolution`, and
    // everything the run added removed. False when it stopped before the
    // emulator's turn (the user has been told why).
    bool run(const GameName& game, bool driversPath, const OptionFlags& options, int resolution);

    // The places of a run of `game`, the settings read from the current
    // directory as it is now.
    RunPlaces placesOf(const GameName& game);

private:
    struct Run;
    bool prepare(Run& run);
    bool unpack(Run& run);
    void launch(Run& run, const OptionFlags& options, int resolution);
    void cleanUp(Run& run);
    bool copyDriverIn(const Run& run);
    // Names below the game's directory of the items the clean-up deletes:
    // the required files and the copied driver.
    std::vector<std::string> runsFiles(const Run& run) const;

    Platform& os_;
    RunWindow& window_;
    const TPaths& paths_;
    GameCatalogue& catalogue_;
};

}  // namespace qn
