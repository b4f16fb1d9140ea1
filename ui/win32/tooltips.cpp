// Tooltips: one tooltip window per form, made when its first tip is set.
#include "ui/win32/win32_backend.h"

#include "platform/win32/wide_text.h"

namespace qn::ui {

namespace {

// The tooltip asks which window is under the pointer before it shows and
// while it stays. The system's answer skips disabled controls, whose tips
// would then never show: look below it for the control itself.
LRESULT CALLBACK tooltipProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR) {
    if (msg != TTM_WINDOWFROMPOINT || !lp) return DefSubclassProc(hwnd, msg, wp, lp);
    const POINT screen = *reinterpret_cast<const POINT*>(lp);
    HWND found = WindowFromPoint(screen);
    while (found) {
        POINT p = screen;
        ScreenToClient(found, &p);
        HWND child = ChildWindowFromPointEx(found, p, CWP_SKIPINVISIBLE | CWP_SKIPTRANSPARENT);
        if (!child || child == found) break;
        found = child;
    }
    return reinterpret_cast<LRESULT>(found);
}

}  // namespace

void Win32Backend::setTooltip(HWND control, const std::string& text) {
    HWND form = GetAncestor(control, GA_ROOT);
    if (!form || form == control) return;
    auto known = tooltips_.find(form);
    HWND tip = known == tooltips_.end() ? nullptr : known->second;
    if (!tip) {
        if (text.empty()) return;
        // Owned by the form: it shows only while the form is active, and
        // goes with it.
        tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, form, nullptr,
                              instance_, nullptr);
        if (!tip) return;
        SetWindowSubclass(tip, tooltipProc, 1, 0);
        tooltips_[form] = tip;
    }
    // The size the common controls of every version take.
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = GetParent(control);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    SendMessageW(tip, TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&tool));
    if (text.empty()) return;
    // The tooltip watches the control's own mouse messages.
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    std::wstring wtext = wide(text);
    tool.lpszText = &wtext[0];
    SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void Win32Backend::relayToTooltip(HWND control, UINT mouseMessage) {
    auto it = tooltips_.find(GetAncestor(control, GA_ROOT));
    if (it == tooltips_.end()) return;
    MSG msg{};
    msg.hwnd = control;
    msg.message = mouseMessage;
    msg.time = static_cast<DWORD>(GetMessageTime());
    GetCursorPos(&msg.pt);
    POINT p = msg.pt;
    ScreenToClient(control, &p);
    msg.lParam = MAKELPARAM(p.x, p.y);
    SendMessageW(it->second, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

}  // namespace qn::ui
