#include "catalogue/catalogue_file.h"

#include <utility>

namespace qn {

std::optional<std::string> readCatalogueFile(Platform& files, const std::string& mainPath,
                                         GameCatalogue& cat) {
    for (GameRecord& game : cat.games) {
        game.Title.clear();
        game.ShortName.clear();
    }
    const std::string path = mainPath + "roms.dat";
    std::optional<std::string> content = files.readFile(path);
    if (!content) return "There was an error opening " + path;
    parseCatalogue(files.codePageToUtf8(std::move(*content)), cat);
    return std::nullopt;
}

std::optional<std::string> readRequiredFilesFile(Platform& files, const std::string& mainPath,
                                             GameCatalogue& cat) {
    const std::string path = mainPath + "reqfiles.dat";
    std::optional<std::string> content = files.readFile(path);
    if (!content) return "Error loading " + path;
    cat.setRequiredFiles(files.codePageToUtf8(std::move(*content)));
    return std::nullopt;
}

}  // namespace qn
