// What the game list offers beside choosing a row: sorting by a column,
// finding a game, and the commands of a row's menu.
#include "app/main_window/main_window.h"
#include "launch/game_directory.h"

namespace qn {

void TForm1::ListView1ColumnClick(int column) {
    if (running_ || column < 0 || column > 2) return;
    // The selected game stays selected, wherever the sort puts its row.
    const int selected = ListView1.selectedRow();
    const std::optional<int> slot = selected >= 0 ? std::optional<int>(games_.slotOf(selected)) : std::nullopt;
    games_.sortBy(static_cast<SortColumn>(column));
    ListView1.setSortArrow(column, games_.order().descending);
    showModelRows();
    if (slot) ListView1.showSelected(games_.rowOf(*slot));
}

void TForm1::FindGame() {
    if (!running_) openFind();
}

void TForm1::FindAgain(bool down) {
    if (findQuery.text.empty()) {
        FindGame();
        return;
    }
    FindQuery query = findQuery;
    query.down = down;
    FindNext(query);
}

void TForm1::FindNext(const FindQuery& query) {
    if (running_) return;
    const FindResult found = games_.find({query.text, query.matchCase, query.down}, ListView1.selectedRow());
    if (found.row < 0) {
        app_.os.messageBox(MessageKind::Information, "Cannot find \"" + query.text + "\"");
        return;
    }
    // Chosen as by the user: the picture, the flags and the run texts follow.
    ListView1.selectRow(found.row);
    if (found.wrapped)
        StatusBar1.setPanelText(3, query.down ? "Passed the end of the list, found from the top"
                                              : "Passed the start of the list, found from the bottom");
}

std::vector<ui::MenuItem> TForm1::ListView1ContextMenu(int row) {
    if (running_ || row < 0 || row >= games_.rowCount()) return {};
    const bool runnable = games_.runnable(row);
    return {
        {"&Run", runnable, true, [this] { ActivateSelectedGame(); }},
        {"&Why can't it run?", !runnable, false, [this] { ShowUnavailabilityReport(); }},
        {"&Open the game's folder", selectedGameFolder().has_value(), false, [this] { OpenGameFolder(); }},
        {"&Copy title", true, false, [this] { CopyGameTitle(); }},
    };
}

std::optional<std::string> TForm1::selectedGameFolder() {
    const int row = ListView1.selectedRow();
    if (row < 0) return std::nullopt;
    // Any other name could lead outside the emulator's directory.
    const std::optional<GameName> name = GameName::parse(games_.game(row).ShortName);
    if (!name) return std::nullopt;
    std::string folder = fullPaths(app_.tpaths, kLookupBase).emulatorPath + name->str();
    if (!app_.os.directoryExists(folder)) return std::nullopt;
    return folder;
}

void TForm1::OpenGameFolder() {
    const std::optional<std::string> folder = selectedGameFolder();
    if (!folder) return;
    enterOutsideDirectory();
    if (app_.os.shellOpen(*folder, *folder) <= 32)
        app_.os.messageBox(MessageKind::Warning, "Cannot open the folder " + *folder);
}

void TForm1::CopyGameTitle() {
    const int row = ListView1.selectedRow();
    if (row >= 0) app_.os.setClipboardText(games_.game(row).Title);
}

}  // namespace qn
