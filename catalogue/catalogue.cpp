#include "catalogue/catalogue.h"

#include "catalogue/text_lines.h"

namespace qn {

int GameCatalogue::findByTitle(const std::string& title) const {
    for (int i = 0; i < size(); ++i)
        if (games[i].Title == title) return i;
    return -1;
}

int GameCatalogue::findByShortName(const std::string& shortName) const {
    for (int i = 0; i < size(); ++i)
        if (games[i].ShortName == shortName) return i;
    return -1;
}

void parseCatalogue(const std::string& content, GameCatalogue& catalogue) {
    TextLines lines(content);
    std::string_view line;
    int n = 0;
    while (lines.next(line)) {
        if (line.empty() || line[0] != '#') continue;  // empty or comment line
        std::string_view record = line.substr(1);
        if (static_cast<size_t>(n) == catalogue.games.size()) catalogue.games.emplace_back();
        GameRecord& game = catalogue.games[n];
        size_t bar = record.find('|');
        game.Title.assign(record.substr(0, bar));
        game.ShortName.clear();
        if (bar != std::string_view::npos) {
            for (char c : record.substr(bar + 1))
                if (c != '|') game.ShortName.push_back(c);
        }
        ++n;
    }
    catalogue.games.resize(static_cast<size_t>(n));
}

}  // namespace qn
