#include "catalogue/catalogue_file.h"

namespace qn {

std::optional<std::string> loadCatalogue(Platform& files, const std::string& mainPath,
                                         GameCatalogue& cat) {
    for (int i = 0; i < cat.GameCount && i < static_cast<int>(cat.games.size()); ++i) {
        cat.games[i].Title.clear();
        cat.games[i].ShortName.clear();
    }
    const std::string path = mainPath + "roms.dat";
    std::optional<std::string> content = files.readFile(path);
    if (!content) return "There was an error opening " + path;
    cat.GameCount = parseCatalogue(*content, cat);
    return std::nullopt;
}

std::optional<std::string> loadRequiredFiles(Platform& files, const std::string& mainPath,
                                             GameCatalogue& cat) {
    const std::string path = mainPath + "reqfiles.dat";
    std::optional<std::string> content = files.readFile(path);
    if (!content) return "Error loading " + path;
    parseRequiredFiles(*content, cat);
    return std::nullopt;
}

}  // namespace qn
