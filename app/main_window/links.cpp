// Links that leave the launcher: web and mail links go to the program
// registered for HTML files, readme files to the shell.
#include "app/main_window/main_window.h"

namespace qn {

void TForm1::OpenLink(const ui::Label& label, const std::string& addition) {
    ProcessRequest browser;
    browser.commandLine = app_.state.BrowserCommand + addition + label.caption();
    browser.inheritHandles = true;
    browser.workingDirectory = app_.os.currentDirectory();
    app_.os.runProcess(browser);  // nothing is said when it cannot start
}

void TForm1::SpeedButton2Click() {
    app_.os.shellOpen(app_.tpaths.mainPath + "readme.txt", app_.os.currentDirectory());
}

void TForm1::SpeedButton3Click() {
    if (app_.tpaths.emulatorPath.empty()) return;
    app_.os.shellOpen(app_.tpaths.emulatorPath + "readme.txt", app_.os.currentDirectory());
}

void TForm1::bindLinks() {
    for (ui::Label* link : {&Label8, &Label9, &Label7, &Label10, &Label18})
        link->onClick = [this, link] { OpenLink(*link, " "); };
    Label16.onClick = [this] { OpenLink(Label16, " mailto:"); };
    SpeedButton2.onClick = [this] { SpeedButton2Click(); };
    SpeedButton3.onClick = [this] { SpeedButton3Click(); };
}

}  // namespace qn
