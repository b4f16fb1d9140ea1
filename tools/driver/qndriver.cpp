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
#ifndef _WIN32_IE
#define _WIN32_IE 0x0600
#endif
#include "platform/win32/scoped_handle.h"

#include <commctrl.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

enum ExitCode { kOk = 0, kUsage = 1, kNotFound = 2, kFailed = 3 };

struct Failure {
    int code;
    std::string message;
};

[[noreturn]] void fail(int code, const std::string& message) { throw Failure{code, message}; }

DWORD envTimeout() {
    const char* v = std::getenv("QNDRIVER_TIMEOUT");
    if (v && *v) return static_cast<DWORD>(std::strtoul(v, nullptr, 10));
    return 5000;
}

// How long to look for a window or control, and how long one message may take.
DWORD g_findTimeout = envTimeout();
const DWORD kMessageTimeout = 5000;

void out(const std::string& s) { std::fwrite(s.data(), 1, s.size(), stdout); }
void outLine(const std::string& s) { out(s + "\n"); }

// ---- window basics ---------------------------------------------------------

bool send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, DWORD_PTR* result = nullptr) {
    DWORD_PTR r = 0;
    LRESULT ok = SendMessageTimeoutA(hwnd, msg, wp, lp, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                                     kMessageTimeout, &r);
    if (result) *result = r;
    return ok != 0;
}

DWORD_PTR sendOrFail(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    DWORD_PTR r = 0;
    if (!send(hwnd, msg, wp, lp, &r))
        fail(kFailed, "no answer to message 0x" + std::to_string(msg) + " (target hung or gone)");
    return r;
}

void post(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (!PostMessageA(hwnd, msg, wp, lp)) fail(kFailed, "cannot post a message to the window");
}

// Posted input is handled after any message we send, so wait until the
// target's thread has been through its queue once per posted message: the
// effects of a click are then visible to the next driver command.
void settle(HWND hwnd, int posted) {
    for (int i = 0; i <= posted; ++i) {
        DWORD_PTR r;
        if (!SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, 2000, &r))
            break;
    }
}

// Asks a top-level window to name its controls, once per run unless asked
// again (its program may have made more since). A window that does not
// answer in time (its program busy running a game) is not asked again.
std::map<HWND, bool> g_namesAsked;  // top-level window -> answered

void askForNames(HWND top, bool again = false) {
    static const UINT request = RegisterWindowMessageA("QnNameControls");
    auto asked = g_namesAsked.find(top);
    if (asked != g_namesAsked.end() && !(again && asked->second)) return;
    DWORD_PTR r = 0;
    g_namesAsked[top] = SendMessageTimeoutA(top, request, 0, 0, SMTO_ABORTIFHUNG, 2000, &r) != 0;
}

std::string qnName(HWND hwnd) {
    HANDLE h = GetPropA(hwnd, "QnName");
    if (!h && (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD)) {
        askForNames(GetAncestor(hwnd, GA_ROOT));
        h = GetPropA(hwnd, "QnName");
    }
    if (!h) return {};
    char buf[256];
    UINT n = GlobalGetAtomNameA(static_cast<ATOM>(reinterpret_cast<UINT_PTR>(h)), buf, sizeof buf);
    return std::string(buf, n);
}

std::string className(HWND hwnd) {
    char buf[256];
    int n = GetClassNameA(hwnd, buf, sizeof buf);
    return std::string(buf, n > 0 ? n : 0);
}

bool isClass(HWND hwnd, const char* name) { return lstrcmpiA(className(hwnd).c_str(), name) == 0; }

std::string windowText(HWND hwnd) {
    DWORD_PTR len = 0;
    if (!send(hwnd, WM_GETTEXTLENGTH, 0, 0, &len)) fail(kFailed, "no answer to WM_GETTEXTLENGTH");
    std::vector<char> buf(len + 1);
    DWORD_PTR got = 0;
    if (!send(hwnd, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()), &got))
        fail(kFailed, "no answer to WM_GETTEXT");
    return std::string(buf.data(), std::min<size_t>(got, len));
}

// The text the window manager keeps; asks nothing of the target, so a hung
// window cannot stall a search.
std::string caption(HWND hwnd) {
    char buf[1024];
    int n = GetWindowTextA(hwnd, buf, sizeof buf);
    return std::string(buf, n > 0 ? n : 0);
}

std::string narrow(const wchar_t* w) {
    int n = WideCharToMultiByte(CP_ACP, 0, w, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1) return {};
    std::string r(n - 1, '\0');
    WideCharToMultiByte(CP_ACP, 0, w, -1, &r[0], n, nullptr, nullptr);
    return r;
}

// One line per control in dump: tabs and line breaks must not split it.
std::string escaped(const std::string& s) {
    std::string r;
    for (char c : s) {
        switch (c) {
        case '\\': r += "\\\\"; break;
        case '\t': r += "\\t"; break;
        case '\r': r += "\\r"; break;
        case '\n': r += "\\n"; break;
        default: r += c;
        }
    }
    return r;
}

// Message-box texts use CR LF (or a lone CR) between lines; show them as lines.
std::string lineBreaks(const std::string& s) {
    std::string r;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '\r') {
            r += '\n';
            if (i + 1 < s.size() && s[i + 1] == '\n') ++i;
        } else {
            r += s[i];
        }
    }
    return r;
}

std::string rectText(const RECT& r) {
    return std::to_string(r.left) + " " + std::to_string(r.top) + " " +
           std::to_string(r.right - r.left) + " " + std::to_string(r.bottom - r.top);
}

BOOL CALLBACK collectVisible(HWND h, LPARAM lp) {
    if (IsWindowVisible(h)) reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
    return TRUE;
}

BOOL CALLBACK collectAll(HWND h, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
    return TRUE;
}

std::vector<HWND> topLevelWindows() {
    std::vector<HWND> all;
    EnumWindows(collectVisible, reinterpret_cast<LPARAM>(&all));
    return all;
}

// All descendants, depth first in Z order: a stable order for dump.
std::vector<HWND> childWindows(HWND top) {
    std::vector<HWND> all;
    EnumChildWindows(top, collectAll, reinterpret_cast<LPARAM>(&all));
    return all;
}

// Polls until pick() returns a window or the timeout ends.
template <typename Pick>
HWND poll(DWORD timeoutMs, Pick pick) {
    DWORD start = GetTickCount();
    for (;;) {
        if (HWND h = pick()) return h;
        if (GetTickCount() - start >= timeoutMs) return nullptr;
        Sleep(25);
    }
}

// A top-level window by its control name, else by its caption; hidden ones
// only when asked for.
HWND findTopWindow(const std::string& key, DWORD timeoutMs, bool hiddenToo) {
    HWND h = poll(timeoutMs, [&]() -> HWND {
        std::vector<HWND> tops;
        EnumWindows(hiddenToo ? collectAll : collectVisible, reinterpret_cast<LPARAM>(&tops));
        // A shown form still making the windows of its other pages is not
        // there yet.
        if (!hiddenToo)
            tops.erase(std::remove_if(tops.begin(), tops.end(),
                                      [](HWND t) { return GetPropA(t, "QnPending") != nullptr; }),
                       tops.end());
        for (HWND t : tops)
            if (qnName(t) == key) return t;
        for (HWND t : tops)
            if (caption(t) == key) return t;
        return nullptr;
    });
    if (!h) fail(kNotFound, "window '" + key + "' not found within " + std::to_string(timeoutMs) + " ms");
    return h;
}

HWND findWindow(const std::string& key, DWORD timeoutMs) { return findTopWindow(key, timeoutMs, false); }

HWND findAnyWindow(const std::string& key, DWORD timeoutMs) { return findTopWindow(key, timeoutMs, true); }

// A window's name for output: its QnName, else its caption, else "-".
std::string label(HWND hwnd) {
    if (!hwnd) return "-";
    std::string name = qnName(hwnd);
    if (name.empty()) name = caption(hwnd);
    return name.empty() ? "-" : name;
}

HWND findControl(HWND top, const std::string& key) {
    bool first = true;
    HWND h = poll(g_findTimeout, [&]() -> HWND {
        askForNames(top, !first);
        first = false;
        std::vector<HWND> kids = childWindows(top);
        for (HWND c : kids)
            if (qnName(c) == key) return c;
        if (key.size() > 1 && key[0] == '#') {
            int id = std::atoi(key.c_str() + 1);
            for (HWND c : kids)
                if (GetDlgCtrlID(c) == id) return c;
        }
        for (HWND c : kids)
            if (caption(c) == key) return c;
        return nullptr;
    });
    if (!h) fail(kNotFound, "control '" + key + "' not found in its window");
    return h;
}

// A user cannot click what is hidden or disabled, nor anything in a window a
// modal box has disabled: refuse, so a test notices.
void requireClickable(HWND top, HWND control) {
    if (!IsWindowVisible(control)) fail(kFailed, "control is not visible");
    if (!IsWindowEnabled(control)) fail(kFailed, "control is disabled");
    if (!IsWindowEnabled(top)) fail(kFailed, "window is disabled (is a modal window open?)");
}

void expectClass(HWND control, const char* cls, const char* what) {
    if (!isClass(control, cls)) fail(kFailed, std::string("control is not a ") + what + " (class " + className(control) + ")");
}

int parseInt(const std::string& s, const char* what) {
    char* end = nullptr;
    long v = std::strtol(s.c_str(), &end, 10);
    if (s.empty() || *end) fail(kUsage, std::string("bad ") + what + ": '" + s + "'");
    return static_cast<int>(v);
}

// ---- memory inside the target ----------------------------------------------

class Remote {
public:
    static const size_t kSize = 0x10000;
    static const size_t kText = 0x1000;  // structs below, texts from here
    static const size_t kTextMax = kSize - kText;

    explicit Remote(HWND hwnd) {
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        proc_.reset(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                                PROCESS_QUERY_INFORMATION, FALSE, pid));
        if (!proc_) fail(kFailed, "cannot open the target process (error " + std::to_string(GetLastError()) + ")");
        base_ = static_cast<char*>(VirtualAllocEx(proc_.get(), nullptr, kSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        if (!base_) fail(kFailed, "cannot allocate memory in the target process");
    }
    ~Remote() {
        VirtualFreeEx(proc_.get(), base_, 0, MEM_RELEASE);
    }
    Remote(const Remote&) = delete;
    Remote& operator=(const Remote&) = delete;

    char* at(size_t offset) const { return base_ + offset; }
    LPARAM addr(size_t offset) const { return reinterpret_cast<LPARAM>(base_ + offset); }

    void write(size_t offset, const void* data, size_t n) {
        SIZE_T done = 0;
        if (!WriteProcessMemory(proc_.get(), base_ + offset, data, n, &done) || done != n)
            fail(kFailed, "cannot write the target's memory");
    }
    void read(const void* where, void* data, size_t n) {
        SIZE_T done = 0;
        if (!ReadProcessMemory(proc_.get(), where, data, n, &done) || done != n)
            fail(kFailed, "cannot read the target's memory");
    }
    template <typename T> void put(const T& v) { write(0, &v, sizeof v); }
    template <typename T> T get() {
        T v;
        read(base_, &v, sizeof v);
        return v;
    }
    // A NUL-terminated string the target wrote at `where` (at most kTextMax).
    std::string string(const void* where) {
        std::vector<char> buf(kTextMax + 1, '\0');
        SIZE_T done = 0;
        ReadProcessMemory(proc_.get(), where, buf.data(), kTextMax, &done);
        return std::string(buf.data(), strnlen(buf.data(), done));
    }
    void clearText() {
        char zero = 0;
        write(kText, &zero, 1);
    }

private:
    qn::UniqueHandle proc_;  // closed after the memory in it is freed
    char* base_ = nullptr;
};

// ---- list views --------------------------------------------------------------

int lvCount(HWND lv) { return static_cast<int>(sendOrFail(lv, LVM_GETITEMCOUNT, 0, 0)); }

int lvColumnCount(HWND lv) {
    HWND header = reinterpret_cast<HWND>(sendOrFail(lv, LVM_GETHEADER, 0, 0));
    if (!header) return 1;
    int n = static_cast<int>(sendOrFail(header, HDM_GETITEMCOUNT, 0, 0));
    return n > 0 ? n : 1;
}

std::string lvText(Remote& mem, HWND lv, int row, int col) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = col;
    item.pszText = mem.at(Remote::kText);
    item.cchTextMax = static_cast<int>(Remote::kTextMax);
    mem.put(item);
    mem.clearText();
    sendOrFail(lv, LVM_GETITEMTEXTA, row, mem.addr(0));
    // The control may point pszText at its own copy; read whatever it names.
    LVITEMA back = mem.get<LVITEMA>();
    return back.pszText ? mem.string(back.pszText) : std::string();
}

int checkedRow(HWND lv, const std::string& s) {
    int row = parseInt(s, "row");
    int n = lvCount(lv);
    if (row < 0 || row >= n) fail(kFailed, "row " + s + " out of range (" + std::to_string(n) + " rows)");
    return row;
}

POINT lvRowCentre(HWND lv, int row) {
    Remote mem(lv);
    RECT r{};
    r.left = LVIR_LABEL;  // the label always hits the item, full-row select or not
    mem.put(r);
    sendOrFail(lv, LVM_ENSUREVISIBLE, row, FALSE);
    if (!sendOrFail(lv, LVM_GETITEMRECT, row, mem.addr(0))) fail(kFailed, "no rectangle for row");
    r = mem.get<RECT>();
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

POINT centre(HWND control) {
    RECT r;
    GetClientRect(control, &r);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

void postClick(HWND control, POINT p, bool dbl) {
    LPARAM at = MAKELPARAM(p.x, p.y);
    post(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
    post(control, WM_LBUTTONUP, 0, at);
    if (dbl) {
        post(control, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        post(control, WM_LBUTTONUP, 0, at);
    }
    settle(control, dbl ? 4 : 2);
}

// ---- message boxes -----------------------------------------------------------

const int kMsgBoxTextId = 0xFFFF;

HWND findMessageBox(DWORD timeoutMs) {
    HWND h = poll(timeoutMs, []() -> HWND {
        for (HWND t : topLevelWindows())
            if (isClass(t, "#32770") && GetDlgItem(t, kMsgBoxTextId)) return t;
        return nullptr;
    });
    if (!h) fail(kNotFound, "no message box within " + std::to_string(timeoutMs) + " ms");
    return h;
}

// ---- commands ------------------------------------------------------------------

using Args = std::vector<std::string>;

DWORD optTimeout(const Args& a, size_t i) {
    return a.size() > i ? static_cast<DWORD>(parseInt(a[i], "timeout")) : g_findTimeout;
}

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

void cmdText(const Args& a) {
    HWND top = findWindow(a[0], g_findTimeout);
    outLine(windowText(findControl(top, a[1])));
}

void cmdRows(const Args& a) {
    HWND lv = findControl(findWindow(a[0], g_findTimeout), a[1]);
    expectClass(lv, WC_LISTVIEWA, "list view");
    Remote mem(lv);
    int rows = lvCount(lv), cols = lvColumnCount(lv);
    for (int r = 0; r < rows; ++r) {
        DWORD_PTR state = sendOrFail(lv, LVM_GETITEMSTATE, r, LVIS_SELECTED);
        std::string line = (state & LVIS_SELECTED) ? "*" : "-";
        for (int c = 0; c < cols; ++c) line += "\t" + escaped(lvText(mem, lv, r, c));
        outLine(line);
    }
}

void cmdColumns(const Args& a) {
    HWND lv = findControl(findWindow(a[0], g_findTimeout), a[1]);
    expectClass(lv, WC_LISTVIEWA, "list view");
    Remote mem(lv);
    for (int i = 0;; ++i) {
        LVCOLUMNA col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH;
        col.pszText = mem.at(Remote::kText);
        col.cchTextMax = static_cast<int>(Remote::kTextMax);
        mem.put(col);
        mem.clearText();
        if (!sendOrFail(lv, LVM_GETCOLUMNA, i, mem.addr(0))) break;
        col = mem.get<LVCOLUMNA>();
        outLine(std::to_string(col.cx) + "\t" + escaped(col.pszText ? mem.string(col.pszText) : ""));
    }
}

void cmdPanels(const Args& a) {
    HWND sb = findControl(findWindow(a[0], g_findTimeout), a[1]);
    expectClass(sb, STATUSCLASSNAMEA, "status bar");
    Remote mem(sb);
    const int kMaxParts = 256;
    int n = static_cast<int>(sendOrFail(sb, SB_GETPARTS, kMaxParts, mem.addr(0)));
    std::vector<int> rights(n > 0 ? n : 0);
    if (n > 0) mem.read(mem.at(0), rights.data(), n * sizeof(int));
    for (int i = 0; i < n; ++i) {
        mem.clearText();
        sendOrFail(sb, SB_GETTEXTA, i, mem.addr(Remote::kText));
        outLine(std::to_string(rights[i]) + "\t" + escaped(mem.string(mem.at(Remote::kText))));
    }
}

void cmdSelect(const Args& a) {
    HWND top = findWindow(a[0], g_findTimeout);
    HWND lv = findControl(top, a[1]);
    expectClass(lv, WC_LISTVIEWA, "list view");
    requireClickable(top, lv);
    int row = checkedRow(lv, a[2]);
    Remote mem(lv);
    // As a click does: the old selection goes first, then the row is selected
    // and focused; the target sees LVN_ITEMCHANGED for each change.
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED;
    item.state = 0;
    mem.put(item);
    sendOrFail(lv, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), mem.addr(0));
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    mem.put(item);
    if (!sendOrFail(lv, LVM_SETITEMSTATE, row, mem.addr(0))) fail(kFailed, "the list view refused the selection");
    sendOrFail(lv, LVM_ENSUREVISIBLE, row, FALSE);
}

void cmdClick(const Args& a) {
    HWND top = findWindow(a[0], g_findTimeout);
    HWND c = findControl(top, a[1]);
    requireClickable(top, c);
    if (a.size() > 2) {
        expectClass(c, WC_LISTVIEWA, "list view");
        postClick(c, lvRowCentre(c, checkedRow(c, a[2])), false);
    } else if (isClass(c, "Button")) {
        post(c, BM_CLICK, 0, 0);
        settle(c, 1);
    } else {
        postClick(c, centre(c), false);
    }
}

void cmdDblclick(const Args& a) {
    HWND top = findWindow(a[0], g_findTimeout);
    HWND lv = findControl(top, a[1]);
    expectClass(lv, WC_LISTVIEWA, "list view");
    requireClickable(top, lv);
    postClick(lv, lvRowCentre(lv, checkedRow(lv, a[2])), true);
}

void cmdHover(const Args& a) {
    HWND top = findWindow(a[0], g_findTimeout);
    HWND c = findControl(top, a[1]);
    POINT p = centre(c);
    post(c, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
    settle(c, 1);
}

// A key pressed and released on a control, through the target's message loop
// as the keyboard's would be (its dialog keys included); for when the X
// keyboard focus cannot be relied on.
void cmdKey(const Args& a) {
    struct { const char* name; WPARAM vk; } keys[] = {
        {"Return", VK_RETURN}, {"Escape", VK_ESCAPE}, {"Tab", VK_TAB}, {"Space", VK_SPACE},
        {"Up", VK_UP}, {"Down", VK_DOWN}, {"Left", VK_LEFT}, {"Right", VK_RIGHT},
        {"Home", VK_HOME}, {"End", VK_END}, {"Add", VK_ADD}, {"Subtract", VK_SUBTRACT}};
    WPARAM vk = 0;
    for (const auto& k : keys)
        if (a[2] == k.name) vk = k.vk;
    if (!vk) fail(kUsage, "unknown key '" + a[2] + "'");
    HWND top = findWindow(a[0], g_findTimeout);
    HWND c = findControl(top, a[1]);
    requireClickable(top, c);
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(static_cast<UINT>(vk), 0)) << 16;
    post(c, WM_KEYDOWN, vk, scan | 1);
    post(c, WM_KEYUP, vk, scan | 1 | (LPARAM(3) << 30));
    settle(c, 2);
}

// ---- tree views ----------------------------------------------------------------

// The items a tree view shows, top to bottom (those under a closed item are
// not shown), by handle.
std::vector<HTREEITEM> tvShown(HWND tv) {
    std::vector<HTREEITEM> items;
    auto item = reinterpret_cast<HTREEITEM>(sendOrFail(tv, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    while (item) {
        items.push_back(item);
        item = reinterpret_cast<HTREEITEM>(
            sendOrFail(tv, TVM_GETNEXTITEM, TVGN_NEXTVISIBLE, reinterpret_cast<LPARAM>(item)));
    }
    return items;
}

// One line per shown item: "*" for the selected one, else "-"; "+" for an
// open item, ">" for one that offers to open, else " "; then the text,
// indented two spaces per level.
void cmdTree(const Args& a) {
    HWND tv = findControl(findWindow(a[0], g_findTimeout), a[1]);
    expectClass(tv, WC_TREEVIEWA, "tree view");
    Remote mem(tv);
    const auto selected = reinterpret_cast<HTREEITEM>(sendOrFail(tv, TVM_GETNEXTITEM, TVGN_CARET, 0));
    for (HTREEITEM h : tvShown(tv)) {
        TVITEMA item{};
        item.mask = TVIF_HANDLE | TVIF_TEXT | TVIF_STATE | TVIF_CHILDREN;
        item.hItem = h;
        item.stateMask = TVIS_EXPANDED;
        item.pszText = mem.at(Remote::kText);
        item.cchTextMax = static_cast<int>(Remote::kTextMax);
        mem.put(item);
        mem.clearText();
        sendOrFail(tv, TVM_GETITEMA, 0, mem.addr(0));
        item = mem.get<TVITEMA>();
        int depth = 0;
        for (auto p = h; (p = reinterpret_cast<HTREEITEM>(
                              sendOrFail(tv, TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(p))));)
            ++depth;
        const char* open = (item.state & TVIS_EXPANDED) ? "+" : item.cChildren ? ">" : " ";
        outLine(std::string(h == selected ? "*" : "-") + "\t" + open + "\t" + std::string(depth * 2, ' ') +
                escaped(item.pszText ? mem.string(item.pszText) : ""));
    }
}

// Selects the index-th shown item, as the user's arrows would, and brings
// it into view.
void cmdTreeSelect(const Args& a) {
    HWND tv = findControl(findWindow(a[0], g_findTimeout), a[1]);
    expectClass(tv, WC_TREEVIEWA, "tree view");
    const int index = parseInt(a[2], "index");
    const std::vector<HTREEITEM> shown = tvShown(tv);
    if (index < 0 || index >= static_cast<int>(shown.size())) fail(kFailed, "no such item");
    sendOrFail(tv, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(shown[index]));
    sendOrFail(tv, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(shown[index]));
}

// Combo boxes and list boxes answer the same questions with different messages.
struct ItemMessages {
    UINT count, curSel, textLen, text, setCurSel, getSel;
    WORD selChange;
};
const ItemMessages kComboMessages{CB_GETCOUNT, CB_GETCURSEL, CB_GETLBTEXTLEN, CB_GETLBTEXT, CB_SETCURSEL, 0,
                                  CBN_SELCHANGE};
const ItemMessages kListMessages{LB_GETCOUNT, LB_GETCURSEL, LB_GETTEXTLEN, LB_GETTEXT, LB_SETCURSEL, LB_GETSEL,
                                 LBN_SELCHANGE};

const ItemMessages& itemMessages(HWND control) {
    if (isClass(control, WC_COMBOBOXA)) return kComboMessages;
    if (isClass(control, "ListBox")) return kListMessages;
    fail(kFailed, "control is not a combo box or list box (class " + className(control) + ")");
}

void cmdCombo(const Args& a) {
    HWND cb = findControl(findWindow(a[0], g_findTimeout), a[1]);
    const ItemMessages& m = itemMessages(cb);
    int n = static_cast<int>(sendOrFail(cb, m.count, 0, 0));
    int sel = static_cast<int>(sendOrFail(cb, m.curSel, 0, 0));
    for (int i = 0; i < n; ++i) {
        // Wine hands CB_GETLBTEXT and LB_GETTEXT from another process back as
        // UTF-16 even when sent as ANSI, so ask in UTF-16 and convert here.
        int len = static_cast<int>(sendOrFail(cb, m.textLen, i, 0));
        std::vector<wchar_t> wide(len > 0 ? len + 1 : 1, L'\0');
        DWORD_PTR got = 0;
        if (!SendMessageTimeoutW(cb, m.text, i, reinterpret_cast<LPARAM>(wide.data()),
                                 SMTO_NORMAL | SMTO_ABORTIFHUNG, kMessageTimeout, &got))
            fail(kFailed, "no answer to the item text message");
        // A multiple-selection list box has no single current selection.
        bool selected = m.getSel ? sendOrFail(cb, m.getSel, i, 0) > 0 : i == sel;
        outLine(std::string(selected ? "*" : "-") + "\t" + escaped(narrow(wide.data())));
    }
}

void cmdComboSelect(const Args& a) {
    HWND top = findWindow(a[0], g_findTimeout);
    HWND cb = findControl(top, a[1]);
    const ItemMessages& m = itemMessages(cb);
    requireClickable(top, cb);
    int index = parseInt(a[2], "index");
    int n = static_cast<int>(sendOrFail(cb, m.count, 0, 0));
    if (index < 0 || index >= n) fail(kFailed, "index " + a[2] + " out of range (" + std::to_string(n) + " items)");
    sendOrFail(cb, m.setCurSel, index, 0);
    // Setting the selection notifies nobody; a user's choice sends SELCHANGE.
    HWND parent = GetParent(cb);
    post(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(cb), m.selChange), reinterpret_cast<LPARAM>(cb));
    settle(parent, 1);
}

void cmdTab(const Args& a) {
    HWND tc = findControl(findWindow(a[0], g_findTimeout), a[1]);
    expectClass(tc, WC_TABCONTROLA, "tab control");
    Remote mem(tc);
    int n = static_cast<int>(sendOrFail(tc, TCM_GETITEMCOUNT, 0, 0));
    int sel = static_cast<int>(sendOrFail(tc, TCM_GETCURSEL, 0, 0));
    for (int i = 0; i < n; ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = mem.at(Remote::kText);
        item.cchTextMax = static_cast<int>(Remote::kTextMax);
        mem.put(item);
        mem.clearText();
        sendOrFail(tc, TCM_GETITEMA, i, mem.addr(0));
        item = mem.get<TCITEMA>();
        outLine(std::string(i == sel ? "*" : "-") + "\t" + escaped(item.pszText ? mem.string(item.pszText) : ""));
    }
}

void cmdTabSelect(const Args& a) {
    HWND top = findWindow(a[0], g_findTimeout);
    HWND tc = findControl(top, a[1]);
    expectClass(tc, WC_TABCONTROLA, "tab control");
    requireClickable(top, tc);
    int index = parseInt(a[2], "index");
    int n = static_cast<int>(sendOrFail(tc, TCM_GETITEMCOUNT, 0, 0));
    if (index < 0 || index >= n) fail(kFailed, "tab " + a[2] + " out of range (" + std::to_string(n) + " tabs)");
    // Click the tab itself, so the target gets TCN_SELCHANGING and TCN_SELCHANGE.
    Remote mem(tc);
    if (!sendOrFail(tc, TCM_GETITEMRECT, index, mem.addr(0))) fail(kFailed, "tab " + a[2] + " is not shown (scrolled out of view?)");
    RECT r = mem.get<RECT>();
    postClick(tc, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}, false);
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
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.lpszText = mem.at(Remote::kText);
    mem.put(tool);
    mem.clearText();
    const DWORD_PTR ok = current ? sendOrFail(tip, TTM_GETCURRENTTOOLA, 0, mem.addr(0))
                                 : sendOrFail(tip, TTM_ENUMTOOLSA, index, mem.addr(0));
    if (!ok) return {};
    tool = mem.get<TTTOOLINFOA>();
    HWND control = (tool.uFlags & TTF_IDISHWND) ? reinterpret_cast<HWND>(tool.uId) : nullptr;
    std::string text = tool.lpszText && tool.lpszText != LPSTR_TEXTCALLBACKA ? mem.string(tool.lpszText) : "";
    return (control ? label(control) : "#" + std::to_string(tool.uId)) + "\t" + escaped(text);
}

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
    {"rows", 2, 2, cmdRows, "rows <window> <listview>"},
    {"columns", 2, 2, cmdColumns, "columns <window> <listview>"},
    {"panels", 2, 2, cmdPanels, "panels <window> <statusbar>"},
    {"select", 3, 3, cmdSelect, "select <window> <listview> <row>"},
    {"click", 2, 3, cmdClick, "click <window> <control> [row]"},
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

int main(int argc, char** argv) {
    // Plain LF on stdout: the shell reading it is on the Unix side.
    _setmode(_fileno(stdout), _O_BINARY);
    beAwareOfDisplayScaling();
    if (argc < 2) {
        usage();
        return kUsage;
    }
    Args args(argv + 2, argv + argc);
    for (const Command& c : kCommands) {
        if (std::strcmp(argv[1], c.name) != 0) continue;
        if (args.size() < c.minArgs || args.size() > c.maxArgs) {
            std::fprintf(stderr, "qndriver: usage: %s\n", c.usage);
            return kUsage;
        }
        try {
            c.run(args);
        } catch (const Failure& f) {
            std::fflush(stdout);
            std::fprintf(stderr, "qndriver: %s: %s\n", c.name, f.message.c_str());
            return f.code;
        }
        std::fflush(stdout);
        return kOk;
    }
    std::fprintf(stderr, "qndriver: unknown command '%s'\n", argv[1]);
    usage();
    return kUsage;
}
