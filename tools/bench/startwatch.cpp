// Times a program from its process start to ready, watched from outside:
// its top-level window visible, a list view in it with rows, and the status
// bar's second and third panels written. Only messages that carry no
// pointer are sent, so nothing has to be marshalled into the target.
//
//   startwatch <program> <window title> [timeout ms]
//
// Prints "ready <ms>" (or "timeout"), the time the target's answers came
// back showing it ready: a target that shows its window and then keeps
// busy (painting, filling) before it reads its messages is ready only once
// it answers. It then waits for a line on its input so the caller can read
// the process's memory, then closes the window and waits for the program
// to end.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// The window being watched and its two children, found once: handles do
// not change, and enumerating the target's children on every poll would
// load the window server in step with how many controls the target has.
struct Target {
    const char* title;
    HWND window = nullptr;
    HWND list = nullptr;
    HWND status = nullptr;
};

BOOL CALLBACK findChild(HWND hwnd, LPARAM lp) {
    Target& target = *reinterpret_cast<Target*>(lp);
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (!target.list && std::strcmp(cls, WC_LISTVIEWA) == 0) target.list = hwnd;
    if (!target.status && std::strcmp(cls, STATUSCLASSNAMEA) == 0) target.status = hwnd;
    return TRUE;
}

// A visible top-level window with exactly this title (FindWindow ignores
// case, and a program may own several windows of similar titles) that has
// a list view and a status bar.
BOOL CALLBACK findTarget(HWND hwnd, LPARAM lp) {
    Target& target = *reinterpret_cast<Target*>(lp);
    if (!IsWindowVisible(hwnd)) return TRUE;
    char title[256] = {};
    GetWindowTextA(hwnd, title, sizeof title);
    if (std::strcmp(title, target.title) != 0) return TRUE;
    Target found{target.title, hwnd};
    EnumChildWindows(hwnd, findChild, reinterpret_cast<LPARAM>(&found));
    if (!found.list || !found.status) return TRUE;
    target = found;
    return FALSE;
}

// Ready: visible, the list has rows, and the status bar's second and third
// panels are written.
bool ready(const Target& target) {
    if (!IsWindowVisible(target.window)) return false;
    DWORD_PTR rows = 0;
    if (!SendMessageTimeoutA(target.list, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 200, &rows) ||
        rows == 0)
        return false;
    for (int panel = 1; panel <= 2; ++panel) {
        DWORD_PTR length = 0;
        if (!SendMessageTimeoutA(target.status, SB_GETTEXTLENGTHA, panel, 0, SMTO_ABORTIFHUNG, 200,
                                 &length) ||
            LOWORD(length) == 0)
            return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: startwatch <program> <window title> [timeout ms]\n");
        return 2;
    }
    const DWORD timeout = argc > 3 ? static_cast<DWORD>(std::atol(argv[3])) : 20000;
    std::string commandLine = std::string("\"") + argv[1] + "\"";

    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(argv[1], &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
        std::printf("cannot start: %lu\n", GetLastError());
        return 1;
    }
    double elapsed = 0;
    HWND window = nullptr;
    bool done = false;
    Target target{argv[2]};
    auto since = [&] {
        QueryPerformanceCounter(&now);
        return 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
               static_cast<double>(frequency.QuadPart);
    };
    while (!done) {
        if (since() > timeout) break;
        if (!target.window) EnumWindows(findTarget, reinterpret_cast<LPARAM>(&target));
        if (target.window && ready(target)) {
            // Taken when the answers are in: a busy target answers late.
            elapsed = since();
            window = target.window;
            done = true;
            break;
        }
        if (WaitForSingleObject(pi.hProcess, 1) == WAIT_OBJECT_0) break;
    }
    if (done)
        std::printf("ready %.1f\n", elapsed);
    else
        std::printf("timeout\n");
    std::fflush(stdout);

    // The caller reads the process's memory, or changes something, then
    // sends a line; an input that is closed or empty lets the window close
    // at once. "timed" has the close timed, from the request to the end.
    char line[16];
    if (!std::fgets(line, sizeof line, stdin)) line[0] = '\0';
    QueryPerformanceCounter(&start);
    if (window) PostMessageA(window, WM_CLOSE, 0, 0);
    const bool ended = WaitForSingleObject(pi.hProcess, 10000) == WAIT_OBJECT_0;
    if (std::strncmp(line, "timed", 5) == 0) {
        if (ended)
            std::printf("closed %.1f\n", since());
        else
            std::printf("timeout\n");
        std::fflush(stdout);
    }
    if (!ended) TerminateProcess(pi.hProcess, 9);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return done ? 0 : 1;
}
