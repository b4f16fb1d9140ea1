// Every registry value the start reads: the six settings, the screen
// resolution, the HTML handler, and one value per game of roms.dat; then
// the main window shown and closed, which saves the settings.
//
// Input: fields cut at the byte 0xFF. Fields 0 to 5 are the settings in the
// order they are saved, 6 "Resolution", 7 the HTML handler's command, 8 the
// content of roms.dat, 9 on the values of the games in catalogue order. An
// empty field is a missing value; otherwise its first byte is the value's
// registry type and the rest its stored bytes, as they are (NULs included).
#include "catalogue/catalogue.h"
#include "fuzz_support.h"

using namespace qn;
using namespace qn::fuzz;

namespace {

constexpr size_t kResolution = 6, kBrowser = 7, kRoms = 8, kFirstGame = 9;

void put(MemoryPlatform& os, RootKey root, const std::string& key, const std::string& name,
         const std::optional<std::string>& field) {
    if (!field || field->empty()) return;
    os.setValue(root, key, name, field->substr(1), static_cast<std::uint8_t>((*field)[0]));
}

// What a stored value holds as text: nothing when it is missing, of one
// byte at most, or when its text ends before it starts.
std::optional<std::string> textOf(const std::optional<std::string>& stored) {
    if (!stored || stored->size() <= 1) return std::nullopt;
    std::string text = stored->substr(0, stored->find('\0'));
    if (text.empty()) return std::nullopt;
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const Fields in(data, size);
    Launcher l;
    const std::string roms = in[kRoms].value_or("#Alpha Blaster|alpha\r\n#Beta Racer|beta\r\n");
    l.writeProgramFiles(roms, "");
    GameCatalogue cat;
    parseCatalogue(roms, cat);
    const int games = cat.size();
    for (int g = 0; g < games; ++g)
        put(l.os, RootKey::LocalMachine, kSettingsKey, cat.games[g].Title, in[kFirstGame + g]);
    for (size_t i = 0; i < 6; ++i)
        put(l.os, RootKey::LocalMachine, kSettingsKey, kSettingValueNames[i], in[i]);
    put(l.os, RootKey::CurrentConfig, "Display\\Settings", "Resolution", in[kResolution]);
    put(l.os, RootKey::ClassesRoot, "htmlfile\\shell\\open\\command", "", in[kBrowser]);

    // A game's value may have set a setting's value: judge by what is stored.
    const bool keyThere = l.os.keyExists(RootKey::LocalMachine, kSettingsKey);
    const std::optional<std::string> storedMain = l.setting("Main Program Path");
    const std::optional<std::string> storedInterface = l.setting("Interface");
    const bool mainThere = storedMain.has_value();
    std::optional<int> exit = l.start();
    if (exit == 3) {
        QN_CHECK(l.os.messages.size() == 1 &&
                     l.os.messages[0].text.rfind("Your screen resolution must be at least", 0) == 0,
                 "exit 3 without its message");
        return 0;
    }
    if (keyThere && !mainThere) {
        QN_CHECK(exit == 1, "no Main Program Path, yet the start went on");
        QN_CHECK(!l.os.keyExists(RootKey::LocalMachine, kSettingsKey), "the key stayed");
        return 0;
    }
    QN_CHECK(!exit, "the start ended the process with " + std::to_string(exit.value_or(0)));

    App& app = *l.app;
    const std::optional<std::string> main = textOf(storedMain);
    const bool firstRun = !keyThere || !main;
    QN_CHECK(app.state.firstRun == firstRun && (app.Form2 != nullptr) == firstRun,
             "Main Program Path " + shown(storedMain.value_or("(none)")) + " gives " +
                 (app.state.firstRun ? "a first run" : "no first run"));
    if (main) QN_CHECK(app.tpaths.mainPath == withTrailingBackslash(*main), shown(app.tpaths.mainPath));
    const TPaths& p = app.tpaths;
    for (const std::string* dir : {&p.mainPath, &p.emulatorPath, &p.romsPath, &p.driversPath})
        QN_CHECK(dir->empty() || (dir->back() == '\\' && dir->find('\0') == std::string::npos),
                 shown(*dir));
    const std::optional<std::string> interface = textOf(storedInterface);
    QN_CHECK(app.singleClick == (keyThere && interface && *interface != "Common"),
             "Interface " + shown(storedInterface.value_or("(none)")));
    if (firstRun) return 0;

    if (std::optional<int> shownExit = l.showMain()) {
        // Only a program directory without the data files ends the showing.
        QN_CHECK(shownExit == 5 && app.state.DataLoadError, "the showing ended with " +
                                                                std::to_string(*shownExit));
        return 0;
    }
    QN_CHECK(l.closeMain() == 0, "closing");
    l.checkSaved();
    return 0;
}
