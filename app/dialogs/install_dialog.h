// The install-to dialog, made only on a first run.
#pragma once

#include <string>

#include "app/app.h"
#include "app/dialogs/directory_chooser.h"
#include "app/dialogs/new_directory_dialog.h"
#include "ui/widgets.h"

namespace qn {

class TForm2 : public ui::Form, private NewDirectoryOpener {
public:
    explicit TForm2(App& app);
    void FormShow();
    void SpeedButton1Click();  // "OK"
    void SpeedButton2Click();  // "Exit"
    void SpeedButton3Click();  // "New Directory"
    // Copies the program files and pictures; ends the process on a failure.
    void CopyProgramFiles();

    const std::string& sourceDir() const { return sourceDir_; }
    DirectoryChooser& tree() { return tree_; }

    ui::Label Label1{this, "Label1", {8, 8, 0, 0}, "Where do you want to install this program? "};
    ui::ComboBox DriveComboBox1{this, "DriveComboBox1", {8, 28, 313, 21}, {}};
    ui::TreeView DirectoryOutline1{this, "DirectoryOutline1", {8, 56, 313, 161}};
    ui::Label Label2{this, "Label2", {8, 228, 0, 0}, "Install to "};
    ui::Edit Edit1{this, "Edit1", {64, 224, 257, 21}};
    ui::Button SpeedButton3{this, "SpeedButton3", {8, 256, 97, 25}, "New Directory"};
    ui::Button SpeedButton1{this, "SpeedButton1", {116, 256, 97, 25}, "OK"};
    ui::Button SpeedButton2{this, "SpeedButton2", {224, 256, 97, 25}, "Exit"};

private:
    std::string directoryShown() override { return tree_.directory(); }
    void newDirectoryClosed() override {
        setEnabled(true);
        tree_.refresh();
    }

    App& app_;
    DirectoryChooser tree_{app_.os, DriveComboBox1, DirectoryOutline1, app_.os.currentDirectory()};
    std::string sourceDir_;
    std::string targetDir_;
};

}  // namespace qn
