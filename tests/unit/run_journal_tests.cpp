// The run journal on the in-memory file system: what comes back after a
// run, after a run the process never came back from (at every point where
// it could end), and what a damaged or foreign journal can do.
#include <gtest/gtest.h>

#include <algorithm>

#include "launch/run_journal.h"
#include "platform/memory/memory_platform.h"

namespace qn {
namespace {

struct Crash {};

const std::string kBackup = "C:\\QnLaunch\\RunBackup\\";
const std::string kGame = "C:\\Emu\\game\\";

// A game's directory with the user's driver, a ROM file and notes in a
// subdirectory; the run unpacks over the ROM file, adds another and copies
// a driver over the user's, then the emulator writes the notes.
class Journal : public ::testing::Test {
protected:
    MemoryPlatform os;
    std::map<std::string, std::string> before;
    bool emulatorRan = false;

    Journal() { setUp(os); }

    static void setUp(MemoryPlatform& fs) {
        fs.makeDirectories("C:\\QnLaunch");
        fs.writeFile("C:\\QnLaunch\\roms.dat", "#Game|game\r\n");
        fs.writeFile("C:\\Emu\\quon.exe", "exe");
        fs.writeFile(kGame + "game.qun", "user driver");
        fs.writeFile(kGame + "r1.bin", "user rom");
        fs.writeFile(kGame + "sub\\notes.txt", "notes");
    }
    std::string content(const std::string& path) { return os.readFile(path).value_or("<missing>"); }
    std::vector<std::string> backupFiles() {
        std::vector<std::string> names = os.filesIn(kBackup);
        std::sort(names.begin(), names.end());
        return names;
    }

    // The whole run; the platform's change hook may end it anywhere.
    void run() {
        RunJournal journal(os, kBackup);
        ASSERT_EQ(journal.start(filesBelow(os, kGame), {kGame + "r2.bin"}), RunJournal::Start::Kept);
        os.saveFile(kGame + "r1.bin", "unpacked");
        os.saveFile(kGame + "r2.bin", "unpacked");
        os.saveFile(kGame + "game.qun", "drivers path copy");
        journal.forgetUnchanged();
        emulatorRan = true;
        os.writeFile(kGame + "sub\\notes.txt", "emulator's");  // another process: no hook
        os.deleteFile(kGame + "r2.bin");                        // the clean-up
        EXPECT_TRUE(journal.finish());
    }

    // Every file of the user's is as it was, or as the emulator left it;
    // nothing of the run's or of the journal's is left.
    void expectAllBack(const std::string& where) {
        SCOPED_TRACE(where);
        EXPECT_EQ(content(kGame + "game.qun"), "user driver");
        EXPECT_EQ(content(kGame + "r1.bin"), "user rom");
        EXPECT_EQ(content(kGame + "sub\\notes.txt"), emulatorRan ? "emulator's" : "notes");
        EXPECT_FALSE(os.fileExists(kGame + "r2.bin"));
        EXPECT_FALSE(os.directoryExists(kBackup));
        EXPECT_EQ(content("C:\\Emu\\quon.exe"), "exe");
        EXPECT_EQ(content("C:\\QnLaunch\\roms.dat"), "#Game|game\r\n");
    }
};

TEST_F(Journal, FilesBelowADirectoryAtEveryLevel) {
    std::vector<std::string> files = filesBelow(os, kGame);
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"C:\\Emu\\game\\game.qun", "C:\\Emu\\game\\r1.bin",
                                               "C:\\Emu\\game\\sub\\notes.txt"}));
    EXPECT_EQ(filesBelow(os, "C:\\Emu\\game").size(), 3u);  // with or without the backslash
    EXPECT_TRUE(filesBelow(os, "C:\\Emu\\none\\").empty());
    EXPECT_TRUE(filesBelow(os, kGame + "r1.bin").empty());
    EXPECT_TRUE(filesBelow(os, "").empty());
}

TEST_F(Journal, ChangedFilesComeBackTheRunsFilesGoAndTheEmulatorsChangesStand) {
    RunJournal journal(os, kBackup);
    ASSERT_EQ(journal.start(filesBelow(os, kGame), {kGame + "r2.bin"}), RunJournal::Start::Kept);
    EXPECT_EQ(backupFiles(), (std::vector<std::string>{"file1.bak", "file2.bak", "file3.bak", "journal.txt",
                                                       "lock"}));
    os.saveFile(kGame + "r1.bin", "unpacked");
    os.saveFile(kGame + "r2.bin", "unpacked");
    os.saveFile(kGame + "game.qun", "drivers path copy");
    journal.forgetUnchanged();
    // Only the copies of what the launcher changed are left.
    EXPECT_EQ(backupFiles().size(), 4u);
    // During the run the run's files are in place.
    EXPECT_EQ(content(kGame + "r1.bin"), "unpacked");
    EXPECT_EQ(content(kGame + "game.qun"), "drivers path copy");
    emulatorRan = true;
    os.writeFile(kGame + "sub\\notes.txt", "emulator's");
    EXPECT_TRUE(journal.finish());
    expectAllBack("after the run");
    EXPECT_EQ(RunJournal::recover(os, runBackupDirectory("C:\\QnLaunch\\")), RunJournal::Recovery::Nothing);
}

TEST_F(Journal, TheJournalNamesEveryCopyAndOnlyThenTheRunStarts) {
    RunJournal journal(os, kBackup);
    ASSERT_EQ(journal.start({kGame + "r1.bin", kGame + "R1.BIN", kGame + "game.qun"}, {kGame + "r2.bin"}),
              RunJournal::Start::Kept);
    EXPECT_EQ(content(kBackup + "journal.txt"),
              "QnLaunch run journal\r\n"
              "keep\tfile1.bak\tC:\\Emu\\game\\r1.bin\r\n"
              "keep\tfile2.bak\tC:\\Emu\\game\\game.qun\r\n"
              "drop\tC:\\Emu\\game\\r2.bin\r\n"
              "ready\r\n");
    EXPECT_EQ(content(kBackup + "file1.bak"), "user rom");
    EXPECT_EQ(content(kBackup + "file2.bak"), "user driver");
}

TEST_F(Journal, ARunEndedAtAnyPointLosesNothing) {
    // Counts the changes of a whole run, then ends one at each of them; the
    // next start finishes it, also when that start itself is ended at any
    // of its changes and the one after finishes.
    int changes = 0;
    os.beforeFileChange = [&](const std::string&) { ++changes; };
    run();
    os.beforeFileChange = nullptr;
    expectAllBack("without an end");
    ASSERT_GT(changes, 10);
    for (int endAt = 1; endAt <= changes; ++endAt) {
        MemoryPlatform fresh;
        setUp(fresh);
        os = fresh;
        emulatorRan = false;
        int n = 0;
        os.beforeFileChange = [&](const std::string&) {
            if (++n == endAt) throw Crash{};
        };
        EXPECT_THROW(run(), Crash) << endAt;
        os.beforeFileChange = nullptr;
        const MemoryPlatform ended = os;

        int recoveryChanges = 0;
        os.beforeFileChange = [&](const std::string&) { ++recoveryChanges; };
        RunJournal::recover(os, kBackup);
        os.beforeFileChange = nullptr;
        expectAllBack("run ended at change " + std::to_string(endAt));

        for (int againAt = 1; againAt <= recoveryChanges; ++againAt) {
            os = ended;
            int m = 0;
            os.beforeFileChange = [&](const std::string&) {
                if (++m == againAt) throw Crash{};
            };
            EXPECT_THROW(RunJournal::recover(os, kBackup), Crash);
            os.beforeFileChange = nullptr;
            const RunJournal::Recovery second = RunJournal::recover(os, kBackup);
            EXPECT_NE(second, RunJournal::Recovery::Failed);
            expectAllBack("run ended at change " + std::to_string(endAt) + ", its recovery at " +
                          std::to_string(againAt));
        }
    }
}

TEST_F(Journal, ASecondLauncherLeavesARunningRunAlone) {
    RunJournal first(os, kBackup);
    ASSERT_EQ(first.start(filesBelow(os, kGame), {}), RunJournal::Start::Kept);
    os.saveFile(kGame + "r1.bin", "unpacked");
    first.forgetUnchanged();
    const auto during = os.fileContents();

    RunJournal second(os, kBackup);
    EXPECT_EQ(second.start({kGame + "game.qun"}, {}), RunJournal::Start::Busy);
    EXPECT_FALSE(second.active());
    EXPECT_EQ(RunJournal::recover(os, kBackup), RunJournal::Recovery::Busy);
    EXPECT_EQ(os.fileContents(), during);

    EXPECT_TRUE(first.finish());
    expectAllBack("after the first run");
}

TEST_F(Journal, AFileThatCannotBePutBackStaysSafeUntilItCan) {
    {
        RunJournal journal(os, kBackup);
        ASSERT_EQ(journal.start(filesBelow(os, kGame), {}), RunJournal::Start::Kept);
        os.saveFile(kGame + "r1.bin", "unpacked");
        journal.forgetUnchanged();
        os.writeFile(kGame + "r1.bin", "unpacked", true);  // made read-only during the run
        EXPECT_FALSE(journal.finish());
        EXPECT_FALSE(journal.active());
    }
    EXPECT_EQ(content(kGame + "r1.bin"), "unpacked");
    EXPECT_TRUE(os.fileExists(kBackup + "journal.txt"));
    // No new run takes the place of the stuck one, nor changes anything.
    const auto stuck = os.fileContents();
    RunJournal next(os, kBackup);
    EXPECT_EQ(next.start({kGame + "game.qun"}, {kGame + "r2.bin"}), RunJournal::Start::Stuck);
    EXPECT_EQ(os.fileContents(), stuck);
    EXPECT_EQ(RunJournal::recover(os, kBackup), RunJournal::Recovery::Failed);
    EXPECT_EQ(os.fileContents(), stuck);

    os.writeFile(kGame + "r1.bin", "unpacked", false);
    EXPECT_EQ(RunJournal::recover(os, kBackup), RunJournal::Recovery::Finished);
    expectAllBack("once the file is writable");
    EXPECT_NE(RunJournal::notPutBackMessage(kBackup).find(kBackup), std::string::npos);
}

TEST_F(Journal, FilesTheRunCannotChangeNeedNoCopy) {
    // Read-only, or gone since the directory was looked at.
    os.writeFile(kGame + "r1.bin", "user rom", true);
    RunJournal journal(os, kBackup);
    ASSERT_EQ(journal.start({kGame + "r1.bin", kGame + "missing.bin"}, {}), RunJournal::Start::Kept);
    EXPECT_EQ(backupFiles(), (std::vector<std::string>{"journal.txt", "lock"}));
    EXPECT_FALSE(os.saveFile(kGame + "r1.bin", "unpacked"));
    EXPECT_TRUE(journal.finish());
    EXPECT_EQ(content(kGame + "r1.bin"), "user rom");
    EXPECT_FALSE(os.directoryExists(kBackup));
}

TEST_F(Journal, ADirectoryTheUserRemovedSinceTakesNothingBack) {
    {
        RunJournal journal(os, kBackup);
        ASSERT_EQ(journal.start(filesBelow(os, kGame), {}), RunJournal::Start::Kept);
        os.saveFile(kGame + "sub\\notes.txt", "unpacked");
        journal.forgetUnchanged();
    }  // the launcher ended during the run
    os.deleteFile(kGame + "sub\\notes.txt");
    ASSERT_TRUE(os.removeDirectory(kGame + "sub"));
    EXPECT_EQ(RunJournal::recover(os, kBackup), RunJournal::Recovery::Finished);
    EXPECT_FALSE(os.directoryExists(kGame + "sub"));
    EXPECT_FALSE(os.directoryExists(kBackup));
}

TEST_F(Journal, WithoutAPlaceForTheCopiesNothingIsWritten) {
    EXPECT_EQ(runBackupDirectory("C:\\QnLaunch\\"), kBackup);
    EXPECT_EQ(runBackupDirectory("C:\\QnLaunch"), kBackup);
    for (const char* notFull : {"", "QnLaunch\\", "\\QnLaunch\\", "c:QnLaunch\\"})
        EXPECT_EQ(runBackupDirectory(notFull), "") << notFull;

    const auto untouched = os.fileContents();
    struct Case {
        std::string dir;
        std::vector<std::string> userFiles;
        std::vector<std::string> runFiles;
    };
    os.writeFile("C:\\Blocked", "a file where the directory would go");
    const auto blocked = os.fileContents();
    const Case cases[] = {
        {"", {kGame + "r1.bin"}, {}},
        {"C:\\Missing\\RunBackup\\", {kGame + "r1.bin"}, {}},
        {"C:\\Blocked\\", {kGame + "r1.bin"}, {}},
        {kBackup, {kGame + "r1.bin"}, {kGame + "bad\tname"}},  // a path the journal cannot hold
    };
    for (const Case& c : cases) {
        RunJournal journal(os, c.dir);
        EXPECT_EQ(journal.start(c.userFiles, c.runFiles), RunJournal::Start::Failed) << c.dir;
        EXPECT_FALSE(journal.active());
        EXPECT_EQ(os.fileContents(), blocked) << c.dir;
        EXPECT_FALSE(os.directoryExists(kBackup));
        EXPECT_TRUE(journal.finish());
    }
    os.deleteFile("C:\\Blocked");
    EXPECT_EQ(os.fileContents(), untouched);
}

TEST_F(Journal, OnlyAWholeReadyJournalPutsFilesBack) {
    const std::string header = "QnLaunch run journal\r\n";
    const std::string keep = "keep\tfile1.bak\tC:\\Emu\\game\\r1.bin\r\n";
    const std::string drop = "drop\tC:\\Emu\\game\\sub\\notes.txt\r\n";
    const std::string notReady[] = {
        "",
        "garbage",
        header,
        header + keep + drop,                                            // the copies were being made
        header + keep + "keep\tfile2.bak\tC:\\Emu\\quon.exe\r\nread",  // cut while being written
        header + keep + "keep\t..\\x.bak\tC:\\Emu\\quon.exe\r\nready\r\n",
        header + keep + "keep\tfile2.bak\tEmu\\quon.exe\r\nready\r\n",
        header + keep + "drop\tquon.exe\r\nready\r\n",
        header + keep + "move\tC:\\Emu\\quon.exe\r\nready\r\n",
        header + keep + "ready\r\n" + drop,
        "QnLaunch run journal 2\r\n" + keep + drop + "ready\r\n",
    };
    for (const std::string& text : notReady) {
        SCOPED_TRACE(text);
        os.makeDirectories(kBackup);
        os.writeFile(kBackup + "journal.txt", text);
        os.writeFile(kBackup + "file1.bak", "not the user's");
        os.writeFile(kBackup + "file7.bak", "not the user's");
        os.writeFile(kBackup + "other.txt", "not a copy");
        const auto outside = [&] {
            auto all = os.fileContents();
            for (auto it = all.begin(); it != all.end();)
                it = it->first.rfind("C:\\QNLAUNCH\\RUNBACKUP\\", 0) == 0 ? all.erase(it) : std::next(it);
            return all;
        };
        const auto was = outside();
        EXPECT_EQ(RunJournal::recover(os, kBackup), RunJournal::Recovery::Nothing);
        EXPECT_EQ(outside(), was);
        EXPECT_EQ(backupFiles(), std::vector<std::string>{"other.txt"});
        os.deleteFile(kBackup + "other.txt");
    }
    // The same entries, whole and ready, are trusted.
    os.makeDirectories(kBackup);
    os.writeFile(kBackup + "journal.txt", header + keep + drop + "ready\r\n");
    os.writeFile(kBackup + "file1.bak", "from the copy");
    EXPECT_EQ(RunJournal::recover(os, kBackup), RunJournal::Recovery::Finished);
    EXPECT_EQ(content(kGame + "r1.bin"), "from the copy");
    EXPECT_FALSE(os.fileExists(kGame + "sub\\notes.txt"));
    EXPECT_FALSE(os.directoryExists(kBackup));
}

}  // namespace
}  // namespace qn
