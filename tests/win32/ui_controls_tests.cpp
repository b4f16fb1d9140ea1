// The simple controls on real windows: code changes reach the native
// control, and what the user types or chooses reaches the model once.
#include <gtest/gtest.h>

#include "ui_backend_fixture.h"

using namespace qn::ui;
using namespace qn_ui_test;

namespace {

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

}  // namespace
