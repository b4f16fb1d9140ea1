#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/control.h"

namespace qn::ui {

// Items with one selected index (-1: none). Setting the index from code runs
// no handler; a user's selection runs onChange.
class ListControl : public Control {
public:
    using Control::Control;
    const std::vector<std::string>& items() const { return items_; }
    void setItems(std::vector<std::string> items);
    int itemIndex() const { return itemIndex_; }
    void setItemIndex(int index);
    std::function<void()> onChange;
    void userSelect(int index) {
        setItemIndex(index);
        if (onChange) onChange();
    }

private:
    std::vector<std::string> items_;
    int itemIndex_ = -1;
};

class ComboBox : public ListControl {
public:
    ComboBox(Control* parent, std::string name, Rect bounds, std::vector<std::string> items)
        : ListControl(parent, std::move(name), Kind::ComboBox, bounds) {
        tabStop_ = true;
        setItems(std::move(items));
    }
};

class ListBox : public ListControl {
public:
    ListBox(Control* parent, std::string name, Rect bounds, std::vector<std::string> items,
            int itemHeight)
        : ListControl(parent, std::move(name), Kind::ListBox, bounds), itemHeight_(itemHeight) {
        tabStop_ = true;
        setItems(std::move(items));
    }
    int itemHeight() const { return itemHeight_; }

private:
    int itemHeight_;
};

}  // namespace qn::ui
