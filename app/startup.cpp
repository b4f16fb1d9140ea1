#include "app/startup.h"

#include "app/app.h"
#include "launch/game_directory.h"
#include "launch/kept_files.h"
#include "settings/settings_store.h"

namespace qn {
namespace {

std::optional<long> parseDecimal(const std::string& text) {
    size_t i = text.size() > 0 && (text[0] == '-' || text[0] == '+') ? 1 : 0;
    if (i == text.size() || text.size() - i > 9) return std::nullopt;  // empty, or too long to hold
    for (size_t k = i; k < text.size(); ++k)
        if (text[k] < '0' || text[k] > '9') return std::nullopt;
    return std::stol(text);
}

}  // namespace

std::optional<std::pair<long, long>> parseResolution(const std::string& text) {
    size_t comma = text.find(',');
    if (comma == std::string::npos) return std::nullopt;
    auto width = parseDecimal(text.substr(0, comma));
    auto height = parseDecimal(text.substr(comma + 1));
    if (!width || !height) return std::nullopt;
    return std::make_pair(*width, *height);
}

void CheckScreenResolution(App& app) {
    std::unique_ptr<RegistryKey> key =
        app.os.openKey(RootKey::CurrentConfig, "Display\\Settings", KeyAccess::Read);
    if (!key) return;
    std::optional<std::string> text = readRegistryText(*key, "Resolution");
    key.reset();
    if (!text) return;
    auto size = parseResolution(*text);
    if (!size) return;  // not "width,height": nothing to check against
    if (size->first < 800 || size->second < 600) {
        size_t comma = text->find(',');
        app.os.messageBox(MessageKind::Warning,
                          "Your screen resolution must be at least 800x600.\r"
                          "It is currently " +
                              text->substr(0, comma) + "x" + text->substr(comma + 1));
        app.os.exitProcess(3);
    }
}

void RecoverInterruptedRun(App& app) {
    // Settings are full paths but when edited by hand; those are read from here.
    const std::string here = app.os.currentDirectory();
    KeptFiles::recoverAll(app.os, fullPath(here, app.tpaths.mainPath), fullPath(here, app.tpaths.emulatorPath));
}

void LookUpBrowserCommand(App& app) {
    std::unique_ptr<RegistryKey> key =
        app.os.openKey(RootKey::ClassesRoot, "htmlfile\\shell\\open\\command", KeyAccess::Read);
    if (!key) {
        app.os.messageBox(MessageKind::Warning,
                          "You have no program associated with HTML files. You won't be able "
                          "to use internet links");
        return;
    }
    if (auto command = readRegistryText(*key, "")) app.state.BrowserCommand = *command;
}

}  // namespace qn
