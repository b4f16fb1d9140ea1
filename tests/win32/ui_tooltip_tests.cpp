// Hints as real tooltips of their controls.
#include <gtest/gtest.h>

#include "ui_backend_fixture.h"

using namespace qn::ui;
using namespace qn_ui_test;

namespace {

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

}  // namespace
