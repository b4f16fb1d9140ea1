#include "test_support.h"

namespace qn::test {

void LauncherTest::installSettings(const std::string& mainPath) {
    os.setString(RootKey::LocalMachine, kSettingsKey, "Main Program Path", mainPath);
}

void LauncherTest::writeProgramFiles(const std::string& roms, const std::string& reqfiles) {
    os.writeFile(kProgramDir + "roms.dat", roms);
    os.writeFile(kProgramDir + "reqfiles.dat", reqfiles);
}

std::optional<int> LauncherTest::start() {
    try {
        app->start();
    } catch (const ProcessExit& e) {
        return e.code;
    }
    return std::nullopt;
}

std::optional<int> LauncherTest::showMain() {
    try {
        app->Form1->show();
        app->Form1->paint();
    } catch (const ProcessExit& e) {
        return e.code;
    }
    return std::nullopt;
}

std::optional<int> LauncherTest::closeMain() {
    try {
        app->Form1->close();
    } catch (const ProcessExit& e) {
        return e.code;
    }
    return std::nullopt;
}

std::vector<std::string> LauncherTest::messageTexts() const {
    std::vector<std::string> out;
    for (const auto& m : os.messages) out.push_back(m.text);
    return out;
}

}  // namespace qn::test
