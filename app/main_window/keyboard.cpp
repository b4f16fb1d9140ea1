// The main window by keyboard and for a screen reader: shortcuts for the
// buttons Tab does not stop at, the window menu's About, links that Tab
// reaches, and names for the controls whose captions do not say what they
// are.
#include "app/main_window/main_window.h"

namespace qn {

void TForm1::setUpKeyboard() {
    shortcuts = {
        {"Ctrl+R", &SpeedButton1},   // run the selected game
        {"F1", &SpeedButton2},       // the launcher's readme
        {"Ctrl+F1", &SpeedButton3},  // the emulator's readme
        {"Ctrl+U", &SpeedButton11},  // uninstall, after asking
        {"Ctrl+1", &SpeedButton9},   // single click interface
        {"Ctrl+2", &SpeedButton10},  // common interface
        {"Ctrl+F", nullptr, [this] { FindGame(); }},
        {"F3", nullptr, [this] { FindAgain(true); }},
        {"Shift+F3", nullptr, [this] { FindAgain(false); }},
    };
    windowMenu = {{"&About Tolvane's QUON FrontEnd v2.09...", [this] { SpeedButton7Click(); }}};
    // Buttons Tab does not stop at say their keys where the pointer rests.
    const std::pair<ui::Button*, const char*> says[] = {
        {&SpeedButton1, "Run the selected game"},
        {&SpeedButton2, "Open Tolvane's QUON FrontEnd ReadMe file"},
        {&SpeedButton3, "Open QUON ReadMe file"},
        {&SpeedButton11, "Uninstall the program"},
        {&SpeedButton9, "Change to the single click interface"},
        {&SpeedButton10, "Change to the common interface"},
    };
    for (const auto& [button, what] : says)
        for (const Shortcut& s : shortcuts)
            if (s.button == button) button->setHint(std::string(what) + " (" + s.keys + ")");
    SpeedButton7.setHint("About Tolvane's QUON FrontEnd v2.09 (also Alt+Space, then A)");
    for (ui::Label* link : {&Label8, &Label9, &Label7, &Label10, &Label18, &Label16}) link->setTabStop(true);

    SpeedButton6.setAccessName("Browse for the QUON path");
    SpeedButton8.setAccessName("Browse for the drivers path");
    SpeedButton4.setAccessName("Browse for the PkUnzip program");
    SpeedButton5.setAccessName("Browse for the ROMs path");
    // F4 or Alt+Down in a path box is its "..." button, while that works.
    const std::pair<ui::Edit*, ui::Button*> boxes[] = {
        {&Edit1, &SpeedButton6}, {&Edit4, &SpeedButton8}, {&Edit2, &SpeedButton4}, {&Edit3, &SpeedButton5}};
    for (const auto& [box, button] : boxes) {
        box->onDropDown = [button = button] { button->click(); };
        button->setHint(button->accessName() + " (F4 in the box)");
    }
    Image1.setAccessName("Screenshot of the selected game");
}

void TForm1::showAfterRun() {
    const int row = ListView1.selectedRow();
    if (row >= 0) games_.keep(games_.slotOf(row));
    show();
    games_.keep(std::nullopt);
}

}  // namespace qn
