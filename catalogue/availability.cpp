#include "catalogue/availability.h"

#include "app/app.h"
#include "app/main_window/main_window.h"

namespace qn {

void EvaluateAvailability(App& app) {
    Platform& os = app.os;
    const TPaths& p = app.tpaths;
    os.setCurrentDirectory("C:\\");
    const bool compressed = app.Form1->CheckBox7.checked();
    const bool driversDir = app.Form1->CheckBox8.checked();
    GameCatalogue& cat = app.catalogue;

    for (int g = 0; g < cat.GameCount; ++g) {
        GameRecord& game = cat.games[g];
        const std::string& s = game.ShortName;
        if (compressed) {
            game.Available = os.fileExists(p.romsPath + s + ".zip");
            if (!driversDir && !os.fileExists(p.emulatorPath + s + "\\" + s + ".qun"))
                game.Available = false;
        } else {
            bool allThere = true;
            for (int j = 0; j < game.RequiredFileCount; ++j) {
                game.MissingFiles[j] = !os.fileExists(p.emulatorPath + s + "\\" + game.RequiredFiles[j]);
                allThere = allThere && !game.MissingFiles[j];
            }
            game.Available = allThere;
        }
        if (driversDir && !os.fileExists(p.driversPath + s + ".qun")) game.Available = false;
    }
}

}  // namespace qn
