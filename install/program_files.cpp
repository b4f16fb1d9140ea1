#include "install/program_files.h"

#include "platform/ascii.h"
#include "platform/unicode_text.h"
#include "settings/settings_store.h"

namespace qn {
namespace {

const char* const kProgramFiles[] = {"qnlaunch.exe", "readme.txt", "abouttxt.dat", "roms.dat",
                                     "reqfiles.dat"};
const char* const kScreenFiles[] = {"noscreen.jpg", "tolvane1.jpg", "tolvane2.jpg"};

}  // namespace

std::optional<std::string> installProgramFiles(Platform& os, const std::string& sourceDir,
                                               const std::string& target) {
    const std::string source = sourceDir.empty() || sourceDir.back() != '\\' ? sourceDir + '\\' : sourceDir;
    const bool inPlace = upperAscii(source) == upperAscii(target);
    for (const char* name : kProgramFiles) {
        // A file cannot be copied onto itself, but one that is not there
        // is still missing.
        if (inPlace && os.fileExists(source + name)) continue;
        if (!os.copyFile(source + name, target + name))
            return "Error copying program files to '" + target + "'. You will have to do it manually" +
                   becauseOf(os, os.lastError());
    }
    for (const char* name : kScreenFiles) {
        os.createDirectory(target + "screens");
        if (!os.copyFile(source + name, target + "screens\\" + name))
            return "Error copying screenshot files to '" + target +
                   "screens\\'. You will have to copy them to the 'screens' directory manually" +
                   becauseOf(os, os.lastError());
    }
    return std::nullopt;
}

void removeShortcuts(Platform& os, const std::string& program) {
    std::unique_ptr<RegistryKey> folders = os.openKey(RootKey::CurrentUser, kShellFolders, KeyAccess::Read);
    if (!folders) return;
    for (auto [folder, name] : {std::pair{"Desktop", kDesktopShortcut}, {"Programs", kProgramsShortcut}}) {
        std::optional<std::string> dir = readRegistryText(*folders, folder);
        if (!dir) continue;
        const std::string shortcut = withTrailingBackslash(*dir) + name;
        std::optional<std::string> target = os.shortcutTarget(shortcut);
        if (target && lowerUtf8(*target) == lowerUtf8(program)) os.deleteFile(shortcut);
    }
}

}  // namespace qn
