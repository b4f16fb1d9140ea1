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
    std::vector<std::string> entries() const { return picker->DirectoryOutline1.items(); }
};

TEST_F(PathPicker, OffersTheDrivesAndTheDirectoriesOfTheChosenOne) {
    EXPECT_EQ(picker->DriveComboBox1.items(), (std::vector<std::string>{"C:\\", "D:\\"}));
    choose("c:\\games\\");
    EXPECT_EQ(picker->directory(), "C:\\games");
    EXPECT_EQ(entries(), (std::vector<std::string>{"C:\\", "  games", "    Empty", "    Quon"}));
    EXPECT_EQ(picker->DirectoryOutline1.itemIndex(), 1);
    picker->DirectoryOutline1.userSelect(3);  // the keyboard or a click
    EXPECT_EQ(picker->directory(), "C:\\games\\Quon");
    EXPECT_EQ(entries().back(), "      alpha");
    picker->DriveComboBox1.userSelect(1);
    EXPECT_EQ(picker->directory(), "D:\\");
    EXPECT_EQ(entries(), (std::vector<std::string>{"D:\\", "  Zips"}));
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
    f->Edit1.setText("C:\\Games\\Quon");
    os.writeFile("C:\\Games\\Locked\\quon.exe", "exe", true);
    for (const char* dir : {"C:\\Games\\Empty", "C:\\Games\\Locked"}) {
        f->SpeedButton6.click();
        choose(dir);
        picker->SpeedButton1.click();
        EXPECT_EQ(os.messages.back().kind, MessageKind::Warning);
        EXPECT_EQ(os.messages.back().text, std::string("Quon.exe wasn\xB4t found in ") + dir);
        EXPECT_TRUE(picker->showing());
        EXPECT_FALSE(f->enabled());
        picker->SpeedButton2.click();  // Cancel after the failed check
        EXPECT_EQ(picker->selectedPath(), "");
        EXPECT_TRUE(f->enabled());
        EXPECT_EQ(app->tpaths.emulatorPath, "c:\\games\\quon\\");
    }
    // The accent is the one byte of the Windows code page.
    EXPECT_EQ(static_cast<unsigned char>(os.messages.back().text[13]), 0xB4);
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
    EXPECT_EQ(os.fileDialogs[0].first,
              "PkUnzip Program File (pkunzip.exe)|pkunzip.exe|Program Files (*.exe;*.com)|*.exe|"
              "All files (*.*)|*.*");
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
    EXPECT_EQ(picker->SpeedButton1.font().color, ui::kBlack);
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
