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

void Launcher::checkSaved() const {
    const TPaths& p = app->tpaths;
    // The registry keeps text up to its first NUL.
    auto stored = [](const std::string& text) { return text.substr(0, text.find('\0')) + '\0'; };
    const std::pair<const char*, std::string> expected[] = {
        {"Main Program Path", p.mainPath},
        {"Quon Path", p.emulatorPath},
        {"PkUnzip Program", p.unzipProgram},
        {"Compressed ROMs Path", p.romsPath},
        {"Drivers Path", p.driversPath},
        {"Interface", app->singleClick ? "Cool" : "Common"},
    };
    for (const auto& [name, text] : expected) {
        std::optional<std::string> value = setting(name);
        QN_CHECK(value == stored(text),
                 std::string(name) + " holds " + (value ? shown(*value) : "nothing") +
                     ", the launcher " + shown(text));
    }

    // Game values, where no other game's title names the same value.
    const GameCatalogue& cat = app->catalogue;
    auto registryName = [](const std::string& title) {
        std::string n = title.substr(0, title.find('\0'));
        for (char& c : n)
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        return n;
    };
    std::map<std::string, int> uses;
    for (int g = 0; g < cat.size(); ++g) ++uses[registryName(cat.games[g].Title)];
    for (int g = 0; g < cat.size(); ++g) {
        const GameRecord& game = cat.games[g];
        if (uses[registryName(game.Title)] != 1 || titleNamesASetting(game.Title)) continue;
        std::optional<std::string> value = setting(game.Title);
        QN_CHECK(value == encodeOptionFlags(game.OptionFlags) + '\0',
                 "game " + shown(game.Title) + " holds " + (value ? shown(*value) : "nothing"));
    }
}

}  // namespace qn::fuzz
