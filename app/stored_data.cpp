#include "app/stored_data.h"

#include "app/app.h"
#include "catalogue/catalogue_file.h"
#include "settings/settings_store.h"

namespace qn {

void LoadSettings(App& app) {
    Settings stored{app.tpaths, app.singleClick, {}};
    const StoredSettings found = readSettings(app.os, stored, &app.knownSettings);
    if (found == StoredSettings::NoMainPath) {
        app.os.messageBox(MessageKind::Warning,
                          "Error reading Main Program Path value. Restart this program");
        forgetMainPath(app.os);
        app.os.exitProcess(1);
    }
    if (found == StoredSettings::NoKey || found == StoredSettings::EmptyMainPath) {
        app.os.messageBox(MessageKind::Information, kFirstRunMessage);
        app.state.firstRun = true;
    }
    app.tpaths = stored.paths;
    app.singleClick = stored.singleClick;
    // Without a program directory there are no data files to read yet: the
    // installer chooses one. A game's options are read when it is first shown.
    if (found != StoredSettings::Complete) return;
    app.pathsRead = stored.paths;
    LoadCatalogue(app);
}

const OptionFlags& GameOptionFlags(App& app, int slot) {
    GameRecord& game = app.catalogue.games[slot];
    if (!game.optionsRead) {
        game.optionsRead = true;
        GameOptions stored{game.Title, game.OptionFlags};
        if (readGameOptions(app.os, stored)) game.OptionFlags = stored.flags;
    }
    return game.OptionFlags;
}

void SetGameOptionFlag(App& app, int slot, int flag, bool on) {
    GameOptionFlags(app, slot);
    GameRecord& game = app.catalogue.games[slot];
    game.OptionFlags[flag] = on;
    game.optionsChanged = true;
}

void SaveSettings(App& app) {
    TPaths& p = app.tpaths;
    const bool firstRun = app.state.firstRun;
    if (!firstRun && !app.state.romMode.compressed) {
        p.romsPath.clear();
        p.unzipProgram.clear();
    }
    const bool cool = firstRun ? app.state.configuredSingleClick : app.singleClick;
    const TPaths written =
        app.pathsRead && app.pathsShown ? pathsToWrite(*app.pathsRead, *app.pathsShown, p) : p;
    // Only the user's changes are written: a game left alone keeps what it
    // has stored, through an installation too.
    Settings settings{written, cool, {}};
    for (const GameRecord& game : app.catalogue.games)
        if (game.optionsChanged) settings.games.push_back({game.Title, game.OptionFlags});
    writeSettings(app.os, settings, &app.knownSettings);
}

void DataFileError(App& app, const std::string& message) {
    app.os.messageBox(MessageKind::Error, message);
    forgetMainPath(app.os);
    app.state.DataLoadError = true;
}

void LoadCatalogue(App& app) {
    if (auto failure = readCatalogueFile(app.os, app.tpaths.mainPath, app.catalogue))
        DataFileError(app, *failure);
}

void LoadRequiredFiles(App& app) {
    if (auto failure = readRequiredFilesFile(app.os, app.tpaths.mainPath, app.catalogue))
        DataFileError(app, *failure);
}

}  // namespace qn
