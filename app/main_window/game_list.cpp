// The main window's game list: filling it, the filter, and what a selected
// row shows.
#include "app/main_window/main_window.h"
#include "app/stored_data.h"
#include "catalogue/game_list.h"
#include "launch/options.h"

namespace qn {

void TForm1::FillGameList(SelectedBy firstRow) {
    AppState& s = app_.state;
    ListView1.setEnabled(true);
    // All rows in one go, the old ones and their selection replaced: the
    // window learns of them once, however many.
    // The whole list needs no game's availability to be known, so each
    // row's mark is worked out when the row is first shown.
    GameCatalogue& cat = app_.catalogue;
    if (s.listFilter != ListFilter::ShowAll) availability_.all(cat);
    std::vector<std::vector<std::string>> rows;
    rowSlots_.clear();
    rows.reserve(cat.games.size());
    rowSlots_.reserve(cat.games.size());
    for (int g = 0; g < cat.size(); ++g) {
        const GameRecord& game = cat.games[g];
        if (s.listFilter != ListFilter::ShowAll && !isListed(availability_.of(cat, g), s.listFilter)) continue;
        // The caption alone now, the rest when the row is first shown: at
        // 100,000 games each copy made here costs milliseconds.
        rows.emplace_back(3).front() = game.Title;
        rowSlots_.push_back(g);
    }
    auto mark = [this](int row, std::vector<std::string>& cells) {
        cells[1] = RowGame(row).ShortName;
        cells[2] = availability_.of(app_.catalogue, RowSlot(row)) ? "Yes" : "No";
    };
    ListView1.setRows(std::move(rows), std::move(mark));
    if (ListView1.rowCount() == 0) return;
    // The first row, unless the game to keep is listed.
    int chosen = 0;
    for (int row = 0; keptSlot_ && row < ListView1.rowCount(); ++row)
        if (RowSlot(row) == *keptSlot_) {
            chosen = row;
            break;
        }
    ListView1.showSelected(chosen);
    ShowRow(chosen, firstRow);
}

void TForm1::ComboBox1Change() {
    const int index = ComboBox1.itemIndex();
    if (index >= 0 && index <= 2) app_.state.listFilter = static_cast<ListFilter>(index);
    ShowPicture(kLogoPicture1);
    FillGameList(SelectedBy::Program);
}

bool TForm1::RowIsRunnable(int row) {
    return rowIsRunnable(app_.catalogue, availability_, app_.state.listFilter, RowSlot(row));
}

void TForm1::EvaluateAvailability() {
    availability_.reset(app_.tpaths, romMode(), kLookupBase);
    app_.state.outsideDirectory = kLookupBase;
    AvailabilityTimer.setEnabled(true);
}

void TForm1::AvailabilityTimerTimer() {
    // A few dozen directories at a time keep the window answering.
    if (availability_.allKnownAfter(app_.catalogue, 48)) AvailabilityTimer.setEnabled(false);
}

void TForm1::ShowRow(int row, SelectedBy by) {
    const bool byUser = by == SelectedBy::User;
    const GameRecord& game = RowGame(row);
    const std::string& title = game.Title;
    const std::string& shortName = game.ShortName;
    CheckBox6.setEnabled(byUser && supportsFrameSkip(shortName));
    CheckBox9.setEnabled(byUser && supportsRotation(shortName));
    if (byUser) {
        ShowPicture(shortName + ".jpg");
        const OptionFlags& flags = GameOptionFlags(app_, app_.catalogue.flagsSlot(RowSlot(row)));
        for (int j = 0; j < OptionCount; ++j) optionBox(j)->showChecked(flags[j]);
    }
    if (RowIsRunnable(row))
        SpeedButton1.setCaption("Run " + title);
    else
        SpeedButton1.setCaption(ListView1.rowCount() >= 2 ? "Cannot run " + title : "No ROMs available");
    StatusBar1.setPanelText(3, RowHint(row));
}

std::string TForm1::RowHint(int row) {
    const std::string& title = RowGame(row).Title;
    const bool single = app_.singleClick;
    if (RowIsRunnable(row)) return (single ? "Click to run " : "Doubleclick to run ") + title;
    if (ListView1.selectedRow() < 0) return "No ROM available to run";
    return title + (single ? " is not available. Click to know why" : " is not available. Doubleclick to know why");
}

}  // namespace qn
