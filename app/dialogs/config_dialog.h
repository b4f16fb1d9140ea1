// The configuration dialog of the first run.
#pragma once

#include <string>

#include "app/app.h"
#include "ui/widgets.h"

namespace qn {

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

}  // namespace qn
