// The configuration dialog of the first run.
#pragma once

#include <string>

#include "app/app.h"
#include "app/path_boxes.h"
#include "ui/widgets.h"

namespace qn {

class TForm5 : public ui::Form {
    App& app_;

public:
    explicit TForm5(App& app);
    void FormCreate();
    void FormClose();
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

    PathBoxes paths{app_, this, kLayout};
    ui::Label& Label5 = paths.emulatorLabel;
    ui::Edit& Edit1 = paths.Edit1;
    ui::Button& SpeedButton6 = paths.SpeedButton6;
    ui::CheckBox& CheckBox8 = paths.CheckBox8;
    ui::Label& Label4 = paths.Label4;
    ui::Edit& Edit4 = paths.Edit4;
    ui::Button& SpeedButton8 = paths.SpeedButton8;
    ui::CheckBox& CheckBox7 = paths.CheckBox7;
    ui::Panel& Panel1 = *paths.compressedPanel;
    ui::Label& Label2 = paths.Label2;
    ui::Edit& Edit2 = paths.Edit2;
    ui::Button& SpeedButton4 = paths.SpeedButton4;
    ui::Label& Label3 = paths.Label3;
    ui::Edit& Edit3 = paths.Edit3;
    ui::Button& SpeedButton5 = paths.SpeedButton5;
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
    static inline const PathBoxLayout kLayout{
        "Label5", "Quon program path:",
        {8, 12, 0, 0}, {120, 8, 200, 21}, {324, 8, 21, 21},
        {8, 40, 150, 17}, {24, 64, 0, 0}, {120, 60, 200, 21}, {324, 60, 21, 21},
        {8, 92, 170, 17},
        ui::Rect{8, 112, 337, 64},
        {8, 12, 0, 0}, {112, 8, 192, 21}, {308, 8, 21, 21},
        {8, 40, 0, 0}, {112, 36, 192, 21}, {308, 36, 21, 21}};

    // Reads the named shell folder into `folder` and the recent-documents
    // folder, with trailing backslashes, and has the shell make a shortcut to
    // the program among the recent documents. False without the shell's
    // folders key.
    bool prepareShortcut(const char* folderName, std::string& folder);

    std::string desktopDir_, programsDir_, recentDir_;
    int desktopTries_ = 0;
};

}  // namespace qn
