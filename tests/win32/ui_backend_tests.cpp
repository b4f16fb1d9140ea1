// The Win32 backend against real (Wine) windows: code changes in the model
// must reach the native controls, and what the user does to a native control
// (sent or posted as the system would) must reach the model exactly once.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "ui/win32/peers.h"
#include "ui/win32/win32_backend.h"

using namespace qn::ui;

namespace {

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

void pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

std::string nameOf(HWND hwnd) {
    auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(GetPropA(hwnd, "QnName")));
    char name[256] = {};
    if (atom) GlobalGetAtomNameA(atom, name, sizeof(name));
    return name;
}

struct NameSearch {
    std::string name;
    HWND found = nullptr;
};

BOOL CALLBACK matchName(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<NameSearch*>(lp);
    if (nameOf(hwnd) != search->name) return TRUE;
    search->found = hwnd;
    return FALSE;
}

HWND findByName(HWND root, const std::string& name) {
    // Controls are named when their form is asked.
    SendMessageA(GetAncestor(root, GA_ROOT), RegisterWindowMessageA("QnNameControls"), 0, 0);
    NameSearch search{name};
    EnumChildWindows(root, matchName, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string text(HWND hwnd) {
    char buffer[256] = {};
    GetWindowTextA(hwnd, buffer, sizeof(buffer));
    return buffer;
}

std::string listViewText(HWND hwnd, int row, int column) {
    char buffer[128] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = sizeof(buffer);
    SendMessageA(hwnd, LVM_GETITEMTEXTA, WPARAM(row), reinterpret_cast<LPARAM>(&item));
    return buffer;
}

bool listViewSelected(HWND hwnd, int row) {
    return SendMessageA(hwnd, LVM_GETITEMSTATE, WPARAM(row), LVIS_SELECTED) != 0;
}

void setListViewSelection(HWND hwnd, int row, bool on) {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED;
    item.state = on ? LVIS_SELECTED : 0;
    SendMessageA(hwnd, LVM_SETITEMSTATE, WPARAM(row), reinterpret_cast<LPARAM>(&item));
}

void postClick(HWND hwnd, POINT p, bool twice = false) {
    const LPARAM at = MAKELPARAM(p.x, p.y);
    PostMessageA(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(hwnd, WM_LBUTTONUP, 0, at);
    if (twice) {
        PostMessageA(hwnd, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        PostMessageA(hwnd, WM_LBUTTONUP, 0, at);
    }
    pump();
}

std::string statusText(HWND hwnd, int panel) {
    char buffer[128] = {};
    SendMessageA(hwnd, SB_GETTEXTA, WPARAM(panel), reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

std::string tabText(HWND hwnd, int index) {
    char buffer[64] = {};
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = buffer;
    item.cchTextMax = sizeof(buffer);
    SendMessageA(hwnd, TCM_GETITEMA, WPARAM(index), reinterpret_cast<LPARAM>(&item));
    return buffer;
}

// Runs the thread's messages for a while: timers need real time to pass.
void pumpFor(DWORD ms) {
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

BOOL CALLBACK matchOwned(HWND hwnd, LPARAM lp) {
    auto* search = reinterpret_cast<OwnedSearch*>(lp);
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof(name));
    if (GetWindow(hwnd, GW_OWNER) == search->owner && lstrcmpiA(name, search->className) == 0)
        search->found.push_back(hwnd);
    return TRUE;
}

// The tooltip windows a form owns.
std::vector<HWND> tooltipsOf(HWND form) {
    OwnedSearch search{form, TOOLTIPS_CLASSA, {}};
    EnumWindows(matchOwned, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The tools of a tooltip window: the control each is for, with its text.
std::vector<std::pair<HWND, std::string>> toolsOf(HWND tip) {
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
HWND shownTool(HWND tip) {
    if (!IsWindowVisible(tip)) return nullptr;
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    if (!SendMessageA(tip, TTM_GETCURRENTTOOLA, 0, reinterpret_cast<LPARAM>(&tool))) return nullptr;
    return reinterpret_cast<HWND>(tool.uId);
}

POINT centreOf(HWND hwnd) {
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

TEST_F(BackendTest, WindowsAreNamedPlacedAndHidden) {
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(nameOf(window), "SampleForm");
    EXPECT_EQ(text(window), "Sample");
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 420);
    EXPECT_EQ(client.bottom, 330);
    RECT outer;
    GetWindowRect(window, &outer);
    EXPECT_NEAR(outer.left + outer.right, GetSystemMetrics(SM_CXSCREEN), 1);
    EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & (WS_THICKFRAME | WS_MAXIMIZEBOX), 0);

    // A control has its name once its form is asked for them.
    EXPECT_EQ(nameOf(hwnd(form.inner)), "");
    for (const char* name : {"Label1", "Edit1", "CheckBox1", "ComboBox1", "ListView1", "TabSheet2",
                             "GroupBox1", "Edit2", "StatusBar1"})
        EXPECT_NE(findByName(window, name), nullptr) << name;
    // Children sit in their parent's client area at the layout's position.
    EXPECT_EQ(GetParent(hwnd(form.inner)), hwnd(form.group));
    RECT r;
    GetWindowRect(hwnd(form.inner), &r);
    MapWindowPoints(nullptr, hwnd(form.group), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, 8);
    EXPECT_EQ(r.top, 20);
    EXPECT_EQ(r.right - r.left, 100);
}

TEST_F(BackendTest, FontsAndSizesFollowTheModel) {
    auto height = [](HWND h) {
        LOGFONTA lf{};
        GetObjectA(reinterpret_cast<HFONT>(SendMessageA(h, WM_GETFONT, 0, 0)), sizeof(lf), &lf);
        return lf.lfHeight;
    };
    EXPECT_EQ(height(hwnd(form.edit)), -11);  // 8 points
    EXPECT_EQ(SendMessageA(hwnd(form.edit), WM_GETFONT, 0, 0),
              SendMessageA(hwnd(form.combo), WM_GETFONT, 0, 0));  // one font object for both

    Font big = form.label.font();
    big.points = 9;
    big.bold = true;
    form.label.setFont(big);
    EXPECT_EQ(height(hwnd(form.label)), -12);

    // A label without a size takes its text's.
    HDC dc = GetDC(hwnd(form.label));
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(hwnd(form.label), WM_GETFONT, 0, 0)));
    SIZE extent;
    GetTextExtentPoint32A(dc, "Hello there, longer", 19, &extent);
    SelectObject(dc, old);
    ReleaseDC(hwnd(form.label), dc);
    form.label.setCaption("Hello there, longer");
    RECT r;
    GetClientRect(hwnd(form.label), &r);
    EXPECT_EQ(r.right, extent.cx);
    EXPECT_EQ(r.bottom, extent.cy);

    // The closed combo box and the list box items take the layout's heights.
    GetWindowRect(hwnd(form.combo), &r);
    EXPECT_EQ(r.bottom - r.top, 23);
    EXPECT_EQ(SendMessageA(hwnd(form.listBox), LB_GETITEMHEIGHT, 0, 0), 15);
}

TEST_F(BackendTest, TabOrderIsTheModelsAndOnlyTabStopsAreStops) {
    SampleForm reordered;
    reordered.combo.setTabOrder(-1);  // before everything else
    Win32Backend other;
    other.realize(reordered);
    HWND top = other.windowOf(reordered);
    EXPECT_EQ(GetNextDlgTabItem(top, nullptr, FALSE), other.windowOf(reordered.combo));
    EXPECT_EQ(GetNextDlgTabItem(top, other.windowOf(reordered.combo), FALSE),
              other.windowOf(reordered.edit));
    EXPECT_FALSE(GetWindowLongA(other.windowOf(reordered.button), GWL_STYLE) & WS_TABSTOP);
    EXPECT_FALSE(GetWindowLongA(other.windowOf(reordered.label), GWL_STYLE) & WS_TABSTOP);
}

TEST_F(BackendTest, TabStopsAtThePageControlThenWalksIntoItsPage) {
    form.show();
    HWND tabs = hwnd(form.pages);
    HWND inPage = hwnd(form.inPanel);  // inside a panel on the active page
    EXPECT_EQ(backend.tabTarget(window, hwnd(form.view), false), tabs);
    EXPECT_EQ(backend.tabTarget(window, tabs, false), inPage);
    EXPECT_EQ(backend.tabTarget(window, inPage, true), tabs);
    EXPECT_EQ(backend.tabTarget(window, tabs, true), hwnd(form.view));

    // Pressing Tab in the message loop goes the same way.
    SetFocus(hwnd(form.view));
    PostMessageA(hwnd(form.view), WM_KEYDOWN, VK_TAB, 0);
    PostMessageA(window, WM_CLOSE, 0, 0);  // the loop ends with the main window
    std::vector<HWND> entered;
    form.pages.onEnter = [&] { entered.push_back(GetFocus()); };
    backend.run(form);
    EXPECT_EQ(entered, (std::vector<HWND>{tabs}));
}

TEST_F(BackendTest, CodeChangesReachTheNativeControls) {
    form.edit.setText("C:\\QUON\\Quon.EXE");
    EXPECT_EQ(text(hwnd(form.edit)), "c:\\quon\\quon.exe");
    form.check.setChecked(true);
    EXPECT_EQ(SendMessageA(hwnd(form.check), BM_GETCHECK, 0, 0), BST_CHECKED);
    form.check.setEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(hwnd(form.check)));
    form.label.setVisible(false);
    EXPECT_FALSE(GetWindowLongA(hwnd(form.label), GWL_STYLE) & WS_VISIBLE);

    form.combo.setItemIndex(2);
    EXPECT_EQ(SendMessageA(hwnd(form.combo), CB_GETCURSEL, 0, 0), 2);
    form.listBox.setItems({"p", "q"});
    EXPECT_EQ(SendMessageA(hwnd(form.listBox), LB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageA(hwnd(form.listBox), LB_GETCURSEL, 0, 0), LB_ERR);
    form.listBox.setItemIndex(1);
    EXPECT_EQ(SendMessageA(hwnd(form.listBox), LB_GETCURSEL, 0, 0), 1);

    form.progress.setMaximum(200);
    form.progress.setPosition(150);
    EXPECT_EQ(SendMessageA(hwnd(form.progress), PBM_GETRANGE, FALSE, 0), 200);
    EXPECT_EQ(SendMessageA(hwnd(form.progress), PBM_GETPOS, 0, 0), 150);

    HWND status = hwnd(form.status);
    int edges[4] = {};
    ASSERT_EQ(SendMessageA(status, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)), 3);
    EXPECT_EQ(edges[0], 100);
    EXPECT_EQ(edges[1], 160);
    EXPECT_EQ(edges[2], -1);  // the last panel reaches the right end
    form.status.setPanelText(1, "12 available");
    EXPECT_EQ(statusText(status, 1), "12 available");
    EXPECT_EQ(statusText(status, 0), "");
    // A text longer than its panel widens it, and the panels after it move
    // along; a short one gives the declared width back.
    form.status.setPanelText(1, "12");
    form.status.setPanelText(0, "A text far too long for a hundred pixels");
    ASSERT_EQ(SendMessageA(status, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)), 3);
    EXPECT_GT(edges[0], 150);
    EXPECT_EQ(edges[1], edges[0] + 60);
    form.status.setPanelText(0, "Short");
    ASSERT_EQ(SendMessageA(status, SB_GETPARTS, 4, reinterpret_cast<LPARAM>(edges)), 3);
    EXPECT_EQ(edges[0], 100);
    EXPECT_EQ(edges[1], 160);

    HWND tabs = hwnd(form.pages);
    EXPECT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(tabText(tabs, 1), "Two");
    form.sheet2.setCaption("Second");
    EXPECT_EQ(tabText(tabs, 1), "Second");
    EXPECT_EQ(text(hwnd(form.group)), " Group && more ");  // the native control shows one "&"
}

TEST_F(BackendTest, ListViewRowsAndSelectionFollowTheModel) {
    HWND list = hwnd(form.view);
    for (const char* name : {"alpha", "beta", "gamma"}) form.view.addRow({name, std::string(name) + ".zip"});
    ASSERT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(listViewText(list, 1, 0), "beta");
    EXPECT_EQ(listViewText(list, 2, 1), "gamma.zip");

    std::vector<int> reported;
    form.view.onChange = [&](int row) { reported.push_back(row); };
    form.view.selectRow(1);
    form.view.selectRow(2);
    // Each change is reported once: the window's own notifications are not echoed back.
    EXPECT_EQ(reported, (std::vector<int>{1, 1, 2}));
    EXPECT_FALSE(listViewSelected(list, 1));
    EXPECT_TRUE(listViewSelected(list, 2));

    form.view.clear();
    form.view.addRow({"delta", "d.zip"});
    ASSERT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 1);
    EXPECT_EQ(listViewText(list, 0, 0), "delta");
    EXPECT_FALSE(listViewSelected(list, 0));
}

TEST_F(BackendTest, ListViewOfTenThousandRowsAsksTheModelForItsCells) {
    HWND list = hwnd(form.view);
    std::vector<std::vector<std::string>> rows;
    char name[32];
    for (int i = 0; i < 10000; ++i) {
        snprintf(name, sizeof name, "Game %05d", i);
        rows.push_back({name, "g" + std::to_string(i)});
    }
    rows[3][0] = std::string(200, 'L');
    form.view.setRows(rows);
    ASSERT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 10000);
    EXPECT_EQ(listViewText(list, 9999, 0), "Game 09999");
    EXPECT_EQ(listViewText(list, 9999, 1), "g9999");
    EXPECT_EQ(listViewText(list, 3, 0), std::string(127, 'L'));  // cut to the asker's buffer

    // Typing a name finds the row, letter case aside, from where it starts.
    auto find = [&](const char* text, int start, UINT flags) {
        LVFINDINFOA info{};
        info.flags = flags;
        info.psz = text;
        return static_cast<int>(SendMessageA(list, LVM_FINDITEMA, WPARAM(start), reinterpret_cast<LPARAM>(&info)));
    };
    EXPECT_EQ(find("game 00999", -1, LVFI_STRING | LVFI_PARTIAL), 999);
    EXPECT_EQ(find("GAME 09998", -1, LVFI_STRING), 9998);
    EXPECT_EQ(find("game 0100", 5000, LVFI_STRING | LVFI_PARTIAL), -1);
    EXPECT_EQ(find("game 0100", 5000, LVFI_STRING | LVFI_PARTIAL | LVFI_WRAP), 1000);
    EXPECT_EQ(find("nothing", -1, LVFI_STRING | LVFI_PARTIAL | LVFI_WRAP), -1);

    // A refill of as many rows shows the new cells and no old selection.
    form.view.selectRow(5);
    ASSERT_TRUE(listViewSelected(list, 5));
    for (auto& row : rows) row[1] = "new";
    form.view.setRows(rows);
    EXPECT_EQ(listViewText(list, 5, 1), "new");
    EXPECT_FALSE(listViewSelected(list, 5));
    EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED), -1);
    EXPECT_EQ(form.view.selectedRow(), -1);
}

TEST_F(BackendTest, ListViewSelectionByOthersReachesTheModelOnce) {
    HWND list = hwnd(form.view);
    for (const char* name : {"alpha", "beta", "gamma"}) form.view.addRow({name, ""});
    form.view.selectRow(0);
    std::vector<int> reported;
    form.view.onChange = [&](int row) { reported.push_back(row); };

    setListViewSelection(list, 2, true);  // single selection: row 0 goes first
    EXPECT_EQ(reported, (std::vector<int>{0, 2}));
    EXPECT_EQ(form.view.selectedRow(), 2);
    reported.clear();
    setListViewSelection(list, 2, false);
    EXPECT_EQ(reported, (std::vector<int>{2}));
    EXPECT_EQ(form.view.selectedRow(), -1);

    // A handler that moves the selection elsewhere wins over the window.
    form.view.onChange = [&](int row) {
        reported.push_back(row);
        if (row == 1 && form.view.isSelected(1)) form.view.selectRow(0);
    };
    reported.clear();
    setListViewSelection(list, 1, true);
    EXPECT_EQ(form.view.selectedRow(), 0);
    EXPECT_TRUE(listViewSelected(list, 0));
    EXPECT_FALSE(listViewSelected(list, 1));
    EXPECT_EQ(reported, (std::vector<int>{1, 1, 0}));
}

TEST_F(BackendTest, ListViewClicksSelectAndReport) {
    form.show();
    HWND list = hwnd(form.view);
    for (const char* name : {"alpha", "beta", "gamma"}) form.view.addRow({name, ""});
    int clicks = 0, doubleClicks = 0;
    std::vector<int> reported;
    form.view.onClick = [&] { ++clicks; };
    form.view.onDblClick = [&] { ++doubleClicks; };
    form.view.onChange = [&](int row) { reported.push_back(row); };

    RECT item{LVIR_LABEL, 0, 0, 0};
    SendMessageA(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    postClick(list, {(item.left + item.right) / 2, (item.top + item.bottom) / 2});
    EXPECT_EQ(form.view.selectedRow(), 1);
    EXPECT_EQ(reported, (std::vector<int>{1}));
    EXPECT_EQ(clicks, 1);

    RECT client;
    GetClientRect(list, &client);
    postClick(list, {10, client.bottom - 5});  // below the last row
    EXPECT_EQ(form.view.selectedRow(), -1);
    EXPECT_EQ(reported, (std::vector<int>{1, 1}));

    clicks = 0;
    postClick(list, {(item.left + item.right) / 2, (item.top + item.bottom) / 2}, true);
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(form.view.selectedRow(), 1);
}

TEST_F(BackendTest, ButtonsAndCheckBoxesReportClicksOnce) {
    int checkClicks = 0;
    form.check.onClick = [&] { ++checkClicks; };
    SendMessageA(hwnd(form.check), BM_CLICK, 0, 0);
    EXPECT_TRUE(form.check.checked());
    EXPECT_EQ(SendMessageA(hwnd(form.check), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(checkClicks, 1);
    SendMessageA(hwnd(form.check), BM_CLICK, 0, 0);
    EXPECT_FALSE(form.check.checked());
    EXPECT_EQ(SendMessageA(hwnd(form.check), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(checkClicks, 2);

    int buttonClicks = 0;
    form.button.onClick = [&] { ++buttonClicks; };
    SendMessageA(hwnd(form.button), BM_CLICK, 0, 0);
    EXPECT_EQ(buttonClicks, 1);
    SendMessageA(hwnd(form.groupB), BM_CLICK, 0, 0);
    EXPECT_TRUE(form.groupB.pressed());
    SendMessageA(hwnd(form.groupA), BM_CLICK, 0, 0);
    EXPECT_TRUE(form.groupA.pressed());
    EXPECT_FALSE(form.groupB.pressed());

    // A disabled control gets no clicks.
    form.check.setEnabled(false);
    SendMessageA(hwnd(form.check), BM_CLICK, 0, 0);
    EXPECT_EQ(checkClicks, 2);
}

TEST_F(BackendTest, TypingAndChoosingReachTheModel) {
    int edits = 0;
    form.edit.onChange = [&] { ++edits; };
    SendMessageA(hwnd(form.edit), WM_CHAR, 'Q', 0);
    SendMessageA(hwnd(form.edit), WM_CHAR, 'N', 0);
    EXPECT_EQ(form.edit.text(), "qn");
    EXPECT_EQ(edits, 2);
    form.edit.setText("other");
    EXPECT_EQ(edits, 3);  // the model's own change, not again for the window's echo
    EXPECT_EQ(text(hwnd(form.edit)), "other");

    int choices = 0;
    form.combo.onChange = [&] { ++choices; };
    form.combo.setItemIndex(0);
    EXPECT_EQ(choices, 0);
    SendMessageA(hwnd(form.combo), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(form.combo.itemIndex(), 1);
    EXPECT_EQ(choices, 1);

    int picks = 0;
    form.listBox.onChange = [&] { ++picks; };
    RECT item;
    SendMessageA(hwnd(form.listBox), LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&item));
    postClick(hwnd(form.listBox), {item.left + 5, item.top + 3});
    EXPECT_EQ(form.listBox.itemIndex(), 2);
    EXPECT_EQ(picks, 1);

    int labelClicks = 0;
    form.label.onClick = [&] { ++labelClicks; };
    postClick(hwnd(form.label), {2, 2});
    EXPECT_EQ(labelClicks, 1);
}

TEST_F(BackendTest, PagesSwitchByTabAndByCode) {
    form.show();
    HWND tabs = hwnd(form.pages);
    EXPECT_TRUE(IsWindowVisible(hwnd(form.sheet1)));
    EXPECT_FALSE(IsWindowVisible(hwnd(form.sheet2)));
    // The page fills the display area below the tabs.
    RECT display;
    GetClientRect(tabs, &display);
    SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&display));
    RECT page;
    GetWindowRect(hwnd(form.sheet1), &page);
    MapWindowPoints(nullptr, tabs, reinterpret_cast<POINT*>(&page), 2);
    EXPECT_EQ(page.top, display.top);
    EXPECT_EQ(page.bottom, display.bottom);

    RECT tab;
    SendMessageA(tabs, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&tab));
    postClick(tabs, {(tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2});
    EXPECT_EQ(form.pages.activePage(), 1);
    EXPECT_FALSE(IsWindowVisible(hwnd(form.sheet1)));
    EXPECT_TRUE(IsWindowVisible(hwnd(form.sheet2)));

    form.pages.setActivePage(0);
    EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(IsWindowVisible(hwnd(form.sheet1)));
    EXPECT_FALSE(IsWindowVisible(hwnd(form.sheet2)));

    form.pages.setHotTrack(true);
    EXPECT_TRUE(GetWindowLongA(tabs, GWL_STYLE) & TCS_HOTTRACK);
}

TEST(BackendPages, PagesLeftForLaterAreMadeOnAClickOrOnceTheFormHasPainted) {
    // By a click before any is made, after the paint one window at a time,
    // or by a click when the paint's turns have made some of the page.
    enum Way { ByClick, AfterPaint, PartlyThenClick };
    for (const Way way : {ByClick, AfterPaint, PartlyThenClick}) {
        const bool byClick = way != AfterPaint;
        Win32Backend backend;
        SampleForm form;
        backend.realizeHiddenPagesLater(form.pages);
        backend.realize(form);
        HWND window = backend.windowOf(form);
        ASSERT_NE(window, nullptr);
        EXPECT_NE(backend.windowOf(form.inPanel), nullptr);  // the active page's
        EXPECT_EQ(backend.windowOf(form.sheet2), nullptr);   // the page itself too

        EXPECT_NE(GetPropA(window, "QnPending"), nullptr);
        form.inner.setText("typed before");  // kept by the model meanwhile
        form.show();
        if (way == PartlyThenClick) {
            UpdateWindow(window);
            MSG msg;
            ASSERT_TRUE(PeekMessageA(&msg, window, kBuildPageMessage, kBuildPageMessage, PM_REMOVE));
            DispatchMessageA(&msg);
            ASSERT_NE(backend.windowOf(form.sheet2), nullptr);  // one window made, and no more
            EXPECT_EQ(backend.windowOf(form.group), nullptr);
        }
        if (byClick) {
            HWND tabs = backend.windowOf(form.pages);
            RECT tab;
            SendMessageA(tabs, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&tab));
            PostMessageA(tabs, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(tab.left + 4, tab.top + 4));
            PostMessageA(tabs, WM_LBUTTONUP, 0, MAKELPARAM(tab.left + 4, tab.top + 4));
            // The click comes before the paint's own turn: the page is made
            // as it is shown, not later.
            MSG msg;
            while (PeekMessageA(&msg, tabs, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
            ASSERT_EQ(form.pages.activePage(), 1);
            ASSERT_NE(backend.windowOf(form.inner), nullptr);
            EXPECT_TRUE(IsWindowVisible(backend.windowOf(form.inner)));
        } else {
            UpdateWindow(window);
            pump();
        }
        ASSERT_NE(backend.windowOf(form.inner), nullptr) << byClick;
        EXPECT_EQ(text(backend.windowOf(form.inner)), "typed before");
        EXPECT_EQ(GetParent(backend.windowOf(form.group)), backend.windowOf(form.sheet2));
        EXPECT_EQ(GetParent(backend.windowOf(form.inner)), backend.windowOf(form.group));
        // Placed where the first page is, as the page control places its pages.
        RECT first, made;
        GetWindowRect(backend.windowOf(form.sheet1), &first);
        GetWindowRect(backend.windowOf(form.sheet2), &made);
        EXPECT_TRUE(EqualRect(&first, &made)) << way;
        pump();
        EXPECT_EQ(GetPropA(window, "QnPending"), nullptr) << byClick;
    }
}

TEST_F(BackendTest, MouseMovesCursorsAndCapture) {
    std::vector<MouseEvent> moves, ups;
    form.check.onMouseMove = [&](const MouseEvent& e) { moves.push_back(e); };
    SendMessageA(hwnd(form.check), WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(7, 5));
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].x, 7);
    EXPECT_EQ(moves[0].y, 5);
    EXPECT_TRUE(moves[0].rightHeld);
    EXPECT_FALSE(moves[0].leftHeld);

    // The form's own client area reports too; a group box is not transparent to it.
    int formMoves = 0, groupMoves = 0;
    form.onMouseMove = [&](const MouseEvent&) { ++formMoves; };
    form.group.onMouseMove = [&](const MouseEvent&) { ++groupMoves; };
    SendMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(300, 300));
    SendMessageA(hwnd(form.group), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    EXPECT_EQ(formMoves, 1);
    EXPECT_EQ(groupMoves, 1);
    EXPECT_EQ(SendMessageA(hwnd(form.group), WM_NCHITTEST, 0, 0), HTCLIENT);

    // The progress bar keeps the pointer while the button is held.
    moves.clear();
    form.progress.onMouseMove = [&](const MouseEvent& e) { moves.push_back(e); };
    form.progress.onMouseUp = [&](const MouseEvent& e) { ups.push_back(e); };
    HWND bar = hwnd(form.progress);
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 5));
    EXPECT_EQ(GetCapture(), bar);
    SendMessageA(bar, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-20, 5));
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].x, -20);
    EXPECT_TRUE(moves[0].leftHeld);
    SendMessageA(bar, WM_LBUTTONUP, 0, MAKELPARAM(-20, 5));
    ASSERT_EQ(ups.size(), 1u);
    EXPECT_EQ(ups[0].button, MouseEvent::Left);
    EXPECT_EQ(GetCapture(), nullptr);

    form.label.setCursor(Cursor::HandPoint);
    HWND label = hwnd(form.label);
    EXPECT_TRUE(SendMessageA(label, WM_SETCURSOR, reinterpret_cast<WPARAM>(label),
                             MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_HAND));
    form.label.setCursor(Cursor::Help);
    SendMessageA(label, WM_SETCURSOR, reinterpret_cast<WPARAM>(label), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_HELP));
}

TEST_F(BackendTest, FormShowsPaintsAndCloses) {
    std::vector<std::string> events;
    form.onShow = [&] { events.push_back(IsWindowVisible(window) ? "show (visible)" : "show"); };
    form.onPaint = [&] { events.push_back("paint"); };
    form.onClose = [&] { events.push_back("close"); };
    form.show();
    EXPECT_TRUE(IsWindowVisible(window));
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events[0], "show");   // before the window appears
    EXPECT_EQ(events[1], "paint");  // at the first paint, during show
    EXPECT_NE(GetFocus(), nullptr);
    EXPECT_TRUE(IsChild(window, GetFocus()));

    events.clear();
    SendMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(events, (std::vector<std::string>{"close"}));
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_TRUE(IsWindow(window));  // not the main window: only hidden

    form.setEnabled(false);
    EXPECT_FALSE(IsWindowEnabled(window));
}

TEST_F(BackendTest, DialogWithoutCloseBoxIgnoresClosing) {
    Form dialog("Dialog", {0, 0, 200, 100}, "No close box");
    dialog.setCloseBox(false);
    backend.realize(dialog);
    HWND box = backend.windowOf(dialog);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(GetWindowLongA(box, GWL_STYLE) & WS_SYSMENU, 0);
    EXPECT_NE(GetWindowLongA(window, GWL_STYLE) & WS_SYSMENU, 0);
    int closes = 0;
    dialog.onClose = [&] { ++closes; };
    dialog.show();
    SendMessageA(box, WM_CLOSE, 0, 0);  // Alt+F4 asks the same way
    EXPECT_EQ(closes, 0);
    EXPECT_TRUE(IsWindowVisible(box));
    dialog.close();  // its own button
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(IsWindowVisible(box));
}

TEST_F(BackendTest, FocusFromCodeWaitsForTheFormToShow) {
    form.combo.setFocus();  // hidden: remembered for the activation
    form.show();
    EXPECT_EQ(GetFocus(), hwnd(form.combo));
    int entered = 0;
    form.view.onEnter = [&] { ++entered; };
    form.view.setFocus();
    EXPECT_EQ(GetFocus(), hwnd(form.view));
    EXPECT_EQ(entered, 1);
}

TEST_F(BackendTest, HintsAreTooltipsOfTheirControls) {
    // Hints given before the windows exist and changed afterwards.
    struct HintForm : Form {
        HintForm() : Form("HintForm", {0, 0, 300, 120}, "Hints") {
            bar.setHint("Drag along me");
            field.setHint("Drag along me");
            field.setEnabled(false);
        }
        ProgressBar bar{this, "ProgressBar1", {8, 8, 280, 17}};
        Edit field{this, "Edit1", {8, 32, 280, 22}};
        Button plain{this, "Button1", {8, 64, 80, 25}, "Plain"};
    } hinted;
    Win32Backend own;
    own.realize(hinted);
    HWND top = own.windowOf(hinted);
    const std::vector<HWND> tips = tooltipsOf(top);
    ASSERT_EQ(tips.size(), 1u);  // one per form, owned by it
    HWND tip = tips[0];
    using Tools = std::vector<std::pair<HWND, std::string>>;
    EXPECT_EQ(toolsOf(tip), (Tools{{own.windowOf(hinted.bar), "Drag along me"},
                                   {own.windowOf(hinted.field), "Drag along me"}}));
    hinted.plain.setHint("Press me");
    hinted.bar.setHint("");
    EXPECT_EQ(toolsOf(tip), (Tools{{own.windowOf(hinted.field), "Drag along me"},
                                   {own.windowOf(hinted.plain), "Press me"}}));
    hinted.plain.setHint("Press me now");
    EXPECT_EQ(toolsOf(tip).back(), (std::pair<HWND, std::string>{own.windowOf(hinted.plain), "Press me now"}));
    // A form without hints gets no tooltip window.
    EXPECT_TRUE(tooltipsOf(window).empty());

    // Resting over a control shows its tip; a disabled one gets no mouse
    // messages, only the cursor question, and shows its tip all the same.
    hinted.show();
    ASSERT_EQ(GetActiveWindow(), top);
    for (HWND control : {own.windowOf(hinted.plain), own.windowOf(hinted.field)}) {
        const POINT centre = centreOf(control);
        POINT at = centre;
        ClientToScreen(control, &at);
        SetCursorPos(at.x, at.y);
        // One move, then the pointer rests: every move starts the wait again.
        if (IsWindowEnabled(control))
            SendMessageA(control, WM_MOUSEMOVE, 0, MAKELPARAM(centre.x, centre.y));
        else
            SendMessageA(control, WM_SETCURSOR, reinterpret_cast<WPARAM>(control),
                         MAKELPARAM(HTERROR, WM_MOUSEMOVE));
        const DWORD start = GetTickCount();
        while (shownTool(tip) != control && GetTickCount() - start < 3000) pumpFor(50);
        EXPECT_EQ(shownTool(tip), control) << nameOf(control);
    }
    char shown[64] = {};
    GetWindowTextA(tip, shown, sizeof(shown));
    EXPECT_STREQ(shown, "Drag along me");
}

TEST_F(BackendTest, AnApplicationWindowOwnsTheFormsAndCarriesTheTaskBarEntry) {
    backend.setApplicationTitle("Sample Application");
    HWND app = GetWindow(window, GW_OWNER);
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(app, backend.applicationWindow());
    EXPECT_EQ(text(app), "Sample Application");
    EXPECT_EQ(nameOf(app), "Application");
    EXPECT_EQ(GetWindow(app, GW_OWNER), nullptr);
    EXPECT_EQ(GetWindowLongA(app, GWL_EXSTYLE) & (WS_EX_TOOLWINDOW | WS_EX_APPWINDOW), 0);
    EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    RECT r;
    GetWindowRect(app, &r);
    EXPECT_EQ(r.right - r.left, 0);  // never seen on the screen
    EXPECT_EQ(r.bottom - r.top, 0);
    Form dialog("Dialog", {0, 0, 200, 100}, "Dialog");
    backend.realize(dialog);
    HWND box = backend.windowOf(dialog);
    EXPECT_EQ(GetWindow(box, GW_OWNER), app);

    // It appears with the first form that does: a dialog first, as on a first run.
    EXPECT_FALSE(IsWindowVisible(app));
    dialog.show();
    EXPECT_TRUE(IsWindowVisible(app));
    EXPECT_FALSE(IsWindowVisible(window));
    int shows = 0;
    form.onShow = [&] { ++shows; };
    form.show();
    dialog.hide();  // the input goes back to the form below, not to the application window
    EXPECT_EQ(GetActiveWindow(), window);

    // The main window's minimize box minimizes the application; its task-bar
    // entry brings the form back, active, without showing it anew.
    SendMessageA(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(IsIconic(app));
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_FALSE(IsIconic(window));
    SendMessageA(app, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(IsIconic(app));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_FALSE(IsWindowVisible(box));  // hidden before: stays hidden
    EXPECT_EQ(GetActiveWindow(), window);
    EXPECT_EQ(shows, 1);
    EXPECT_TRUE(form.showing());

    // Closing the application closes its main window.
    int closes = 0;
    form.onClose = [&] { ++closes; };
    SendMessageA(app, WM_CLOSE, 0, 0);
    pump();
    EXPECT_EQ(closes, 1);
}

TEST_F(BackendTest, EnterOnAListReachesItsKeyHandlerOnceAndTheDefaultButtonOtherwise) {
    for (const char* name : {"alpha", "beta"}) form.view.addRow({name, ""});
    std::string keys;
    int defaults = 0;
    form.view.onKeyPress = [&](char key) { keys += key; };
    form.button.onClick = [&] { ++defaults; };
    form.defaultButton = &form.button;
    form.show();
    form.view.selectRow(0);
    HWND list = hwnd(form.view);
    SetFocus(list);
    PostMessageA(list, WM_KEYDOWN, VK_RETURN, 1);
    PostMessageA(list, WM_KEYDOWN, VK_RETURN, 1 | (LPARAM(1) << 30));  // held: no second press
    PostMessageA(list, WM_KEYUP, VK_RETURN, LPARAM(0xC0000001));
    PostMessageA(list, WM_KEYDOWN, VK_DOWN, 1);  // the list's own keys stay its own
    PostMessageA(window, WM_CLOSE, 0, 0);
    backend.run(form);
    EXPECT_EQ(keys, "\r");
    EXPECT_EQ(defaults, 0);
    EXPECT_EQ(form.view.selectedRow(), 1);

    // A list that does not listen for keys leaves Enter to the form.
    SampleForm plain;
    Win32Backend own;
    own.realize(plain);
    int presses = 0;
    plain.button.onClick = [&] { ++presses; };
    plain.defaultButton = &plain.button;
    plain.show();
    SetFocus(own.windowOf(plain.view));
    PostMessageA(own.windowOf(plain.view), WM_KEYDOWN, VK_RETURN, 1);
    PostMessageA(own.windowOf(plain), WM_CLOSE, 0, 0);
    own.run(plain);
    EXPECT_EQ(presses, 1);
}

TEST_F(BackendTest, ColoursReachTheNativePainting) {
    HDC dc = CreateCompatibleDC(nullptr);
    HWND edit = hwnd(form.edit);
    form.edit.setColor(Color::rgb(10, 20, 30));
    form.edit.setFontColor(kRed);
    auto brush = reinterpret_cast<HBRUSH>(
        SendMessageA(window, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit)));
    LOGBRUSH lb{};
    GetObjectA(brush, sizeof(lb), &lb);
    EXPECT_EQ(lb.lbColor, RGB(10, 20, 30));
    EXPECT_EQ(GetBkColor(dc), RGB(10, 20, 30));
    EXPECT_EQ(GetTextColor(dc), RGB(255, 0, 0));

    // A system colour is the system's; no colour means the usual one.
    form.edit.setColor(Color::of(SysColor::ButtonFace));
    brush = reinterpret_cast<HBRUSH>(
        SendMessageA(window, WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(edit)));
    GetObjectA(brush, sizeof(lb), &lb);
    EXPECT_EQ(lb.lbColor, GetSysColor(COLOR_BTNFACE));
    form.check.setFontColor(kBlue);
    SendMessageA(window, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                 reinterpret_cast<LPARAM>(hwnd(form.check)));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 255));
    EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_BTNFACE));
    DeleteDC(dc);
}

TEST_F(BackendTest, SelfDrawnControlsPaintTheirState) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);

    form.button.setFlat(true);
    EXPECT_EQ(Snapshot(hwnd(form.button)).at(0, 0), face);  // no edge without the pointer
    form.button.setFlat(false);
    EXPECT_NE(Snapshot(hwnd(form.button)).at(0, 0), face);
    form.groupA.setFlat(true);
    form.groupA.setPressed(true);
    EXPECT_EQ(Snapshot(hwnd(form.groupA)).at(0, 0), shadow);  // sunk

    EXPECT_EQ(Snapshot(hwnd(form.panel)).at(0, 0), shadow);  // lowered outside
    EXPECT_EQ(Snapshot(hwnd(form.panel)).at(1, 1), light);   // raised inside
    EXPECT_EQ(Snapshot(hwnd(form.raised)).at(0, 0), light);

    // 3 x 2 pixels (rows not a multiple of four bytes), blue-green-red order.
    Bitmap picture;
    picture.width = 3;
    picture.height = 2;
    picture.pixels = {255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 10, 20, 30, 255, 255, 255};
    form.image.setPicture(picture);
    Snapshot shot(hwnd(form.image));
    EXPECT_EQ(shot.at(0, 0), RGB(0, 0, 255));
    EXPECT_EQ(shot.at(2, 0), RGB(255, 0, 0));
    EXPECT_EQ(shot.at(1, 1), RGB(30, 20, 10));
    EXPECT_EQ(shot.at(2, 1), RGB(255, 255, 255));
    EXPECT_EQ(shot.at(3, 0), face);  // the rest is button face
    EXPECT_EQ(shot.at(0, 2), face);
}

// A button the keyboard reaches, as a dialog's OK and Cancel are.
struct KeyButton : Button {
    KeyButton(Control* parent, std::string name, Rect bounds, std::string caption)
        : Button(parent, std::move(name), bounds, std::move(caption)) {
        tabStop_ = true;
    }
};

// A dialog of the path picker's kind: drives, a directory list that is
// rebuilt around each choice, and two buttons the keyboard can reach.
struct PickerForm : Form {
    PickerForm() : Form("PickerForm", {0, 0, 281, 275}, "Pick") {}
    ComboBox drives{this, "DriveComboBox1", {8, 28, 265, 21}, {"C:\\", "Z:\\"}};
    ListBox list{this, "DirectoryOutline1", {8, 56, 265, 100}, {}, 16};
    KeyButton ok{this, "SpeedButton1", {40, 242, 97, 25}, "OK"};
    KeyButton cancel{this, "SpeedButton2", {144, 242, 97, 25}, "Cancel"};
    Button plain{this, "SpeedButton3", {8, 200, 60, 25}, "Plain"};
};

class PickerTest : public ::testing::Test {
protected:
    void SetUp() override {
        backend.realize(form);
        window = backend.windowOf(form);
        ASSERT_NE(window, nullptr);
        for (Control* c : std::initializer_list<Control*>{&form.drives, &form.list, &form.ok,
                                                          &form.cancel, &form.plain})
            c->onEnter = [this, c] { entered.push_back(c->name()); };
    }
    HWND hwnd(const Control& c) { return backend.windowOf(c); }
    // Runs the backend's own message loop over what was posted, then ends it.
    void runPosted() {
        PostMessageA(window, WM_CLOSE, 0, 0);
        backend.run(form);
    }
    void postKey(HWND to, WPARAM key, bool held = false) {
        PostMessageA(to, WM_KEYDOWN, key, held ? LPARAM(1) << 30 : 1);
        PostMessageA(to, WM_KEYUP, key, LPARAM(0xC0000001));
    }

    Win32Backend backend;
    PickerForm form;
    HWND window = nullptr;
    std::vector<std::string> entered;
};

TEST_F(PickerTest, TabGoesRoundDrivesListAndTheButtonsThatAreStops) {
    EXPECT_TRUE(GetWindowLongA(hwnd(form.ok), GWL_STYLE) & WS_TABSTOP);
    EXPECT_FALSE(GetWindowLongA(hwnd(form.plain), GWL_STYLE) & WS_TABSTOP);
    for (int i = 0; i < 4; ++i) PostMessageA(window, WM_KEYDOWN, VK_TAB, 1);
    runPosted();
    EXPECT_EQ(entered, (std::vector<std::string>{"DriveComboBox1", "DirectoryOutline1", "SpeedButton1",
                                                 "SpeedButton2", "DriveComboBox1"}));
}

TEST_F(PickerTest, EnterAndSpacePressTheFocusedButtonOnce) {
    int oks = 0, cancels = 0;
    form.ok.onClick = [&] { ++oks; };
    form.cancel.onClick = [&] { ++cancels; };
    form.ok.setFocus();
    postKey(hwnd(form.ok), VK_RETURN);
    postKey(hwnd(form.ok), VK_RETURN, true);  // held down: no second press
    PostMessageA(window, WM_KEYDOWN, VK_TAB, 1);
    postKey(hwnd(form.cancel), VK_SPACE);
    runPosted();
    EXPECT_EQ(oks, 1);
    EXPECT_EQ(cancels, 1);
}

TEST_F(PickerTest, EnterAndEscapeInAListPressTheDefaultAndCancelButtons) {
    int oks = 0, cancels = 0, plains = 0;
    form.ok.onClick = [&] { ++oks; };
    form.cancel.onClick = [&] { ++cancels; };
    form.plain.onClick = [&] { ++plains; };
    form.defaultButton = &form.ok;
    form.cancelButton = &form.cancel;
    form.list.setItems({"C:\\", "  games"});
    form.list.setFocus();
    postKey(hwnd(form.list), VK_RETURN);
    postKey(hwnd(form.list), VK_ESCAPE);
    runPosted();
    EXPECT_EQ(oks, 1);
    EXPECT_EQ(cancels, 1);
    EXPECT_EQ(plains, 0);
}

TEST_F(PickerTest, ButtonClicksLeaveTheKeyboardFocusWhereItWas) {
    int oks = 0, plains = 0;
    form.ok.onClick = [&] { ++oks; };
    form.plain.onClick = [&] { ++plains; };
    form.show();
    HWND list = hwnd(form.list);
    SetFocus(list);
    entered.clear();
    for (Button* b : {static_cast<Button*>(&form.ok), &form.plain}) {
        postClick(hwnd(*b), centreOf(hwnd(*b)));
        EXPECT_EQ(GetFocus(), list) << b->name();
    }
    EXPECT_EQ(oks, 1);
    EXPECT_EQ(plains, 1);
    // The second press of a double click is a click of its own.
    postClick(hwnd(form.plain), centreOf(hwnd(form.plain)), true);
    EXPECT_EQ(plains, 3);
    // Released away from the button, a press is no click; the button is up again.
    HWND plain = hwnd(form.plain);
    PostMessageA(plain, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    pump();
    EXPECT_EQ(GetCapture(), plain);
    EXPECT_TRUE(SendMessageA(plain, BM_GETSTATE, 0, 0) & BST_PUSHED);
    PostMessageA(plain, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-40, 5));
    PostMessageA(plain, WM_LBUTTONUP, 0, MAKELPARAM(-40, 5));
    pump();
    EXPECT_EQ(plains, 3);
    EXPECT_FALSE(SendMessageA(plain, BM_GETSTATE, 0, 0) & BST_PUSHED);
    EXPECT_EQ(GetCapture(), nullptr);
    // A program's click message goes the same way.
    SendMessageA(hwnd(form.ok), BM_CLICK, 0, 0);
    EXPECT_EQ(oks, 2);
    EXPECT_EQ(GetFocus(), list);
    EXPECT_TRUE(entered.empty());  // the list never lost the focus
}

TEST_F(PickerTest, FocusedButtonShowsAFocusRectangleOnlyWhenItIsAStop) {
    form.show();
    auto marked = [&](const Button& b) {
        SetFocus(hwnd(b));
        Snapshot focused(hwnd(b));
        SetFocus(hwnd(form.list));
        Snapshot unfocused(hwnd(b));
        int differ = 0;
        for (int x = 3; x < b.bounds().width - 3; ++x) differ += focused.at(x, 3) != unfocused.at(x, 3);
        return differ;
    };
    EXPECT_GT(marked(form.ok), 10);
    EXPECT_EQ(marked(form.plain), 0);
}

TEST_F(PickerTest, ListRebuiltByItsHandlerShowsTheModelsItemsAndChoice) {
    // Like a directory list: the chosen entry becomes the second of a new list.
    int choices = 0;
    form.list.onChange = [&] {
        ++choices;
        const std::string chosen = form.list.items()[static_cast<size_t>(form.list.itemIndex())];
        std::vector<std::string> items{"Z:\\", chosen};
        for (int i = 0; i < 12; ++i) items.push_back(chosen + "." + std::to_string(i));
        form.list.setItems(items);
        form.list.setItemIndex(1);
    };
    form.list.setItems({"Z:\\", "alpha", "beta", "gamma"});
    form.list.setItemIndex(1);
    form.show();
    HWND list = hwnd(form.list);
    auto itemText = [&](int index) {
        char buffer[64] = {};
        SendMessageA(list, LB_GETTEXT, WPARAM(index), reinterpret_cast<LPARAM>(buffer));
        return std::string(buffer);
    };

    SendMessageA(list, WM_KEYDOWN, VK_DOWN, 0);  // onto "beta"
    EXPECT_EQ(choices, 1);
    EXPECT_EQ(form.list.itemIndex(), 1);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 14);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(itemText(1), "beta");
    SendMessageA(list, WM_KEYDOWN, VK_DOWN, 0);  // from the new choice, not the old one
    EXPECT_EQ(choices, 2);
    EXPECT_EQ(itemText(1), "beta.0");

    // A click chooses once, although the list changes under the pointer.
    RECT item;
    SendMessageA(list, LB_GETITEMRECT, 4, reinterpret_cast<LPARAM>(&item));
    postClick(list, {item.left + 5, item.top + 3});
    EXPECT_EQ(choices, 3);
    EXPECT_EQ(itemText(1), "beta.0.2");
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1);

    // A choice further down than the box shows is scrolled into view.
    form.list.onChange = nullptr;
    std::vector<std::string> many;
    for (int i = 0; i < 40; ++i) many.push_back("dir" + std::to_string(i));
    form.list.setItems(many);
    form.list.setItemIndex(30);
    const auto top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
    RECT client;
    GetClientRect(list, &client);
    EXPECT_LE(top, 30);
    EXPECT_GT(top + client.bottom / 16, 30);
}

TEST_F(PickerTest, EnterAndEscapeInAnEditBoxReachTheModel) {
    struct NameForm : Form {
        NameForm() : Form("NameForm", {0, 0, 305, 97}, "Name") {}
        Edit name{this, "Edit1", {8, 28, 289, 21}};
    } dialog;
    Win32Backend own;
    own.realize(dialog);
    HWND edit = own.windowOf(dialog.name);
    std::string keys;
    dialog.name.onKeyPress = [&](char key) { keys += key; };

    // The dialog manager leaves Enter and Escape to the box, Tab not.
    auto wants = [&](WPARAM key) {
        MSG msg{edit, WM_KEYDOWN, key, 1, 0, {0, 0}};
        return (SendMessageA(edit, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(&msg)) &
                DLGC_WANTMESSAGE) != 0;
    };
    EXPECT_TRUE(wants(VK_RETURN));
    EXPECT_TRUE(wants(VK_ESCAPE));
    EXPECT_FALSE(wants(VK_TAB));

    SendMessageA(edit, WM_CHAR, 'x', 1);
    SendMessageA(edit, WM_CHAR, '\r', 1);
    SendMessageA(edit, WM_CHAR, 0x1b, 1);
    EXPECT_EQ(keys, "\r\x1b");
    EXPECT_EQ(dialog.name.text(), "x");
}

}  // namespace
