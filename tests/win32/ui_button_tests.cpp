// Buttons, check boxes and the self-drawn controls on real windows.
#include <gtest/gtest.h>

#include "ui_backend_fixture.h"

using namespace qn::ui;
using namespace qn_ui_test;

namespace {

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

}  // namespace
