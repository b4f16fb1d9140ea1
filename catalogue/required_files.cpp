#include "catalogue/catalogue.h"
#include "catalogue/text_lines.h"

namespace qn {

void parseRequiredFiles(const std::string& content, GameCatalogue& catalogue) {
    for (GameRecord& game : catalogue.games) game.RequiredFiles.clear();
    TextLines lines(content);
    std::string_view line;
    size_t group = 0;
    std::string_view previous;
    // A group's names are gathered first, so each game's list is made once
    // at its size: a catalogue of a million files makes a list per game.
    std::vector<std::string_view> names;
    auto close = [&] {
        catalogue.games[group].RequiredFiles.assign(names.begin(), names.end());
        names.clear();
    };
    while (lines.next(line)) {
        size_t slash = line.find('\\');
        if (slash == std::string_view::npos || slash == 0) continue;  // not a group\file line
        std::string_view name = line.substr(0, slash);
        if (!names.empty() && name != previous) {
            close();
            ++group;
        }
        previous = name;
        if (group >= catalogue.games.size()) return;  // no game for this group or any later one
        names.push_back(line.substr(slash + 1));
    }
    if (!names.empty()) close();
}

}  // namespace qn
