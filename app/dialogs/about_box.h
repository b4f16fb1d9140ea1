// The About box.
#pragma once

#include <string>

#include "app/app.h"
#include "ui/widgets.h"

namespace qn {

class TForm4 : public ui::Form {
public:
    explicit TForm4(App& app);
    void FormCreate();
    void FormShow();
    void FormClose();
    void MoveAboutBars(int x);
    void ShowAboutSlice();
    void ResetAboutHover();
    // Left and Right move the message by one of the slices a drag along the
    // bars shows, Home and End to its ends.
    bool FormKey(Key key);

    const std::string& aboutText() const { return aboutText_; }

    ui::Image Image1{this, "Image1", {8, 8, 360, 160}};
    ui::ProgressBar ProgressBar1{this, "ProgressBar1", {8, 184, 361, 17}};
    ui::Edit Edit1{this, "Edit1", {8, 208, 361, 22}};
    ui::ProgressBar ProgressBar2{this, "ProgressBar2", {8, 236, 361, 17}};
    ui::Button SpeedButton1{this, "SpeedButton1", {8, 272, 361, 33}, "Return to main program"};

private:
    void barMouseMove(const ui::MouseEvent& e);
    void barMouseUp(const ui::MouseEvent& e);
    static ui::Bitmap logo();

    App& app_;
    std::string aboutText_;
    bool aboutButtonHot_ = false;
};

}  // namespace qn
