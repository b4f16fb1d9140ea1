#include <gtest/gtest.h>

#include "test_support.h"

namespace qn {
namespace {

const std::string kGames = "#Alpha Blaster|alpha\r\n#Beta Racer|beta\r\n#Gamma Quest|gamma\r\n";

class Settings : public test::LauncherTest {
protected:
    void SetUp() override { writeProgramFiles(kGames); }
    void put(const std::string& name, const std::string& text) {
        os.setString(RootKey::LocalMachine, kSettingsKey, name, text);
    }
};

TEST(RegistryText, ReadsOnlyValuesOfMoreThanOneByteAndCutsAtNul) {
    MemoryPlatform os;
    os.setValue(RootKey::LocalMachine, "K", "sz", std::string("abc\0", 4));
    os.setValue(RootKey::LocalMachine, "K", "nonul", "abc", 3);                   // REG_BINARY
    os.setValue(RootKey::LocalMachine, "K", "dword", std::string("\x31\x00\x00\x00", 4), 4);
    os.setValue(RootKey::LocalMachine, "K", "inner", std::string("ab\0cd\0", 6));
    os.setValue(RootKey::LocalMachine, "K", "one", std::string("x", 1));
    os.setValue(RootKey::LocalMachine, "K", "empty", std::string("\0", 1));
    os.setValue(RootKey::LocalMachine, "K", "big", std::string(8192, 'k') + '\0');
    auto key = os.openKey(RootKey::LocalMachine, "K", KeyAccess::Read);
    EXPECT_EQ(readRegistryText(*key, "sz"), "abc");
    EXPECT_EQ(readRegistryText(*key, "nonul"), "abc");
    EXPECT_EQ(readRegistryText(*key, "dword"), "1");
    EXPECT_EQ(readRegistryText(*key, "inner"), "ab");
    EXPECT_EQ(readRegistryText(*key, "one"), std::nullopt);
    EXPECT_EQ(readRegistryText(*key, "empty"), std::nullopt);
    EXPECT_EQ(readRegistryText(*key, "missing"), std::nullopt);
    EXPECT_EQ(readRegistryText(*key, "big")->size(), 8192u);
}

TEST(RegistryText, ValuesWhoseTextStartsWithNulAreEmpty) {
    MemoryPlatform os;
    os.setValue(RootKey::LocalMachine, "K", "two", std::string("\0\0", 2));
    os.setValue(RootKey::LocalMachine, "K", "hidden", std::string("\0abc\0", 5));
    os.setValue(RootKey::LocalMachine, "K", "binary", std::string("\0x", 2), 3);
    auto key = os.openKey(RootKey::LocalMachine, "K", KeyAccess::Read);
    EXPECT_EQ(readRegistryText(*key, "two"), std::nullopt);
    EXPECT_EQ(readRegistryText(*key, "hidden"), std::nullopt);
    EXPECT_EQ(readRegistryText(*key, "binary"), std::nullopt);
}

TEST(MemoryRegistry, ValueNamesKeepTheOrderOfTheirFirstWriting) {
    MemoryPlatform os;
    auto key = os.createKey(RootKey::LocalMachine, "K");
    for (const char* name : {"zeta", "Alpha", "mid", "ALPHA", "zeta"}) key->setString(name, "v");
    os.setValue(RootKey::LocalMachine, "K", "beta", "x");
    EXPECT_EQ(os.valueNames(RootKey::LocalMachine, "K"),
              (std::vector<std::string>{"zeta", "Alpha", "mid", "beta"}));
    os.deleteKey(RootKey::LocalMachine, "K");
    os.createKey(RootKey::LocalMachine, "K")->setString("new", "v");
    EXPECT_EQ(os.valueNames(RootKey::LocalMachine, "K"), std::vector<std::string>{"new"});
}

TEST(SettingsStore, WritesPathsInterfaceAndGamesInThatOrder) {
    MemoryPlatform os;
    qn::Settings s;  // not the fixture of the same name
    s.paths = {"C:\\Qn\\", "C:\\Quon\\", "", "C:\\PKUNZIP.EXE", "D:\\Drv\\"};
    s.games = {{"Zed", {true, false, false, false, false, false, false, true}},
               {"Alpha", {}},
               {"Mid", {false, true}},
               // A second record of a title shares the first one's flags:
               // its own, stale, must not be written over them.
               {"Zed", {}}};
    writeSettings(os, s);
    EXPECT_EQ(os.valueNames(RootKey::LocalMachine, kSettingsKey),
              (std::vector<std::string>{"Main Program Path", "Quon Path", "PkUnzip Program",
                                        "Compressed ROMs Path", "Drivers Path", "Interface", "Zed",
                                        "Alpha", "Mid"}));
    auto value = [&](const char* name) { return *os.value(RootKey::LocalMachine, kSettingsKey, name); };
    EXPECT_EQ(value("PkUnzip Program"), std::string("C:\\PKUNZIP.EXE") + '\0');
    EXPECT_EQ(value("Compressed ROMs Path"), std::string(1, '\0'));
    EXPECT_EQ(value("Interface"), std::string("Common") + '\0');
    EXPECT_EQ(value("Zed"), std::string("10000001") + '\0');
    EXPECT_EQ(value("Mid"), std::string("01000000") + '\0');
    s.singleClick = true;
    writeSettings(os, s);
    EXPECT_EQ(value("Interface"), std::string("Cool") + '\0');
    EXPECT_TRUE(os.messages.empty());
}

TEST(SettingsStore, ReadingTellsTheKindOfStartAndReadsOnlyWhatIsStored) {
    MemoryPlatform os;
    qn::Settings s;  // not the fixture of the same name
    s.paths.emulatorPath = "kept";
    EXPECT_EQ(readSettings(os, s), StoredSettings::NoKey);
    os.setString(RootKey::LocalMachine, kSettingsKey, "Quon Path", "C:\\Quon");
    EXPECT_EQ(readSettings(os, s), StoredSettings::NoMainPath);
    EXPECT_EQ(s.paths.emulatorPath, "kept");  // nothing read
    os.setString(RootKey::LocalMachine, kSettingsKey, "Main Program Path", "");
    EXPECT_EQ(readSettings(os, s), StoredSettings::EmptyMainPath);
    EXPECT_EQ(s.paths.emulatorPath, "C:\\Quon\\");
    EXPECT_EQ(s.paths.mainPath, "");
    EXPECT_FALSE(s.singleClick);
    os.setString(RootKey::LocalMachine, kSettingsKey, "Main Program Path", "C:\\Qn");
    os.setString(RootKey::LocalMachine, kSettingsKey, "Interface", "Cool");
    KnownSettings known;
    EXPECT_EQ(readSettings(os, s, &known), StoredSettings::Complete);
    EXPECT_EQ(s.paths.mainPath, "C:\\Qn\\");
    EXPECT_TRUE(s.singleClick);
    EXPECT_EQ(s.paths.unzipProgram, "");  // not stored: as it was
    EXPECT_EQ(known, (KnownSettings{"C:\\Qn\\", "C:\\Quon\\", std::nullopt, std::nullopt, std::nullopt, "Cool"}));

    // A game's flags are read over those it has, up to the text's length.
    os.setString(RootKey::LocalMachine, kSettingsKey, "Short", "01");
    std::vector<GameOptions> games = {{"Short", {true, false, true}}, {"Unstored", {true}}};
    for (GameOptions& game : games) EXPECT_TRUE(readGameOptions(os, game));
    EXPECT_EQ(encodeOptionFlags(games[0].flags), "01100000");
    EXPECT_EQ(encodeOptionFlags(games[1].flags), "10000000");
    os.deleteKey(RootKey::LocalMachine, kSettingsKey);
    EXPECT_FALSE(readGameOptions(os, games[0]));
}

TEST_F(Settings, AGamesOptionsAreAskedForByItsTitleAlone) {
    // Stored names in another letter case, an empty and a one-byte value,
    // a value of another type, and a title outside ASCII.
    os.setString(RootKey::LocalMachine, kSettingsKey, "SAMPLE shooter", "11");
    os.setString(RootKey::LocalMachine, kSettingsKey, "Blank", "");
    os.setValue(RootKey::LocalMachine, kSettingsKey, "One", "1");
    os.setValue(RootKey::LocalMachine, kSettingsKey, "Binary", std::string("1\0" "1", 3), 3);
    os.setString(RootKey::LocalMachine, kSettingsKey, "Caf\xE9", "00000001");
    std::vector<std::string> got;
    os.valueQueries = os.valueEnumerations = 0;
    for (const char* title : {"Sample Shooter", "Blank", "One", "Binary", "Caf\xE9", "Missing", "sample SHOOTER"}) {
        GameOptions game{title, {false, false, false, false, false, false, true, false}};
        ASSERT_TRUE(readGameOptions(os, game));
        got.push_back(encodeOptionFlags(game.flags));
    }
    EXPECT_EQ(got, (std::vector<std::string>{"11000010", "00000010", "00000010", "10000010",
                                             "00000001", "00000010", "11000010"}));
    EXPECT_EQ(os.valueQueries, 7);  // one question by name each, no pass over the key
}

TEST(SettingsStore, ASaveWritesTheSettingsThatDifferFromWhatTheKeyIsKnownToHold) {
    // Each row: what is known of "Quon Path" before the save, whether the
    // key is made anew meanwhile, and the values the save then writes.
    const std::tuple<std::optional<std::string>, bool, int> rows[] = {
        {"C:\\Quon\\", false, 0},
        {"C:\\Quon", false, 1},     // the text read was another: the setting changed
        {std::nullopt, false, 1},   // never read
        {"C:\\Quon\\", true, 6},  // nothing is known of a new key: all six
    };
    for (const auto& [before, keyMadeAnew, writes] : rows) {
        MemoryPlatform os;
        qn::Settings s;
        s.paths = {"C:\\Qn\\", "C:\\Quon\\", "", "", ""};
        KnownSettings known{"C:\\Qn\\", before, "", "", "", "Common"};
        if (!keyMadeAnew) os.createKey(RootKey::LocalMachine, kSettingsKey);
        writeSettings(os, s, &known);
        EXPECT_EQ(os.valueWrites, writes) << before.value_or("none");
        EXPECT_EQ(known[1], "C:\\Quon\\");  // what the key holds now
    }
}

// What a start and a close ask of the registry follows what the user does,
// not how many games there are or how many values the key holds.
TEST_F(Settings, AStartAndACloseAskAsMuchOfTheRegistryAtAHundredThousandGamesAsAtThree) {
    installSettings();
    for (int i = 1; i < 6; ++i) put(kSettingRows[i].name, i == 5 ? "Common" : "");
    std::string roms;
    for (int i = 0; i < 100000; ++i) {
        roms += "#Game " + std::to_string(i) + "|g" + std::to_string(i) + "\r\n";
        put("Game " + std::to_string(i), "00000001");
        put("Old title " + std::to_string(i), "10000000");
    }
    std::vector<int> counted;
    for (int games : {3, 100000}) {
        writeProgramFiles(roms.substr(0, games == 3 ? roms.find("#Game 3|") : roms.size()));
        app = std::make_unique<App>(os);
        os.registryCalls = 0;
        ASSERT_EQ(start(), std::nullopt);
        ASSERT_EQ(showMain(), std::nullopt);
        ASSERT_EQ(app->catalogue.size(), games);
        counted.push_back(os.registryCalls);
        app->Form1->ListView1.selectRow(2);
        (games == 3 ? app->Form1->CheckBox2 : app->Form1->CheckBox3).click();
        os.registryCalls = os.valueWrites = 0;
        ASSERT_EQ(closeMain(), 0);
        counted.push_back(os.registryCalls);
        EXPECT_EQ(os.valueWrites, 1);
    }
    EXPECT_EQ(setting("Game 2"), std::string("01100001") + '\0');
    EXPECT_EQ(counted[0], counted[2]) << "start";
    EXPECT_EQ(counted[1], counted[3]) << "close";
    EXPECT_LE(counted[0], 20);
    EXPECT_LE(counted[1], 4);
}

TEST_F(Settings, NoKeyIsAFirstRun) {
    EXPECT_EQ(start(), std::nullopt);
    ASSERT_FALSE(os.messages.empty());
    EXPECT_EQ(os.messages[0].kind, MessageKind::Information);
    EXPECT_EQ(os.messages[0].text,
              "Tolvane's QUON FrontEnd v2.09 is going to be installed in your computer");
    EXPECT_TRUE(app->state.firstRun);
    EXPECT_TRUE(app->catalogue.games.empty());  // not read on a first run
    ASSERT_NE(app->Form2, nullptr);
    EXPECT_TRUE(app->Form2->showing());
    EXPECT_FALSE(app->Form1->showing());
}

TEST_F(Settings, MissingMainPathEndsWithCodeOneAndTheNextStartIsAFirstRunKeepingTheRest) {
    put("Quon Path", "C:\\Quon\\");
    put("Alpha", "01000000");
    EXPECT_EQ(start(), 1);
    ASSERT_EQ(os.messages.size(), 1u);
    EXPECT_EQ(os.messages[0].kind, MessageKind::Warning);
    EXPECT_EQ(os.messages[0].text, "Error reading Main Program Path value. Restart this program");
    EXPECT_EQ(setting("Main Program Path"), std::string(1, '\0'));
    EXPECT_EQ(setting("Alpha"), std::string("01000000") + '\0');
    os.messages.clear();
    app = std::make_unique<App>(os);
    EXPECT_EQ(start(), std::nullopt);
    EXPECT_EQ(messageTexts(), std::vector<std::string>{kFirstRunMessage});
    EXPECT_TRUE(app->Form2->showing());
    EXPECT_EQ(app->tpaths.emulatorPath, "C:\\Quon\\");
}

TEST_F(Settings, EmptyMainPathIsAFirstRunButTheOtherValuesAreRead) {
    put("Main Program Path", "");
    put("Quon Path", "D:\\Quon");
    put("Interface", "Cool");
    app->Form1 = std::make_unique<TForm1>(*app);
    LoadSettings(*app);
    EXPECT_TRUE(app->state.firstRun);
    EXPECT_EQ(app->tpaths.mainPath, "");
    EXPECT_EQ(app->tpaths.emulatorPath, "D:\\Quon\\");
    EXPECT_TRUE(app->singleClick);
    EXPECT_TRUE(app->catalogue.games.empty());  // no program directory: nothing to read
    EXPECT_EQ(messageTexts(), std::vector<std::string>{kFirstRunMessage});
}

// Text hidden behind a leading NUL is no text: such a main path is an empty
// one, and every other value keeps its field as a missing one would.
TEST_F(Settings, NulLedValuesReadAsEmptySettings) {
    put("Main Program Path", std::string("\0C:\\QnLaunch\\", 13));
    put("Quon Path", std::string("\0D:\\Quon", 8));
    put("PkUnzip Program", std::string("\0\0", 2));
    put("Compressed ROMs Path", std::string("\0Z", 2));
    put("Drivers Path", std::string("\0\\", 2));
    put("Interface", std::string("\0Common", 7));
    app->Form1 = std::make_unique<TForm1>(*app);
    LoadSettings(*app);
    EXPECT_TRUE(app->state.firstRun);
    EXPECT_EQ(messageTexts().at(0),
              "Tolvane's QUON FrontEnd v2.09 is going to be installed in your computer");
    EXPECT_EQ(app->tpaths.mainPath, "");
    EXPECT_EQ(app->tpaths.emulatorPath, "");
    EXPECT_EQ(app->tpaths.unzipProgram, "");
    EXPECT_EQ(app->tpaths.romsPath, "");
    EXPECT_EQ(app->tpaths.driversPath, "");
    EXPECT_FALSE(app->singleClick);  // no interface text: the common interface stays

    // A NUL-led per-game value leaves the flags as they were.
    os.deleteKey(RootKey::LocalMachine, kSettingsKey);
    installSettings();
    put("Alpha Blaster", std::string("\0" "11111111", 9));
    app = std::make_unique<App>(os);
    EXPECT_EQ(start(), std::nullopt);
    EXPECT_FALSE(app->state.firstRun);
    EXPECT_EQ(encodeOptionFlags(GameOptionFlags(*app, 0)), "00000000");
}

TEST_F(Settings, PathsGetOneTrailingBackslashAndUnzipStaysAsStored) {
    installSettings("C:\\QnLaunch");  // without its backslash
    put("Quon Path", "C:\\Games\\Quon");
    put("PkUnzip Program", "C:\\Tools\\PKUNZIP.EXE");
    put("Compressed ROMs Path", "C:\\Zips\\");
    put("Drivers Path", "C:\\Drivers");
    EXPECT_EQ(start(), std::nullopt);
    EXPECT_FALSE(app->state.firstRun);
    EXPECT_EQ(app->tpaths.mainPath, "C:\\QnLaunch\\");
    EXPECT_EQ(app->tpaths.emulatorPath, "C:\\Games\\Quon\\");
    EXPECT_EQ(app->tpaths.unzipProgram, "C:\\Tools\\PKUNZIP.EXE");
    EXPECT_EQ(app->tpaths.romsPath, "C:\\Zips\\");
    EXPECT_EQ(app->tpaths.driversPath, "C:\\Drivers\\");
    EXPECT_EQ(app->catalogue.size(), 3);
}

TEST(PathRules, APathIsHeldInLowerCaseForEveryLetterThatHasOne) {
    const struct {
        const char* given;
        const char* held;
    } cases[] = {
        {"C:\\Games\\\xC3\x84RGER\\", "c:\\games\\\xC3\xA4rger\\"},  // the A with diaeresis folds
        {"C:\\\xD0\x98\xD0\x93\xD0\xA0\xD0\xAB\\", "c:\\\xD0\xB8\xD0\xB3\xD1\x80\xD1\x8B\\"},  // Cyrillic folds
        {"\xC3\x97\xE3\x82\xB2", "\xC3\x97\xE3\x82\xB2"},  // the times sign and kana stay
        {"already lower 123", "already lower 123"},
        {"", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(lowerCasePath(c.given), c.held) << c.given;
}

TEST_F(Settings, InterfaceIsCommonOnlyForTheExactText) {
    struct Case {
        std::optional<std::string> stored;
        bool singleClick;
    } cases[] = {{"Common", false}, {"common", true}, {"COMMON", true}, {"Cool", true},
                 {"Commonx", true}, {"", false},       {std::nullopt, false}};
    for (const Case& c : cases) {
        os.deleteKey(RootKey::LocalMachine, kSettingsKey);
        installSettings();
        if (c.stored) put("Interface", *c.stored);
        app = std::make_unique<App>(os);
        EXPECT_EQ(start(), std::nullopt);
        EXPECT_EQ(app->singleClick, c.singleClick) << (c.stored ? *c.stored : "(missing)");
    }
}

TEST_F(Settings, OptionFlagsAreReadByTitlePerCharacter) {
    installSettings();
    put("Alpha Blaster", "1");             // flag 0 only, the others stay
    put("Beta Racer", "0000000011");       // ninth and tenth ignored
    put("Gamma Quest", "1x1y10");
    put("Old Title", "11111111");          // not in the catalogue: untouched
    EXPECT_EQ(start(), std::nullopt);
    EXPECT_EQ(encodeOptionFlags(GameOptionFlags(*app, 0)), "10000000");
    EXPECT_EQ(encodeOptionFlags(GameOptionFlags(*app, 1)), "00000000");
    EXPECT_EQ(encodeOptionFlags(GameOptionFlags(*app, 2)), "10101000");
    ASSERT_EQ(showMain(), std::nullopt);
    EXPECT_EQ(closeMain(), 0);
    // Nothing changed: every value stays as it was stored.
    EXPECT_EQ(setting("Old Title"), std::string("11111111", 8) + '\0');
    EXPECT_EQ(setting("Gamma Quest"), std::string("1x1y10") + '\0');
}

// The registry ignores case in value names and sees a name only up to its
// first NUL: a game titled like a setting must not take that setting's value.
TEST_F(Settings, TitlesNamingASettingNeitherReadNorOverwriteIt) {
    writeProgramFiles("#Quon Path|qp\r\n#pkunzip program|pk\r\n#INTERFACE|if\r\n"
                      "#Drivers Path" + std::string(1, '\0') + "extra|dp\r\n"
                      "#Alpha Blaster|alpha\r\n#Main Program Path \r\n");
    installSettings();
    put("Quon Path", "C:\\Games\\Quon\\");
    put("PkUnzip Program", "1111");  // would read as flags 0 to 3 of a game of that name
    put("Drivers Path", "C:\\Drivers\\");
    put("Interface", "Cool");
    put("Alpha Blaster", "00000001");
    ASSERT_EQ(start(), std::nullopt);
    ASSERT_EQ(app->catalogue.size(), 6);
    for (int g : {0, 1, 2, 3})
        EXPECT_EQ(encodeOptionFlags(GameOptionFlags(*app, g)), "00000000") << app->catalogue.games[g].Title;
    EXPECT_EQ(encodeOptionFlags(GameOptionFlags(*app, 4)), "00000001");
    ASSERT_EQ(showMain(), std::nullopt);

    // The game's options work for the session.
    TForm1& f = *app->Form1;
    f.ListView1.selectRow(0);
    f.CheckBox2.setChecked(true);
    EXPECT_TRUE(app->catalogue.games[0].OptionFlags[1]);
    f.ListView1.selectRow(4);
    EXPECT_FALSE(f.CheckBox2.checked());
    f.ListView1.selectRow(0);
    EXPECT_TRUE(f.CheckBox2.checked());

    EXPECT_EQ(closeMain(), 0);
    auto sz = [](const std::string& s) { return s + '\0'; };
    EXPECT_EQ(setting("Main Program Path"), sz("C:\\QnLaunch\\"));
    EXPECT_EQ(setting("Quon Path"), sz("c:\\games\\quon\\"));
    EXPECT_EQ(setting("PkUnzip Program"), sz("1111"));
    EXPECT_EQ(setting("Drivers Path"), sz("c:\\drivers\\"));
    EXPECT_EQ(setting("Interface"), sz("Cool"));
    EXPECT_EQ(setting("Alpha Blaster"), sz("00000001"));
    // A trailing space makes another name, a value of its own.
    EXPECT_EQ(setting("Main Program Path "), std::nullopt);  // never changed
    EXPECT_TRUE(messageTexts().empty());

    // ... but are not kept for the next start.
    app = std::make_unique<App>(os);
    ASSERT_EQ(start(), std::nullopt);
    EXPECT_EQ(encodeOptionFlags(GameOptionFlags(*app, 0)), "00000000");
    EXPECT_EQ(app->tpaths.emulatorPath, "c:\\games\\quon\\");
}

// An empty title names the key's default value, which no setting uses: that
// game's flags are kept there like any other game's.
TEST_F(Settings, AnEmptyTitleKeepsItsFlagsInTheDefaultValue) {
    writeProgramFiles("#|blank\r\n#Alpha Blaster|alpha\r\n");
    installSettings();
    ASSERT_EQ(start(), std::nullopt);
    ASSERT_EQ(showMain(), std::nullopt);
    app->Form1->ListView1.selectRow(0);
    app->Form1->CheckBox1.setChecked(true);
    EXPECT_EQ(closeMain(), 0);
    EXPECT_EQ(setting(""), std::string("10000000") + '\0');
    EXPECT_EQ(setting("Main Program Path"), std::string("C:\\QnLaunch\\") + '\0');
    app = std::make_unique<App>(os);
    ASSERT_EQ(start(), std::nullopt);
    EXPECT_EQ(encodeOptionFlags(GameOptionFlags(*app, 0)), "10000000");
}

TEST_F(Settings, SaveWritesTheWholeSchemaInOrderAsRegSz) {
    installSettings();
    put("Quon Path", "C:\\Games\\Quon\\");
    put("Drivers Path", "C:\\Drivers\\");
    put("Interface", "Cool");
    EXPECT_EQ(start(), std::nullopt);
    ASSERT_EQ(showMain(), std::nullopt);
    SetGameOptionFlag(*app, 1, 3, true);
    // Saved into a new key, so its names come in the order they are written.
    os.deleteKey(RootKey::LocalMachine, kSettingsKey);
    EXPECT_EQ(closeMain(), 0);

    std::vector<std::string> expectedOrder = {"Main Program Path", "Quon Path", "PkUnzip Program",
                                              "Compressed ROMs Path", "Drivers Path", "Interface",
                                              "Beta Racer"};
    EXPECT_EQ(os.valueNames(RootKey::LocalMachine, kSettingsKey), expectedOrder);
    auto sz = [](const std::string& s) { return s + '\0'; };
    EXPECT_EQ(setting("Main Program Path"), sz("C:\\QnLaunch\\"));
    // Paths that went through the main window's boxes come back lower case.
    EXPECT_EQ(setting("Quon Path"), sz("c:\\games\\quon\\"));
    EXPECT_EQ(setting("Drivers Path"), sz("c:\\drivers\\"));
    // Compressed mode is off: both of its settings are stored empty, as one NUL byte.
    EXPECT_EQ(setting("PkUnzip Program"), std::string(1, '\0'));
    EXPECT_EQ(setting("Compressed ROMs Path"), std::string(1, '\0'));
    EXPECT_EQ(setting("Interface"), sz("Cool"));
    EXPECT_EQ(setting("Beta Racer"), sz("00010000"));
}

TEST_F(Settings, SavedEmptyPathsReadBackEmptyWithoutAFirstRun) {
    installSettings();
    EXPECT_EQ(start(), std::nullopt);
    ASSERT_EQ(showMain(), std::nullopt);
    EXPECT_EQ(closeMain(), 0);
    app = std::make_unique<App>(os);
    os.messages.clear();
    EXPECT_EQ(start(), std::nullopt);
    EXPECT_FALSE(app->state.firstRun);
    EXPECT_TRUE(os.messages.empty());
    EXPECT_EQ(app->tpaths.emulatorPath, "");
    EXPECT_FALSE(app->singleClick);
}

TEST_F(Settings, SaveReportsEveryFailedValueAndGoesOn) {
    installSettings();
    EXPECT_EQ(start(), std::nullopt);
    ASSERT_EQ(showMain(), std::nullopt);
    app->tpaths.emulatorPath = "C:\\Other\\";
    for (int g : {1, 2}) SetGameOptionFlag(*app, g, 0, true);
    os.failSetValue = {"Quon Path", "Beta Racer"};
    EXPECT_EQ(closeMain(), 0);
    EXPECT_EQ(messageTexts(), (std::vector<std::string>{"Error setting Quon Path registry value (Access is denied.)",
                                                        "Error setting Beta Racer registry value (Access is denied.)"}));
    EXPECT_EQ(os.messages[0].kind, MessageKind::Error);
    EXPECT_TRUE(setting("Gamma Quest").has_value());
}

TEST_F(Settings, SaveWithoutAKeyReportsAndWritesNothing) {
    installSettings();
    EXPECT_EQ(start(), std::nullopt);
    os.deleteKey(RootKey::LocalMachine, kSettingsKey);
    os.failCreateKey = {kSettingsKey};
    EXPECT_EQ(closeMain(), 0);
    EXPECT_EQ(messageTexts(),
              std::vector<std::string>{"Error creating/opening program registry key"});
    EXPECT_FALSE(os.keyExists(RootKey::LocalMachine, kSettingsKey));
}

TEST_F(Settings, DuringAFirstRunTheInterfaceComesFromTheConfigurationDialog) {
    installSettings();
    put("PkUnzip Program", "C:\\pkunzip.exe");
    EXPECT_EQ(start(), std::nullopt);
    app->state.firstRun = true;
    app->singleClick = false;
    app->Form5->ComboBox1.setItemIndex(0);  // "Single click interface"
    EXPECT_EQ(closeMain(), 0);
    EXPECT_EQ(setting("Interface"), std::string("Cool") + '\0');
    // The compressed-ROM settings are kept during a first run, whatever the box says.
    EXPECT_EQ(setting("PkUnzip Program"), std::string("C:\\pkunzip.exe") + '\0');
}

TEST_F(Settings, ApplyShowsTheFirstGamesFlagsAndDerivesTheModes) {
    installSettings();
    put("Alpha Blaster", "01000001");
    put("Drivers Path", "C:\\Drivers\\");
    put("Compressed ROMs Path", "C:\\Zips\\");
    EXPECT_EQ(start(), std::nullopt);
    ASSERT_EQ(showMain(), std::nullopt);
    TForm1& f = *app->Form1;
    EXPECT_TRUE(f.CheckBox2.checked());
    EXPECT_TRUE(f.CheckBox10.checked());
    EXPECT_FALSE(f.CheckBox1.checked());
    EXPECT_TRUE(f.CheckBox8.checked());
    EXPECT_TRUE(f.CheckBox7.checked());
    EXPECT_EQ(f.Edit4.text(), "c:\\drivers\\");
    EXPECT_EQ(f.Edit3.text(), "c:\\zips\\");
    // Showing the flags stored none.
    EXPECT_EQ(encodeOptionFlags(app->catalogue.games[1].OptionFlags), "00000000");
}

}  // namespace
}  // namespace qn
