#include <gtest/gtest.h>

#include "ui/contrast.h"
#include "ui/widgets.h"

namespace qn::ui {
namespace {

struct Recorder : Peer {
    std::vector<std::pair<Property, int>> changes;
    void changed(Control&, Property p, int index) override { changes.emplace_back(p, index); }
};

TEST(Widgets, CheckBoxRunsItsHandlerOnlyWhenTheStateChanges) {
    Form form("F", {0, 0, 100, 100}, "");
    CheckBox box(&form, "CheckBox1", {}, "x");
    int clicks = 0;
    box.onClick = [&] { ++clicks; };
    box.setChecked(false);
    EXPECT_EQ(clicks, 0);
    box.setChecked(true);
    box.setChecked(true);
    EXPECT_EQ(clicks, 1);
    box.click();  // the user's toggle
    EXPECT_FALSE(box.checked());
    EXPECT_EQ(clicks, 2);
    box.setEnabled(false);
    box.click();
    EXPECT_EQ(clicks, 2);
}

TEST(Widgets, ALowerCaseEditShowsWhatTheProgramGivesItAsGiven) {
    Form form("F", {0, 0, 100, 100}, "");
    Edit edit(&form, "Edit1", {}, true);
    std::vector<std::string> seen;
    edit.onChange = [&] { seen.push_back(edit.text()); };
    edit.setText("C:\\Games\\");
    edit.setText("C:\\Games\\");  // the same text: no change
    edit.setText("c:\\games\\");
    EXPECT_EQ(seen, (std::vector<std::string>{"C:\\Games\\", "c:\\games\\"}));
}

TEST(Widgets, AStateShownFromCodeRunsNoHandlerButASetOneDoes) {
    Form form("F", {0, 0, 100, 100}, "");
    CheckBox box(&form, "CheckBox1", {}, "x");
    int clicks = 0;
    box.onClick = [&] { ++clicks; };
    box.showChecked(true);
    EXPECT_TRUE(box.checked());
    EXPECT_EQ(clicks, 0);
    box.setChecked(false);
    EXPECT_EQ(clicks, 1);

    ListView list(&form, "ListView1", {}, {{"Name", 10}});
    list.setRows({{"a"}, {"b"}});
    std::vector<int> reported;
    list.onChange = [&](int row) { reported.push_back(row); };
    list.showSelected(0);
    EXPECT_EQ(list.selectedRow(), 0);
    list.selectRow(1);
    EXPECT_EQ(reported, (std::vector<int>{0, 1}));
}

TEST(Widgets, IndexSetFromCodeRunsNoHandlerButTheUsersSelectionDoes) {
    Form form("F", {0, 0, 100, 100}, "");
    ComboBox combo(&form, "ComboBox1", {}, {"a", "b", "c"});
    int changes = 0;
    combo.onChange = [&] { ++changes; };
    combo.setItemIndex(2);
    EXPECT_EQ(changes, 0);
    combo.userSelect(1);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(combo.itemIndex(), 1);
    combo.setItemIndex(7);
    EXPECT_EQ(combo.itemIndex(), -1);
}

TEST(Widgets, ListViewReportsTheRowLosingThenTheRowGainingTheSelection) {
    Form form("F", {0, 0, 100, 100}, "");
    ListView list(&form, "ListView1", {}, {{"Name", 10}, {"Path", 10}});
    std::vector<std::pair<int, bool>> events;
    list.onChange = [&](int row) { events.emplace_back(row, list.isSelected(row)); };
    list.addRow({"A", "a"});
    list.addRow({"B", "b", "surplus"});
    EXPECT_EQ(list.row(1).size(), 2u);
    list.selectRow(0);
    list.selectRow(1);
    list.selectRow(1);
    list.selectRow(-1);  // a click below the last row
    EXPECT_EQ(events, (std::vector<std::pair<int, bool>>{{0, true}, {0, false}, {1, true}, {1, false}}));
    list.selectRow(0);
    events.clear();
    list.clear();
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(list.selectedRow(), -1);
}

TEST(Widgets, ListViewCompletesARowWhenFirstReadAndNeverForItsCaption) {
    Form form("F", {0, 0, 100, 100}, "");
    ListView list(&form, "ListView1", {}, {{"Name", 10}, {"Mark", 10}});
    std::vector<int> completed;
    list.setRows({{"A"}, {"B"}, {"C"}}, [&](int row, std::vector<std::string>& cells) {
        completed.push_back(row);
        cells = {"changed", "mark" + std::to_string(row), "surplus"};
    });
    EXPECT_EQ(list.caption(2), "C");
    list.selectRow(1);
    EXPECT_TRUE(completed.empty());
    EXPECT_EQ(list.row(1), (std::vector<std::string>{"changed", "mark1"}));
    EXPECT_EQ(list.row(1)[1], "mark1");
    EXPECT_EQ(completed, std::vector<int>{1});
    list.addRow({"D", "d"});  // a row added whole is not completed
    EXPECT_EQ(list.row(3)[1], "d");
    list.setRows({{"E", "e"}});  // a plain refill drops the completer
    EXPECT_EQ(list.row(0)[1], "e");
    EXPECT_EQ(completed, std::vector<int>{1});
}

TEST(Widgets, ImageDrawsAPictureWhenFirstReadAndNeverOneReplacedBefore) {
    Form form("F", {0, 0, 100, 100}, "");
    Image image(&form, "Image1", {});
    std::vector<int> drawn;
    auto drawing = [&](int width) {
        return [&drawn, width] {
            drawn.push_back(width);
            return Bitmap{width, 1, std::vector<std::uint8_t>(static_cast<size_t>(width) * 3)};
        };
    };
    image.setPicture(drawing(1));
    image.setPicture(drawing(2));
    EXPECT_TRUE(drawn.empty());
    EXPECT_EQ(image.picture().width, 2);
    EXPECT_EQ(image.picture().width, 2);
    EXPECT_EQ(drawn, std::vector<int>{2});
    image.setPicture(drawing(3));
    image.setPicture(Bitmap{4, 1, std::vector<std::uint8_t>(12)});  // a finished one replaces it too
    EXPECT_EQ(image.picture().width, 4);
    EXPECT_EQ(drawn, std::vector<int>{2});
}

TEST(Widgets, GroupButtonsKeepExactlyOnePressed) {
    Form form("F", {0, 0, 100, 100}, "");
    Button a(&form, "A", {}, "a", 1), b(&form, "B", {}, "b", 1), loose(&form, "C", {}, "c");
    b.setPressed(true);
    int clicksA = 0;
    a.onClick = [&] { ++clicksA; };
    a.click();
    EXPECT_TRUE(a.pressed());
    EXPECT_FALSE(b.pressed());
    a.click();  // clicking the pressed one leaves it pressed and still reports
    EXPECT_TRUE(a.pressed());
    EXPECT_EQ(clicksA, 2);
    loose.click();
    EXPECT_FALSE(loose.pressed());
}

TEST(Widgets, FormShowRunsOnShowBeforeItBecomesVisibleAndOnlyWhenHidden) {
    Form form("F", {0, 0, 100, 100}, "");
    Recorder peer;
    form.setPeer(&peer);
    int shows = 0;
    form.onShow = [&] {
        ++shows;
        EXPECT_FALSE(form.visible());
    };
    form.show();
    form.show();
    EXPECT_EQ(shows, 1);
    EXPECT_TRUE(form.visible());
    form.hide();
    form.show();
    EXPECT_EQ(shows, 2);
    EXPECT_EQ(peer.changes.back().first, Property::Visible);
}

TEST(Widgets, AFormMadeOnFirstShowIsMadeOnceAndBeforeItsShowHandler) {
    Form form("F", {0, 0, 100, 100}, "");
    std::vector<std::string> events;
    form.beforeFirstShow = [&] { events.push_back("made"); };
    form.onShow = [&] { events.push_back("shown"); };
    form.show();
    form.hide();
    form.show();
    EXPECT_EQ(events, (std::vector<std::string>{"made", "shown", "shown"}));
}

TEST(Widgets, ChildrenTakeTheParentsFontAndTabOrder) {
    Form form("F", {0, 0, 100, 100}, "");
    Panel panel(&form, "P", {});
    Font big;
    big.points = 12;
    panel.setFont(big);
    Label later(&panel, "L", {}, "x");
    CheckBox second(&panel, "C", {}, "y");
    EXPECT_EQ(later.font().points, 12);
    EXPECT_EQ(second.tabOrder(), 1);
    EXPECT_TRUE(second.tabStop());
    EXPECT_FALSE(later.tabStop());
}

TEST(Widgets, ProgressBarHoldsItsPositionWithinTheRange) {
    Form form("F", {0, 0, 100, 100}, "");
    ProgressBar bar(&form, "P", {});
    bar.setMaximum(722);
    bar.setPosition(900);
    EXPECT_EQ(bar.position(), 722);
    bar.setPosition(-4);
    EXPECT_EQ(bar.position(), 0);
    bar.setPosition(300);
    bar.setMaximum(0);
    EXPECT_EQ(bar.position(), 0);
}

TEST(Widgets, TypingGoesToTheFirstRowStartingWithTheTextBlanksAndAll) {
    Form form("F", {0, 0, 100, 100}, "");
    ListView list(&form, "ListView1", {}, {{"Name", 10}});
    list.setRows({{"Raiden"}, {"Radiant Silvergun"}, {"radiant Type I"}, {"Radiant Type II"}, {"Zed"}});
    // Characters 100 ms apart make one text; a pause of seconds starts another.
    struct Typed {
        const char* text;
        unsigned at;
        int row;
    } typing[] = {
        {"r", 0, 0},              // the first row it starts
        {"ad", 100, 1},           // "rad"
        {"iant t", 300, 2},       // the blank is part of the text
        {"ype ii", 1000, 3},
        {"z", 5000, 4},           // after a pause, a new text
        {"r", 9000, 0},           // the same letter again and again steps on
        {"r", 9100, 1},
        {"r", 9200, 2},
    };
    for (const Typed& t : typing) {
        unsigned at = t.at;
        for (const char* c = t.text; *c; ++c, at += 100) EXPECT_TRUE(list.typeCharacter(std::string(1, *c), at));
        EXPECT_EQ(list.selectedRow(), t.row) << t.text;
    }
    EXPECT_FALSE(list.typeCharacter(" ", 20000));  // a blank starts no text: the list's own key
    EXPECT_EQ(list.selectedRow(), 2);
}

TEST(Contrast, AnOwnColourIsKeptWhereItCanBeReadAndGivesWayWhereNot) {
    const Rgb blue{0, 0, 255}, red{255, 0, 0}, black{0, 0, 0}, white{255, 255, 255};
    const Rgb lightFace{245, 245, 245}, greyFace{192, 192, 192}, darkFace{32, 32, 32};
    const Rgb hotLight{224, 224, 224}, darkBlue{0, 0, 128};
    EXPECT_NEAR(contrastRatio(black, white), 21.0, 1e-9);
    EXPECT_NEAR(contrastRatio(blue, darkFace), 1.90, 0.01);  // the links under a dark scheme
    const struct {
        Rgb own, scheme, text, face;
        double minimum;
        Rgb drawn;
    } rows[] = {
        {blue, hotLight, black, lightFace, kTextContrast, blue},   // a link, default scheme
        {blue, hotLight, black, greyFace, kTextContrast, blue},    // 4.7:1 on the old grey
        {blue, hotLight, white, darkFace, kTextContrast, hotLight},  // dark: the scheme's link colour
        {blue, darkBlue, white, darkFace, kTextContrast, white},   // ... or, unreadable too, its text
        {black, white, white, darkFace, kTextContrast, white},     // the About box's button
        {black, black, black, lightFace, kTextContrast, black},
        {red, blue, black, lightFace, kMarkContrast, red},         // a hover mark needs less
        {red, white, white, darkFace, kMarkContrast, red},
        {red, blue, black, lightFace, kTextContrast, blue},
        {darkBlue, darkBlue, Rgb{40, 40, 40}, darkFace, kTextContrast, Rgb{40, 40, 40}},  // none: the best
    };
    for (const auto& row : rows) {
        const Rgb got = firstReadable({row.own, row.scheme, row.text}, row.face, row.minimum);
        EXPECT_TRUE(got == row.drawn) << int(got.r) << ' ' << int(got.g) << ' ' << int(got.b);
    }
}

}  // namespace
}  // namespace qn::ui
