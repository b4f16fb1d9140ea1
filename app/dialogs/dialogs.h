// The secondary windows: install-to dialog, path picker, About box,
// configuration dialog and new-directory dialog.
#pragma once

#include <string>
#include <vector>

#include "app/app.h"
#include "app/dialogs/directory_chooser.h"
#include "ui/widgets.h"

namespace qn {

// Install-to dialog, made only on a first run.
class TForm2 : public ui::Form {
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
    ui::ListBox DirectoryOutline1{this, "DirectoryOutline1", {8, 56, 313, 161}, {}, 16};
    ui::Label Label2{this, "Label2", {8, 228, 0, 0}, "Install to "};
    ui::Edit Edit1{this, "Edit1", {64, 224, 257, 21}};
    ui::Button SpeedButton3{this, "SpeedButton3", {8, 256, 97, 25}, "New Directory"};
    ui::Button SpeedButton1{this, "SpeedButton1", {116, 256, 97, 25}, "OK"};
    ui::Button SpeedButton2{this, "SpeedButton2", {224, 256, 97, 25}, "Exit"};

private:
    App& app_;
    DirectoryChooser tree_{app_.os, DriveComboBox1, DirectoryOutline1};
    std::string sourceDir_;
    std::string targetDir_;
};

// Path picker: a drive list and a directory list whose current directory is
// the choice.
class TForm3 : public ui::Form {
public:
    explicit TForm3(App& app);
    void FormShow();
    void FormClose();
    void SpeedButton1Click();  // OK
    void SpeedButton2Click();  // Cancel

    void setDirectory(const std::string& directory) { tree_.setDirectory(directory); }
    const std::string& directory() const { return tree_.directory(); }
    const std::string& selectedPath() const { return selectedPath_; }

    ui::Label Label1{this, "Label1", {8, 8, 0, 0}, "Select an existing directory:"};
    ui::ComboBox DriveComboBox1{this, "DriveComboBox1", {8, 28, 265, 21}, {}};
    ui::ListBox DirectoryOutline1{this, "DirectoryOutline1", {8, 56, 265, 177}, {}, 16};
    ui::Button SpeedButton1{this, "SpeedButton1", {40, 242, 97, 25}, "OK"};
    ui::Button SpeedButton2{this, "SpeedButton2", {144, 242, 97, 25}, "Cancel"};

private:
    void markButton(int button);

    App& app_;
    DirectoryChooser tree_{app_.os, DriveComboBox1, DirectoryOutline1};
    std::string selectedPath_;
    int hotButton_ = 0;
};

// About box.
class TForm4 : public ui::Form {
public:
    explicit TForm4(App& app);
    void FormCreate();
    void FormShow();
    void FormClose();
    void MoveAboutBars(int x);
    void ShowAboutSlice();
    void ResetAboutHover();

    const std::string& aboutText() const { return aboutText_; }

    ui::Image Image1{this, "Image1", {8, 8, 360, 160}};
    ui::ProgressBar ProgressBar1{this, "ProgressBar1", {8, 184, 361, 17}};
    ui::Edit Edit1{this, "Edit1", {8, 208, 361, 22}};
    ui::ProgressBar ProgressBar2{this, "ProgressBar2", {8, 236, 361, 17}};
    ui::Button SpeedButton1{this, "SpeedButton1", {8, 272, 361, 33}, "Return to main program"};

private:
    void barMouseMove(const ui::MouseEvent& e);
    void barMouseUp(const ui::MouseEvent& e);
    void drawLogo();

    App& app_;
    std::string aboutText_;
    bool aboutButtonHot_ = false;
};

// Configuration dialog of the first run.
class TForm5 : public ui::Form {
public:
    explicit TForm5(App& app);
    void FormCreate();
    void FormClose();
    void Edit1Change();
    void Edit2Change();
    void Edit3Change();
    void Edit4Change();
    void CheckBox7Click();
    void CheckBox8Click();
    void SpeedButton3Click();  // OK
    void SpeedButton4Click();
    void SpeedButton5Click();
    void SpeedButton6Click();
    void SpeedButton8Click();
    void SpeedButton1Click();  // shortcut on the desktop
    void SpeedButton2Click();  // shortcut in the start menu
    void Timer1Timer();

    const std::string& desktopDir() const { return desktopDir_; }

    ui::Label Label5{this, "Label5", {8, 12, 0, 0}, "Quon program path:"};
    ui::Edit Edit1{this, "Edit1", {120, 8, 200, 21}, true};
    ui::Button SpeedButton6{this, "SpeedButton6", {324, 8, 21, 21}, "..."};
    ui::CheckBox CheckBox8{this, "CheckBox8", {8, 40, 150, 17}, "Use drivers path"};
    ui::Label Label4{this, "Label4", {24, 64, 0, 0}, "Drivers path:"};
    ui::Edit Edit4{this, "Edit4", {120, 60, 200, 21}, true};
    ui::Button SpeedButton8{this, "SpeedButton8", {324, 60, 21, 21}, "..."};
    ui::CheckBox CheckBox7{this, "CheckBox7", {8, 92, 170, 17}, "Use compressed ROMs"};
    ui::Panel Panel1{this, "Panel1", {8, 112, 337, 64}};
    ui::Label Label2{&Panel1, "Label2", {8, 12, 0, 0}, "PkUnzip path: "};
    ui::Edit Edit2{&Panel1, "Edit2", {112, 8, 192, 21}, true};
    ui::Button SpeedButton4{&Panel1, "SpeedButton4", {308, 8, 21, 21}, "..."};
    ui::Label Label3{&Panel1, "Label3", {8, 40, 0, 0}, "ROMs Path:"};
    ui::Edit Edit3{&Panel1, "Edit3", {112, 36, 192, 21}, true};
    ui::Button SpeedButton5{&Panel1, "SpeedButton5", {308, 36, 21, 21}, "..."};
    ui::Label Label1{this, "Label1", {8, 190, 0, 0}, "Interface type:"};
    ui::ComboBox ComboBox1{this, "ComboBox1", {120, 186, 225, 21},
                           {"Single click interface", "Common interface"}};
    ui::Panel Panel2{this, "Panel2", {8, 220, 337, 66}};
    ui::Button SpeedButton1{&Panel2, "SpeedButton1", {8, 8, 321, 23}, "Place shortcut on the desktop"};
    ui::Button SpeedButton2{&Panel2, "SpeedButton2", {8, 36, 321, 23},
                            "Place shortcut on the start menu"};
    ui::Button SpeedButton3{this, "SpeedButton3", {128, 296, 97, 25}, "OK"};
    ui::Timer Timer1{this, "Timer1", 1000};

private:
    void openPathPicker(int target, const std::string& question);
    // Reads a shell folder into `folder` with a trailing backslash.
    void readShellFolder(RegistryKey& key, const char* name, std::string& folder);

    App& app_;
    std::string desktopDir_, programsDir_, recentDir_;
    int desktopTries_ = 0;
};

// New-directory dialog.
class TForm6 : public ui::Form {
public:
    explicit TForm6(App& app);
    void FormShow();
    void FormClose();
    void Edit1Change();
    void Edit1KeyPress(char key);
    void Button1Click();  // OK
    void Button2Click();  // Cancel

    ui::Label Label1{this, "Label1", {8, 8, 0, 0}, "Select the name for the new directory:"};
    ui::Edit Edit1{this, "Edit1", {8, 28, 289, 21}};
    ui::Button Button1{this, "Button1", {64, 60, 81, 25}, "OK"};
    ui::Button Button2{this, "Button2", {160, 60, 81, 25}, "Cancel"};

private:
    App& app_;
};

}  // namespace qn
