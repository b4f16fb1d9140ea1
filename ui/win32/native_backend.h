// The Win32 backend as the program's entry point sees it: made here, used
// through the portable interface, with no <windows.h> in sight.
#pragma once

#include <memory>

#include "ui/backend.h"

namespace qn::ui {

// Registers the window classes and sets up the common controls.
std::unique_ptr<Backend> makeWin32Backend();

}  // namespace qn::ui
