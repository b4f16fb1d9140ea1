// Creating the windows of a form and running the message loop; the shared
// fonts and brushes.
#include "ui/win32/win32_backend.h"

#include <algorithm>
#include <cstring>

#include "ui/win32/native_backend.h"
#include "ui/win32/peers.h"
#include "ui/win32/tree_view_peer.h"

namespace qn::ui {

namespace {

void registerClasses(HINSTANCE instance, WNDPROC applicationProc) {
    // Plain windows: all their behaviour comes from the peer's subclass.
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    for (const char* name : {kPageClass, kPanelClass, kImageClass}) {
        wc.lpszClassName = name;
        RegisterClassA(&wc);  // a second backend finds them registered already
    }
    wc.lpszClassName = kFormClass;
    // The program's own icon (resource 1), where the program carries one.
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
    if (!wc.hIcon) wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    RegisterClassA(&wc);
    wc.lpszClassName = kApplicationClass;
    wc.lpfnWndProc = applicationProc;
    RegisterClassA(&wc);
}

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

int sysColorIndex(SysColor color) {
    switch (color) {
    case SysColor::Window: return COLOR_WINDOW;
    case SysColor::ButtonFace: return COLOR_BTNFACE;
    case SysColor::Highlight: return COLOR_HIGHLIGHT;
    case SysColor::WindowText: return COLOR_WINDOWTEXT;
    }
    return COLOR_WINDOWTEXT;
}

}  // namespace

std::unique_ptr<Backend> makeWin32Backend() { return std::make_unique<Win32Backend>(); }

Win32Backend::Win32Backend() : instance_(GetModuleHandleA(nullptr)) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    registerClasses(instance_, applicationProc);
}

Win32Backend::~Win32Backend() {
    // The controls may be gone already: take the windows down without
    // telling the model, then drop the peers.
    quiet_ = true;
    timers_.clear();
    for (const auto& peer : peers_) {
        HWND hwnd = peer->hwnd();
        if (hwnd && !(GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD)) DestroyWindow(hwnd);
    }
    peers_.clear();
    if (application_) DestroyWindow(application_);
    for (auto& entry : fonts_) DeleteObject(entry.second);
    for (auto& entry : brushes_) DeleteObject(entry.second);
    if (measuring_) DeleteDC(measuring_);
}

std::unique_ptr<NativePeer> Win32Backend::makePeer(Control& control) {
    switch (control.kind()) {
    case Kind::Form: return std::make_unique<FormPeer>(*this, control);
    case Kind::Label: return std::make_unique<LabelPeer>(*this, control);
    case Kind::Button: return std::make_unique<ButtonPeer>(*this, control);
    case Kind::CheckBox: return std::make_unique<CheckBoxPeer>(*this, control);
    case Kind::Edit: return std::make_unique<EditPeer>(*this, control);
    case Kind::ComboBox: return std::make_unique<ComboBoxPeer>(*this, control);
    case Kind::ListBox: return std::make_unique<ListBoxPeer>(*this, control);
    case Kind::ListView: return std::make_unique<ListViewPeer>(*this, control);
    case Kind::StatusBar: return std::make_unique<StatusBarPeer>(*this, control);
    case Kind::PageControl: return std::make_unique<PageControlPeer>(*this, control);
    case Kind::TabSheet: return std::make_unique<TabSheetPeer>(*this, control);
    case Kind::Panel: return std::make_unique<PanelPeer>(*this, control);
    case Kind::GroupBox: return std::make_unique<GroupBoxPeer>(*this, control);
    case Kind::Image: return std::make_unique<ImagePeer>(*this, control);
    case Kind::ProgressBar: return std::make_unique<ProgressBarPeer>(*this, control);
    case Kind::TreeView: return std::make_unique<TreeViewPeer>(*this, control);
    case Kind::Timer: break;  // no window: see buildTimer
    }
    return nullptr;
}

void Win32Backend::buildTimer(Timer& timer, HWND parentWindow) {
    // WM_TIMER goes to the window it was set on; the form's window hands it on.
    HWND form = GetAncestor(parentWindow, GA_ROOT);
    if (!form) return;
    auto peer = std::make_unique<TimerPeer>(timer, form, static_cast<UINT_PTR>(nextControlId()));
    timer.setPeer(peer.get());
    timers_.push_back(std::move(peer));
}

TimerPeer* Win32Backend::timerOf(HWND owner, UINT_PTR id) const {
    for (const auto& timer : timers_)
        if (timer->owner() == owner && timer->id() == id) return timer.get();
    return nullptr;
}

void Win32Backend::build(Control& control, HWND parentWindow) {
    if (control.kind() == Kind::Timer) {
        if (parentWindow) buildTimer(static_cast<Timer&>(control), parentWindow);
        return;
    }
    if (leftForLater(control)) {
        // Its window too: the form shows nothing of a hidden page.
        const HWND form = GetAncestor(parentWindow, GA_ROOT);
        pagesLeft_.push_back({form, &control, {{&control, false}}});
        SetPropA(form, kPendingProperty, reinterpret_cast<HANDLE>(1));
        return;
    }
    NativePeer* peer = makeWindow(control, parentWindow);
    if (!peer) return;
    for (Control* child : windowChildren(control)) build(*child, peer->childParent());
    peer->childrenCreated();
    peer->synchronize();
}

NativePeer* Win32Backend::makeWindow(Control& control, HWND parentWindow) {
    std::unique_ptr<NativePeer> owned = makePeer(control);
    NativePeer& peer = *owned;
    peers_.push_back(std::move(owned));
    peer.create(parentWindow);
    if (!peer.hwnd()) return nullptr;
    if (control.kind() == Kind::Form && !firstForm_) firstForm_ = peer.hwnd();
    return &peer;
}

std::vector<Control*> Win32Backend::windowChildren(const Control& control) {
    // Siblings in ascending tab order: a new child goes to the bottom of the
    // z-order, and the dialog manager tabs through the z-order.
    std::vector<Control*> children = control.children();
    children.erase(std::remove_if(children.begin(), children.end(),
                                  [](const Control* c) { return c->kind() == Kind::Form; }),
                   children.end());
    std::stable_sort(children.begin(), children.end(),
                     [](const Control* a, const Control* b) { return a->tabOrder() < b->tabOrder(); });
    return children;
}

bool Win32Backend::leftForLater(const Control& control) const {
    if (control.kind() != Kind::TabSheet) return false;
    const auto* pages = dynamic_cast<const PageControl*>(control.parent());
    if (!pages || std::find(laterPages_.begin(), laterPages_.end(), pages) == laterPages_.end())
        return false;
    const std::vector<Control*> sheets = pages->children();
    const auto at = std::find(sheets.begin(), sheets.end(), &control);
    return at != sheets.end() && at - sheets.begin() != pages->activePage() && &control != making_;
}

bool Win32Backend::buildStep(const Control& page) {
    auto find = [&] {
        return std::find_if(pagesLeft_.begin(), pagesLeft_.end(),
                            [&](const LeftPage& p) { return p.page == &page; });
    };
    auto left = find();
    if (left == pagesLeft_.end()) return false;
    const Step step = left->steps.front();
    left->steps.pop_front();
    // The entry may move from here on: making a window can leave more for later.
    Control& control = *step.control;
    if (step.finish) {
        // All its children made: what a container does then, as at once.
        if (NativePeer* peer = peerOf(windowOf(control))) {
            peer->childrenCreated();
            peer->synchronize();
        }
    } else if (NativePeer* parent = peerOf(windowOf(*control.parent()))) {
        making_ = &page;  // made now, not left for later again
        if (windowChildren(control).empty()) {
            build(control, parent->childParent());
        } else if (makeWindow(control, parent->childParent()) && (left = find()) != pagesLeft_.end()) {
            queueChildren(*left, control);
        }
        making_ = nullptr;
    }
    left = find();
    if (left != pagesLeft_.end() && left->steps.empty()) {
        const HWND form = left->form;
        pagesLeft_.erase(left);
        if (!hasPagesLeft(form)) RemovePropA(form, kPendingProperty);
    }
    return true;
}

void Win32Backend::queueChildren(LeftPage& left, Control& container) {
    // Next its children, then the container completed.
    const std::vector<Control*> children = windowChildren(container);
    left.steps.push_front({&container, true});
    for (auto child = children.rbegin(); child != children.rend(); ++child)
        left.steps.push_front({*child, false});
}

void Win32Backend::buildPage(const Control& page) {
    while (buildStep(page)) {
    }
}

bool Win32Backend::buildNextPage(HWND form) {
    for (const LeftPage& left : pagesLeft_)
        if (left.form == form) {
            buildStep(*left.page);
            break;
        }
    return hasPagesLeft(form);
}

bool Win32Backend::hasPagesLeft(HWND form) const {
    return std::any_of(pagesLeft_.begin(), pagesLeft_.end(),
                       [&](const LeftPage& p) { return p.form == form; });
}

void Win32Backend::realize(Form& form) {
    if (!windowOf(form)) build(form, nullptr);
}

void Win32Backend::run(Form& mainForm) {
    realize(mainForm);
    main_ = windowOf(mainForm);
    if (!mainForm.showing()) mainForm.show();
    MSG msg;
    while (main_ && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        // Tab, Shift+Tab and the other dialog keys within the active form.
        HWND active = GetActiveWindow();
        if (active && isForm(active) &&
            (formKey(active, msg) || tabKey(active, msg) || IsDialogMessageA(active, &msg)))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
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
        (SendMessageA(focus, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg)) &
         (DLGC_WANTARROWS | DLGC_WANTALLKEYS)))
        return false;
    NativePeer* peer = peerOf(form);
    return peer && static_cast<Form&>(peer->control()).keyDown(key);
}

bool Win32Backend::tabKey(HWND form, const MSG& msg) {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB) return false;
    if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return false;
    HWND focus = GetFocus();
    if (focus && (SendMessageA(focus, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg)) &
                  (DLGC_WANTTAB | DLGC_WANTALLKEYS)))
        return false;
    HWND target = tabTarget(form, focus && IsChild(form, focus) ? focus : nullptr,
                            GetKeyState(VK_SHIFT) < 0);
    if (!target || target == focus) return false;
    if (SendMessageA(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
        SendMessageA(target, EM_SETSEL, 0, -1);  // as the dialog manager does for edit boxes
    SetFocus(target);
    return true;
}

void Win32Backend::setApplicationTitle(const std::string& title) {
    title_ = title;
    if (application_) SetWindowTextA(application_, title_.c_str());
}

HWND Win32Backend::applicationWindow() {
    if (application_) return application_;
    // Where the forms are, at the screen's centre; with no size it shows
    // nothing but its task-bar entry.
    const DWORD style = WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX;
    application_ = CreateWindowExA(0, kApplicationClass, title_.c_str(), style,
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
        if (GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) continue;  // a tooltip
        if (GetActiveWindow() != h) SetActiveWindow(h);
        break;
    }
    activating_ = false;
}

LRESULT CALLBACK Win32Backend::applicationProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_NCCREATE)
        SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lp)->lpCreateParams));
    auto* self = reinterpret_cast<Win32Backend*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (msg == WM_NCDESTROY) {
        if (auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(RemovePropA(hwnd, kNameProperty))))
            GlobalDeleteAtom(atom);
        if (self && self->application_ == hwnd) self->application_ = nullptr;
    }
    if (!self || self->quiet_) return DefWindowProcA(hwnd, msg, wp, lp);
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
        if (main) PostMessageA(main, WM_CLOSE, 0, 0);
        return 0;
    }
    case WM_SETFOCUS:
        // Activated itself: by its task-bar entry, or because the form in
        // front was hidden. The input belongs to a form.
        self->activateTopWindow();
        return 0;
    default: break;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

void Win32Backend::setTooltip(HWND control, const std::string& text) {
    HWND form = GetAncestor(control, GA_ROOT);
    if (!form || form == control) return;
    auto known = tooltips_.find(form);
    HWND tip = known == tooltips_.end() ? nullptr : known->second;
    if (!tip) {
        if (text.empty()) return;
        // Owned by the form: it shows only while the form is active, and
        // goes with it.
        tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, form, nullptr,
                              instance_, nullptr);
        if (!tip) return;
        SetWindowSubclass(tip, tooltipProc, 1, 0);
        tooltips_[form] = tip;
    }
    // The size the common controls of every version take.
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = GetParent(control);
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    SendMessageA(tip, TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&tool));
    if (text.empty()) return;
    // The tooltip watches the control's own mouse messages.
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.lpszText = const_cast<char*>(text.c_str());
    SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
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
    SendMessageA(it->second, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

HWND Win32Backend::windowOf(const Control& control) const {
    auto* peer = dynamic_cast<NativePeer*>(control.peer());
    return peer ? peer->hwnd() : nullptr;
}

NativePeer* Win32Backend::peerOf(HWND hwnd) const {
    auto it = byWindow_.find(hwnd);
    return it == byWindow_.end() ? nullptr : it->second;
}

void Win32Backend::rescaleControls(const Form& form) {
    // Peers were made parents first, so a page control has its new size
    // before its pages are fitted into it.
    for (const auto& peer : peers_) {
        Control& control = peer->control();
        if (&control != &form && peer->hwnd() && control.form() == &form) peer->rescale();
    }
}

bool Win32Backend::isForm(HWND hwnd) const {
    NativePeer* peer = peerOf(hwnd);
    return peer && peer->control().kind() == Kind::Form;
}

HFONT Win32Backend::font(const Font& font, int dpi) { return this->font(font, dpi, DEFAULT_QUALITY); }

HFONT Win32Backend::font(const Font& font, int dpi, BYTE quality) {
    auto key = std::make_tuple(font.face, font.points, font.bold, font.underline, dpi, quality);
    auto it = fonts_.find(key);
    if (it != fonts_.end()) return it->second;
    LOGFONTA lf{};
    lf.lfHeight = -scaleFontHeight(font.points, dpi);  // the character height: 8 pt is 11 pixels at 96
    lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    lf.lfUnderline = font.underline ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = quality;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    std::strncpy(lf.lfFaceName, font.face.c_str(), LF_FACESIZE - 1);
    HFONT handle = CreateFontIndirectA(&lf);
    fonts_.emplace(key, handle);
    return handle;
}

SIZE Win32Backend::textSize(HFONT font, const std::string& text, UINT flags) {
    if (!measuring_) measuring_ = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(measuring_, font);
    RECT r{0, 0, 0, 0};
    DrawTextA(measuring_, text.c_str(), -1, &r, DT_CALCRECT | flags);
    SelectObject(measuring_, old);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

HBRUSH Win32Backend::brush(COLORREF color) {
    auto it = brushes_.find(color);
    if (it != brushes_.end()) return it->second;
    HBRUSH handle = CreateSolidBrush(color);
    brushes_.emplace(color, handle);
    return handle;
}

COLORREF Win32Backend::colorRef(const Color& color) {
    if (color.system) return GetSysColor(sysColorIndex(color.sys));
    return RGB(color.r, color.g, color.b);
}

std::array<std::uint8_t, 3> Win32Backend::systemColor(SysColor color) {
    const COLORREF c = GetSysColor(sysColorIndex(color));
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

}  // namespace qn::ui
