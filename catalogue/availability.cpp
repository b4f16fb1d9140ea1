#include "catalogue/availability.h"

namespace qn {

void evaluateGame(GameRecord& game, const TPaths& p, RomMode mode, FileLookup& files) {
    const std::string& s = game.ShortName;
    if (mode.compressed) {
        game.Available = files.fileExists(p.romsPath, s + ".zip");
        if (!mode.driversPath && !files.fileExists(p.emulatorPath + s + "\\", s + ".qun"))
            game.Available = false;
    } else {
        const std::string directory = p.emulatorPath + s + "\\";
        game.MissingFiles.resize(game.RequiredFiles.size());
        bool allThere = true;
        for (int j = 0; j < game.RequiredFileCount; ++j) {
            game.MissingFiles[j] = !files.fileExists(directory, game.RequiredFiles[j]);
            allThere = allThere && !game.MissingFiles[j];
        }
        game.Available = allThere;
    }
    if (mode.driversPath && !files.fileExists(p.driversPath, s + ".qun")) game.Available = false;
}

void evaluateAvailability(GameCatalogue& cat, const TPaths& p, RomMode mode, Platform& os) {
    FileLookup files(os);
    evaluateAvailability(cat, p, mode, os, files);
}

void evaluateAvailability(GameCatalogue& cat, const TPaths& p, RomMode mode, Platform& os,
                          FileLookup& files) {
    os.setCurrentDirectory("C:\\");
    for (int g = 0; g < cat.GameCount; ++g) evaluateGame(cat.games[g], p, mode, files);
}

}  // namespace qn
