// quon.exe: a stand-in for the emulator, for tests and the demo. It records
// how it was started and what it found, then exits with 0.
//
// The record, appended to QUON_LOG (or quon.log beside this program when
// QUON_LOG is not set) as soon as it starts, so a test can read it while the
// program still runs:
//   cmdline=<the command line exactly as GetCommandLineA gives it>
//   program=<the file this program was started from>
//   cwd=<the current directory>
//   game=<the first argument>
//   arg=<argument>     one per argument after the program's own, as the C
//                      runtime splits the command line
//   file=<name>        one per file in <cwd>\<game>\, sorted by byte value
//   end
// Environment:
//   QUON_HOLD_MS=<n>      stay running n milliseconds before going on
//   QUON_DEMO_WINDOW=1|0  show or do not show the demo window; unset, the
//                         window shows only when QUON_LOG is unset, so a test
//                         that reads the log is never left waiting for a user
#include "platform/win32/scoped_handle.h"
#include "tools/quon/stand_in_log.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string environment(const char* name) {
    char buffer[1024];
    const DWORD n = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

std::string joinPath(const std::string& dir, const std::string& name) {
    if (dir.empty() || dir.back() == '\\' || dir.back() == '/') return dir + name;
    return dir + "\\" + name;
}

// Regular files only: the emulator reads ROM images, not sub-directories.
std::vector<std::string> filesIn(const std::string& dir) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    const qn::FindHandle search(FindFirstFileA(joinPath(dir, "*").c_str(), &entry));
    if (!search.valid()) return names;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(entry.cFileName);
    } while (FindNextFileA(search.get(), &entry));
    std::sort(names.begin(), names.end());
    return names;
}

std::string defaultLogPath() {
    char self[MAX_PATH * 2];
    const DWORD n = GetModuleFileNameA(nullptr, self, sizeof self);
    std::string path(self, n < sizeof self ? n : 0);
    const size_t slash = path.find_last_of("\\/");
    return (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + "quon.log";
}

// ---- the demo window -------------------------------------------------------

const char kWindowClass[] = "QuonStandInWindow";
const int kCloseId = 1;

LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if (LOWORD(wp) == kCloseId || LOWORD(wp) == IDCANCEL) DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

void showWindow(const std::string& text) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = windowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    RegisterClassA(&wc);

    const int width = 360, height = 170;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    HWND window = CreateWindowExA(0, kWindowClass, "QUON stand-in",
                                  WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, x, y, width, height,
                                  nullptr, nullptr, instance, nullptr);
    if (!window) return;
    RECT client;
    GetClientRect(window, &client);
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    HWND label = CreateWindowExA(0, "STATIC", text.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT, 12, 10,
                                 client.right - 24, client.bottom - 56, window, nullptr, instance, nullptr);
    HWND button = CreateWindowExA(0, "BUTTON", "Close", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                                  (client.right - 80) / 2, client.bottom - 36, 80, 26, window,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCloseId)), instance, nullptr);
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageA(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ShowWindow(window, SW_SHOWNORMAL);
    SetForegroundWindow(window);
    SetFocus(button);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(window, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::string commandLine = GetCommandLineA();
    const std::string cwd = qn_standin::currentDirectory();
    const std::string game = argc > 1 ? argv[1] : "";
    std::string switches, args;
    for (int i = 2; i < argc; ++i) switches += (switches.empty() ? "" : " ") + std::string(argv[i]);
    for (int i = 1; i < argc; ++i) args += "arg=" + std::string(argv[i]) + "\n";

    // Without a game there is no game directory to look into.
    const std::vector<std::string> files =
        game.empty() ? std::vector<std::string>() : filesIn(joinPath(cwd, game));

    std::string record = "cmdline=" + commandLine + "\nprogram=" + qn_standin::programPath() +
                         "\ncwd=" + cwd + "\ngame=" + game + "\n" + args;
    for (const std::string& name : files) record += "file=" + name + "\n";
    record += "end\n";

    const std::string logFromEnv = qn_standin::logFromEnvironment();
    const std::string log = logFromEnv.empty() ? defaultLogPath() : logFromEnv;
    if (!qn_standin::appendRecord(log, record))
        std::fprintf(stderr, "quon: cannot write to %s\n", log.c_str());
    std::fwrite(record.data(), 1, record.size(), stdout);
    std::fflush(stdout);

    const std::string hold = environment("QUON_HOLD_MS");
    if (!hold.empty()) Sleep(static_cast<DWORD>(std::strtoul(hold.c_str(), nullptr, 10)));

    const std::string demo = environment("QUON_DEMO_WINDOW");
    const bool window = demo.empty() ? logFromEnv.empty() : demo == "1";
    if (window) {
        const std::string text = "Game: " + (game.empty() ? std::string("(none)") : game) +
                                 "\r\nSwitches: " + (switches.empty() ? std::string("(none)") : switches) +
                                 "\r\nDirectory: " + cwd +
                                 "\r\nFiles in the game's directory: " + std::to_string(files.size());
        showWindow(text);
    }
    return 0;
}
