#include <gtest/gtest.h>

#include "launch/game_directory.h"
#include "launch/options.h"
#include "launch/kept_files.h"
#include "platform/memory/memory_unzip.h"
#include "platform/memory/memory_zip.h"
#include <cctype>
#include <functional>
#include <map>
#include "test_support.h"

namespace qn {
namespace {

using Strings = std::vector<std::string>;

TEST(CommandLine, SwitchesComeInTheEmulatorsOrderWithTheResolutionLast) {
    OptionFlags flags{};
    EXPECT_EQ(emulatorCommandLine("c:\\quon\\", "loht", flags, 0), "c:\\quon\\quon.exe loht ");
    flags[FrameSkip] = flags[RotateScreen] = flags[NoScanlines] = true;
    EXPECT_EQ(emulatorCommandLine("", "x", flags, 0), "quon.exe x -n -r -f ");
    flags.fill(true);
    EXPECT_EQ(emulatorCommandLine("", "x", flags, 1), "quon.exe x -n -s -a -j -v -r -f -d360x256 ");
    // Outside the six modes the switch stands alone, without its space.
    EXPECT_EQ(emulatorCommandLine("", "x", flags, 6), "quon.exe x -n -s -a -j -v -r -f -d");
    EXPECT_EQ(emulatorCommandLine("", "x", flags, -1), "quon.exe x -n -s -a -j -v -r -f -d");
}

TEST(CommandLine, APathWithABlankIsOneQuotedWordAndLinesWithoutBlanksStayAsTheyWere) {
    OptionFlags s{};
    s[NoSound] = true;
    // Short forms on a volume without 8.3 names are the long paths, blanks and all.
    const std::pair<std::string, std::string> cases[] = {
        {unzipCommandLine("c:\\t\\unz.exe", "C:\\R\\g.zip", "C:\\Q\\g"), "c:\\t\\unz.exe -o C:\\R\\g.zip C:\\Q\\g"},
        {unzipCommandLine("c:\\my t\\unz.exe", "C:\\my r\\g.zip", "C:\\my q\\g"),
         "\"c:\\my t\\unz.exe\" -o \"C:\\my r\\g.zip\" \"C:\\my q\\g\""},
        // A tab splits words too; a quote, or a backslash before the closing one, is escaped.
        {unzipCommandLine("a\tb", "x \"y\".zip", "C:\\my q\\"), "\"a\tb\" -o \"x \\\"y\\\".zip\" \"C:\\my q\\\\\""},
        {emulatorCommandLine("C:\\acc\\my games\\", "gamma", s, 0), "\"C:\\acc\\my games\\quon.exe\" gamma -s "},
        {emulatorCommandLine("C:\\acc\\", "gamma", s, 0), "C:\\acc\\quon.exe gamma -s "},
    };
    for (const auto& [line, expected] : cases) EXPECT_EQ(line, expected);
}

TEST(CommandLine, GameSpecificOptionsKnowTheirGames) {
    for (const char* game : {"rtypeus", "imgfight", "gunforce", "inthunt"})
        EXPECT_TRUE(supportsFrameSkip(game)) << game;
    EXPECT_FALSE(supportsFrameSkip("RTYPEUS"));
    EXPECT_FALSE(supportsFrameSkip("sshoot"));
    EXPECT_TRUE(supportsRotation("imgfight"));
    EXPECT_FALSE(supportsRotation("imgfight2"));
}

// Games: sshoot (complete), rtypeus (protected driver name among its
// files), imgfight (incomplete).
class Launch : public test::LauncherTest {
protected:
    TForm1* f = nullptr;
    const std::string emu = "C:\\Games\\Quon\\";

    void SetUp() override {
        installSettings();
        os.setString(RootKey::LocalMachine, kSettingsKey, "Quon Path", emu);
        writeProgramFiles("#Sample Shooter|sshoot\r\n#Radiant|rtypeus\r\n#Image Fighter|imgfight\r\n",
                          "sshoot\\SS1.ROM\r\nsshoot\\SS2.ROM\r\nrtypeus\\r1.bin\r\nrtypeus\\RTYPEUS.QUN\r\n"
                          "rtypeus\\..\\..\\keep.txt\r\nrtypeus\\C:\\boot.ini\r\n"
                          "rtypeus\\\\abs.txt\r\nimgfight\\if.rom\r\n");
        os.writeFile(emu + "quon.exe", "exe");
        for (const char* file : {"sshoot\\SS1.ROM", "sshoot\\SS2.ROM", "sshoot\\sshoot.qun", "rtypeus\\r1.bin",
                                 "rtypeus\\RTYPEUS.QUN", "rtypeus\\keep.txt"})
            os.writeFile(emu + file, "x");
        os.writeFile("C:\\Games\\keep.txt", "outside");
        os.writeFile("C:\\boot.ini", "outside");
        ASSERT_EQ(start(), std::nullopt);
        ASSERT_EQ(showMain(), std::nullopt);
        f = app->Form1.get();
        // Every game's files read now: a test that changes them changes what a run uses.
        app->catalogue.withFiles(app->catalogue.size() - 1);
    }
    // Turns on compressed mode with the given unzip program and archives.
    void compressed(const std::string& roms = "C:\\Arcade Roms\\") {
        os.makeDirectories(roms);
        f->CheckBox7.setChecked(true);
        f->paths.take(PathBox::Unzip, "C:\\Tools\\pkunzip.exe");
        f->paths.take(PathBox::Roms, roms);
    }
    // Turns on drivers-path mode with the drivers of the given games.
    void driversPath(std::initializer_list<const char*> games) {
        for (const char* game : games)
            os.writeFile(std::string("C:\\Drivers\\") + game + ".qun", "drivers path driver");
        f->CheckBox8.setChecked(true);
        f->paths.take(PathBox::Drivers, "C:\\Drivers\\");
    }
    // A new launcher process on the same machine, as after the old one ended.
    void restart() {
        app.reset();
        app = std::make_unique<App>(os);
        ASSERT_EQ(start(), std::nullopt);
        ASSERT_EQ(showMain(), std::nullopt);
        f = app->Form1.get();
    }
    std::string content(const std::string& path) { return os.readFile(path).value_or("<missing>"); }
    using Entries = std::vector<std::pair<std::string, std::string>>;
    void archive(const std::string& game, const Entries& entries) {
        os.writeFile("C:\\Arcade Roms\\" + game + ".zip", storedZip(entries));
    }
    // The folder the last unzip program was told to write into.
    std::string unzipTarget() const {
        for (auto p = os.processes.rbegin(); p != os.processes.rend(); ++p)
            if (isUnzip(*p)) return p->request.commandLine.substr(p->request.commandLine.rfind(' ') + 1) + "\\";
        return "<no unzip>";
    }
    // The unzip program's work: as "-o" asks, each entry replaces whatever
    // is at its place in its target, read-only or not.
    void unzip(const Entries& entries, UnzipBehaviour how = {true, false}) {
        unzipInto(os, unzipTarget(), entries, how);
    }
    // A file's name as its directory lists it.
    std::string spelt(const std::string& path) {
        const size_t cut = path.rfind('\\');
        for (const std::string& name : os.filesIn(path.substr(0, cut)).value_or(Strings{}))
            if (test::upper(name) == test::upper(path.substr(cut + 1))) return name;
        return "<missing>";
    }
    const std::string records = test::kProgramDir + "RunRecords\\";
    bool isUnzip(const MemoryPlatform::StartedProcess& p) const {
        return p.request.commandLine.find("pkunzip") != std::string::npos;
    }
};

struct Crash {};

TEST_F(Launch, TheRunsCommandLineComesFromTheBoxesAsTheyShow) {
    f->ListView1.selectRow(0);
    for (int j = 0; j < OptionCount; ++j) f->optionBox(j)->setChecked(true);
    f->CheckBox6.setEnabled(false);  // checked but disabled still counts
    f->ListBox1.setItemIndex(0);
    f->SpeedButton1.click();
    ASSERT_EQ(os.processes.size(), 1u);
    EXPECT_EQ(os.processes[0].request.commandLine, "c:\\games\\quon\\quon.exe sshoot -n -s -a -j -v -r -f -d384x256 ");
}

TEST_F(Launch, TogglesAreStoredForTheSelectedGameOnly) {
    f->ListView1.selectRow(1);
    f->CheckBox2.click();
    f->CheckBox10.click();
    EXPECT_EQ(encodeOptionFlags(app->catalogue.games[1].OptionFlags), "01000001");
    f->ListView1.selectRow(0);
    EXPECT_FALSE(f->CheckBox2.checked());
    EXPECT_EQ(encodeOptionFlags(app->catalogue.games[0].OptionFlags), "00000000");
    f->ListView1.selectRow(1);
    EXPECT_TRUE(f->CheckBox2.checked());
    f->ListView1.selectRow(-1);
    f->CheckBox1.click();  // nothing selected: no game changes
    EXPECT_EQ(encodeOptionFlags(app->catalogue.games[1].OptionFlags), "01000001");
}

TEST_F(Launch, PlainRunStartsTheEmulatorHiddenAndComesBackToTheList) {
    f->CheckBox1.click();
    bool hiddenDuringRun = false;
    os.whileRunning = [&](const MemoryPlatform::StartedProcess&) { hiddenDuringRun = !f->showing(); };
    f->ListView1.doubleClick();
    ASSERT_EQ(os.processes.size(), 1u);
    const auto& run = os.processes[0];
    EXPECT_EQ(run.request.commandLine, "c:\\games\\quon\\quon.exe sshoot -n ");
    EXPECT_EQ(run.request.applicationName, "c:\\games\\quon\\quon.exe");
    EXPECT_EQ(run.currentDirectory, "C:\\Games\\Quon");
    EXPECT_TRUE(run.request.newConsole);
    EXPECT_FALSE(run.request.inheritHandles);
    EXPECT_EQ(run.request.show, ShowState::Normal);
    EXPECT_TRUE(run.request.wait);
    EXPECT_TRUE(hiddenDuringRun);
    EXPECT_TRUE(f->showing());
    EXPECT_EQ(f->focused(), &f->ListView1);
    EXPECT_TRUE(os.fileExists(emu + "sshoot\\SS1.ROM"));  // plain ROMs are never deleted
}

TEST_F(Launch, DuringTheUnzipTheWindowIsBusyARequestStartsNothingAndInputIsDroppedAfterTheRun) {
    os.writeFile("C:\\Arcade Roms\\rtypeus.zip", "zip");
    compressed();
    f->ListView1.selectRow(1);
    std::vector<ui::Cursor> cursors;
    os.whileRunning = [&](const MemoryPlatform::StartedProcess& p) {
        cursors.push_back(f->cursor());
        if (isUnzip(p)) f->SpeedButton1.click();  // answered while the unzip runs
        EXPECT_EQ(os.inputDrops, 0);
    };
    f->ListView1.doubleClick();
    EXPECT_EQ(os.processes.size(), 2u);
    EXPECT_EQ(cursors, (std::vector<ui::Cursor>{ui::Cursor::Wait, ui::Cursor::Default}));
    EXPECT_EQ(os.inputDrops, 1);
    os.whileRunning = nullptr;
    f->SpeedButton1.click();  // after the run, requests act again
    EXPECT_EQ(os.processes.size(), 4u);
}

TEST_F(Launch, ZippedRunUnpacksWithShortNamesThenCleansUp) {
    os.writeFile("C:\\Arcade Roms\\rtypeus.zip", "zip");
    compressed();
    os.writeFile("C:\\Drivers\\rtypeus.qun", "driver");
    os.deleteFile(emu + "rtypeus\\r1.bin");
    f->ListView1.selectRow(1);
    ASSERT_TRUE(f->RowIsRunnable(1));
    std::vector<bool> presentDuringRun;
    os.whileRunning = [&](const MemoryPlatform::StartedProcess& p) {
        if (p.request.commandLine.find("pkunzip") != std::string::npos)
            os.writeFile(unzipTarget() + "r1.bin", "unpacked");
    };
    f->SpeedButton1.click();
    ASSERT_EQ(os.processes.size(), 2u);
    const auto& unzip = os.processes[0];
    EXPECT_EQ(unzip.request.commandLine,
              "c:\\tools\\pkunzip.exe -o C:\\ARCADEROMS\\rtypeus.zip C:\\GAMES\\QUON\\RTYPEUS.UNPACKED");
    EXPECT_EQ(unzip.request.applicationName, "c:\\tools\\pkunzip.exe");
    EXPECT_EQ(unzip.currentDirectory, "C:\\Games\\Quon\\rtypeus");
    EXPECT_TRUE(unzip.request.inheritHandles);
    EXPECT_EQ(unzip.request.show, ShowState::Minimized);
    EXPECT_TRUE(unzip.request.wait);
    EXPECT_EQ(os.processes[1].request.commandLine, "c:\\games\\quon\\quon.exe rtypeus ");
    // The unpacked file is gone; the protected name, the files not listed
    // and everything outside the game's directory stay.
    EXPECT_FALSE(os.fileExists(emu + "rtypeus\\r1.bin"));
    EXPECT_TRUE(os.fileExists(emu + "rtypeus\\RTYPEUS.QUN"));
    EXPECT_TRUE(os.fileExists(emu + "rtypeus\\keep.txt"));
    EXPECT_TRUE(os.fileExists("C:\\Games\\keep.txt"));
    EXPECT_TRUE(os.fileExists("C:\\boot.ini"));
    EXPECT_EQ(os.currentDirectory(), "C:\\Games\\Quon");  // as the last child saw it
}

TEST_F(Launch, CleanUpKeepsTheUsersOwnRomFiles) {
    os.writeFile("C:\\Arcade Roms\\rtypeus.zip", "zip");
    compressed();
    f->ListView1.selectRow(1);
    f->ActivateSelectedGame();
    ASSERT_EQ(os.processes.size(), 2u);
    EXPECT_TRUE(os.fileExists(emu + "rtypeus\\r1.bin"));  // there before the unpacking
}

TEST_F(Launch, CleanUpDeletesTheRequiredFilesTheRunBroughtNeverOutsideNorTheProtectedDriver) {
    for (const char* file : {"SS1.ROM", "SS2.ROM", "sshoot.qun"}) os.deleteFile(emu + "sshoot\\" + file);
    for (const std::string& path : {std::string("C:\\abs.txt"), emu + "x", emu + "keep.txt"})
        os.writeFile(path, "outside");
    const Entries entries{{"SS1.ROM", "a"}, {"SSHOOT.QUN", "a"}, {"keep.txt", "a"}, {"x", "a"}, {"abs.txt", "a"}};
    archive("sshoot", entries);
    compressed();
    os.whileRunning = [&](const MemoryPlatform::StartedProcess& p) {
        if (isUnzip(p)) return unzip(entries);
    };
    const Strings outside{"..\\keep.txt", "C:\\boot.ini", "\\abs.txt", "sub/../../x"};
    struct Case {
        Strings required;
        bool driverStays;
    };
    // "Sshoot.qun" is not the protected name, yet names the same file here.
    for (const Case& c : {Case{{"SSHOOT.QUN", "SS1.ROM"}, true}, Case{{"SS1.ROM", "Sshoot.qun"}, false}}) {
        app->catalogue.withFiles(0);  // read again after each run's show
        GameRecord& game = app->catalogue.games[0];
        game.RequiredFiles = c.required;
        game.RequiredFiles.insert(game.RequiredFiles.end(), outside.begin(), outside.end());
        f->RunSelectedGame(*GameName::parse("sshoot"));  // runnable or not
        ASSERT_EQ(os.processes.back().request.commandLine.rfind("c:\\games\\quon\\quon.exe sshoot", 0), 0u);
        EXPECT_FALSE(os.fileExists(emu + "sshoot\\SS1.ROM"));
        EXPECT_EQ(os.fileExists(emu + "sshoot\\SSHOOT.QUN"), c.driverStays);
        for (const std::string& path :
             {emu + "keep.txt", std::string("C:\\boot.ini"), std::string("C:\\abs.txt"), emu + "x"})
            EXPECT_EQ(content(path), "outside") << path;
        os.deleteFile(emu + "sshoot\\SSHOOT.QUN");
    }
    EXPECT_EQ(messageTexts(), Strings{});
}

TEST_F(Launch, ProgramsAreStartedByTheirOwnFilesWithTheirPathsQuoted) {
    // Blanks in both directories: named by the command line alone, Windows
    // would try c:\program.exe first.
    for (const char* file : {"C:\\Program Files\\Quon\\quon.exe", "C:\\Program Files\\Quon\\rtypeus\\r1.bin",
                             "C:\\Program Files\\Quon\\rtypeus\\rtypeus.qun", "C:\\Arcade Roms\\rtypeus.zip"})
        os.writeFile(file, "x");
    os.writeFile("C:\\program.exe", "a decoy");
    f->paths.take(PathBox::Emulator, "C:\\Program Files\\Quon\\");
    compressed();
    f->paths.take(PathBox::Unzip, "C:\\Program Files\\PkZip\\pkunzip.exe");
    f->ListView1.selectRow(1);
    f->ListView1.doubleClick();
    ASSERT_EQ(os.processes.size(), 2u);
    const ProcessRequest& unzip = os.processes[0].request;
    EXPECT_EQ(unzip.applicationName, "c:\\program files\\pkzip\\pkunzip.exe");
    EXPECT_EQ(unzip.commandLine, "\"c:\\program files\\pkzip\\pkunzip.exe\" -o C:\\ARCADEROMS\\rtypeus.zip "
                                 "C:\\PROGRAMFILES\\QUON\\RTYPEUS.UNPACKED");
    const ProcessRequest& emulator = os.processes[1].request;
    EXPECT_EQ(emulator.applicationName, "c:\\program files\\quon\\quon.exe");
    EXPECT_EQ(emulator.commandLine, "\"c:\\program files\\quon\\quon.exe\" rtypeus ");
}

TEST_F(Launch, ARelativeEmulatorDirectoryIsReadOnceFromWhereTheRunStarts) {
    // Only a hand-edited setting is relative; the run reads it from the
    // directory it starts in, and the command line keeps it as it is.
    os.writeFile("C:\\Arcade Roms\\rtypeus.zip", "zip");
    compressed();
    f->paths.take(PathBox::Emulator, "games\\quon\\");
    os.deleteFile(emu + "rtypeus\\r1.bin");
    os.writeFile(emu + "r1.bin", "beside quon.exe");
    os.whileRunning = [&](const MemoryPlatform::StartedProcess& p) {
        if (isUnzip(p)) os.writeFile(unzipTarget() + "r1.bin", "unpacked");
    };
    os.setCurrentDirectory("C:\\");
    f->ListView1.selectRow(1);
    f->ListView1.doubleClick();
    ASSERT_EQ(os.processes.size(), 2u);
    EXPECT_EQ(os.processes[0].currentDirectory, "C:\\Games\\Quon\\rtypeus");
    EXPECT_EQ(os.processes[0].request.commandLine,
              "c:\\tools\\pkunzip.exe -o C:\\ARCADEROMS\\rtypeus.zip C:\\GAMES\\QUON\\RTYPEUS.UNPACKED");
    EXPECT_EQ(os.processes[1].currentDirectory, "C:\\Games\\Quon");
    EXPECT_EQ(os.processes[1].request.applicationName, "C:\\games\\quon\\quon.exe");
    EXPECT_EQ(os.processes[1].request.commandLine, "games\\quon\\quon.exe rtypeus ");
    EXPECT_FALSE(os.fileExists(emu + "rtypeus\\r1.bin"));
    EXPECT_EQ(content(emu + "r1.bin"), "beside quon.exe");
}

TEST_F(Launch, CleanUpDeletesNothingWhenTheGamesDirectoryCannotBeEntered) {
    // imgfight's directory cannot be made: a file of that name is in the way.
    os.writeFile(emu + "imgfight", "a file, not a directory");
    // A whole run neither unpacks nor starts anything there, and says why.
    os.writeFile("C:\\Arcade Roms\\imgfight.zip", "zip");
    compressed();
    driversPath({"imgfight"});
    const auto before = os.fileContents();
    f->ListView1.selectRow(2);
    ASSERT_TRUE(f->RowIsRunnable(2));
    os.messages.clear();
    f->ListView1.doubleClick();
    EXPECT_TRUE(os.processes.empty());
    EXPECT_EQ(messageTexts(), Strings{"Error creating the game's directory c:\\games\\quon\\imgfight (Cannot create a "
                                      "file when that file already exists.)"});
    EXPECT_EQ(os.fileContents(), before);
}

TEST_F(Launch, TheUsersFilesComeBackAsTheyWereAndTheRunStillUsesItsOwn) {
    driversPath({"rtypeus", "sshoot"});
    GameRecord& game = app->catalogue.games[1];
    game.RequiredFiles = {"r1.bin", "RTYPEUS.QUN", "r2.bin"};
    Entries entries;
    for (const char* name : {"r1.bin", "r2.bin", "keep.txt", "rtypeus.qun", "extra.txt"})
        entries.emplace_back(name, std::string("from the archive: ") + name);
    archive("rtypeus", entries);
    compressed();
    os.writeFile(emu + "rtypeus\\RTYPEUS.QUN", "user driver");
    os.writeFile(emu + "rtypeus\\r1.bin", "user rom");
    os.writeFile(emu + "rtypeus\\keep.txt", "user notes", true);  // read-only: the unzip overwrites it all the same
    os.writeFile(emu + "rtypeus\\hiscore.dat", "old scores");
    const auto before = os.fileContents();
    std::map<std::string, std::string> seen;
    os.whileRunning = [&](const MemoryPlatform::StartedProcess& p) {
        if (isUnzip(p)) return unzip(entries);
        for (const char* name : {"r1.bin", "r2.bin", "rtypeus.qun", "keep.txt"})
            seen[name] = content(emu + "rtypeus\\" + name);
        os.writeFile(emu + "rtypeus\\hiscore.dat", "new scores");  // the emulator's own
    };
    f->ListView1.selectRow(1);
    f->ListView1.doubleClick();
    ASSERT_EQ(os.processes.size(), 2u);
    // The run used the unpacked files and the driver of the drivers path.
    EXPECT_EQ(seen["r1.bin"], "from the archive: r1.bin");
    EXPECT_EQ(seen["r2.bin"], "from the archive: r2.bin");
    EXPECT_EQ(seen["keep.txt"], "from the archive: keep.txt");
    EXPECT_EQ(seen["rtypeus.qun"], "drivers path driver");
    // Afterwards every file of the user's is as it was, but for what the
    // emulator itself wrote; the run's required file is gone, a file only
    // the archive held stays, and nothing is left of the setting aside.
    auto expected = before;
    expected[test::upper(emu + "rtypeus\\hiscore.dat")] = "new scores";
    expected[test::upper(emu + "rtypeus\\extra.txt")] = "from the archive: extra.txt";
    EXPECT_EQ(os.fileContents(), expected);
    EXPECT_TRUE(os.isReadOnly(emu + "rtypeus\\keep.txt"));
    EXPECT_FALSE(os.directoryExists(records));
    EXPECT_EQ(messageTexts(), Strings{});

    // Plain ROMs with the drivers path: the user's driver comes back too.
    f->CheckBox7.setChecked(false);
    os.writeFile(emu + "sshoot\\sshoot.qun", "user driver");
    os.whileRunning = [&](const MemoryPlatform::StartedProcess&) {
        seen["sshoot.qun"] = content(emu + "sshoot\\sshoot.qun");
    };
    f->ListView1.selectRow(0);
    f->ListView1.doubleClick();
    ASSERT_EQ(os.processes.size(), 3u);
    EXPECT_EQ(seen["sshoot.qun"], "drivers path driver");
    EXPECT_EQ(content(emu + "sshoot\\sshoot.qun"), "user driver");
}

TEST_F(Launch, ARunLeavesNothingElsewhereAndReadsNoUserFile) {
    const Entries entries{{"r2.bin", "unpacked"}};
    archive("rtypeus", entries);
    compressed();
    os.writeFile(emu + "rtypeus\\movie.avi", std::string(1 << 20, 'm'));  // the user's, large
    const auto before = os.fileContents();
    os.whileRunning = [&](const MemoryPlatform::StartedProcess& p) {
        if (isUnzip(p)) return unzip(entries);
        os.writeFile(emu + "rtypeus\\movie.avi", "cut by the emulator");
    };
    os.filesRead.clear();
    f->ListView1.selectRow(1);
    f->ListView1.doubleClick();
    ASSERT_EQ(os.processes.size(), 2u);
    EXPECT_EQ(messageTexts(), Strings{});
    auto expected = before;
    expected[test::upper(emu + "rtypeus\\movie.avi")] = "cut by the emulator";  // the emulator's write stands
    expected[test::upper(emu + "rtypeus\\r2.bin")] = "unpacked";                // not a required file
    EXPECT_EQ(os.fileContents(), expected);
    for (const std::string& read : os.filesRead) EXPECT_EQ(read.find("movie"), std::string::npos) << read;

    // The run needs its record, and says where it could not write it.
    os.writeFile(test::kProgramDir + "RunRecords", "a file where the records would go");
    archive("rtypeus", {{"r1.bin", "unpacked"}});
    f->ListView1.selectRow(1);
    f->ListView1.doubleClick();
    EXPECT_EQ(os.processes.size(), 2u);
    ASSERT_EQ(messageTexts().size(), 1u);
    EXPECT_NE(messageTexts()[0].find("could not be written in " + records), std::string::npos) << messageTexts()[0];
    EXPECT_EQ(content(emu + "rtypeus\\r1.bin"), "x");
}

TEST_F(Launch, ALauncherKilledDuringARunLeavesTheFilesUntilItsChildrenHaveEnded) {
    const Entries entries{{"r1.bin", "unpacked"}};
    archive("rtypeus", entries);
    compressed();
    os.writeFile(emu + "rtypeus\\r1.bin", "user rom");
    ASSERT_EQ(closeMain(), 0);
    const MemoryPlatform machine = os;
    for (const bool duringUnzip : {true, false})
        for (const bool bound : {false, true}) {
            SCOPED_TRACE(std::string(duringUnzip ? "killed during the unzip, " : "killed during the game, ") +
                         (bound ? "children end with the launcher" : "children outlive the launcher"));
            os = machine;
            os.childrenCanBeBound = bound;
            restart();
            os.whileRunning = [&](const MemoryPlatform::StartedProcess& p) {
                if (!isUnzip(p)) throw Crash{};
                if (duringUnzip) throw Crash{};
                unzip(entries);
            };
            f->ListView1.selectRow(1);
            EXPECT_THROW(f->ListView1.doubleClick(), Crash);
            os.whileRunning = nullptr;
            restart();
            if (!bound) {
                // The child runs on: nothing is put back under it, and the
                // game is not run again over it.
                EXPECT_EQ(content(emu + "rtypeus\\r1.bin"), duringUnzip ? "user rom" : "unpacked");
                f->ListView1.selectRow(1);
                f->ListView1.doubleClick();
                EXPECT_EQ(os.processes.size(), duringUnzip ? 1u : 2u);
                EXPECT_EQ(messageTexts().size(), 1u);
                os.messages.clear();
                if (duringUnzip) unzip(entries);  // it ends, having written its file
                os.runningChildren.clear();
                restart();
            }
            EXPECT_EQ(content(emu + "rtypeus\\r1.bin"), "user rom");
            EXPECT_EQ(os.fileContents(), machine.fileContents());
            EXPECT_EQ(messageTexts(), Strings{});
        }
}

TEST_F(Launch, ARunEndedAtAnyChangeLosesNothingOnceTheLauncherStartsAgain) {
    const Entries entries{{"r1.bin", "unpacked"}, {"r2.bin", "unpacked"}, {"extra.txt", "unpacked"}};
    archive("rtypeus", entries);
    compressed();
    driversPath({"rtypeus"});
    GameRecord& game = app->catalogue.games[1];
    game.RequiredFiles = {"r1.bin", "r2.bin"};
    ASSERT_EQ(closeMain(), 0);  // the settings as they are now, for every start below
    os.writeFile(emu + "rtypeus\\r1.bin", "user rom");
    os.writeFile(emu + "rtypeus\\RTYPEUS.QUN", "user driver");
    os.writeFile(test::kProgramDir + "reqfiles.dat",
                 "sshoot\\SS1.ROM\r\nrtypeus\\r1.bin\r\nrtypeus\\r2.bin\r\n");
    const MemoryPlatform machine = os;
    const auto before = os.fileContents();
    auto unzipOnly = [&](const MemoryPlatform::StartedProcess& p) {
        if (isUnzip(p)) unzip(entries);
    };

    int changes = 0;
    restart();
    os.whileRunning = unzipOnly;
    os.beforeFileChange = [&](const std::string&) { ++changes; };
    f->ListView1.selectRow(1);
    f->ListView1.doubleClick();
    os.beforeFileChange = nullptr;
    ASSERT_EQ(os.processes.size(), 2u);
    ASSERT_GT(changes, 8);

    for (int endAt = 1; endAt <= changes; ++endAt) {
        SCOPED_TRACE(endAt);
        os = machine;
        restart();
        os.whileRunning = unzipOnly;
        int n = 0;
        os.beforeFileChange = [&](const std::string&) {
            if (++n == endAt) throw Crash{};
        };
        f->ListView1.selectRow(1);
        EXPECT_THROW(f->ListView1.doubleClick(), Crash);
        os.beforeFileChange = nullptr;
        restart();
        // The user's files as they were, the run's own gone, even one the
        // unzip was writing; what the archive alone held may be left over.
        auto after = os.fileContents();
        after.erase(test::upper(emu + "rtypeus\\extra.txt"));
        EXPECT_EQ(after, before);
        EXPECT_FALSE(os.directoryExists(records));
        EXPECT_FALSE(os.directoryExists(emu + "rtypeus set aside"));
        EXPECT_EQ(messageTexts(), Strings{});
    }
}

TEST_F(Launch, AStartAfterAKilledRunFinishesItAsItsCleanUpWouldHave) {
    const Entries entries{{"r1.bin", "unpacked"}, {"r2.bin", "unpacked"}, {"extra.txt", "unpacked"}};
    archive("rtypeus", entries);
    compressed();
    driversPath({"rtypeus"});
    app->catalogue.games[1].RequiredFiles = {"r1.bin", "r2.bin"};
    os.deleteFile(emu + "rtypeus\\RTYPEUS.QUN");  // the driver comes from the drivers path only
    os.writeFile(emu + "rtypeus\\r1.bin", "user rom");
    const auto before = os.fileContents();
    os.whileRunning = [&](const MemoryPlatform::StartedProcess& p) {
        if (isUnzip(p)) return unzip(entries);
        throw Crash{};  // the launcher ends while the game runs
    };
    f->ListView1.selectRow(1);
    EXPECT_THROW(f->ListView1.doubleClick(), Crash);
    os.whileRunning = nullptr;
    os.writeFile(emu + "rtypeus\\r1.bin", "the run's file, changed since");
    restart();
    // The user's file over the run's, the run's own required file and its
    // driver gone, what the archive alone held left, as after a whole run.
    auto expected = before;
    expected[test::upper(emu + "rtypeus\\extra.txt")] = "unpacked";
    EXPECT_EQ(os.fileContents(), expected);
    EXPECT_EQ(messageTexts(), Strings{});
    EXPECT_FALSE(os.directoryExists(records));
    EXPECT_FALSE(os.directoryExists(emu + "rtypeus set aside"));

    // A run of a game whose directory held nothing had nothing aside: the
    // next start puts nothing from anywhere into it.
    for (const char* name : {"r1.bin", "extra.txt", "keep.txt"}) os.deleteFile(emu + "rtypeus\\" + name);
    compressed();
    driversPath({"rtypeus"});
    const auto empty = os.fileContents();
    os.whileRunning = [&](const MemoryPlatform::StartedProcess& p) {
        if (isUnzip(p)) return unzip(entries);
        throw Crash{};
    };
    f->ListView1.selectRow(1);
    EXPECT_THROW(f->ListView1.doubleClick(), Crash);
    os.whileRunning = nullptr;
    restart();
    expected = empty;
    for (const char* name : {"R2.BIN", "EXTRA.TXT"}) expected[test::upper(emu) + "RTYPEUS\\" + name] = "unpacked";
    EXPECT_EQ(os.fileContents(), expected);
    EXPECT_EQ(messageTexts(), Strings{});
}

TEST_F(Launch, ARunningGameOrFilesThatCannotBePutBackBlockOnlyThatGame) {
    const Entries entries{{"r1.bin", "unpacked"}};
    archive("rtypeus", entries);
    archive("sshoot", {{"SS1.ROM", "unpacked"}});
    compressed();
    ASSERT_EQ(closeMain(), 0);  // for the second launcher too
    restart();
    os.writeFile(emu + "rtypeus\\r1.bin", "user rom");
    std::unique_ptr<FileLock> inUse;
    std::map<std::string, std::string> during, afterSecond;
    bool inSecond = false;
    os.whileRunning = [&](const MemoryPlatform::StartedProcess& p) {
        if (inSecond) return;
        if (isUnzip(p)) return unzip(entries);
        inUse = os.holdFile(emu + "rtypeus\\r1.bin");  // still open when the game ends
        inSecond = true;
        // A second launcher meanwhile: the same game is refused, another runs.
        App second(os);
        second.start();
        second.Form1->show();
        during = os.fileContents();
        second.Form1->ListView1.selectRow(1);
        second.Form1->ListView1.doubleClick();
        afterSecond = os.fileContents();
        second.Form1->ListView1.selectRow(0);
        second.Form1->ListView1.doubleClick();
        inSecond = false;
    };
    f->ListView1.selectRow(1);
    f->ListView1.doubleClick();
    os.whileRunning = nullptr;
    EXPECT_EQ(afterSecond, during);
    EXPECT_EQ(os.processes.size(), 4u);  // unzip and emulator, for each launcher's game
    const std::string stuck = "Some of your files in c:\\games\\quon\\rtypeus\\ could not be put back after the "
                              "last run of this game (The process cannot access the file because it is being used "
                              "by another process.): they are kept in c:\\games\\quon\\rtypeus set aside\\. Close "
                              "any program that may be using them and run the game again, or start the launcher "
                              "again, to have them put back.";
    ASSERT_EQ(messageTexts().size(), 2u);
    EXPECT_NE(messageTexts()[0].find("This game is still running"), std::string::npos);
    EXPECT_EQ(messageTexts()[1], stuck);

    os.messages.clear();
    f->ListView1.selectRow(1);
    f->ListView1.doubleClick();
    EXPECT_EQ(messageTexts(), Strings{stuck});
    EXPECT_EQ(os.processes.size(), 4u);
    f->ListView1.selectRow(0);
    f->ListView1.doubleClick();
    EXPECT_EQ(os.processes.size(), 6u);  // the other game runs

    // Once the file is let go, the next run of the game puts it back first.
    inUse.reset();
    os.messages.clear();
    os.whileRunning = [&](const MemoryPlatform::StartedProcess& p) {
        if (isUnzip(p)) unzip(entries);
    };
    f->ListView1.selectRow(1);
    f->ListView1.doubleClick();
    EXPECT_EQ(os.processes.size(), 8u);
    EXPECT_EQ(content(emu + "rtypeus\\r1.bin"), "user rom");
    EXPECT_EQ(messageTexts(), Strings{});
    EXPECT_FALSE(os.directoryExists(records));
}

TEST_F(Launch, NoRunWritesIntoTheLaunchersOwnDirectoryNorActsOnARecordFromOutside) {
    // The launcher installed in the emulator's directory, a game named
    // like the records' folder, and a record an archive might carry.
    installSettings();
    os.setString(RootKey::LocalMachine, kSettingsKey, "Quon Path", test::kProgramDir);
    os.writeFile(test::kProgramDir + "quon.exe", "exe");
    writeProgramFiles("#Records|RunRecords\r\n", "RunRecords\\r.bin\r\n");
    os.writeFile("C:\\Docs\\letter.doc", "the user's letter");
    const std::string planted = "QnLaunch run record 2\r\ngame=C:\\Docs\\\r\nrun=letter.doc\r\n";
    os.writeFile("C:\\Arcade Roms\\RunRecords.zip", storedZip({{"run-0.txt", planted}}));
    os.writeFile(records + "RunRecords.qun", "driver");
    restart();
    compressed();
    const auto before = os.fileContents();
    f->ListView1.selectRow(0);
    f->ListView1.doubleClick();
    EXPECT_TRUE(os.processes.empty());
    ASSERT_EQ(messageTexts().size(), 1u);
    EXPECT_EQ(messageTexts()[0], "The game was not run: its directory c:\\qnlaunch\\RunRecords\\ would take in the "
                                 "launcher's own directory " + test::kProgramDir + " or its records in " + records +
                                 ". Choose an emulator directory apart from them.");
    EXPECT_EQ(os.fileContents(), before);

    // Records written by hand, with the right name: one of a directory
    // outside the emulator's waits for it; the others delete nothing, and
    // one that names a folder or directory not made for its run is set
    // apart and named once.
    restart();
    installSettings();
    os.setString(RootKey::LocalMachine, kSettingsKey, "Quon Path", emu);
    writeProgramFiles("#Radiant|rtypeus\r\n", "rtypeus\\r1.bin\r\n");
    os.writeFile(emu + "rtypeus set aside\\hiscore.dat", "old scores");  // the user's own folder
    os.writeFile(emu + "rtypeus\\hiscore.dat", "new scores");
    os.writeFile(emu + "rtypeus\\notes.txt", "notes");
    os.writeFile("C:\\Outside\\letter.doc", "letter");
    os.links[test::upper(emu + "rtypeus\\out")] = "C:\\Outside";
    os.linkItems.insert(test::upper(emu + "rtypeus\\out"));
    const std::string game = emu + "rtypeus\\", id = "id:" + *os.directoryIdentity(game);
    const std::string head = "QnLaunch run record 3\r\ngame=" + game + "\r\ngameid=" + id + "\r\n";
    struct Planted {
        std::string dir, lines;
        bool setApart;
    };
    for (const Planted& c : {Planted{"C:\\Docs\\", "unpacked=x|Docs.unpacked\r\n", false},
                             Planted{game, "unpacked=x|rtypeus.unpacked\r\ndelete=file:1|notes.txt\r\n"
                                           "delete=file:2|out\\letter.doc\r\n", false},
                             Planted{game, "aside=" + id + "|rtypeus set aside\r\nkept=hiscore.dat\r\n", true},
                             Planted{game, "aside=-|..\\..\\Docs\r\n", true}}) {
        SCOPED_TRACE(c.lines);
        os.makeDirectories(c.dir);
        const std::string path = KeptFiles::recordPath(os, test::kProgramDir, c.dir);
        std::string text = head + c.lines;
        if (c.dir != game) text.replace(text.find(game), game.size(), c.dir);
        os.writeFile(path, text);
        auto expected = os.fileContents();
        if (c.dir == game) expected.erase(test::upper(path));  // finished, or set apart
        if (c.setApart) expected[test::upper(path) + ".NOT-TRUSTED"] = text;
        os.messages.clear();
        restart();
        EXPECT_EQ(os.fileContents(), expected);
        EXPECT_EQ(messageTexts().size(), c.setApart ? 1u : 0u);
        os.deleteFile(path);
        os.deleteFile(path + ".not-trusted");
    }
}

TEST_F(Launch, TheUnzipProgramIsFoundByTheNameTheUserGave) {
    os.writeFile("C:\\Tools\\pkunzip.exe", "exe");
    os.writeFile("C:\\Windows\\System32\\unzip32.exe", "exe");
    archive("rtypeus", {{"r2.bin", "x"}});
    compressed();
    struct Case {
        const char* setting;
        const char* program;
    };
    for (const Case& c : {Case{"C:\\Tools\\pkunzip", "C:\\tools\\pkunzip.exe"},
                          Case{"unzip32", "C:\\WINDOWS\\SYSTEM32\\unzip32.exe"},
                          Case{"C:\\Tools\\missing.exe", "c:\\tools\\missing.exe"}}) {
        SCOPED_TRACE(c.setting);
        os.processes.clear();
        f->paths.take(PathBox::Unzip, c.setting);
        f->ListView1.selectRow(1);
        f->ListView1.doubleClick();
        ASSERT_FALSE(os.processes.empty());
        EXPECT_EQ(os.processes[0].request.applicationName, c.program);
        // The command line names the program as the user gave it.
        std::string typed = c.setting;
        for (char& ch : typed) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        EXPECT_EQ(os.processes[0].request.commandLine.substr(0, typed.size() + 4), typed + " -o ");
    }
}

TEST_F(Launch, DriverIsCopiedInAndRemovedAfterwards) {
    os.writeFile("C:\\Drivers\\imgfight.qun", "driver");
    os.writeFile(emu + "imgfight\\if.rom", "x");
    f->CheckBox8.setChecked(true);
    f->paths.take(PathBox::Drivers, "C:\\Drivers\\");
    ASSERT_EQ(f->ListView1.row(2)[2], "Yes");
    f->ListView1.selectRow(2);
    bool driverDuringRun = false;
    os.whileRunning = [&](const MemoryPlatform::StartedProcess&) {
        driverDuringRun = os.fileExists(emu + "imgfight\\imgfight.qun");
    };
    f->ListView1.doubleClick();
    EXPECT_TRUE(driverDuringRun);
    EXPECT_FALSE(os.fileExists(emu + "imgfight\\imgfight.qun"));
    // A driver the user keeps in the game's directory is not deleted.
    os.writeFile("C:\\Drivers\\sshoot.qun", "driver");
    f->ListView1.selectRow(0);
    f->ListView1.doubleClick();
    EXPECT_TRUE(os.fileExists(emu + "sshoot\\sshoot.qun"));
}

TEST_F(Launch, FailuresBeforeTheStart) {
    // The emulator vanished: the path box empties, and with it the setting.
    os.deleteFile(emu + "quon.exe");
    f->ListView1.doubleClick();
    EXPECT_EQ(messageTexts(), Strings{"QUON program not found"});
    EXPECT_EQ(os.messages[0].kind, MessageKind::Warning);
    EXPECT_EQ(f->Edit1.text(), "");
    EXPECT_EQ(app->tpaths.emulatorPath, "");
    EXPECT_TRUE(os.processes.empty());

    os.writeFile(emu + "quon.exe", "exe");
    f->paths.take(PathBox::Emulator, emu);
    os.messages.clear();
    f->CheckBox7.setChecked(true);
    f->ComboBox1.userSelect(1);  // only available games: everything listed may run
    os.writeFile("C:\\Zips\\sshoot.zip", "z");
    f->paths.take(PathBox::Roms, "C:\\Zips\\");
    f->ListView1.doubleClick();
    EXPECT_EQ(messageTexts(), Strings{"Select PkUnzip path before running a compressed ROM"});
    EXPECT_EQ(os.messages[0].kind, MessageKind::Information);
    EXPECT_TRUE(os.processes.empty());
}

TEST_F(Launch, UnzipThatCannotStartAbandonsTheRun) {
    os.writeFile("C:\\Arcade Roms\\sshoot.zip", "zip");
    compressed();
    f->ComboBox1.userSelect(1);
    os.processResults.push_back(ProcessResult{false, 2, 0});
    f->ListView1.doubleClick();
    ASSERT_EQ(os.processes.size(), 1u);
    EXPECT_EQ(messageTexts(), (Strings{"2", "Error creating PkUnzip process (The system cannot find the file specified.)"}));
    EXPECT_EQ(os.messages[0].kind, MessageKind::Plain);
    EXPECT_EQ(os.messages[1].kind, MessageKind::Error);
    EXPECT_EQ(f->StatusBar1.panelText(3),
              "Check if the file c:\\tools\\pkunzip.exe exists and if it's v2.04g+");
    EXPECT_TRUE(f->showing());
}

TEST_F(Launch, EmulatorThatCannotStartStillCleansUp) {
    os.processResults.push_back(ProcessResult{false, 2, 0});
    os.processResults.push_back(ProcessResult{false, 5, 0});
    int shows = 0;
    auto previous = f->onShow;
    f->onShow = [&] { ++shows; previous(); };
    f->ListView1.doubleClick();
    f->ListView1.doubleClick();
    EXPECT_EQ(messageTexts(), (Strings{"QUON program not found in c:\\games\\quon\\ directory",
                                       "Error creating QUON process (Access is denied.)"}));
    EXPECT_EQ(os.messages[0].kind, MessageKind::Warning);
    EXPECT_EQ(shows, 0);  // never hidden, so not shown again
    EXPECT_EQ(f->focused(), &f->ListView1);
}

TEST_F(Launch, RunRequestsFollowTheFilterAndTheMode) {
    f->ComboBox1.userSelect(2);  // unavailable games only: never runs
    f->ListView1.doubleClick();
    EXPECT_TRUE(os.processes.empty());
    EXPECT_EQ(os.messages.size(), 1u);
    f->ComboBox1.userSelect(0);
    f->ListView1.click();  // the common interface: a single click only selects
    EXPECT_TRUE(os.processes.empty());
    app->singleClick = true;
    f->ListView1.click();
    EXPECT_EQ(os.processes.size(), 1u);
    f->ListView1.selectRow(-1);
    f->SpeedButton1.click();
    EXPECT_EQ(os.processes.size(), 1u);
}

TEST_F(Launch, EnterOnTheListDoesWhatADoubleClickDoesInBothInterfaces) {
    for (bool single : {false, true}) {
        SCOPED_TRACE(single ? "single click interface" : "common interface");
        (single ? f->SpeedButton9 : f->SpeedButton10).click();
        ASSERT_EQ(app->singleClick, single);
        os.processes.clear();
        os.messages.clear();
        f->ListView1.selectRow(-1);
        f->ListView1.keyPress('\r');  // nothing selected: nothing to run
        EXPECT_TRUE(os.processes.empty());
        EXPECT_TRUE(os.messages.empty());

        f->ListView1.selectRow(0);
        f->ListView1.keyPress('\x1b');  // no other key runs anything
        EXPECT_TRUE(os.processes.empty());
        f->ListView1.keyPress('\r');
        ASSERT_EQ(os.processes.size(), 1u);
        EXPECT_EQ(os.processes[0].request.commandLine, "c:\\games\\quon\\quon.exe sshoot ");
        EXPECT_EQ(f->focused(), &f->ListView1);

        f->ListView1.selectRow(2);  // imgfight: its ROM is missing
        f->ListView1.keyPress('\r');
        EXPECT_EQ(os.processes.size(), 1u);
        ASSERT_EQ(os.messages.size(), 1u);
        EXPECT_EQ(os.messages[0].text.rfind("Image Fighter is not available because:\r", 0), 0u);
    }
}

TEST_F(Launch, ReportListsTheMissingFilesLineByLine) {
    f->ListView1.selectRow(2);  // imgfight: its one file and its driver missing
    f->CheckBox8.setChecked(true);
    f->paths.take(PathBox::Drivers, "C:\\Drivers");
    const bool availableBefore = f->GameAvailable(0);
    f->ListView1.selectRow(2);
    f->ListView1.doubleClick();
    ASSERT_EQ(os.messages.size(), 1u);
    EXPECT_EQ(os.messages[0].kind, MessageKind::Information);
    EXPECT_EQ(os.messages[0].text,
              "Image Fighter is not available because:\r"
              "\r   - It wasn't found in c:\\games\\quon\\imgfight\\. \r     These files are missing:\r"
              "\r   - c:\\games\\quon\\imgfight\\if.rom"
              "\r"
              "\r   - The driver file c:\\drivers\\imgfight.qun wasn't found");
    EXPECT_TRUE(f->CheckBox8.checked());
    EXPECT_EQ(app->tpaths.driversPath, "c:\\drivers\\");
    EXPECT_EQ(f->GameAvailable(0), availableBefore);
    f->CheckBox8.setChecked(false);  // the box acts again after the report
    EXPECT_EQ(app->tpaths.driversPath, "");
}

TEST_F(Launch, ReportOfBothWorkedExamples) {
    // A game with two files missing and no driver, plain mode.
    os.deleteFile(emu + "sshoot\\SS1.ROM");
    os.deleteFile(emu + "sshoot\\SS2.ROM");
    os.deleteFile(emu + "sshoot\\sshoot.qun");
    f->paths.take(PathBox::Emulator, "C:\\GAMES\\QUON\\");
    f->ListView1.selectRow(0);
    f->ShowUnavailabilityReport();
    EXPECT_EQ(os.messages.back().text,
              "Sample Shooter is not available because:\r"
              "\r   - It wasn't found in c:\\games\\quon\\sshoot\\. \r     These files are missing:\r"
              "\r   - c:\\games\\quon\\sshoot\\SS1.ROM\r   - c:\\games\\quon\\sshoot\\SS2.ROM\r"
              "\r   - The driver file c:\\games\\quon\\sshoot\\sshoot.qun wasn't found");
    // The same game in compressed mode without its archive.
    compressed("C:\\Roms\\");
    f->ListView1.selectRow(0);
    f->ShowUnavailabilityReport();
    EXPECT_EQ(os.messages.back().text,
              "Sample Shooter is not available because:\r"
              "\r   - The compressed file c:\\roms\\sshoot.zip wasn't found"
              "\r   - The driver file c:\\games\\quon\\sshoot\\sshoot.qun wasn't found");
}

TEST_F(Launch, ReportWithoutAnEmulatorDirectory) {
    f->paths.take(PathBox::Emulator, "");
    f->ListView1.selectRow(0);
    os.setCurrentDirectory("C:\\Games\\Quon");
    f->ShowUnavailabilityReport();
    // The driver is then looked up under C:\, where evaluation left the
    // current directory.
    EXPECT_EQ(os.messages.back().text,
              "Sample Shooter is not available because:\r"
              "\r   - You have not selected the QUON path"
              "\r   - The driver file sshoot\\sshoot.qun wasn't found");
}

// Games whose short names cannot name a directory of their own, beside one
// that can, under a title with quotes and commas.
// Whatever the unzip program makes of the archive's names, the user's
// items come through the run as they were, under their own names; those
// whose place the unzip left free are back while the emulator runs.
TEST_F(Launch, TheUsersItemsComeThroughWhateverTheUnzipDoes) {
    const UnzipBehaviour pkunzip204g{false, true}, keepsFolders{true, false};
    struct Case {
        const char* what;
        UnzipBehaviour how;
        Entries user;     // below the game's directory, with their content
        Entries archive;
        Strings backAtOnce;  // of the user's files, those the emulator sees
    };
    const std::string deep = "d1\\d2\\d3\\d4\\d5\\d6\\d7\\d8\\d9\\d10\\a.bin";
    const Case cases[] = {
        {"names alone, long names cut", pkunzip204g, {{"a1.bin", "mine"}, {"longfile.bin", "mine"}},
         {{"roms/a1.bin", "run"}, {"longfilename.bin", "run"}}, {}},
        {"folders dropped", pkunzip204g, {{"hiscore.dat", "mine"}, {"notes.txt", "mine"}},
         {{"sub/hiscore.dat", "run"}}, {"notes.txt"}},
        {"8.3 capitals over a name of the user's", pkunzip204g, {{"SETTINGS.CFG", "mine"}},
         {{"settings_long.cfg", "run"}}, {}},
        {"8.3 capitals over lower case", pkunzip204g, {{"rt_b-h0.bin", "mine"}}, {{"rt_b-h0.bin", "run"}}, {}},
        {"other case, folders kept", keepsFolders, {{"rt_b-h0.bin", "mine"}, {"sub\\x", "mine"}},
         {{"RT_B-H0.BIN", "run"}, {"SUB/y", "run"}}, {"sub\\x"}},
        {"UTF-8 names", keepsFolders, {{"caf\xc3\xa9.bin", "mine"}}, {{"caf\xc3\xa9.bin", "run"}}, {}},
        {"a folder entry and a file entry of the user's file's name", keepsFolders, {{"a1.bin", "mine"}},
         {{"a1.bin/", ""}, {"a1.bin/x.bin", "run"}, {"a1.bin", "run"}}, {}},
        {"a file of the run's at the user's folder", keepsFolders, {{"sub\\x", "mine"}}, {{"sub", "run"}}, {}},
        {"entries named like a copy set aside", keepsFolders, {{"a1.bin", "mine"}},
         {{"a1.bin.qnkept", "run"}, {"../rtypeus set aside/a1.bin", "run"}, {"a1.bin", "run"}}, {}},
        {"deeper than any list", keepsFolders, {{deep, "mine"}, {"d1\\b.bin", "mine"}},
         {{"d1/d2/d3/d4/d5/d6/d7/d8/d9/d10/a.bin", "run"}}, {"d1\\b.bin"}},
    };
    ASSERT_EQ(closeMain(), 0);
    const MemoryPlatform machine = os;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        os = machine;
        restart();
        compressed();
        for (const auto& [name, bytes] : c.user) os.writeFile(emu + "rtypeus\\" + name, bytes);
        archive("rtypeus", c.archive);
        std::map<std::string, std::string> seen;
        os.whileRunning = [&](const MemoryPlatform::StartedProcess& p) {
            if (isUnzip(p)) return unzip(c.archive, c.how);
            for (const std::string& name : c.backAtOnce) seen[name] = content(emu + "rtypeus\\" + name);
        };
        f->ListView1.selectRow(1);
        f->ListView1.doubleClick();
        ASSERT_EQ(os.processes.size(), 2u);
        for (const std::string& name : c.backAtOnce) EXPECT_EQ(seen[name], "mine") << name;
        for (const auto& [name, bytes] : c.user) {
            EXPECT_EQ(content(emu + "rtypeus\\" + name), bytes) << name;
            EXPECT_EQ(spelt(emu + "rtypeus\\" + name), name.substr(name.rfind('\\') + 1)) << name;
        }
        EXPECT_EQ(messageTexts(), Strings{});
        EXPECT_FALSE(os.directoryExists(emu + "rtypeus set aside"));
        EXPECT_FALSE(os.directoryExists(records));
    }
}

TEST_F(Launch, AnOpenFileStopsTheRunOnlyWhereTheArchiveBringsAnItem) {
    archive("rtypeus", {{"r1.bin", "run"}});
    compressed();
    os.writeFile(emu + "rtypeus\\sub\\zz.bin", "mine");
    const auto before = os.fileContents();
    {
        // Open elsewhere in the game's directory: nothing the run touches.
        const std::unique_ptr<FileLock> open = os.holdFile(emu + "rtypeus\\sub\\zz.bin");
        os.whileRunning = [&](const MemoryPlatform::StartedProcess& p) {
            if (isUnzip(p)) unzip({{"r1.bin", "run"}});
        };
        f->ListView1.selectRow(1);
        f->ListView1.doubleClick();
        EXPECT_EQ(os.processes.size(), 2u);
        EXPECT_EQ(messageTexts(), Strings{});
        EXPECT_EQ(os.fileContents(), before);
    }
    const std::unique_ptr<FileLock> open = os.holdFile(emu + "rtypeus\\r1.bin");
    f->ListView1.doubleClick();
    EXPECT_EQ(os.processes.size(), 3u);  // the unzip only
    EXPECT_EQ(messageTexts(), Strings{"The game was not run: the launcher could not move c:\\games\\quon\\rtypeus\\"
                                      "r1.bin (The process cannot access the file because it is being used by another "
                                      "process.). Nothing in c:\\games\\quon\\rtypeus\\ was changed."});
    EXPECT_EQ(os.fileContents(), before);
    EXPECT_EQ(spelt(emu + "rtypeus\\r1.bin"), "r1.bin");
    EXPECT_FALSE(os.directoryExists(emu + "rtypeus set aside"));
    EXPECT_FALSE(os.directoryExists(emu + "rtypeus.unpacked"));
    EXPECT_FALSE(os.directoryExists(records));
}

TEST_F(Launch, WhatTheRunLeftInAnItemsWayIsNamedWhenItCannotGo) {
    archive("rtypeus", {{"saves", "the archive's"}});
    compressed();
    os.writeFile(emu + "rtypeus\\saves\\slot1", "mine");
    os.whileRunning = [&](const MemoryPlatform::StartedProcess& p) {
        if (isUnzip(p)) return unzip({{"saves", "the archive's"}});
        os.writeFile(emu + "rtypeus\\saves", "the archive's", true);  // the emulator makes it read-only
    };
    f->ListView1.selectRow(1);
    f->ListView1.doubleClick();
    const std::string dir = "c:\\games\\quon\\";
    EXPECT_EQ(messageTexts(), Strings{"Your folder " + dir + "rtypeus\\saves was kept as " + dir +
                                      "rtypeus set aside\\saves: the run left something at " + dir +
                                      "rtypeus\\saves that could not be removed. Look at both and keep what "
                                      "you want."});
    EXPECT_EQ(content(emu + "rtypeus set aside\\saves\\slot1"), "mine");
    EXPECT_EQ(content(emu + "rtypeus\\saves"), "the archive's");
    EXPECT_FALSE(os.directoryExists(records));  // told once, not at every start
}

TEST_F(Launch, OnlyTheUsersItemsAtTheArchivesPlacesMoveAndFoldersMerge) {
    const Entries entries{{"r1.bin", "archive"}, {"saves/slot2", "archive"}, {"new.txt", "archive"}};
    archive("rtypeus", entries);
    compressed();
    os.writeFile(emu + "rtypeus\\R1.BIN", "user rom");  // its place, in other letter case
    os.writeFile(emu + "rtypeus\\saves\\slot1", "mine");
    for (int n = 0; n < 300; ++n) os.writeFile(emu + "rtypeus\\keep\\save" + std::to_string(n), "mine");
    const auto before = os.fileContents();
    std::vector<std::string> changed;
    std::map<std::string, std::string> seen;
    os.whileRunning = [&](const MemoryPlatform::StartedProcess& p) {
        if (isUnzip(p)) return unzip(entries);
        seen = os.fileContents();
    };
    os.beforeFileChange = [&](const std::string& path) { changed.push_back(test::upper(path)); };
    os.listingCalls = 0;
    f->ListView1.selectRow(1);
    f->ListView1.doubleClick();
    os.beforeFileChange = nullptr;
    ASSERT_EQ(os.processes.size(), 2u);
    EXPECT_EQ(messageTexts(), Strings{});
    // The emulator saw the archive's items beside the user's.
    EXPECT_EQ(seen[test::upper(emu + "rtypeus\\r1.bin")], "archive");
    EXPECT_EQ(seen[test::upper(emu + "rtypeus\\saves\\slot1")], "mine");
    EXPECT_EQ(seen[test::upper(emu + "rtypeus\\saves\\slot2")], "archive");
    // Nothing of the user's moved but the one item in the archive's way,
    // and no folder was listed for each of the user's items.
    for (const std::string& path : changed) {
        EXPECT_EQ(path.find("\\KEEP\\"), std::string::npos) << path;
        EXPECT_EQ(path.find("SLOT1"), std::string::npos) << path;
    }
    EXPECT_LT(os.listingCalls, 20);
    auto expected = before;
    expected[test::upper(emu + "rtypeus\\saves\\slot2")] = "archive";
    expected[test::upper(emu + "rtypeus\\new.txt")] = "archive";
    EXPECT_EQ(os.fileContents(), expected);
    EXPECT_EQ(spelt(emu + "rtypeus\\R1.BIN"), "R1.BIN");
    EXPECT_FALSE(os.directoryExists(emu + "rtypeus set aside"));
    EXPECT_FALSE(os.directoryExists(emu + "rtypeus.unpacked"));
}

TEST_F(Launch, ARunThatCannotBringItsItemsInLeavesTheGamesDirectoryAsItWas) {
    const Entries entries{{"r1.bin", "archive"}, {"out/letter.doc", "archive"}, {"hi.sav", "archive"}};
    archive("rtypeus", entries);
    compressed();
    os.writeFile("C:\\Outside\\letter.doc", "outside");
    os.writeFile("C:\\Outside\\hi.sav", "outside");
    const std::string dir = "c:\\games\\quon\\rtypeus\\", unchanged = ". Nothing in " + dir + " was changed.";
    const std::string diskFull = " (There is not enough space on the disk.)";
    struct Case {
        const char* what;
        std::function<void()> arrange;
        std::function<void(const MemoryPlatform::StartedProcess&)> unzipAlso;
        std::string message;  // its start, or the whole of it
        bool unzips = true;
    };
    const auto link = [&](const std::string& name, const std::string& target) {
        os.links[emu + "rtypeus\\" + name] = target;
        os.linkItems.insert(test::upper(emu + "rtypeus\\" + name));
    };
    const Case cases[] = {
        {"a folder link at the archive's place", [&] { link("out", "C:\\Outside"); }, nullptr,
         "The game was not run: " + dir + "out is a link, and the game's archive brings an item of that name. "
         "Links are never moved or followed: move or rename it, then run the game again."},
        {"a file link at the archive's place", [&] { link("hi.sav", "C:\\Outside\\hi.sav"); }, nullptr,
         "The game was not run: " + dir + "hi.sav is a link"},
        {"a full disk after the unzip", nullptr, [&](const MemoryPlatform::StartedProcess&) { os.diskFull = true; },
         "The game was not run: the note of it that the launcher keeps while the run has files in " + dir +
             " could not be written in " + records + diskFull},
        {"no room for the record at all", [&] { os.diskFull = true; }, nullptr,
         "The game was not run: the note of it that the launcher keeps while the run has files in " + dir +
             " could not be written in " + records + diskFull, false},
        {"a failing unzip", [&] { os.processResults.push_back({true, 0, 50}); }, nullptr,
         "The game was not run: the unzip program ended with exit code 50 while it unpacked "
         "C:\\ARCADEROMS\\rtypeus.zip (a damaged archive, or a full disk, say)" + unchanged},
        {"a read-only emulator directory", [&] { os.readOnlyDirectories.insert(test::upper("C:\\Games\\Quon")); },
         nullptr, "The game was not run: the folder c:\\games\\quon\\rtypeus.unpacked for the game's unpacked files "
                  "could not be made (Access is denied.)" + unchanged, false},
        {"a read-only game directory", [&] { os.readOnlyDirectories.insert(test::upper(emu + "rtypeus")); }, nullptr,
         "The game was not run: the launcher could not move " + dir + "r1.bin (Access is denied.)" + unchanged},
    };
    const MemoryPlatform machine = os;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        os = machine;
        if (c.arrange) c.arrange();
        const auto before = os.fileContents();
        bool first = true;
        os.whileRunning = [&](const MemoryPlatform::StartedProcess& p) {
            if (!isUnzip(p)) return;
            unzip(entries);
            if (c.unzipAlso && first) c.unzipAlso(p);
            first = false;
        };
        f->ListView1.selectRow(1);
        f->ListView1.doubleClick();
        EXPECT_EQ(os.processes.size(), machine.processes.size() + (c.unzips ? 1 : 0));
        ASSERT_EQ(messageTexts().size(), 1u);
        EXPECT_EQ(messageTexts()[0].substr(0, c.message.size()), c.message);
        os.diskFull = false;
        os.readOnlyDirectories.clear();
        EXPECT_EQ(os.fileContents(), before);
        for (const char* folder : {"rtypeus.unpacked", "rtypeus set aside"})
            EXPECT_FALSE(os.directoryExists(emu + folder)) << folder;
        // With the way clear, the game runs again without a word.
        os.messages.clear();
        os.links.clear();
        os.linkItems.clear();
        f->ListView1.doubleClick();
        EXPECT_EQ(messageTexts(), Strings{});
        EXPECT_FALSE(os.directoryExists(records));
    }
}

TEST_F(Launch, TheLockKnowsTheGamesDirectoryHoweverItIsSpelt) {
    archive("rtypeus", {{"r1.bin", "run"}});
    compressed();
    ASSERT_EQ(closeMain(), 0);
    restart();
    os.links["C:\\GAMES~1"] = "C:\\Games";
    os.whileRunning = [&](const MemoryPlatform::StartedProcess& p) {
        if (isUnzip(p) || os.processes.size() > 2) return;
        os.setString(RootKey::LocalMachine, kSettingsKey, "Quon Path", "C:\\GAMES~1\\QUON\\");
        App second(os);
        second.start();
        second.Form1->show();
        second.Form1->ListView1.selectRow(1);
        second.Form1->ListView1.doubleClick();
    };
    f->ListView1.selectRow(1);
    f->ListView1.doubleClick();
    EXPECT_EQ(os.processes.size(), 2u);
    ASSERT_EQ(messageTexts().size(), 1u);
    EXPECT_NE(messageTexts()[0].find("This game is still running"), std::string::npos);
    EXPECT_EQ(content(emu + "rtypeus\\r1.bin"), "x");
}

class UnusableShortNames : public test::LauncherTest {
protected:
    TForm1* f = nullptr;
    const std::string emu = "C:\\Games\\Quon\\";
    const Strings titles = {"Parent", "Words", "Nested", "Nameless", "Drive", "Device", "Trailing"};
    const Strings names = {"..", "ab -x \"y", "sub\\game", "", "c:x", "con", "game."};

    void SetUp() override {
        installSettings();
        os.setString(RootKey::LocalMachine, kSettingsKey, "Quon Path", emu);
        std::string roms;
        for (size_t i = 0; i < titles.size(); ++i) roms += "#" + titles[i] + "|" + names[i] + "\r\n";
        roms += "#A \"quoted\" title, with commas|good\r\n";
        // The first game's files, read from its "directory", are the
        // emulator itself and a file beside the emulator directory.
        writeProgramFiles(roms, "..\\quon.exe\r\n..\\keep.txt\r\n");
        os.writeFile(emu + "quon.exe", "exe");
        os.writeFile("C:\\Games\\keep.txt", "the user's");
        for (const std::string& name : names) {
            os.writeFile("C:\\Zips\\" + name + ".zip", "zip");
            os.writeFile("C:\\Drivers\\" + name + ".qun", "driver");
        }
        os.makeDirectories(emu + "sub");
        ASSERT_EQ(start(), std::nullopt);
        ASSERT_EQ(showMain(), std::nullopt);
        f = app->Form1.get();
    }
};

TEST_F(UnusableShortNames, AreNeverRunUnpackedIntoOrCleanedUp) {
    const auto before = os.fileContents();
    for (bool writing : {false, true}) {
        SCOPED_TRACE(writing ? "compressed ROMs and drivers path" : "plain ROMs");
        if (writing) {
            f->CheckBox7.setChecked(true);
            f->paths.take(PathBox::Unzip, "C:\\Tools\\pkunzip.exe");
            f->paths.take(PathBox::Roms, "C:\\Zips\\");
            f->CheckBox8.setChecked(true);
            f->paths.take(PathBox::Drivers, "C:\\Drivers\\");
        }
        for (int row = 0; row < static_cast<int>(names.size()); ++row) {
            ASSERT_EQ(f->ListView1.row(row)[1], names[row]);
            const std::string warning = unusableShortNameMessage(titles[row], names[row]);
            f->ListView1.selectRow(row);
            os.messages.clear();
            f->ListView1.doubleClick();
            f->SpeedButton1.click();
            ASSERT_EQ(messageTexts(), (Strings{warning, warning})) << names[row];
            EXPECT_EQ(os.messages[0].kind, MessageKind::Warning);
            EXPECT_FALSE(GameName::parse(names[row]).has_value());
            EXPECT_TRUE(os.processes.empty()) << names[row];
            EXPECT_EQ(os.fileContents(), before) << names[row];
        }
    }
    // The title is free text: the game with a plain short name runs.
    f->CheckBox7.setChecked(false);
    f->CheckBox8.setChecked(false);
    f->ListView1.selectRow(7);
    os.messages.clear();
    f->ListView1.doubleClick();
    EXPECT_EQ(messageTexts(), Strings{});
    ASSERT_EQ(os.processes.size(), 1u);
    EXPECT_EQ(os.processes[0].request.commandLine, "c:\\games\\quon\\quon.exe good ");
}

}  // namespace
}  // namespace qn
