// The two ways of working: the single-click interface (flat buttons,
// pointing hand, hover marks, hot tracking) and the common interface.
#include "app/main_window/main_window.h"

namespace qn {

void TForm1::ApplyInterfaceMode() {
    ResetHover();
    const bool single = app_.singleClick;
    for (ui::Control* c : std::initializer_list<ui::Control*>{
             &ListView1, &CheckBox1, &CheckBox2, &CheckBox3, &CheckBox4, &CheckBox5, &CheckBox6,
             &CheckBox7, &CheckBox8, &CheckBox9, &CheckBox10, &Label7, &Label8, &Label9, &Label10,
             &Label16, &Label18})
        c->setCursor(single ? ui::Cursor::HandPoint : ui::Cursor::Default);
    for (ui::Control* c : {&SpeedButton2, &SpeedButton3, &SpeedButton7})
        c->setCursor(single ? ui::Cursor::Help : ui::Cursor::Default);
    if (!single) SpeedButton11.setCursor(ui::Cursor::Default);
    for (ui::Button* b : {&SpeedButton1, &SpeedButton2, &SpeedButton3, &SpeedButton7, &SpeedButton9,
                          &SpeedButton10, &SpeedButton11})
        b->setFlat(single);
    (single ? SpeedButton9 : SpeedButton10).setPressed(true);
}

void TForm1::switchInterface(bool single) {
    app_.singleClick = single;
    ApplyInterfaceMode();
    // Hiding and showing again runs the whole show sequence for the new mode.
    hide();
    show();
}

void TForm1::SpeedButton9Click() {
    if (SpeedButton9.pressed()) switchInterface(true);
}

void TForm1::SpeedButton10Click() {
    if (SpeedButton10.pressed()) switchInterface(false);
}

}  // namespace qn
