// The game list as the window shows it: which games are listed, in what
// order, which row is which game, which rows may run, and finding a game.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "catalogue/availability.h"
#include "catalogue/catalogue.h"

namespace qn {

enum class ListFilter { ShowAll = 0, ShowAvailable = 1, ShowUnavailable = 2 };

// Whether the filter lists a game that can (or cannot) run.
bool isListed(bool available, ListFilter filter);

// The columns a list can be sorted by, numbered as the window's columns.
enum class SortColumn { Name = 0, Path = 1, Availability = 2 };

struct ListOrder {
    std::optional<SortColumn> column;  // none: the catalogue's order
    bool descending = false;
};

// What the user asks a find for: text inside a title or a short name.
struct FindRequest {
    std::string text;
    bool matchCase = false;
    bool down = true;
};
struct FindResult {
    int row = -1;          // -1: no row holds the text
    bool wrapped = false;  // found only past the end (or the start) of the list
};

class GameListModel {
public:
    GameListModel(GameCatalogue& catalogue, Platform& os) : catalogue_(catalogue), availability_(os) {}

    // Forgets what was known of the games' files: they are looked at anew
    // under these paths and this mode.
    void evaluate(const TPaths& paths, RomMode mode, const std::string& base) {
        availability_.reset(paths, mode, base);
    }
    // Works out up to `count` games no row has needed yet; true when none is left.
    bool evaluateMore(int count) { return availability_.allKnownAfter(catalogue_, count); }
    // Whether the game in the slot can run, worked out now if it was not yet.
    bool available(int slot) { return availability_.of(catalogue_, slot); }

    ListFilter filter() const { return filter_; }
    // Takes effect at the next refill.
    void setFilter(ListFilter filter) { filter_ = filter; }

    // Makes the rows anew: the games the filter lists, in the list's order.
    // Under the full list no game's files are looked at.
    void refill();
    int rowCount() const { return static_cast<int>(rowSlots_.size()); }
    int slotOf(int row) const { return rowSlots_.at(static_cast<size_t>(row)); }
    const GameRecord& game(int row) const { return catalogue_.games.at(slotOf(row)); }
    // The row showing the game in the slot, or -1.
    int rowOf(int slot) const {
        return slot >= 0 && slot < static_cast<int>(slotRows_.size()) ? slotRows_[slot] : -1;
    }
    // A row's cell: the title, the short name, or "Yes" / "No".
    std::string cell(int row, int column);
    // Every row of the available list may run; under the full list the
    // game's files decide; no row of the unavailable list may.
    bool runnable(int row);

    const ListOrder& order() const { return order_; }
    // A click on a column's header: the rows sorted by it, ascending, then
    // descending on the next click, and so on. Ties keep the catalogue's order.
    void sortBy(SortColumn column);

    // The game a refill selects rather than the first row, while listed.
    void keep(std::optional<int> slot) { kept_ = slot; }
    // The row a refill selects: the kept game's, else the first; -1 when empty.
    int chosenRow() const;

    // The next row (or previous, going up) after `fromRow` whose title or
    // short name holds the text, letter case folded unless asked to match
    // it; round the end of the list to the start (or the start to the end).
    FindResult find(const FindRequest& request, int fromRow);

private:
    // A slot's title and short name in lower case, made when first compared.
    const std::string& foldedTitle(int slot);
    const std::string& foldedShortName(int slot);
    // The rows in the list's order, and the table back from slots to rows.
    void sortRows();
    void orderRows();
    // Every game's title and short name, a line each, in one text (as read,
    // or in lower case), so one pass over it finds every game holding a text.
    struct Haystack {
        std::string text;
        std::vector<size_t> starts;  // by slot, and the end
    };
    const Haystack& haystack(bool folded);

    GameCatalogue& catalogue_;
    Availability availability_;
    ListFilter filter_ = ListFilter::ShowAll;
    ListOrder order_;
    std::vector<int> rowSlots_;
    std::vector<int> slotRows_;  // by slot: its row, or -1
    std::optional<int> kept_;
    Haystack exact_, lower_;
    struct Folded {
        std::string title, shortName;
        bool made = false;
    };
    std::vector<Folded> folded_;  // by slot
};

}  // namespace qn
