#include "catalogue/catalogue_file.h"

#include "app/app.h"
#include "settings/settings_store.h"

namespace qn {

void DataFileError(App& app, const std::string& message) {
    app.os.messageBox(MessageKind::Error, message);
    DeleteSettingsKey(app);
    app.state.DataLoadError = true;
}

void LoadCatalogue(App& app) {
    GameCatalogue& cat = app.catalogue;
    for (int i = 0; i < cat.GameCount; ++i) {
        cat.games[i].Title.clear();
        cat.games[i].ShortName.clear();
    }
    const std::string path = app.tpaths.mainPath + "roms.dat";
    std::optional<std::string> content = app.os.readFile(path);
    if (!content) {
        DataFileError(app, "There was an error opening " + path);
        return;
    }
    cat.GameCount = parseCatalogue(*content, cat);
}

}  // namespace qn
