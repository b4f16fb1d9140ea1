// The secondary windows: install-to dialog, path picker, About box,
// configuration dialog and new-directory dialog.
#pragma once

#include "app/app.h"
#include "ui/widgets.h"

namespace qn {

// Install-to dialog, made only on a first run.
class TForm2 : public ui::Form {
public:
    explicit TForm2(App& app);
    void SpeedButton2Click();  // "Exit"

    ui::Label Label1{this, "Label1", {8, 8, 0, 0}, "Where do you want to install this program? "};
    ui::Button SpeedButton2{this, "SpeedButton2", {216, 232, 97, 25}, "Exit"};

private:
    App& app_;
};

// Path picker.
class TForm3 : public ui::Form {
public:
    explicit TForm3(App& app);
    ui::Label Label1{this, "Label1", {8, 8, 0, 0}, "Select an existing directory:"};

private:
    App& app_;
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
    ui::Label Label1{this, "Label1", {16, 208, 0, 0}, "Interface type:"};
    ui::ComboBox ComboBox1{this, "ComboBox1", {104, 204, 185, 21},
                           {"Single click interface", "Common interface"}};

private:
    App& app_;
};

// New-directory dialog.
class TForm6 : public ui::Form {
public:
    explicit TForm6(App& app);
    ui::Label Label1{this, "Label1", {8, 8, 0, 0}, "Select the name for the new directory:"};

private:
    App& app_;
};

}  // namespace qn
