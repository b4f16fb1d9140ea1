#include <gtest/gtest.h>

#include "test_support.h"

namespace qn {
namespace {

// Five games: complete, incomplete, without required files, zipped only,
// and the two with game-specific options.
class GameList : public test::LauncherTest {
protected:
    TForm1* f = nullptr;

    void SetUp() override {
        installSettings();
        os.setString(RootKey::LocalMachine, kSettingsKey, "Quon Path", "C:\\Quon\\");
        writeProgramFiles("#Sample Shooter|sshoot\r\n#Half Done|half\r\n"
                          "#Image Fighter|imgfight\r\n#Gun Force|gunforce\r\n#No Files|nofiles\r\n",
                          "sshoot\\a.rom\r\nsshoot\\b.rom\r\nhalf\\h1.rom\r\nhalf\\h2.rom\r\n"
                          "broken line\r\nimgfight\\if.rom\r\ngunforce\\gf.rom\r\n");
        for (const char* file : {"sshoot\\a.rom", "sshoot\\b.rom", "half\\h1.rom", "imgfight\\if.rom",
                                 "sshoot\\sshoot.qun", "imgfight\\imgfight.qun"})
            os.writeFile(std::string("C:\\Quon\\") + file, "x");
        os.writeFile(test::kProgramDir + "screens\\tolvane1.jpg", "jpeg");
        os.writeFile(test::kProgramDir + "screens\\sshoot.jpg", "jpeg");
        ASSERT_EQ(start(), std::nullopt);
        ASSERT_EQ(showMain(), std::nullopt);
        f = app->Form1.get();
    }
    std::vector<std::string> column(int c) const {
        std::vector<std::string> out;
        for (int r = 0; r < f->ListView1.rowCount(); ++r) out.push_back(f->ListView1.row(r)[c]);
        return out;
    }
    using Strings = std::vector<std::string>;
};

TEST_F(GameList, FirstShowingListsEveryGameWithItsAvailability) {
    EXPECT_EQ(column(1), (Strings{"sshoot", "half", "imgfight", "gunforce", "nofiles"}));
    // A line without a backslash does not shift the later groups; a game
    // without a group needs no file.
    EXPECT_EQ(column(2), (Strings{"Yes", "No", "Yes", "No", "Yes"}));
    EXPECT_EQ(f->ListView1.selectedRow(), 0);
    EXPECT_EQ(f->SpeedButton1.caption(), "Run Sample Shooter");
    EXPECT_EQ(app->state.CurrentPicture, "tolvane1.jpg");  // the logo comes last
    EXPECT_EQ(os.currentDirectory(), "C:\\");
}

TEST_F(GameList, AvailabilityFollowsTheFourModes) {
    os.writeFile("C:\\Zips\\sshoot.zip", "z");
    os.writeFile("C:\\Zips\\half.zip", "z");
    os.writeFile("C:\\Zips\\gunforce.zip", "z");
    os.writeFile("C:\\Drivers\\half.qun", "d");
    os.writeFile("C:\\Drivers\\imgfight.qun", "d");
    auto availability = [&] {
        f->EvaluateAvailability();
        std::string out;
        for (int g = 0; g < app->catalogue.size(); ++g) out += f->GameAvailable(g) ? 'Y' : 'N';
        return out;
    };
    app->tpaths.romsPath = "C:\\Zips\\";
    app->tpaths.driversPath = "C:\\Drivers\\";
    EXPECT_EQ(availability(), "YNYNY");  // plain
    f->CheckBox8.setChecked(true);        // plain + drivers directory
    app->tpaths.driversPath = "C:\\Drivers\\";
    EXPECT_EQ(availability(), "NNYNN");
    f->CheckBox7.setChecked(true);        // zipped + drivers directory
    app->tpaths.romsPath = "C:\\Zips\\";
    EXPECT_EQ(availability(), "NYNNN");
    f->CheckBox8.setChecked(false);       // zipped, driver beside the ROMs
    app->tpaths.romsPath = "C:\\Zips\\";
    EXPECT_EQ(availability(), "YNNNN");
}

TEST_F(GameList, EmptyEmulatorDirectoryLooksUnderDriveC) {
    os.writeFile("C:\\half\\h1.rom", "x");
    os.writeFile("C:\\half\\h2.rom", "x");
    app->tpaths.emulatorPath = "";
    os.setCurrentDirectory("C:\\Quon");
    f->EvaluateAvailability();
    EXPECT_TRUE(f->GameAvailable(1));
    EXPECT_FALSE(f->GameAvailable(0));
    // The lookups build full paths; the outside, which sees a current
    // directory, is given C:\ as it starts.
    EXPECT_EQ(os.currentDirectory(), "C:\\Quon");
    EXPECT_EQ(app->state.outsideDirectory, "C:\\");
    f->SpeedButton2.click();
    EXPECT_EQ(os.currentDirectory(), "C:\\");
    ASSERT_EQ(os.shellOpened.size(), 1u);
    EXPECT_EQ(os.shellOpened[0].second, "C:\\");
}

TEST_F(GameList, DirectoriesDoNotCountAsFiles) {
    os.makeDirectories("C:\\Quon\\half\\h2.rom");
    f->EvaluateAvailability();
    EXPECT_FALSE(f->GameAvailable(1));
}

TEST_F(GameList, FilterChangeShowsTheLogoAndKeepsTheOptionBoxes) {
    f->ListView1.selectRow(2);  // imgfight: both game-specific boxes
    EXPECT_TRUE(f->CheckBox9.enabled());
    f->CheckBox2.setChecked(true);
    f->ComboBox1.userSelect(2);
    EXPECT_EQ(column(1), (Strings{"half", "gunforce"}));
    EXPECT_EQ(column(2), (Strings{"No", "No"}));
    EXPECT_EQ(f->ListView1.selectedRow(), 0);
    EXPECT_EQ(app->state.CurrentPicture, "tolvane1.jpg");
    EXPECT_TRUE(f->CheckBox2.checked());
    EXPECT_FALSE(f->CheckBox6.enabled());
    EXPECT_FALSE(f->CheckBox9.enabled());
    EXPECT_EQ(f->SpeedButton1.caption(), "Cannot run Half Done");
    EXPECT_EQ(f->StatusBar1.panelText(3), "Half Done is not available. Doubleclick to know why");
}

TEST_F(GameList, AvailableFilterWithNothingAvailableLeavesTheListEmpty) {
    os.makeDirectories("C:\\Drivers");
    f->CheckBox8.setChecked(true);
    f->paths.take(PathBox::Drivers, "C:\\Drivers\\");  // no driver there: no game can run
    column(2);  // every row shown once: the evaluation is complete
    f->ListView1.selectRow(2);
    f->ComboBox1.userSelect(1);
    EXPECT_EQ(f->ListView1.rowCount(), 0);
    EXPECT_EQ(f->ListView1.selectedRow(), -1);
    // Nothing of the game selected before stays named.
    EXPECT_EQ(f->SpeedButton1.caption(), "No ROMs available");
    EXPECT_EQ(f->StatusBar1.panelText(3), "No ROM available to run");
    EXPECT_FALSE(f->CheckBox9.enabled());
    f->ComboBox1.userSelect(0);  // refilled from the last evaluation, nothing tested
    EXPECT_EQ(column(2), (Strings{"No", "No", "No", "No", "No"}));
}

TEST_F(GameList, SelectingARowShowsItsPictureFlagsAndRunTexts) {
    app->catalogue.games[3].OptionFlags = {true, false, false, true, false, true, false, false};
    f->ListView1.selectRow(3);  // gunforce: unavailable, FrameSkip only
    EXPECT_TRUE(f->CheckBox6.enabled());
    EXPECT_FALSE(f->CheckBox9.enabled());
    EXPECT_TRUE(f->CheckBox1.checked());
    EXPECT_TRUE(f->CheckBox4.checked());
    EXPECT_TRUE(f->CheckBox6.checked());  // a disabled box still shows its flag
    EXPECT_EQ(app->state.CurrentPicture, "");  // no screenshot: the placeholder
    EXPECT_EQ(f->SpeedButton1.caption(), "Cannot run Gun Force");
    f->ListView1.selectRow(0);
    EXPECT_EQ(app->state.CurrentPicture, "sshoot.jpg");
    EXPECT_FALSE(f->CheckBox6.enabled());
    EXPECT_EQ(f->StatusBar1.panelText(3), "Doubleclick to run Sample Shooter");
    app->singleClick = true;
    f->ListView1.selectRow(1);
    EXPECT_EQ(f->StatusBar1.panelText(3), "Half Done is not available. Click to know why");
    f->ListView1.selectRow(-1);  // a click below the last row
    EXPECT_EQ(f->StatusBar1.panelText(3), "No ROM available to run");
}

TEST_F(GameList, ButtonCaptionDependsOnFilterAndRowCount) {
    os.writeFile("C:\\Drivers\\sshoot.qun", "d");
    f->CheckBox8.setChecked(true);
    f->paths.take(PathBox::Drivers, "C:\\Drivers\\");  // only sshoot has its driver there
    f->ComboBox1.userSelect(1);
    EXPECT_EQ(f->SpeedButton1.caption(), "Run Sample Shooter");
    for (const char* file : {"half\\h2.rom", "gunforce\\gf.rom"}) os.writeFile(std::string("C:\\Quon\\") + file, "x");
    os.deleteFile("C:\\Quon\\sshoot\\b.rom");
    f->CheckBox8.setChecked(false);  // in plain mode only sshoot is incomplete
    f->ComboBox1.userSelect(2);
    EXPECT_EQ(f->SpeedButton1.caption(), "No ROMs available");
}

TEST_F(GameList, UncheckingCompressedModeForgetsBothSettings) {
    f->CheckBox7.setChecked(true);
    f->paths.take(PathBox::Unzip, "C:\\Tools\\PKUNZIP.EXE");
    f->paths.take(PathBox::Roms, "C:\\Zips");
    EXPECT_EQ(app->tpaths.unzipProgram, "c:\\tools\\pkunzip.exe");
    EXPECT_EQ(app->tpaths.romsPath, "c:\\zips\\");
    EXPECT_EQ(f->Edit3.text(), "c:\\zips");
    EXPECT_EQ(f->StatusBar1.panelText(2), "Zipped ROMs");
    EXPECT_TRUE(f->SpeedButton5.enabled());
    f->CheckBox7.setChecked(false);
    EXPECT_EQ(app->tpaths.unzipProgram, "");
    EXPECT_EQ(app->tpaths.romsPath, "");
    EXPECT_EQ(f->Edit2.text(), "");
    EXPECT_EQ(*f->Edit3.color(), ui::Color::of(ui::SysColor::ButtonFace));
    f->CheckBox7.setChecked(true);
    EXPECT_EQ(f->Edit3.text(), "");
    EXPECT_EQ(*f->Edit3.color(), ui::Color::of(ui::SysColor::Window));
}

TEST_F(GameList, NewEmulatorDirectoryRefillsOnlyInPlainMode) {
    os.writeFile("C:\\Other\\half\\h1.rom", "x");
    os.writeFile("C:\\Other\\half\\h2.rom", "x");
    f->CheckBox7.setChecked(true);
    f->paths.take(PathBox::Emulator, "C:\\Other");
    EXPECT_EQ(app->tpaths.emulatorPath, "c:\\other\\");
    f->CheckBox7.setChecked(false);
    EXPECT_EQ(column(2)[1], "Yes");
    f->paths.take(PathBox::Emulator, "C:\\Quon\\");
    EXPECT_EQ(column(2)[1], "No");
}

TEST_F(GameList, DriversPathFollowsItsCheckBox) {
    f->CheckBox8.setChecked(true);
    EXPECT_TRUE(f->SpeedButton8.enabled());
    EXPECT_EQ(column(2), (Strings{"No", "No", "No", "No", "No"}));  // empty drivers path
    os.writeFile("C:\\Drivers\\sshoot.qun", "d");
    f->paths.take(PathBox::Drivers, "C:\\DRIVERS");
    EXPECT_EQ(app->tpaths.driversPath, "c:\\drivers\\");
    EXPECT_EQ(column(2)[0], "Yes");
    f->ListView1.selectRow(1);
    f->ShowUnavailabilityReport();  // judges without the drivers path: no effect on the settings
    EXPECT_EQ(app->tpaths.driversPath, "c:\\drivers\\");
    EXPECT_TRUE(f->CheckBox8.checked());
    f->CheckBox8.setChecked(true);
    f->CheckBox8.setChecked(false);
    EXPECT_EQ(app->tpaths.driversPath, "");
    EXPECT_EQ(f->Edit4.text(), "");
    EXPECT_FALSE(f->SpeedButton8.enabled());
}

// Two records of one title share the first one's option flags, whichever
// rows the filter leaves; everything else of a row is its own game's.
TEST_F(GameList, TwinsShareTheFirstOnesFlagsAndARowKeepsItsOwnGame) {
    writeProgramFiles("#Twin|twa\r\n#Other|oth\r\n#Twin|twb\r\n",
                      "twa\\t.rom\r\noth\\o.rom\r\ntwb\\t.rom\r\n");
    for (const char* file : {"quon.exe", "oth\\o.rom", "twb\\t.rom", "oth\\oth.qun", "twb\\twb.qun"})
        os.writeFile(std::string("C:\\Quon\\") + file, "x");
    app = std::make_unique<App>(os);
    ASSERT_EQ(start(), std::nullopt);
    ASSERT_EQ(showMain(), std::nullopt);
    f = app->Form1.get();
    ASSERT_EQ(column(1), (Strings{"twa", "oth", "twb"}));
    f->ListView1.selectRow(2);
    f->CheckBox2.click();
    EXPECT_EQ(encodeOptionFlags(app->catalogue.games[0].OptionFlags), "01000000");
    EXPECT_EQ(encodeOptionFlags(app->catalogue.games[2].OptionFlags), "00000000");
    f->ListView1.selectRow(1);
    EXPECT_FALSE(f->CheckBox2.checked());

    f->ComboBox1.userSelect(1);  // the available ones: rows are no longer slots
    ASSERT_EQ(column(1), (Strings{"oth", "twb"}));
    f->ListView1.selectRow(1);
    EXPECT_TRUE(f->CheckBox2.checked());
    EXPECT_EQ(f->SpeedButton1.caption(), "Run Twin");
    f->SpeedButton1.click();
    ASSERT_EQ(os.processes.size(), 1u);
    EXPECT_NE(os.processes[0].request.commandLine.find("quon.exe twb -s"), std::string::npos)
        << os.processes[0].request.commandLine;
}

TEST_F(GameList, SortingKeepsTheSelectedGameAndItsActions) {
    os.writeFile("C:\\Quon\\quon.exe", "x");
    f->ListView1.selectRow(2);  // Image Fighter
    f->ListView1.columnClick(0);
    EXPECT_EQ(column(1), (Strings{"gunforce", "half", "imgfight", "nofiles", "sshoot"}));
    f->ListView1.columnClick(0);
    EXPECT_EQ(column(1), (Strings{"sshoot", "nofiles", "imgfight", "half", "gunforce"}));
    EXPECT_EQ(f->ListView1.sortColumn(), 0);
    EXPECT_TRUE(f->ListView1.sortDescending());
    EXPECT_EQ(f->ListView1.selectedRow(), 2);
    EXPECT_EQ(f->SpeedButton1.caption(), "Run Image Fighter");
    // A row chosen after the sort is that row's game, for every action.
    f->ListView1.selectRow(3);
    EXPECT_EQ(f->SpeedButton1.caption(), "Cannot run Half Done");
    f->ListView1.selectRow(1);
    f->CheckBox2.click();
    EXPECT_EQ(encodeOptionFlags(app->catalogue.games[4].OptionFlags), "01000000");
    f->SpeedButton1.click();
    ASSERT_EQ(os.processes.size(), 1u);
    EXPECT_NE(os.processes[0].request.commandLine.find("quon.exe nofiles -s"), std::string::npos)
        << os.processes[0].request.commandLine;
}

TEST_F(GameList, FindChoosesTheNextMatchAsTheUserWould) {
    EXPECT_TRUE(f->pressShortcut("F3"));  // nothing to find again yet: the Find window
    EXPECT_TRUE(f->findShowing());
    f->findNext({"FI", false, true});
    EXPECT_EQ(f->ListView1.selectedRow(), 2);  // Image Fighter
    EXPECT_TRUE(f->CheckBox9.enabled());        // chosen as by the user
    EXPECT_EQ(f->SpeedButton1.caption(), "Run Image Fighter");
    struct Step { const char* keys; int row; const char* status; } steps[] = {
        {"F3", 4, "Doubleclick to run No Files"},
        {"F3", 2, "Passed the end of the list, found from the top"},
        {"Shift+F3", 4, "Passed the start of the list, found from the bottom"},
        {"Shift+F3", 2, "Doubleclick to run Image Fighter"},
    };
    for (const Step& step : steps) {
        EXPECT_TRUE(f->pressShortcut(step.keys));
        EXPECT_EQ(f->ListView1.selectedRow(), step.row) << step.keys;
        EXPECT_EQ(f->StatusBar1.panelText(3), step.status);
    }
    f->findNext({"FI", true, true});  // the case matched: no title or short name holds it
    EXPECT_EQ(f->ListView1.selectedRow(), 2);
    ASSERT_FALSE(os.messages.empty());
    EXPECT_EQ(os.messages.back().text, "Cannot find \"FI\"");
}

TEST_F(GameList, ARowsMenuOffersWhatTheRowAllows) {
    os.writeFile("C:\\Quon\\quon.exe", "x");
    struct Case {
        int row;
        std::vector<bool> enabled;  // Run, Why, Open the folder, Copy title
    } cases[] = {{0, {true, false, true, true}}, {1, {false, true, true, true}}, {3, {false, true, false, true}}};
    for (const Case& c : cases) {
        f->ListView1.selectRow(c.row);
        std::string captions;
        std::vector<bool> enabled;
        for (const ui::MenuItem& item : f->ListView1.contextMenu(c.row))
            captions += item.caption + (item.isDefault ? "* " : " "), enabled.push_back(item.enabled);
        EXPECT_EQ(captions, "&Run* &Why can't it run? &Open the game's folder &Copy title ");
        EXPECT_EQ(enabled, c.enabled) << c.row;
    }
    f->ListView1.selectRow(1);  // Half Done: its folder is there, a file missing
    std::vector<ui::MenuItem> menu = f->ListView1.contextMenu(1);
    menu[1].onChoose();
    ASSERT_FALSE(os.messages.empty());
    EXPECT_NE(os.messages.back().text.find("h2.rom"), std::string::npos) << os.messages.back().text;
    menu[2].onChoose();
    ASSERT_FALSE(os.shellOpened.empty());
    EXPECT_EQ(os.shellOpened.back().first, "c:\\quon\\half");
    menu[3].onChoose();
    EXPECT_EQ(os.clipboard, "Half Done");
    f->ListView1.selectRow(0);
    f->ListView1.contextMenu(0)[0].onChoose();
    ASSERT_EQ(os.processes.size(), 1u);
    EXPECT_NE(os.processes[0].request.commandLine.find("quon.exe sshoot"), std::string::npos);
}

}  // namespace
}  // namespace qn
