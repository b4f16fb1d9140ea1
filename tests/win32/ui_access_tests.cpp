// The main window as a screen reader and the scheme's colours meet it, on
// the real windows; the backend's part of the keyboard on a small form.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <memory>
#include <string>
#include <vector>

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
    if (FAILED(AccessibleObjectFromWindow(hwnd, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&object))))
        return {"(no object)", 0};
    VARIANT self{}, role{};
    self.vt = VT_I4;  // CHILDID_SELF
    BSTR name = nullptr;
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
    // Tab meets the boxes and check boxes as they read, top to bottom.
    std::vector<std::string> stops;
    for (HWND h = GetWindow(window(form.Panel1), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
        if (GetWindowLongA(h, GWL_STYLE) & WS_TABSTOP) stops.push_back(nameOf(h));
    EXPECT_EQ(stops, (std::vector<std::string>{"Edit1", "CheckBox8", "Edit4", "CheckBox7", "Edit2", "Edit3"}));
}

TEST_F(MainWindow, BrowseButtonsAndThePictureHaveNamesThatSayWhatTheyAre) {
    const std::pair<ui::Control*, std::string> named[] = {
        {&form.SpeedButton6, "Browse for the QUON path"},
        {&form.SpeedButton8, "Browse for the drivers path"},
        {&form.SpeedButton4, "Browse for the PkUnzip program"},
        {&form.SpeedButton5, "Browse for the ROMs path"},
        {&form.Image1, "Screenshot of the selected game"}, {&form.CheckBox2, "No Sound"}};
    for (const auto& [control, name] : named) EXPECT_EQ(accessibleOf(window(*control)).first, name);
    EXPECT_EQ(accessibleOf(window(form.Image1)).second, ROLE_SYSTEM_GRAPHIC);
}

// The text colour a control is painted with, as its parent chooses it.
COLORREF textColorOf(HWND control, UINT message) {
    const ScopedMemoryDc dc(CreateCompatibleDC(nullptr));
    SendMessageA(GetParent(control), message, reinterpret_cast<WPARAM>(dc.get()), reinterpret_cast<LPARAM>(control));
    return GetTextColor(dc.get());
}

TEST_F(MainWindow, ColoursAreTheSchemesAndFollowItsChangesAndHighContrast) {
    const int indexes[] = {COLOR_WINDOWTEXT, COLOR_WINDOW, COLOR_HOTLIGHT};
    COLORREF before[3];
    for (int i = 0; i < 3; ++i) before[i] = GetSysColor(indexes[i]);
    const COLORREF dark[] = {RGB(255, 255, 254), RGB(0, 0, 1), RGB(255, 255, 0)};
    SetSysColors(3, indexes, dark);  // tells every window, as a scheme chosen by the user does
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

// The backend's side: a link's focus mark, and a row chosen from code
// brought into view.
struct KeyForm : ui::Form {
    KeyForm() : ui::Form("KeyForm", {0, 0, 300, 300}, "Keys") {}
    ui::Label link{this, "Label1", {8, 8, 0, 0}, "http://example.org/"};
    ui::ListView view{this, "ListView1", {8, 60, 280, 100}, {{"Name", 200}}};
};

// How many pixels of the window's bottom row differ from its first one.
int markedEdge(HWND hwnd) {
    RECT r;
    GetClientRect(hwnd, &r);
    HDC dc = GetDC(hwnd);
    int marked = 0;
    for (int x = 0; x < r.right; ++x) marked += GetPixel(dc, x, r.bottom - 1) != GetPixel(dc, 0, r.bottom - 1);
    ReleaseDC(hwnd, dc);
    return marked;
}

TEST(Backend, ALinkShowsItsFocusAndARowChosenFromCodeComesIntoView) {
    ui::Win32Backend backend;
    KeyForm form;
    form.link.setTabStop(true);
    std::vector<std::vector<std::string>> rows(500, {"Game"});
    form.view.setRows(std::move(rows));
    backend.realize(form);
    form.show();
    HWND link = backend.windowOf(form.link), view = backend.windowOf(form.view);
    SetFocus(view);
    UpdateWindow(link);
    const int unmarked = markedEdge(link);
    SetFocus(link);
    UpdateWindow(link);
    EXPECT_GT(markedEdge(link), unmarked + 4);  // dotted
    form.view.selectRow(400);
    const auto top = static_cast<int>(SendMessageA(view, LVM_GETTOPINDEX, 0, 0));
    EXPECT_LE(top, 400);
    EXPECT_GT(top + SendMessageA(view, LVM_GETCOUNTPERPAGE, 0, 0), 400);
}

}  // namespace
