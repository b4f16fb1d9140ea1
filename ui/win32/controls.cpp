// Peers of the simple controls: labels, check boxes, edit boxes, combo and
// list boxes, the status bar and the progress bar (buttons: button.cpp).
#include <algorithm>

#include "ui/win32/peers.h"
#include "ui/win32/win32_backend.h"

namespace qn::ui {

// --- Label: a STATIC that reports clicks, sized to its text when the layout
// gives it no size.

NativePeer::Creation LabelPeer::creation() const {
    return {L"STATIC", SS_LEFTNOWORDWRAP | SS_NOTIFY, 0};
}

bool LabelPeer::onCommand(int code) {
    // A double click's second press is no second click of a label.
    if (code == STN_CLICKED) static_cast<Label&>(control()).click();
    return true;
}

bool LabelPeer::handle(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    // A label the keyboard reaches (a link) is pressed by Enter or Space and
    // shows a focus mark round its text while it has the focus.
    if (!control().tabStop()) return false;
    switch (msg) {
    case WM_GETDLGCODE: result = dialogCodeTaking(wp, lp, {VK_RETURN}); return true;
    case WM_KEYDOWN:
        if (wp != VK_RETURN && wp != VK_SPACE) return false;
        if (!(lp & (LPARAM(1) << 30))) static_cast<Label&>(control()).click();
        result = 0;
        return true;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_UPDATEUISTATE: repaint(true); return false;
    case WM_PAINT: {
        result = callOriginal(msg, wp, lp);
        const auto cues = SendMessageW(hwnd(), WM_QUERYUISTATE, 0, 0);
        if (GetFocus() != hwnd() || (cues & UISF_HIDEFOCUS)) return true;
        RECT r;
        GetClientRect(hwnd(), &r);
        HDC dc = GetDC(hwnd());
        DrawFocusRect(dc, &r);
        ReleaseDC(hwnd(), dc);
        return true;
    }
    default: return false;
    }
}

void LabelPeer::update(Property property, int index) {
    NativePeer::update(property, index);
    if ((property == Property::Caption || property == Property::Font) && autoSized()) fitText();
}

bool LabelPeer::autoSized() const {
    const Rect& b = control().bounds();
    return b.width == 0 && b.height == 0;
}

SIZE LabelPeer::textSize() const {
    // An empty label keeps the height of one line.
    const std::string& caption = control().caption();
    return backend().textSize(font(), caption.empty() ? " " : caption, DT_EXPANDTABS);
}

Rect LabelPeer::createdRect() const {
    Rect r = scaledPlacement();
    if (autoSized()) {
        const SIZE size = textSize();
        r.width = size.cx;
        r.height = size.cy;
    }
    return r;
}

void LabelPeer::fitText() {
    const SIZE size = textSize();
    RECT now;
    GetWindowRect(hwnd(), &now);
    if (now.right - now.left == size.cx && now.bottom - now.top == size.cy) return;
    SetWindowPos(hwnd(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// --- CheckBox: not automatic; the model toggles and the window follows.

NativePeer::Creation CheckBoxPeer::creation() const { return {L"BUTTON", BS_CHECKBOX, 0}; }

bool CheckBoxPeer::onCommand(int code) {
    if (code == BN_CLICKED && !mirroring()) static_cast<CheckBox&>(control()).click();
    return true;
}

void CheckBoxPeer::update(Property property, int index) {
    NativePeer::update(property, index);
    if (property == Property::Checked) {
        const bool on = static_cast<CheckBox&>(control()).checked();
        SendMessageW(hwnd(), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

// --- Edit: what the user types becomes the model's text.

NativePeer::Creation EditPeer::creation() const {
    auto& edit = static_cast<Edit&>(control());
    DWORD style = ES_LEFT | ES_AUTOHSCROLL;
    if (edit.readOnly()) style |= ES_READONLY;
    if (edit.lowerCase()) style |= ES_LOWERCASE;
    return {L"EDIT", style, WS_EX_CLIENTEDGE};
}

void EditPeer::update(Property property, int index) {
    if (property != Property::Caption) {
        NativePeer::update(property, index);
        return;
    }
    // The user's own typing comes back unchanged and leaves the caret be.
    if (windowText() == control().caption()) return;
    setText(control().caption());
    if (!static_cast<Edit&>(control()).typedAfter()) return;
    const auto end = static_cast<WPARAM>(GetWindowTextLengthW(hwnd()));
    SendMessageW(hwnd(), EM_SETSEL, end, static_cast<LPARAM>(end));
}

bool EditPeer::onCommand(int code) {
    if (code == EN_CHANGE && !mirroring()) static_cast<Edit&>(control()).setText(windowText());
    return true;
}

bool EditPeer::handle(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_GETDLGCODE:
        // Enter and Escape are the box's own keys where it has a use for
        // them; otherwise they press the dialog's buttons.
        result = static_cast<Edit&>(control()).onKeyPress ? dialogCodeTaking(wp, lp, {VK_RETURN, VK_ESCAPE})
                                                          : callOriginal(msg, wp, lp);
        return true;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
        // F4 or Alt+Down asks for what the box chooses from.
        auto& edit = static_cast<Edit&>(control());
        const bool alt = msg == WM_SYSKEYDOWN;
        if (!edit.onDropDown || (alt ? wp != VK_DOWN : wp != VK_F4)) return false;
        if (!(lp & (LPARAM(1) << 30))) edit.dropDown();
        result = 0;
        return true;
    }
    case WM_CHAR:
        if (wp != '\r' && wp != 0x1b) return false;
        // Not passed on: a one-line box has no use for them but a beep.
        static_cast<Edit&>(control()).keyPress(static_cast<char>(wp));
        result = 0;
        return true;
    default: return false;
    }
}

// --- ComboBox: a drop-down list; only the user's choice runs the handler.

std::string ComboBoxPeer::shownText() const {
    std::string all;
    for (const std::string& t : static_cast<ComboBox&>(control()).items()) all += t;
    return all;
}

NativePeer::Creation ComboBoxPeer::creation() const {
    return {L"COMBOBOX", CBS_DROPDOWNLIST | WS_VSCROLL, 0};
}

Rect ComboBoxPeer::placement() const {
    Rect r = control().bounds();
    r.height += 160;  // the window's height includes its dropped-down list
    return r;
}

bool ComboBoxPeer::onCommand(int code) {
    if (code == CBN_SELCHANGE && !mirroring()) {
        const auto index = static_cast<int>(SendMessageW(hwnd(), CB_GETCURSEL, 0, 0));
        static_cast<ComboBox&>(control()).userSelect(index);
    }
    return true;
}

void ComboBoxPeer::update(Property property, int index) {
    auto& combo = static_cast<ComboBox&>(control());
    switch (property) {
    case Property::Font: {
        NativePeer::update(property, index);
        // The closed box takes its height from the item height: make it the
        // layout's. Wine reports the item height two pixels above what was
        // set, so correct by what the window measures rather than trust it.
        const int wanted = scaleRect(combo.bounds(), dpi()).height;
        int item = static_cast<int>(SendMessageW(hwnd(), CB_GETITEMHEIGHT, WPARAM(-1), 0));
        for (int attempt = 0; attempt < 3; ++attempt) {
            RECT r;
            GetWindowRect(hwnd(), &r);
            const int error = wanted - (r.bottom - r.top);
            if (error == 0 || item + error <= 0) break;
            item += error;
            SendMessageW(hwnd(), CB_SETITEMHEIGHT, WPARAM(-1), item);
        }
        break;
    }
    case Property::Items:
        SendMessageW(hwnd(), CB_RESETCONTENT, 0, 0);
        for (const std::string& item : combo.items())
            SendMessageW(hwnd(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(item).c_str()));
        SendMessageW(hwnd(), CB_SETCURSEL, WPARAM(combo.itemIndex()), 0);
        break;
    case Property::ItemIndex:
        SendMessageW(hwnd(), CB_SETCURSEL, WPARAM(combo.itemIndex()), 0);
        break;
    default: NativePeer::update(property, index);
    }
}

// --- ListBox: fixed item height from the layout.

std::string ListBoxPeer::shownText() const {
    std::string all;
    for (const std::string& t : static_cast<ListBox&>(control()).items()) all += t;
    return all;
}

NativePeer::Creation ListBoxPeer::creation() const {
    return {L"LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL, WS_EX_CLIENTEDGE};
}

bool ListBoxPeer::onCommand(int code) {
    if (code == LBN_SELCHANGE && !mirroring()) {
        const auto index = static_cast<int>(SendMessageW(hwnd(), LB_GETCURSEL, 0, 0));
        static_cast<ListBox&>(control()).userSelect(index);
    }
    return true;
}

void ListBoxPeer::update(Property property, int index) {
    auto& list = static_cast<ListBox&>(control());
    switch (property) {
    case Property::Font:
        NativePeer::update(property, index);
        // Setting the font resets the item height to the font's.
        SendMessageW(hwnd(), LB_SETITEMHEIGHT, 0, scaleLength(list.itemHeight(), dpi()));
        break;
    case Property::Items:
        SendMessageW(hwnd(), LB_RESETCONTENT, 0, 0);
        for (const std::string& item : list.items())
            SendMessageW(hwnd(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(item).c_str()));
        SendMessageW(hwnd(), LB_SETCURSEL, WPARAM(list.itemIndex()), 0);
        break;
    case Property::ItemIndex:
        SendMessageW(hwnd(), LB_SETCURSEL, WPARAM(list.itemIndex()), 0);
        break;
    default: NativePeer::update(property, index);
    }
}

// --- StatusBar: the layout's size, one part per panel, the last to the end.

std::string StatusBarPeer::shownText() const {
    const auto& bar = static_cast<StatusBar&>(control());
    std::string all;
    for (int i = 0; i < bar.panelCount(); ++i) all += bar.panelText(i);
    return all;
}

NativePeer::Creation StatusBarPeer::creation() const {
    return {STATUSCLASSNAMEW, CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER, 0};
}

void StatusBarPeer::update(Property property, int index) {
    auto& bar = static_cast<StatusBar&>(control());
    if (property != Property::Panels) {
        NativePeer::update(property, index);
        return;
    }
    if (index >= 0 && index < bar.panelCount()) {
        setPanelText(index);
        if (index + 1 < bar.panelCount()) setEdges();  // a longer text may need a wider panel
        return;
    }
    setEdges();
    for (int i = 0; i < bar.panelCount(); ++i) setPanelText(i);
}

std::vector<int> StatusBarPeer::edges() const {
    auto& bar = static_cast<StatusBar&>(control());
    std::vector<int> edges;
    int right = 0, layoutRight = 0, scaledRight = 0;
    for (int i = 0; i + 1 < bar.panelCount(); ++i) {
        layoutRight += bar.panelWidth(i);
        const int declared = scaleLength(layoutRight, dpi()) - scaledRight;
        scaledRight += declared;
        // The bar draws a panel's text inside its border and a margin.
        const int needed = backend().textSize(font(), bar.panelText(i), DT_SINGLELINE | DT_NOPREFIX).cx +
                           scaleLength(6, dpi());
        right += std::max(declared, needed);
        edges.push_back(right);
    }
    edges.push_back(-1);
    return edges;
}

void StatusBarPeer::setEdges() {
    const std::vector<int> wanted = edges();
    std::vector<int> current(wanted.size());
    const auto shown = static_cast<size_t>(
        SendMessageW(hwnd(), SB_GETPARTS, current.size(), reinterpret_cast<LPARAM>(current.data())));
    if (shown == wanted.size() && current == wanted) return;
    SendMessageW(hwnd(), SB_SETPARTS, wanted.size(), reinterpret_cast<LPARAM>(wanted.data()));
}

void StatusBarPeer::rescale() {
    NativePeer::rescale();
    Mirror mirror(*this);
    update(Property::Panels, -1);
}

void StatusBarPeer::setPanelText(int panel) {
    const std::string& text = static_cast<StatusBar&>(control()).panelText(panel);
    SendMessageW(hwnd(), SB_SETTEXTW, WPARAM(panel), reinterpret_cast<LPARAM>(wide(text).c_str()));
}

// --- ProgressBar: holds the pointer while the left button is down, so
// the model keeps hearing of moves outside the bar.

NativePeer::Creation ProgressBarPeer::creation() const { return {PROGRESS_CLASSW, 0, 0}; }

void ProgressBarPeer::update(Property property, int index) {
    if (property != Property::Position) {
        NativePeer::update(property, index);
        return;
    }
    auto& bar = static_cast<ProgressBar&>(control());
    SendMessageW(hwnd(), PBM_SETRANGE32, 0, std::max(bar.maximum(), 0));
    SendMessageW(hwnd(), PBM_SETPOS, WPARAM(bar.position()), 0);
}

bool ProgressBarPeer::handle(UINT msg, WPARAM, LPARAM, LRESULT&) {
    if (msg == WM_LBUTTONDOWN) SetCapture(hwnd());
    if (msg == WM_LBUTTONUP && GetCapture() == hwnd()) ReleaseCapture();
    return false;
}

}  // namespace qn::ui
