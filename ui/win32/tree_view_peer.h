// The directory-style tree: a SysTreeView32 that shows the model's nodes,
// inserts a node's children when the model lists them, and hands the
// user's expanding, selecting, typing and opening to the model.
#pragma once

#include <vector>

#include "ui/tree_view.h"
#include "ui/win32/peers.h"

namespace qn::ui {

class TreeViewPeer : public NativePeer {
public:
    using NativePeer::NativePeer;
    bool onNotify(NMHDR& header, LRESULT& result) override;

protected:
    Creation creation() const override;
    std::string shownText() const override;
    void update(Property property, int index) override;
    bool handle(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    TreeView& tree() const { return static_cast<TreeView&>(control()); }
    HTREEITEM itemOf(int node) const;
    int nodeOf(HTREEITEM item) const;
    void rebuild();
    // Inserts the node and, where the model has them, its children.
    void insert(int node);
    // Inserts the children the window does not show yet, and says whether
    // the node has any.
    void insertChildren(int node);
    void setHasChildren(int node);
    void showExpanded(int node);
    void showSelection();

    std::vector<HTREEITEM> items_;  // by node
    // The node the window is expanding or collapsing itself, which the
    // model must not do again.
    int changingFromWindow_ = TreeView::kNone;
    POINT lastDoubleClick_{-1, -1};
};

}  // namespace qn::ui
