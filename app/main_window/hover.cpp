// The main window explains itself: the status bar's last panel says what a
// click on the control under the pointer would do, and in the single-click
// interface that control is marked by the colour of its text.
#include "app/main_window/main_window.h"

namespace qn {
namespace {

const ui::Color kHighlight = ui::Color::of(ui::SysColor::Highlight);
const ui::Color kWindowText = ui::Color::of(ui::SysColor::WindowText);

// "ftp://host/path" → "host".
std::string hostOf(const std::string& address) {
    size_t start = address.find("://");
    start = start == std::string::npos ? 0 : start + 3;
    size_t end = address.find('/', start);
    return address.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

}  // namespace

TForm1::Marked TForm1::markedControl(int target) {
    // Path boxes mark the label to their left; links go back to blue.
    switch (target) {
    case 1: return {&SpeedButton1, kWindowText};
    case 2: return {&SpeedButton2, kWindowText};
    case 3: return {&SpeedButton3, kWindowText};
    case 4: return {&SpeedButton11, kWindowText};
    case 5: return {&Label6, kWindowText};
    case 6: return {&Label2, kWindowText};
    case 7: return {&Label3, kWindowText};
    case 8: return {&SpeedButton7, kWindowText};
    case 9: return {&Label4, kWindowText};
    case 10: return {&CheckBox1, kWindowText};
    case 11: return {&CheckBox2, kWindowText};
    case 12: return {&CheckBox3, kWindowText};
    case 13: return {&CheckBox4, kWindowText};
    case 14: return {&CheckBox5, kWindowText};
    case 15: return {&CheckBox6, kWindowText};
    case 16: return {&CheckBox7, kWindowText};
    case 17: return {&CheckBox8, kWindowText};
    case 18: return {&CheckBox9, kWindowText};
    case 19: return {&CheckBox10, kWindowText};
    case 20: return {&Label7, ui::kBlue};
    case 21: return {&Label8, ui::kBlue};
    case 22: return {&Label9, ui::kBlue};
    case 23: return {&Label10, ui::kBlue};
    case 24: return {&Label16, ui::kBlue};
    case 25: return {&Label18, ui::kBlue};
    default: return {nullptr, kWindowText};
    }
}

void TForm1::ResetHover() {
    int& target = app_.state.hoverTarget;
    if (target == 0) return;
    Marked m = markedControl(target);
    if (m.control) m.control->setFontColor(m.normal);
    target = 0;
}

void TForm1::HoverHint(int target, const std::optional<std::string>& hint) {
    if (app_.singleClick && target != 0 && app_.state.hoverTarget != target) {
        ResetHover();
        Marked m = markedControl(target);
        m.control->setFontColor(m.normal == ui::kBlue ? ui::kRed : kHighlight);
        app_.state.hoverTarget = target;
    }
    if (hint) StatusBar1.setPanelText(3, *hint);
}

void TForm1::ResetOnlyMouseMove() {
    if (app_.singleClick) ResetHover();
}

void TForm1::ComboBox1Enter() {
    if (app_.singleClick) ResetHover();
    StatusBar1.setPanelText(3, "Click here to select what ROMs are listed below");
}

void TForm1::Image1MouseMove() {
    if (app_.singleClick) ResetHover();
    const std::string& current = app_.state.CurrentPicture;
    StatusBar1.setPanelText(3, current == kLogoPicture1 || current == kLogoPicture2
                                   ? "Left-Click to see another image"
                                   : "Right-Click to see Tolvane's QUON FrontEnd logo");
}

void TForm1::bindHoverHandlers() {
    auto bind = [this](ui::Control& c, int target, std::function<std::optional<std::string>()> hint) {
        c.onMouseMove = [this, target, hint](const ui::MouseEvent&) { HoverHint(target, hint()); };
    };
    auto fixed = [](std::string text) {
        return [text]() -> std::optional<std::string> { return text; };
    };
    auto none = []() -> std::optional<std::string> { return std::nullopt; };
    // The check boxes' hints say what the next click would do.
    auto byState = [](ui::CheckBox& box, std::string checked, std::string unchecked) {
        return [&box, checked, unchecked]() -> std::optional<std::string> {
            return box.checked() ? checked : unchecked;
        };
    };
    auto whileCompressed = [this](std::string text) {
        return [this, text]() -> std::optional<std::string> {
            if (CheckBox7.checked()) return text;
            return std::nullopt;
        };
    };
    auto link = [](ui::Label& label) {
        return [&label]() -> std::optional<std::string> { return "Shortcut to " + label.caption(); };
    };

    bind(SpeedButton1, 1, none);
    bind(SpeedButton2, 2, fixed("Click to open Tolvane's QUON FrontEnd ReadMe file"));
    bind(SpeedButton3, 3, fixed("Click to open QUON ReadMe file"));
    bind(SpeedButton11, 4, none);
    bind(Edit1, 5, fixed("Press the '...' button to select QUON program path"));
    bind(Edit2, 6, whileCompressed("Press the '...' button to select your PkUnzip path"));
    bind(Edit3, 7, whileCompressed("Press the '...' button to select your zipped ROMs path"));
    bind(SpeedButton7, 8, none);
    bind(Edit4, 9, fixed("Press the '...' button to select the drivers path"));
    bind(CheckBox1, 10, byState(CheckBox1, "Click to use scanlines", "Click to disable scanlines"));
    bind(CheckBox2, 11, byState(CheckBox2, "Click to enable sound", "Click to disable sound"));
    bind(CheckBox3, 12, byState(CheckBox3, "Click to select 220h as FM address",
                                "Click to select the alternate FM address: 388h"));
    bind(CheckBox4, 13, byState(CheckBox4, "Click to disable joystick support", "Click to play with a joystick"));
    bind(CheckBox5, 14, byState(CheckBox5, "Click to disable vertical retrace synchronization",
                                "Click to enable vertical retrace synchronization"));
    bind(CheckBox6, 15, byState(CheckBox6, "Click to disable FrameSkip in R-Types",
                                "Click to draw only half the frames in R-Types"));
    bind(CheckBox7, 16, byState(CheckBox7, "Click to use uncompressed ROMs", "Click to use compressed ROMs"));
    bind(CheckBox8, 17, byState(CheckBox8, "Click to disable the use of a drivers directory",
                                "Click to use a game drivers path"));
    bind(CheckBox9, 18, byState(CheckBox9, "Click to disable screen rotation in Image Fight",
                                "Click to enable screen rotation in Image Fight"));
    bind(CheckBox10, 19, byState(CheckBox10, "Click to use the default screen resolution",
                                 "Click to use the selected screen resolution"));
    bind(Label7, 20, link(Label7));
    bind(Label8, 21, link(Label8));
    bind(Label9, 22, link(Label9));
    bind(Label10, 23, link(Label10));
    bind(Label16, 24, fixed("Click here to send an E-mail to me"));
    bind(Label18, 25, [this]() -> std::optional<std::string> {
        return "Click here to download PkZIP/PkUnZIP v2.04g from " + hostOf(Label18.caption());
    });
    bind(SpeedButton9, 0, fixed("Press this button to change to the single click interface"));
    bind(SpeedButton10, 0, fixed("Press this button to change to the common interface"));

    for (ui::Control* c : std::initializer_list<ui::Control*>{
             this, &PageControl1, &TabSheet1, &TabSheet2, &TabSheet3, &TabSheet4, &GroupBox3,
             &GroupBox4, &ListView1, &StatusBar1})
        c->onMouseMove = [this](const ui::MouseEvent&) { ResetOnlyMouseMove(); };
    Image1.onMouseMove = [this](const ui::MouseEvent&) { Image1MouseMove(); };
    ComboBox1.onEnter = [this] { ComboBox1Enter(); };
}

}  // namespace qn
