#include <gtest/gtest.h>

#include "app/startup.h"
#include "test_support.h"

namespace qn {
namespace {

class Startup : public test::LauncherTest {
protected:
    void SetUp() override {
        installSettings();
        writeProgramFiles("#Alpha Blaster|alpha\r\n#Beta Racer|beta\r\n",
                          "alpha\\a.rom\r\nbeta\\b.rom\r\n");
    }
    void resolution(const std::string& text) {
        os.setString(RootKey::CurrentConfig, "Display\\Settings", "Resolution", text);
    }
};

TEST(Resolution, OnlyWidthCommaHeightInDecimalIsUnderstood) {
    EXPECT_EQ(parseResolution("1024,768"), std::make_pair(1024L, 768L));
    EXPECT_EQ(parseResolution("800,600,32"), std::nullopt);  // the height text is "600,32"
    EXPECT_EQ(parseResolution("800x600"), std::nullopt);
    EXPECT_EQ(parseResolution("abc,600"), std::nullopt);
    EXPECT_EQ(parseResolution(" 800,600"), std::nullopt);
    EXPECT_EQ(parseResolution(",600"), std::nullopt);
    EXPECT_EQ(parseResolution("99999999999999999999,600"), std::nullopt);
}

TEST_F(Startup, SmallScreensEndWithCodeThreeAfterTheWarning) {
    struct Case {
        std::string value;
        std::optional<int> exit;
    } cases[] = {{"800,600", std::nullopt}, {"1024,768", std::nullopt}, {"799,600", 3},
                 {"800,599", 3},           {"0640,0480", 3},          {"640", std::nullopt},
                 {"640x480", std::nullopt}, {"wide,tall", std::nullopt}};
    for (const Case& c : cases) {
        resolution(c.value);
        os.messages.clear();
        app = std::make_unique<App>(os);
        EXPECT_EQ(start(), c.exit) << c.value;
        if (c.exit) {
            ASSERT_EQ(os.messages.size(), 1u) << c.value;
            EXPECT_EQ(os.messages[0].kind, MessageKind::Warning);
            std::string shown = c.value;
            shown[shown.find(',')] = 'x';  // the texts as stored, not the numbers
            EXPECT_EQ(os.messages[0].text,
                      "Your screen resolution must be at least 800x600.\rIt is currently " + shown);
        }
    }
}

TEST_F(Startup, ResolutionOfWrongTypeOrWithoutNulIsStillRead) {
    os.setValue(RootKey::CurrentConfig, "Display\\Settings", "Resolution", "799,600", 3);
    EXPECT_EQ(start(), 3);
    EXPECT_EQ(messageTexts().at(0), "Your screen resolution must be at least 800x600.\r"
                                     "It is currently 799x600");
    // Nothing was saved.
    EXPECT_EQ(setting("Quon Path"), std::nullopt);
}

TEST_F(Startup, NoDisplaySettingsOrAOneByteValueSkipsTheCheck) {
    EXPECT_EQ(start(), std::nullopt);
    os.setValue(RootKey::CurrentConfig, "Display\\Settings", "Resolution", std::string(1, '\0'));
    app = std::make_unique<App>(os);
    EXPECT_EQ(start(), std::nullopt);
    EXPECT_TRUE(os.messages.empty());
}

TEST_F(Startup, MissingHtmlHandlerWarnsAndGoesOn) {
    os.deleteKey(RootKey::ClassesRoot, "htmlfile\\shell\\open\\command");
    EXPECT_EQ(start(), std::nullopt);
    EXPECT_EQ(messageTexts(), std::vector<std::string>{
                                  "You have no program associated with HTML files. You won't "
                                  "be able to use internet links"});
    os.setString(RootKey::ClassesRoot, "htmlfile\\shell\\open\\command", "",
                 "\"C:\\browser.exe\" \"%1\"");
    os.messages.clear();
    app = std::make_unique<App>(os);
    EXPECT_EQ(start(), std::nullopt);
    EXPECT_TRUE(os.messages.empty());
    EXPECT_EQ(app->state.BrowserCommand, "\"C:\\browser.exe\" \"%1\"");
}

TEST_F(Startup, KeysThatAreOnlyReadNeedNoRightToWrite) {
    // A standard user's rights: these keys can be read, not changed.
    resolution("799,600");
    for (auto [root, path] : {std::pair{RootKey::CurrentConfig, "Display\\Settings"},
                              {RootKey::ClassesRoot, "htmlfile\\shell\\open\\command"},
                              {RootKey::LocalMachine, kSettingsKey}})
        os.grantReadOnly(root, path);
    EXPECT_EQ(start(), 3);
    resolution("1024,768");
    os.messages.clear();
    app = std::make_unique<App>(os);
    ASSERT_EQ(start(), std::nullopt);
    ASSERT_EQ(showMain(), std::nullopt);
    EXPECT_TRUE(os.messages.empty());
    EXPECT_EQ(app->state.BrowserCommand, "browser.exe \"%1\"");
    EXPECT_EQ(app->catalogue.size(), 2u);
    // Only saving asks to write the settings key.
    EXPECT_EQ(closeMain(), 0);
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"Error creating/opening program registry key"});
}

TEST_F(Startup, NormalStartShowsTheFilledMainWindow) {
    ui::Form& first = *[&] { return &app->start(); }();
    TForm1& f = *app->Form1;
    EXPECT_EQ(&first, &f);
    EXPECT_EQ(f.caption(), "Tolvane's QUON FrontEnd v2.09");
    EXPECT_EQ(app->Form4->caption(), "About Tolvane's QUON FrontEnd v2.09");
    EXPECT_EQ(f.ComboBox1.itemIndex(), 0);
    EXPECT_EQ(f.ListBox1.itemIndex(), 0);
    EXPECT_EQ(f.PageControl1.activePage(), 0);
    ASSERT_EQ(showMain(), std::nullopt);
    EXPECT_FALSE(app->state.firstRun);
    EXPECT_EQ(f.StatusBar1.panelText(0), "Designed for QUON v0.9");
    EXPECT_EQ(f.StatusBar1.panelText(1), "2 ROMs supported");
    EXPECT_EQ(f.StatusBar1.panelText(2), "UnZipped ROMs");
    EXPECT_EQ(f.StatusBar1.panelText(3), "Select a game and then doubleclick on it to play");
    EXPECT_FALSE(f.ListView1.hotTrack());
    EXPECT_EQ(app->catalogue.withFiles(1).RequiredFiles[0], "b.rom");
    EXPECT_TRUE(os.messages.empty());
}

// The list view's window is told the rows anew at each fill.
struct FillCounter : ui::Peer {
    int fills = 0;
    void changed(ui::Control&, ui::Property p, int) override { fills += p == ui::Property::Rows; }
};

TEST_F(Startup, SettingsAreAppliedBeforeTheListIsFilledOnce) {
    // Each row adds settings to the last. At a later showing the plain mode
    // fills the list again, and the zipped mode with nothing new does not.
    const struct {
        std::vector<std::pair<const char*, const char*>> values;
        int laterFills;
    } cases[] = {{{}, 1},
                 {{{"Quon Path", "C:\\Quon"}}, 1},
                 {{{"Drivers Path", "C:\\Drivers"}}, 1},
                 {{{"Compressed ROMs Path", "C:\\Zips"}, {"PkUnzip Program", "C:\\pkunzip.exe"}}, 0}};
    for (const auto& c : cases) {
        for (const auto& [name, text] : c.values) os.setString(RootKey::LocalMachine, kSettingsKey, name, text);
        app = std::make_unique<App>(os);
        ASSERT_EQ(start(), std::nullopt);
        TForm1& f = *app->Form1;
        FillCounter counter;
        f.ListView1.setPeer(&counter);
        ASSERT_EQ(showMain(), std::nullopt);
        EXPECT_EQ(counter.fills, 1) << c.laterFills;
        EXPECT_EQ(f.ListView1.selectedRow(), 0);
        counter.fills = 0;
        f.hide();
        ASSERT_EQ(showMain(), std::nullopt);
        EXPECT_EQ(counter.fills, c.laterFills) << c.values.size();
        f.ListView1.setPeer(nullptr);
    }
}

TEST_F(Startup, CatalogueIsReadOnceAndRequiredFilesAtEveryShowing) {
    EXPECT_EQ(start(), std::nullopt);
    ASSERT_EQ(showMain(), std::nullopt);
    os.writeFile(test::kProgramDir + "roms.dat", "#Changed|changed\r\n");
    os.writeFile(test::kProgramDir + "reqfiles.dat", "alpha\\new.rom\r\n");
    app->Form1->hide();
    ASSERT_EQ(showMain(), std::nullopt);
    EXPECT_EQ(app->catalogue.games[0].Title, "Alpha Blaster");
    EXPECT_EQ(app->catalogue.withFiles(0).RequiredFiles[0], "new.rom");
}

TEST_F(Startup, MissingCatalogueIsReportedTwiceAndEndsAtTheFirstPaint) {
    os.deleteFile(test::kProgramDir + "roms.dat");
    EXPECT_EQ(start(), std::nullopt);
    EXPECT_TRUE(app->catalogue.games.empty());
    try {
        app->Form1->show();
    } catch (const ProcessExit&) {
        FAIL() << "the process must end at the paint, not while showing";
    }
    EXPECT_EQ(app->Form1->ListView1.rowCount(), 0);  // the show sequence stopped early
    EXPECT_EQ(app->Form1->StatusBar1.panelText(0), "");
    const std::string msg = "There was an error opening C:\\QnLaunch\\roms.dat";
    EXPECT_EQ(messageTexts(), (std::vector<std::string>{msg, msg}));
    try {
        app->Form1->paint();
        FAIL() << "the first paint must end the process";
    } catch (const ProcessExit& e) {
        EXPECT_EQ(e.code, 5);
    }
    EXPECT_EQ(setting("Main Program Path"), std::string(1, '\0'));  // nothing else saved
}

TEST_F(Startup, MissingRequiredFilesEndsAtThePaintWithoutSaving) {
    os.deleteFile(test::kProgramDir + "reqfiles.dat");
    EXPECT_EQ(start(), std::nullopt);
    EXPECT_EQ(showMain(), 5);
    EXPECT_EQ(messageTexts().back(), "Error loading C:\\QnLaunch\\reqfiles.dat");
    EXPECT_EQ(setting("Main Program Path"), std::string(1, '\0'));
}

TEST_F(Startup, AboutButtonDisablesTheMainWindowUntilTheBoxCloses) {
    EXPECT_EQ(start(), std::nullopt);
    ASSERT_EQ(showMain(), std::nullopt);
    app->Form1->SpeedButton7.click();
    EXPECT_FALSE(app->Form1->enabled());
    EXPECT_TRUE(app->Form4->showing());
    app->Form4->close();  // the close box
    EXPECT_TRUE(app->Form1->enabled());
    EXPECT_FALSE(app->Form4->showing());
    app->Form1->SpeedButton7.click();
    app->Form4->SpeedButton1.click();  // "Return to main program"
    EXPECT_TRUE(app->Form1->enabled());
}

TEST_F(Startup, ClosingSavesEvenWithTheAboutBoxOpen) {
    EXPECT_EQ(start(), std::nullopt);
    ASSERT_EQ(showMain(), std::nullopt);
    SetGameOptionFlag(*app, 0, 0, true);
    app->Form1->SpeedButton7.click();
    EXPECT_EQ(closeMain(), 0);
    EXPECT_EQ(setting(app->catalogue.games[0].Title), std::string("10000000") + '\0');
}

TEST_F(Startup, TheMainWindowLayoutHoldsItsInitialStates) {
    EXPECT_EQ(start(), std::nullopt);
    TForm1& f = *app->Form1;
    EXPECT_EQ(f.bounds().width, 679);
    EXPECT_EQ(f.bounds().height, 517);
    EXPECT_EQ(f.SpeedButton1.caption(), "Unable to run");
    EXPECT_FALSE(f.CheckBox6.enabled());
    EXPECT_FALSE(f.CheckBox9.enabled());
    EXPECT_FALSE(f.SpeedButton8.enabled());
    EXPECT_TRUE(f.SpeedButton10.pressed());
    EXPECT_FALSE(f.SpeedButton9.pressed());
    EXPECT_FALSE(f.StatusBar1.enabled());
    EXPECT_EQ(f.ListView1.columns().size(), 3u);
    EXPECT_EQ(f.ListView1.columns()[1].width, 78);
    EXPECT_EQ(f.Edit1.font().face, "Verdana");
    EXPECT_TRUE(f.Edit1.lowerCase());
    EXPECT_EQ(f.ListBox1.font().bold, true);
    EXPECT_EQ(f.Label8.font().color, ui::kBlue);
    EXPECT_TRUE(f.Label8.font().underline);
    EXPECT_EQ(f.CheckBox3.font().points, 9);
    EXPECT_EQ(f.optionBox(6), &f.CheckBox9);
    int pages = 0;
    for (ui::Control* c : f.PageControl1.children()) pages += c->kind() == ui::Kind::TabSheet;
    EXPECT_EQ(pages, 4);
}

}  // namespace
}  // namespace qn
