// The new-directory dialog of the installer.
#pragma once

#include <string>

#include "app/app.h"
#include "ui/widgets.h"

namespace qn {

// What the dialog needs of the window that opens it.
class NewDirectoryOpener {
public:
    // The directory the new one goes in.
    virtual std::string directoryShown() = 0;
    // The dialog has closed, a directory made or not.
    virtual void newDirectoryClosed() = 0;

protected:
    ~NewDirectoryOpener() = default;
};

class TForm6 : public ui::Form {
public:
    explicit TForm6(App& app);
    // Shows the dialog for that window, which waits disabled until it closes.
    void showFor(NewDirectoryOpener& opener);
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
    NewDirectoryOpener* opener_ = nullptr;
};

}  // namespace qn
