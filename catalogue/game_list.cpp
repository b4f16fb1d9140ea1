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
    // The titles may have been read again.
    folded_.clear();
    exact_ = lower_ = {};
    rowSlots_.reserve(catalogue_.games.size());
    if (filter_ != ListFilter::ShowAll) availability_.all(catalogue_);
    for (int slot = 0; slot < catalogue_.size(); ++slot)
        if (filter_ == ListFilter::ShowAll || isListed(available(slot), filter_)) rowSlots_.push_back(slot);
    sortRows();
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
    orderRows();
    slotRows_.assign(catalogue_.games.size(), -1);
    for (int row = 0; row < rowCount(); ++row) slotRows_[rowSlots_[row]] = row;
}

void GameListModel::orderRows() {
    if (!order_.column) return;  // made in slot order
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

const GameListModel::Haystack& GameListModel::haystack(bool folded) {
    Haystack& h = folded ? lower_ : exact_;
    if (!h.starts.empty()) return h;
    for (int slot = 0; slot < catalogue_.size(); ++slot) {
        h.starts.push_back(h.text.size());
        const GameRecord& g = catalogue_.games[slot];
        // Lines cannot hold a line end, so neither can a match.
        h.text += folded ? foldedTitle(slot) : g.Title;
        h.text += '\n';
        h.text += folded ? foldedShortName(slot) : g.ShortName;
        h.text += '\n';
    }
    h.starts.push_back(h.text.size());
    return h;
}

FindResult GameListModel::find(const FindRequest& request, int fromRow) {
    const int rows = rowCount();
    const std::string needle = request.matchCase ? request.text : lowerUtf8(request.text);
    if (needle.empty() || needle.find('\n') != std::string::npos || rows == 0) return {};
    // Without a row to start from, from the top down (or the bottom up).
    const bool fromNone = fromRow < 0 || fromRow >= rows;
    if (fromNone) fromRow = request.down ? rows - 1 : 0;
    // Of the rows holding the text, the one fewest steps on from the start
    // row that way round; the start row itself comes last.
    const Haystack& h = haystack(!request.matchCase);
    int best = -1, bestSteps = rows;
    for (size_t at = h.text.find(needle); at != std::string::npos;) {
        const auto slot = static_cast<size_t>(std::upper_bound(h.starts.begin(), h.starts.end(), at) - h.starts.begin() - 1);
        const int row = slot < slotRows_.size() ? slotRows_[slot] : -1;
        if (row >= 0) {
            const int steps = (request.down ? row - fromRow - 1 : fromRow - row - 1) + 2 * rows;
            if (steps % rows < bestSteps) best = row, bestSteps = steps % rows;
        }
        at = h.text.find(needle, h.starts[slot + 1]);
    }
    if (best < 0) return {};
    return {best, !fromNone && (request.down ? best <= fromRow : best >= fromRow)};
}

}  // namespace qn
