#include <gtest/gtest.h>

#include "catalogue/availability.h"
#include "catalogue/catalogue.h"
#include "catalogue/catalogue_file.h"
#include "catalogue/game_list.h"
#include "catalogue/unavailability_report.h"
#include "test_support.h"

namespace qn {
namespace {

struct Parsed {
    GameCatalogue cat;
    int count;
};

Parsed parse(const std::string& text) {
    Parsed p;
    parseCatalogue(text, p.cat);
    p.count = p.cat.size();
    return p;
}

TEST(CatalogueParse, SplitsRecordsAtTheFirstBarAndDropsFurtherBars) {
    Parsed p = parse("#Sample Shooter (World)|sshoot\r\n#Sample Shooter|ssh|oot\r\n#|only\r\n"
                     "#No Short Name\r\n#\r\n#Spaced | name \r\n");
    ASSERT_EQ(p.count, 6);
    EXPECT_EQ(p.cat.games[0].Title, "Sample Shooter (World)");
    EXPECT_EQ(p.cat.games[0].ShortName, "sshoot");
    EXPECT_EQ(p.cat.games[1].ShortName, "sshoot");
    EXPECT_EQ(p.cat.games[2].Title, "");
    EXPECT_EQ(p.cat.games[2].ShortName, "only");
    EXPECT_EQ(p.cat.games[3].Title, "No Short Name");
    EXPECT_EQ(p.cat.games[3].ShortName, "");
    EXPECT_EQ(p.cat.games[4].Title, "");  // "#" alone still counts as a game
    EXPECT_EQ(p.cat.games[5].Title, "Spaced ");
    EXPECT_EQ(p.cat.games[5].ShortName, " name ");
}

TEST(CatalogueParse, CommentsEmptyLinesAndLineEnds) {
    EXPECT_EQ(parse("; comment\r\n\r\n\r\n #Indented|x\r\nplain text\r\n").count, 0);
    // CR alone, CR LF, and a last line without an end.
    Parsed p = parse("#A|a\r#B|b\r\n\r\n#C|c");
    ASSERT_EQ(p.count, 3);
    EXPECT_EQ(p.cat.games[2].ShortName, "c");
    // A bare LF ends a line too, so files saved with Unix line ends still read.
    Parsed lf = parse("#A|a\n#B|b\n");
    ASSERT_EQ(lf.count, 2);
    EXPECT_EQ(lf.cat.games[0].ShortName, "a");
}

TEST(CatalogueParse, CtrlZEndsTheFile) {
    Parsed p = parse("#A|a\r\n#B|b\x1a\r\n#C|c\r\n");
    ASSERT_EQ(p.count, 2);
    EXPECT_EQ(p.cat.games[1].ShortName, "b");
}

TEST(CatalogueParse, RecordsPastTheTwentyFifthAreKept) {
    std::string text;
    for (int i = 0; i < 40; ++i) text += "#Game " + std::to_string(i) + "|g" + std::to_string(i) + "\r\n";
    Parsed p = parse(text);
    EXPECT_EQ(p.count, 40);
    EXPECT_EQ(p.cat.games[24].Title, "Game 24");
    EXPECT_EQ(p.cat.games[25].Title, "Game 25");
    EXPECT_EQ(p.cat.games[39].ShortName, "g39");
}

TEST(CatalogueParse, HostileContentStaysInsideTheTable) {
    std::string longLine = "#" + std::string(100000, 'x') + "|" + std::string(100000, 'y');
    std::string withNul = std::string("#Nul\0Title|n\0s", 14);
    std::string binary;
    for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 37) & 0xff);
    Parsed p = parse(longLine + "\r\n" + withNul + "\r\n" + binary);
    ASSERT_GE(p.count, 2);
    EXPECT_EQ(p.cat.games[0].Title.size(), 100000u);
    EXPECT_EQ(p.cat.games[0].ShortName.size(), 100000u);
    EXPECT_EQ(p.cat.games[1].Title, std::string("Nul\0Title", 9));
    EXPECT_EQ(p.cat.games[1].ShortName, std::string("n\0s", 3));
}

TEST(CatalogueLookup, FirstMatchIsFoundExactly) {
    Parsed p = parse("#Twin|a\r\n#Twin|b\r\n#twin|c\r\n");
    // Twins keep their flags in the first one's slot; another case is another title.
    EXPECT_EQ(p.cat.flagsSlot(1), 0);
    EXPECT_EQ(p.cat.flagsSlot(2), 2);
    EXPECT_EQ(p.cat.findByShortName("b"), 1);
    EXPECT_EQ(p.cat.findByShortName("B"), -1);
}

TEST(RequiredFilesParse, GroupsFollowConsecutiveNames) {
    GameCatalogue cat;
    cat.games.resize(5);
    parseRequiredFiles("sshoot\\ss-a.bin\r\nsshoot\\ss-b.bin\r\nother\\o1.rom\r\nsshoot\\ss-c.bin\r\n"
                       "Sshoot\\abcdefghijklmnop.bin\r\nSshoot\\sub\\x.bin",
                       cat);
    EXPECT_EQ(cat.games[0].RequiredFiles.size(), 2u);
    EXPECT_EQ(cat.games[0].RequiredFiles[1], "ss-b.bin");
    EXPECT_EQ(cat.games[1].RequiredFiles.size(), 1u);
    EXPECT_EQ(cat.games[2].RequiredFiles[0], "ss-c.bin");
    EXPECT_EQ(cat.games[3].RequiredFiles[0], "abcdefghijklmnop.bin");  // kept whole
    EXPECT_EQ(cat.games[3].RequiredFiles[1], "sub\\x.bin");
    EXPECT_TRUE(cat.games[4].RequiredFiles.empty());
}

TEST(RequiredFilesParse, MalformedLinesNeitherStallNorShiftLaterGroups) {
    GameCatalogue cat;
    cat.games.resize(7);
    cat.games[6].RequiredFiles = {"a", "b", "c"};  // left over from an earlier read
    parseRequiredFiles("a\\1\r\n\r\nno backslash\r\n\\lead\r\nb\\2\r\n\r\n", cat);
    EXPECT_EQ(cat.games[0].RequiredFiles.size(), 1u);
    EXPECT_EQ(cat.games[1].RequiredFiles[0], "2");
    EXPECT_TRUE(cat.games[2].RequiredFiles.empty());
    EXPECT_TRUE(cat.games[6].RequiredFiles.empty());
}

TEST(RequiredFilesParse, EveryFileIsKeptAndGroupsPastTheTableAreIgnored) {
    GameCatalogue cat;
    cat.games.resize(25);
    std::string text;
    for (int f = 0; f < 50; ++f) text += "big\\f" + std::to_string(f) + "\r\n";
    for (int g = 0; g < 40; ++g) text += "g" + std::to_string(g) + "\\x\r\n";
    parseRequiredFiles(text, cat);
    EXPECT_EQ(cat.games[0].RequiredFiles.size(), 50u);
    EXPECT_EQ(cat.games[0].RequiredFiles[34], "f34");
    EXPECT_EQ(cat.games[0].RequiredFiles[49], "f49");
    EXPECT_EQ(cat.games[24].RequiredFiles[0], "x");
    EXPECT_EQ(cat.games[24].RequiredFiles.size(), 1u);
    EXPECT_EQ(cat.games.size(), 25u);  // no game for the groups past the table
}

// Three games on the in-memory disk: "full" has its ROM files and its
// driver beside them, "part" lacks one ROM file, "zip" has only its archive
// and a driver in the drivers directory.
class Rules : public ::testing::Test {
protected:
    MemoryPlatform files;
    GameCatalogue cat;
    TPaths paths{"C:\\Qn\\", "C:\\Emu\\", "C:\\Zips\\", "", "C:\\Drv\\"};
    Availability availability{files};

    void SetUp() override {
        parseCatalogue("#Full Game|full\r\n#Part Game|part\r\n#Zip Game|zip\r\n", cat);
        parseRequiredFiles("full\\f1.rom\r\nfull\\f2.rom\r\npart\\p1.rom\r\npart\\p2.rom\r\nzip\\z.rom\r\n", cat);
        for (const char* f : {"full\\f1.rom", "full\\f2.rom", "full\\full.qun", "part\\p1.rom"})
            files.writeFile(std::string("C:\\Emu\\") + f, "x");
        files.writeFile("C:\\Zips\\zip.zip", "z");
        files.writeFile("C:\\Drv\\zip.qun", "d");
    }
    std::string available(RomMode mode) {
        availability.reset(paths, mode);
        std::string out;
        for (int g = 0; g < cat.size(); ++g) out += availability.of(cat, g) ? 'Y' : 'N';
        return out;
    }
};

TEST_F(Rules, AvailabilityInEachRomMode) {
    files.setCurrentDirectory("C:\\Emu");
    EXPECT_EQ(available({false, false}), "YNN");
    EXPECT_EQ(files.currentDirectory(), "C:\\Emu");  // the lookups build full paths
    FileLookup lookup(files);
    EXPECT_EQ(evaluateGame(cat.games[1], paths, {false, false}, lookup).missing, (std::vector<bool>{false, true}));
    EXPECT_EQ(available({false, true}), "NNN");  // no driver in the drivers directory
    EXPECT_EQ(available({true, true}), "NNY");
    EXPECT_EQ(available({true, false}), "NNN");  // zip's driver is not beside its ROMs
}

TEST_F(Rules, ReportNamesWhatIsMissingAndLeavesTheCatalogueAlone) {
    const GameCatalogue before = cat;
    files.setCurrentDirectory("C:\\Emu");
    // Plain ROM files are judged without the drivers directory, whatever the mode.
    EXPECT_EQ(unavailabilityReport(cat, paths, {false, true}, "Part Game", "part", files),
              "Part Game is not available because:\r"
              "\r   - It wasn't found in C:\\Emu\\part\\. \r     These files are missing:\r"
              "\r   - C:\\Emu\\part\\p2.rom\r"
              "\r   - The driver file C:\\Drv\\part.qun wasn't found");
    EXPECT_EQ(files.currentDirectory(), "C:\\Emu");  // full paths: left alone
    for (int g = 0; g < cat.size(); ++g) EXPECT_EQ(cat.games[g].RequiredFiles, before.games[g].RequiredFiles) << g;
    EXPECT_EQ(unavailabilityReport(cat, paths, {true, false}, "Full Game", "full", files),
              "Full Game is not available because:\r"
              "\r   - The compressed file C:\\Zips\\full.zip wasn't found");
    TPaths unset = paths;
    unset.romsPath = unset.driversPath = "";
    EXPECT_EQ(unavailabilityReport(cat, unset, {true, true}, "Zip Game", "zip", files),
              "Zip Game is not available because:\r"
              "\r   - The compressed ROMs path wasn't selected"
              "\r   - The drivers path wasn't selected");
}

TEST_F(Rules, FilterListsGames) {
    available({false, false});  // full only
    using F = ListFilter;
    EXPECT_TRUE(isListed(true, F::ShowAll));
    EXPECT_TRUE(isListed(false, F::ShowAll));
    EXPECT_TRUE(isListed(true, F::ShowAvailable));
    EXPECT_FALSE(isListed(true, F::ShowUnavailable));
    EXPECT_FALSE(isListed(false, F::ShowAvailable));
    EXPECT_TRUE(isListed(false, F::ShowUnavailable));
    // Which rows may run is the list model's (game_list_model_tests.cpp).
}

TEST_F(Rules, DataFilesThatCannotBeReadGiveTheUsersMessage) {
    cat.games.resize(2);
    EXPECT_EQ(readCatalogueFile(files, "C:\\Qn\\", cat), "There was an error opening C:\\Qn\\roms.dat");
    EXPECT_EQ(cat.size(), 2);
    EXPECT_EQ(readRequiredFilesFile(files, "C:\\Qn\\", cat), "Error loading C:\\Qn\\reqfiles.dat");
    files.writeFile("C:\\Qn\\roms.dat", "#One|one\r\n");
    files.writeFile("C:\\Qn\\reqfiles.dat", "one\\1.rom\r\n");
    EXPECT_EQ(readCatalogueFile(files, "C:\\Qn\\", cat), std::nullopt);
    EXPECT_EQ(readRequiredFilesFile(files, "C:\\Qn\\", cat), std::nullopt);
    EXPECT_EQ(cat.size(), 1);  // the games of the longer table are gone
    EXPECT_EQ(cat.withFiles(0).RequiredFiles[0], "1.rom");
}

using CatalogueFile = test::LauncherTest;

TEST_F(CatalogueFile, MissingFileIsReportedMainPathEmptiedAndCountKept) {
    installSettings();
    app->tpaths.mainPath = test::kProgramDir;
    LoadCatalogue(*app);
    EXPECT_TRUE(app->state.DataLoadError);
    EXPECT_TRUE(app->catalogue.games.empty());
    ASSERT_EQ(os.messages.size(), 1u);
    EXPECT_EQ(os.messages[0].kind, MessageKind::Error);
    EXPECT_EQ(os.messages[0].text, "There was an error opening C:\\QnLaunch\\roms.dat");
    EXPECT_EQ(setting("Main Program Path"), std::string(1, '\0'));  // the next start installs again
}

TEST_F(CatalogueFile, RereadingReplacesNamesInsteadOfAppending) {
    app->tpaths.mainPath = test::kProgramDir;
    writeProgramFiles("#One|one\r\n#Two|two\r\n");
    LoadCatalogue(*app);
    LoadCatalogue(*app);
    EXPECT_EQ(app->catalogue.size(), 2);
    EXPECT_EQ(app->catalogue.games[1].Title, "Two");
    EXPECT_EQ(app->catalogue.games[1].ShortName, "two");
}

TEST_F(CatalogueFile, MissingRequiredFilesListIsAnError) {
    installSettings();
    app->tpaths.mainPath = test::kProgramDir;
    os.writeFile(test::kProgramDir + "roms.dat", "#One|one\r\n");
    LoadRequiredFiles(*app);
    EXPECT_TRUE(app->state.DataLoadError);
    EXPECT_EQ(messageTexts(), std::vector<std::string>{"Error loading C:\\QnLaunch\\reqfiles.dat"});
    EXPECT_EQ(setting("Main Program Path"), std::string(1, '\0'));
}

}  // namespace
}  // namespace qn
