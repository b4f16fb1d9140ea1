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

void TForm1::ResetHover() {
    if (!marked_) return;
    marked_->mark->setFontColor(marked_->link ? ui::kBlue : kWindowText);
    marked_ = nullptr;
}

void TForm1::HoverHint(const Hover& hover) {
    const std::optional<std::string> hint = hover.hint();
    if (app_.singleClick && hover.mark && marked_ != &hover) {
        ResetHover();
        hover.mark->setFontColor(hover.link ? ui::kRed : kHighlight);
        marked_ = &hover;
    }
    if (hint) StatusBar1.setPanelText(3, *hint);
}

void TForm1::ResetOnlyMouseMove() {
    if (app_.singleClick) ResetHover();
}

void TForm1::PageControl1Change() {
    ResetHover();
    const int row = ListView1.selectedRow();
    if (row >= 0) StatusBar1.setPanelText(3, RowHint(row));
    else ShowStatusCounters();
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

namespace {

using Hint = std::function<std::optional<std::string>()>;

Hint fixed(std::string text) {
    return [text] { return text; };
}

// A check box's hint says what the next click would do.
Hint byState(ui::CheckBox& box, std::string checked, std::string unchecked) {
    return [&box, checked, unchecked] { return box.checked() ? checked : unchecked; };
}

}  // namespace

std::vector<TForm1::Hover> TForm1::checkBoxHovers() {
    return {
        {&CheckBox1, byState(CheckBox1, "Click to use scanlines", "Click to disable scanlines"), &CheckBox1},
        {&CheckBox2, byState(CheckBox2, "Click to enable sound", "Click to disable sound"), &CheckBox2},
        {&CheckBox3,
         byState(CheckBox3, "Click to select 220h as FM address",
                 "Click to select the alternate FM address: 388h"),
         &CheckBox3},
        {&CheckBox4, byState(CheckBox4, "Click to disable joystick support", "Click to play with a joystick"),
         &CheckBox4},
        {&CheckBox5,
         byState(CheckBox5, "Click to disable vertical retrace synchronization",
                 "Click to enable vertical retrace synchronization"),
         &CheckBox5},
        {&CheckBox6,
         byState(CheckBox6, "Click to disable FrameSkip in R-Types",
                 "Click to draw only half the frames in R-Types"),
         &CheckBox6},
        {&CheckBox7, byState(CheckBox7, "Click to use uncompressed ROMs", "Click to use compressed ROMs"),
         &CheckBox7},
        {&CheckBox8,
         byState(CheckBox8, "Click to disable the use of a drivers directory",
                 "Click to use a game drivers path"),
         &CheckBox8},
        {&CheckBox9,
         byState(CheckBox9, "Click to disable screen rotation in Image Fight",
                 "Click to enable screen rotation in Image Fight"),
         &CheckBox9},
        {&CheckBox10,
         byState(CheckBox10, "Click to use the default screen resolution",
                 "Click to use the selected screen resolution"),
         &CheckBox10},
    };
}

void TForm1::bindHoverHandlers() {
    const Hint none = [] { return std::nullopt; };
    auto whileCompressed = [this](std::string text) -> Hint {
        return [this, text]() -> std::optional<std::string> {
            if (romMode().compressed) return text;
            return std::nullopt;
        };
    };
    auto link = [](ui::Label& label) -> Hint { return [&label] { return "Shortcut to " + label.caption(); }; };

    // Path boxes mark the label to their left.
    hovers_ = {
        {&SpeedButton1, none, &SpeedButton1},
        {&SpeedButton2, fixed("Click to open Tolvane's QUON FrontEnd ReadMe file"), &SpeedButton2},
        {&SpeedButton3, fixed("Click to open QUON ReadMe file"), &SpeedButton3},
        {&SpeedButton11, none, &SpeedButton11},
        {&Edit1, fixed("Press the '...' button to select QUON program path"), &Label6},
        {&Edit2, whileCompressed("Press the '...' button to select your PkUnzip path"), &Label2},
        {&Edit3, whileCompressed("Press the '...' button to select your zipped ROMs path"), &Label3},
        {&SpeedButton7, none, &SpeedButton7},
        {&Edit4, fixed("Press the '...' button to select the drivers path"), &Label4},
    };
    for (Hover& hover : checkBoxHovers()) hovers_.push_back(std::move(hover));
    const std::vector<Hover> rest = {
        {&Label7, link(Label7), &Label7, true},
        {&Label8, link(Label8), &Label8, true},
        {&Label9, link(Label9), &Label9, true},
        {&Label10, link(Label10), &Label10, true},
        {&Label16, fixed("Click here to send an E-mail to me"), &Label16, true},
        {&Label18,
         [this]() -> std::optional<std::string> {
             return "Click here to download PkZIP/PkUnZIP v2.04g from " + hostOf(Label18.caption());
         },
         &Label18, true},
        {&SpeedButton9, fixed("Press this button to change to the single click interface"), nullptr},
        {&SpeedButton10, fixed("Press this button to change to the common interface"), nullptr},
    };
    hovers_.insert(hovers_.end(), rest.begin(), rest.end());
    for (const Hover& hover : hovers_)
        hover.control->onMouseMove = [this, &hover](const ui::MouseEvent&) { HoverHint(hover); };

    for (ui::Control* c : std::initializer_list<ui::Control*>{
             this, &PageControl1, &TabSheet1, &TabSheet2, &TabSheet3, &TabSheet4, &GroupBox3,
             &GroupBox4, &ListView1, &StatusBar1})
        c->onMouseMove = [this](const ui::MouseEvent&) { ResetOnlyMouseMove(); };
    Image1.onMouseMove = [this](const ui::MouseEvent&) { Image1MouseMove(); };
    ComboBox1.onEnter = [this] { ComboBox1Enter(); };
    PageControl1.onChange = [this] { PageControl1Change(); };
}

}  // namespace qn
