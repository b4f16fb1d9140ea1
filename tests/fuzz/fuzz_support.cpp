#include "fuzz_support.h"

#include <map>

namespace qn::fuzz {

Launcher::Launcher() : app(std::make_unique<App>(os)) {
    os.setString(RootKey::ClassesRoot, "htmlfile\\shell\\open\\command", "",
                 "browser.exe \"%1\"");
}

void Launcher::installSettings(const std::string& mainPath) {
    setSetting("Main Program Path", mainPath);
}

void Launcher::writeProgramFiles(const std::string& roms, const std::string& reqfiles) {
    os.writeFile(kProgramDir + "roms.dat", roms);
    os.writeFile(kProgramDir + "reqfiles.dat", reqfiles);
}

std::optional<int> Launcher::step(const std::function<void()>& work) {
    try {
        work();
    } catch (const ProcessExit& e) {
        return e.code;
    }
    return std::nullopt;
}

void Launcher::checkSaved() {
    // A setting left alone keeps its stored text: it must read the same.
    const TPaths& p = app->tpaths;
    auto cut = [](const std::string& text) { return text.substr(0, text.find('\0')); };
    auto dir = [&](const std::string& text) { return withTrailingBackslash(cut(text)); };
    qn::Settings next;
    readSettings(os, next);
    const TPaths want{dir(p.mainPath), dir(p.emulatorPath), dir(p.romsPath), cut(p.unzipProgram),
                      dir(p.driversPath)};
    const SettingTexts read = settingTexts(next.paths, next.singleClick);
    const SettingTexts held = settingTexts(want, app->singleClick);
    for (size_t i = 0; i < read.size(); ++i)
        QN_CHECK(read[i] == held[i], std::string(kSettingRows[i].name) + " reads " + shown(read[i]) +
                                         ", the launcher " + shown(held[i]));

    // Game values read or changed, where no other game's title names the
    // same value, decode to the game's flags.
    const GameCatalogue& cat = app->catalogue;
    auto registryName = [](const std::string& title) {
        std::string n = title.substr(0, title.find('\0'));
        for (char& c : n)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        return n;
    };
    std::map<std::string, int> uses;
    for (int g = 0; g < cat.size(); ++g) ++uses[registryName(cat.games[g].Title)];
    std::unique_ptr<RegistryKey> key = os.openKey(RootKey::LocalMachine, kSettingsKey, KeyAccess::Read);
    for (int g = 0; g < cat.size(); ++g) {
        const GameRecord& game = cat.games[g];
        if (uses[registryName(game.Title)] != 1 || titleNamesASetting(game.Title)) continue;
        if (!game.optionsRead) continue;
        OptionFlags stored{};
        if (auto text = readRegistryText(*key, game.Title)) decodeOptionFlags(*text, stored);
        QN_CHECK(stored == game.OptionFlags, "game " + shown(game.Title) + " holds " + encodeOptionFlags(stored) +
                                                 ", the launcher " + encodeOptionFlags(game.OptionFlags));
    }
}

}  // namespace qn::fuzz
