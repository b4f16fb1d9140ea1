#include "catalogue/game_list.h"

#include <algorithm>

#include "platform/unicode_text.h"

namespace qn {

bool isListed(bool available, ListFilter filter) {
    return filter == ListFilter::ShowAll || (filter == ListFilter::ShowAvailable && available) ||
           (filter == ListFilter::ShowUnavailable && !available);
}

void GameListModel::refill() {
    rowSlots_.clear();
    folded_.clear();  // the titles may have been read again
    rowSlots_.reserve(catalogue_.games.size());
    if (filter_ != ListFilter::ShowAll) availability_.all(catalogue_);
    for (int slot = 0; slot < catalogue_.size(); ++slot)
        if (filter_ == ListFilter::ShowAll || isListed(available(slot), filter_)) rowSlots_.push_back(slot);
    sortRows();
}

int GameListModel::rowOf(int slot) const {
    const auto at = std::find(rowSlots_.begin(), rowSlots_.end(), slot);
    return at == rowSlots_.end() ? -1 : static_cast<int>(at - rowSlots_.begin());
}

std::string GameListModel::cell(int row, int column) {
    const GameRecord& g = game(row);
    switch (column) {
    case 0: return g.Title;
    case 1: return g.ShortName;
    default: return available(slotOf(row)) ? "Yes" : "No";
    }
}

bool GameListModel::runnable(int row) {
    if (row < 0 || row >= rowCount()) return false;
    switch (filter_) {
    case ListFilter::ShowAvailable: return true;
    case ListFilter::ShowAll: return available(slotOf(row));
    default: return false;
    }
}

void GameListModel::sortBy(SortColumn column) {
    order_.descending = order_.column == column && !order_.descending;
    order_.column = column;
    sortRows();
}

void GameListModel::sortRows() {
    if (!order_.column) {
        std::sort(rowSlots_.begin(), rowSlots_.end());
        return;
    }
    const bool down = order_.descending;
    // Letter case aside first, then exactly, then the catalogue's order, so
    // twins stay in the order they were read whichever way the list runs.
    auto byText = [this, down](auto folded, auto exact) {
        return [this, down, folded, exact](int a, int b) {
            const GameRecord& x = catalogue_.games[a];
            const GameRecord& y = catalogue_.games[b];
            int c = (this->*folded)(a).compare((this->*folded)(b));
            if (c == 0) c = (x.*exact).compare(y.*exact);
            if (c != 0) return down ? c > 0 : c < 0;
            return a < b;
        };
    };
    switch (*order_.column) {
    case SortColumn::Name:
        std::sort(rowSlots_.begin(), rowSlots_.end(), byText(&GameListModel::foldedTitle, &GameRecord::Title));
        break;
    case SortColumn::Path:
        std::sort(rowSlots_.begin(), rowSlots_.end(),
                  byText(&GameListModel::foldedShortName, &GameRecord::ShortName));
        break;
    case SortColumn::Availability: {
        availability_.all(catalogue_);
        // "No" before "Yes", as the column reads.
        std::vector<char> yes(catalogue_.games.size());
        for (int slot : rowSlots_) yes[slot] = available(slot);
        std::sort(rowSlots_.begin(), rowSlots_.end(), [&yes, down](int a, int b) {
            if (yes[a] != yes[b]) return down ? yes[a] > yes[b] : yes[a] < yes[b];
            return a < b;
        });
        break;
    }
    }
}

int GameListModel::chosenRow() const {
    if (rowSlots_.empty()) return -1;
    const int row = kept_ ? rowOf(*kept_) : -1;
    return row >= 0 ? row : 0;
}

const std::string& GameListModel::foldedTitle(int slot) {
    if (folded_.size() != catalogue_.games.size()) folded_.assign(catalogue_.games.size(), {});
    Folded& f = folded_[slot];
    if (!f.made) {
        f.title = lowerUtf8(catalogue_.games[slot].Title);
        f.shortName = lowerUtf8(catalogue_.games[slot].ShortName);
        f.made = true;
    }
    return f.title;
}

const std::string& GameListModel::foldedShortName(int slot) {
    foldedTitle(slot);
    return folded_[slot].shortName;
}

bool GameListModel::holds(int slot, const FindRequest& request, const std::string& foldedText) {
    if (request.matchCase) {
        const GameRecord& g = catalogue_.games[slot];
        return g.Title.find(request.text) != std::string::npos ||
               g.ShortName.find(request.text) != std::string::npos;
    }
    return foldedTitle(slot).find(foldedText) != std::string::npos ||
           foldedShortName(slot).find(foldedText) != std::string::npos;
}

FindResult GameListModel::find(const FindRequest& request, int fromRow) {
    const int rows = rowCount();
    if (request.text.empty() || rows == 0) return {};
    const std::string folded = request.matchCase ? std::string() : lowerUtf8(request.text);
    // Without a row to start from, from the top down (or the bottom up).
    const bool fromNone = fromRow < 0 || fromRow >= rows;
    if (fromNone) fromRow = request.down ? rows - 1 : 0;
    const int step = request.down ? 1 : rows - 1;
    // Every row once, the one it starts from last.
    for (int n = 1, row = fromRow; n <= rows; ++n) {
        row = (row + step) % rows;
        if (holds(slotOf(row), request, folded))
            return {row, !fromNone && (request.down ? row <= fromRow : row >= fromRow)};
    }
    return {};
}

}  // namespace qn
