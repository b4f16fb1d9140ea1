// A drive list and a directory tree working together: the tree shows the
// chosen drive from its root, each directory's subdirectories listed when
// it is first expanded; the selected directory is the current one.
#pragma once

#include <functional>
#include <string>

#include "platform/platform.h"
#include "ui/tree_view.h"
#include "ui/widgets.h"

namespace qn {

class DirectoryChooser {
public:
    // Shows `start` (C:\ for a relative one), as far as it exists.
    DirectoryChooser(Platform& os, ui::ComboBox& drives, ui::TreeView& tree, const std::string& start);

    // "C:\" for a drive root, else the full path without a trailing backslash.
    const std::string& directory() const { return directory_; }
    // Opens the tree down to the directory, as far as it exists, and makes
    // that current, with its subdirectories shown.
    void setDirectory(const std::string& directory);
    // Reads the drive's directories again, keeping the current one.
    void refresh();

    // The full path of a node of the tree.
    std::string pathOf(int node) const;

    // Runs after every change of the current directory.
    std::function<void()> onChange;

private:
    void listChildren(int node);
    void showDrive(const std::string& root);
    void becomeCurrent(int node);

    Platform& os_;
    ui::ComboBox& drives_;
    ui::TreeView& tree_;
    std::string directory_;
};

}  // namespace qn
