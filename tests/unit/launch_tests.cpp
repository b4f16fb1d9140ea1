#include <gtest/gtest.h>

#include "launch/game_directory.h"
#include "launch/options.h"
#include "launch/run_journal.h"
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
    }
    // Turns on compressed mode with the given unzip program and archives.
    void compressed(const std::string& roms = "C:\\Arcade Roms\\") {
        os.makeDirectories(roms);
        f->CheckBox7.setChecked(true);
        f->Edit2.setText("C:\\Tools\\pkunzip.exe");
        f->Edit3.setText(roms);
    }
    // Turns on drivers-path mode with the drivers of the given games.
    void driversPath(std::initializer_list<const char*> games) {
        for (const char* game : games)
            os.writeFile(std::string("C:\\Drivers\\") + game + ".qun", "drivers path driver");
        f->CheckBox8.setChecked(true);
        f->Edit4.setText("C:\\Drivers\\");
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
    bool isUnzip(const MemoryPlatform::StartedProcess& p) const {
        return p.request.commandLine.find("pkunzip") != std::string::npos;
    }
};

struct Crash {};

TEST_F(Launch, CommandLinesFollowTheEmulatorsSwitchOrder) {
    EXPECT_EQ(f->BuildEmulatorCommandLine("c:\\games\\quon\\", "imgfight"), "c:\\games\\quon\\quon.exe imgfight ");
    for (ui::CheckBox* box : {&f->CheckBox2, &f->CheckBox5, &f->CheckBox9, &f->CheckBox10}) box->setChecked(true);
    f->ListBox1.setItemIndex(3);
    EXPECT_EQ(f->BuildEmulatorCommandLine("c:\\games\\quon\\", "imgfight"),
              "c:\\games\\quon\\quon.exe imgfight -s -v -r -d320x240 ");
    for (int j = 0; j < OptionCount; ++j) f->optionBox(j)->setChecked(true);
    f->CheckBox6.setEnabled(false);  // checked but disabled still counts
    f->ListBox1.setItemIndex(0);
    EXPECT_EQ(f->BuildEmulatorCommandLine("c:\\games\\quon\\", "imgfight"),
              "c:\\games\\quon\\quon.exe imgfight -n -s -a -j -v -r -f -d384x256 ");
    f->ListBox1.setItemIndex(5);
    EXPECT_EQ(f->BuildEmulatorCommandLine("", "x"), "quon.exe x -n -s -a -j -v -r -f -d224x288 ");
    f->ListBox1.setItemIndex(-1);
    EXPECT_EQ(f->BuildEmulatorCommandLine("", "x"), "quon.exe x -n -s -a -j -v -r -f -d");
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
            os.writeFile(emu + "rtypeus\\r1.bin", "unpacked");
    };
    f->SpeedButton1.click();
    ASSERT_EQ(os.processes.size(), 2u);
    const auto& unzip = os.processes[0];
    EXPECT_EQ(unzip.request.commandLine,
              "c:\\tools\\pkunzip.exe -o C:\\ARCADEROMS\\rtypeus.zip C:\\GAMES\\QUON\\rtypeus");
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
    EXPECT_EQ(os.currentDirectory(), "C:\\Games\\Quon\\rtypeus");
}

TEST_F(Launch, CleanUpKeepsTheUsersOwnRomFiles) {
    os.writeFile("C:\\Arcade Roms\\rtypeus.zip", "zip");
    compressed();
    f->ListView1.selectRow(1);
    f->ActivateSelectedGame();
    ASSERT_EQ(os.processes.size(), 2u);
    EXPECT_TRUE(os.fileExists(emu + "rtypeus\\r1.bin"));  // there before the unpacking
}

TEST_F(Launch, CleanUpNeverLeavesTheGamesDirectory) {
    GameRecord& game = app->catalogue.games[1];
    EXPECT_EQ(game.RequiredFiles[2], "..\\..\\keep.txt");  // names are kept whole
    game.RequiredFileCount = 6;
    game.RequiredFiles.resize(6);
    game.RequiredFiles[2] = "..\\keep.txt";
    game.RequiredFiles[3] = "C:\\boot.ini";
    game.RequiredFiles[4] = "\\abs.txt";
    game.RequiredFiles[5] = "sub/../../x";
    os.writeFile("C:\\abs.txt", "outside");
    os.writeFile(emu + "x", "outside");
    os.writeFile(emu + "keep.txt", "outside");
    f->DeleteUnpackedRoms("rtypeus");
    EXPECT_FALSE(os.fileExists(emu + "rtypeus\\r1.bin"));
    for (const std::string& path : {emu + "keep.txt", std::string("C:\\boot.ini"),
                                    std::string("C:\\abs.txt"), emu + "x"})
        EXPECT_TRUE(os.fileExists(path)) << path;
}

TEST_F(Launch, CleanUpProtectsOnlyTheUpperCaseDriverName) {
    GameRecord& game = app->catalogue.games[0];
    game.RequiredFileCount = 3;
    game.RequiredFiles.resize(3);
    game.RequiredFiles[0] = "SSHOOT.QUN";
    game.RequiredFiles[1] = "SS1.ROM";
    game.RequiredFiles[2] = "Sshoot.qun";
    os.writeFile(emu + "sshoot\\SSHOOT.QUN", "driver");
    f->DeleteUnpackedRoms("sshoot");
    EXPECT_FALSE(os.fileExists(emu + "sshoot\\SS1.ROM"));
    // "Sshoot.qun" is not the protected name, and names the same file here.
    EXPECT_FALSE(os.fileExists(emu + "sshoot\\SSHOOT.QUN"));
    game.RequiredFileCount = 2;
    game.RequiredFiles.resize(2);
    os.writeFile(emu + "sshoot\\SSHOOT.QUN", "driver");
    f->DeleteUnpackedRoms("sshoot");
    EXPECT_TRUE(os.fileExists(emu + "sshoot\\SSHOOT.QUN"));
    EXPECT_EQ(os.currentDirectory(), "C:\\Games\\Quon\\sshoot");
}

TEST_F(Launch, ProgramsAreStartedByTheirOwnFilesWithTheCommandLinesAsTheyWere) {
    // Blanks in both directories: named by the command line alone, Windows
    // would try c:\program.exe first.
    for (const char* file : {"C:\\Program Files\\Quon\\quon.exe", "C:\\Program Files\\Quon\\rtypeus\\r1.bin",
                             "C:\\Program Files\\Quon\\rtypeus\\rtypeus.qun", "C:\\Arcade Roms\\rtypeus.zip"})
        os.writeFile(file, "x");
    os.writeFile("C:\\program.exe", "a decoy");
    f->Edit1.setText("C:\\Program Files\\Quon\\");
    compressed();
    f->Edit2.setText("C:\\Program Files\\PkZip\\pkunzip.exe");
    f->ListView1.selectRow(1);
    f->ListView1.doubleClick();
    ASSERT_EQ(os.processes.size(), 2u);
    const ProcessRequest& unzip = os.processes[0].request;
    EXPECT_EQ(unzip.applicationName, "c:\\program files\\pkzip\\pkunzip.exe");
    EXPECT_EQ(unzip.commandLine, "c:\\program files\\pkzip\\pkunzip.exe -o C:\\ARCADEROMS\\rtypeus.zip "
                                 "C:\\PROGRAMFILES\\QUON\\rtypeus");
    const ProcessRequest& emulator = os.processes[1].request;
    EXPECT_EQ(emulator.applicationName, "c:\\program files\\quon\\quon.exe");
    EXPECT_EQ(emulator.commandLine, "c:\\program files\\quon\\quon.exe rtypeus ");
}

TEST_F(Launch, ARelativeEmulatorDirectoryIsReadOnceFromWhereTheRunStarts) {
    // Only a hand-edited setting is relative; the run reads it from the
    // directory it starts in, and the command line keeps it as it is.
    os.writeFile("C:\\Arcade Roms\\rtypeus.zip", "zip");
    compressed();
    f->Edit1.setText("games\\quon\\");
    os.deleteFile(emu + "rtypeus\\r1.bin");
    os.writeFile(emu + "r1.bin", "beside quon.exe");
    os.whileRunning = [&](const MemoryPlatform::StartedProcess& p) {
        if (isUnzip(p)) os.writeFile(emu + "rtypeus\\r1.bin", "unpacked");
    };
    os.setCurrentDirectory("C:\\");
    f->ListView1.selectRow(1);
    f->ListView1.doubleClick();
    ASSERT_EQ(os.processes.size(), 2u);
    EXPECT_EQ(os.processes[0].currentDirectory, "C:\\Games\\Quon\\rtypeus");
    EXPECT_EQ(os.processes[0].request.commandLine,
              "c:\\tools\\pkunzip.exe -o C:\\ARCADEROMS\\rtypeus.zip C:\\GAMES\\QUON\\rtypeus");
    EXPECT_EQ(os.processes[1].currentDirectory, "C:\\Games\\Quon");
    EXPECT_EQ(os.processes[1].request.applicationName, "C:\\games\\quon\\quon.exe");
    EXPECT_EQ(os.processes[1].request.commandLine, "games\\quon\\quon.exe rtypeus ");
    EXPECT_FALSE(os.fileExists(emu + "rtypeus\\r1.bin"));
    EXPECT_EQ(content(emu + "r1.bin"), "beside quon.exe");
}

TEST_F(Launch, CleanUpDeletesNothingWhenTheGamesDirectoryCannotBeEntered) {
    // imgfight's directory cannot be made: a file of that name is in the way.
    os.writeFile(emu + "imgfight", "a file, not a directory");
    os.writeFile(emu + "if.rom", "the user's");
    GameRecord& game = app->catalogue.games[2];
    game.RequiredFileCount = 2;
    game.RequiredFiles.resize(2);
    game.RequiredFiles[1] = "quon.exe";
    os.setCurrentDirectory(emu);
    f->DeleteUnpackedRoms("imgfight");
    EXPECT_EQ(content(emu + "if.rom"), "the user's");
    EXPECT_EQ(content(emu + "quon.exe"), "exe");

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
    EXPECT_EQ(messageTexts(), Strings{"Error creating the game's directory c:\\games\\quon\\imgfight"});
    EXPECT_EQ(os.fileContents(), before);
}

TEST_F(Launch, TheUsersFilesComeBackAsTheyWereAndTheRunStillUsesItsOwn) {
    os.writeFile("C:\\Arcade Roms\\rtypeus.zip", "zip");
    compressed();
    driversPath({"rtypeus", "sshoot"});
    GameRecord& game = app->catalogue.games[1];
    game.RequiredFileCount = 3;
    game.RequiredFiles.resize(3);
    game.RequiredFiles = {"r1.bin", "RTYPEUS.QUN", "r2.bin"};
    os.writeFile(emu + "rtypeus\\RTYPEUS.QUN", "user driver");
    os.writeFile(emu + "rtypeus\\r1.bin", "user rom");
    os.writeFile(emu + "rtypeus\\keep.txt", "user notes");
    os.writeFile(emu + "rtypeus\\hiscore.dat", "old scores");
    const auto before = os.fileContents();
    std::map<std::string, std::string> seen;
    os.whileRunning = [&](const MemoryPlatform::StartedProcess& p) {
        if (isUnzip(p)) {
            for (const char* name : {"r1.bin", "r2.bin", "keep.txt", "rtypeus.qun", "extra.txt"})
                os.writeFile(emu + "rtypeus\\" + name, std::string("from the archive: ") + name);
            return;
        }
        for (const char* name : {"r1.bin", "r2.bin", "rtypeus.qun"})
            seen[name] = content(emu + "rtypeus\\" + name);
        os.writeFile(emu + "rtypeus\\hiscore.dat", "new scores");  // the emulator's own
    };
    f->ListView1.selectRow(1);
    f->ListView1.doubleClick();
    ASSERT_EQ(os.processes.size(), 2u);
    // The run used the unpacked files and the driver of the drivers path.
    EXPECT_EQ(seen["r1.bin"], "from the archive: r1.bin");
    EXPECT_EQ(seen["r2.bin"], "from the archive: r2.bin");
    EXPECT_EQ(seen["rtypeus.qun"], "drivers path driver");
    // Afterwards every file of the user's is as it was, but for what the
    // emulator itself wrote; the run's required file is gone, a file only
    // the archive held stays, and so does nothing of the journal.
    auto expected = before;
    expected[test::upper(emu + "rtypeus\\hiscore.dat")] = "new scores";
    expected[test::upper(emu + "rtypeus\\extra.txt")] = "from the archive: extra.txt";
    EXPECT_EQ(os.fileContents(), expected);
    EXPECT_FALSE(os.directoryExists(test::kProgramDir + "RunBackup"));
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

TEST_F(Launch, ALauncherEndedDuringARunPutsTheFilesBackAtItsNextStart) {
    os.writeFile("C:\\Arcade Roms\\rtypeus.zip", "zip");
    compressed();
    os.writeFile(emu + "rtypeus\\r1.bin", "user rom");
    const auto before = os.fileContents();
    os.whileRunning = [&](const MemoryPlatform::StartedProcess& p) {
        if (!isUnzip(p)) throw Crash{};  // the launcher ends while the emulator runs
        os.writeFile(emu + "rtypeus\\r1.bin", "unpacked");
        os.writeFile(emu + "rtypeus\\RTYPEUS.QUN", "unpacked");
    };
    f->ListView1.selectRow(1);
    EXPECT_THROW(f->ListView1.doubleClick(), Crash);
    os.whileRunning = nullptr;
    EXPECT_EQ(content(emu + "rtypeus\\r1.bin"), "unpacked");

    restart();
    EXPECT_EQ(os.fileContents(), before);
    EXPECT_FALSE(os.directoryExists(test::kProgramDir + "RunBackup"));
    EXPECT_EQ(messageTexts(), Strings{});
}

TEST_F(Launch, ARunEndedAtAnyChangeLosesNothingOnceTheLauncherStartsAgain) {
    os.writeFile("C:\\Arcade Roms\\rtypeus.zip", "zip");
    compressed();
    driversPath({"rtypeus"});
    GameRecord& game = app->catalogue.games[1];
    game.RequiredFileCount = 2;
    game.RequiredFiles.resize(2);
    game.RequiredFiles = {"r1.bin", "r2.bin"};
    ASSERT_EQ(closeMain(), 0);  // the settings as they are now, for every start below
    os.writeFile(emu + "rtypeus\\r1.bin", "user rom");
    os.writeFile(emu + "rtypeus\\RTYPEUS.QUN", "user driver");
    os.writeFile(test::kProgramDir + "reqfiles.dat",
                 "sshoot\\SS1.ROM\r\nrtypeus\\r1.bin\r\nrtypeus\\r2.bin\r\n");
    const MemoryPlatform machine = os;
    const auto before = os.fileContents();
    auto unzip = [&](const MemoryPlatform::StartedProcess& p) {
        if (!isUnzip(p)) return;
        for (const char* name : {"r1.bin", "r2.bin", "extra.txt"})
            os.writeFile(emu + "rtypeus\\" + name, "unpacked");
    };

    int changes = 0;
    restart();
    os.whileRunning = unzip;
    os.beforeFileChange = [&](const std::string&) { ++changes; };
    f->ListView1.selectRow(1);
    f->ListView1.doubleClick();
    os.beforeFileChange = nullptr;
    ASSERT_EQ(os.processes.size(), 2u);
    ASSERT_GT(changes, 10);

    for (int endAt = 1; endAt <= changes; ++endAt) {
        SCOPED_TRACE(endAt);
        os = machine;
        restart();
        os.whileRunning = unzip;
        int n = 0;
        os.beforeFileChange = [&](const std::string&) {
            if (++n == endAt) throw Crash{};
        };
        f->ListView1.selectRow(1);
        EXPECT_THROW(f->ListView1.doubleClick(), Crash);
        os.beforeFileChange = nullptr;
        restart();
        // The user's files as they were; the only file left over is one
        // the archive alone held.
        auto after = os.fileContents();
        after.erase(test::upper(emu + "rtypeus\\extra.txt"));
        EXPECT_EQ(after, before);
        EXPECT_FALSE(os.directoryExists(test::kProgramDir + "RunBackup"));
        EXPECT_EQ(messageTexts(), Strings{});
    }
}

TEST_F(Launch, ASecondLauncherLeavesARunningRunAloneAndRunsNothingOverIt) {
    os.writeFile("C:\\Arcade Roms\\rtypeus.zip", "zip");
    compressed();
    os.writeFile(emu + "rtypeus\\r1.bin", "user rom");
    ASSERT_EQ(closeMain(), 0);
    restart();
    std::map<std::string, std::string> during, afterSecond;
    bool secondStarted = false;
    os.whileRunning = [&](const MemoryPlatform::StartedProcess& p) {
        if (isUnzip(p)) {
            os.writeFile(emu + "rtypeus\\r1.bin", "unpacked");
            return;
        }
        if (secondStarted) return;
        secondStarted = true;
        during = os.fileContents();
        App second(os);
        second.start();
        second.Form1->show();
        second.Form1->ListView1.selectRow(1);
        second.Form1->ListView1.doubleClick();
        afterSecond = os.fileContents();
    };
    f->ListView1.selectRow(1);
    f->ListView1.doubleClick();
    EXPECT_EQ(os.processes.size(), 2u);  // the second launcher started nothing
    EXPECT_EQ(afterSecond, during);
    EXPECT_EQ(messageTexts(),
              Strings{"Another copy of the launcher is running a game. Try again when it has ended."});
    EXPECT_EQ(content(emu + "rtypeus\\r1.bin"), "user rom");
    EXPECT_FALSE(os.directoryExists(test::kProgramDir + "RunBackup"));
}

TEST_F(Launch, FilesThatCannotBePutBackAreReportedAndKeptUntilTheyCanBe) {
    os.writeFile("C:\\Arcade Roms\\rtypeus.zip", "zip");
    compressed();
    os.writeFile(emu + "rtypeus\\r1.bin", "user rom");
    os.whileRunning = [&](const MemoryPlatform::StartedProcess& p) {
        if (isUnzip(p)) os.writeFile(emu + "rtypeus\\r1.bin", "unpacked");
        else os.writeFile(emu + "rtypeus\\r1.bin", "unpacked", true);  // made read-only meanwhile
    };
    f->ListView1.selectRow(1);
    f->ListView1.doubleClick();
    const std::string kept = RunJournal::notPutBackMessage(test::kProgramDir + "RunBackup\\");
    ASSERT_EQ(messageTexts(), Strings{kept});
    EXPECT_EQ(os.messages[0].kind, MessageKind::Warning);
    EXPECT_TRUE(f->showing());

    // No run that would write there goes on meanwhile.
    os.messages.clear();
    f->ListView1.selectRow(1);
    f->ListView1.doubleClick();
    EXPECT_EQ(messageTexts(), Strings{kept + "\rThe game was not run."});
    EXPECT_EQ(os.processes.size(), 2u);

    // Once the file can be written, the next start puts it back.
    os.writeFile(emu + "rtypeus\\r1.bin", "unpacked", false);
    os.messages.clear();
    restart();
    EXPECT_EQ(content(emu + "rtypeus\\r1.bin"), "user rom");
    EXPECT_EQ(messageTexts(), Strings{});
    EXPECT_FALSE(os.directoryExists(test::kProgramDir + "RunBackup"));
}

TEST_F(Launch, WithoutAPlaceForTheCopiesOnlyARunThatOverwritesNothingGoesOn) {
    os.writeFile(test::kProgramDir + "RunBackup", "a file in the way");
    os.writeFile("C:\\Arcade Roms\\rtypeus.zip", "zip");
    os.writeFile("C:\\Arcade Roms\\imgfight.zip", "zip");
    compressed();
    driversPath({"imgfight", "rtypeus"});
    const auto before = os.fileContents();
    f->ListView1.selectRow(1);  // rtypeus: the user's files are in its directory
    f->ListView1.doubleClick();
    EXPECT_TRUE(os.processes.empty());
    ASSERT_EQ(messageTexts(), Strings{"The game was not run: the files in c:\\games\\quon\\rtypeus\\ that it "
                                      "could overwrite could not be copied to a safe place first."});
    EXPECT_EQ(os.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(os.fileContents(), before);

    f->ListView1.selectRow(2);  // imgfight: nothing in its directory yet
    f->ListView1.doubleClick();
    EXPECT_EQ(os.processes.size(), 2u);
}

TEST_F(Launch, DriverIsCopiedInAndRemovedAfterwards) {
    os.writeFile("C:\\Drivers\\imgfight.qun", "driver");
    os.writeFile(emu + "imgfight\\if.rom", "x");
    f->CheckBox8.setChecked(true);
    f->Edit4.setText("C:\\Drivers\\");
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
    f->Edit1.setText(emu);
    os.messages.clear();
    f->CheckBox7.setChecked(true);
    f->ComboBox1.userSelect(1);  // only available games: everything listed may run
    os.writeFile("C:\\Zips\\sshoot.zip", "z");
    f->Edit3.setText("C:\\Zips\\");
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
    EXPECT_EQ(messageTexts(), (Strings{"2", "Error creating PkUnzip process"}));
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
                                       "Error creating QUON process"}));
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
    f->Edit4.setText("C:\\Drivers");
    const bool availableBefore = app->catalogue.games[0].Available;
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
    EXPECT_EQ(app->catalogue.games[0].Available, availableBefore);
    f->CheckBox8.setChecked(false);  // the box acts again after the report
    EXPECT_EQ(app->tpaths.driversPath, "");
}

TEST_F(Launch, ReportOfBothWorkedExamples) {
    // A game with two files missing and no driver, plain mode.
    os.deleteFile(emu + "sshoot\\SS1.ROM");
    os.deleteFile(emu + "sshoot\\SS2.ROM");
    os.deleteFile(emu + "sshoot\\sshoot.qun");
    f->Edit1.setText("C:\\GAMES\\QUON\\");
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
    f->Edit1.setText("");
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
            f->Edit2.setText("C:\\Tools\\pkunzip.exe");
            f->Edit3.setText("C:\\Zips\\");
            f->CheckBox8.setChecked(true);
            f->Edit4.setText("C:\\Drivers\\");
        }
        for (int row = 0; row < static_cast<int>(names.size()); ++row) {
            ASSERT_EQ(f->ListView1.row(row)[1], names[row]);
            const std::string warning = unusableShortNameMessage(titles[row], names[row]);
            f->ListView1.selectRow(row);
            os.messages.clear();
            f->ListView1.doubleClick();
            f->SpeedButton1.click();
            f->RunSelectedGame();
            ASSERT_EQ(messageTexts(), (Strings{warning, warning, warning})) << names[row];
            EXPECT_EQ(os.messages[0].kind, MessageKind::Warning);
            EXPECT_FALSE(f->UnpackRoms(names[row]));
            EXPECT_FALSE(f->CopyDriverIn(names[row]));
            os.setCurrentDirectory(emu);
            f->DeleteUnpackedRoms(names[row]);
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
