// Forms on real windows: names, places, fonts, tab order, showing and
// closing, focus, and the application window that owns them.
#include <gtest/gtest.h>

#include "ui_backend_fixture.h"

using namespace qn::ui;
using namespace qn_ui_test;

namespace {

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

TEST_F(BackendTest, AFormOfFixedSizeTakesNoOtherSize) {
    form.show();
    for (WPARAM command : {WPARAM(SC_MAXIMIZE), WPARAM(SC_SIZE)}) {
        SendMessageW(window, WM_SYSCOMMAND, command, 0);
        pump();
        RECT client;
        GetClientRect(window, &client);
        EXPECT_FALSE(IsZoomed(window)) << command;
        EXPECT_EQ(client.right, 420) << command;
        EXPECT_EQ(client.bottom, 330) << command;
    }
}

}  // namespace
