// What every peer does alike: creating and naming its window, the mouse,
// cursor and focus messages, reflecting child notifications, and the common
// properties (caption, enabled, visible, font, colour).
#include "ui/win32/peers.h"

#include <algorithm>
#include <unordered_map>

#include "ui/win32/accessible.h"
#include "ui/win32/form_peer.h"
#include "ui/win32/win32_backend.h"

namespace qn::ui {

namespace {

LPCWSTR cursorId(Cursor cursor) {
    switch (cursor) {
    case Cursor::HandPoint: return IDC_HAND;
    case Cursor::Help: return IDC_HELP;
    case Cursor::Wait: return IDC_WAIT;
    default: return IDC_ARROW;
    }
}

// The model hears of the pointer in the layout's units, whatever the
// resolution: a drag over a bar then reaches the same place in its text.
// Signed: a captured pointer may be left of or above the control.
MouseEvent mouseEvent(WPARAM wp, LPARAM lp, MouseEvent::Button button, int dpi) {
    MouseEvent e;
    e.x = unscaleLength(GET_X_LPARAM(lp), dpi);
    e.y = unscaleLength(GET_Y_LPARAM(lp), dpi);
    e.button = button;
    e.leftHeld = (wp & MK_LBUTTON) != 0;
    e.rightHeld = (wp & MK_RBUTTON) != 0;
    e.middleHeld = (wp & MK_MBUTTON) != 0;
    return e;
}

// Whether anything lies outside the client area: a frame, an edge or a
// scroll bar.
bool hasNonClientArea(HWND hwnd) {
    const auto style = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongW(hwnd, GWL_EXSTYLE));
    return (style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME | WS_HSCROLL | WS_VSCROLL)) ||
           (exStyle & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE | WS_EX_WINDOWEDGE | WS_EX_DLGMODALFRAME));
}

// The peer of each window, for the window procedure: a lookup in the
// program's own memory, where a window property or the common controls'
// subclassing would cost a trip to the window server on every message.
std::unordered_map<HWND, NativePeer*>& peersByWindow() {
    static std::unordered_map<HWND, NativePeer*> peers;
    return peers;
}

}  // namespace

NativePeer::~NativePeer() {
    if (hwnd_) DestroyWindow(hwnd_);
}

void NativePeer::create(HWND parent) {
    hwnd_ = createWindow(parent);
    if (!hwnd_) return;
    peersByWindow()[hwnd_] = this;
    original_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd_, GWLP_WNDPROC));
    if (original_ == windowProc)
        original_ = DefWindowProcW;  // one of the program's own classes
    else
        SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(windowProc));
    if (control_.kind() == Kind::Form) giveName();
    control_.setPeer(this);
}

void NativePeer::giveName() {
    if (named_ || !hwnd_) return;
    named_ = true;
    ATOM name = GlobalAddAtomA(control_.name().c_str());
    SetPropA(hwnd_, kNameProperty, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(name)));
}

void NativePeer::synchronize() {
    Mirror mirror(*this);
    // Font first: sizes measured from text depend on it. Visible last, so a
    // window appears complete.
    static const Property kInitial[] = {
        Property::Font, Property::Enabled, Property::Color, Property::Checked, Property::Items,
        Property::ItemIndex, Property::Rows, Property::Panels, Property::Flat, Property::Pressed,
        Property::HotTrack, Property::ActivePage, Property::Position, Property::Picture,
        Property::Hint, Property::Visible};
    for (Property p : kInitial) update(p, -1);
}

HWND NativePeer::createWindow(HWND parent) {
    const Creation c = creation();
    const Rect b = createdRect();
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | WS_GROUP | c.style;
    if (control_.tabStop()) style |= WS_TABSTOP;
    if (visibleAtCreation()) style |= WS_VISIBLE;
    const int id = backend_.nextControlId();
    return CreateWindowExW(c.exStyle, c.className, wide(control_.caption()).c_str(), style, b.left, b.top,
                           b.width, b.height, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), backend_.instance(),
                           nullptr);
}

int NativePeer::dpi() const {
    const Form* form = control_.form();
    return form ? form->dpi() : kLayoutDpi;
}

void NativePeer::rescale() {
    Mirror mirror(*this);
    const Rect r = scaledPlacement();
    SetWindowPos(hwnd_, nullptr, r.left, r.top, r.width, r.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    update(Property::Font, -1);  // kinds that measure their items by the font do so again
}

void NativePeer::changed(Control& /*control*/, Property property, int index) {
    if (!hwnd_) return;
    Mirror mirror(*this);
    update(property, index);
    // New text may want a face the shown one lacks, or no longer need it.
    switch (property) {
    case Property::Caption:
    case Property::Items:
    case Property::Panels:
    case Property::Nodes:
        if (font() != shownFont_) update(Property::Font, -1);
        break;
    default: break;
    }
}

void NativePeer::update(Property property, int /*index*/) {
    switch (property) {
    case Property::Caption: setText(control_.caption()); break;
    case Property::Enabled: EnableWindow(hwnd_, control_.enabled()); break;
    case Property::Visible:
        if (((GetWindowLongW(hwnd_, GWL_STYLE) & WS_VISIBLE) != 0) != control_.visible())
            ShowWindow(hwnd_, control_.visible() ? SW_SHOW : SW_HIDE);
        break;
    case Property::Font:
        // Repainted only where it shows: a window on a form not yet shown is
        // painted whole when the form shows.
        shownFont_ = font();
        SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(shownFont_), IsWindowVisible(hwnd_));
        break;
    case Property::Color: repaint(true); break;
    case Property::Hint: backend_.setTooltip(hwnd_, control_.hint()); break;
    case Property::Focus: {
        // A hidden or inactive form takes it when it next becomes active.
        HWND form = GetAncestor(hwnd_, GA_ROOT);
        if (form == hwnd_) break;
        if (form && IsWindowVisible(form) && GetActiveWindow() == form) {
            SetFocus(hwnd_);
        } else if (auto* peer = dynamic_cast<FormPeer*>(backend_.peerOf(form))) {
            peer->setPendingFocus(hwnd_);
        }
        break;
    }
    default: break;  // the cursor is asked for at WM_SETCURSOR; the rest is per kind
    }
}

void NativePeer::setText(const std::string& text) {
    // Leave an unchanged text alone so an edit box keeps its caret.
    if (windowText() != text) SetWindowTextW(hwnd_, wide(text).c_str());
}

std::string NativePeer::windowText() const {
    const int length = GetWindowTextLengthW(hwnd_);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int got = GetWindowTextW(hwnd_, &text[0], length + 1);
    return narrow(text.data(), static_cast<size_t>(got > 0 ? got : 0));
}

void NativePeer::repaint(bool erase) const {
    // A window that does not show is painted whole when it does: asking
    // now would only cost a trip to the window server per control made.
    if (IsWindowVisible(hwnd_)) InvalidateRect(hwnd_, nullptr, erase);
}

HFONT NativePeer::font() const { return backend_.font(control_.font(), dpi(), shownText()); }

COLORREF NativePeer::background(int sysColor) const {
    return control_.color() ? Win32Backend::colorRef(*control_.color()) : GetSysColor(sysColor);
}

void NativePeer::fillFace(HDC dc) const {
    RECT r;
    GetClientRect(hwnd_, &r);
    FillRect(dc, &r, backend_.brush(background(COLOR_BTNFACE)));
}

LRESULT NativePeer::onCtlColor(HWND parent, UINT msg, WPARAM wp, LPARAM lp) {
    HDC dc = reinterpret_cast<HDC>(wp);
    LRESULT brush;
    // What the system would paint the control on.
    const bool field = msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX;
    COLORREF back = GetSysColor(field ? COLOR_WINDOW : COLOR_BTNFACE);
    if (control_.color()) {
        back = Win32Backend::colorRef(*control_.color());
        SetBkColor(dc, back);
        brush = reinterpret_cast<LRESULT>(backend_.brush(back));
    } else {
        brush = DefWindowProcW(parent, msg, wp, lp);  // the control's usual colours
    }
    // A disabled control keeps the grey text the system gives it.
    if (IsWindowEnabled(hwnd_))
        SetTextColor(dc, Win32Backend::textColorOn(control_.font().color, back, COLOR_WINDOWTEXT));
    return brush;
}

NativePeer* NativePeer::of(HWND hwnd) {
    auto& peers = peersByWindow();
    const auto found = peers.find(hwnd);
    return found == peers.end() ? nullptr : found->second;
}

LRESULT CALLBACK NativePeer::windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    // Messages of a window being made come before its peer knows it.
    NativePeer* peer = of(hwnd);
    return peer ? peer->dispatch(msg, wp, lp) : DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT NativePeer::dispatch(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCDESTROY) {
        const WNDPROC original = original_;
        const HWND hwnd = hwnd_;
        detachWindow();
        return CallWindowProcW(original, hwnd, msg, wp, lp);
    }
    // With nothing outside its client area, a control has no frame to
    // paint; the default painting would still take a window DC for it,
    // which every control pays for when its form first shows.
    if (msg == WM_NCPAINT && !hasNonClientArea(hwnd_)) return 0;
    if (backend_.quiet()) return callOriginal(msg, wp, lp);
    LRESULT result = 0;
    if (reflect(msg, wp, lp, result) || mouse(msg, wp, lp, result) || handle(msg, wp, lp, result))
        return result;
    return callOriginal(msg, wp, lp);
}

void NativePeer::detachWindow() {
    peersByWindow().erase(hwnd_);
    if (named_)
        if (auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(RemovePropA(hwnd_, kNameProperty))))
            GlobalDeleteAtom(atom);
    named_ = false;
    hwnd_ = nullptr;
}

bool NativePeer::reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    NativePeer* child = nullptr;
    switch (msg) {
    case WM_COMMAND:
        if (lp == 0) return false;  // menus, accelerators, dialog keys: not a control's
        child = backend_.peerOf(reinterpret_cast<HWND>(lp));
        if (!child || !child->onCommand(HIWORD(wp))) return false;
        result = 0;
        return true;
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lp);
        child = backend_.peerOf(header->hwndFrom);
        return child && child->onNotify(*header, result);
    }
    case WM_DRAWITEM: {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
        child = backend_.peerOf(item->hwndItem);
        if (!child || !child->onDrawItem(*item)) return false;
        result = TRUE;
        return true;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        child = backend_.peerOf(reinterpret_cast<HWND>(lp));
        if (!child) return false;
        result = child->onCtlColor(hwnd_, msg, wp, lp);
        return true;
    default: return false;
    }
}

bool NativePeer::mouse(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    // The model hears of the event first; the window's own handling follows.
    switch (msg) {
    case WM_MOUSEMOVE: control_.mouseMove(mouseEvent(wp, lp, MouseEvent::None, dpi())); return false;
    case WM_LBUTTONUP: control_.mouseUp(mouseEvent(wp, lp, MouseEvent::Left, dpi())); return false;
    case WM_RBUTTONUP: control_.mouseUp(mouseEvent(wp, lp, MouseEvent::Right, dpi())); return false;
    case WM_MBUTTONUP: control_.mouseUp(mouseEvent(wp, lp, MouseEvent::Middle, dpi())); return false;
    case WM_SETFOCUS:
        if (control_.tabStop()) control_.enter();
        return false;
    case WM_GETOBJECT:
        return answerAccessibleObject(hwnd_, wp, lp, control_.accessName(), control_.kind() == Kind::Image,
                                      result);
    case WM_SETCURSOR:
        // Over a disabled control the system says so here, and only here.
        if (reinterpret_cast<HWND>(wp) == hwnd_ && static_cast<short>(LOWORD(lp)) == HTERROR &&
            !control_.hint().empty())
            backend_.relayToTooltip(hwnd_, HIWORD(lp));
        if (const Form* form = control_.form(); form && form->cursor() == Cursor::Wait) {
            SetCursor(LoadCursorW(nullptr, IDC_WAIT));
            result = TRUE;
            return true;
        }
        // Only for the pointer over this very window; a Default cursor is the class's own.
        if (reinterpret_cast<HWND>(wp) != hwnd_ || LOWORD(lp) != HTCLIENT ||
            control_.cursor() == Cursor::Default)
            return false;
        SetCursor(LoadCursorW(nullptr, cursorId(control_.cursor())));
        result = TRUE;
        return true;
    default: return false;
    }
}

bool NativePeer::handle(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

LRESULT NativePeer::dialogCodeTaking(WPARAM wp, LPARAM lp, std::initializer_list<WPARAM> keys) const {
    const LRESULT code = callOriginal(WM_GETDLGCODE, wp, lp);
    const auto* msg = reinterpret_cast<const MSG*>(lp);
    if (!msg || msg->message != WM_KEYDOWN) return code;
    return std::find(keys.begin(), keys.end(), msg->wParam) != keys.end() ? code | DLGC_WANTMESSAGE : code;
}

}  // namespace qn::ui
