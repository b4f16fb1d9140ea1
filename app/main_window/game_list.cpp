// The main window's game list: filling it, the filter, and what a selected
// row shows.
#include <algorithm>

#include "app/main_window/main_window.h"

namespace qn {
namespace {

const char* const kFrameSkipGames[] = {"rtypeus", "rtypejp", "rtype2",   "dbreed",
                                       "loht",    "hharry",  "uccops",   "imgfight",
                                       "nspirit", "bmaster", "inthunt",  "gunforce"};

bool supportsFrameSkip(const std::string& shortName) {
    return std::find(std::begin(kFrameSkipGames), std::end(kFrameSkipGames), shortName) !=
           std::end(kFrameSkipGames);
}

}  // namespace

void TForm1::FillGameList() {
    AppState& s = app_.state;
    ListView1.clear();
    ListView1.setEnabled(true);
    const bool wasUpdating = s.Updating;
    s.Updating = true;
    const GameCatalogue& cat = app_.catalogue;
    for (int g = 0; g < cat.GameCount; ++g) {
        const GameRecord& game = cat.games[g];
        const bool listed = s.listFilter == ListFilter::ShowAll ||
                            (s.listFilter == ListFilter::ShowAvailable && game.Available) ||
                            (s.listFilter == ListFilter::ShowUnavailable && !game.Available);
        if (listed) ListView1.addRow({game.Title, game.ShortName, game.Available ? "Yes" : "No"});
    }
    s.Updating = wasUpdating;
    if (ListView1.rowCount() == 0) return;
    ListView1.selectRow(0);
    if (!s.Updating) ShowPicture(ListView1.row(0)[1] + ".jpg");
}

void TForm1::ComboBox1Change() {
    AppState& s = app_.state;
    const int index = ComboBox1.itemIndex();
    if (index >= 0 && index <= 2) s.listFilter = static_cast<ListFilter>(index);
    s.Updating = true;
    ShowPicture(kLogoPicture1);
    FillGameList();
    s.Updating = false;
}

bool TForm1::RowIsRunnable(int row) const {
    switch (app_.state.listFilter) {
    case ListFilter::ShowAvailable:
        return true;
    case ListFilter::ShowAll:
        // Only under this filter is a row's position its game's slot.
        return row >= 0 && row < app_.catalogue.GameCount && app_.catalogue.games[row].Available;
    default:
        return false;
    }
}

void TForm1::ListView1Change(int row) {
    const AppState& s = app_.state;
    const std::string& title = ListView1.row(row)[0];
    const std::string& shortName = ListView1.row(row)[1];
    CheckBox6.setEnabled(!s.Updating && supportsFrameSkip(shortName));
    CheckBox9.setEnabled(!s.Updating && shortName == "imgfight");
    if (!s.Updating) {
        ShowPicture(shortName + ".jpg");
        const int slot = app_.catalogue.findByTitle(title);
        if (slot >= 0) {
            const auto& flags = app_.catalogue.games[slot].OptionFlags;
            for (int j = 0; j < OptionCount; ++j) optionBox(j)->setChecked(flags[j]);
        }
    }
    const bool single = app_.singleClick;
    if (RowIsRunnable(row)) {
        SpeedButton1.setCaption("Run " + title);
        StatusBar1.setPanelText(3, (single ? "Click to run " : "Doubleclick to run ") + title);
        return;
    }
    SpeedButton1.setCaption(ListView1.rowCount() >= 2 ? "Cannot run " + title : "No ROMs available");
    if (ListView1.selectedRow() < 0)
        StatusBar1.setPanelText(3, "No ROM available to run");
    else
        StatusBar1.setPanelText(3, title + (single ? " is not available. Click to know why"
                                                   : " is not available. Doubleclick to know why"));
}

}  // namespace qn
