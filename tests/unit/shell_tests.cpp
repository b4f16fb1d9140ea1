// Hover hints and marks, the two interface modes, and the About box.
#include <gtest/gtest.h>

#include "test_support.h"

namespace qn {
namespace {

const ui::Color kHighlight = ui::Color::of(ui::SysColor::Highlight);
const ui::Color kWindowText = ui::Color::of(ui::SysColor::WindowText);

class Shell : public test::LauncherTest {
protected:
    TForm1* f = nullptr;
    void SetUp() override {
        installSettings();
        writeProgramFiles("#Alpha|alpha\r\n#Beta|beta\r\n");
        ASSERT_EQ(start(), std::nullopt);
        ASSERT_EQ(showMain(), std::nullopt);
        f = app->Form1.get();
    }
    void single() {
        f->SpeedButton9.click();
        ASSERT_TRUE(app->singleClick);
    }
    std::string panel3() const { return f->StatusBar1.panelText(3); }
};

TEST_F(Shell, HoverMarksMoveBetweenControlsInTheSingleClickInterface) {
    single();
    f->CheckBox2.mouseMove();
    EXPECT_EQ(f->markedControl(), &f->CheckBox2);
    EXPECT_EQ(f->CheckBox2.font().color, kHighlight);
    f->CheckBox4.mouseMove();
    EXPECT_EQ(f->markedControl(), &f->CheckBox4);
    EXPECT_EQ(f->CheckBox2.font().color, kWindowText);
    EXPECT_EQ(f->CheckBox4.font().color, kHighlight);
    f->ListBox1.mouseMove();  // no handler: the mark stays
    f->SpeedButton6.mouseMove();
    EXPECT_EQ(f->markedControl(), &f->CheckBox4);
    f->Edit1.mouseMove();  // a path box marks its label
    EXPECT_EQ(f->Label6.font().color, kHighlight);
    EXPECT_EQ(panel3(), "Press the '...' button to select QUON program path");
    f->TabSheet2.mouseMove();
    EXPECT_EQ(f->markedControl(), nullptr);
    EXPECT_EQ(f->Label6.font().color, kWindowText);
    EXPECT_EQ(panel3(), "Press the '...' button to select QUON program path");
}

TEST_F(Shell, LinksTurnRedAndBackToBlue) {
    single();
    f->Label18.mouseMove();
    EXPECT_EQ(f->Label18.font().color, ui::kRed);
    EXPECT_EQ(panel3(), "Click here to download PkZIP/PkUnZIP v2.04g from example.org");
    f->Label8.setFontColor(ui::kBlack);
    f->Label8.mouseMove();
    EXPECT_EQ(panel3(), "Shortcut to " + f->Label8.caption());
    EXPECT_EQ(f->Label18.font().color, ui::kBlue);
    f->GroupBox4.mouseMove();
    EXPECT_EQ(f->Label8.font().color, ui::kBlue);  // blue, whatever it was before
}

TEST_F(Shell, APageTheUserTurnsToLeavesNoHintOfThePageLeft) {
    single();
    const int row = f->ListView1.selectedRow();
    ASSERT_GE(row, 0);
    for (ui::Control* hovered : std::initializer_list<ui::Control*>{&f->CheckBox2, &f->Label8}) {
        hovered->mouseMove();
        ASSERT_NE(panel3(), f->RowHint(row));
        f->PageControl1.userSelectPage(f->PageControl1.activePage() + 1);
        EXPECT_EQ(f->markedControl(), nullptr);
        EXPECT_EQ(panel3(), f->RowHint(row));  // the list's, for the game selected
    }
    EXPECT_EQ(f->CheckBox2.font().color, kWindowText);
    f->ListView1.selectRow(-1);
    f->CheckBox2.mouseMove();
    f->PageControl1.userSelectPage(0);
    EXPECT_EQ(panel3(), "Select a game and then click on it to play");
}

TEST_F(Shell, EveryShortcutIsShownInItsButtonsTooltip) {
    int buttons = 0;
    for (const ui::Form::Shortcut& s : f->shortcuts) {
        if (!s.button) continue;  // a command of the list's (Find ...), which the README's keys name
        ++buttons;
        EXPECT_NE(s.button->hint().find("(" + s.keys + ")"), std::string::npos) << s.keys;
    }
    EXPECT_EQ(buttons, 6);
    EXPECT_NE(f->SpeedButton7.hint().find("Alt+Space, then A"), std::string::npos);
}

TEST_F(Shell, CheckBoxHintsFollowTheStateAtTheMove) {
    f->CheckBox2.setChecked(true);
    f->CheckBox2.mouseMove();
    EXPECT_EQ(panel3(), "Click to enable sound");
    f->CheckBox2.click();
    EXPECT_EQ(panel3(), "Click to enable sound");  // until the pointer moves again
    f->CheckBox2.mouseMove();
    EXPECT_EQ(panel3(), "Click to disable sound");
    // The common interface marks nothing.
    EXPECT_EQ(f->markedControl(), nullptr);
    EXPECT_EQ(f->CheckBox2.font().color, kWindowText);
}

TEST_F(Shell, UnzipBoxesHintOnlyInCompressedMode) {
    single();
    f->StatusBar1.setPanelText(3, "before");
    f->Edit2.mouseMove();
    EXPECT_EQ(panel3(), "before");
    EXPECT_EQ(f->Label2.font().color, kHighlight);
    f->CheckBox7.setChecked(true);
    f->Edit3.mouseMove();
    EXPECT_EQ(panel3(), "Press the '...' button to select your zipped ROMs path");
}

TEST_F(Shell, PictureComboAndModeButtonHints) {
    single();
    f->CheckBox5.mouseMove();
    f->SpeedButton10.mouseMove();  // neither marks nor unmarks
    EXPECT_EQ(f->markedControl(), &f->CheckBox5);
    EXPECT_EQ(panel3(), "Press this button to change to the common interface");
    f->Image1.mouseMove();
    EXPECT_EQ(f->markedControl(), nullptr);
    EXPECT_EQ(panel3(), "Right-Click to see Tolvane's QUON FrontEnd logo");  // no logo file
    app->state.CurrentPicture = "tolvane2.jpg";
    f->Image1.mouseMove();
    EXPECT_EQ(panel3(), "Left-Click to see another image");
    f->ComboBox1.enter();
    EXPECT_EQ(panel3(), "Click here to select what ROMs are listed below");
}

TEST_F(Shell, SwitchingTheModeReappliesEverything) {
    int shows = 0;
    auto previous = f->onShow;
    f->onShow = [&] { ++shows; previous(); };
    f->ListView1.selectRow(1);
    f->SpeedButton9.click();
    EXPECT_EQ(shows, 1);
    EXPECT_TRUE(f->SpeedButton9.pressed());
    EXPECT_FALSE(f->SpeedButton10.pressed());
    EXPECT_TRUE(f->SpeedButton2.flat());
    EXPECT_EQ(f->CheckBox7.cursor(), ui::Cursor::HandPoint);
    EXPECT_EQ(f->Label16.cursor(), ui::Cursor::HandPoint);
    EXPECT_EQ(f->SpeedButton7.cursor(), ui::Cursor::Help);
    EXPECT_EQ(f->SpeedButton11.cursor(), ui::Cursor::Default);
    EXPECT_TRUE(f->ListView1.hotTrack());
    EXPECT_TRUE(f->PageControl1.hotTrack());
    EXPECT_EQ(panel3(), "Select a game and then click on it to play");
    // In plain mode every showing refills the list, which selects its first row.
    EXPECT_EQ(f->ListView1.selectedRow(), 0);
    f->CheckBox3.mouseMove();
    f->SpeedButton10.click();
    EXPECT_EQ(shows, 2);
    EXPECT_EQ(f->CheckBox3.font().color, kWindowText);
    EXPECT_FALSE(f->SpeedButton1.flat());
    EXPECT_EQ(f->CheckBox7.cursor(), ui::Cursor::Default);
    EXPECT_FALSE(f->ListView1.hotTrack());
    f->SpeedButton10.click();  // the mode in force: shown again all the same
    EXPECT_EQ(shows, 3);
    EXPECT_TRUE(f->SpeedButton10.pressed());
}

TEST_F(Shell, StoredCoolInterfaceStartsInSingleClickMode) {
    os.setString(RootKey::LocalMachine, kSettingsKey, "Interface", "Cool");
    app = std::make_unique<App>(os);
    ASSERT_EQ(start(), std::nullopt);
    EXPECT_TRUE(app->Form1->SpeedButton10.pressed());
    ASSERT_EQ(showMain(), std::nullopt);
    EXPECT_TRUE(app->Form1->SpeedButton9.pressed());
    EXPECT_TRUE(app->Form1->ListView1.hotTrack());
}

class About : public Shell {
protected:
    TForm4* a = nullptr;
    void open(const std::optional<std::string>& text) {
        if (text) os.writeFile(test::kProgramDir + "abouttxt.dat", *text);
        f->SpeedButton7.click();
        a = app->Form4.get();
    }
    void drag(int x) {
        ui::MouseEvent e;
        e.x = x;
        e.leftHeld = true;
        a->ProgressBar2.mouseMove(e);
    }
};

TEST_F(About, ShowsTheFirstLineOnly) {
    open(std::string("first\nstill first\rsecond\r\n", 25));
    EXPECT_EQ(a->aboutText(), "first\nstill first");
    EXPECT_EQ(a->Edit1.text(), "first\nstill first");
    EXPECT_EQ(a->ProgressBar1.maximum(), 17);
    EXPECT_EQ(a->ProgressBar2.position(), 0);
    a->close();
    os.writeFile(test::kProgramDir + "abouttxt.dat", "x\x1ay");
    f->SpeedButton7.click();
    EXPECT_EQ(a->aboutText(), "x");
}

TEST_F(About, DraggingScrollsTheMessage) {
    std::string text;
    for (int i = 0; i < 722; ++i) text += static_cast<char>('a' + i % 26);
    open(text);
    drag(180);  // 722 / (361 / 180) = 360
    EXPECT_EQ(a->ProgressBar1.position(), 360);
    EXPECT_EQ(a->ProgressBar2.position(), 360);
    EXPECT_EQ(a->Edit1.text(), text.substr(360));
    drag(0);  // counts as 1: 722 / 361 = 2
    EXPECT_EQ(a->ProgressBar1.position(), 2);
    drag(-30);
    EXPECT_EQ(a->Edit1.text(), text + "");
    EXPECT_EQ(a->ProgressBar1.position(), 0);
    drag(500);  // past the right end
    EXPECT_EQ(a->ProgressBar1.position(), 722);
    EXPECT_EQ(a->Edit1.text(), "<" + std::string(255, '-'));
    ui::MouseEvent move;
    move.x = 100;  // no button held: nothing moves
    a->ProgressBar1.mouseMove(move);
    EXPECT_EQ(a->ProgressBar1.position(), 722);
}

TEST_F(About, KeysStepThroughTheSlicesADragShows) {
    using Key = ui::Form::Key;
    std::string text;
    for (int i = 0; i < 722; ++i) text += static_cast<char>('a' + i % 26);
    open(text);
    // Each pixel of the bar is two characters of this message.
    const struct {
        Key key;
        int position;
    } steps[] = {{Key::Right, 2}, {Key::Right, 4}, {Key::Left, 2}, {Key::Left, 0}, {Key::Left, 0},
                 {Key::End, 722}, {Key::Right, 722}, {Key::Left, 720}, {Key::Home, 0}};
    for (const auto& step : steps) {
        EXPECT_TRUE(a->keyDown(step.key));
        EXPECT_EQ(a->ProgressBar1.position(), step.position);
        EXPECT_EQ(a->ProgressBar2.position(), step.position);
    }
    a->keyDown(Key::Right);
    EXPECT_EQ(a->Edit1.text(), text.substr(2));
    // A message shorter than the bar: several pixels per character, but
    // every press still moves by one.
    a->close();
    open(std::string(100, 'm'));
    for (int i = 1; i <= 100; ++i) {
        a->keyDown(Key::Right);
        ASSERT_EQ(a->ProgressBar1.position(), i);
    }
}

TEST_F(About, ShortSlicesAreFilledToTheFullWidth) {
    open(std::string(300, 'm'));
    a->ProgressBar1.setPosition(100);
    a->ShowAboutSlice();
    EXPECT_EQ(a->Edit1.text(), std::string(200, 'm') + "<" + std::string(55, '-'));
    ui::MouseEvent up;
    up.x = 361;
    up.button = ui::MouseEvent::Right;
    up.leftHeld = true;  // another button released during a drag
    a->ProgressBar1.mouseUp(up);
    EXPECT_EQ(a->ProgressBar1.position(), 300);
    up.button = ui::MouseEvent::Left;
    up.leftHeld = false;
    up.x = 0;
    a->ProgressBar1.mouseUp(up);
    EXPECT_EQ(a->ProgressBar1.position(), 300);
}

TEST_F(About, MissingFileShowsTheFallback) {
    open(std::nullopt);
    const std::string fallback = "<" + std::string(253, '-') + ">";
    EXPECT_EQ(a->Edit1.text(), fallback);
    a->ProgressBar1.setPosition(1);
    a->ShowAboutSlice();
    EXPECT_EQ(a->Edit1.text(), std::string(253, '-') + "><" + std::string(1, '-'));
}

TEST_F(About, ButtonMarkOnlyInTheSingleClickInterface) {
    open("text");
    a->SpeedButton1.mouseMove();
    EXPECT_EQ(a->SpeedButton1.font().color, ui::kBlack);
    a->close();
    single();
    f->SpeedButton7.click();
    EXPECT_TRUE(a->SpeedButton1.flat());
    a->SpeedButton1.mouseMove();
    EXPECT_EQ(a->SpeedButton1.font().color, kHighlight);
    a->Image1.mouseMove();
    EXPECT_EQ(a->SpeedButton1.font().color, kWindowText);
    a->close();
    f->SpeedButton10.click();
    f->SpeedButton7.click();
    EXPECT_TRUE(a->SpeedButton1.flat());  // stays flat once made flat
}

}  // namespace
}  // namespace qn
