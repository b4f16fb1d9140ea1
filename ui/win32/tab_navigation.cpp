// The message loop, and where Tab and the form's own keys take the focus
// within the active form.
#include "ui/win32/win32_backend.h"

#include <algorithm>

#include "ui/win32/peers.h"

namespace qn::ui {

void Win32Backend::run(Form& mainForm) {
    realize(mainForm);
    main_ = windowOf(mainForm);
    if (!mainForm.showing()) mainForm.show();
    MSG msg;
    while (main_ && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (std::any_of(modeless_.begin(), modeless_.end(),
                        [&msg](HWND dialog) { return IsDialogMessageW(dialog, &msg); }))
            continue;
        // Tab, Shift+Tab and the other dialog keys within the active form.
        HWND active = GetActiveWindow();
        if (active && isForm(active) &&
            (shortcutKey(active, msg) || pageKey(active, msg) || formKey(active, msg) ||
             tabKey(active, msg) || IsDialogMessageW(active, &msg)))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    main_ = nullptr;
}

void Win32Backend::removeModeless(HWND dialog) {
    modeless_.erase(std::remove(modeless_.begin(), modeless_.end(), dialog), modeless_.end());
}

void Win32Backend::setMainForm(Form& form) {
    realize(form);
    if (main_) main_ = windowOf(form);
}

void Win32Backend::collectStops(HWND parent, std::vector<HWND>& stops) const {
    for (HWND h = GetWindow(parent, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT)) {
        if (!IsWindowVisible(h) || !IsWindowEnabled(h)) continue;
        const bool container = (GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) != 0;
        NativePeer* peer = peerOf(h);
        const bool tabs = peer && peer->control().kind() == Kind::PageControl;
        if ((GetWindowLongW(h, GWL_STYLE) & WS_TABSTOP) && (!container || tabs)) stops.push_back(h);
        if (container) collectStops(h, stops);
    }
}

HWND Win32Backend::tabTarget(HWND form, HWND from, bool backwards) const {
    // The stops in window order, round and round: a page control is one
    // stop of its own, its row of tabs, just before its shown page's
    // controls, so Tab always comes back to the tabs, whatever the page.
    std::vector<HWND> stops;
    collectStops(form, stops);
    if (stops.empty()) return nullptr;
    const auto at = std::find(stops.begin(), stops.end(), from);
    const auto count = static_cast<std::ptrdiff_t>(stops.size());
    if (at == stops.end()) return backwards ? stops.back() : stops.front();
    const std::ptrdiff_t index = at - stops.begin();
    return stops[static_cast<size_t>((index + (backwards ? count - 1 : 1)) % count)];
}

PageControlPeer* Win32Backend::pagesOf(HWND form) const {
    for (const auto& peer : peers_)
        if (peer->control().kind() == Kind::PageControl && peer->hwnd() &&
            GetAncestor(peer->hwnd(), GA_ROOT) == form && IsWindowVisible(peer->hwnd()))
            return static_cast<PageControlPeer*>(peer.get());
    return nullptr;
}

bool Win32Backend::pageKey(HWND form, const MSG& msg) {
    // Ctrl+Tab, Ctrl+Shift+Tab, Ctrl+Page Down and Ctrl+Page Up turn the
    // pages from anywhere in the form, as in a property sheet.
    if (msg.message != WM_KEYDOWN || GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_MENU) < 0) return false;
    int step = 0;
    if (msg.wParam == VK_TAB) step = GetKeyState(VK_SHIFT) < 0 ? -1 : 1;
    if (msg.wParam == VK_NEXT) step = 1;
    if (msg.wParam == VK_PRIOR) step = -1;
    PageControlPeer* pages = step ? pagesOf(form) : nullptr;
    if (!pages || !IsWindowEnabled(pages->hwnd())) return false;
    pages->turn(step);
    return true;
}

std::string Win32Backend::shortcutName(const MSG& msg) {
    // Function keys, and letters and digits with Ctrl: named as a user
    // reads them, "Ctrl+R", "F1", "Ctrl+Shift+F1".
    if (msg.message != WM_KEYDOWN || GetKeyState(VK_MENU) < 0) return {};
    const auto key = static_cast<UINT>(msg.wParam);
    const bool ctrl = GetKeyState(VK_CONTROL) < 0;
    std::string name;
    if (key >= VK_F1 && key <= VK_F12)
        name = "F" + std::to_string(key - VK_F1 + 1);
    else if (ctrl && ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9')))
        name = std::string(1, static_cast<char>(key));
    else
        return {};
    if (GetKeyState(VK_SHIFT) < 0) name = "Shift+" + name;
    if (ctrl) name = "Ctrl+" + name;
    return name;
}

bool Win32Backend::shortcutKey(HWND form, const MSG& msg) {
    NativePeer* peer = peerOf(form);
    if (!peer) return false;
    auto& model = static_cast<Form&>(peer->control());
    if (model.shortcuts.empty()) return false;
    const std::string name = shortcutName(msg);
    // Not again while held: a run blocks the thread, and the repeats queued
    // meanwhile must not start it again.
    if (name.empty() || (msg.lParam & (LPARAM(1) << 30))) return false;
    return model.pressShortcut(name);
}

bool Win32Backend::formKey(HWND form, const MSG& msg) {
    if (msg.message != WM_KEYDOWN) return false;
    Form::Key key;
    switch (msg.wParam) {
    case VK_LEFT: key = Form::Key::Left; break;
    case VK_RIGHT: key = Form::Key::Right; break;
    case VK_HOME: key = Form::Key::Home; break;
    case VK_END: key = Form::Key::End; break;
    default: return false;
    }
    // A control that moves by these keys itself keeps them.
    HWND focus = GetFocus();
    if (focus && IsChild(form, focus) &&
        (SendMessageW(focus, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg)) &
         (DLGC_WANTARROWS | DLGC_WANTALLKEYS)))
        return false;
    NativePeer* peer = peerOf(form);
    return peer && static_cast<Form&>(peer->control()).keyDown(key);
}

bool Win32Backend::tabKey(HWND form, const MSG& msg) {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB) return false;
    if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return false;
    HWND focus = GetFocus();
    if (focus && (SendMessageW(focus, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg)) &
                  (DLGC_WANTTAB | DLGC_WANTALLKEYS)))
        return false;
    HWND target = tabTarget(form, focus && IsChild(form, focus) ? focus : nullptr,
                            GetKeyState(VK_SHIFT) < 0);
    if (!target || target == focus) return false;
    if (SendMessageW(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
        SendMessageW(target, EM_SETSEL, 0, -1);  // as the dialog manager does for edit boxes
    SetFocus(target);
    return true;
}

}  // namespace qn::ui
