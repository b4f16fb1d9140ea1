// The main window as a screen reader and the keyboard meet it, and the
// scheme's colours, on the real windows: the application's own forms where
// the wiring is the application's, a small form where it is the backend's.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <memory>
#include <string>
#include <vector>

#include "app/dialogs/about_box.h"
#include "app/main_window/main_window.h"
#include "platform/win32/win32_platform.h"
#include "ui/win32/win32_backend.h"

using namespace qn;

namespace {

std::string nameOf(HWND hwnd) {
    auto atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(GetPropA(hwnd, "QnName")));
    char name[256] = {};
    if (atom) GlobalGetAtomNameA(atom, name, sizeof(name));
    return name;
}

// What a screen reader is told of a window: its name and role.
std::pair<std::string, long> accessibleOf(HWND hwnd) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(hwnd, OBJID_CLIENT, IID_IAccessible,
                                          reinterpret_cast<void**>(&object))))
        return {"(no object)", 0};
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    VARIANT role{};
    object->get_accName(self, &name);
    object->get_accRole(self, &role);
    object->Release();
    char text[256] = {};
    if (name) WideCharToMultiByte(CP_ACP, 0, name, -1, text, sizeof(text), nullptr, nullptr);
    SysFreeString(name);
    return {text, role.vt == VT_I4 ? role.lVal : 0};
}

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitialize(nullptr);
        backend.realize(form);
        SendMessageA(window(form), RegisterWindowMessageA("QnNameControls"), 0, 0);
    }
    HWND window(const ui::Control& c) { return backend.windowOf(c); }

    Win32Platform platform{kApplicationTitle};
    ui::Win32Backend backend;
    App app{platform, &backend};
    TForm1& form = *(app.Form1 = std::make_unique<TForm1>(app));
};

TEST_F(MainWindow, EachPathBoxComesJustAfterItsLabelInWindowOrder) {
    const std::pair<ui::Edit*, std::string> boxes[] = {
        {&form.Edit1, "Label6"}, {&form.Edit4, "Label4"}, {&form.Edit2, "Label2"}, {&form.Edit3, "Label3"}};
    for (const auto& [box, label] : boxes)
        EXPECT_EQ(nameOf(GetWindow(window(*box), GW_HWNDPREV)), label) << box->name();
    // Tab still meets the boxes top to bottom, the ROMs path before the unzip program.
    std::vector<std::string> stops;
    HWND panel = window(form.Panel1);
    for (HWND h = GetWindow(panel, GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
        if (GetWindowLongA(h, GWL_STYLE) & WS_TABSTOP) stops.push_back(nameOf(h));
    EXPECT_EQ(stops, (std::vector<std::string>{"Edit1", "CheckBox8", "Edit4", "Edit3", "Edit2", "CheckBox7"}));
}

TEST_F(MainWindow, BrowseButtonsAndThePictureHaveNamesThatSayWhatTheyAre) {
    const std::pair<ui::Control*, std::string> named[] = {
        {&form.SpeedButton6, "Browse for the QUON path"},
        {&form.SpeedButton8, "Browse for the drivers path"},
        {&form.SpeedButton4, "Browse for the PkUnzip program"},
        {&form.SpeedButton5, "Browse for the ROMs path"},
        {&form.Image1, "Screenshot of the selected game"},
        {&form.CheckBox2, "No Sound"}};  // a caption that says it is left alone
    for (const auto& [control, name] : named) EXPECT_EQ(accessibleOf(window(*control)).first, name);
    EXPECT_EQ(accessibleOf(window(form.Image1)).second, ROLE_SYSTEM_GRAPHIC);
    EXPECT_EQ(form.SpeedButton6.caption(), "...");
}

TEST_F(MainWindow, TheWindowMenuOpensTheAboutBoxBeforeClose) {
    app.Form4 = std::make_unique<TForm4>(app);
    backend.realize(*app.Form4);
    HMENU menu = GetSystemMenu(window(form), FALSE);
    const int count = GetMenuItemCount(menu);
    int close = -1;
    for (int i = 0; i < count; ++i)
        if (GetMenuItemID(menu, i) == SC_CLOSE) close = i;
    ASSERT_GE(close, 2);
    char text[128] = {};
    GetMenuStringA(menu, static_cast<UINT>(close - 2), text, sizeof(text), MF_BYPOSITION);
    EXPECT_STREQ(text, "&About Tolvane's QUON FrontEnd v2.09...");
    EXPECT_EQ(GetMenuState(menu, static_cast<UINT>(close - 1), MF_BYPOSITION) & MF_SEPARATOR, UINT(MF_SEPARATOR));

    SendMessageA(window(form), WM_SYSCOMMAND, GetMenuItemID(menu, close - 2), 0);
    EXPECT_TRUE(app.Form4->showing());
    EXPECT_FALSE(IsWindowEnabled(window(form)));  // as the About button leaves it
    app.Form4->close();
    EXPECT_TRUE(IsWindowEnabled(window(form)));
}

// The text colour a control is painted with, as its parent chooses it.
COLORREF textColorOf(HWND control, UINT message) {
    HDC dc = CreateCompatibleDC(nullptr);
    SendMessageA(GetParent(control), message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
    const COLORREF color = GetTextColor(dc);
    DeleteDC(dc);
    return color;
}

TEST_F(MainWindow, ColoursAreTheSchemesAndFollowItsChangesAndHighContrast) {
    const int indexes[] = {COLOR_WINDOWTEXT, COLOR_WINDOW, COLOR_HOTLIGHT};
    const COLORREF before[] = {GetSysColor(COLOR_WINDOWTEXT), GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_HOTLIGHT)};
    const COLORREF dark[] = {RGB(255, 255, 254), RGB(0, 0, 1), RGB(255, 255, 0)};
    SetSysColors(3, indexes, dark);  // tells every window, as a scheme chosen by the user does

    EXPECT_EQ(textColorOf(window(form.CheckBox2), WM_CTLCOLORSTATIC), dark[0]);
    EXPECT_EQ(textColorOf(window(form.Label6), WM_CTLCOLORSTATIC), dark[0]);
    HWND list = window(form.ListView1);
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(list, LVM_GETTEXTCOLOR, 0, 0)), dark[0]);
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(list, LVM_GETBKCOLOR, 0, 0)), dark[1]);
    EXPECT_EQ(textColorOf(window(form.Label8), WM_CTLCOLORSTATIC), RGB(0, 0, 255));  // a link keeps its blue

    // Wine keeps no high-contrast setting to switch: the backend is told.
    ui::Win32Backend::schemeChanged(true);
    EXPECT_EQ(textColorOf(window(form.Label8), WM_CTLCOLORSTATIC), dark[2]);  // ...but not under high contrast
    ui::Win32Backend::schemeChanged(false);
    EXPECT_EQ(textColorOf(window(form.Label8), WM_CTLCOLORSTATIC), RGB(0, 0, 255));
    SetSysColors(3, indexes, before);
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(list, LVM_GETTEXTCOLOR, 0, 0)), before[0]);
}

// The backend's side: a link the keyboard reaches, a path box's drop-down
// keys, and a row chosen from code brought into view.
struct KeyForm : ui::Form {
    KeyForm() : ui::Form("KeyForm", {0, 0, 300, 300}, "Keys") {}
    ui::Label link{this, "Label1", {8, 8, 0, 0}, "http://example.org/"};
    ui::Edit box{this, "Edit1", {8, 30, 120, 22}};
    ui::ListView view{this, "ListView1", {8, 60, 280, 100}, {{"Name", 200}}};
};

void pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

// How many pixels of the window's edge differ from its top left one.
int markedEdge(HWND hwnd) {
    RECT r;
    GetClientRect(hwnd, &r);
    HDC dc = GetDC(hwnd);
    const COLORREF face = GetPixel(dc, 0, 0);
    int marked = 0;
    for (int x = 0; x < r.right; ++x) marked += (GetPixel(dc, x, r.bottom - 1) != face);
    ReleaseDC(hwnd, dc);
    return marked;
}

TEST(AccessKeys, LinksTakeTheFocusShowItAndOpenByEnterOrSpace) {
    ui::Win32Backend backend;
    KeyForm form;
    int opened = 0, droppedDown = 0;
    form.link.setTabStop(true);
    form.link.onClick = [&] { ++opened; };
    form.box.onDropDown = [&] { ++droppedDown; };
    backend.realize(form);
    form.show();
    HWND link = backend.windowOf(form.link), box = backend.windowOf(form.box);
    EXPECT_TRUE(GetWindowLongA(link, GWL_STYLE) & WS_TABSTOP);
    SetFocus(box);
    pump();
    const int unmarked = markedEdge(link);
    SetFocus(link);
    UpdateWindow(link);
    EXPECT_GT(markedEdge(link), unmarked + 4);  // the dotted focus mark
    for (WPARAM key : {VK_RETURN, VK_SPACE}) SendMessageA(link, WM_KEYDOWN, key, 1);
    SendMessageA(link, WM_KEYDOWN, VK_RETURN, LPARAM(1) << 30);  // held: once
    EXPECT_EQ(opened, 2);

    SendMessageA(box, WM_KEYDOWN, VK_F4, 1);
    SendMessageA(box, WM_SYSKEYDOWN, VK_DOWN, LPARAM(1) << 29);
    SendMessageA(box, WM_KEYDOWN, VK_DOWN, 1);  // without Alt, the caret's
    EXPECT_EQ(droppedDown, 2);
}

TEST(AccessKeys, ARowChosenFromCodeIsBroughtIntoView) {
    ui::Win32Backend backend;
    KeyForm form;
    std::vector<std::vector<std::string>> rows;
    for (int i = 0; i < 500; ++i) rows.push_back({"Game " + std::to_string(i)});
    form.view.setRows(std::move(rows));
    backend.realize(form);
    form.show();
    form.view.selectRow(400);
    HWND view = backend.windowOf(form.view);
    const auto top = static_cast<int>(SendMessageA(view, LVM_GETTOPINDEX, 0, 0));
    const auto shown = static_cast<int>(SendMessageA(view, LVM_GETCOUNTPERPAGE, 0, 0));
    EXPECT_LE(top, 400);
    EXPECT_GT(top + shown, 400);
}

}  // namespace
