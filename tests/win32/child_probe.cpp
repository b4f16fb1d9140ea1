// A child process for the Win32 tests: it reports what it was started with
// (command line, directory, start-up flags, priority, console, inherited
// handle) as key=value lines in a file, then exits with the code it was given.
//
//   child_probe <report file> <exit code> [write=<handle>] [wait=<event name>]
//   child_probe                      (report to probe_report.txt, exit 0)
// CHILD_PROBE_REPORT in the environment names the report file instead, for
// command lines whose words are not the probe's arguments.
#include "platform/win32/win32.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

int main(int argc, char** argv) {
    const char* reportPath = argc > 1 ? argv[1] : "probe_report.txt";
    char fromEnvironment[MAX_PATH * 2] = {};
    const DWORD named =
        GetEnvironmentVariableA("CHILD_PROBE_REPORT", fromEnvironment, sizeof fromEnvironment);
    if (named > 0 && named < sizeof fromEnvironment) reportPath = fromEnvironment;
    int exitCode = argc > 2 ? std::atoi(argv[2]) : 0;
    std::string extra;

    for (int i = 3; i < argc; ++i) {
        if (std::strncmp(argv[i], "write=", 6) == 0) {
            // Written before anything else is opened, so a handle value that
            // was not inherited cannot name one of our own files.
            HANDLE handle = reinterpret_cast<HANDLE>(std::strtoul(argv[i] + 6, nullptr, 10));
            DWORD written = 0;
            BOOL ok = WriteFile(handle, "inherited", 9, &written, nullptr);
            extra += std::string("write=") + (ok ? "ok" : "failed") + "\n";
        } else if (std::strncmp(argv[i], "wait=", 5) == 0) {
            HANDLE event = OpenEventA(SYNCHRONIZE, FALSE, argv[i] + 5);
            DWORD waited = event ? WaitForSingleObject(event, 10000) : WAIT_FAILED;
            extra += std::string("released=") + (waited == WAIT_OBJECT_0 ? "1" : "0") + "\n";
            if (event) CloseHandle(event);
        }
    }

    char module[MAX_PATH * 2] = {};
    GetModuleFileNameA(nullptr, module, sizeof module);
    char directory[MAX_PATH * 2] = {};
    GetCurrentDirectoryA(sizeof directory, directory);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    DWORD consoleProcesses[16];
    DWORD consoleCount = GetConsoleProcessList(consoleProcesses, 16);

    // Written to a temporary name and renamed, so a reader polling for the
    // report never sees half of it.
    std::string partial = std::string(reportPath) + ".part";
    std::FILE* out = std::fopen(partial.c_str(), "wb");
    if (!out) return 100;
    std::fprintf(out, "commandline=%s\n", GetCommandLineA());
    std::fprintf(out, "directory=%s\n", directory);
    std::fprintf(out, "module=%s\n", module);
    std::fprintf(out, "useshowwindow=%d\n", (startup.dwFlags & STARTF_USESHOWWINDOW) ? 1 : 0);
    std::fprintf(out, "showwindow=%u\n", static_cast<unsigned>(startup.wShowWindow));
    std::fprintf(out, "priority=%lu\n", static_cast<unsigned long>(GetPriorityClass(GetCurrentProcess())));
    std::fprintf(out, "consoleprocesses=%lu\n", static_cast<unsigned long>(consoleCount));
    std::fputs(extra.c_str(), out);
    std::fclose(out);
    if (!MoveFileExA(partial.c_str(), reportPath, MOVEFILE_REPLACE_EXISTING)) return 101;
    return exitCode;
}
