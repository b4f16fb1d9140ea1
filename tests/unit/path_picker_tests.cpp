#include <algorithm>
#include <sstream>

#include <gtest/gtest.h>

#include "test_support.h"

namespace qn {
namespace {

class PathPicker : public test::LauncherTest {
protected:
    TForm1* f = nullptr;
    TForm3* picker = nullptr;
    void SetUp() override {
        installSettings();
        writeProgramFiles("#Alpha|alpha\r\n", "alpha\\a.rom\r\n");
        os.writeFile("C:\\Games\\Quon\\quon.exe", "exe");
        os.writeFile("C:\\Games\\Quon\\alpha\\a.rom", "rom");
        os.makeDirectories("C:\\Games\\Empty");
        os.makeDirectories("D:\\Zips");
        ASSERT_EQ(start(), std::nullopt);
        ASSERT_EQ(showMain(), std::nullopt);
        f = app->Form1.get();
        picker = app->Form3.get();
    }
    void choose(const std::string& dir) { picker->setDirectory(dir); }
};

TEST_F(PathPicker, OffersTheDrivesAndTheDirectoriesOfTheChosenOne) {
    choose("c:\\games\\");
    EXPECT_EQ(picker->DriveComboBox1.items(), (std::vector<std::string>{"C:\\", "D:\\"}));
    EXPECT_EQ(picker->directory(), "C:\\Games");  // as the file system spells it
    const ui::TreeView& tree = picker->DirectoryOutline1;
    EXPECT_EQ(tree.text(tree.selected()), "Games");
    const std::vector<std::string> lines = tree.lines();
    const auto games = std::find(lines.begin(), lines.end(), "  Games");
    ASSERT_NE(games, lines.end());
    EXPECT_EQ(std::vector<std::string>(games + 1, games + 3), (std::vector<std::string>{"    Empty", "    Quon"}));
    picker->DriveComboBox1.userSelect(1);
    EXPECT_EQ(picker->directory(), "D:\\");
    EXPECT_EQ(tree.lines(), (std::vector<std::string>{"D:\\", "  Zips"}));
}

TEST(DirectoryTree, ListsADirectoryWhenFirstOpenedAndMovesWithoutListing) {
    using Strings = std::vector<std::string>;
    MemoryPlatform os;
    for (const char* d : {"C:\\Games\\Quon\\alpha", "C:\\Games\\gamma", "C:\\Games\\Beta",
                          "C:\\Games\\locked\\inner", "C:\\Work"})
        os.makeDirectories(d);
    os.unreadableDirectories.insert("C:\\GAMES\\LOCKED");
    os.setCurrentDirectory("C:\\Games");
    ui::Form form("F", {0, 0, 100, 100}, "");
    ui::ComboBox drives{&form, "Drives", {}, {}};
    ui::TreeView tree{&form, "Tree", {}};
    DirectoryChooser chooser(os, drives, tree, os.currentDirectory());
    // The way down to the working directory, and that directory, are listed;
    // names in order whatever their case.
    EXPECT_EQ(os.subdirectoryListings, (Strings{"C:\\", "C:\\Games"}));
    EXPECT_EQ(tree.lines(),
              (Strings{"C:\\", "  Games", "    Beta", "    gamma", "    locked", "    Quon", "  Work"}));
    EXPECT_EQ(chooser.pathOf(tree.roots()[0]), "C:\\");

    // Moving the selection (arrows, a click) makes it current, listing nothing.
    const int games = tree.selected();
    const int quon = tree.findChild(games, "QUON");
    tree.userSelect(quon);
    EXPECT_EQ(chooser.directory(), "C:\\Games\\Quon");
    EXPECT_EQ(os.subdirectoryListings.size(), 2u);
    EXPECT_FALSE(tree.listed(quon));
    // Enter opens it, listing it once; '-' and '+' close and open it again.
    tree.keyPress('\r', 0);
    EXPECT_TRUE(tree.expanded(quon));
    EXPECT_EQ(os.subdirectoryListings.back(), "C:\\Games\\Quon");
    tree.keyPress('-', 0);
    EXPECT_FALSE(tree.expanded(quon));
    tree.keyPress('+', 0);
    EXPECT_TRUE(tree.expanded(quon));
    EXPECT_EQ(os.subdirectoryListings.size(), 3u);
    EXPECT_EQ(tree.children(quon).size(), 1u);

    // A directory that cannot be read opens empty, without a word.
    const int locked = tree.findChild(games, "locked");
    tree.userSelect(locked);
    tree.activate(locked);
    EXPECT_TRUE(tree.listed(locked));
    EXPECT_TRUE(tree.children(locked).empty());
    EXPECT_TRUE(os.messages.empty());
    EXPECT_EQ(chooser.directory(), "C:\\Games\\locked");
}

TEST(DirectoryTree, TypingFindsAShownNodeByTheStartOfItsName) {
    ui::TreeView tree{nullptr, "Tree", {}};
    const int root = tree.addRoot("C:\\");
    tree.setChildren(root, {"Alpha", "arcade", "Beta", "bin", "Games", "\xC3\xA9t\xC3\xA9",  // "été"
                            "\xD0\xB8\xD0\xB3\xD1\x80\xD1\x8B",                                // "игры"
                            "\xCE\xA9mega"});                                                   // "Ωmega"
    const int alpha = 1, arcade = 2, beta = 3, bin = 4, games = 5, ete = 6, igry = 7, omega = 8;
    tree.setChildren(games, {"Apple"});  // under a closed node: not found
    tree.expand(root);
    const struct {
        const char16_t* keys;
        std::uint32_t gap;  // milliseconds between the keys
        int from, to;
    } rows[] = {
        {u"a", 0, root, alpha},
        {u"aa", 100, root, arcade},   // the same letter again: the next such name
        {u"aaa", 100, root, alpha},   // round to the top again
        {u"ar", 100, root, arcade},   // a longer start
        {u"BI", 100, root, bin},      // case does not matter
        {u"b", 0, beta, bin},         // one letter goes on from the selection
        {u"ap", 100, root, alpha},    // "ap" is only under a closed node
        {u"ab", 1500, root, beta},    // a pause starts a new name
        {u"z", 0, games, games},      // nothing by that name: stays
        {u"\u00C9", 0, root, ete},    // any script, either case: É finds "été"
        {u"\u0418\u0433", 100, root, igry},  // "Иг" finds "игры"
        {u"\u03C9", 0, root, omega},  // ω finds "Ωmega"
    };
    std::uint32_t time = 0;
    for (const auto& row : rows) {
        tree.select(row.from);
        time += 10000;
        for (const char16_t* k = row.keys; *k; ++k, time += row.gap) EXPECT_TRUE(tree.keyPress(*k, time));
        EXPECT_EQ(tree.selected(), row.to) << row.from << " -> " << row.to;
    }
    EXPECT_FALSE(tree.keyPress('\t', time));
}

TEST_F(PathPicker, EmulatorDirectoryIsDeliveredThroughTheBox) {
    f->SpeedButton6.click();
    EXPECT_FALSE(f->enabled());
    EXPECT_TRUE(picker->showing());
    EXPECT_EQ(picker->Label1.caption(), "Select the path where QUON is installed:");
    EXPECT_EQ(picker->opener(), f);
    choose("C:\\Games\\Quon");
    picker->SpeedButton1.click();
    EXPECT_FALSE(picker->showing());
    EXPECT_TRUE(f->enabled());
    EXPECT_EQ(f->Edit1.text(), "c:\\games\\quon");
    EXPECT_EQ(app->tpaths.emulatorPath, "c:\\games\\quon\\");
    EXPECT_EQ(f->ListView1.row(0)[2], "Yes");  // the list follows in plain mode
    EXPECT_EQ(picker->selectedPath(), "C:\\Games\\Quon");
}

TEST_F(PathPicker, DirectoryWithoutAnOpenableEmulatorIsRefused) {
    f->paths.take(PathBox::Emulator, "C:\\Games\\Quon");
    os.writeFile("C:\\Games\\Locked\\quon.exe", "exe", true);
    for (const char* dir : {"C:\\Games\\Empty", "C:\\Games\\Locked"}) {
        f->SpeedButton6.click();
        choose(dir);
        picker->SpeedButton1.click();
        EXPECT_EQ(os.messages.back().kind, MessageKind::Warning);
        EXPECT_EQ(os.messages.back().text, std::string("Quon.exe wasn\xC2\xB4t found in ") + dir);
        EXPECT_TRUE(picker->showing());
        EXPECT_FALSE(f->enabled());
        picker->SpeedButton2.click();  // Cancel after the failed check
        EXPECT_EQ(picker->selectedPath(), "");
        EXPECT_TRUE(f->enabled());
        EXPECT_EQ(app->tpaths.emulatorPath, "c:\\games\\quon\\");
    }
    // The accent is U+00B4, in UTF-8 as all text inside.
    EXPECT_EQ(os.messages.back().text.substr(12, 3), "n\xC2\xB4");
}

TEST_F(PathPicker, DriveRootIsTestedWithADoubledBackslashAndDeliveredWithOne) {
    os.writeFile("D:\\quon.exe", "exe");
    f->SpeedButton6.click();
    choose("D:\\");
    picker->SpeedButton1.click();
    EXPECT_FALSE(picker->showing());
    EXPECT_EQ(f->Edit1.text(), "d:\\");
    EXPECT_EQ(app->tpaths.emulatorPath, "d:\\");
}

TEST_F(PathPicker, ZippedRomsAndDriversDirectoriesNeedNoCheck) {
    f->CheckBox7.setChecked(true);
    f->SpeedButton5.click();
    EXPECT_EQ(picker->Label1.caption(), "Select the path where your compressed ROMs are stored:");
    choose("D:\\Zips");
    picker->SpeedButton1.click();
    EXPECT_EQ(app->tpaths.romsPath, "d:\\zips\\");
    f->CheckBox8.setChecked(true);
    f->SpeedButton8.click();
    EXPECT_EQ(picker->Label1.caption(), "Select the path to your QUON game drivers:");
    choose("C:\\Games\\Empty");
    picker->SpeedButton1.click();
    EXPECT_EQ(f->Edit4.text(), "c:\\games\\empty");
    EXPECT_EQ(app->tpaths.driversPath, "c:\\games\\empty\\");
    EXPECT_TRUE(os.messages.empty());
}

TEST_F(PathPicker, TheConfigurationDialogReceivesItsOwnChoice) {
    TForm5& dialog = *app->Form5;
    dialog.SpeedButton6.click();
    EXPECT_FALSE(dialog.enabled());
    EXPECT_EQ(picker->opener(), &dialog);
    EXPECT_EQ(picker->Label1.caption(), "Select the path to QUON:");
    choose("C:\\Games\\Quon");
    picker->SpeedButton1.click();
    EXPECT_EQ(dialog.Edit1.text(), "c:\\games\\quon");
    EXPECT_EQ(app->tpaths.emulatorPath, "c:\\games\\quon\\");
    EXPECT_EQ(f->Edit1.text(), "");
    EXPECT_TRUE(dialog.enabled());
}

TEST_F(PathPicker, UnzipProgramComesFromTheFileDialog) {
    f->CheckBox7.setChecked(true);
    f->SpeedButton4.click();  // cancelled
    ASSERT_EQ(os.fileDialogs.size(), 1u);
    // Each choice shows the files its label names in brackets.
    std::vector<std::string> parts;
    std::stringstream filter(os.fileDialogs[0].first);
    for (std::string part; std::getline(filter, part, '|');) parts.push_back(part);
    ASSERT_EQ(parts.size(), 6u);
    for (size_t i = 0; i < parts.size(); i += 2) {
        const size_t open = parts[i].rfind('(');
        EXPECT_EQ(parts[i].substr(open + 1, parts[i].size() - open - 2), parts[i + 1]) << parts[i];
    }
    EXPECT_EQ(os.fileDialogs[0].second, "Select PkUnzip program file");
    EXPECT_EQ(app->tpaths.unzipProgram, "");
    os.fileDialogAnswers.push_back("C:\\Tools\\PKUNZIP.EXE");
    f->SpeedButton4.click();
    EXPECT_EQ(f->Edit2.text(), "c:\\tools\\pkunzip.exe");
    EXPECT_EQ(app->tpaths.unzipProgram, "C:\\Tools\\PKUNZIP.EXE");
    f->SpeedButton4.click();  // cancelled again: kept
    EXPECT_EQ(app->tpaths.unzipProgram, "C:\\Tools\\PKUNZIP.EXE");
}

TEST_F(PathPicker, ButtonsAreMarkedAndMadeFlatOnlyInTheSingleClickInterface) {
    f->SpeedButton6.click();
    picker->SpeedButton1.mouseMove();
    EXPECT_EQ(picker->SpeedButton1.font().color, ui::Color::of(ui::SysColor::WindowText));
    picker->SpeedButton2.click();
    f->SpeedButton9.click();
    f->SpeedButton6.click();
    EXPECT_TRUE(picker->SpeedButton1.flat());
    picker->SpeedButton1.mouseMove();
    EXPECT_EQ(picker->SpeedButton1.font().color, ui::Color::of(ui::SysColor::Highlight));
    picker->SpeedButton2.mouseMove();
    EXPECT_EQ(picker->SpeedButton1.font().color, ui::Color::of(ui::SysColor::WindowText));
    picker->DirectoryOutline1.mouseMove();
    EXPECT_EQ(picker->SpeedButton2.font().color, ui::Color::of(ui::SysColor::WindowText));
}

}  // namespace
}  // namespace qn
