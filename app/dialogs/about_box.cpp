// The About box: a logo and the one-line message of abouttxt.dat, scrolled
// by dragging along either bar.
#include <cmath>

#include "app/dialogs/about_box.h"
#include "catalogue/about_text.h"
#include "catalogue/catalogue_file.h"

namespace qn {
namespace {

const char* const kBarHint = "Click and drag to see the rest of the message";

}  // namespace

TForm4::TForm4(App& app) : ui::Form("Form4", {0, 0, 378, 313}, ""), app_(app) {
    Edit1.setEnabled(false);
    ui::Font arial;
    arial.face = "Arial";
    Edit1.setFont(arial);
    SpeedButton1.setFontColor(ui::kBlack);  // the box's own, given way under high contrast
    for (ui::Control* c : std::initializer_list<ui::Control*>{&ProgressBar1, &Edit1, &ProgressBar2})
        c->setHint(kBarHint);

    onShow = [this] { FormShow(); };
    onClose = [this] { FormClose(); };
    SpeedButton1.onClick = [this] { close(); };
    defaultButton = cancelButton = &SpeedButton1;
    SpeedButton1.setTabStop(true);  // the one control that takes the focus shows it
    onKey = [this](Key key) { return FormKey(key); };
    for (ui::ProgressBar* bar : {&ProgressBar1, &ProgressBar2}) {
        bar->onMouseMove = [this](const ui::MouseEvent& e) { barMouseMove(e); };
        bar->onMouseUp = [this](const ui::MouseEvent& e) { barMouseUp(e); };
    }
    SpeedButton1.onMouseMove = [this](const ui::MouseEvent&) {
        if (!app_.singleClick || aboutButtonHot_) return;
        ResetAboutHover();
        SpeedButton1.setFontColor(ui::Color::of(ui::SysColor::Highlight));
        aboutButtonHot_ = true;
    };
    for (ui::Control* c : std::initializer_list<ui::Control*>{&Image1, &Edit1, this})
        c->onMouseMove = [this](const ui::MouseEvent&) {
            if (app_.singleClick) ResetAboutHover();
        };
    // Drawn when the box is first painted, not at every start.
    Image1.setPicture([] { return logo(); });
}

void TForm4::FormCreate() { setCaption("About Tolvane's QUON FrontEnd v2.09"); }

void TForm4::FormShow() {
    if (app_.singleClick) SpeedButton1.setFlat(true);
    aboutText_.clear();
    if (auto content = app_.os.readFile(app_.tpaths.mainPath + "abouttxt.dat"))
        aboutText_ = aboutMessage(dataFileText(app_.os, std::move(*content)));
    else
        aboutText_ = aboutFallbackMessage();
    Edit1.setText(aboutText_);
    ProgressBar1.setPosition(0);
    ProgressBar2.setPosition(0);
    ProgressBar1.setMaximum(aboutLength(aboutText_));
    ProgressBar2.setMaximum(aboutLength(aboutText_));
}

void TForm4::MoveAboutBars(int x) {
    for (ui::ProgressBar* bar : {&ProgressBar1, &ProgressBar2})
        bar->setPosition(aboutBarPosition(bar->maximum(), x));
    ShowAboutSlice();
}

void TForm4::ShowAboutSlice() { Edit1.setText(aboutSlice(aboutText_, ProgressBar1.position())); }

// The positions a drag reaches, in order: 0 left of the bar, then one per
// pixel across it.
static int aboutStep(int position, int maximum, int steps) {
    if (steps > 0) {
        for (int x = 1; x <= kAboutBarWidth; ++x)
            if (aboutBarPosition(maximum, x) > position) return aboutBarPosition(maximum, x);
        return position;
    }
    for (int x = kAboutBarWidth; x >= 1; --x)
        if (aboutBarPosition(maximum, x) < position) return aboutBarPosition(maximum, x);
    return 0;
}

bool TForm4::FormKey(Key key) {
    const int max = ProgressBar1.maximum(), now = ProgressBar1.position();
    int next = now;
    switch (key) {
    case Key::Left: next = aboutStep(now, max, -1); break;
    case Key::Right: next = aboutStep(now, max, +1); break;
    case Key::Home: next = 0; break;
    case Key::End: next = max; break;
    }
    ProgressBar1.setPosition(next);
    ProgressBar2.setPosition(next);
    ShowAboutSlice();
    return true;
}

void TForm4::ResetAboutHover() {
    if (!aboutButtonHot_) return;
    SpeedButton1.setFontColor(ui::Color::of(ui::SysColor::WindowText));
    aboutButtonHot_ = false;
}

void TForm4::barMouseMove(const ui::MouseEvent& e) {
    if (app_.singleClick) ResetAboutHover();
    if (e.leftHeld) MoveAboutBars(e.x);
}

// Releasing another button during a drag keeps dragging; releasing the
// left button ends it.
void TForm4::barMouseUp(const ui::MouseEvent& e) {
    if (e.button != ui::MouseEvent::Left && e.leftHeld) MoveAboutBars(e.x);
}

// Every way of closing the box gives the main window its input back.
void TForm4::FormClose() { app_.mainWindow().giveInputBack(); }

// The logo: a dark blue band with a lighter sweep and a few "stars".
ui::Bitmap TForm4::logo() {
    ui::Bitmap logo;
    logo.width = 360;
    logo.height = 158;
    logo.pixels.resize(static_cast<size_t>(logo.width) * logo.height * 3);
    for (int y = 0; y < logo.height; ++y)
        for (int x = 0; x < logo.width; ++x) {
            std::uint8_t* p = &logo.pixels[(static_cast<size_t>(y) * logo.width + x) * 3];
            const double wave = 79 + 40 * std::sin(x / 57.0);
            const bool sweep = std::abs(y - wave) < 10;
            const bool star = (x * 7 + y * 13) % 211 == 0;
            p[0] = static_cast<std::uint8_t>(star ? 255 : sweep ? 230 : 90 + y / 2);  // blue
            p[1] = static_cast<std::uint8_t>(star ? 255 : sweep ? 180 : 20 + y / 4);  // green
            p[2] = static_cast<std::uint8_t>(star ? 255 : sweep ? 60 : 10);           // red
        }
    return logo;
}

}  // namespace qn
