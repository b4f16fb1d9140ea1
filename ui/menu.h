// A command of a pop-up menu, as the widget model offers it.
#pragma once

#include <functional>
#include <string>

namespace qn::ui {

struct MenuItem {
    std::string caption;  // "&" marks the access key
    bool enabled = true;
    bool isDefault = false;  // drawn bold; what a double click on the row does
    std::function<void()> onChoose;
};

}  // namespace qn::ui
