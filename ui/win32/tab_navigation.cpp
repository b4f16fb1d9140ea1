// The message loop, and where Tab and the form's own keys take the focus
// within the active form.
#include "ui/win32/win32_backend.h"

#include "ui/win32/peers.h"

namespace qn::ui {

void Win32Backend::run(Form& mainForm) {
    realize(mainForm);
    main_ = windowOf(mainForm);
    if (!mainForm.showing()) mainForm.show();
    MSG msg;
    while (main_ && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        // Tab, Shift+Tab and the other dialog keys within the active form.
        HWND active = GetActiveWindow();
        if (active && isForm(active) &&
            (formKey(active, msg) || tabKey(active, msg) || IsDialogMessageW(active, &msg)))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    main_ = nullptr;
}

void Win32Backend::setMainForm(Form& form) {
    realize(form);
    if (main_) main_ = windowOf(form);
}

HWND Win32Backend::pageControlAround(HWND hwnd, HWND form) const {
    for (HWND h = hwnd; h && h != form; h = GetParent(h)) {
        NativePeer* peer = peerOf(h);
        if (peer && peer->control().kind() == Kind::PageControl) return h;
    }
    return nullptr;
}

HWND Win32Backend::tabTarget(HWND form, HWND from, bool backwards) const {
    // The dialog manager walks into a page control (a control parent) but
    // never stops at its row of tabs; a page control is one stop of its own,
    // just before the controls of its active page.
    HWND next = GetNextDlgTabItem(form, from, backwards);
    HWND fromTabs = from ? pageControlAround(from, form) : nullptr;
    HWND nextTabs = next ? pageControlAround(next, form) : nullptr;
    if (!backwards) {
        if (fromTabs && from == fromTabs) {
            // From the tabs into the active page, when it has a stop.
            for (HWND page = GetWindow(fromTabs, GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT)) {
                if (!IsWindowVisible(page)) continue;
                HWND first = GetNextDlgTabItem(page, nullptr, FALSE);
                if (first && first != page && IsChild(page, first)) return first;
            }
            return next;
        }
        if (nextTabs && nextTabs != fromTabs && IsWindowEnabled(nextTabs)) return nextTabs;
        return next;
    }
    // Backwards out of a page lands on its tabs; backwards into a page control
    // from after it is its page's last stop, as the dialog manager has it.
    if (fromTabs && from != fromTabs && nextTabs != fromTabs && IsWindowEnabled(fromTabs))
        return fromTabs;
    return next;
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
