// The main window's game list: filling it, the filter, and what a selected
// row shows.
#include "app/main_window/main_window.h"
#include "app/stored_data.h"
#include "launch/options.h"

namespace qn {

void TForm1::FillGameList(SelectedBy firstRow) {
    ListView1.setEnabled(true);
    games_.refill();
    showModelRows();
    const int chosen = games_.chosenRow();
    if (chosen >= 0) {
        ListView1.showSelected(chosen);
        ShowRow(chosen, firstRow);
        return;
    }
    // Nothing listed: nothing of the game selected before stays named.
    CheckBox6.setEnabled(false);
    CheckBox9.setEnabled(false);
    SpeedButton1.setCaption("No ROMs available");
    StatusBar1.setPanelText(3, "No ROM available to run");
}

void TForm1::showModelRows() {
    // All rows in one go, the old ones and their selection replaced: the
    // window learns of them once, however many. The caption alone now,
    // the rest when the row is first shown: at 100,000 games each copy
    // made here costs milliseconds, and no game's files are looked at.
    std::vector<std::vector<std::string>> rows;
    rows.reserve(static_cast<size_t>(games_.rowCount()));
    for (int row = 0; row < games_.rowCount(); ++row) rows.emplace_back(3).front() = games_.game(row).Title;
    auto mark = [this](int row, std::vector<std::string>& cells) {
        cells[1] = games_.cell(row, 1);
        cells[2] = games_.cell(row, 2);
    };
    ListView1.setRows(std::move(rows), std::move(mark));
}

void TForm1::ComboBox1Change() {
    const int index = ComboBox1.itemIndex();
    if (index >= 0 && index <= 2) games_.setFilter(static_cast<ListFilter>(index));
    ShowPicture(kLogoPicture1);
    FillGameList(SelectedBy::Program);
}

void TForm1::EvaluateAvailability() {
    games_.evaluate(app_.tpaths, romMode(), kLookupBase);
    app_.state.outsideDirectory = kLookupBase;
    AvailabilityTimer.setEnabled(true);
}

void TForm1::AvailabilityTimerTimer() {
    // A few dozen directories at a time keep the window answering.
    if (games_.evaluateMore(48)) AvailabilityTimer.setEnabled(false);
}

void TForm1::ShowRow(int row, SelectedBy by) {
    const bool byUser = by == SelectedBy::User;
    const GameRecord& game = games_.game(row);
    const std::string& title = game.Title;
    const std::string& shortName = game.ShortName;
    CheckBox6.setEnabled(byUser && supportsFrameSkip(shortName));
    CheckBox9.setEnabled(byUser && supportsRotation(shortName));
    if (byUser) {
        ShowPicture(shortName + ".jpg");
        const OptionFlags& flags = GameOptionFlags(app_, app_.catalogue.flagsSlot(games_.slotOf(row)));
        for (int j = 0; j < OptionCount; ++j) optionBox(j)->showChecked(flags[j]);
    }
    if (RowIsRunnable(row))
        SpeedButton1.setCaption("Run " + title);
    else
        SpeedButton1.setCaption(ListView1.rowCount() >= 2 ? "Cannot run " + title : "No ROMs available");
    StatusBar1.setPanelText(3, RowHint(row));
}

std::string TForm1::RowHint(int row) {
    const std::string& title = games_.game(row).Title;
    const bool single = app_.singleClick;
    if (RowIsRunnable(row)) return (single ? "Click to run " : "Doubleclick to run ") + title;
    if (ListView1.selectedRow() < 0) return "No ROM available to run";
    return title + (single ? " is not available. Click to know why" : " is not available. Doubleclick to know why");
}

}  // namespace qn
