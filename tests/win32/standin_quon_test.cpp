// quon.exe, the emulator stand-in: the record it appends, where it appends
// it, how long it stays, and its demo window.
#include "standin_test_support.h"

#include <memory>

namespace {

using qn_test::logValues;
using qn_test::readBytes;
using qn_test::splitLines;
using qn_test::writeBytes;

const char kTitle[] = "QUON stand-in";

struct WindowSearch {
    DWORD process;
    HWND found;
};

BOOL CALLBACK findTitled(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<WindowSearch*>(lp);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    char title[64] = {};
    GetWindowTextA(hwnd, title, sizeof title);
    // Visible only once its controls are in place.
    if (owner != search->process || std::string(title) != kTitle || !IsWindowVisible(hwnd)) return TRUE;
    search->found = hwnd;
    return FALSE;
}

BOOL CALLBACK collectText(HWND hwnd, LPARAM lp) {
    char text[512] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    *reinterpret_cast<std::string*>(lp) += std::string(text) + "\n";
    return TRUE;
}

// The stand-in's top-level window, waited for up to `ms`.
HWND waitForWindow(DWORD process, DWORD ms) {
    const DWORD start = GetTickCount();
    do {
        WindowSearch search = {process, nullptr};
        EnumWindows(findTitled, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        Sleep(50);
    } while (GetTickCount() - start < ms);
    return nullptr;
}

class QuonTest : public qn_test::ScratchDirectoryTest {
protected:
    void SetUp() override {
        ScratchDirectoryTest::SetUp();
        emu = path("emu");
        ASSERT_TRUE(CreateDirectoryA(emu.c_str(), nullptr));
        ASSERT_TRUE(CopyFileA(qn_test::besideTests("quon.exe").c_str(), (emu + "\\quon.exe").c_str(), FALSE));
        // The launcher names the emulator without quotes; the scratch path allows it.
        ASSERT_EQ(std::string::npos, emu.find(' '));
        log = path("quon.log");
        env_.push_back(std::make_unique<qn_test::ScopedEnvironment>("QUON_LOG", log.c_str()));
        env_.push_back(std::make_unique<qn_test::ScopedEnvironment>("QUON_DEMO_WINDOW", nullptr));
        env_.push_back(std::make_unique<qn_test::ScopedEnvironment>("QUON_HOLD_MS", nullptr));
    }
    void TearDown() override {
        env_.clear();
        ScratchDirectoryTest::TearDown();
    }

    void setEnvironment(const char* name, const char* value) {
        env_.push_back(std::make_unique<qn_test::ScopedEnvironment>(name, value));
    }

    // The command line as the launcher builds it, trailing space included.
    std::string launcherCommand(const std::string& game, const std::string& switches) {
        return emu + "\\quon.exe " + game + " " + switches;
    }

    void makeGame(const std::string& game, const std::vector<std::string>& files) {
        ASSERT_TRUE(CreateDirectoryA((emu + "\\" + game).c_str(), nullptr));
        for (const std::string& f : files) ASSERT_TRUE(writeBytes(emu + "\\" + game + "\\" + f, "rom"));
    }

    std::string emu;
    std::string log;
    std::vector<std::unique_ptr<qn_test::ScopedEnvironment>> env_;
};

TEST_F(QuonTest, RecordsTheCommandLineDirectoryAndTheGamesFilesSorted) {
    makeGame("rtypeus", {"rt_b-h0.bin", "Rt_b-a0.bin", "rtypeus.qun", "rt_b-a1.bin"});
    // A sub-directory is not a file the emulator would load.
    ASSERT_TRUE(CreateDirectoryA((emu + "\\rtypeus\\hi").c_str(), nullptr));
    ASSERT_TRUE(writeBytes(emu + "\\rtypeus\\hi\\score.hi", "0"));

    const std::string command = launcherCommand("rtypeus", "-n -s -d320x240 ");
    const qn_test::ProgramRun run = qn_test::runProgram(command, emu, path("output.txt"));
    ASSERT_TRUE(run.finished) << "with QUON_LOG set and no window asked for it must not wait";
    EXPECT_EQ(0u, run.exitCode);

    const std::vector<std::string> expected = {
        "cmdline=" + command,  "program=" + emu + "\\quon.exe", "cwd=" + emu,
        "game=rtypeus",        "arg=rtypeus",         "arg=-n",           "arg=-s",
        "arg=-d320x240",       "file=Rt_b-a0.bin",    "file=rt_b-a1.bin", "file=rt_b-h0.bin",
        "file=rtypeus.qun",    "end",
    };
    EXPECT_EQ(expected, splitLines(readBytes(log)));
}

TEST_F(QuonTest, EachRunAppendsItsOwnRecord) {
    makeGame("ppong", {"ppong.rom"});
    ASSERT_TRUE(qn_test::runProgram(launcherCommand("ppong", ""), emu, path("output.txt")).finished);
    // No directory for this game: a record without files.
    ASSERT_TRUE(qn_test::runProgram(launcherCommand("nogame", "-f "), emu, path("output.txt")).finished);
    // Run from elsewhere, the game is looked for below that directory.
    ASSERT_TRUE(qn_test::runProgram(launcherCommand("ppong", ""), dir, path("output.txt")).finished);

    const std::string text = readBytes(log);
    EXPECT_EQ((std::vector<std::string>{"ppong", "nogame", "ppong"}), logValues(text, "game"));
    EXPECT_EQ((std::vector<std::string>{emu, emu, dir}), logValues(text, "cwd"));
    EXPECT_EQ(std::vector<std::string>{"ppong.rom"}, logValues(text, "file"));
    std::vector<std::string> ends;
    for (const std::string& line : splitLines(text))
        if (line == "end") ends.push_back(line);
    EXPECT_EQ(3u, ends.size());
}

TEST_F(QuonTest, WithoutQuonLogItWritesBesideItself) {
    setEnvironment("QUON_LOG", nullptr);
    setEnvironment("QUON_DEMO_WINDOW", "0");
    const std::string command = launcherCommand("ppong", "");
    const qn_test::ProgramRun run = qn_test::runProgram(command, emu, path("output.txt"));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ(std::vector<std::string>{command}, logValues(readBytes(emu + "\\quon.log"), "cmdline"));
    EXPECT_EQ("<missing>", readBytes(log));
}

TEST_F(QuonTest, HoldKeepsItRunningWithItsRecordAlreadyWritten) {
    setEnvironment("QUON_HOLD_MS", "1500");
    qn_test::ChildProcess quon;
    const DWORD start = GetTickCount();
    ASSERT_TRUE(quon.start(launcherCommand("ppong", "-n "), emu, path("output.txt")));

    // A test watching the launcher while the emulator runs reads the record
    // first: it must be complete before the hold ends.
    bool recorded = false;
    while (!recorded && GetTickCount() - start < 1000) {
        const std::vector<std::string> lines = splitLines(readBytes(log));
        recorded = !lines.empty() && lines.back() == "end" &&
                   logValues(readBytes(log), "game") == std::vector<std::string>{"ppong"};
        if (!recorded) Sleep(20);
    }
    EXPECT_TRUE(recorded);
    EXPECT_FALSE(quon.wait(0)) << "ended before its hold";

    ASSERT_TRUE(quon.wait(10000));
    EXPECT_GE(GetTickCount() - start, 1400u);
    EXPECT_EQ(0u, quon.exitCode());
}

TEST_F(QuonTest, DemoWindowNamesTheGameAndSwitchesUntilClosed) {
    struct Case {
        const char* what;
        const char* demoWindow;  // QUON_DEMO_WINDOW
        bool withLog;            // QUON_LOG set
    };
    const Case cases[] = {
        {"asked for", "1", true},
        {"by default when there is no log to read", nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        qn_test::ScopedEnvironment demo("QUON_DEMO_WINDOW", c.demoWindow);
        qn_test::ScopedEnvironment logEnv("QUON_LOG", c.withLog ? log.c_str() : nullptr);
        qn_test::ChildProcess quon;
        ASSERT_TRUE(quon.start(launcherCommand("rtypejp", "-n -s "), emu, path("output.txt")));

        HWND window = waitForWindow(quon.id(), 10000);
        ASSERT_TRUE(window != nullptr);
        std::string texts;
        EnumChildWindows(window, collectText, reinterpret_cast<LPARAM>(&texts));
        EXPECT_NE(std::string::npos, texts.find("Game: rtypejp")) << texts;
        EXPECT_NE(std::string::npos, texts.find("Switches: -n -s")) << texts;
        EXPECT_FALSE(quon.wait(300)) << "the window stays until the user closes it";

        PostMessageA(window, WM_CLOSE, 0, 0);
        ASSERT_TRUE(quon.wait(10000));
        EXPECT_EQ(0u, quon.exitCode());
    }
}

}  // namespace
