// First run, configuration dialog, shortcuts, links and uninstall.
#include <gtest/gtest.h>

#include "install/program_files.h"
#include "test_support.h"

namespace qn {
namespace {

using Strings = std::vector<std::string>;

TEST(Installation, CopiesProgramFilesThenPicturesAndStopsAtTheFirstFailure) {
    MemoryPlatform os;
    for (const char* name : {"qnlaunch.exe", "readme.txt", "abouttxt.dat", "roms.dat", "reqfiles.dat",
                             "noscreen.jpg", "tolvane1.jpg"})
        os.writeFile(std::string("D:\\Dist\\") + name, name);
    os.makeDirectories("C:\\Games");
    EXPECT_EQ(installProgramFiles(os, "D:\\Dist", "C:\\Games\\"),
              "Error copying screenshot files to 'C:\\Games\\screens\\'. You will have to copy "
              "them to the 'screens' directory manually (The system cannot find the file specified.)");
    EXPECT_EQ(os.readFile("C:\\Games\\reqfiles.dat"), "reqfiles.dat");
    EXPECT_EQ(os.readFile("C:\\Games\\screens\\tolvane1.jpg"), "tolvane1.jpg");
    EXPECT_FALSE(os.fileExists("C:\\Games\\noscreen.jpg"));  // pictures go to screens\ only

    // Into the directory it runs from (whatever the case of its name) a
    // program file that is there is not copied onto itself; a missing one
    // is still the first failure.
    os.writeFile("D:\\Dist\\tolvane2.jpg", "tolvane2.jpg");
    EXPECT_EQ(installProgramFiles(os, "D:\\Dist\\", "d:\\dist\\"), std::nullopt);
    EXPECT_TRUE(os.fileExists("D:\\Dist\\screens\\tolvane2.jpg"));
    os.deleteFile("D:\\Dist\\readme.txt");
    EXPECT_EQ(installProgramFiles(os, "D:\\Dist\\", "d:\\dist\\"),
              "Error copying program files to 'd:\\dist\\'. You will have to do it manually (The system "
              "cannot find the file specified.)");
    EXPECT_EQ(installProgramFiles(os, "D:\\Dist", "C:\\Other\\"),
              "Error copying program files to 'C:\\Other\\'. You will have to do it manually (The system "
              "cannot find the path specified.)");
}

// A first run from a distribution directory holding every file.
class FirstRun : public test::LauncherTest {
protected:
    TForm2* installer = nullptr;
    void SetUp() override {
        for (const char* name : {"qnlaunch.exe", "readme.txt", "abouttxt.dat", "reqfiles.dat",
                                 "noscreen.jpg", "tolvane1.jpg", "tolvane2.jpg"})
            os.writeFile(std::string("D:\\Dist\\") + name, name);
        os.writeFile("D:\\Dist\\roms.dat", "#Alpha|alpha\r\n");
        os.makeDirectories("C:\\Games");
        os.setCurrentDirectory("D:\\Dist");
        ASSERT_EQ(start(), std::nullopt);
        installer = app->Form2.get();
        ASSERT_NE(installer, nullptr);
        os.messages.clear();
    }
    std::optional<int> okTo(const std::string& dir) {
        installer->tree().setDirectory(dir);
        try {
            installer->SpeedButton1.click();
        } catch (const ProcessExit& e) {
            return e.code;
        }
        return std::nullopt;
    }
};

TEST_F(FirstRun, InstallerStartsClearAndShowsTheTreesDirectory) {
    EXPECT_TRUE(installer->showing());
    EXPECT_FALSE(app->Form1->showing());
    EXPECT_EQ(installer->sourceDir(), "D:\\Dist");
    EXPECT_EQ(installer->Edit1.text(), "D:\\Dist");
    installer->DirectoryOutline1.userSelect(0);
    EXPECT_EQ(installer->Edit1.text(), "D:\\");
}

TEST_F(FirstRun, NoToTheInstallQuestionKeepsTheDialog) {
    os.answers = {MessageAnswer::No};
    EXPECT_EQ(okTo("C:\\Games"), std::nullopt);
    EXPECT_EQ(messageTexts(), Strings{"OK to install to C:\\Games?"});
    EXPECT_EQ(os.messages[0].kind, MessageKind::Confirm);
    EXPECT_TRUE(installer->showing());
    EXPECT_EQ(installer->tree().directory(), "C:\\Games");
    EXPECT_FALSE(os.fileExists("C:\\Games\\roms.dat"));
}

TEST_F(FirstRun, CopiesInOrderThenOpensTheMainWindowWithoutConfiguring) {
    os.writeFile("C:\\Games\\roms.dat", "old");  // overwritten
    os.answers = {MessageAnswer::Yes, MessageAnswer::No};
    EXPECT_EQ(okTo("C:\\Games"), std::nullopt);
    for (const char* name : {"qnlaunch.exe", "readme.txt", "abouttxt.dat", "reqfiles.dat"})
        EXPECT_TRUE(os.fileExists(std::string("C:\\Games\\") + name)) << name;
    EXPECT_EQ(os.readFile("C:\\Games\\roms.dat"), "#Alpha|alpha\r\n");
    EXPECT_TRUE(os.fileExists("C:\\Games\\screens\\tolvane1.jpg"));
    EXPECT_EQ(messageTexts().back(),
              "Program files copied. Do you want to configure some QnLaunch options now?");
    EXPECT_FALSE(installer->showing());
    EXPECT_TRUE(app->Form1->showing());
    EXPECT_EQ(app->catalogue.size(), 1);  // read from the new directory
    EXPECT_EQ(setting("Main Program Path"), std::string("C:\\Games\\") + '\0');
    // Without configuring, the main window opens in the common interface a
    // new user is told about, and that is what is stored, now and at the close.
    EXPECT_EQ(setting("Interface"), std::string("Common") + '\0');
    EXPECT_FALSE(app->singleClick);
    EXPECT_EQ(app->Form1->StatusBar1.panelText(3), "Select a game and then doubleclick on it to play");
    EXPECT_TRUE(app->Form1->SpeedButton10.pressed());
    EXPECT_FALSE(app->Form1->SpeedButton9.pressed());
    EXPECT_EQ(closeMain(), 0);
    EXPECT_EQ(setting("Interface"), std::string("Common") + '\0');
}

TEST_F(FirstRun, WithoutConfiguringAnEmptiedInstallKeepsTheInterfaceItHad) {
    // An emptied main path is a first run that still reads the other values.
    app = std::make_unique<App>(os);
    os.setString(RootKey::LocalMachine, kSettingsKey, "Main Program Path", "");
    os.setString(RootKey::LocalMachine, kSettingsKey, "Interface", "Cool");
    ASSERT_EQ(start(), std::nullopt);
    installer = app->Form2.get();
    ASSERT_NE(installer, nullptr);
    os.answers = {MessageAnswer::Yes, MessageAnswer::No};
    EXPECT_EQ(okTo("C:\\Games"), std::nullopt);
    EXPECT_TRUE(app->singleClick);
    EXPECT_EQ(app->Form1->StatusBar1.panelText(3), "Select a game and then click on it to play");
    EXPECT_EQ(setting("Interface"), std::string("Cool") + '\0');
}

TEST_F(FirstRun, YesOpensTheConfigurationDialogWhoseOkSavesAndShowsTheMain) {
    os.answers = {MessageAnswer::Yes, MessageAnswer::Yes};
    EXPECT_EQ(okTo("C:\\Games"), std::nullopt);
    TForm5& dialog = *app->Form5;
    EXPECT_TRUE(dialog.showing());
    EXPECT_FALSE(os.keyExists(RootKey::LocalMachine, kSettingsKey));
    for (bool drivers : {false, true, false}) {  // the drivers "..." only with "Use drivers path"
        dialog.CheckBox8.setChecked(drivers);
        EXPECT_EQ(dialog.SpeedButton8.enabled(), drivers);
    }
    dialog.CheckBox7.setChecked(true);
    os.fileDialogAnswers.push_back("C:\\Tools\\PKUNZIP.EXE");
    dialog.SpeedButton4.click();
    EXPECT_EQ(os.fileDialogs.back().first,
              "PkUnzip Program File (pkunzip.exe)|pkunzip.exe|All Files (*.*)|*.*");
    dialog.ComboBox1.userSelect(1);  // "Common interface"
    dialog.SpeedButton3.click();
    EXPECT_FALSE(dialog.showing());
    EXPECT_TRUE(app->Form1->showing());
    EXPECT_FALSE(app->singleClick);
    EXPECT_EQ(setting("Interface"), std::string("Common") + '\0');
    // The box's change handler takes the name back in lower case.
    EXPECT_EQ(setting("PkUnzip Program"), std::string("c:\\tools\\pkunzip.exe") + '\0');
    EXPECT_FALSE(app->state.firstRun);
}

TEST_F(FirstRun, CopyFailuresSaveAndEndWithCodeFour) {
    os.deleteFile("D:\\Dist\\abouttxt.dat");
    os.answers = {MessageAnswer::Yes};
    EXPECT_EQ(okTo("C:\\Games"), 4);
    EXPECT_EQ(messageTexts().back(),
              "Error copying program files to 'C:\\Games\\'. You will have to do it manually (The system "
              "cannot find the file specified.)");
    EXPECT_EQ(os.messages.back().kind, MessageKind::Error);
    EXPECT_TRUE(os.fileExists("C:\\Games\\readme.txt"));   // copied before the failure
    EXPECT_FALSE(os.fileExists("C:\\Games\\roms.dat"));    // not tried after it
    EXPECT_EQ(setting("Main Program Path"), std::string("C:\\Games\\") + '\0');
    EXPECT_EQ(setting("Quon Path"), std::string(1, '\0'));
}

TEST_F(FirstRun, PictureFailureNamesTheScreensDirectory) {
    os.deleteFile("D:\\Dist\\tolvane2.jpg");
    os.answers = {MessageAnswer::Yes};
    EXPECT_EQ(okTo("C:\\Games"), 4);
    EXPECT_EQ(messageTexts().back(),
              "Error copying screenshot files to 'C:\\Games\\screens\\'. You will have to copy them "
              "to the 'screens' directory manually (The system cannot find the file specified.)");
    EXPECT_TRUE(os.fileExists("C:\\Games\\screens\\tolvane1.jpg"));
}

TEST_F(FirstRun, InstallingWhereTheProgramRunsNeedsNoCopy) {
    os.answers = {MessageAnswer::Yes, MessageAnswer::No};
    EXPECT_EQ(okTo("D:\\Dist"), std::nullopt);
    EXPECT_TRUE(app->Form1->showing());
    EXPECT_TRUE(os.fileExists("D:\\Dist\\screens\\noscreen.jpg"));
}

TEST_F(FirstRun, ExitEndsWithZeroAndSavesNothing) {
    try {
        installer->SpeedButton2.click();
        FAIL() << "Exit must end the process";
    } catch (const ProcessExit& e) {
        EXPECT_EQ(e.code, 0);
    }
    EXPECT_FALSE(os.keyExists(RootKey::LocalMachine, kSettingsKey));
}

TEST_F(FirstRun, NewDirectoryDialogMakesOneLevel) {
    installer->tree().setDirectory("C:\\Games");
    installer->SpeedButton3.click();
    TForm6& dialog = *app->Form6;
    EXPECT_FALSE(installer->enabled());
    EXPECT_EQ(dialog.Edit1.text(), "C:\\Games\\");
    EXPECT_TRUE(dialog.Button1.enabled());  // the box holds the directory
    dialog.Edit1.setText("");
    EXPECT_FALSE(dialog.Button1.enabled());
    dialog.Edit1.setText("C:\\Games\\Arcade");
    EXPECT_TRUE(dialog.Button1.enabled());
    dialog.Edit1.keyPress('\r');
    EXPECT_FALSE(dialog.showing());
    EXPECT_TRUE(installer->enabled());
    EXPECT_TRUE(os.directoryExists("C:\\Games\\Arcade"));
    EXPECT_EQ(installer->DirectoryOutline1.lines().back(), "    Arcade");
    EXPECT_EQ(installer->tree().directory(), "C:\\Games");

    installer->SpeedButton3.click();
    dialog.Edit1.setText("C:\\Games\\No\\Such");
    dialog.Button1.click();
    EXPECT_EQ(messageTexts().back(), "There was an error creating C:\\Games\\No\\Such directory");
    EXPECT_TRUE(dialog.showing());
    dialog.Edit1.setText("");
    dialog.Edit1.keyPress('\r');  // Enter works while OK is disabled
    EXPECT_EQ(messageTexts().back(), "There was an error creating  directory");
    dialog.Edit1.keyPress('\x1b');
    EXPECT_FALSE(dialog.showing());
}

class Outside : public test::LauncherTest {
protected:
    TForm1* f = nullptr;
    void SetUp() override {
        installSettings();
        os.setString(RootKey::LocalMachine, kSettingsKey, "Quon Path", "C:\\Quon\\");
        os.setString(RootKey::ClassesRoot, "htmlfile\\shell\\open\\command", "",
                     "\"C:\\Browser\\web.exe\" -new \"%1\"");
        writeProgramFiles("#Alpha|alpha\r\n");
        ASSERT_EQ(start(), std::nullopt);
        ASSERT_EQ(showMain(), std::nullopt);
        f = app->Form1.get();
    }
};

TEST_F(Outside, LinksPutTheirAddressInTheBrowserCommand) {
    os.makeDirectories("C:\\Quon");
    app->state.outsideDirectory = "C:\\Quon";  // where a run left it
    f->Label16.click();
    f->Label8.click();
    f->Label8.click();
    ASSERT_EQ(os.processes.size(), 3u);
    const auto& mail = os.processes[0].request;
    EXPECT_EQ(mail.commandLine, "\"C:\\Browser\\web.exe\" -new \"mailto:" + f->Label16.caption() + "\"");
    EXPECT_TRUE(mail.inheritHandles);
    EXPECT_FALSE(mail.newConsole);
    EXPECT_FALSE(mail.wait);
    EXPECT_EQ(mail.show, ShowState::Default);
    EXPECT_EQ(mail.workingDirectory, "C:\\Quon");
    EXPECT_EQ(os.processes[1].request.commandLine,
              "\"C:\\Browser\\web.exe\" -new \"" + f->Label8.caption() + "\"");
}

TEST_F(Outside, ReadmesGoToTheShell) {
    f->SpeedButton2.click();
    f->SpeedButton3.click();
    EXPECT_EQ(os.shellOpened, (std::vector<std::pair<std::string, std::string>>{
                                  {"C:\\QnLaunch\\readme.txt", "C:\\"},
                                  {"c:\\quon\\readme.txt", "C:\\"}}));
    f->paths.take(PathBox::Emulator, "");
    f->SpeedButton3.click();  // no emulator directory: nothing
    EXPECT_EQ(os.shellOpened.size(), 2u);
    EXPECT_TRUE(os.messages.empty());
}

TEST_F(Outside, UninstallRemovesTheKeyAndItsShortcutsAndEndsWithFive) {
    os.setString(RootKey::CurrentUser, kShellFolders, "Desktop", "C:\\Users\\me\\Desktop");
    os.setString(RootKey::CurrentUser, kShellFolders, "Programs", "C:\\Users\\me\\Programs\\");
    // Ours by name and target; another program's of our name; ours by target only.
    const std::string ours = "C:\\Users\\me\\Desktop\\QnLaunch v2.09.lnk";
    const std::string named = "C:\\Users\\me\\Programs\\Tolvane's QUON FrontEnd v2.09.lnk";
    const std::string copied = "C:\\Users\\me\\Desktop\\QnLaunch.lnk";
    os.shortcuts = {{ours, "c:\\qnlaunch\\QNLAUNCH.EXE"}, {named, "C:\\Other\\qnlaunch.exe"},
                    {copied, "C:\\QnLaunch\\qnlaunch.exe"}};
    for (const auto& [file, target] : os.shortcuts) os.writeFile(file, "link");
    os.answers = {MessageAnswer::No};
    f->SpeedButton11.click();
    EXPECT_TRUE(os.keyExists(RootKey::LocalMachine, kSettingsKey));
    EXPECT_TRUE(os.fileExists(ours));
    os.answers = {MessageAnswer::Yes};
    try {
        f->SpeedButton11.click();
        FAIL() << "a successful uninstall ends the process";
    } catch (const ProcessExit& e) {
        EXPECT_EQ(e.code, 5);
    }
    EXPECT_EQ(messageTexts(), (Strings{"Are you sure you want to uninstall QnLaunch?",
                                       "Are you sure you want to uninstall QnLaunch?",
                                       "QnLaunch registry key successfully deleted. You can now "
                                       "delete this program"}));
    EXPECT_FALSE(os.keyExists(RootKey::LocalMachine, kSettingsKey));
    EXPECT_TRUE(os.keyExists(RootKey::LocalMachine, "Software\\Tolvane"));
    EXPECT_FALSE(os.fileExists(ours));
    EXPECT_TRUE(os.fileExists(named));
    EXPECT_TRUE(os.fileExists(copied));
    app = std::make_unique<App>(os);
    EXPECT_EQ(start(), std::nullopt);
    EXPECT_NE(app->Form2, nullptr);  // the next start installs again
}

TEST_F(Outside, UninstallFailureNamesTheWholeKey) {
    os.deleteKey(RootKey::LocalMachine, kSettingsKey);
    os.answers = {MessageAnswer::Yes};
    f->SpeedButton11.click();
    EXPECT_EQ(os.messages.back().kind, MessageKind::Warning);
    EXPECT_EQ(os.messages.back().text,
              "Unable to delete Registry key \"HKEY_LOCAL_MACHINE\\SOFTWARE\\Tolvane\\Tolvane Quon "
              "FrontEnd v2.09\". You will have to delete it manually");
    EXPECT_EQ(closeMain(), 0);  // saved again at the close
    EXPECT_TRUE(os.keyExists(RootKey::LocalMachine, kSettingsKey));
}

TEST_F(Outside, ShortcutsAreCopiedFromTheRecentDocuments) {
    TForm5& dialog = *app->Form5;
    dialog.SpeedButton1.click();  // no shell folders: nothing happens
    EXPECT_FALSE(dialog.Timer1.enabled());
    os.setString(RootKey::CurrentUser, kShellFolders, "Desktop", "C:\\Users\\me\\Desktop");
    os.setString(RootKey::CurrentUser, kShellFolders, "Recent", "C:\\Users\\me\\Recent\\");
    os.setString(RootKey::CurrentUser, kShellFolders, "Programs", "C:\\Users\\me\\Programs");
    os.makeDirectories("C:\\Users\\me\\Desktop");
    os.makeDirectories("C:\\Users\\me\\Programs");
    dialog.SpeedButton1.click();
    EXPECT_EQ(os.recentDocuments, Strings{"C:\\QnLaunch\\qnlaunch.exe"});
    EXPECT_TRUE(dialog.Timer1.enabled());
    dialog.Timer1.tick();  // the shell has not made the shortcut yet
    EXPECT_TRUE(dialog.Timer1.enabled());
    os.writeFile("C:\\Users\\me\\Recent\\qnlaunch.exe.lnk", "link");
    dialog.Timer1.tick();
    EXPECT_TRUE(os.fileExists("C:\\Users\\me\\Desktop\\QnLaunch v2.09.lnk"));
    EXPECT_FALSE(dialog.Timer1.enabled());
    dialog.SpeedButton2.click();
    EXPECT_TRUE(os.fileExists("C:\\Users\\me\\Programs\\Tolvane's QUON FrontEnd v2.09.lnk"));
}

TEST_F(Outside, DesktopCopyGivesUpWhenTheShellNeverMakesTheShortcut) {
    TForm5& dialog = *app->Form5;
    os.setString(RootKey::CurrentUser, kShellFolders, "Desktop", "C:\\Desk");
    os.setString(RootKey::CurrentUser, kShellFolders, "Recent", "C:\\Recent");
    dialog.SpeedButton1.click();
    int ticks = 0;
    while (dialog.Timer1.enabled() && ticks < 1000) {
        dialog.Timer1.tick();
        ++ticks;
    }
    EXPECT_EQ(ticks, 30);
}

}  // namespace
}  // namespace qn
