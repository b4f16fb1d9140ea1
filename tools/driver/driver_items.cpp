// Commands on tree views, combo and list boxes, and tab controls.
#include "tools/driver/driver.h"

#include <algorithm>

namespace qndriver {

namespace {

// ---- tree views ----------------------------------------------------------------

// The items a tree view shows, top to bottom (those under a closed item are
// not shown), by handle.
std::vector<HTREEITEM> tvShown(HWND tv) {
    std::vector<HTREEITEM> items;
    auto item = reinterpret_cast<HTREEITEM>(sendOrFail(tv, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    while (item) {
        items.push_back(item);
        item = reinterpret_cast<HTREEITEM>(
            sendOrFail(tv, TVM_GETNEXTITEM, TVGN_NEXTVISIBLE, reinterpret_cast<LPARAM>(item)));
    }
    return items;
}

// One line per shown item: "*" for the selected one, else "-"; "+" for an
// open item, ">" for one that offers to open, else " "; then the text,

// Combo boxes and list boxes answer the same questions with different messages.
struct ItemMessages {
    UINT count, curSel, textLen, text, setCurSel, getSel;
    WORD selChange;
};
const ItemMessages kComboMessages{CB_GETCOUNT, CB_GETCURSEL, CB_GETLBTEXTLEN, CB_GETLBTEXT, CB_SETCURSEL, 0,
                                  CBN_SELCHANGE};
const ItemMessages kListMessages{LB_GETCOUNT, LB_GETCURSEL, LB_GETTEXTLEN, LB_GETTEXT, LB_SETCURSEL, LB_GETSEL,
                                 LBN_SELCHANGE};

const ItemMessages& itemMessages(HWND control) {
    if (isClass(control, WC_COMBOBOXA)) return kComboMessages;
    if (isClass(control, "ListBox")) return kListMessages;
    fail(kFailed, "control is not a combo box or list box (class " + className(control) + ")");
}

}  // namespace

void cmdTree(const Args& a) {
    HWND tv = findControl(findWindow(a[0], g_findTimeout), a[1]);
    expectClass(tv, WC_TREEVIEWA, "tree view");
    Remote mem(tv);
    const auto selected = reinterpret_cast<HTREEITEM>(sendOrFail(tv, TVM_GETNEXTITEM, TVGN_CARET, 0));
    for (HTREEITEM h : tvShown(tv)) {
        TVITEMW item{};
        item.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_STATE | TVIF_CHILDREN;
        item.hItem = h;
        item.stateMask = TVIS_EXPANDED;
        item.pszText = mem.textAt();
        item.cchTextMax = Remote::kTextChars;
        mem.put(item);
        mem.clearText();
        sendOrFail(tv, TVM_GETITEMW, 0, mem.addr(0));
        item = mem.get<TVITEMW>();
        int depth = 0;
        for (auto p = h; (p = reinterpret_cast<HTREEITEM>(
                              sendOrFail(tv, TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(p))));)
            ++depth;
        const char* open = (item.state & TVIS_EXPANDED) ? "+" : item.cChildren ? ">" : " ";
        outLine(std::string(h == selected ? "*" : "-") + "\t" + open + "\t" + std::string(depth * 2, ' ') +
                escaped(item.pszText ? mem.string(item.pszText) : ""));
    }
}

// Selects the index-th shown item, as the user's arrows would, and brings
// it into view.
void cmdTreeSelect(const Args& a) {
    HWND tv = findControl(findWindow(a[0], g_findTimeout), a[1]);
    expectClass(tv, WC_TREEVIEWA, "tree view");
    const int index = parseInt(a[2], "index");
    const std::vector<HTREEITEM> shown = tvShown(tv);
    if (index < 0 || index >= static_cast<int>(shown.size())) fail(kFailed, "no such item");
    sendOrFail(tv, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(shown[index]));
    sendOrFail(tv, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(shown[index]));
}


void cmdCombo(const Args& a) {
    HWND cb = findControl(findWindow(a[0], g_findTimeout), a[1]);
    const ItemMessages& m = itemMessages(cb);
    int n = static_cast<int>(sendOrFail(cb, m.count, 0, 0));
    int sel = static_cast<int>(sendOrFail(cb, m.curSel, 0, 0));
    for (int i = 0; i < n; ++i) {
        // Wine hands CB_GETLBTEXT and LB_GETTEXT from another process back as
        // UTF-16 even when sent as ANSI, so ask in UTF-16 and convert here.
        int len = static_cast<int>(sendOrFail(cb, m.textLen, i, 0));
        std::vector<wchar_t> wide(len > 0 ? len + 1 : 1, L'\0');
        DWORD_PTR got = 0;
        if (!SendMessageTimeoutW(cb, m.text, i, reinterpret_cast<LPARAM>(wide.data()),
                                 SMTO_NORMAL | SMTO_ABORTIFHUNG, kMessageTimeout, &got))
            fail(kFailed, "no answer to the item text message");
        // A multiple-selection list box has no single current selection.
        bool selected = m.getSel ? sendOrFail(cb, m.getSel, i, 0) > 0 : i == sel;
        outLine(std::string(selected ? "*" : "-") + "\t" + escaped(narrow(wide.data())));
    }
}

void cmdComboSelect(const Args& a) {
    HWND top = findWindow(a[0], g_findTimeout);
    HWND cb = findControl(top, a[1]);
    const ItemMessages& m = itemMessages(cb);
    requireClickable(top, cb);
    int index = parseInt(a[2], "index");
    int n = static_cast<int>(sendOrFail(cb, m.count, 0, 0));
    if (index < 0 || index >= n) fail(kFailed, "index " + a[2] + " out of range (" + std::to_string(n) + " items)");
    sendOrFail(cb, m.setCurSel, index, 0);
    // Setting the selection notifies nobody; a user's choice sends SELCHANGE.
    HWND parent = GetParent(cb);
    post(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(cb), m.selChange), reinterpret_cast<LPARAM>(cb));
    settle(parent, 1);
}

void cmdTab(const Args& a) {
    HWND tc = findControl(findWindow(a[0], g_findTimeout), a[1]);
    expectClass(tc, WC_TABCONTROLA, "tab control");
    Remote mem(tc);
    int n = static_cast<int>(sendOrFail(tc, TCM_GETITEMCOUNT, 0, 0));
    int sel = static_cast<int>(sendOrFail(tc, TCM_GETCURSEL, 0, 0));
    for (int i = 0; i < n; ++i) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = mem.textAt();
        item.cchTextMax = Remote::kTextChars;
        mem.put(item);
        mem.clearText();
        sendOrFail(tc, TCM_GETITEMW, i, mem.addr(0));
        item = mem.get<TCITEMW>();
        outLine(std::string(i == sel ? "*" : "-") + "\t" + escaped(item.pszText ? mem.string(item.pszText) : ""));
    }
}

void cmdTabSelect(const Args& a) {
    HWND top = findWindow(a[0], g_findTimeout);
    HWND tc = findControl(top, a[1]);
    expectClass(tc, WC_TABCONTROLA, "tab control");
    requireClickable(top, tc);
    int index = parseInt(a[2], "index");
    int n = static_cast<int>(sendOrFail(tc, TCM_GETITEMCOUNT, 0, 0));
    if (index < 0 || index >= n) fail(kFailed, "tab " + a[2] + " out of range (" + std::to_string(n) + " tabs)");
    // Click the tab itself, so the target gets TCN_SELCHANGING and TCN_SELCHANGE.
    Remote mem(tc);
    if (!sendOrFail(tc, TCM_GETITEMRECT, index, mem.addr(0))) fail(kFailed, "tab " + a[2] + " is not shown (scrolled out of view?)");
    RECT r = mem.get<RECT>();
    postClick(tc, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}, false);
}

}  // namespace qndriver
