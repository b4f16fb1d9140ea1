#include "ui/win32/dpi.h"

#include "platform/win32/scoped_gdi.h"

namespace qn::ui::dpi {
namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForSystemFn = UINT(WINAPI*)();
using AdjustForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);

// user32's newer entry points, looked up once.
struct Api {
    GetDpiForWindowFn forWindow = nullptr;
    GetDpiForSystemFn forSystem = nullptr;
    AdjustForDpiFn adjust = nullptr;

    Api() {
        HMODULE user32 = GetModuleHandleW(L"user32.dll");
        if (!user32) return;
        forWindow = reinterpret_cast<GetDpiForWindowFn>(
            reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")));
        forSystem = reinterpret_cast<GetDpiForSystemFn>(
            reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForSystem")));
        adjust = reinterpret_cast<AdjustForDpiFn>(
            reinterpret_cast<void*>(GetProcAddress(user32, "AdjustWindowRectExForDpi")));
    }
};

const Api& api() {
    static const Api instance;
    return instance;
}

}  // namespace

int ofSystem() {
    if (api().forSystem)
        if (const UINT dpi = api().forSystem()) return static_cast<int>(dpi);
    const WindowDc screen(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : 96;
}

int ofWindow(HWND hwnd) {
    if (api().forWindow && hwnd)
        if (const UINT dpi = api().forWindow(hwnd)) return static_cast<int>(dpi);
    return ofSystem();
}

RECT outerRect(int clientWidth, int clientHeight, DWORD style, DWORD exStyle, int dpi) {
    RECT r{0, 0, clientWidth, clientHeight};
    // The frame's own metrics follow the resolution too, where the system can say so.
    if (!api().adjust || !api().adjust(&r, style, FALSE, exStyle, static_cast<UINT>(dpi)))
        AdjustWindowRectEx(&r, style, FALSE, exStyle);
    return r;
}

}  // namespace qn::ui::dpi
