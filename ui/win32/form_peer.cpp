#include "ui/win32/form_peer.h"

#include <iterator>
#include <utility>

#include "ui/win32/dpi.h"
#include "ui/win32/win32_backend.h"

namespace qn::ui {

namespace {
// Timer id (beside the model's timers, which count from 1) that retries
// bringing a shown form to the front, and how often.
constexpr UINT_PTR kForegroundTimer = 0x7100;
constexpr int kForegroundTries = 20;
// The window menu's own commands: ids below the system's, in steps of 16,
// as the system keeps the low four bits of each.
constexpr UINT kFirstMenuCommand = 0x100;
}  // namespace

NativePeer::Creation FormPeer::creation() const {
    // The first form is the application's main window and may be minimized;
    // later ones are its dialogs. Neither can be resized. All are pop-ups of
    // the application window, which shows them again when it is restored.
    if (!backend().firstForm())
        return {kFormClass, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN, 0};
    const DWORD closeBox = form().closeBox() ? WS_SYSMENU : 0;
    return {kFormClass, WS_POPUP | WS_CAPTION | closeBox | WS_CLIPCHILDREN, WS_EX_DLGMODALFRAME};
}

SIZE FormPeer::outerSize(int dpi) const {
    const Creation c = creation();
    const Rect client = scaleRect(control().bounds(), dpi);
    const RECT outer = dpi::outerRect(client.width, client.height, c.style, c.exStyle, dpi);
    return {outer.right - outer.left, outer.bottom - outer.top};
}

HWND FormPeer::createWindow(HWND /*parent*/) {
    // The window and everything in it are laid out at the screen's
    // resolution; the children read it from the form as they are made.
    form().setDpi(dpi::ofSystem());
    const Creation c = creation();
    const SIZE size = outerSize(form().dpi());
    const int x = (GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2;
    HWND hwnd = CreateWindowExW(c.exStyle, c.className, wide(control().caption()).c_str(), c.style, x, y,
                                size.cx, size.cy, backend().applicationWindow(), nullptr,
                                backend().instance(), nullptr);
    if (hwnd) addWindowMenu(hwnd);
    // Made on a screen of another resolution than the first one's, it takes that one.
    const int actual = hwnd ? dpi::ofWindow(hwnd) : form().dpi();
    if (actual != form().dpi()) {
        form().setDpi(actual);
        const SIZE resized = outerSize(actual);
        SetWindowPos(hwnd, nullptr, 0, 0, resized.cx, resized.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return hwnd;
}

void FormPeer::addWindowMenu(HWND hwnd) {
    if (form().windowMenu.empty()) return;
    HMENU menu = GetSystemMenu(hwnd, FALSE);
    if (!menu) return;
    // Before Close, set off from it as the system's own groups are.
    int close = GetMenuItemCount(menu);
    for (int i = 0; i < close; ++i)
        if (GetMenuItemID(menu, i) == SC_CLOSE) close = i;
    UINT id = kFirstMenuCommand;
    for (const Form::MenuCommand& command : form().windowMenu) {
        InsertMenuW(menu, static_cast<UINT>(close++), MF_BYPOSITION | MF_STRING, id, wide(command.caption).c_str());
        id += 16;
    }
    InsertMenuW(menu, static_cast<UINT>(close), MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
}

void FormPeer::schemeChanged() {
    Win32Backend::schemeChanged();
    backend().recolor(form());
    form().colorsChanged();
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void FormPeer::childrenCreated() {
    // The window exists now; at 96 dpi its frame is the one asked about.
    if (form().dpi() != kLayoutDpi) fitClientArea();
}

void FormPeer::fitClientArea() {
    // Where the system draws the frame at another resolution than the one
    // asked about (a program it takes for unaware of scaling, or one before
    // Windows 10), the frame is what it is: the window grows or shrinks
    // until the client area is the layout's, scaled.
    const Rect wanted = scaleRect(control().bounds(), form().dpi());
    RECT client, outer;
    GetClientRect(hwnd(), &client);
    GetWindowRect(hwnd(), &outer);
    const int dx = wanted.width - client.right, dy = wanted.height - client.bottom;
    if (dx || dy)
        SetWindowPos(hwnd(), nullptr, 0, 0, outer.right - outer.left + dx, outer.bottom - outer.top + dy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormPeer::rescaleTo(int dpi, POINT at) {
    if (dpi <= 0) return;
    const bool changed = dpi != form().dpi();
    form().setDpi(dpi);
    const SIZE size = outerSize(dpi);
    SetWindowPos(hwnd(), nullptr, at.x, at.y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    fitClientArea();
    if (!changed) return;
    backend().rescaleControls(form());
    InvalidateRect(hwnd(), nullptr, TRUE);
    form().dpiChanged();  // what the form draws itself, drawn again
}

void FormPeer::update(Property property, int index) {
    switch (property) {
    case Property::Visible:
        if (control().visible()) {
            backend().showApplicationWindow();
            // A dialog opens on its first control, as dialogs do, unless
            // the program chose one; the main window, shown again after a
            // run, keeps the one the user was in.
            if (hwnd() != backend().firstForm() && !focusAsked_) lastFocus_ = nullptr;
            // The focus shows from the start, whether the window was
            // opened by mouse or by keyboard.
            SendMessageW(hwnd(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
            ShowWindow(hwnd(), SW_SHOW);
            // Shown again after a child program ended, the window must take the
            // keyboard back; the child's console may still be closing and take
            // the front away, so the window keeps it for a moment.
            foregroundTries_ = 0;
            takeForeground();
            SetTimer(hwnd(), kForegroundTimer, 100, nullptr);
            UpdateWindow(hwnd());  // the first paint, and the model's onPaint, happen now
        } else {
            ShowWindow(hwnd(), SW_HIDE);
        }
        break;
    case Property::Find: openFind(); break;
    case Property::Font: break;  // a form shows no text of its own
    case Property::Cursor: {
        // The pointer may rest where it is: the window under it is asked
        // for its cursor now rather than at the next move.
        POINT at;
        HWND under = GetCursorPos(&at) ? WindowFromPoint(at) : nullptr;
        if (under && (under == hwnd() || IsChild(hwnd(), under))) {
            const auto hit = static_cast<WORD>(SendMessageW(under, WM_NCHITTEST, 0, MAKELPARAM(at.x, at.y)));
            SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(hit, WM_MOUSEMOVE));
        }
        break;
    }
    default: NativePeer::update(property, index);
    }
}

bool FormPeer::handle(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == backend().nameRequest()) {
        backend().nameControls();
        result = 1;
        return true;
    }
    static const UINT kFindMessage = RegisterWindowMessageW(FINDMSGSTRINGW);
    if (msg == kFindMessage && lp) {
        onFindMessage(*reinterpret_cast<const FINDREPLACEW*>(lp));
        result = 0;
        return true;
    }
    using Handler = bool (FormPeer::*)(WPARAM, LPARAM, LRESULT&);
    static const std::pair<UINT, Handler> kHandlers[] = {
        {WM_ERASEBKGND, &FormPeer::onEraseBackground},
        {WM_PAINT, &FormPeer::onPaint},
        {kBuildPageMessage, &FormPeer::onBuildPage},
        {WM_COMMAND, &FormPeer::onDialogCommand},
        {WM_CLOSE, &FormPeer::onClose},
        {WM_DESTROY, &FormPeer::onDestroy},
        {dpi::kGetDpiScaledSize, &FormPeer::onGetDpiScaledSize},
        {dpi::kDpiChanged, &FormPeer::onDpiChanged},
        {WM_SYSCOMMAND, &FormPeer::onSysCommand},
        {WM_SYSCOLORCHANGE, &FormPeer::onSysColorChange},
        {WM_SETTINGCHANGE, &FormPeer::onSettingChange},
        {WM_TIMER, &FormPeer::onTimer},
        {WM_ACTIVATE, &FormPeer::onActivate},
        {WM_SETFOCUS, &FormPeer::onSetFocus},
    };
    for (const auto& [message, handler] : kHandlers)
        if (message == msg) return (this->*handler)(wp, lp, result);
    return false;
}

bool FormPeer::onEraseBackground(WPARAM wp, LPARAM, LRESULT& result) {
    fillFace(reinterpret_cast<HDC>(wp));
    result = 1;
    return true;
}

bool FormPeer::onPaint(WPARAM, LPARAM, LRESULT& result) {
    PAINTSTRUCT ps;
    BeginPaint(hwnd(), &ps);
    EndPaint(hwnd(), &ps);
    // After validating, so a message box raised by the handler cannot
    // bring the same paint round again.
    form().paint();
    // Pages left for later get their windows once the form is up, one
    // at a time, so the form answers in between.
    if (!pagePosted_ && backend().hasPagesLeft(hwnd())) {
        pagePosted_ = true;
        PostMessageW(hwnd(), kBuildPageMessage, 0, 0);
    }
    result = 0;
    return true;
}

bool FormPeer::onBuildPage(WPARAM, LPARAM, LRESULT& result) {
    if (backend().buildNextPage(hwnd())) PostMessageW(hwnd(), kBuildPageMessage, 0, 0);
    result = 0;
    return true;
}

bool FormPeer::onDialogCommand(WPARAM wp, LPARAM lp, LRESULT& result) {
    // Enter and Escape on a control that does not take them come as the
    // dialog commands, with no control named.
    if (lp != 0) return false;
    Button* button = LOWORD(wp) == IDOK ? form().defaultButton
                     : LOWORD(wp) == IDCANCEL ? form().cancelButton
                                              : nullptr;
    if (!button || !button->enabled() || !button->visible()) return false;
    button->click();
    result = 0;
    return true;
}

bool FormPeer::onClose(WPARAM, LPARAM, LRESULT& result) {
    result = 0;
    // A window without a close box is closed by its own buttons only,
    // also against Alt+F4.
    if (!form().closeBox()) return true;
    HWND self = hwnd();
    form().close();  // may end the process; otherwise hides the window
    if (self == backend().mainWindow() && IsWindow(self)) DestroyWindow(self);
    return true;
}

bool FormPeer::onDestroy(WPARAM, LPARAM, LRESULT&) {
    if (hwnd() == backend().mainWindow()) PostQuitMessage(0);
    return false;
}

bool FormPeer::onGetDpiScaledSize(WPARAM wp, LPARAM lp, LRESULT& result) {
    // Asked before a move to a screen of another resolution: the size
    // that keeps the layout's client area, scaled.
    auto* size = reinterpret_cast<SIZE*>(lp);
    if (!size) return false;
    *size = outerSize(static_cast<int>(LOWORD(wp)));
    result = TRUE;
    return true;
}

bool FormPeer::onDpiChanged(WPARAM wp, LPARAM lp, LRESULT& result) {
    // Moved to a screen of another resolution: laid out again at it,
    // where the system suggests.
    const auto* suggested = reinterpret_cast<const RECT*>(lp);
    RECT now;
    GetWindowRect(hwnd(), &now);
    const POINT at = suggested ? POINT{suggested->left, suggested->top} : POINT{now.left, now.top};
    rescaleTo(static_cast<int>(HIWORD(wp)), at);
    result = 0;
    return true;
}

bool FormPeer::onSysColorChange(WPARAM, LPARAM, LRESULT&) {
    schemeChanged();
    return false;
}

bool FormPeer::onSettingChange(WPARAM wp, LPARAM, LRESULT&) {
    if (wp == SPI_SETHIGHCONTRAST) schemeChanged();
    return false;
}

bool FormPeer::onSysCommand(WPARAM wp, LPARAM, LRESULT& result) {
    // The form's own commands in the window menu.
    const size_t index = ((wp & 0xFFF0) - kFirstMenuCommand) / 16;
    if ((wp & 0xFFF0) >= kFirstMenuCommand && index < form().windowMenu.size()) {
        if (form().windowMenu[index].onChoose) form().windowMenu[index].onChoose();
        result = 0;
        return true;
    }
    const LONG style = GetWindowLongW(hwnd(), GWL_STYLE);
    // A form of fixed size takes no other size, whoever asks (Wine without
    // a window manager would maximize it, the layout staying small).
    if (((wp & 0xFFF0) == SC_MAXIMIZE && !(style & WS_MAXIMIZEBOX)) ||
        ((wp & 0xFFF0) == SC_SIZE && !(style & WS_THICKFRAME))) {
        result = 0;
        return true;
    }
    if ((wp & 0xFFF0) != SC_MINIMIZE) return false;
    // The main window's minimize box: the whole application goes to its
    // task-bar entry, rather than the window to an icon of its own.
    backend().minimizeApplication();
    result = 0;
    return true;
}

bool FormPeer::onTimer(WPARAM wp, LPARAM, LRESULT& result) {
    result = 0;
    if (wp == kForegroundTimer) {
        takeForeground();
        if (++foregroundTries_ >= kForegroundTries) KillTimer(hwnd(), kForegroundTimer);
        return true;
    }
    TimerPeer* timer = backend().timerOf(hwnd(), wp);
    if (!timer) return false;
    timer->elapsed();
    return true;
}

bool FormPeer::onActivate(WPARAM wp, LPARAM, LRESULT& result) {
    if (LOWORD(wp) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd(), focus)) lastFocus_ = focus;
    } else if (!HIWORD(wp)) {
        restoreFocus();
    }
    result = 0;
    return true;
}

bool FormPeer::onSetFocus(WPARAM, LPARAM, LRESULT& result) {
    restoreFocus();
    result = 0;
    return true;
}

void FormPeer::takeForeground() {
    if (!IsWindowVisible(hwnd()) || !IsWindowEnabled(hwnd())) return;
    HWND front = GetForegroundWindow();
    DWORD owner = 0;
    if (front) GetWindowThreadProcessId(front, &owner);
    // One of our own windows in front (a message box, a dialog) is fine; the
    // application window passes the input on to us anyway.
    if (front && front != backend().applicationWindow() && owner == GetCurrentProcessId()) return;
    SetForegroundWindow(hwnd());
    SetActiveWindow(hwnd());
}

void FormPeer::restoreFocus() {
    // As a dialog does: back to the control that had the focus, else the
    // first one in tab order.
    HWND target = lastFocus_;
    focusAsked_ = false;
    if (!target && form().focused()) target = backend().windowOf(*form().focused());
    if (!target || !IsWindow(target) || !IsChild(hwnd(), target) || !IsWindowVisible(target) ||
        !IsWindowEnabled(target))
        target = GetNextDlgTabItem(hwnd(), nullptr, FALSE);
    if (target && target != hwnd()) SetFocus(target);
}

void FormPeer::openFind() {
    if (findWindow_ && IsWindow(findWindow_)) {
        ShowWindow(findWindow_, SW_SHOW);
        SetActiveWindow(findWindow_);
        return;
    }
    // The common dialogs load on first use: a start never pays for them.
    using FindText = HWND(WINAPI*)(LPFINDREPLACEW);
    static const FindText findText = [] {
        HMODULE module = LoadLibraryExW(L"comdlg32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (!module) module = LoadLibraryW(L"comdlg32.dll");
        return module ? reinterpret_cast<FindText>(reinterpret_cast<void*>(GetProcAddress(module, "FindTextW")))
                      : nullptr;
    }();
    if (!findText) {
        form().findClosed();
        return;
    }
    const Form::FindQuery& query = form().findQuery;
    lstrcpynW(findText_, wide(query.text).c_str(), static_cast<int>(std::size(findText_)));
    find_ = {};
    find_.lStructSize = sizeof(find_);
    find_.hwndOwner = hwnd();
    find_.Flags = FR_HIDEWHOLEWORD | (query.down ? FR_DOWN : 0) | (query.matchCase ? FR_MATCHCASE : 0);
    find_.lpstrFindWhat = findText_;
    find_.wFindWhatLen = static_cast<WORD>(std::size(findText_));
    findWindow_ = findText(&find_);
    if (findWindow_)
        backend().addModeless(findWindow_);
    else
        form().findClosed();
}

void FormPeer::onFindMessage(const FINDREPLACEW& find) {
    if (find.Flags & FR_DIALOGTERM) {
        backend().removeModeless(findWindow_);
        findWindow_ = nullptr;
        form().findClosed();
        return;
    }
    if (find.Flags & FR_FINDNEXT)
        form().findNext({narrow(find.lpstrFindWhat), (find.Flags & FR_MATCHCASE) != 0, (find.Flags & FR_DOWN) != 0});
}

}  // namespace qn::ui
