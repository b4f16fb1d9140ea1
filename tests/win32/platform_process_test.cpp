// Win32Platform::runProcess against real child processes: the probe reports
// what it was started with, and its exit code comes back through the wait.
#include "platform/win32/win32_platform.h"

#include "platform_test_support.h"

#include <cstdint>
#include <map>
#include <string>

namespace {

using qn_test::readReport;

std::string quoted(const std::string& s) { return "\"" + s + "\""; }

class ProcessTest : public qn_test::ScratchDirectoryTest {
protected:
    // A request that runs the probe, reporting to `report` in the scratch
    // directory and exiting with `exitCode`.
    qn::ProcessRequest probe(const std::string& report, int exitCode,
                             const std::string& extra = std::string()) {
        qn::ProcessRequest request;
        request.commandLine = quoted(qn_test::probePath()) + " " + quoted(path(report)) + " " +
                              std::to_string(exitCode) + (extra.empty() ? "" : " " + extra);
        request.wait = true;
        return request;
    }

    qn::Win32Platform platform{"Test"};
};

TEST_F(ProcessTest, WaitGivesTheExitCodeAndTheChildRunsWhereAsked) {
    ASSERT_TRUE(CreateDirectoryA(path("game dir").c_str(), nullptr));
    qn::ProcessRequest request = probe("report.txt", 7, "-rom \"two words\" x");
    request.workingDirectory = path("game dir");

    qn::ProcessResult result = platform.runProcess(request);
    EXPECT_TRUE(result.started);
    EXPECT_EQ(0u, result.error);
    EXPECT_EQ(7u, result.exitCode);

    auto report = readReport(path("report.txt"));
    EXPECT_EQ(request.commandLine, report["commandline"]);
    EXPECT_EQ(path("game dir"), report["directory"]);

    // Another code, to be sure it is the child's and not a constant.
    EXPECT_EQ(42u, platform.runProcess(probe("second.txt", 42)).exitCode);
}

TEST_F(ProcessTest, WithoutAWorkingDirectoryTheChildInheritsOurs) {
    char before[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, before);
    ASSERT_TRUE(SetCurrentDirectoryA(dir.c_str()));
    qn::ProcessResult result = platform.runProcess(probe("report.txt", 0));
    SetCurrentDirectoryA(before);

    ASSERT_TRUE(result.started);
    EXPECT_EQ(dir, readReport(path("report.txt"))["directory"]);
}

TEST_F(ProcessTest, ShowStateReachesTheChildAtNormalPriority) {
    struct Case {
        qn::ShowState show;
        const char* useShowWindow;
        const char* showWindow;  // only meaningful with the flag
    };
    const Case cases[] = {
        {qn::ShowState::Default, "0", nullptr},
        {qn::ShowState::Normal, "1", "1"},     // SW_SHOWNORMAL
        {qn::ShowState::Minimized, "1", "2"},  // SW_SHOWMINIMIZED
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(n);
        const std::string name = "report" + std::to_string(n++) + ".txt";
        qn::ProcessRequest request = probe(name, 0);
        request.show = c.show;
        ASSERT_TRUE(platform.runProcess(request).started);
        auto report = readReport(path(name));
        EXPECT_EQ(c.useShowWindow, report["useshowwindow"]);
        if (c.showWindow) {
            EXPECT_EQ(c.showWindow, report["showwindow"]);
        }
        EXPECT_EQ(std::to_string(NORMAL_PRIORITY_CLASS), report["priority"]);
    }
}

TEST_F(ProcessTest, HandlesAreInheritedOnlyWhenAsked) {
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    for (bool inherit : {true, false}) {
        SCOPED_TRACE(inherit);
        const std::string sink = path(inherit ? "inherited.txt" : "private.txt");
        HANDLE file = CreateFileA(sink.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  &inheritable, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        const auto value = reinterpret_cast<std::uintptr_t>(file);
        qn::ProcessRequest request = probe("report.txt", 0, "write=" + std::to_string(value));
        request.inheritHandles = inherit;
        qn::ProcessResult result = platform.runProcess(request);
        CloseHandle(file);
        ASSERT_TRUE(result.started);
        EXPECT_EQ(inherit ? "inherited" : "", qn_test::readBytes(sink));
    }
}

TEST_F(ProcessTest, NewConsoleGivesTheChildAConsoleOfItsOwn) {
    qn::ProcessRequest shared = probe("shared.txt", 0);
    ASSERT_TRUE(platform.runProcess(shared).started);
    qn::ProcessRequest own = probe("own.txt", 0);
    own.newConsole = true;
    ASSERT_TRUE(platform.runProcess(own).started);

    // Without the flag the child shares our console (it and we, at least),
    // or has none when we have none; with it, the child is alone in its own.
    DWORD ours[4];
    const bool weHaveAConsole = GetConsoleProcessList(ours, 4) != 0;
    const int sharedCount = std::stoi(readReport(path("shared.txt"))["consoleprocesses"]);
    if (weHaveAConsole) {
        EXPECT_LE(2, sharedCount);
    } else {
        EXPECT_EQ(0, sharedCount);
    }
    EXPECT_EQ("1", readReport(path("own.txt"))["consoleprocesses"]);
}

TEST_F(ProcessTest, WithoutWaitTheCallReturnsWhileTheChildRuns) {
    // The child blocks on an event that is only set after runProcess has
    // returned; had runProcess waited, the child would time out first.
    const std::string eventName = "qnlaunch-probe-" + std::to_string(GetCurrentProcessId());
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());
    ASSERT_NE(nullptr, event);
    qn::ProcessRequest request = probe("report.txt", 5, "wait=" + eventName);
    request.wait = false;

    qn::ProcessResult result = platform.runProcess(request);
    SetEvent(event);
    EXPECT_TRUE(result.started);
    EXPECT_EQ(0u, result.exitCode);

    std::map<std::string, std::string> report;
    for (int i = 0; i < 300 && report.empty(); ++i) {
        Sleep(50);
        report = readReport(path("report.txt"));
    }
    CloseHandle(event);
    EXPECT_EQ("1", report["released"]);
}

TEST_F(ProcessTest, TheProgramNamedIsStartedAndGetsTheCommandLineAsItIs) {
    // The program in a directory with a blank, and a decoy where the system
    // looks first for an unquoted command line: <dir>\quon.exe for
    // "<dir>\quon emu\probe.exe ...".
    ASSERT_TRUE(CreateDirectoryA(path("quon emu").c_str(), nullptr));
    const std::string program = path("quon emu\\probe.exe");
    const std::string decoy = program.substr(0, program.find(' ')) + ".exe";
    ASSERT_TRUE(CopyFileA(qn_test::probePath().c_str(), program.c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(qn_test::probePath().c_str(), decoy.c_str(), FALSE));
    ASSERT_TRUE(SetEnvironmentVariableA("CHILD_PROBE_REPORT", path("report.txt").c_str()));

    qn::ProcessRequest request;
    request.commandLine = program + " sshoot -n ";
    request.wait = true;
    ASSERT_TRUE(platform.runProcess(request).started);
    auto report = readReport(path("report.txt"));
    EXPECT_EQ(decoy, report["module"]) << "the unnamed program is guessed";
    DeleteFileA(path("report.txt").c_str());

    request.applicationName = program;
    ASSERT_TRUE(platform.runProcess(request).started);
    report = readReport(path("report.txt"));
    SetEnvironmentVariableA("CHILD_PROBE_REPORT", nullptr);
    EXPECT_EQ(program, report["module"]);
    EXPECT_EQ(request.commandLine, report["commandline"]);

    // A named program that is not there is not looked for elsewhere.
    request.applicationName = path("quon emu\\missing.exe");
    qn::ProcessResult result = platform.runProcess(request);
    EXPECT_FALSE(result.started);
    EXPECT_EQ(static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND), result.error);
}

TEST_F(ProcessTest, ProgramsAreFoundAsTheSystemFindsThemByName) {
    ASSERT_TRUE(CreateDirectoryA(path("tools dir").c_str(), nullptr));
    const std::string program = path("tools dir\\pkunzip.exe");
    ASSERT_TRUE(CopyFileA(qn_test::probePath().c_str(), program.c_str(), FALSE));
    EXPECT_EQ(program, platform.findProgram(path("tools dir\\pkunzip")));  // ".exe" added
    EXPECT_EQ(program, platform.findProgram(program));
    EXPECT_FALSE(platform.findProgram(path("tools dir\\missing")).has_value());
    EXPECT_FALSE(platform.findProgram(path("tools dir")).has_value());  // a directory is no program
    // A bare name on the search path.
    char system[MAX_PATH] = {};
    ASSERT_NE(0u, GetSystemDirectoryA(system, MAX_PATH));
    const std::optional<std::string> found = platform.findProgram("notepad");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(0, lstrcmpiA((std::string(system) + "\\notepad.exe").c_str(), found->c_str()));
}

TEST_F(ProcessTest, AChildIsKnownByItsIdUntilItEnds) {
    qn::ProcessRequest request = probe("report.txt", 0);
    request.endsWithLauncher = true;
    qn::ChildId seen;
    bool runningDuring = false;
    request.onStarted = [&](const qn::ChildId& child) {
        seen = child;
        runningDuring = platform.isRunning(child);
    };
    ASSERT_TRUE(platform.runProcess(request).started);
    EXPECT_NE(0u, seen.id);
    EXPECT_TRUE(runningDuring);  // started, bound, and let go
    EXPECT_FALSE(platform.isRunning(seen));
    EXPECT_EQ(request.commandLine, readReport(path("report.txt"))["commandline"]);
    // A live process, but not the one created when this id says.
    EXPECT_FALSE(platform.isRunning({GetCurrentProcessId(), seen.created}));
}

TEST_F(ProcessTest, FailuresGiveTheSystemError) {
    ASSERT_TRUE(qn_test::writeBytes(path("notes.txt"), "not a program"));
    struct Case {
        std::string commandLine;
        std::uint32_t error;
    };
    const Case cases[] = {
        {quoted(path("missing.exe")) + " -x", ERROR_FILE_NOT_FOUND},
        {quoted(path("notes.txt")), ERROR_BAD_EXE_FORMAT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.commandLine);
        qn::ProcessRequest request;
        request.commandLine = c.commandLine;
        request.wait = true;
        qn::ProcessResult result = platform.runProcess(request);
        EXPECT_FALSE(result.started);
        EXPECT_EQ(c.error, result.error);
    }

    qn::ProcessRequest request = probe("report.txt", 0);
    request.workingDirectory = path("missing dir");
    qn::ProcessResult result = platform.runProcess(request);
    EXPECT_FALSE(result.started);
    EXPECT_EQ(static_cast<std::uint32_t>(ERROR_DIRECTORY), result.error);
    EXPECT_EQ("<missing>", qn_test::readBytes(path("report.txt")));
}

}  // namespace
