// What a screen reader is told of a control beyond its window's own text.
#pragma once

#include <string>

#include "platform/win32/win32.h"

namespace qn::ui {

// Answers WM_GETOBJECT for the window's client area with the standard
// accessible object under `name` (a graphic's role for a picture). False
// when there is nothing to add or no object could be made: the window's
// own answer stands.
bool answerAccessibleObject(HWND hwnd, WPARAM wp, LPARAM lp, const std::string& name, bool picture,
                            LRESULT& result);

}  // namespace qn::ui
