// The keyboard in a dialog of the path picker's kind on real windows: Tab,
// Enter, Escape and Space reach the right control once.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "ui_backend_fixture.h"

using namespace qn::ui;
using namespace qn_ui_test;

namespace {

// A button the keyboard reaches, as a dialog's OK and Cancel are.
struct KeyButton : Button {
    KeyButton(Control* parent, std::string name, Rect bounds, std::string caption)
        : Button(parent, std::move(name), bounds, std::move(caption)) {
        tabStop_ = true;
    }
};

// A dialog of the path picker's kind: drives, a directory list that is
// rebuilt around each choice, and two buttons the keyboard can reach.
struct PickerForm : Form {
    PickerForm() : Form("PickerForm", {0, 0, 281, 275}, "Pick") {}
    ComboBox drives{this, "DriveComboBox1", {8, 28, 265, 21}, {"C:\\", "Z:\\"}};
    ListBox list{this, "DirectoryOutline1", {8, 56, 265, 100}, {}, 16};
    KeyButton ok{this, "SpeedButton1", {40, 242, 97, 25}, "OK"};
    KeyButton cancel{this, "SpeedButton2", {144, 242, 97, 25}, "Cancel"};
    Button plain{this, "SpeedButton3", {8, 200, 60, 25}, "Plain"};
};

class PickerTest : public ::testing::Test {
protected:
    void SetUp() override {
        backend.realize(form);
        window = backend.windowOf(form);
        ASSERT_NE(window, nullptr);
        for (Control* c : std::initializer_list<Control*>{&form.drives, &form.list, &form.ok,
                                                          &form.cancel, &form.plain})
            c->onEnter = [this, c] { entered.push_back(c->name()); };
    }
    HWND hwnd(const Control& c) { return backend.windowOf(c); }
    // Runs the backend's own message loop over what was posted, then ends it.
    void runPosted() {
        PostMessageA(window, WM_CLOSE, 0, 0);
        backend.run(form);
    }
    void postKey(HWND to, WPARAM key, bool held = false) {
        PostMessageA(to, WM_KEYDOWN, key, held ? LPARAM(1) << 30 : 1);
        PostMessageA(to, WM_KEYUP, key, LPARAM(0xC0000001));
    }

    Win32Backend backend;
    PickerForm form;
    HWND window = nullptr;
    std::vector<std::string> entered;
};

TEST_F(PickerTest, TabGoesRoundDrivesListAndTheButtonsThatAreStops) {
    EXPECT_TRUE(GetWindowLongA(hwnd(form.ok), GWL_STYLE) & WS_TABSTOP);
    EXPECT_FALSE(GetWindowLongA(hwnd(form.plain), GWL_STYLE) & WS_TABSTOP);
    for (int i = 0; i < 4; ++i) PostMessageA(window, WM_KEYDOWN, VK_TAB, 1);
    runPosted();
    EXPECT_EQ(entered, (std::vector<std::string>{"DriveComboBox1", "DirectoryOutline1", "SpeedButton1",
                                                 "SpeedButton2", "DriveComboBox1"}));
}

TEST_F(PickerTest, EnterAndSpacePressTheFocusedButtonOnce) {
    int oks = 0, cancels = 0;
    form.ok.onClick = [&] { ++oks; };
    form.cancel.onClick = [&] { ++cancels; };
    form.ok.setFocus();
    postKey(hwnd(form.ok), VK_RETURN);
    postKey(hwnd(form.ok), VK_RETURN, true);  // held down: no second press
    PostMessageA(window, WM_KEYDOWN, VK_TAB, 1);
    postKey(hwnd(form.cancel), VK_SPACE);
    runPosted();
    EXPECT_EQ(oks, 1);
    EXPECT_EQ(cancels, 1);
}

TEST_F(PickerTest, EnterAndEscapeInAListPressTheDefaultAndCancelButtons) {
    int oks = 0, cancels = 0, plains = 0;
    form.ok.onClick = [&] { ++oks; };
    form.cancel.onClick = [&] { ++cancels; };
    form.plain.onClick = [&] { ++plains; };
    form.defaultButton = &form.ok;
    form.cancelButton = &form.cancel;
    form.list.setItems({"C:\\", "  games"});
    form.list.setFocus();
    postKey(hwnd(form.list), VK_RETURN);
    postKey(hwnd(form.list), VK_ESCAPE);
    runPosted();
    EXPECT_EQ(oks, 1);
    EXPECT_EQ(cancels, 1);
    EXPECT_EQ(plains, 0);
}

TEST_F(PickerTest, ButtonClicksLeaveTheKeyboardFocusWhereItWas) {
    int oks = 0, plains = 0;
    form.ok.onClick = [&] { ++oks; };
    form.plain.onClick = [&] { ++plains; };
    form.show();
    HWND list = hwnd(form.list);
    SetFocus(list);
    entered.clear();
    for (Button* b : {static_cast<Button*>(&form.ok), &form.plain}) {
        postClick(hwnd(*b), centreOf(hwnd(*b)));
        EXPECT_EQ(GetFocus(), list) << b->name();
    }
    EXPECT_EQ(oks, 1);
    EXPECT_EQ(plains, 1);
    // The second press of a double click is a click of its own.
    postClick(hwnd(form.plain), centreOf(hwnd(form.plain)), true);
    EXPECT_EQ(plains, 3);
    // Released away from the button, a press is no click; the button is up again.
    HWND plain = hwnd(form.plain);
    PostMessageA(plain, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    pump();
    EXPECT_EQ(GetCapture(), plain);
    EXPECT_TRUE(SendMessageA(plain, BM_GETSTATE, 0, 0) & BST_PUSHED);
    PostMessageA(plain, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(-40, 5));
    PostMessageA(plain, WM_LBUTTONUP, 0, MAKELPARAM(-40, 5));
    pump();
    EXPECT_EQ(plains, 3);
    EXPECT_FALSE(SendMessageA(plain, BM_GETSTATE, 0, 0) & BST_PUSHED);
    EXPECT_EQ(GetCapture(), nullptr);
    // A program's click message goes the same way.
    SendMessageA(hwnd(form.ok), BM_CLICK, 0, 0);
    EXPECT_EQ(oks, 2);
    EXPECT_EQ(GetFocus(), list);
    EXPECT_TRUE(entered.empty());  // the list never lost the focus
}

TEST_F(PickerTest, FocusedButtonShowsAFocusRectangleOnlyWhenItIsAStop) {
    form.show();
    auto marked = [&](const Button& b) {
        SetFocus(hwnd(b));
        Snapshot focused(hwnd(b));
        SetFocus(hwnd(form.list));
        Snapshot unfocused(hwnd(b));
        int differ = 0;
        for (int x = 3; x < b.bounds().width - 3; ++x) differ += focused.at(x, 3) != unfocused.at(x, 3);
        return differ;
    };
    EXPECT_GT(marked(form.ok), 10);
    EXPECT_EQ(marked(form.plain), 0);
}

TEST_F(PickerTest, ListRebuiltByItsHandlerShowsTheModelsItemsAndChoice) {
    // Like a directory list: the chosen entry becomes the second of a new list.
    int choices = 0;
    form.list.onChange = [&] {
        ++choices;
        const std::string chosen = form.list.items()[static_cast<size_t>(form.list.itemIndex())];
        std::vector<std::string> items{"Z:\\", chosen};
        for (int i = 0; i < 12; ++i) items.push_back(chosen + "." + std::to_string(i));
        form.list.setItems(items);
        form.list.setItemIndex(1);
    };
    form.list.setItems({"Z:\\", "alpha", "beta", "gamma"});
    form.list.setItemIndex(1);
    form.show();
    HWND list = hwnd(form.list);
    auto itemText = [&](int index) {
        char buffer[64] = {};
        SendMessageA(list, LB_GETTEXT, WPARAM(index), reinterpret_cast<LPARAM>(buffer));
        return std::string(buffer);
    };

    SendMessageA(list, WM_KEYDOWN, VK_DOWN, 0);  // onto "beta"
    EXPECT_EQ(choices, 1);
    EXPECT_EQ(form.list.itemIndex(), 1);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 14);
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(itemText(1), "beta");
    SendMessageA(list, WM_KEYDOWN, VK_DOWN, 0);  // from the new choice, not the old one
    EXPECT_EQ(choices, 2);
    EXPECT_EQ(itemText(1), "beta.0");

    // A click chooses once, although the list changes under the pointer.
    RECT item;
    SendMessageA(list, LB_GETITEMRECT, 4, reinterpret_cast<LPARAM>(&item));
    postClick(list, {item.left + 5, item.top + 3});
    EXPECT_EQ(choices, 3);
    EXPECT_EQ(itemText(1), "beta.0.2");
    EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1);

    // A choice further down than the box shows is scrolled into view.
    form.list.onChange = nullptr;
    std::vector<std::string> many;
    for (int i = 0; i < 40; ++i) many.push_back("dir" + std::to_string(i));
    form.list.setItems(many);
    form.list.setItemIndex(30);
    const auto top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
    RECT client;
    GetClientRect(list, &client);
    EXPECT_LE(top, 30);
    EXPECT_GT(top + client.bottom / 16, 30);
}

TEST_F(PickerTest, EnterAndEscapeInAnEditBoxReachTheModel) {
    struct NameForm : Form {
        NameForm() : Form("NameForm", {0, 0, 305, 97}, "Name") {}
        Edit name{this, "Edit1", {8, 28, 289, 21}};
    } dialog;
    Win32Backend own;
    own.realize(dialog);
    HWND edit = own.windowOf(dialog.name);
    std::string keys;
    dialog.name.onKeyPress = [&](char key) { keys += key; };

    // The dialog manager leaves Enter and Escape to the box, Tab not.
    auto wants = [&](WPARAM key) {
        MSG msg{edit, WM_KEYDOWN, key, 1, 0, {0, 0}};
        return (SendMessageA(edit, WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(&msg)) &
                DLGC_WANTMESSAGE) != 0;
    };
    EXPECT_TRUE(wants(VK_RETURN));
    EXPECT_TRUE(wants(VK_ESCAPE));
    EXPECT_FALSE(wants(VK_TAB));

    SendMessageA(edit, WM_CHAR, 'x', 1);
    SendMessageA(edit, WM_CHAR, '\r', 1);
    SendMessageA(edit, WM_CHAR, 0x1b, 1);
    EXPECT_EQ(keys, "\r\x1b");
    EXPECT_EQ(dialog.name.text(), "x");
}

}  // namespace
