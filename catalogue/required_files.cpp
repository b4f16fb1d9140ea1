#include "catalogue/catalogue.h"
#include "catalogue/text_lines.h"

namespace qn {

void parseRequiredFiles(const std::string& content, GameCatalogue& catalogue) {
    for (GameRecord& game : catalogue.games) game.RequiredFiles.clear();
    TextLines lines(content);
    std::string_view line;
    size_t group = 0;
    std::string_view previous;
    bool first = true;
    while (lines.next(line)) {
        size_t slash = line.find('\\');
        if (slash == std::string_view::npos || slash == 0) continue;  // not a group\file line
        std::string_view name = line.substr(0, slash);
        if (first) {
            previous = name;
            first = false;
        }
        if (name != previous) {
            ++group;
            previous = name;
        }
        if (group >= catalogue.games.size()) break;  // no game for this group or any later one
        GameRecord& game = catalogue.games[group];
        game.RequiredFiles.emplace_back(line.substr(slash + 1));
    }
}

}  // namespace qn
