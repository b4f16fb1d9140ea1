// Tabbed pages.
#pragma once

#include <functional>
#include <string>

#include "ui/control.h"

namespace qn::ui {

class TabSheet : public Control {
public:
    TabSheet(Control* parent, std::string name, std::string caption);
};

// The pages are its TabSheet children; a page chosen from code runs no
// handler, one the user chooses runs onChange.
class PageControl : public Control {
public:
    PageControl(Control* parent, std::string name, Rect bounds)
        : Control(parent, std::move(name), Kind::PageControl, bounds) {
        tabStop_ = true;
    }
    int activePage() const { return activePage_; }
    void setActivePage(int index);
    void userSelectPage(int index);
    std::function<void()> onChange;
    bool hotTrack() const { return hotTrack_; }
    void setHotTrack(bool on);

private:
    int activePage_ = 0;
    bool hotTrack_ = false;
};

}  // namespace qn::ui
