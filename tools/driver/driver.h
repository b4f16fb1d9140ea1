// What the driver's commands share: failing, talking to windows, finding
// them, and memory inside the target process.
#pragma once

#ifndef _WIN32_IE
#define _WIN32_IE 0x0600
#endif
#include "platform/win32/scoped_handle.h"
#include "platform/win32/wide_text.h"

#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

namespace qndriver {

enum ExitCode { kOk = 0, kUsage = 1, kNotFound = 2, kFailed = 3 };

struct Failure {
    int code;
    std::string message;
};

[[noreturn]] inline void fail(int code, const std::string& message) { throw Failure{code, message}; }

// How long to look for a window or control, and how long one message may take.
extern DWORD g_findTimeout;
const DWORD kMessageTimeout = 5000;

// Texts are UTF-8 inside. Out they go in the code page, as they always
// did, unless QNDRIVER_UTF8 is set (to anything but empty): then UTF-8.
std::string forOutput(const std::string& utf8);
void out(const std::string& s);
void outLine(const std::string& s);

// ---- window basics ---------------------------------------------------------

bool send(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, DWORD_PTR* result = nullptr);
DWORD_PTR sendOrFail(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
void post(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
// Waits until the target's thread has been through its queue once per
// posted message.
void settle(HWND hwnd, int posted);
std::string qnName(HWND hwnd);
std::string className(HWND hwnd);
bool isClass(HWND hwnd, const char* name);
std::string windowText(HWND hwnd);
std::string caption(HWND hwnd);
using qn::narrow;
using qn::wide;
std::string escaped(const std::string& s);
std::string lineBreaks(const std::string& s);
std::string rectText(const RECT& r);
BOOL CALLBACK collectVisible(HWND h, LPARAM lp);
BOOL CALLBACK collectAll(HWND h, LPARAM lp);
std::vector<HWND> topLevelWindows();
std::vector<HWND> childWindows(HWND top);

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


HWND findWindow(const std::string& key, DWORD timeoutMs);
HWND findAnyWindow(const std::string& key, DWORD timeoutMs);
std::string label(HWND hwnd);
HWND findControl(HWND top, const std::string& key);
void requireClickable(HWND top, HWND control);
void expectClass(HWND control, const char* cls, const char* what);
int parseInt(const std::string& s, const char* what);

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
    // A NUL-terminated UTF-16 string the target wrote at `where`, in UTF-8.
    // Most texts are short: a small read first, the whole room only when
    // it holds no end.
    std::string string(const void* where) {
        for (size_t room : {size_t{512}, kTextMax}) {
            std::vector<wchar_t> buf(room / sizeof(wchar_t) + 1, L'\0');
            SIZE_T done = 0;
            ReadProcessMemory(proc_.get(), where, buf.data(), room, &done);
            const size_t length = wcsnlen(buf.data(), done / sizeof(wchar_t));
            if (length < done / sizeof(wchar_t) || room == kTextMax) return narrow(buf.data(), length);
        }
        return std::string();
    }
    wchar_t* textAt() const { return reinterpret_cast<wchar_t*>(at(kText)); }
    static constexpr int kTextChars = static_cast<int>(kTextMax / sizeof(wchar_t));
    void clearText() {
        wchar_t zero = 0;
        write(kText, &zero, sizeof zero);
    }

private:
    qn::UniqueHandle proc_;  // closed after the memory in it is freed
    char* base_ = nullptr;
};

// ---- list views --------------------------------------------------------------

int lvCount(HWND lv);
int lvColumnCount(HWND lv);
std::string lvText(Remote& mem, HWND lv, int row, int col);
int checkedRow(HWND lv, const std::string& s);
POINT lvRowCentre(HWND lv, int row);
POINT centre(HWND control);
void postClick(HWND control, POINT p, bool dbl);

// ---- message boxes -----------------------------------------------------------

const int kMsgBoxTextId = 0xFFFF;
HWND findMessageBox(DWORD timeoutMs);

// ---- commands ------------------------------------------------------------------

using Args = std::vector<std::string>;
DWORD optTimeout(const Args& a, size_t i);

void cmdWindows(const Args& a);
void cmdFocus(const Args& a);
void cmdCues(const Args& a);
void cmdWait(const Args& a);
void cmdDump(const Args& a);
void cmdText(const Args& a);
void cmdSetText(const Args& a);
void cmdRows(const Args& a);
void cmdColumns(const Args& a);
void cmdPanels(const Args& a);
void cmdSelect(const Args& a);
void cmdClick(const Args& a);
void cmdRowPoint(const Args& a);
void cmdDblclick(const Args& a);
void cmdHover(const Args& a);
void cmdKey(const Args& a);
void cmdTree(const Args& a);
void cmdTreeSelect(const Args& a);
void cmdCombo(const Args& a);
void cmdComboSelect(const Args& a);
void cmdTab(const Args& a);
void cmdTabSelect(const Args& a);
void cmdMsgbox(const Args& a);
void cmdAnswer(const Args& a);
void cmdClose(const Args& a);
void cmdRect(const Args& a);
void cmdClient(const Args& a);
void cmdFrame(const Args& a);
void cmdFileInfo(const Args& a);
void cmdSys(const Args& a);
void cmdTips(const Args& a);
void cmdTooltip(const Args& a);

}  // namespace qndriver
