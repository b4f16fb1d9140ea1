// Making the native windows of the controls: a peer per control, made
// parents first, and the lookups from a window back to its peer.
#include "ui/win32/win32_backend.h"

#include <algorithm>

#include "ui/win32/native_backend.h"
#include "ui/win32/form_peer.h"
#include "ui/win32/list_view_peer.h"
#include "ui/win32/tree_view_peer.h"

namespace qn::ui {

namespace {

void registerClasses(HINSTANCE instance, WNDPROC applicationProc) {
    // Plain windows: all their behaviour comes from their peers.
    WNDCLASSW wc{};
    wc.lpfnWndProc = NativePeer::windowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    for (const wchar_t* name : {kPageClass, kPanelClass, kImageClass}) {
        wc.lpszClassName = name;
        RegisterClassW(&wc);  // a second backend finds them registered already
    }
    wc.lpszClassName = kFormClass;
    // The program's own icon (resource 1), where the program carries one.
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    if (!wc.hIcon) wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    RegisterClassW(&wc);
    wc.lpszClassName = kApplicationClass;
    wc.lpfnWndProc = applicationProc;
    RegisterClassW(&wc);
}

}  // namespace

std::unique_ptr<Backend> makeWin32Backend() { return std::make_unique<Win32Backend>(); }

Win32Backend::Win32Backend() : instance_(GetModuleHandleW(nullptr)) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    registerClasses(instance_, applicationProc);
    nameRequest_ = RegisterWindowMessageA(kNameRequestMessage);
}

void Win32Backend::nameControls() {
    for (const auto& peer : peers_) peer->giveName();
}

Win32Backend::~Win32Backend() {
    // The controls may be gone already: take the windows down without
    // telling the model, then drop the peers.
    quiet_ = true;
    timers_.clear();
    for (const auto& peer : peers_) {
        HWND hwnd = peer->hwnd();
        if (hwnd && !(GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD)) DestroyWindow(hwnd);
    }
    peers_.clear();
    if (application_) DestroyWindow(application_);
    // The fonts, brushes and measuring context go with the members.
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

void Win32Backend::realize(Form& form) {
    if (!windowOf(form)) build(form, nullptr);
}

HWND Win32Backend::windowOf(const Control& control) const {
    auto* peer = dynamic_cast<NativePeer*>(control.peer());
    return peer ? peer->hwnd() : nullptr;
}

NativePeer* Win32Backend::peerOf(HWND hwnd) const {
    return NativePeer::of(hwnd);
}

void Win32Backend::rescaleControls(const Form& form) {
    // Peers were made parents first, so a page control has its new size
    // before its pages are fitted into it.
    for (const auto& peer : peers_) {
        Control& control = peer->control();
        if (&control != &form && peer->hwnd() && control.form() == &form) peer->rescale();
    }
}

void Win32Backend::recolor(const Form& form) {
    for (const auto& peer : peers_) {
        Control& control = peer->control();
        if (&control == &form || !peer->hwnd() || control.form() != &form) continue;
        // The common controls keep colours of their own and hear of a new
        // scheme only from their parent.
        SendMessageW(peer->hwnd(), WM_SYSCOLORCHANGE, 0, 0);
        peer->recolor();
    }
}

bool Win32Backend::isForm(HWND hwnd) const {
    NativePeer* peer = peerOf(hwnd);
    return peer && peer->control().kind() == Kind::Form;
}

}  // namespace qn::ui
