#include "catalogue/catalogue.h"
#include "catalogue/text_lines.h"

namespace qn {

void GameCatalogue::setRequiredFiles(std::string content) {
    for (GameRecord& game : games) game.RequiredFiles.clear();
    requiredText_ = std::move(content);
    requiredText_.resize(TextLines(requiredText_).text().size());
    requiredAt_ = 0;
    requiredGroups_ = 0;
}

const GameRecord& GameCatalogue::withFiles(int slot) {
    while (requiredGroups_ <= static_cast<size_t>(slot) && takeRequiredGroup()) {
    }
    return games.at(slot);
}

bool GameCatalogue::takeRequiredGroup() {
    TextLines lines(requiredText_, requiredAt_);
    std::string_view line, group;
    std::vector<std::string_view> names;
    while (requiredGroups_ < games.size() && lines.next(line)) {
        size_t slash = line.find('\\');
        if (slash != std::string_view::npos && slash != 0) {  // a group\file line
            std::string_view name = line.substr(0, slash);
            if (!names.empty() && name != group) break;  // the next group's, read again then
            group = name;
            names.push_back(line.substr(slash + 1));
        }
        requiredAt_ = lines.offset();
    }
    if (names.empty()) {
        // Every group is handed out, or belongs to no game.
        requiredGroups_ = games.size();
        std::string().swap(requiredText_);
        return false;
    }
    games[requiredGroups_++].RequiredFiles.assign(names.begin(), names.end());
    return true;
}

void parseRequiredFiles(const std::string& content, GameCatalogue& catalogue) {
    catalogue.setRequiredFiles(content);
    if (catalogue.size() > 0) catalogue.withFiles(catalogue.size() - 1);
}

}  // namespace qn
