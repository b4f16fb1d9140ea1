// A launcher on the in-memory platform with a demo-like program directory.
#pragma once

#include <gtest/gtest.h>

#include "app/app.h"
#include "app/main_window/main_window.h"
#include "app/dialogs/about_box.h"
#include "app/dialogs/config_dialog.h"
#include "app/dialogs/install_dialog.h"
#include "app/dialogs/new_directory_dialog.h"
#include "app/dialogs/path_picker.h"
#include "platform/memory/memory_platform.h"
#include "app/stored_data.h"
#include "settings/settings_store.h"

namespace qn::test {

inline const std::string kProgramDir = "C:\\QnLaunch\\";

// A path as the in-memory file system keys its files.
inline std::string upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

class LauncherTest : public ::testing::Test {
protected:
    MemoryPlatform os;
    std::unique_ptr<App> app = std::make_unique<App>(os);

    LauncherTest() {
        os.setString(RootKey::ClassesRoot, "htmlfile\\shell\\open\\command", "",
                     "browser.exe \"%1\"");
    }

    // A settings key with a program directory and the given extra values.
    void installSettings(const std::string& mainPath = kProgramDir);
    void writeProgramFiles(const std::string& roms, const std::string& reqfiles = "");
    // Process start up to the message loop; the exit code if the process ended.
    std::optional<int> start();
    // The main window's showing (and its first paint); the exit code if the process ended.
    std::optional<int> showMain();
    std::optional<int> closeMain();
    std::vector<std::string> messageTexts() const;
    std::optional<std::string> setting(const std::string& name) const {
        return os.value(RootKey::LocalMachine, kSettingsKey, name);
    }
};

}  // namespace qn::test
