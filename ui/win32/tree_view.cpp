#include "ui/win32/tree_view_peer.h"

#include <algorithm>

#include "ui/win32/win32_backend.h"

namespace qn::ui {

NativePeer::Creation TreeViewPeer::creation() const {
    return {WC_TREEVIEWW,
            TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS | TVS_DISABLEDRAGDROP,
            WS_EX_CLIENTEDGE};
}

std::string TreeViewPeer::shownText() const {
    std::string all;
    for (int node = 0; node < tree().nodeCount(); ++node) all += tree().text(node);
    return all;
}

HTREEITEM TreeViewPeer::itemOf(int node) const {
    return node >= 0 && node < static_cast<int>(items_.size()) ? items_[node] : nullptr;
}

int TreeViewPeer::nodeOf(HTREEITEM item) const {
    if (!item) return TreeView::kNone;
    const auto at = std::find(items_.begin(), items_.end(), item);
    return at == items_.end() ? TreeView::kNone : static_cast<int>(at - items_.begin());
}

void TreeViewPeer::update(Property property, int index) {
    switch (property) {
    case Property::Items: rebuild(); break;  // the first synchronizing
    case Property::Nodes:
        if (index == TreeView::kNone) rebuild();
        else insertChildren(index);
        break;
    case Property::Expanded:
        if (index != changingFromWindow_) showExpanded(index);
        break;
    case Property::ItemIndex: showSelection(); break;
    default: NativePeer::update(property, index);
    }
}

void TreeViewPeer::rebuild() {
    SendMessageW(hwnd(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    items_.assign(static_cast<size_t>(tree().nodeCount()), nullptr);
    for (int root : tree().roots()) insert(root);
    for (int node = 0; node < tree().nodeCount(); ++node)
        if (tree().expanded(node)) showExpanded(node);
    showSelection();
}

void TreeViewPeer::insert(int node) {
    if (static_cast<int>(items_.size()) <= node) items_.resize(static_cast<size_t>(node) + 1, nullptr);
    std::wstring text = wide(tree().text(node));
    TVINSERTSTRUCTW ins{};
    const int parent = tree().parentOf(node);
    ins.hParent = parent == TreeView::kNone ? TVI_ROOT : itemOf(parent);
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_CHILDREN;
    ins.item.pszText = &text[0];
    ins.item.lParam = node;
    // Not listed yet: it may have children, and offers to open.
    ins.item.cChildren = !tree().listed(node) || !tree().children(node).empty() ? 1 : 0;
    items_[node] = reinterpret_cast<HTREEITEM>(
        SendMessageW(hwnd(), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
    for (int child : tree().children(node)) insert(child);
}

void TreeViewPeer::insertChildren(int node) {
    if (!itemOf(node)) return;
    for (int child : tree().children(node))
        if (!itemOf(child)) insert(child);
    setHasChildren(node);
}

void TreeViewPeer::setHasChildren(int node) {
    TVITEMW item{};
    item.mask = TVIF_HANDLE | TVIF_CHILDREN;
    item.hItem = itemOf(node);
    item.cChildren = tree().children(node).empty() ? 0 : 1;
    SendMessageW(hwnd(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void TreeViewPeer::showExpanded(int node) {
    if (HTREEITEM item = itemOf(node))
        SendMessageW(hwnd(), TVM_EXPAND, tree().expanded(node) ? TVE_EXPAND : TVE_COLLAPSE,
                     reinterpret_cast<LPARAM>(item));
}

void TreeViewPeer::showSelection() {
    HTREEITEM item = itemOf(tree().selected());
    SendMessageW(hwnd(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
    if (item) SendMessageW(hwnd(), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(item));
}

bool TreeViewPeer::onNotify(NMHDR& header, LRESULT& result) {
    switch (header.code) {
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW: {
        if (mirroring()) return false;
        auto& nm = reinterpret_cast<NMTREEVIEWW&>(header);
        const int node = nodeOf(nm.itemNew.hItem);
        if (node == TreeView::kNone) return false;
        changingFromWindow_ = node;
        if (nm.action & TVE_EXPAND) tree().userExpand(node);
        else if (nm.action & TVE_COLLAPSE) tree().userCollapse(node);
        changingFromWindow_ = TreeView::kNone;
        result = FALSE;
        return true;
    }
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW: {
        if (mirroring()) return false;
        const int node = nodeOf(reinterpret_cast<NMTREEVIEWW&>(header).itemNew.hItem);
        if (node != TreeView::kNone && node != tree().selected()) tree().userSelect(node);
        result = 0;
        return true;
    }
    case NM_DBLCLK: {
        TVHITTESTINFO hit{};
        hit.pt = lastDoubleClick_;
        SendMessageW(hwnd(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        if (!(hit.flags & TVHT_ONITEM)) return false;
        tree().activate(nodeOf(hit.hItem));
        result = TRUE;  // opened, not toggled as well
        return true;
    }
    default: return false;
    }
}

bool TreeViewPeer::handle(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_GETDLGCODE:
        // Enter opens the selected directory rather than pressing OK.
        result = dialogCodeTaking(wp, lp, {VK_RETURN});
        return true;
    case WM_LBUTTONDBLCLK:
        // The control reports the double click without saying where.
        lastDoubleClick_ = {GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
        return false;
    case WM_KEYDOWN:
        if (wp != VK_RETURN) return false;
        tree().keyPress('\r', static_cast<std::uint32_t>(GetMessageTime()));
        result = 0;
        return true;
    case WM_CHAR:
        // The model finds names and takes '+' and '-'; Enter was its key
        // already and would only beep.
        if (wp == '\r' || tree().keyPress(static_cast<char16_t>(wp), static_cast<std::uint32_t>(GetMessageTime()))) {
            result = 0;
            return true;
        }
        return false;
    default: return false;
    }
}

}  // namespace qn::ui
