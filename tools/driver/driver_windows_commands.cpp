// Commands on top-level windows: listing, dumping, message boxes, frames,
// tooltips, sizes.
#include "tools/driver/driver.h"

#include <algorithm>

namespace qndriver {

void cmdWait(const Args& a) { outLine(windowText(findWindow(a[0], optTimeout(a, 1)))); }

void cmdWindows(const Args&) {
    for (HWND t : topLevelWindows()) {
        RECT r;
        GetWindowRect(t, &r);
        std::string name = qnName(t);
        outLine((name.empty() ? "-" : name) + "\t" + className(t) + "\t" + rectText(r) + "\t" +
                escaped(caption(t)));
    }
}

// The control with the keyboard focus in the window's thread, and whether the
// window is the thread's active one: "<name>\t<active 0/1>".
void cmdFocus(const Args& a) {
    HWND top = findWindow(a[0], g_findTimeout);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info))
        fail(kFailed, "no thread information");
    std::string name = info.hwndFocus ? qnName(info.hwndFocus) : "";
    outLine((name.empty() ? "-" : name) + "\t" + (info.hwndActive == top ? "1" : "0"));
}

// Whether the focused control of a window draws its focus mark: "shown"
// or "hidden", as the window's keyboard cues stand.
void cmdCues(const Args& a) {
    HWND top = findWindow(a[0], g_findTimeout);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    HWND focus = GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info) ? info.hwndFocus : nullptr;
    const DWORD_PTR state = sendOrFail(focus && IsChild(top, focus) ? focus : top, WM_QUERYUISTATE, 0, 0);
    outLine((state & UISF_HIDEFOCUS) ? "hidden" : "shown");
}

void cmdDump(const Args& a) {
    HWND top = findWindow(a[0], g_findTimeout);
    for (HWND c : childWindows(top)) {
        std::string name = qnName(c);
        RECT r;
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, top, reinterpret_cast<POINT*>(&r), 2);
        std::string checked = "-";
        if (isClass(c, "Button")) {
            DWORD_PTR v = 0;
            if (send(c, BM_GETCHECK, 0, 0, &v)) checked = std::to_string(v);
        }
        std::string face = "-", height = "-";
        DWORD_PTR font = 0;
        LOGFONTA lf{};
        if (send(c, WM_GETFONT, 0, 0, &font) && font &&
            GetObjectA(reinterpret_cast<HFONT>(font), sizeof lf, &lf) == sizeof lf) {
            face = lf.lfFaceName;
            height = std::to_string(lf.lfHeight);
        }
        outLine((name.empty() ? "-" : name) + "\t" + className(c) + "\t" +
                (IsWindowVisible(c) ? "1" : "0") + "\t" + (IsWindowEnabled(c) ? "1" : "0") + "\t" +
                checked + "\t" + rectText(r) + "\t" + face + "\t" + height + "\t" +
                escaped(windowText(c)));
    }
}


void cmdMsgbox(const Args& a) {
    HWND box = findMessageBox(optTimeout(a, 0));
    outLine(windowText(box));
    outLine(lineBreaks(windowText(GetDlgItem(box, kMsgBoxTextId))));
}

void cmdAnswer(const Args& a) {
    struct { const char* name; int id; } buttons[] = {
        {"OK", IDOK}, {"YES", IDYES}, {"NO", IDNO}, {"CANCEL", IDCANCEL},
        {"ABORT", IDABORT}, {"RETRY", IDRETRY}, {"IGNORE", IDIGNORE}};
    int id = 0;
    for (const auto& b : buttons)
        if (lstrcmpiA(a[0].c_str(), b.name) == 0) id = b.id;
    if (!id) fail(kUsage, "unknown answer '" + a[0] + "'");
    DWORD timeout = optTimeout(a, 1);
    HWND box = findMessageBox(timeout);
    HWND button = GetDlgItem(box, id);
    if (!button) fail(kFailed, "the message box has no " + a[0] + " button");
    HWND owner = GetWindow(box, GW_OWNER);
    post(button, BM_CLICK, 0, 0);
    if (!poll(timeout, [&]() -> HWND { return IsWindow(box) && IsWindowVisible(box) ? nullptr : box; }))
        fail(kFailed, "the message box did not close");
    if (owner) settle(owner, 1);
}

void cmdClose(const Args& a) {
    HWND top = findWindow(a[0], g_findTimeout);
    post(top, WM_CLOSE, 0, 0);
    settle(top, 1);
}

// What the window system and the shell know of a top-level window, shown or
// not, one "key=value" per line. "taskbar" is the shell's rule for an entry
// of its own: shown, and unowned unless a tool window, or an app window.
void cmdFrame(const Args& a) {
    HWND top = findAnyWindow(a[0], g_findTimeout);
    const LONG exStyle = GetWindowLongA(top, GWL_EXSTYLE);
    HWND owner = GetWindow(top, GW_OWNER);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info);
    const bool shown = IsWindowVisible(top) != 0;
    const bool entry = shown && ((exStyle & WS_EX_APPWINDOW) || (!owner && !(exStyle & WS_EX_TOOLWINDOW)));
    RECT r;
    GetWindowRect(top, &r);
    outLine("class=" + className(top));
    outLine("caption=" + escaped(caption(top)));
    outLine("visible=" + std::string(shown ? "1" : "0"));
    outLine("enabled=" + std::string(IsWindowEnabled(top) ? "1" : "0"));
    outLine("iconic=" + std::string(IsIconic(top) ? "1" : "0"));
    outLine("active=" + std::string(info.hwndActive == top ? "1" : "0"));
    outLine("owner=" + escaped(label(owner)));
    outLine("taskbar=" + std::string(entry ? "1" : "0"));
    outLine("rect=" + rectText(r));
}

// A system command, as the title bar's buttons and the task bar give them.
void cmdSys(const Args& a) {
    struct { const char* name; WPARAM command; } commands[] = {
        {"minimize", SC_MINIMIZE}, {"restore", SC_RESTORE}, {"close", SC_CLOSE}};
    WPARAM command = 0;
    for (const auto& c : commands)
        if (a[1] == c.name) command = c.command;
    if (!command) fail(kUsage, "unknown system command '" + a[1] + "'");
    HWND top = findAnyWindow(a[0], g_findTimeout);
    post(top, WM_SYSCOMMAND, command, 0);
    settle(top, 1);
}


namespace {

// ---- tooltips ------------------------------------------------------------------

// The tooltip windows a top-level window owns.
std::vector<HWND> tooltipsOf(HWND top) {
    std::vector<HWND> all, tips;
    EnumWindows(collectAll, reinterpret_cast<LPARAM>(&all));
    for (HWND h : all)
        if (isClass(h, TOOLTIPS_CLASSA) && GetWindow(h, GW_OWNER) == top) tips.push_back(h);
    return tips;
}

// One tool of a tooltip, by index (TTM_ENUMTOOLS) or the one showing
// (TTM_GETCURRENTTOOL): "<control>\t<text>", or empty when there is none.
std::string toolLine(HWND tip, bool current, int index) {
    Remote mem(tip);
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.lpszText = mem.textAt();
    mem.put(tool);
    mem.clearText();
    const DWORD_PTR ok = current ? sendOrFail(tip, TTM_GETCURRENTTOOLW, 0, mem.addr(0))
                                 : sendOrFail(tip, TTM_ENUMTOOLSW, index, mem.addr(0));
    if (!ok) return {};
    tool = mem.get<TTTOOLINFOW>();
    HWND control = (tool.uFlags & TTF_IDISHWND) ? reinterpret_cast<HWND>(tool.uId) : nullptr;
    std::string text = tool.lpszText && tool.lpszText != LPSTR_TEXTCALLBACKW ? mem.string(tool.lpszText) : "";
    return (control ? label(control) : "#" + std::to_string(tool.uId)) + "\t" + escaped(text);
}

}  // namespace


// Every tool of the window's tooltips: which control, and its text.
void cmdTips(const Args& a) {
    HWND top = findWindow(a[0], g_findTimeout);
    for (HWND tip : tooltipsOf(top)) {
        const int n = static_cast<int>(sendOrFail(tip, TTM_GETTOOLCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) outLine(toolLine(tip, false, i));
    }
}

// The tooltip on the screen for a control of the window, waiting for one:
// the control, the text it shows, and where it is.
void cmdTooltip(const Args& a) {
    HWND top = findWindow(a[0], g_findTimeout);
    HWND shown = poll(optTimeout(a, 1), [&]() -> HWND {
        for (HWND tip : tooltipsOf(top))
            if (IsWindowVisible(tip)) return tip;
        return nullptr;
    });
    if (!shown) fail(kNotFound, "no tooltip shown within " + std::to_string(optTimeout(a, 1)) + " ms");
    std::string tool = toolLine(shown, true, 0);
    if (tool.empty()) fail(kFailed, "a tooltip shows, but for no tool");
    const std::string control = tool.substr(0, tool.find('\t'));
    RECT r;
    GetWindowRect(shown, &r);
    outLine(control + "\t" + escaped(windowText(shown)) + "\t" + rectText(r));
}

// The window's client area and the resolution it is shown at.
void cmdClient(const Args& a) {
    HWND h = findWindow(a[0], g_findTimeout);
    RECT r;
    GetClientRect(h, &r);
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    auto forWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    const UINT dpi = forWindow ? forWindow(h) : 0;
    outLine(std::to_string(r.right) + " " + std::to_string(r.bottom) + "\t" +
            (dpi ? std::to_string(dpi) : "-"));
}

void cmdRect(const Args& a) {
    HWND h = findWindow(a[0], g_findTimeout);
    if (a.size() > 1) h = findControl(h, a[1]);
    RECT r;
    GetWindowRect(h, &r);
    outLine(rectText(r));
}

}  // namespace qndriver
