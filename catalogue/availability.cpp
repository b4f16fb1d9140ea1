#include "catalogue/availability.h"

namespace qn {

void evaluateAvailability(GameCatalogue& cat, const TPaths& p, RomMode mode, Platform& os) {
    os.setCurrentDirectory("C:\\");
    for (int g = 0; g < cat.GameCount; ++g) {
        GameRecord& game = cat.games[g];
        const std::string& s = game.ShortName;
        if (mode.compressed) {
            game.Available = os.fileExists(p.romsPath + s + ".zip");
            if (!mode.driversPath && !os.fileExists(p.emulatorPath + s + "\\" + s + ".qun"))
                game.Available = false;
        } else {
            bool allThere = true;
            for (int j = 0; j < game.RequiredFileCount; ++j) {
                game.MissingFiles[j] = !os.fileExists(p.emulatorPath + s + "\\" + game.RequiredFiles[j]);
                allThere = allThere && !game.MissingFiles[j];
            }
            game.Available = allThere;
        }
        if (mode.driversPath && !os.fileExists(p.driversPath + s + ".qun")) game.Available = false;
    }
}

}  // namespace qn
