// A drive list and a directory list working together: the list shows the
// drive's root, the way down to the current directory, and the current
// directory's subdirectories; choosing an entry makes it current.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "ui/widgets.h"

namespace qn {

class DirectoryChooser {
public:
    DirectoryChooser(Platform& os, ui::ComboBox& drives, ui::ListBox& list);

    // "C:\" for a drive root, else the full path without a trailing backslash.
    const std::string& directory() const { return directory_; }
    void setDirectory(const std::string& directory);
    // Reads the current directory's subdirectories again.
    void refresh() { setDirectory(directory_); }

    // Runs after every change of the current directory.
    std::function<void()> onChange;

private:
    Platform& os_;
    ui::ComboBox& drives_;
    ui::ListBox& list_;
    std::string directory_;
    std::vector<std::string> listed_;  // full path of each list entry
};

}  // namespace qn
