// The option check boxes: each game keeps its own flags, and a run turns the
// boxes into the emulator's switches.
#include "app/main_window/main_window.h"

namespace qn {

void TForm1::StoreOptionFlag(ui::CheckBox& box, int flagIndex) {
    const int row = ListView1.selectedRow();
    if (row < 0) return;
    const int slot = app_.catalogue.findByTitle(ListView1.row(row)[0]);
    if (slot < 0) return;
    app_.catalogue.games[slot].OptionFlags[flagIndex] = box.checked();
}

std::string TForm1::BuildEmulatorCommandLine(const std::string& emulatorDir,
                                             const std::string& shortName) {
    static const char* const kResolutions[] = {"384x256 ", "360x256 ", "320x400 ",
                                               "320x240 ", "256x256 ", "224x288 "};
    // The emulator's own switch order: rotation comes before frame skipping.
    const std::pair<const ui::CheckBox*, const char*> switches[] = {
        {&CheckBox1, "-n "}, {&CheckBox2, "-s "}, {&CheckBox3, "-a "}, {&CheckBox4, "-j "},
        {&CheckBox5, "-v "}, {&CheckBox9, "-r "}, {&CheckBox6, "-f "}};
    std::string text;
    for (const auto& [box, sw] : switches)
        if (box->checked()) text += sw;
    if (CheckBox10.checked()) {
        text += "-d";
        const int index = ListBox1.itemIndex();
        if (index >= 0 && index < 6) text += kResolutions[index];
    }
    return emulatorDir + "quon.exe " + shortName + " " + text;
}

}  // namespace qn
