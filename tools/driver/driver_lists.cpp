// Commands on list views, status bars and input: rows, clicks and keys.
#include "tools/driver/driver.h"

#include <algorithm>

namespace qndriver {

int lvCount(HWND lv) { return static_cast<int>(sendOrFail(lv, LVM_GETITEMCOUNT, 0, 0)); }

int lvColumnCount(HWND lv) {
    HWND header = reinterpret_cast<HWND>(sendOrFail(lv, LVM_GETHEADER, 0, 0));
    if (!header) return 1;
    int n = static_cast<int>(sendOrFail(header, HDM_GETITEMCOUNT, 0, 0));
    return n > 0 ? n : 1;
}

std::string lvText(Remote& mem, HWND lv, int row, int col) {
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = col;
    item.pszText = mem.textAt();
    item.cchTextMax = Remote::kTextChars;
    mem.put(item);
    mem.clearText();
    sendOrFail(lv, LVM_GETITEMTEXTW, row, mem.addr(0));
    // The control may point pszText at its own copy; read whatever it names.
    LVITEMW back = mem.get<LVITEMW>();
    return back.pszText ? mem.string(back.pszText) : std::string();
}

int checkedRow(HWND lv, const std::string& s) {
    int row = parseInt(s, "row");
    int n = lvCount(lv);
    if (row < 0 || row >= n) fail(kFailed, "row " + s + " out of range (" + std::to_string(n) + " rows)");
    return row;
}

POINT lvRowCentre(HWND lv, int row) {
    Remote mem(lv);
    RECT r{};
    r.left = LVIR_LABEL;  // the label always hits the item, full-row select or not
    mem.put(r);
    sendOrFail(lv, LVM_ENSUREVISIBLE, row, FALSE);
    if (!sendOrFail(lv, LVM_GETITEMRECT, row, mem.addr(0))) fail(kFailed, "no rectangle for row");
    r = mem.get<RECT>();
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

POINT centre(HWND control) {
    RECT r;
    GetClientRect(control, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void postClick(HWND control, POINT p, bool dbl) {
    LPARAM at = MAKELPARAM(p.x, p.y);
    post(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
    post(control, WM_LBUTTONUP, 0, at);
    if (dbl) {
        post(control, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        post(control, WM_LBUTTONUP, 0, at);
    }
    settle(control, dbl ? 4 : 2);
}

void cmdText(const Args& a) {
    HWND top = findWindow(a[0], g_findTimeout);
    outLine(windowText(findControl(top, a[1])));
}

// A box's whole text replaced, as a user's paste over it would: the box
// tells its parent of the change itself.
void cmdSetText(const Args& a) {
    HWND top = findWindow(a[0], g_findTimeout);
    HWND box = findControl(top, a[1]);
    requireClickable(top, box);
    const std::wstring text = wide(a[2]);
    if (!sendOrFail(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())))
        fail(kFailed, "the control refused the text");
    settle(box, 0);
}

void cmdRows(const Args& a) {
    HWND lv = findControl(findWindow(a[0], g_findTimeout), a[1]);
    expectClass(lv, WC_LISTVIEWA, "list view");
    Remote mem(lv);
    int rows = lvCount(lv), cols = lvColumnCount(lv);
    for (int r = 0; r < rows; ++r) {
        DWORD_PTR state = sendOrFail(lv, LVM_GETITEMSTATE, r, LVIS_SELECTED);
        std::string line = (state & LVIS_SELECTED) ? "*" : "-";
        for (int c = 0; c < cols; ++c) line += "\t" + escaped(lvText(mem, lv, r, c));
        outLine(line);
    }
}

void cmdColumns(const Args& a) {
    HWND lv = findControl(findWindow(a[0], g_findTimeout), a[1]);
    expectClass(lv, WC_LISTVIEWA, "list view");
    Remote mem(lv);
    for (int i = 0;; ++i) {
        LVCOLUMNW col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH;
        col.pszText = mem.textAt();
        col.cchTextMax = Remote::kTextChars;
        mem.put(col);
        mem.clearText();
        if (!sendOrFail(lv, LVM_GETCOLUMNW, i, mem.addr(0))) break;
        col = mem.get<LVCOLUMNW>();
        outLine(std::to_string(col.cx) + "\t" + escaped(col.pszText ? mem.string(col.pszText) : ""));
    }
}

void cmdPanels(const Args& a) {
    HWND sb = findControl(findWindow(a[0], g_findTimeout), a[1]);
    expectClass(sb, STATUSCLASSNAMEA, "status bar");
    Remote mem(sb);
    const int kMaxParts = 256;
    int n = static_cast<int>(sendOrFail(sb, SB_GETPARTS, kMaxParts, mem.addr(0)));
    std::vector<int> rights(n > 0 ? n : 0);
    if (n > 0) mem.read(mem.at(0), rights.data(), n * sizeof(int));
    for (int i = 0; i < n; ++i) {
        mem.clearText();
        sendOrFail(sb, SB_GETTEXTW, i, mem.addr(Remote::kText));
        outLine(std::to_string(rights[i]) + "\t" + escaped(mem.string(mem.at(Remote::kText))));
    }
}

void cmdSelect(const Args& a) {
    HWND top = findWindow(a[0], g_findTimeout);
    HWND lv = findControl(top, a[1]);
    expectClass(lv, WC_LISTVIEWA, "list view");
    requireClickable(top, lv);
    int row = checkedRow(lv, a[2]);
    Remote mem(lv);
    // As a click does: the old selection goes first, then the row is selected
    // and focused; the target sees LVN_ITEMCHANGED for each change.
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED;
    item.state = 0;
    mem.put(item);
    sendOrFail(lv, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), mem.addr(0));
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    mem.put(item);
    if (!sendOrFail(lv, LVM_SETITEMSTATE, row, mem.addr(0))) fail(kFailed, "the list view refused the selection");
    sendOrFail(lv, LVM_ENSUREVISIBLE, row, FALSE);
}

void cmdClick(const Args& a) {
    HWND top = findWindow(a[0], g_findTimeout);
    HWND c = findControl(top, a[1]);
    requireClickable(top, c);
    if (a.size() > 2) {
        expectClass(c, WC_LISTVIEWA, "list view");
        postClick(c, lvRowCentre(c, checkedRow(c, a[2])), false);
    } else if (isClass(c, "Button")) {
        post(c, BM_CLICK, 0, 0);
        settle(c, 1);
    } else {
        postClick(c, centre(c), false);
    }
}

void cmdRowPoint(const Args& a) {
    HWND top = findWindow(a[0], g_findTimeout);
    HWND lv = findControl(top, a[1]);
    expectClass(lv, WC_LISTVIEWA, "list view");
    POINT p = lvRowCentre(lv, checkedRow(lv, a[2]));
    ClientToScreen(lv, &p);
    outLine(std::to_string(p.x) + " " + std::to_string(p.y));
}

void cmdDblclick(const Args& a) {
    HWND top = findWindow(a[0], g_findTimeout);
    HWND lv = findControl(top, a[1]);
    expectClass(lv, WC_LISTVIEWA, "list view");
    requireClickable(top, lv);
    postClick(lv, lvRowCentre(lv, checkedRow(lv, a[2])), true);
}

void cmdHover(const Args& a) {
    HWND top = findWindow(a[0], g_findTimeout);
    HWND c = findControl(top, a[1]);
    POINT p = centre(c);
    post(c, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
    settle(c, 1);
}

// A key pressed and released on a control, through the target's message loop
// as the keyboard's would be (its dialog keys included); for when the X
// keyboard focus cannot be relied on.
void cmdKey(const Args& a) {
    struct { const char* name; WPARAM vk; } keys[] = {
        {"Return", VK_RETURN}, {"Escape", VK_ESCAPE}, {"Tab", VK_TAB}, {"Space", VK_SPACE},
        {"Up", VK_UP}, {"Down", VK_DOWN}, {"Left", VK_LEFT}, {"Right", VK_RIGHT},
        {"Home", VK_HOME}, {"End", VK_END}, {"Add", VK_ADD}, {"Subtract", VK_SUBTRACT}};
    WPARAM vk = 0;
    for (const auto& k : keys)
        if (a[2] == k.name) vk = k.vk;
    if (!vk) fail(kUsage, "unknown key '" + a[2] + "'");
    HWND top = findWindow(a[0], g_findTimeout);
    HWND c = findControl(top, a[1]);
    requireClickable(top, c);
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(static_cast<UINT>(vk), 0)) << 16;
    post(c, WM_KEYDOWN, vk, scan | 1);
    post(c, WM_KEYUP, vk, scan | 1 | (LPARAM(3) << 30));
    settle(c, 2);
}

}  // namespace qndriver
