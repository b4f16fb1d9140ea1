// A tree of named nodes whose children are asked for when a node is first
// expanded, with one selected node. Keys follow the Windows tree: the
// arrows move the selection (the window does that), '+' and '-' expand and
// collapse, Enter opens the selected node, letters find a node by name.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ui/control.h"

namespace qn::ui {

class TreeView : public Control {
public:
    static constexpr int kNone = -1;

    TreeView(Control* parent, std::string name, Rect bounds)
        : Control(parent, std::move(name), Kind::TreeView, bounds) {
        tabStop_ = true;
    }

    // --- structure. Nodes are numbered in the order they are added; the
    // numbers stay valid until clear().
    void clear();  // reports Nodes for the whole tree
    int addRoot(std::string text);
    int nodeCount() const { return static_cast<int>(nodes_.size()); }
    const std::string& text(int node) const { return nodes_.at(node).text; }
    int parentOf(int node) const { return nodes_.at(node).parent; }
    int depth(int node) const;
    const std::vector<int>& roots() const { return roots_; }
    const std::vector<int>& children(int node) const { return nodes_.at(node).children; }
    // Whether the node's children have been asked for. Until then the node
    // shows that it may have some.
    bool listed(int node) const { return nodes_.at(node).listed; }
    // The node's children, in the order given; reports Nodes for the node.
    void setChildren(int node, const std::vector<std::string>& names);
    // The child of `node` whose text equals `name` ignoring ASCII case, or kNone.
    int findChild(int node, const std::string& name) const;

    bool expanded(int node) const { return nodes_.at(node).expanded; }
    // Expanding a node not yet listed asks onListChildren for its children
    // first. Neither runs onChange.
    void expand(int node);
    void collapse(int node);
    // Whether every node above it is expanded.
    bool shown(int node) const;
    // The shown nodes, top to bottom.
    std::vector<int> shownNodes() const;
    // The shown nodes as text indented two spaces per level, for reading.
    std::vector<std::string> lines() const;

    // Selecting from code runs no handler; the window scrolls it into view.
    int selected() const { return selected_; }
    void select(int node);

    // Asked to fill in a node's children with setChildren.
    std::function<void(int node)> onListChildren;
    // The user moved the selection.
    std::function<void()> onChange;
    // The user opened a node: Enter on it, or a double click.
    std::function<void(int node)> onActivate;

    // User actions, as the backend or a test delivers them.
    void userSelect(int node);
    void userExpand(int node) { expand(node); }
    void userCollapse(int node) { collapse(node); }
    void activate(int node) {
        if (node != kNone && onActivate) onActivate(node);
    }
    // A character typed on the tree at `time` milliseconds, as the keyboard
    // gives it (UTF-16): '+' and '-' expand and collapse the selection,
    // Enter ('\r') opens it, and other printable characters, of any
    // script, look for a shown node by the start of its name.
    // False when the key means nothing to the tree.
    bool keyPress(char16_t key, std::uint32_t time);

    // How long a pause ends a typed name, in milliseconds.
    static constexpr std::uint32_t kTypeAheadPause = 1000;

private:
    struct Node {
        std::string text;
        int parent;
        std::vector<int> children;
        bool listed = false;
        bool expanded = false;
    };
    int add(int parent, std::string text);
    void typeAhead(char16_t c, std::uint32_t time);

    std::vector<Node> nodes_;
    std::vector<int> roots_;
    int selected_ = kNone;
    std::u16string typed_;  // lower case
    std::uint32_t lastKey_ = 0;
};

}  // namespace qn::ui
