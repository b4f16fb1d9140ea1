// The links of the main window: web and mail addresses, readme files.
#include "app/main_window/main_window.h"
#include "launch/links.h"

namespace qn {

void TForm1::OpenLink(const ui::Label& label, const std::string& addition) {
    openLink(app_.os, app_.state.BrowserCommand, addition, label.caption());
}

void TForm1::SpeedButton2Click() { openReadme(app_.os, app_.tpaths.mainPath); }

void TForm1::SpeedButton3Click() {
    if (app_.tpaths.emulatorPath.empty()) return;
    openReadme(app_.os, app_.tpaths.emulatorPath);
}

void TForm1::bindLinks() {
    for (ui::Label* link : {&Label8, &Label9, &Label7, &Label10, &Label18})
        link->onClick = [this, link] { OpenLink(*link, " "); };
    Label16.onClick = [this] { OpenLink(Label16, " mailto:"); };
    SpeedButton2.onClick = [this] { SpeedButton2Click(); };
    SpeedButton3.onClick = [this] { SpeedButton3Click(); };
}

}  // namespace qn
