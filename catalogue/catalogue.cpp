#include "catalogue/catalogue.h"

#include <algorithm>
#include <functional>
#include <string_view>

#include "catalogue/text_lines.h"

namespace qn {

int GameCatalogue::findByShortName(const std::string& shortName) const {
    for (int i = 0; i < size(); ++i)
        if (games[i].ShortName == shortName) return i;
    return -1;
}

void parseCatalogue(const std::string& content, GameCatalogue& catalogue) {
    TextLines lines(content);
    std::string_view line;
    int n = 0;
    // At most a record a line: the table is made once, not copied as it grows.
    catalogue.games.reserve(static_cast<size_t>(std::count(content.begin(), content.end(), '\n')) + 1);
    while (lines.next(line)) {
        if (line.empty() || line[0] != '#') continue;  // empty or comment line
        std::string_view record = line.substr(1);
        if (static_cast<size_t>(n) == catalogue.games.size()) catalogue.games.emplace_back();
        GameRecord& game = catalogue.games[n];
        size_t bar = record.find('|');
        game.Title.assign(record.substr(0, bar));
        game.ShortName.clear();
        if (bar != std::string_view::npos) {
            // Further bars are dropped from the short name.
            for (std::string_view rest = record.substr(bar + 1); !rest.empty();) {
                const size_t next = std::min(rest.find('|'), rest.size());
                game.ShortName.append(rest.substr(0, next));
                rest.remove_prefix(std::min(next + 1, rest.size()));
            }
        }
        ++n;
    }
    catalogue.games.resize(static_cast<size_t>(n));
    // The first slot of each title, by an open table of slots: a map of a
    // node per title costs as much again as reading the file.
    size_t buckets = 16;
    while (buckets < 2 * catalogue.games.size()) buckets *= 2;
    std::vector<int> firstOfTitle(buckets, -1);
    const std::hash<std::string_view> hash;
    catalogue.flagsSlots.resize(catalogue.games.size());
    for (int slot = 0; slot < n; ++slot) {
        const std::string& title = catalogue.games[slot].Title;
        size_t at = hash(title) & (buckets - 1);
        while (firstOfTitle[at] >= 0 && catalogue.games[firstOfTitle[at]].Title != title) at = (at + 1) & (buckets - 1);
        if (firstOfTitle[at] < 0) firstOfTitle[at] = slot;
        catalogue.flagsSlots[slot] = firstOfTitle[at];
    }
}

}  // namespace qn
