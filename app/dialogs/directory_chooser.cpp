#include "app/dialogs/directory_chooser.h"

#include <algorithm>

#include "platform/ascii.h"

namespace qn {
namespace {

std::string upperDrive(std::string path) {
    if (!path.empty()) path[0] = upperAscii(path[0]);
    return path;
}

}  // namespace

DirectoryChooser::DirectoryChooser(Platform& os, ui::ComboBox& drives, ui::TreeView& tree,
                                   const std::string& start)
    : os_(os), drives_(drives), tree_(tree) {
    drives_.setItems(os_.driveRoots());
    drives_.onChange = [this] {
        const int index = drives_.itemIndex();
        if (index >= 0) setDirectory(drives_.items()[index]);
    };
    tree_.onListChildren = [this](int node) { listChildren(node); };
    // Moving through the tree lists nothing; opening a node lists what is
    // below it.
    tree_.onChange = [this] { becomeCurrent(tree_.selected()); };
    tree_.onActivate = [this](int node) {
        tree_.expand(node);
        if (tree_.selected() != node) tree_.userSelect(node);
    };
    setDirectory(start.size() >= 3 ? start : "C:\\");
}

void DirectoryChooser::listChildren(int node) {
    // A directory that cannot be read shows without children.
    std::vector<std::string> names = os_.subdirectories(pathOf(node));
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const std::string ua = upperAscii(a), ub = upperAscii(b);
        return ua != ub ? ua < ub : a < b;
    });
    tree_.setChildren(node, names);
}

std::string DirectoryChooser::pathOf(int node) const {
    std::string path;
    for (int n = node; n != ui::TreeView::kNone; n = tree_.parentOf(n)) {
        const std::string& name = tree_.text(n);
        if (path.empty()) path = name;
        else path = name + (name.back() == '\\' ? "" : "\\") + path;
    }
    return path;
}

void DirectoryChooser::showDrive(const std::string& root) {
    tree_.clear();
    tree_.addRoot(root);
    const auto& drives = drives_.items();
    for (size_t i = 0; i < drives.size(); ++i)
        if (upperAscii(drives[i].substr(0, 2)) == root.substr(0, 2)) drives_.setItemIndex(static_cast<int>(i));
}

void DirectoryChooser::setDirectory(const std::string& directory) {
    std::string dir = upperDrive(directory);
    if (dir.size() > 3 && dir.back() == '\\') dir.pop_back();
    if (dir.size() == 2 && dir[1] == ':') dir += '\\';
    const std::string root = dir.substr(0, 3);
    if (tree_.roots().empty() || tree_.text(tree_.roots()[0]) != root) showDrive(root);

    int node = tree_.roots()[0];
    for (size_t start = 3; start < dir.size();) {
        size_t end = dir.find('\\', start);
        if (end == std::string::npos) end = dir.size();
        tree_.expand(node);
        const int child = tree_.findChild(node, dir.substr(start, end - start));
        if (child == ui::TreeView::kNone) break;  // gone: the deepest that is there
        node = child;
        start = end + 1;
    }
    tree_.expand(node);
    tree_.select(node);
    becomeCurrent(node);
}

void DirectoryChooser::refresh() {
    const std::string current = directory_;
    tree_.clear();
    setDirectory(current);
}

void DirectoryChooser::becomeCurrent(int node) {
    if (node == ui::TreeView::kNone) return;
    directory_ = pathOf(node);
    if (onChange) onChange();
}

}  // namespace qn
