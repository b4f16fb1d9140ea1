// What the tests of the Win32 backend share: a form holding one control of
// each kind, realized on real (Wine) windows, and ways to read and drive
// the native controls as the system would.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "ui/win32/peers.h"
#include "ui/win32/win32_backend.h"

namespace qn_ui_test {

using namespace qn::ui;

struct SampleForm : Form {
    SampleForm() : Form("SampleForm", {0, 0, 420, 330}, "Sample") {}
    Label label{this, "Label1", {8, 8, 0, 0}, "Hello there"};
    Edit edit{this, "Edit1", {8, 28, 120, 22}, true};
    CheckBox check{this, "CheckBox1", {8, 56, 120, 17}, "Check me"};
    Button button{this, "Button1", {8, 78, 60, 23}, "Go"};
    Button groupA{this, "ButtonA", {70, 78, 30, 23}, "A", 1};
    Button groupB{this, "ButtonB", {100, 78, 30, 23}, "B", 1};
    ComboBox combo{this, "ComboBox1", {140, 8, 120, 23}, {"one", "two", "three"}};
    ListBox listBox{this, "ListBox1", {140, 36, 120, 60}, {"x", "y", "z"}, 15};
    ListView view{this, "ListView1", {8, 108, 250, 140}, {{"Name", 100}, {"Path", 80}}};
    ProgressBar progress{this, "ProgressBar1", {8, 254, 250, 17}};
    Image image{this, "Image1", {270, 254, 40, 40}};
    PageControl pages{this, "PageControl1", {270, 8, 140, 200}};
    TabSheet sheet1{&pages, "TabSheet1", "One"};
    Panel panel{&sheet1, "Panel1", {4, 4, 60, 40}, Panel::Bevel::RaisedInLoweredOut};
    CheckBox inPanel{&panel, "CheckBox2", {4, 4, 50, 17}, "In"};
    Panel raised{&sheet1, "Panel2", {4, 50, 60, 40}};
    TabSheet sheet2{&pages, "TabSheet2", "Two"};
    GroupBox group{&sheet2, "GroupBox1", {4, 4, 120, 60}, " Group && more "};
    Edit inner{&group, "Edit2", {8, 20, 100, 22}};
    StatusBar status{this, "StatusBar1", {0, 309, 420, 21}, {100, 60, 50}};
};

inline void pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

inline std::string nameOf(HWND hwnd) {
    auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(GetPropA(hwnd, "QnName")));
    char name[256] = {};
    if (atom) GlobalGetAtomNameA(atom, name, sizeof(name));
    return name;
}

struct NameSearch {
    std::string name;
    HWND found = nullptr;
};

inline BOOL CALLBACK matchName(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<NameSearch*>(lp);
    if (nameOf(hwnd) != search->name) return TRUE;
    search->found = hwnd;
    return FALSE;
}

inline HWND findByName(HWND root, const std::string& name) {
    // Controls are named when their form is asked.
    SendMessageA(GetAncestor(root, GA_ROOT), RegisterWindowMessageA("QnNameControls"), 0, 0);
    NameSearch search{name};
    EnumChildWindows(root, matchName, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The font a window draws its text with, in a memory device context.
struct WindowFont {
    explicit WindowFont(HWND hwnd) : dc(CreateCompatibleDC(nullptr)) {
        old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
    }
    ~WindowFont() {
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    // The height of its characters in pixels, its internal leading left out.
    int characterHeight() const {
        TEXTMETRICW tm{};
        GetTextMetricsW(dc, &tm);
        return tm.tmHeight - tm.tmInternalLeading;
    }
    bool hasGlyphs(const std::wstring& text) const {
        std::vector<WORD> glyphs(text.size());
        GetGlyphIndicesW(dc, text.c_str(), static_cast<int>(text.size()), glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
        for (WORD g : glyphs)
            if (g == 0xFFFF) return false;
        return true;
    }
    HDC dc;
    HGDIOBJ old;
};

inline std::string text(HWND hwnd) {
    char buffer[256] = {};
    GetWindowTextA(hwnd, buffer, sizeof(buffer));
    return buffer;
}

inline std::string listViewText(HWND hwnd, int row, int column) {
    char buffer[128] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = sizeof(buffer);
    SendMessageA(hwnd, LVM_GETITEMTEXTA, WPARAM(row), reinterpret_cast<LPARAM>(&item));
    return buffer;
}

inline bool listViewSelected(HWND hwnd, int row) {
    return SendMessageA(hwnd, LVM_GETITEMSTATE, WPARAM(row), LVIS_SELECTED) != 0;
}

inline void setListViewSelection(HWND hwnd, int row, bool on) {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED;
    item.state = on ? LVIS_SELECTED : 0;
    SendMessageA(hwnd, LVM_SETITEMSTATE, WPARAM(row), reinterpret_cast<LPARAM>(&item));
}

inline void postClick(HWND hwnd, POINT p, bool twice = false) {
    const LPARAM at = MAKELPARAM(p.x, p.y);
    PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(hwnd, WM_LBUTTONUP, 0, at);
    if (twice) {
        PostMessageA(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        PostMessageA(hwnd, WM_LBUTTONUP, 0, at);
    }
    pump();
}

inline std::string statusText(HWND hwnd, int panel) {
    char buffer[128] = {};
    SendMessageA(hwnd, SB_GETTEXTA, WPARAM(panel), reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

inline std::string tabText(HWND hwnd, int index) {
    char buffer[64] = {};
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = buffer;
    item.cchTextMax = sizeof(buffer);
    SendMessageA(hwnd, TCM_GETITEMA, WPARAM(index), reinterpret_cast<LPARAM>(&item));
    return buffer;
}

// Runs the thread's messages for a while: timers need real time to pass.
inline void pumpFor(DWORD ms) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        pump();
        Sleep(10);
    }
}

struct OwnedSearch {
    HWND owner;
    const char* className;
    std::vector<HWND> found;
};

inline BOOL CALLBACK matchOwned(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<OwnedSearch*>(lp);
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof(name));
    if (GetWindow(hwnd, GW_OWNER) == search->owner && lstrcmpiA(name, search->className) == 0)
        search->found.push_back(hwnd);
    return TRUE;
}

// The tooltip windows a form owns.
inline std::vector<HWND> tooltipsOf(HWND form) {
    OwnedSearch search{form, TOOLTIPS_CLASSA, {}};
    EnumWindows(matchOwned, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The tools of a tooltip window: the control each is for, with its text.
inline std::vector<std::pair<HWND, std::string>> toolsOf(HWND tip) {
    std::vector<std::pair<HWND, std::string>> tools;
    const auto count = static_cast<int>(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[256] = {};
        TTTOOLINFOA tool{};
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        tool.lpszText = text;
        if (!SendMessageA(tip, TTM_ENUMTOOLSA, WPARAM(i), reinterpret_cast<LPARAM>(&tool))) continue;
        EXPECT_EQ(tool.uFlags & (TTF_IDISHWND | TTF_SUBCLASS), UINT(TTF_IDISHWND | TTF_SUBCLASS));
        tools.emplace_back(reinterpret_cast<HWND>(tool.uId), text);
    }
    return tools;
}

// The control whose tooltip shows now, or nullptr.
inline HWND shownTool(HWND tip) {
    if (!IsWindowVisible(tip)) return nullptr;
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    if (!SendMessageA(tip, TTM_GETCURRENTTOOLA, 0, reinterpret_cast<LPARAM>(&tool))) return nullptr;
    return reinterpret_cast<HWND>(tool.uId);
}

inline POINT centreOf(HWND hwnd) {
    RECT r;
    GetClientRect(hwnd, &r);
    return {r.right / 2, r.bottom / 2};
}

// Renders a window's client area as WM_PRINTCLIENT asks it to.
class Snapshot {
public:
    explicit Snapshot(HWND hwnd) {
        RECT r;
        GetClientRect(hwnd, &r);
        dc_ = CreateCompatibleDC(nullptr);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = r.right;
        info.bmiHeader.biHeight = -r.bottom;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        SendMessageA(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc_), PRF_CLIENT | PRF_ERASEBKGND);
    }
    ~Snapshot() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    COLORREF at(int x, int y) const { return GetPixel(dc_, x, y); }

private:
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
};

class BackendTest : public ::testing::Test {
protected:
    void SetUp() override {
        backend.realize(form);
        window = backend.windowOf(form);
        ASSERT_NE(window, nullptr);
    }
    HWND hwnd(const Control& c) { return backend.windowOf(c); }

    Win32Backend backend;  // outlives the form, whose controls point at its peers
    SampleForm form;
    HWND window = nullptr;
};

}  // namespace qn_ui_test
