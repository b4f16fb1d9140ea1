// The status bar with its panels.
#pragma once

#include <string>
#include <vector>

#include "ui/control.h"

namespace qn::ui {

class StatusBar : public Control {
public:
    StatusBar(Control* parent, std::string name, Rect bounds, std::vector<int> widths);
    int panelCount() const { return static_cast<int>(panels_.size()); }
    const std::string& panelText(int index) const { return panels_.at(index).text; }
    int panelWidth(int index) const { return panels_.at(index).width; }
    void setPanelText(int index, const std::string& text);

private:
    struct Panel {
        std::string text;
        int width;
    };
    std::vector<Panel> panels_;
};

}  // namespace qn::ui
