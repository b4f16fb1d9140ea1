// The application's own window: the task-bar entry, the owner of every form,
// and what hands the input back to the form the user was in.
#include "ui/win32/win32_backend.h"

#include "ui/win32/peers.h"

namespace qn::ui {

void Win32Backend::setApplicationTitle(const std::string& title) {
    title_ = title;
    if (application_) SetWindowTextW(application_, wide(title_).c_str());
}

HWND Win32Backend::applicationWindow() {
    if (application_) return application_;
    // Where the forms are, at the screen's centre; with no size it shows
    // nothing but its task-bar entry.
    const DWORD style = WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX;
    application_ = CreateWindowExW(0, kApplicationClass, wide(title_).c_str(), style,
                                   GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2,
                                   0, 0, nullptr, nullptr, instance_, this);
    if (application_) {
        ATOM name = GlobalAddAtomA(kApplicationName);  // found by the end-to-end driver
        SetPropA(application_, kNameProperty, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(name)));
    }
    return application_;
}

void Win32Backend::showApplicationWindow() {
    HWND app = applicationWindow();
    if (app && !IsWindowVisible(app)) ShowWindow(app, SW_SHOWNA);
}

void Win32Backend::minimizeApplication() {
    if (!application_ || IsIconic(application_)) return;
    ShowOwnedPopups(application_, FALSE);
    ShowWindow(application_, SW_MINIMIZE);
}

void Win32Backend::restoreApplication() {
    if (!application_) return;
    ShowWindow(application_, SW_RESTORE);
    ShowOwnedPopups(application_, TRUE);
    activateTopWindow();
}

void Win32Backend::activateTopWindow() {
    if (activating_ || !application_ || IsIconic(application_)) return;
    activating_ = true;
    // Owned windows lie above their owners: the first of ours from the top
    // that takes input is the form (or message box) the user was in.
    const DWORD thread = GetCurrentThreadId();
    for (HWND h = GetTopWindow(nullptr); h; h = GetWindow(h, GW_HWNDNEXT)) {
        if (h == application_ || GetWindowThreadProcessId(h, nullptr) != thread) continue;
        if (!IsWindowVisible(h) || !IsWindowEnabled(h)) continue;
        if (GetWindowLongW(h, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) continue;  // a tooltip
        if (GetActiveWindow() != h) SetActiveWindow(h);
        break;
    }
    activating_ = false;
}

LRESULT CALLBACK Win32Backend::applicationProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE)
        SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams));
    auto* self = reinterpret_cast<Win32Backend*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == WM_NCDESTROY) {
        if (auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(RemovePropA(hwnd, kNameProperty))))
            GlobalDeleteAtom(atom);
        if (self && self->application_ == hwnd) self->application_ = nullptr;
    }
    if (!self || self->quiet_) return DefWindowProcW(hwnd, msg, wp, lp);
    switch (msg) {
    case WM_SYSCOMMAND:
        // From its task-bar entry.
        if ((wp & 0xFFF0) == SC_MINIMIZE) {
            self->minimizeApplication();
            return 0;
        }
        if ((wp & 0xFFF0) == SC_RESTORE) {
            self->restoreApplication();
            return 0;
        }
        break;
    case WM_CLOSE: {
        // Closing the application is closing its main window, which decides.
        HWND main = self->main_ ? self->main_ : self->firstForm_;
        if (main) PostMessageW(main, WM_CLOSE, 0, 0);
        return 0;
    }
    case WM_SETFOCUS:
        // Activated itself: by its task-bar entry, or because the form in
        // front was hidden. The input belongs to a form.
        self->activateTopWindow();
        return 0;
    default: break;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace qn::ui
