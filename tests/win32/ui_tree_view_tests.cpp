// The directory tree on the real tree-view control, over a real directory
// tree of a few hundred directories: what the mouse does, and the current
// directory in view. The keys are driven end to end.
#include <cstring>

#include <gtest/gtest.h>

#include "app/dialogs/directory_chooser.h"
#include "platform/win32/win32_platform.h"
#include "platform_test_support.h"
#include "ui/tree_view.h"
#include "ui/win32/win32_backend.h"

namespace qn::ui {
namespace {

struct TreeForm : Form {
    TreeForm() : Form("TreeForm", {0, 0, 281, 275}, "Pick") {}
    ComboBox drives{this, "DriveComboBox1", {8, 28, 265, 21}, {}};
    TreeView tree{this, "DirectoryOutline1", {8, 56, 265, 177}};
};

class DirectoryTreeView : public qn_test::ScratchDirectoryTest {
protected:
    HTREEITEM next(HTREEITEM item, UINT how) const {
        return reinterpret_cast<HTREEITEM>(SendMessageA(window, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
    }
    bool open(HTREEITEM item) const {
        return SendMessageA(window, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) & TVIS_EXPANDED;
    }
    RECT itemRect(HTREEITEM item) const {
        RECT r{};
        std::memcpy(&r, &item, sizeof item);  // the message takes the item in the rectangle
        SendMessageA(window, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
        return r;
    }
    void post(UINT msg, WPARAM wp, POINT at) {
        PostMessageA(window, msg, wp, MAKELPARAM(at.x, at.y));
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
    }

    Win32Platform os{"test"};
    Win32Backend backend;
    TreeForm form;
    HWND window = nullptr;
};

TEST_F(DirectoryTreeView, CurrentDirectoryInViewAClickSelectsADoubleClickOpens) {
    const std::string root = path("Root");
    CreateDirectoryA(root.c_str(), nullptr);
    for (const char* top : {"Alpha", "arcade", "BETA", "bin", "Cabinet", "cars", "delta", "Echo", "games",
                            "Garage", "zulu", "Zone"}) {
        const std::string dir = root + "\\" + top;
        CreateDirectoryA(dir.c_str(), nullptr);
        for (int i = 0; i < 25; ++i) CreateDirectoryA((dir + "\\Sub" + std::to_string(i)).c_str(), nullptr);
    }
    backend.realize(form);
    DirectoryChooser chooser(os, form.drives, form.tree, os.currentDirectory());
    chooser.setDirectory(root);
    form.show();
    window = backend.windowOf(form.tree);

    // Far down the drive's tree, the current directory is scrolled into view.
    HTREEITEM current = next(nullptr, TVGN_CARET);
    ASSERT_NE(current, nullptr);
    EXPECT_TRUE(open(current));
    RECT shown = itemRect(current), client{};
    GetClientRect(window, &client);
    EXPECT_GE(shown.top, 0);
    EXPECT_LE(shown.bottom, client.bottom);

    // A click selects Echo, the eighth below, without opening it; a double
    // click opens it, and the control's own toggling does not close it again.
    HTREEITEM echo = next(current, TVGN_CHILD);
    for (int i = 0; i < 7; ++i) echo = next(echo, TVGN_NEXT);
    const RECT r = itemRect(echo);
    const POINT at{r.left + 4, (r.top + r.bottom) / 2};
    post(WM_LBUTTONDOWN, MK_LBUTTON, at);
    post(WM_LBUTTONUP, 0, at);
    EXPECT_EQ(chooser.directory(), root + "\\Echo");
    EXPECT_FALSE(open(echo));
    post(WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    post(WM_LBUTTONUP, 0, at);
    EXPECT_TRUE(open(echo));
    int children = 0;
    for (HTREEITEM c = next(echo, TVGN_CHILD); c; c = next(c, TVGN_NEXT)) ++children;
    EXPECT_EQ(children, 25);
}

}  // namespace
}  // namespace qn::ui
