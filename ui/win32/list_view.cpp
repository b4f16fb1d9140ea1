// The report-view list: rows and their selection mirrored from the model,
// and selection changes made by anyone but the backend fed back into it.
#include "ui/win32/peers.h"
#include "ui/win32/win32_backend.h"

namespace qn::ui {

namespace {
constexpr UINT kRowSelected = LVIS_SELECTED | LVIS_FOCUSED;
}

NativePeer::Creation ListViewPeer::creation() const {
    return {WC_LISTVIEWA, LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
            WS_EX_CLIENTEDGE};
}

HWND ListViewPeer::createWindow(HWND parent) {
    HWND hwnd = NativePeer::createWindow(parent);
    if (!hwnd) return hwnd;
    int index = 0;
    for (const ListView::Column& column : list().columns()) {
        LVCOLUMNA c{};
        c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        c.pszText = const_cast<char*>(column.caption.c_str());
        c.cx = scaleLength(column.width, dpi());
        c.iSubItem = index;
        SendMessageA(hwnd, LVM_INSERTCOLUMNA, WPARAM(index), reinterpret_cast<LPARAM>(&c));
        ++index;
    }
    return hwnd;
}

void ListViewPeer::rescale() {
    NativePeer::rescale();
    const std::vector<ListView::Column>& columns = list().columns();
    for (size_t i = 0; i < columns.size(); ++i)
        SendMessageA(hwnd(), LVM_SETCOLUMNWIDTH, WPARAM(i), scaleLength(columns[i].width, dpi()));
}

void ListViewPeer::update(Property property, int index) {
    switch (property) {
    case Property::Rows: syncRows(); break;
    case Property::RowState:
        if (index >= 0) {
            syncRowState(index);
        } else {
            for (int row = 0; row < list().rowCount(); ++row) syncRowState(row);
        }
        break;
    case Property::HotTrack:
        // The entry under a resting pointer gets selected, as by a click.
        SendMessageA(hwnd(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_TRACKSELECT,
                     list().hotTrack() ? LVS_EX_TRACKSELECT : 0);
        break;
    case Property::Font:
    case Property::Color:
        NativePeer::update(property, index);
        syncColors();
        break;
    default: NativePeer::update(property, index);
    }
}

void ListViewPeer::syncColors() {
    const COLORREF back = background(COLOR_WINDOW);
    SendMessageA(hwnd(), LVM_SETBKCOLOR, 0, back);
    SendMessageA(hwnd(), LVM_SETTEXTBKCOLOR, 0, back);
    SendMessageA(hwnd(), LVM_SETTEXTCOLOR, 0, Win32Backend::colorRef(control().font().color));
    InvalidateRect(hwnd(), nullptr, TRUE);
}

void ListViewPeer::syncRows() {
    // The model only appends rows or clears them all: append what is new,
    // or start over when there are fewer.
    int have = static_cast<int>(SendMessageA(hwnd(), LVM_GETITEMCOUNT, 0, 0));
    if (list().rowCount() < have) {
        SendMessageA(hwnd(), LVM_DELETEALLITEMS, 0, 0);
        have = 0;
    }
    for (int row = have; row < list().rowCount(); ++row) insertRow(row);
}

void ListViewPeer::insertRow(int row) {
    const std::vector<std::string>& cells = list().row(row);
    LVITEMA item{};
    item.mask = LVIF_TEXT | LVIF_STATE;
    item.iItem = row;
    item.pszText = const_cast<char*>(cells.empty() ? "" : cells[0].c_str());
    item.stateMask = kRowSelected;
    item.state = list().isSelected(row) ? kRowSelected : 0;
    SendMessageA(hwnd(), LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    for (size_t column = 1; column < cells.size(); ++column) {
        LVITEMA sub{};
        sub.iSubItem = static_cast<int>(column);
        sub.pszText = const_cast<char*>(cells[column].c_str());
        SendMessageA(hwnd(), LVM_SETITEMTEXTA, WPARAM(row), reinterpret_cast<LPARAM>(&sub));
    }
}

void ListViewPeer::syncRowState(int row) {
    if (row >= list().rowCount()) return;
    const bool selected = list().isSelected(row);
    const bool shown = SendMessageA(hwnd(), LVM_GETITEMSTATE, WPARAM(row), LVIS_SELECTED) != 0;
    if (selected == shown) return;
    LVITEMA item{};
    item.stateMask = selected ? kRowSelected : LVIS_SELECTED;
    item.state = selected ? kRowSelected : 0;
    SendMessageA(hwnd(), LVM_SETITEMSTATE, WPARAM(row), reinterpret_cast<LPARAM>(&item));
}

bool ListViewPeer::handle(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    // Enter is the list's own key when the model listens for it; otherwise
    // the dialog manager makes it the form's default button.
    if (!list().onKeyPress) return false;
    switch (msg) {
    case WM_GETDLGCODE:
        result = DefSubclassProc(hwnd(), msg, wp, lp);
        if (asksForKey(lp, {VK_RETURN})) result |= DLGC_WANTMESSAGE;
        return true;
    case WM_KEYDOWN:
        if (wp != VK_RETURN) return false;
        // Once per press: a run blocks this thread, and the repeats of a
        // held key queued meanwhile must not run the game again.
        if (!(lp & (LPARAM(1) << 30))) list().keyPress('\r');
        result = 0;
        return true;
    default: return false;
    }
}

bool ListViewPeer::onNotify(NMHDR& header, LRESULT& result) {
    result = 0;
    switch (header.code) {
    case LVN_ITEMCHANGED: {
        if (mirroring()) return true;
        const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
        if (!(change.uChanged & LVIF_STATE)) return true;
        ListView& list = this->list();
        if (change.iItem < 0 || change.iItem >= list.rowCount()) {
            // Every item at once: follow whatever the window now shows.
            const auto shown = static_cast<int>(
                SendMessageA(hwnd(), LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
            if (shown != list.selectedRow()) list.selectRow(shown < list.rowCount() ? shown : -1);
            return true;
        }
        const bool was = (change.uOldState & LVIS_SELECTED) != 0;
        const bool now = (change.uNewState & LVIS_SELECTED) != 0;
        if (was == now) return true;  // focus or hot state only
        // The window deselects the old row before selecting the new one, so
        // the model reports them in that order too; nothing selected after
        // the deselection (a click below the last row) leaves it at none.
        if (now) {
            if (list.selectedRow() != change.iItem) list.selectRow(change.iItem);
        } else if (list.isSelected(change.iItem)) {
            list.selectRow(-1);
        }
        return true;
    }
    case NM_CLICK: list().click(); return true;
    case NM_DBLCLK: list().doubleClick(); return true;
    default: return false;
    }
}

}  // namespace qn::ui
