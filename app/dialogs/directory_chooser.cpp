#include "app/dialogs/directory_chooser.h"

namespace qn {
namespace {

std::string upperDrive(std::string path) {
    if (!path.empty() && path[0] >= 'a' && path[0] <= 'z') path[0] = static_cast<char>(path[0] - 32);
    return path;
}

}  // namespace

DirectoryChooser::DirectoryChooser(Platform& os, ui::ComboBox& drives, ui::ListBox& list)
    : os_(os), drives_(drives), list_(list) {
    drives_.setItems(os_.driveRoots());
    drives_.onChange = [this] {
        const int index = drives_.itemIndex();
        if (index >= 0) setDirectory(drives_.items()[index]);
    };
    list_.onChange = [this] {
        const int index = list_.itemIndex();
        if (index >= 0 && index < static_cast<int>(listed_.size())) setDirectory(listed_[index]);
    };
    const std::string current = os_.currentDirectory();
    setDirectory(current.size() >= 3 ? current : "C:\\");
}

void DirectoryChooser::setDirectory(const std::string& directory) {
    std::string dir = upperDrive(directory);
    if (dir.size() > 3 && dir.back() == '\\') dir.pop_back();
    if (dir.size() == 2 && dir[1] == ':') dir += '\\';
    directory_ = dir;

    std::vector<std::string> items;
    listed_.clear();
    const std::string root = dir.substr(0, 3);
    items.push_back(root);
    listed_.push_back(root);
    int depth = 0;
    int currentIndex = 0;
    for (size_t start = 3; start < dir.size();) {
        size_t end = dir.find('\\', start);
        if (end == std::string::npos) end = dir.size();
        ++depth;
        items.push_back(std::string(depth * 2, ' ') + dir.substr(start, end - start));
        listed_.push_back(dir.substr(0, end));
        currentIndex = static_cast<int>(items.size()) - 1;
        start = end + 1;
    }
    const std::string base = dir.back() == '\\' ? dir : dir + "\\";
    for (const std::string& sub : os_.subdirectories(dir)) {
        items.push_back(std::string((depth + 1) * 2, ' ') + sub);
        listed_.push_back(base + sub);
    }
    list_.setItems(items);
    list_.setItemIndex(currentIndex);

    const auto& drives = drives_.items();
    for (size_t i = 0; i < drives.size(); ++i)
        if (upperDrive(drives[i]).compare(0, 2, root, 0, 2) == 0) drives_.setItemIndex(static_cast<int>(i));
    if (onChange) onChange();
}

}  // namespace qn
