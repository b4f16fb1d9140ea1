#include "ui/win32/list_view_peer.h"

#include <algorithm>
#include <string>

#include "ui/win32/win32_backend.h"

#include <shlwapi.h>

namespace qn::ui {

namespace {
constexpr UINT kRowSelected = LVIS_SELECTED | LVIS_FOCUSED;

// Version 6 of the common controls draws a header's sort arrow itself; the
// earlier ones, which this program uses for their classic look, draw none.
bool headerDrawsArrows() {
    static const bool drawn = [] {
        using GetVersion = HRESULT(CALLBACK*)(DLLVERSIONINFO*);
        HMODULE module = GetModuleHandleW(L"comctl32.dll");
        auto get = module ? reinterpret_cast<GetVersion>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetVersion")))
                          : nullptr;
        DLLVERSIONINFO info{};
        info.cbSize = sizeof info;
        return get && SUCCEEDED(get(&info)) && info.dwMajorVersion >= 6;
    }();
    return drawn;
}
}  // namespace

NativePeer::Creation ListViewPeer::creation() const {
    return {WC_LISTVIEWW,
            LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_OWNERDATA,
            WS_EX_CLIENTEDGE};
}

HWND ListViewPeer::createWindow(HWND parent) {
    HWND hwnd = NativePeer::createWindow(parent);
    if (!hwnd) return hwnd;
    int index = 0;
    for (const ListView::Column& column : list().columns()) {
        std::wstring caption = wide(column.caption);
        LVCOLUMNW c{};
        c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        c.pszText = &caption[0];
        c.cx = scaleLength(column.width, dpi());
        c.iSubItem = index;
        SendMessageW(hwnd, LVM_INSERTCOLUMNW, WPARAM(index), reinterpret_cast<LPARAM>(&c));
        ++index;
    }
    return hwnd;
}

void ListViewPeer::rescale() {
    NativePeer::rescale();
    if (arrow_) syncSortArrow();
    const std::vector<ListView::Column>& columns = list().columns();
    for (size_t i = 0; i < columns.size(); ++i)
        SendMessageW(hwnd(), LVM_SETCOLUMNWIDTH, WPARAM(i), scaleLength(columns[i].width, dpi()));
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
    case Property::SortArrow: syncSortArrow(); break;
    case Property::HotTrack:
        // The entry under a resting pointer gets selected, as by a click.
        SendMessageW(hwnd(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_TRACKSELECT,
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
    SendMessageW(hwnd(), LVM_SETBKCOLOR, 0, back);
    SendMessageW(hwnd(), LVM_SETTEXTBKCOLOR, 0, back);
    SendMessageW(hwnd(), LVM_SETTEXTCOLOR, 0, Win32Backend::colorRef(control().font().color));
    if (arrow_) syncSortArrow();  // drawn on the scheme's face
    repaint(true);
}

void ListViewPeer::syncRows() {
    // A count is all the window keeps; a refill starts it over, so no
    // selection or focus of the old rows lingers on the new ones.
    const int rows = list().rowCount();
    LVITEMW none{};
    none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(hwnd(), LVM_SETITEMSTATE, WPARAM(-1), reinterpret_cast<LPARAM>(&none));
    SendMessageW(hwnd(), LVM_SETITEMCOUNT, WPARAM(rows), LVSICF_NOINVALIDATEALL);
    repaint(true);
    // Rows the model shows selected (a row added after a selection).
    const int selected = list().selectedRow();
    if (selected >= 0) syncRowState(selected);
}

void ListViewPeer::cellText(int row, int column, wchar_t* buffer, int size) const {
    if (!buffer || size <= 0) return;
    buffer[0] = L'\0';
    if (row < 0 || row >= list().rowCount()) return;
    const std::vector<std::string>& cells = list().row(row);
    if (column < 0 || column >= static_cast<int>(cells.size())) return;
    lstrcpynW(buffer, wide(cells[column]).c_str(), size);
}

void ListViewPeer::syncRowState(int row) {
    if (row >= list().rowCount()) return;
    const bool selected = list().isSelected(row);
    const bool shown = SendMessageW(hwnd(), LVM_GETITEMSTATE, WPARAM(row), LVIS_SELECTED) != 0;
    if (selected == shown) return;
    LVITEMW item{};
    item.stateMask = selected ? kRowSelected : LVIS_SELECTED;
    item.state = selected ? kRowSelected : 0;
    SendMessageW(hwnd(), LVM_SETITEMSTATE, WPARAM(row), reinterpret_cast<LPARAM>(&item));
    // A row chosen from code is brought into view, as the user's own is.
    if (selected) SendMessageW(hwnd(), LVM_ENSUREVISIBLE, WPARAM(row), FALSE);
}

int ListViewPeer::findRow(const std::wstring& text, unsigned flags, int start) const {
    // Typing a name jumps to the first caption from `start` on that begins
    // with it (or equals it), letter case aside, as a list holding its own
    // rows does.
    const int rows = list().rowCount();
    if (rows == 0) return -1;
    const int length = static_cast<int>(text.size());
    const bool partial = (flags & LVFI_PARTIAL) != 0;
    if (start < 0 || start >= rows) start = 0;
    const int last = (flags & LVFI_WRAP) ? start + rows : rows;
    for (int i = start; i < last; ++i) {
        const int row = i % rows;
        const std::wstring caption = wide(list().caption(row));
        const int compared = partial ? std::min(length, static_cast<int>(caption.size()))
                                     : static_cast<int>(caption.size());
        if (partial && compared < length) continue;
        if (CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, caption.c_str(), compared,
                           text.c_str(), length) == CSTR_EQUAL)
            return row;
    }
    return -1;
}

bool ListViewPeer::handle(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_CONTEXTMENU:
        showContextMenu(lp);
        result = 0;
        return true;
    case WM_CHAR: {
        // Typing goes to a row by the model's captions in the order shown,
        // blanks and all.
        const auto c = static_cast<wchar_t>(wp);
        if (c < 0x20 || c == 0x7F || (c >= 0xD800 && c <= 0xDFFF)) return false;
        if (!list().typeCharacter(narrow(&c, 1), static_cast<unsigned>(GetMessageTime()))) return false;
        result = 0;
        return true;
    }
    default: break;
    }
    // Enter is the list's own key when the model listens for it; otherwise
    // the dialog manager makes it the form's default button.
    if (!list().onKeyPress) return false;
    switch (msg) {
    case WM_GETDLGCODE:
        result = dialogCodeTaking(wp, lp, {VK_RETURN});
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
    case LVN_ITEMCHANGED: return onItemChanged(reinterpret_cast<const NMLISTVIEW&>(header));
    case LVN_GETDISPINFOW: return onGetDisplayInfo(reinterpret_cast<NMLVDISPINFOW&>(header));
    case LVN_ODFINDITEMW:
        result = onFindItem(reinterpret_cast<const NMLVFINDITEMW&>(header));
        return true;
    case LVN_COLUMNCLICK: list().columnClick(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem); return true;
    case NM_CLICK: list().click(); return true;
    case NM_DBLCLK: list().doubleClick(); return true;
    default: return false;
    }
}

bool ListViewPeer::onItemChanged(const NMLISTVIEW& change) {
    if (mirroring()) return true;
    if (!(change.uChanged & LVIF_STATE)) return true;
    ListView& list = this->list();
    if (change.iItem < 0 || change.iItem >= list.rowCount()) {
        // Every item at once: follow whatever the window now shows.
        const auto shown = static_cast<int>(
            SendMessageW(hwnd(), LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
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

bool ListViewPeer::onGetDisplayInfo(NMLVDISPINFOW& info) {
    if (info.item.mask & LVIF_TEXT)
        cellText(info.item.iItem, info.item.iSubItem, info.item.pszText, info.item.cchTextMax);
    return true;
}

ScopedBitmap ListViewPeer::arrowBitmap(bool down) const {
    // A small triangle in the scheme's shadow colour on the header's face.
    const int w = scaleLength(9, dpi()), h = scaleLength(5, dpi());
    HDC screen = GetDC(nullptr);
    ScopedBitmap bitmap(CreateCompatibleBitmap(screen, w, h));
    HDC dc = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    if (!bitmap || !dc) {
        if (dc) DeleteDC(dc);
        return ScopedBitmap(nullptr);
    }
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap.get());
    const RECT all{0, 0, w, h};
    FillRect(dc, &all, GetSysColorBrush(COLOR_BTNFACE));
    const POINT up[] = {{0, h - 1}, {w - 1, h - 1}, {(w - 1) / 2, 0}};
    const POINT downward[] = {{0, 0}, {w - 1, 0}, {(w - 1) / 2, h - 1}};
    HGDIOBJ oldBrush = SelectObject(dc, GetSysColorBrush(COLOR_BTNSHADOW));
    HGDIOBJ oldPen = SelectObject(dc, GetStockObject(DC_PEN));
    SetDCPenColor(dc, GetSysColor(COLOR_BTNSHADOW));
    Polygon(dc, down ? downward : up, 3);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);
    return bitmap;
}

void ListViewPeer::syncSortArrow() {
    HWND header = reinterpret_cast<HWND>(SendMessageW(hwnd(), LVM_GETHEADER, 0, 0));
    if (!header) return;
    const bool own = !headerDrawsArrows();
    ScopedBitmap arrow = own && list().sortColumn() >= 0 ? arrowBitmap(list().sortDescending()) : ScopedBitmap(nullptr);
    const int columns = static_cast<int>(list().columns().size());
    for (int i = 0; i < columns; ++i) {
        HDITEMW item{};
        item.mask = HDI_FORMAT;
        if (!SendMessageW(header, HDM_GETITEMW, WPARAM(i), reinterpret_cast<LPARAM>(&item))) continue;
        item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN | HDF_BITMAP | HDF_BITMAP_ON_RIGHT);
        if (i == list().sortColumn() && !own) item.fmt |= list().sortDescending() ? HDF_SORTDOWN : HDF_SORTUP;
        if (i == list().sortColumn() && arrow) {
            item.mask |= HDI_BITMAP;
            item.fmt |= HDF_BITMAP | HDF_BITMAP_ON_RIGHT;
            item.hbm = arrow.get();
        }
        SendMessageW(header, HDM_SETITEMW, WPARAM(i), reinterpret_cast<LPARAM>(&item));
    }
    // The header draws the bitmap it was given: the old one goes only now.
    arrow_ = std::move(arrow);
}

void ListViewPeer::showContextMenu(LPARAM lp) {
    const int row = list().selectedRow();
    if (row < 0) return;
    POINT at{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    if (lp == -1) {
        // From the keyboard: just below the selected row's caption.
        SendMessageW(hwnd(), LVM_ENSUREVISIBLE, WPARAM(row), FALSE);
        RECT r{};
        r.left = LVIR_LABEL;
        SendMessageW(hwnd(), LVM_GETITEMRECT, WPARAM(row), reinterpret_cast<LPARAM>(&r));
        at = {r.left, r.bottom};
        ClientToScreen(hwnd(), &at);
    } else {
        // By the mouse: only over the selected row (the click selected it),
        // not over the header or below the last row.
        LVHITTESTINFO hit{};
        hit.pt = at;
        ScreenToClient(hwnd(), &hit.pt);
        if (SendMessageW(hwnd(), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)) != row) return;
    }
    const std::vector<MenuItem> items = list().contextMenu(row);
    if (items.empty()) return;
    HMENU menu = CreatePopupMenu();
    if (!menu) return;
    UINT id = 1;
    for (const MenuItem& item : items) {
        AppendMenuW(menu, MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED), id, wide(item.caption).c_str());
        if (item.isDefault) SetMenuDefaultItem(menu, id, FALSE);
        ++id;
    }
    const auto chosen = static_cast<UINT>(TrackPopupMenuEx(
        menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN, at.x, at.y, hwnd(), nullptr));
    DestroyMenu(menu);
    if (chosen >= 1 && chosen <= items.size()) {
        const MenuItem& item = items[chosen - 1];
        if (item.enabled && item.onChoose) item.onChoose();
    }
}

LRESULT ListViewPeer::onFindItem(const NMLVFINDITEMW& find) const {
    if (!(find.lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find.lvfi.psz) return -1;
    return findRow(find.lvfi.psz, find.lvfi.flags, find.iStart);
}

}  // namespace qn::ui
