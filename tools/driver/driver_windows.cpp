// Talking to windows in another process and finding them.
#include "tools/driver/driver.h"

#include <algorithm>
#include <cstdlib>
#include <map>

namespace qndriver {

DWORD envTimeout() {
    const char* v = std::getenv("QNDRIVER_TIMEOUT");
    if (v && *v) return static_cast<DWORD>(std::strtoul(v, nullptr, 10));
    return 5000;
}

DWORD g_findTimeout = envTimeout();

std::string forOutput(const std::string& utf8) {
    static const bool asUtf8 = [] {
        const char* v = std::getenv("QNDRIVER_UTF8");
        return v && *v;
    }();
    const std::wstring text = wide(utf8);
    if (asUtf8 || text.empty()) return utf8;
    const int size = static_cast<int>(text.size());
    const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string bytes(n > 0 ? n : 0, '\0');
    if (n > 0) WideCharToMultiByte(CP_ACP, 0, text.data(), size, &bytes[0], n, nullptr, nullptr);
    return bytes;
}

void out(const std::string& s) {
    const std::string bytes = forOutput(s);
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}
void outLine(const std::string& s) { out(s + "\n"); }

bool send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, DWORD_PTR* result) {
    DWORD_PTR r = 0;
    LRESULT ok = SendMessageTimeoutW(hwnd, msg, wp, lp, SMTO_NORMAL | SMTO_ABORTIFHUNG,
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
    if (!PostMessageW(hwnd, msg, wp, lp)) fail(kFailed, "cannot post a message to the window");
}

// Posted input is handled after any message we send, so wait until the
// target's thread has been through its queue once per posted message: the
// effects of a click are then visible to the next driver command.
void settle(HWND hwnd, int posted) {
    for (int i = 0; i <= posted; ++i) {
        DWORD_PTR r;
        if (!SendMessageTimeoutW(hwnd, WM_NULL, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, 2000, &r))
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
    std::vector<wchar_t> buf(len + 1);
    DWORD_PTR got = 0;
    if (!send(hwnd, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()), &got))
        fail(kFailed, "no answer to WM_GETTEXT");
    return narrow(buf.data(), std::min<size_t>(got, len));
}

// The text the window manager keeps; asks nothing of the target, so a hung
// window cannot stall a search.
std::string caption(HWND hwnd) {
    wchar_t buf[1024];
    int n = GetWindowTextW(hwnd, buf, 1024);
    return narrow(buf, n > 0 ? n : 0);
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

HWND findMessageBox(DWORD timeoutMs) {
    HWND h = poll(timeoutMs, []() -> HWND {
        for (HWND t : topLevelWindows())
            if (isClass(t, "#32770") && GetDlgItem(t, kMsgBoxTextId)) return t;
        return nullptr;
    });
    if (!h) fail(kNotFound, "no message box within " + std::to_string(timeoutMs) + " ms");
    return h;
}

DWORD optTimeout(const Args& a, size_t i) {
    return a.size() > i ? static_cast<DWORD>(parseInt(a[i], "timeout")) : g_findTimeout;
}

}  // namespace qndriver
