#include <gtest/gtest.h>

#include "catalogue/game_list.h"
#include "platform/memory/memory_platform.h"

namespace qn {
namespace {

using Slots = std::vector<int>;

// Six games, twins and a Cyrillic title among them; those in slots 1, 3
// and 5 have their file and driver on disk.
class GameListRules : public ::testing::Test {
protected:
    MemoryPlatform os;
    GameCatalogue cat;
    GameListModel list{cat, os};

    void SetUp() override {
        const char* games[][2] = {{"radiant Type I", "rti"}, {"Twin", "twb"}, {"Ёжик", "ezh"},
                                  {"Twin", "twa"},           {"Alpha", "ZED"}, {"Radiant Type II", "rt2"}};
        for (const auto& g : games) {
            GameRecord r;
            r.Title = g[0];
            r.ShortName = g[1];
            r.RequiredFiles = {"f.rom"};
            cat.games.push_back(r);
        }
        for (std::string dir : {"twb", "twa", "rt2"}) {
            os.writeFile("C:\\Quon\\" + dir + "\\f.rom", "x");
            os.writeFile("C:\\Quon\\" + dir + "\\" + dir + ".qun", "x");
        }
        TPaths paths;
        paths.emulatorPath = "C:\\Quon\\";
        list.evaluate(paths, {}, kLookupBase);
        list.refill();
    }
    Slots rows() const {
        Slots out;
        for (int r = 0; r < list.rowCount(); ++r) out.push_back(list.slotOf(r));
        return out;
    }
};

TEST_F(GameListRules, HeaderClicksSortAscendingThenDescendingTiesInCatalogueOrder) {
    EXPECT_EQ(rows(), (Slots{0, 1, 2, 3, 4, 5}));  // the catalogue's order until a click
    struct Click {
        SortColumn column;
        bool descending;
        Slots order;
    } clicks[] = {
        // Letter case aside; Cyrillic after Latin; twins by slot both ways.
        {SortColumn::Name, false, {4, 0, 5, 1, 3, 2}},
        {SortColumn::Name, true, {2, 1, 3, 5, 0, 4}},
        {SortColumn::Path, false, {2, 5, 0, 3, 1, 4}},  // "ZED" as "zed"
        {SortColumn::Path, true, {4, 1, 3, 0, 5, 2}},
        {SortColumn::Availability, false, {0, 2, 4, 1, 3, 5}},  // "No" first
        {SortColumn::Availability, true, {1, 3, 5, 0, 2, 4}},
        {SortColumn::Name, false, {4, 0, 5, 1, 3, 2}},  // another column starts ascending
    };
    for (const Click& c : clicks) {
        list.sortBy(c.column);
        EXPECT_EQ(list.order().descending, c.descending);
        EXPECT_EQ(rows(), c.order) << "column " << static_cast<int>(c.column);
    }
    // A refill keeps the order; the filter only drops rows.
    list.setFilter(ListFilter::ShowAvailable);
    list.refill();
    EXPECT_EQ(rows(), (Slots{5, 1, 3}));
}

TEST_F(GameListRules, FilterDecidesRowsAndWhichMayRun) {
    // Rows, then which of them may run, under each filter.
    const std::pair<ListFilter, std::vector<std::pair<int, bool>>> cases[] = {
        {ListFilter::ShowAll, {{0, false}, {1, true}, {2, false}, {3, true}, {4, false}, {5, true}}},
        {ListFilter::ShowAvailable, {{1, true}, {3, true}, {5, true}}},
        {ListFilter::ShowUnavailable, {{0, false}, {2, false}, {4, false}}},
    };
    for (const auto& [filter, expected] : cases) {
        list.setFilter(filter);
        list.refill();
        std::vector<std::pair<int, bool>> shown;
        for (int r = 0; r < list.rowCount(); ++r) shown.emplace_back(list.slotOf(r), list.runnable(r));
        EXPECT_EQ(shown, expected);
    }
    EXPECT_FALSE(list.runnable(-1));
    // The kept game's row is chosen while it is listed, else the first.
    list.keep(4);
    EXPECT_EQ(list.chosenRow(), 2);
    list.setFilter(ListFilter::ShowAvailable);
    list.refill();
    EXPECT_EQ(list.chosenRow(), 0);
}

TEST_F(GameListRules, FindGoesRoundTheRowsShownInTitlesAndShortNames) {
    struct Case {
        FindRequest request;
        int from;
        FindResult expected;
    } cases[] = {
        {{"RADIANT", false, true}, 0, {5, false}},   // letter case folded
        {{"RADIANT", true, true}, 0, {-1, false}},   // ... unless matched
        {{"radiant", false, true}, 5, {0, true}},    // past the end, from the top
        {{"radiant", false, false}, 0, {5, true}},   // up, past the start
        {{"Type I", false, true}, 0, {5, false}},    // blanks are text
        {{"ЁЖ", false, true}, 0, {2, false}},         // Cyrillic folds too
        {{"tw", false, true}, 3, {1, true}},          // a short name; twins are rows of their own
        {{"zed", false, true}, -1, {4, false}},       // no selection: from the top
        {{"Twin", false, false}, -1, {3, false}},     // ... or from the bottom going up
        {{"alpha", false, true}, 4, {4, true}},       // the only match is the row itself
        {{"nothing", false, true}, 2, {-1, false}},
        {{"", false, true}, 2, {-1, false}},
    };
    for (const Case& c : cases) {
        const FindResult found = list.find(c.request, c.from);
        EXPECT_EQ(found.row, c.expected.row) << c.request.text << " from " << c.from;
        EXPECT_EQ(found.wrapped, c.expected.wrapped) << c.request.text << " from " << c.from;
    }
    // Only among the rows shown, in their order.
    list.setFilter(ListFilter::ShowUnavailable);
    list.refill();
    list.sortBy(SortColumn::Name);  // Alpha, radiant Type I, Ёжик
    EXPECT_EQ(list.find({"radiant", false, true}, 0).row, 1);
    EXPECT_EQ(list.find({"radiant", false, true}, 1).wrapped, true);
    EXPECT_EQ(list.find({"twin", false, true}, 0).row, -1);
}

}  // namespace
}  // namespace qn
