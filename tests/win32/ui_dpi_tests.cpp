// A window that moves to a screen of another resolution: the system sends
// WM_DPICHANGED with the new resolution and a suggested rectangle, and the
// backend lays the form out again at it, and back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ui/win32/win32_backend.h"
#include "ui_backend_fixture.h"

using namespace qn::ui;

namespace {

struct ScaledForm : Form {
    ScaledForm() : Form("ScaledForm", {0, 0, 420, 330}, "Scaled") {}
    Label label{this, "Label1", {8, 8, 0, 0}, "Hello there"};
    CheckBox check{this, "CheckBox1", {8, 56, 120, 17}, "Check me"};
    ComboBox combo{this, "ComboBox1", {140, 8, 120, 23}, {"one", "two"}};
    ListBox listBox{this, "ListBox1", {140, 36, 120, 60}, {"x", "y", "z"}, 15};
    ListView view{this, "ListView1", {8, 108, 250, 140}, {{"Name", 100}, {"Path", 80}}};
    ProgressBar progress{this, "ProgressBar1", {8, 254, 250, 17}};
    Image image{this, "Image1", {270, 254, 40, 40}};
    PageControl pages{this, "PageControl1", {270, 8, 140, 200}};
    TabSheet sheet1{&pages, "TabSheet1", "One"};
    GroupBox group{&sheet1, "GroupBox1", {4, 4, 120, 60}, " Group "};
    Edit inner{&group, "Edit2", {8, 20, 100, 22}};
    StatusBar status{this, "StatusBar1", {0, 309, 420, 21}, {100, 60, 50}};
};

RECT rectIn(HWND child, HWND parent) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

LONG fontHeight(HWND h) {
    LOGFONTA lf{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(h, WM_GETFONT, 0, 0)), sizeof(lf), &lf);
    return lf.lfHeight;
}

std::vector<int> statusEdges(HWND bar) {
    int edges[8] = {};
    const auto n = static_cast<int>(SendMessageA(bar, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)));
    return std::vector<int>(edges, edges + n);
}

constexpr UINT kDpiChanged = 0x02E0;

class DpiChangeTest : public ::testing::Test {
protected:
    void SetUp() override {
        backend.realize(form);
        window = backend.windowOf(form);
        ASSERT_NE(window, nullptr);
        ASSERT_EQ(form.dpi(), 96) << "these tests start from a screen at 96 dpi";
        form.onDpiChange = [this] { changes.push_back(form.dpi()); };
    }
    HWND hwnd(const Control& c) { return backend.windowOf(c); }
    // As the system sends it: the new resolution twice, and where the window should go.
    void moveToScreenOf(int dpi, POINT at) {
        RECT outer;
        GetWindowRect(window, &outer);
        RECT suggested{at.x, at.y, at.x + MulDiv(outer.right - outer.left, dpi, form.dpi()),
                       at.y + MulDiv(outer.bottom - outer.top, dpi, form.dpi())};
        SendMessageA(window, kDpiChanged, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    }

    Win32Backend backend;
    ScaledForm form;
    HWND window = nullptr;
    std::vector<int> changes;
};

TEST_F(DpiChangeTest, EverythingIsLaidOutAgainAtTheNewResolutionWhereTheSystemSuggests) {
    moveToScreenOf(144, {100, 50});
    EXPECT_EQ(form.dpi(), 144);
    EXPECT_EQ(changes, std::vector<int>{144});  // the form redraws its own pictures once

    RECT outer, client;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    EXPECT_EQ(outer.left, 100);
    EXPECT_EQ(outer.top, 50);
    EXPECT_EQ(client.right, 630);
    EXPECT_EQ(client.bottom, 495);

    // Places and sizes: the layout's edges times one and a half.
    RECT r = rectIn(hwnd(form.check), window);
    EXPECT_EQ(r.left, 12);
    EXPECT_EQ(r.top, 84);
    EXPECT_EQ(r.right - r.left, 180);
    EXPECT_EQ(r.bottom - r.top, 26);  // 110 - 84 (109.5)
    r = rectIn(hwnd(form.inner), hwnd(form.group));
    EXPECT_EQ(r.left, 12);
    EXPECT_EQ(r.top, 30);
    EXPECT_EQ(r.right - r.left, 150);
    r = rectIn(hwnd(form.view), window);
    EXPECT_EQ(r.right - r.left, 375);
    EXPECT_EQ(r.bottom - r.top, 210);
    r = rectIn(hwnd(form.combo), window);
    EXPECT_EQ(r.bottom - r.top, 35);  // the closed box: 47 - 12 (46.5)
    r = rectIn(hwnd(form.status), window);
    EXPECT_EQ(r.top, 464);  // 463.5
    EXPECT_EQ(r.right - r.left, 630);

    // The parts of the controls that are counted in pixels.
    EXPECT_EQ(fontHeight(hwnd(form.check)), -16);  // 8 points at 144 dpi
    EXPECT_EQ(fontHeight(hwnd(form.inner)), -16);
    EXPECT_EQ(statusEdges(hwnd(form.status)), (std::vector<int>{150, 240, -1}));
    EXPECT_EQ(SendMessageA(hwnd(form.view), LVM_GETCOLUMNWIDTH, 0, 0), 150);
    EXPECT_EQ(SendMessageA(hwnd(form.view), LVM_GETCOLUMNWIDTH, 1, 0), 120);
    EXPECT_EQ(SendMessageA(hwnd(form.listBox), LB_GETITEMHEIGHT, 0, 0), 23);  // 22.5
    // A label sized by its text is measured again in the larger font.
    r = rectIn(hwnd(form.label), window);
    EXPECT_EQ(r.left, 12);
    EXPECT_GT(r.bottom - r.top, 13);
    // The page fills the tab control inside its frame and below its tabs, a
    // margin as wide as at 96 dpi scaled.
    const RECT page = rectIn(hwnd(form.sheet1), hwnd(form.pages));
    EXPECT_GE(page.left, 4);
    EXPECT_LE(page.left, 8);
    EXPECT_GT(page.top, 20);
}

TEST_F(DpiChangeTest, PointerPositionsReachTheModelInLayoutUnits) {
    std::vector<MouseEvent> moves;
    form.progress.onMouseMove = [&](const MouseEvent& e) { moves.push_back(e); };
    moveToScreenOf(144, {0, 0});
    // Half way along the bar at 150 % is half way along it for the model.
    SendMessageA(hwnd(form.progress), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(187, 12));
    SendMessageA(hwnd(form.progress), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-30, 0));
    ASSERT_EQ(moves.size(), 2u);
    EXPECT_EQ(moves[0].x, 125);  // 124.67
    EXPECT_EQ(moves[0].y, 8);
    EXPECT_EQ(moves[1].x, -20);
}

TEST_F(DpiChangeTest, BackAtTheFirstResolutionTheLayoutIsTheOriginalToThePixel) {
    // One line per control and per measure, so a difference names its control.
    auto snapshot = [&] {
        std::vector<std::string> all;
        for (const Control* c : std::initializer_list<const Control*>{
                 &form.label, &form.check, &form.combo, &form.listBox, &form.view, &form.progress,
                 &form.image, &form.pages, &form.sheet1, &form.group, &form.inner, &form.status}) {
            const RECT r = rectIn(hwnd(*c), window);
            all.push_back(c->name() + " " + std::to_string(r.left) + " " + std::to_string(r.top) +
                          " " + std::to_string(r.right) + " " + std::to_string(r.bottom) + " font " +
                          std::to_string(fontHeight(hwnd(*c))));
        }
        RECT client;
        GetClientRect(window, &client);
        all.push_back("client " + std::to_string(client.right) + " " + std::to_string(client.bottom));
        for (int edge : statusEdges(hwnd(form.status))) all.push_back("panel edge " + std::to_string(edge));
        all.push_back("column " + std::to_string(SendMessageA(hwnd(form.view), LVM_GETCOLUMNWIDTH, 1, 0)));
        all.push_back("item " + std::to_string(SendMessageA(hwnd(form.listBox), LB_GETITEMHEIGHT, 0, 0)));
        return all;
    };
    const std::vector<std::string> before = snapshot();
    RECT outer;
    GetWindowRect(window, &outer);
    moveToScreenOf(192, {10, 10});
    EXPECT_NE(snapshot(), before);
    moveToScreenOf(96, {outer.left, outer.top});
    const std::vector<std::string> after = snapshot();
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < before.size(); ++i) EXPECT_EQ(after[i], before[i]);
    EXPECT_EQ(changes, (std::vector<int>{192, 96}));
    // The same resolution again changes nothing and tells nobody.
    moveToScreenOf(96, {outer.left, outer.top});
    EXPECT_EQ(changes.size(), 2u);
}

TEST_F(DpiChangeTest, APictureForAnotherResolutionIsShownAtItsSizeOnTheScreen) {
    // A 40 by 20 picture made for 96 dpi covers 60 by 30 pixels at 144; the
    // button face shows below it.
    Bitmap picture;
    picture.width = 40;
    picture.height = 20;
    picture.pixels.assign(40 * 20 * 3, 0);  // black
    form.image.setPicture(picture);
    moveToScreenOf(144, {0, 0});
    HWND image = hwnd(form.image);
    RECT r;
    GetClientRect(image, &r);
    ASSERT_EQ(r.right, 60);
    ASSERT_EQ(r.bottom, 60);
    HDC dc = CreateCompatibleDC(nullptr);
    const BITMAPINFO info = topDownBitmapInfo(60, 60, 32);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageA(image, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    EXPECT_EQ(GetPixel(dc, 59, 29), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(dc, 30, 31), GetSysColor(COLOR_BTNFACE));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
}

TEST_F(DpiChangeTest, TextGrowsWithTheScreenAsTheFramesDo) {
    // The layout's face has bitmaps of a few sizes only: at twice the
    // resolution the text must still be twice as tall, not the nearest bitmap.
    for (int dpi : {192, 144, 96}) {
        moveToScreenOf(dpi, {0, 0});
        // A stand-in face as wide as the layout's may be a little shorter.
        const int wanted = qn::ui::scaleFontHeight(8, dpi);
        for (const Control* c : std::initializer_list<const Control*>{&form.label, &form.check, &form.status,
                                                                      &form.pages, &form.combo}) {
            const int got = qn_ui_test::WindowFont(hwnd(*c)).characterHeight();
            EXPECT_GE(got, wanted * 9 / 10) << c->name() << " at " << dpi;
            EXPECT_LE(got, wanted + 1) << c->name() << " at " << dpi;
        }
    }
}

}  // namespace
