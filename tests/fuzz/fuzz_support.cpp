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
    // A next start reads what the launcher held: a setting left alone keeps
    // its stored text, which may differ but reads the same.
    const TPaths& p = app->tpaths;
    auto cut = [](const std::string& text) { return text.substr(0, text.find('\0')); };
    qn::Settings next;
    const StoredSettings found = readSettings(os, next);
    QN_CHECK(found == StoredSettings::Complete || found == StoredSettings::EmptyMainPath,
             "the key holds the settings");
    const std::pair<const char*, std::pair<std::string, std::string>> expected[] = {
        {"Main Program Path", {next.paths.mainPath, withTrailingBackslash(cut(p.mainPath))}},
        {"Quon Path", {next.paths.emulatorPath, withTrailingBackslash(cut(p.emulatorPath))}},
        {"PkUnzip Program", {next.paths.unzipProgram, cut(p.unzipProgram)}},
        {"Compressed ROMs Path", {next.paths.romsPath, withTrailingBackslash(cut(p.romsPath))}},
        {"Drivers Path", {next.paths.driversPath, withTrailingBackslash(cut(p.driversPath))}},
        {"Interface", {next.singleClick ? "Cool" : "Common", app->singleClick ? "Cool" : "Common"}},
    };
    for (const auto& [name, texts] : expected)
        QN_CHECK(texts.first == texts.second,
                 std::string(name) + " reads " + shown(texts.first) + ", the launcher " + shown(texts.second));

    // Game values read or changed, where no other game's title names the
    // same value, decode to the game's flags.
    const GameCatalogue& cat = app->catalogue;
    auto registryName = [&](const std::string& title) {
        std::string n = cut(title);
        for (char& c : n)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        return n;
    };
    std::map<std::string, int> uses;
    for (int g = 0; g < cat.size(); ++g) ++uses[registryName(cat.games[g].Title)];
    std::unique_ptr<RegistryKey> key = os.openKey(RootKey::LocalMachine, kSettingsKey);
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
