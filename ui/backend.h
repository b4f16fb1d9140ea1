// What the application needs of a window system beyond the controls' own
// state: creating the native windows and running the message loop.
#pragma once

#include <string>

#include "ui/widgets.h"

namespace qn::ui {

class Backend {
public:
    virtual ~Backend() = default;
    virtual void setApplicationTitle(const std::string& title) = 0;
    // Creates the native window of a form and of all its controls, hidden.
    virtual void realize(Form& form) = 0;
    // Shows `mainForm` unless it is showing already and runs the message loop;
    // closing or destroying the main window ends it.
    virtual void run(Form& mainForm) = 0;
};

}  // namespace qn::ui
