// Controls the user clicks: labels, push buttons and check boxes.
#pragma once

#include <functional>
#include <string>

#include "ui/control.h"

namespace qn::ui {

class Label : public Control {
public:
    Label(Control* parent, std::string name, Rect bounds, std::string caption)
        : Control(parent, std::move(name), Kind::Label, bounds, std::move(caption)) {}
    std::function<void()> onClick;
    void click() { if (enabled() && onClick) onClick(); }
};

// A push button. Buttons of one group index (above 0) under one parent
// behave as radio buttons: exactly one stays pressed.
class Button : public Control {
public:
    Button(Control* parent, std::string name, Rect bounds, std::string caption, int groupIndex = 0)
        : Control(parent, std::move(name), Kind::Button, bounds, std::move(caption)),
          groupIndex_(groupIndex) {}
    std::function<void()> onClick;
    void click();
    bool flat() const { return flat_; }
    void setFlat(bool on);
    bool pressed() const { return pressed_; }
    void setPressed(bool on);
    int groupIndex() const { return groupIndex_; }

private:
    int groupIndex_;
    bool flat_ = false;
    bool pressed_ = false;
};

// Setting the state from code runs onClick when the state changes, exactly
// as a user's click does.
class CheckBox : public Control {
public:
    CheckBox(Control* parent, std::string name, Rect bounds, std::string caption)
        : Control(parent, std::move(name), Kind::CheckBox, bounds, std::move(caption)) {
        tabStop_ = true;
    }
    std::function<void()> onClick;
    bool checked() const { return checked_; }
    void setChecked(bool on);
    void click() { if (enabled()) setChecked(!checked_); }

private:
    bool checked_ = false;
};

}  // namespace qn::ui
