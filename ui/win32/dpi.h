// What the system says of display resolutions. The per-window calls came
// with Windows 10 (Wine has them too); on an older system they are missing,
// and the screen's one resolution stands for every window.
#pragma once

#include "platform/win32/win32.h"

namespace qn::ui::dpi {

// Messages of the newer systems, which the headers for older ones lack.
constexpr UINT kDpiChanged = 0x02E0;        // WM_DPICHANGED
constexpr UINT kGetDpiScaledSize = 0x02E4;  // WM_GETDPISCALEDSIZE

// The resolution new windows start at.
int ofSystem();
// The resolution a window is shown at.
int ofWindow(HWND hwnd);
// The outer rectangle, at the origin, of a window with this client size at `dpi`.
RECT outerRect(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, int dpi);

}  // namespace qn::ui::dpi
