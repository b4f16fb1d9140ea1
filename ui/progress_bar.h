// A progress bar.
#pragma once

#include <string>

#include "ui/control.h"

namespace qn::ui {

class ProgressBar : public Control {
public:
    ProgressBar(Control* parent, std::string name, Rect bounds)
        : Control(parent, std::move(name), Kind::ProgressBar, bounds) {}
    int maximum() const { return max_; }
    int position() const { return position_; }
    void setMaximum(int max);
    // Held within 0 to the maximum.
    void setPosition(int position);

private:
    int max_ = 100;
    int position_ = 0;
};

}  // namespace qn::ui
