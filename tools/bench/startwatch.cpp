// Times a program from its process start to ready, watched from outside:
// its top-level window visible, a list view in it with rows, and the status
// bar's second and third panels written. Only messages that carry no
// pointer are sent, so nothing has to be marshalled into the target.
//
//   startwatch <program> <window title> [timeout ms]
//
// Prints "ready <ms>" (or "timeout"), then waits for a line on its input so
// the caller can read the process's memory, then closes the window and
// waits for the program to end.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct Found {
    HWND list = nullptr;
    HWND status = nullptr;
};

BOOL CALLBACK findChild(HWND hwnd, LPARAM lp) {
    Found& found = *reinterpret_cast<Found*>(lp);
    char cls[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    if (!found.list && std::strcmp(cls, WC_LISTVIEWA) == 0) found.list = hwnd;
    if (!found.status && std::strcmp(cls, STATUSCLASSNAMEA) == 0) found.status = hwnd;
    return TRUE;
}

bool ready(HWND window) {
    if (!IsWindowVisible(window)) return false;
    Found found;
    EnumChildWindows(window, findChild, reinterpret_cast<LPARAM>(&found));
    if (!found.list || !found.status) return false;
    DWORD_PTR rows = 0;
    if (!SendMessageTimeoutA(found.list, LVM_GETITEMCOUNT, 0, 0, SMTO_ABORTIFHUNG, 200, &rows) ||
        rows == 0)
        return false;
    for (int panel = 1; panel <= 2; ++panel) {
        DWORD_PTR length = 0;
        if (!SendMessageTimeoutA(found.status, SB_GETTEXTLENGTHA, panel, 0, SMTO_ABORTIFHUNG, 200,
                                 &length) ||
            LOWORD(length) == 0)
            return false;
    }
    return true;
}

struct Search {
    const char* title;
    HWND ready = nullptr;
};

// Any top-level window with exactly this title (FindWindow ignores case,
// and a program may own several windows of similar titles) that is ready.
BOOL CALLBACK findReady(HWND hwnd, LPARAM lp) {
    Search& search = *reinterpret_cast<Search*>(lp);
    char title[256] = {};
    GetWindowTextA(hwnd, title, sizeof title);
    if (std::strcmp(title, search.title) != 0 || !ready(hwnd)) return TRUE;
    search.ready = hwnd;
    return FALSE;
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
    while (!done) {
        QueryPerformanceCounter(&now);
        elapsed = 1000.0 * static_cast<double>(now.QuadPart - start.QuadPart) /
                  static_cast<double>(frequency.QuadPart);
        if (elapsed > timeout) break;
        Search search{argv[2]};
        EnumWindows(findReady, reinterpret_cast<LPARAM>(&search));
        if (search.ready) {
            window = search.ready;
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

    // The caller reads the process's memory, then sends a line; an input
    // that is closed or empty lets the window close at once.
    char line[16];
    if (!std::fgets(line, sizeof line, stdin)) line[0] = '\0';
    if (window) PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 9);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return done ? 0 : 1;
}
