// The directory tree on the real tree-view control, over a real directory
// tree of a few hundred directories named in mixed case.
#include <cstring>

#include <gtest/gtest.h>

#include "app/dialogs/directory_chooser.h"
#include "platform/win32/win32_platform.h"
#include "platform_test_support.h"
#include "ui/tree_view.h"
#include "ui/win32/win32_backend.h"

namespace qn::ui {
namespace {

const char* const kTop[] = {"Alpha", "arcade", "BETA", "bin", "Cabinet", "cars",
                            "delta", "Echo", "games", "Garage", "zulu", "Zone"};
constexpr int kSubdirectories = 25;

void pumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

struct TreeForm : Form {
    TreeForm() : Form("TreeForm", {0, 0, 281, 275}, "Pick") {}
    ComboBox drives{this, "DriveComboBox1", {8, 28, 265, 21}, {}};
    TreeView tree{this, "DirectoryOutline1", {8, 56, 265, 177}};
};

class DirectoryTreeView : public qn_test::ScratchDirectoryTest {
protected:
    void SetUp() override {
        qn_test::ScratchDirectoryTest::SetUp();
        root = path("Root");
        ASSERT_TRUE(CreateDirectoryA(root.c_str(), nullptr));
        for (const char* top : kTop) {
            const std::string dir = root + "\\" + top;
            ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr)) << dir;
            for (int i = 0; i < kSubdirectories; ++i)
                CreateDirectoryA((dir + "\\Sub" + std::to_string(100 + i)).c_str(), nullptr);
        }
        ASSERT_TRUE(qn_test::writeBytes(root + "\\a file.txt", "not a directory"));
        backend.realize(form);
        chooser = std::make_unique<DirectoryChooser>(os, form.drives, form.tree);
        chooser->setDirectory(root);
        form.show();
        window = backend.windowOf(form.tree);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        chooser.reset();
        qn_test::ScratchDirectoryTest::TearDown();
    }

    HTREEITEM next(HTREEITEM item, UINT how) const {
        return reinterpret_cast<HTREEITEM>(SendMessageA(window, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
    }
    std::string text(HTREEITEM item) const {
        char buffer[260] = {};
        TVITEMA tv{};
        tv.mask = TVIF_HANDLE | TVIF_TEXT;
        tv.hItem = item;
        tv.pszText = buffer;
        tv.cchTextMax = sizeof buffer;
        SendMessageA(window, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
        return buffer;
    }
    std::string selectedText() const { return text(next(nullptr, TVGN_CARET)); }
    std::vector<std::string> childTexts(HTREEITEM item) const {
        std::vector<std::string> names;
        for (HTREEITEM c = next(item, TVGN_CHILD); c; c = next(c, TVGN_NEXT)) names.push_back(text(c));
        return names;
    }
    bool open(HTREEITEM item) const {
        return (SendMessageA(window, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) &
                TVIS_EXPANDED) != 0;
    }
    void key(WPARAM vk) { SendMessageA(window, WM_KEYDOWN, vk, 1); }
    void type(const char* keys) {
        for (const char* k = keys; *k; ++k) SendMessageA(window, WM_CHAR, static_cast<WPARAM>(*k), 1);
    }
    int current() const { return form.tree.selected(); }
    // The item's text area: the message takes the item in the rectangle.
    RECT itemRect(HTREEITEM item) const {
        RECT r{};
        std::memcpy(&r, &item, sizeof item);
        SendMessageA(window, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
        return r;
    }

    Win32Platform os{"test"};
    Win32Backend backend;
    TreeForm form;
    std::unique_ptr<DirectoryChooser> chooser;
    std::string root;
    HWND window = nullptr;
};

TEST_F(DirectoryTreeView, ShowsTheCurrentDirectoryOpenSelectedAndInView) {
    EXPECT_EQ(selectedText(), "Root");
    HTREEITEM rootItem = next(nullptr, TVGN_CARET);
    EXPECT_TRUE(open(rootItem));
    // Its subdirectories in order whatever their case, files left out, and
    // nothing below them listed yet, though each offers to open.
    EXPECT_EQ(childTexts(rootItem), (std::vector<std::string>{"Alpha", "arcade", "BETA", "bin", "Cabinet", "cars",
                                                              "delta", "Echo", "games", "Garage", "Zone", "zulu"}));
    HTREEITEM alpha = next(rootItem, TVGN_CHILD);
    EXPECT_EQ(next(alpha, TVGN_CHILD), nullptr);
    TVITEMA tv{};
    tv.mask = TVIF_HANDLE | TVIF_CHILDREN;
    tv.hItem = alpha;
    SendMessageA(window, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
    EXPECT_EQ(tv.cChildren, 1);
    RECT item = itemRect(rootItem), client{};
    GetClientRect(window, &client);
    EXPECT_GE(item.top, 0);
    EXPECT_LE(item.bottom, client.bottom);
}

TEST_F(DirectoryTreeView, KeysMoveOpenAndFindWithoutListingOnTheWay) {
    const int before = form.tree.nodeCount();
    key(VK_DOWN);
    EXPECT_EQ(selectedText(), "Alpha");
    EXPECT_EQ(chooser->directory(), root + "\\Alpha");
    key(VK_DOWN);
    key(VK_DOWN);
    EXPECT_EQ(selectedText(), "BETA");
    EXPECT_EQ(form.tree.nodeCount(), before);  // moving listed nothing

    key(VK_RIGHT);  // opens it: listed now, on the window too
    HTREEITEM beta = next(nullptr, TVGN_CARET);
    EXPECT_TRUE(open(beta));
    EXPECT_TRUE(form.tree.expanded(current()));
    EXPECT_EQ(childTexts(beta).size(), static_cast<size_t>(kSubdirectories));
    EXPECT_EQ(form.tree.nodeCount(), before + kSubdirectories);
    key(VK_LEFT);
    EXPECT_FALSE(open(beta));
    EXPECT_FALSE(form.tree.expanded(current()));
    type("+");
    EXPECT_TRUE(open(beta));
    type("-");
    EXPECT_FALSE(open(beta));
    EXPECT_EQ(form.tree.nodeCount(), before + kSubdirectories);  // listed once

    type("car");  // typed quickly: one name
    EXPECT_EQ(selectedText(), "cars");
    EXPECT_EQ(chooser->directory(), root + "\\cars");
    key(VK_RETURN);  // opens it
    HTREEITEM cars = next(nullptr, TVGN_CARET);
    EXPECT_TRUE(open(cars));
    EXPECT_EQ(childTexts(cars).front(), "Sub100");
    EXPECT_EQ(chooser->directory(), root + "\\cars");
}

TEST_F(DirectoryTreeView, ClickSelectsAndDoubleClickOpens) {
    HTREEITEM rootItem = next(nullptr, TVGN_CARET);
    HTREEITEM echo = next(rootItem, TVGN_CHILD);
    while (echo && text(echo) != "Echo") echo = next(echo, TVGN_NEXT);
    ASSERT_NE(echo, nullptr);
    const RECT r = itemRect(echo);
    const POINT at{r.left + 4, (r.top + r.bottom) / 2};
    const LPARAM lp = MAKELPARAM(at.x, at.y);
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, lp);
    PostMessageA(window, WM_LBUTTONUP, 0, lp);
    pumpMessages();
    EXPECT_EQ(chooser->directory(), root + "\\Echo");
    EXPECT_FALSE(open(echo));
    PostMessageA(window, WM_LBUTTONDBLCLK, MK_LBUTTON, lp);
    PostMessageA(window, WM_LBUTTONUP, 0, lp);
    pumpMessages();
    EXPECT_TRUE(open(echo));  // opened, and not closed again by the control's own toggling
    EXPECT_EQ(childTexts(echo).size(), static_cast<size_t>(kSubdirectories));
}

}  // namespace
}  // namespace qn::ui
