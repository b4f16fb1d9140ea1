// qndriver: drives another process's windows from outside, for end-to-end
// tests under Wine. One command per run; what it reads goes to stdout as
// plain text, a failure is one line on stderr and a non-zero exit code.
//
// Controls are found by the "QnName" window property (a global atom with the
// control's name), falling back to the exact window text, or "#<id>". The
// launcher names a form's controls when the form is sent the registered
// message "QnNameControls"; its top-level windows are named from the start.
// In tab-separated output a text's backslash, tab, CR and LF are written as
// two characters each: a backslash and one of \\ t r n.
// Messages carrying pointers are not marshalled between processes, so their
// structs and buffers live in memory allocated inside the target.
#include "tools/driver/driver.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstring>
#include <shellapi.h>

using namespace qndriver;

namespace {

struct Command {
    const char* name;
    size_t minArgs, maxArgs;
    void (*run)(const Args&);
    const char* usage;
};

const Command kCommands[] = {
    {"windows", 0, 0, cmdWindows, "windows"},
    {"focus", 1, 1, cmdFocus, "focus <window>"},
    {"cues", 1, 1, cmdCues, "cues <window>   (focus mark shown or hidden)"},
    {"wait", 1, 2, cmdWait, "wait <window> [timeout_ms]"},
    {"dump", 1, 1, cmdDump, "dump <window>"},
    {"text", 2, 2, cmdText, "text <window> <control>"},
    {"settext", 3, 3, cmdSetText, "settext <window> <control> <text>   (as if typed over)"},
    {"rows", 2, 2, cmdRows, "rows <window> <listview>"},
    {"columns", 2, 2, cmdColumns, "columns <window> <listview>"},
    {"panels", 2, 2, cmdPanels, "panels <window> <statusbar>"},
    {"select", 3, 3, cmdSelect, "select <window> <listview> <row>"},
    {"click", 2, 3, cmdClick, "click <window> <control> [row]"},
    {"rowpoint", 3, 3, cmdRowPoint, "rowpoint <window> <listview> <row>   (its centre on the screen)"},
    {"dblclick", 3, 3, cmdDblclick, "dblclick <window> <listview> <row>"},
    {"hover", 2, 2, cmdHover, "hover <window> <control>"},
    {"key", 3, 3, cmdKey,
     "key <window> <control> <Return|Escape|Tab|Space|Up|Down|Left|Right|Home|End|Add|Subtract>"},
    {"tree", 2, 2, cmdTree, "tree <window> <treeview>"},
    {"tree-select", 3, 3, cmdTreeSelect, "tree-select <window> <treeview> <index>"},
    {"combo", 2, 2, cmdCombo, "combo <window> <combobox|listbox>"},
    {"combo-select", 3, 3, cmdComboSelect, "combo-select <window> <combobox|listbox> <index>"},
    {"tab", 2, 2, cmdTab, "tab <window> <tabcontrol>"},
    {"tab-select", 3, 3, cmdTabSelect, "tab-select <window> <tabcontrol> <index>"},
    {"msgbox", 0, 1, cmdMsgbox, "msgbox [timeout_ms]"},
    {"answer", 1, 2, cmdAnswer, "answer <OK|YES|NO|CANCEL> [timeout_ms]"},
    {"close", 1, 1, cmdClose, "close <window>"},
    {"rect", 1, 2, cmdRect, "rect <window> [control]"},
    {"client", 1, 1, cmdClient, "client <window>   (width height, tab, dpi)"},
    {"frame", 1, 1, cmdFrame, "frame <window>   (shown or hidden)"},
    {"file-info", 1, 1, cmdFileInfo, "file-info <program file>   (version texts, icon sizes)"},
    {"sys", 2, 2, cmdSys, "sys <window> <minimize|restore|close>"},
    {"tips", 1, 1, cmdTips, "tips <window>"},
    {"tooltip", 1, 2, cmdTooltip, "tooltip <window> [timeout_ms]"},
};

void usage() {
    std::fputs("usage: qndriver <command> ...\n", stderr);
    for (const Command& c : kCommands) std::fprintf(stderr, "  %s\n", c.usage);
}

}  // namespace

// Sees other programs' windows in the screen's own pixels: a driver the
// system takes for unaware of display scaling would be shown every window
// of a program that is aware of it at 96 dpi, shrunk.
void beAwareOfDisplayScaling() {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    using SetContextFn = BOOL(WINAPI*)(HANDLE);
    auto setContext = reinterpret_cast<SetContextFn>(
        reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDpiAwarenessContext")));
    const auto perMonitorV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
    if (setContext && setContext(perMonitorV2)) return;
    using SetAwareFn = BOOL(WINAPI*)();
    if (auto setAware = reinterpret_cast<SetAwareFn>(
            reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDPIAware"))))
        setAware();
}

// The arguments in UTF-8, whatever the code page: read from the wide
// command line.
std::vector<std::string> arguments() {
    std::vector<std::string> all;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 0; i < count; ++i) all.push_back(narrow(wide[i]));
    LocalFree(wide);
    return all;
}

int main() {
    // Plain LF on stdout: the shell reading it is on the Unix side.
    _setmode(_fileno(stdout), _O_BINARY);
    beAwareOfDisplayScaling();
    const std::vector<std::string> argv = arguments();
    if (argv.size() < 2) {
        usage();
        return kUsage;
    }
    Args args(argv.begin() + 2, argv.end());
    for (const Command& c : kCommands) {
        if (argv[1] != c.name) continue;
        if (args.size() < c.minArgs || args.size() > c.maxArgs) {
            std::fprintf(stderr, "qndriver: usage: %s\n", c.usage);
            return kUsage;
        }
        try {
            c.run(args);
        } catch (const Failure& f) {
            std::fflush(stdout);
            std::fprintf(stderr, "qndriver: %s: %s\n", c.name, forOutput(f.message).c_str());
            return f.code;
        }
        std::fflush(stdout);
        return kOk;
    }
    std::fprintf(stderr, "qndriver: unknown command '%s'\n", forOutput(argv[1]).c_str());
    usage();
    return kUsage;
}
