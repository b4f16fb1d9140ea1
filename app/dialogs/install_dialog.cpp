// First run: the install-to dialog copies the program's files into a chosen
// directory.
#include "app/dialogs/install_dialog.h"

#include "app/dialogs/config_dialog.h"
#include "app/dialogs/new_directory_dialog.h"
#include "app/stored_data.h"
#include "install/program_files.h"

namespace qn {

TForm2::TForm2(App& app) : ui::Form("Form2", {0, 0, 329, 289}, "Configuration"), app_(app) {
    setCloseBox(false);  // closed only by its own buttons
    // The files are copied from where the program was started.
    sourceDir_ = app_.os.currentDirectory();
    Edit1.setReadOnly(true);
    for (ui::Button* b : {&SpeedButton3, &SpeedButton1, &SpeedButton2}) b->setTabStop(true);
    defaultButton = &SpeedButton1;
    tree_.onChange = [this] { Edit1.setText(tree_.directory()); };
    Edit1.setText(tree_.directory());
    onShow = [this] { FormShow(); };
    SpeedButton1.onClick = [this] { SpeedButton1Click(); };
    SpeedButton2.onClick = [this] { SpeedButton2Click(); };
    SpeedButton3.onClick = [this] { SpeedButton3Click(); };
}

void TForm2::FormShow() {
    // An installation chooses the program directory again; what else the
    // settings key held (a start that lost its data files) stays.
    app_.tpaths.mainPath.clear();
    Label1.setCaption("Where do you want to install this program? ");
    Edit1.setText(tree_.directory());
}

void TForm2::SpeedButton2Click() { app_.os.exitProcess(0); }

void TForm2::SpeedButton3Click() {
    setEnabled(false);
    app_.Form6->showFor(*this);
}

void TForm2::SpeedButton1Click() {
    Platform& os = app_.os;
    targetDir_ = tree_.directory();
    if (os.messageBox(MessageKind::Confirm, "OK to install to " + targetDir_ + "?",
                      MessageButtons::YesNo) != MessageAnswer::Yes)
        return;
    if (targetDir_.back() != '\\') targetDir_ += '\\';
    app_.tpaths.mainPath = targetDir_;
    hide();
    CopyProgramFiles();
    if (os.messageBox(MessageKind::Confirm,
                      "Program files copied. Do you want to configure some QnLaunch options now?",
                      MessageButtons::YesNo) == MessageAnswer::Yes) {
        app_.Form5->show();
    } else {
        // Saving takes the interface the configuration dialog offers, which
        // the user never saw: make it the one the main window opens in, so
        // what is stored is what runs.
        app_.state.configuredSingleClick = app_.singleClick;
        SaveSettings(app_);
        app_.mainWindow().showMainWindow();
    }
    app_.installerDone();
}

void TForm2::CopyProgramFiles() {
    if (auto failure = installProgramFiles(app_.os, sourceDir_, targetDir_)) {
        app_.os.messageBox(MessageKind::Error, *failure);
        SaveSettings(app_);
        app_.os.exitProcess(4);
    }
}

}  // namespace qn
