#include "ui/tree_view.h"

#include <algorithm>

#include "platform/ascii.h"
#include "platform/unicode_text.h"

namespace qn::ui {

void TreeView::clear() {
    nodes_.clear();
    roots_.clear();
    selected_ = kNone;
    notify(Property::Nodes, kNone);
}

int TreeView::add(int parent, std::string text) {
    const int id = static_cast<int>(nodes_.size());
    nodes_.push_back({std::move(text), parent, {}});
    (parent == kNone ? roots_ : nodes_[parent].children).push_back(id);
    return id;
}

int TreeView::addRoot(std::string text) {
    const int id = add(kNone, std::move(text));
    notify(Property::Nodes, kNone);
    return id;
}

int TreeView::depth(int node) const {
    int d = 0;
    for (int p = parentOf(node); p != kNone; p = parentOf(p)) ++d;
    return d;
}

void TreeView::setChildren(int node, const std::vector<std::string>& names) {
    nodes_.at(node).listed = true;
    for (const std::string& name : names) add(node, name);
    notify(Property::Nodes, node);
}

int TreeView::findChild(int node, const std::string& name) const {
    const std::string wanted = upperAscii(name);
    for (int child : children(node))
        if (upperAscii(text(child)) == wanted) return child;
    return kNone;
}

void TreeView::expand(int node) {
    if (!nodes_.at(node).listed) {
        if (onListChildren) onListChildren(node);
        nodes_[node].listed = true;  // whatever the owner made of it
    }
    if (nodes_[node].expanded) return;
    nodes_[node].expanded = true;
    notify(Property::Expanded, node);
}

void TreeView::collapse(int node) {
    if (!nodes_.at(node).expanded) return;
    nodes_[node].expanded = false;
    notify(Property::Expanded, node);
}

bool TreeView::shown(int node) const {
    for (int p = parentOf(node); p != kNone; p = parentOf(p))
        if (!nodes_[p].expanded) return false;
    return true;
}

std::vector<int> TreeView::shownNodes() const {
    std::vector<int> out;
    std::vector<int> pending(roots_.rbegin(), roots_.rend());
    while (!pending.empty()) {
        const int node = pending.back();
        pending.pop_back();
        out.push_back(node);
        if (nodes_[node].expanded)
            pending.insert(pending.end(), nodes_[node].children.rbegin(), nodes_[node].children.rend());
    }
    return out;
}

std::vector<std::string> TreeView::lines() const {
    std::vector<std::string> out;
    for (int node : shownNodes()) out.push_back(std::string(depth(node) * 2, ' ') + text(node));
    return out;
}

void TreeView::select(int node) {
    if (selected_ == node) return;
    selected_ = node;
    notify(Property::ItemIndex, node);
}

void TreeView::userSelect(int node) {
    select(node);
    if (onChange) onChange();
}

bool TreeView::keyPress(char16_t key, std::uint32_t time) {
    if (key == '\r') {
        activate(selected_);
        return true;
    }
    if ((key == '+' || key == '-') && selected_ != kNone) {
        if (key == '+') userExpand(selected_);
        else userCollapse(selected_);
        return true;
    }
    // Control characters, and halves of a character beyond the first
    // plane, which no name starts with in a way worth finding.
    if (key < 0x20 || key == 0x7f || (key >= 0xD800 && key < 0xE000)) return false;
    typeAhead(key, time);
    return true;
}

void TreeView::typeAhead(char16_t c, std::uint32_t time) {
    if (typed_.empty() || time - lastKey_ > kTypeAheadPause) typed_.clear();
    typed_ += lowerLetter(c);
    lastKey_ = time;
    // The same letter again goes on to the next name that starts with it;
    // a longer name is looked for from the selection itself.
    const bool oneLetter =
        std::all_of(typed_.begin(), typed_.end(), [&](char16_t t) { return t == typed_[0]; });
    const std::u16string prefix = oneLetter ? typed_.substr(0, 1) : typed_;
    const std::vector<int> order = shownNodes();
    if (order.empty()) return;
    const auto at = std::find(order.begin(), order.end(), selected_);
    const size_t from = at == order.end() ? 0 : static_cast<size_t>(at - order.begin()) + (oneLetter ? 1 : 0);
    for (size_t i = 0; i < order.size(); ++i) {
        const int node = order[(from + i) % order.size()];
        const std::u16string name = utf8ToUtf16(text(node));
        if (name.size() < prefix.size()) continue;
        bool match = true;
        for (size_t k = 0; k < prefix.size() && match; ++k) match = lowerLetter(name[k]) == prefix[k];
        if (match) {
            userSelect(node);
            return;
        }
    }
}

}  // namespace qn::ui
