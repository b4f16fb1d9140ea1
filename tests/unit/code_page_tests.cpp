// Text that comes in the code page, paths the code page cannot spell, and a
// close that writes back only what was read.
#include "launch/child_paths.h"
#include "test_support.h"

namespace qn {
namespace {

// Cyrillic and accented names, in UTF-8 as inside the program.
const std::string kGames = "c:\\\xD0\xB8\xD0\xB3\xD1\x80\xD1\x8B\\";                  // c:\игры\ .
const std::string kEmulator = kGames + "\xD0\xBA\xD0\xB2\xD0\xBE\xD0\xBD\\";        // ...\квон\ .
const std::string kCafe = "Caf\xC3\xA9 Racer";

TEST(PathsToWrite, AClosePutsBackWhatTheStartReadUnlessTheUserChangedIt) {
    const struct { const char* read; const char* shown; const char* now; const char* written; } cases[] = {
        {"C:\\Games\\", "c:\\games\\", "c:\\games\\", "c:\\games\\"},     // folded as shown
        {"C:\\Games", "c:\\games\\", "c:\\games\\", "c:\\games\\"},       // with its backslash
        {"C:\\\xD0\x98\xD0\xB3\xD1\x80\xD1\x8B\\", "c:\\\xD0\xB8\xD0\xB3\xD1\x80\xD1\x8B\\",
         "c:\\\xD0\xB8\xD0\xB3\xD1\x80\xD1\x8B\\", "c:\\\xD0\xB8\xD0\xB3\xD1\x80\xD1\x8B\\"},
        {"C:\\\xD0\x98\xD0\xB3\xD1\x80\xD1\x8B\\", "c:\\????\\", "c:\\????\\",
         "C:\\\xD0\x98\xD0\xB3\xD1\x80\xD1\x8B\\"},                      // not read faithfully
        {"C:\\Games\\", "c:\\games\\", "c:\\other\\", "c:\\other\\"},     // the user's choice
        {"C:\\Games\\", "c:\\????\\", "c:\\other\\", "c:\\other\\"},
        {"C:\\Games\\", "c:\\games\\", "", ""},                           // emptied by the user
        {"", "", "", ""},
    };
    for (const auto& c : cases) {
        const TPaths read{"m", c.read, c.read, c.read, c.read};
        const TPaths shown{"m", c.shown, c.shown, c.shown, c.shown};
        const TPaths now{"m", c.now, c.now, c.now, c.now};
        const TPaths written = pathsToWrite(read, shown, now);
        for (const std::string* path : {&written.emulatorPath, &written.romsPath, &written.unzipProgram,
                                        &written.driversPath})
            EXPECT_EQ(*path, c.written) << c.read << " / " << c.shown << " / " << c.now;
    }
}

class CodePage : public test::LauncherTest {
protected:
    TForm1* f = nullptr;

    void SetUp() override {
        installSettings();
        os.setString(RootKey::LocalMachine, kSettingsKey, "Quon Path", kEmulator);
        // roms.dat is text in the code page: 0xE9 is the accented e.
        writeProgramFiles("#Caf\xE9 Racer|cafe\r\n#Sample Shooter|sshoot\r\n", "cafe\\c.rom\r\nsshoot\\s.rom\r\n");
        os.writeFile(kEmulator + "quon.exe", "exe");
        os.writeFile(kEmulator + "cafe\\c.rom", "rom");
        os.writeFile(kEmulator + "cafe\\cafe.qun", "driver");
    }
    void startAndShow() {
        ASSERT_EQ(start(), std::nullopt);
        ASSERT_EQ(showMain(), std::nullopt);
        f = app->Form1.get();
    }
};

TEST_F(CodePage, ATitleWithAnAccentOfTheCodePageKeepsItsStoredOptions) {
    // The old calls stored the code page's text as UTF-16; it reads as UTF-8.
    os.setString(RootKey::LocalMachine, kSettingsKey, kCafe, "10100000");
    startAndShow();
    EXPECT_EQ(app->catalogue.games[0].Title, kCafe);
    EXPECT_EQ(encodeOptionFlags(app->catalogue.games[0].OptionFlags), "10100000");
    EXPECT_TRUE(f->RowIsRunnable(0));  // its files found under the Cyrillic directory
    f->ListView1.selectRow(0);
    f->CheckBox2.click();
    EXPECT_EQ(closeMain(), 0);
    EXPECT_EQ(setting(kCafe), std::string("11100000") + '\0');
    EXPECT_EQ(setting("Caf\xE9 Racer"), std::nullopt);
    EXPECT_EQ(setting("Quon Path"), kEmulator + '\0');
}

TEST_F(CodePage, ACloseWritesNoPathTheProgramAlteredAndEveryPathTheUserChose) {
    startAndShow();
    // As a window that could not show the path would have given it back.
    app->pathsShown->emulatorPath = app->tpaths.emulatorPath = "c:\\????\\????\\";
    app->tpaths.driversPath = "c:\\drivers\\";  // the user's, as through its box
    EXPECT_EQ(closeMain(), 0);
    EXPECT_EQ(setting("Quon Path"), kEmulator + '\0');
    EXPECT_EQ(setting("Drivers Path"), std::string("c:\\drivers\\") + '\0');
}

TEST_F(CodePage, AnUnzipThatCouldNotOpenADirectoryIsNotStarted) {
    startAndShow();
    os.makeDirectories(kGames + "roms\\");
    os.writeFile(kGames + "roms\\cafe.zip", "zip");
    os.makeDirectories("c:\\roms\\");
    os.writeFile("c:\\roms\\cafe.zip", "zip");
    f->CheckBox7.setChecked(true);
    f->paths.take(PathBox::Unzip, "C:\\Tools\\pkunzip.exe");
    // The in-memory short names keep the letters: these have no form the
    // code page spells, neither short nor long.
    for (const std::string& roms : {kGames + "roms\\", std::string("c:\\roms\\")}) {
        f->paths.take(PathBox::Roms, roms);
        f->ListView1.selectRow(0);
        os.messages.clear();
        f->SpeedButton1.click();
        ASSERT_EQ(os.messages.size(), 1u) << roms;
        // The unzip writes into a folder of the run's own beside the game's directory.
        const std::string named = roms == "c:\\roms\\" ? kEmulator + "cafe.unpacked\\" : roms;
        EXPECT_EQ(os.messages[0].text, unspellableDirectoryMessage(named));
        EXPECT_TRUE(os.processes.empty());
        EXPECT_FALSE(os.directoryExists(kEmulator + "cafe.unpacked"));
    }
}

TEST_F(CodePage, TheAboutTextComesFromTheCodePageAndScrollsByCharacters) {
    os.writeFile(test::kProgramDir + "abouttxt.dat", "\xC9t\xE9 \xE0 Caf\xE9\r\n");
    startAndShow();
    f->SpeedButton7.click();
    TForm4* about = app->Form4.get();
    EXPECT_EQ(about->aboutText(), "\xC3\x89t\xC3\xA9 \xC3\xA0 Caf\xC3\xA9");
    EXPECT_EQ(about->ProgressBar1.maximum(), 10);
    about->ProgressBar1.setPosition(2);
    about->ShowAboutSlice();
    EXPECT_EQ(about->Edit1.text(), "\xC3\xA9 \xC3\xA0 Caf\xC3\xA9<" + std::string(247, '-'));
}

TEST(CodePagePath, TheShortFormWhereTheCodePageSpellsItElseTheLongOne) {
    MemoryPlatform os;
    os.makeDirectories("c:\\arcade roms\\");
    os.makeDirectories("c:\\\xC3\xA9mulateur\\");
    os.makeDirectories(kGames);
    EXPECT_EQ(codePagePath(os, "c:\\arcade roms\\"), "C:\\ARCADEROMS\\");
    EXPECT_EQ(codePagePath(os, "c:\\\xC3\xA9mulateur\\"), "C:\\\xC3\xA9MULATEUR\\");
    EXPECT_EQ(codePagePath(os, "c:\\missing\\"), "c:\\missing\\");  // no short form: itself
    EXPECT_EQ(codePagePath(os, kGames), std::nullopt);
}

}  // namespace
}  // namespace qn
