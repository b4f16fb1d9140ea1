// The path picker: a drive list and a directory tree whose current
// directory is the choice.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/app.h"
#include "app/dialogs/directory_chooser.h"
#include "ui/widgets.h"

namespace qn {

class TForm3 : public ui::Form, public DirectoryQuestion {
public:
    explicit TForm3(App& app);
    void FormShow();
    void FormClose();
    void SpeedButton1Click();  // OK
    void SpeedButton2Click();  // Cancel

    void ask(ui::Form& opener, const std::string& question, Delivery deliver) override;

    void setDirectory(const std::string& directory) { chooser().setDirectory(directory); }
    const std::string& directory() { return chooser().directory(); }
    const std::string& selectedPath() const { return selectedPath_; }
    // The window the picker was last shown for.
    ui::Form* opener() const { return opener_; }

    ui::Label Label1{this, "Label1", {8, 8, 0, 0}, "Select an existing directory:"};
    ui::ComboBox DriveComboBox1{this, "DriveComboBox1", {8, 28, 265, 21}, {}};
    ui::TreeView DirectoryOutline1{this, "DirectoryOutline1", {8, 56, 265, 177}};
    ui::Button SpeedButton1{this, "SpeedButton1", {40, 242, 97, 25}, "OK"};
    ui::Button SpeedButton2{this, "SpeedButton2", {144, 242, 97, 25}, "Cancel"};

private:
    void markButton(int button);
    // The drives and directories are looked at when first needed, not at
    // the program's start: from the directory the program started in.
    DirectoryChooser& chooser();

    App& app_;
    const std::string startDirectory_;
    std::optional<DirectoryChooser> tree_;
    ui::Form* opener_ = nullptr;
    Delivery deliver_;
    std::string selectedPath_;
    int hotButton_ = 0;
};

}  // namespace qn
