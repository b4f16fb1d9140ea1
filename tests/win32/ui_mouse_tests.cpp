// The mouse on real windows: moves, cursors and capture.
#include <gtest/gtest.h>

#include "ui_backend_fixture.h"

using namespace qn::ui;
using namespace qn_ui_test;

namespace {

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
    form.setCursor(Cursor::Wait);  // busy: over every control, until it is not
    SendMessageA(label, WM_SETCURSOR, reinterpret_cast<WPARAM>(label), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_WAIT));
    form.setCursor(Cursor::Default);
    SendMessageA(label, WM_SETCURSOR, reinterpret_cast<WPARAM>(label), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_HELP));
}

}  // namespace
