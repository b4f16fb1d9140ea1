#pragma once

#include <functional>
#include <string>

#include "ui/control.h"

namespace qn::ui {

// A one-line text box. Setting the text from code runs onChange when the
// text changes; a lower-case box lower-cases what it is given first.
class Edit : public Control {
public:
    Edit(Control* parent, std::string name, Rect bounds, bool lowerCase = false)
        : Control(parent, std::move(name), Kind::Edit, bounds), lowerCase_(lowerCase) {
        tabStop_ = true;
    }
    std::function<void()> onChange;
    // A key the user typed that is not text: Enter ('\r') or Escape ('\x1b').
    std::function<void(char)> onKeyPress;
    void keyPress(char key) {
        if (onKeyPress) onKeyPress(key);
    }
    // The user asks for what the box chooses from (F4 or Alt+Down), as a
    // combo box opens its list.
    std::function<void()> onDropDown;
    void dropDown() { if (onDropDown) onDropDown(); }
    const std::string& text() const { return caption(); }
    void setText(const std::string& text);
    bool lowerCase() const { return lowerCase_; }
    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool on) { readOnly_ = on; }
    // A text given from code is one the user types after: the caret goes to
    // its end, with nothing selected. Otherwise the box shows its beginning.
    bool typedAfter() const { return typedAfter_; }
    void setTypedAfter(bool on) { typedAfter_ = on; }

private:
    bool lowerCase_;
    bool readOnly_ = false;
    bool typedAfter_ = false;
};

}  // namespace qn::ui
