// The option check boxes: each game keeps its own flags, and a run turns the
// boxes into the emulator's switches.
#include "app/main_window/main_window.h"
#include "app/stored_data.h"
#include "launch/options.h"

namespace qn {

void TForm1::StoreOptionFlag(ui::CheckBox& box, int flagIndex) {
    const int row = ListView1.selectedRow();
    if (row < 0) return;
    SetGameOptionFlag(app_, app_.catalogue.flagsSlot(games_.slotOf(row)), flagIndex, box.checked());
}

OptionFlags TForm1::shownOptions() {
    OptionFlags flags{};
    for (int j = 0; j < OptionCount; ++j) flags[j] = optionBox(j)->checked();
    return flags;
}

}  // namespace qn
