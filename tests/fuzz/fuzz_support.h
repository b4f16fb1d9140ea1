// What the whole-launcher fuzz targets share: a launcher on the in-memory
// platform.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/app.h"
#include "app/dialogs/about_box.h"
#include "app/dialogs/config_dialog.h"
#include "app/dialogs/install_dialog.h"
#include "app/dialogs/new_directory_dialog.h"
#include "app/dialogs/path_picker.h"
#include "app/main_window/main_window.h"
#include "app/stored_data.h"
#include "fuzz_check.h"
#include "platform/memory/memory_platform.h"
#include "settings/settings_store.h"

namespace qn::fuzz {

inline const std::string kProgramDir = "C:\\QnLaunch\\";

class Launcher {
public:
    MemoryPlatform os;
    std::unique_ptr<App> app;

    Launcher();
    void installSettings(const std::string& mainPath = kProgramDir);
    void writeProgramFiles(const std::string& roms, const std::string& reqfiles);
    void setSetting(const std::string& name, const std::string& text) {
        os.setString(RootKey::LocalMachine, kSettingsKey, name, text);
    }
    std::optional<std::string> setting(const std::string& name) const {
        return os.value(RootKey::LocalMachine, kSettingsKey, name);
    }

    // Each runs a step of the process; the exit code when the process ended.
    std::optional<int> step(const std::function<void()>& work);
    std::optional<int> start() { return step([&] { app->start(); }); }
    std::optional<int> showMain() {
        return step([&] {
            app->Form1->show();
            app->Form1->paint();
        });
    }
    std::optional<int> closeMain() { return step([&] { app->Form1->close(); }); }

    // After a save: every setting reads as what the launcher held, whatever
    // the games are called, and each game whose title names a value of its
    // own holds its flags, once they were read.
    void checkSaved();
};

}  // namespace qn::fuzz
