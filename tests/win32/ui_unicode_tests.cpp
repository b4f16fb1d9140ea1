// Texts the code page cannot spell, UTF-8 in the model, on every kind of
// window that shows one, and back from the one the user types into.
#include <gtest/gtest.h>

#include "ui/tree_view.h"
#include "ui_backend_fixture.h"

using namespace qn::ui;
using namespace qn_ui_test;

namespace {

const std::string kRussian = "\xD0\xB8\xD0\xB3\xD1\x80\xD1\x8B";  // lower case, as the box keeps it
const std::wstring kRussianW = L"\x0438\x0433\x0440\x044B";
const std::string kJapanese = "\xE3\x82\xB2\xE3\x83\xBC\xE3\x83\xA0";
const std::wstring kJapaneseW = L"\x30B2\x30FC\x30E0";

std::wstring wideText(HWND hwnd) {
    wchar_t buffer[128] = {};
    GetWindowTextW(hwnd, buffer, 128);
    return buffer;
}

TEST_F(BackendTest, TextsOfAnyScriptShowAsTheModelHoldsThem) {
    form.setCaption(kJapanese);
    form.label.setCaption(kRussian);
    form.edit.setText("C:\\" + kJapanese + "\\" + kRussian);
    form.combo.setItems({kRussian, kJapanese});
    form.view.addRow({kJapanese, kRussian});
    form.status.setPanelText(1, kRussian);
    form.sheet2.setCaption(kJapanese);
    EXPECT_EQ(wideText(window), kJapaneseW);
    EXPECT_EQ(wideText(hwnd(form.label)), kRussianW);
    EXPECT_EQ(wideText(hwnd(form.edit)), L"c:\\" + kJapaneseW + L"\\" + kRussianW);

    wchar_t buffer[64] = {};
    SendMessageW(hwnd(form.combo), CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(buffer));
    EXPECT_EQ(std::wstring(buffer), kJapaneseW);
    LVITEMW item{};
    item.iSubItem = 1;
    item.pszText = buffer;
    item.cchTextMax = 64;
    SendMessageW(hwnd(form.view), LVM_GETITEMTEXTW, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(std::wstring(buffer), kRussianW);
    SendMessageW(hwnd(form.status), SB_GETTEXTW, 1, reinterpret_cast<LPARAM>(buffer));
    EXPECT_EQ(std::wstring(buffer), kRussianW);
    TCITEMW tab{};
    tab.mask = TCIF_TEXT;
    tab.pszText = buffer;
    tab.cchTextMax = 64;
    SendMessageW(hwnd(form.pages), TCM_GETITEMW, 1, reinterpret_cast<LPARAM>(&tab));
    EXPECT_EQ(std::wstring(buffer), kJapaneseW);

    // What the window is given comes into the model as UTF-8.
    SetWindowTextW(hwnd(form.inner), (kJapaneseW + L" " + kRussianW).c_str());
    pump();
    EXPECT_EQ(form.inner.text(), kJapanese + " " + kRussian);
}

TEST_F(BackendTest, TextInOtherScriptsIsDrawnInAFaceThatHasItsLetters) {
    const std::string greek = "\xCE\x91\xCF\x81\xCF\x87\xCE\xB5\xCE\xAF\xCE\xB1";  // Αρχεία
    const std::wstring greekW = L"\x0391\x03C1\x03C7\x03B5\x03AF\x03B1";
    const std::string latin = "Caf\xC3\xA9";
    Form dialog("Pick", {0, 0, 200, 200}, "Pick");
    TreeView tree{&dialog, "Tree", {8, 8, 180, 180}};
    backend.realize(dialog);
    const int root = tree.addRoot("C:\\");
    tree.setChildren(root, {"Games", greek});
    form.label.setCaption(kRussian);
    form.status.setPanelText(2, greek);
    form.check.setCaption(latin);  // the layout's face has these: it stays
    const LRESULT checkFont = SendMessageW(hwnd(form.check), WM_GETFONT, 0, 0);
    const struct {
        HWND window;
        std::wstring text;
    } rows[] = {{backend.windowOf(tree), greekW}, {hwnd(form.label), kRussianW}, {hwnd(form.status), greekW}};
    for (const auto& row : rows) EXPECT_TRUE(WindowFont(row.window).hasGlyphs(row.text)) << text(row.window);
    EXPECT_EQ(checkFont, SendMessageW(hwnd(form.edit), WM_GETFONT, 0, 0));
    form.label.setCaption("Plain");  // and back to the layout's face
    EXPECT_EQ(SendMessageW(hwnd(form.label), WM_GETFONT, 0, 0), SendMessageW(hwnd(form.edit), WM_GETFONT, 0, 0));
}

}  // namespace
