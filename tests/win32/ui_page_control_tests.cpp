// Tabbed pages on a real tab control: switching, tab stops, and pages made
// only when first needed.
#include <gtest/gtest.h>

#include "ui_backend_fixture.h"

using namespace qn::ui;
using namespace qn_ui_test;

namespace {

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

}  // namespace
