// Running a game: unpack, copy the driver, start the emulator with the
// launcher hidden, clean up, come back. Every file the run touches is named
// by its full path inside the game's directory, and the user's own files
// there that it would overwrite are set aside meanwhile (launch/kept_files.h).
#pragma once

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

// The run of one game, by its short name, with the settings and the game
// table as they stand.
class GameRun {
public:
    GameRun(Platform& os, RunWindow& window, const TPaths& paths, const GameCatalogue& catalogue);

    // The whole run: the user's files set aside, the archive unpacked when
    // compressed ROMs are set, the driver copied in with `driversPath`, the
    // emulator run with the switches of `options` and `resolution`, and
    // everything the run added removed. False when it stopped before the
    // emulator's turn (the user has been told why).
    bool run(const GameName& game, bool driversPath, const OptionFlags& options, int resolution);

    // The steps. Outside a run, the emulator directory is read from the
    // current directory.
    bool unpackRoms(const GameName& game);
    bool copyDriverIn(const GameName& game);
    // Deletes the game's required files from its directory, but for those
    // in `keep`, its protected driver name and any name that would leave
    // the directory.
    void deleteUnpackedRoms(const GameName& game, const std::vector<std::string>& keep = {});

private:
    // The emulator directory as a full path: the one the run fixed at its
    // start, else read from the current directory.
    std::string emulatorDirectory();

    Platform& os_;
    RunWindow& window_;
    const TPaths& paths_;
    const GameCatalogue& catalogue_;
    std::string runEmulatorDir_;
    KeptFiles* kept_ = nullptr;  // during a run that writes into the game's directory
};

}  // namespace qn
