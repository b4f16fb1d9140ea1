// The report-view list on a real list-view control: rows, selection both
// ways, clicks, and Enter.
#include <gtest/gtest.h>

#include "ui_backend_fixture.h"

using namespace qn::ui;
using namespace qn_ui_test;

namespace {

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

}  // namespace
