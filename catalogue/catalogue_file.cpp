#include "catalogue/catalogue_file.h"

#include <string_view>
#include <utility>

#include "platform/unicode_text.h"

namespace qn {

std::string dataFileText(Platform& os, std::string bytes) {
    static constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
    if (std::string_view(bytes).substr(0, kUtf8Mark.size()) == kUtf8Mark)
        return utf16ToUtf8(utf8ToUtf16(std::string_view(bytes).substr(kUtf8Mark.size())));
    return os.codePageToUtf8(std::move(bytes));
}

std::optional<std::string> readCatalogueFile(Platform& files, const std::string& mainPath,
                                         GameCatalogue& cat) {
    for (GameRecord& game : cat.games) {
        game.Title.clear();
        game.ShortName.clear();
    }
    const std::string path = mainPath + "roms.dat";
    std::optional<std::string> content = files.readFile(path);
    if (!content) return "There was an error opening " + path;
    parseCatalogue(dataFileText(files, std::move(*content)), cat);
    return std::nullopt;
}

std::optional<std::string> readRequiredFilesFile(Platform& files, const std::string& mainPath,
                                             GameCatalogue& cat) {
    const std::string path = mainPath + "reqfiles.dat";
    std::optional<std::string> content = files.readFile(path);
    if (!content) return "Error loading " + path;
    cat.setRequiredFiles(dataFileText(files, std::move(*content)));
    return std::nullopt;
}

}  // namespace qn
