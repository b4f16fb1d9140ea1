// The configuration dialog of the first run: the paths, compressed mode and
// the interface type, saved when it closes.
#include "app/dialogs/config_dialog.h"

#include "app/stored_data.h"
#include "install/program_files.h"
#include "settings/settings_store.h"

namespace qn {

TForm5::TForm5(App& app)
    : ui::Form("Form5", {0, 0, 353, 329}, "Tolvane's Quon FrontEnd Configuration"), app_(app) {
    setCloseBox(false);  // OK is the only way out
    defaultButton = &SpeedButton3;
    // The dialog is used by keyboard too: its buttons take the focus, unlike
    // the main window's, which share the path panel with it.
    for (ui::Button* b : {&SpeedButton6, &SpeedButton8, &SpeedButton4, &SpeedButton5, &SpeedButton1,
                          &SpeedButton2, &SpeedButton3})
        b->setTabStop(true);
    for (ui::Edit* e : {&Edit1, &Edit2, &Edit3, &Edit4}) e->setEnabled(false);

    onClose = [this] { FormClose(); };
    CheckBox7.onClick = [this] { CheckBox7Click(); };
    CheckBox8.onClick = [this] { CheckBox8Click(); };
    SpeedButton3.onClick = [this] { SpeedButton3Click(); };
    SpeedButton4.onClick = [this] { SpeedButton4Click(); };
    SpeedButton5.onClick = [this] { SpeedButton5Click(); };
    SpeedButton6.onClick = [this] { SpeedButton6Click(); };
    SpeedButton8.onClick = [this] { SpeedButton8Click(); };
    SpeedButton1.onClick = [this] { SpeedButton1Click(); };
    SpeedButton2.onClick = [this] { SpeedButton2Click(); };
    Timer1.onTimer = [this] { Timer1Timer(); };
    ComboBox1.onChange = [this] { app_.state.configuredSingleClick = ComboBox1.itemIndex() == 0; };
}

void TForm5::FormCreate() {
    ComboBox1.setItemIndex(0);
    app_.state.configuredSingleClick = true;
}

void TForm5::CheckBox7Click() { paths.setCompressedInUse(CheckBox7.checked()); }

void TForm5::CheckBox8Click() {
    paths.setDriversInUse(CheckBox8.checked());
    // Taken as the box shows it; the main window adds the backslash later.
    paths.holdShown(PathBox::Drivers, true);
}

void TForm5::SpeedButton4Click() {
    std::optional<std::string> file = app_.os.openFileDialog(
        "PkUnzip Program File (pkunzip.exe)|pkunzip.exe|All Files (*.*)|*.*",
        "Select PkUnzip program file");
    if (!file) return;
    paths.take(PathBox::Unzip, *file);
}

void TForm5::SpeedButton6Click() { paths.pickEmulatorDirectory(*this, "Select the path to QUON:"); }
void TForm5::SpeedButton5Click() {
    paths.pickDirectory(*this, "Select the path where you have the compressed ROMs:", PathBox::Roms);
}
void TForm5::SpeedButton8Click() {
    paths.pickDirectory(*this, "Select the path to your QUON game drivers:", PathBox::Drivers);
}

void TForm5::SpeedButton3Click() {
    close();
    app_.mainWindow().showMainWindow();
}

void TForm5::FormClose() {
    app_.singleClick = app_.state.configuredSingleClick;
    SaveSettings(app_);
}

}  // namespace qn

namespace qn {
namespace {

// The shell makes the recent-documents shortcut in its own time; after this
// many seconds without it there is nothing to copy and the timer gives up.
constexpr int kDesktopCopyTries = 30;

}  // namespace

bool TForm5::prepareShortcut(const char* folderName, std::string& folder) {
    std::unique_ptr<RegistryKey> key = app_.os.openKey(RootKey::CurrentUser, kShellFolders, KeyAccess::Read);
    if (!key) return false;
    // A folder the shell does not name keeps what an earlier click read.
    auto read = [&key](const char* name, std::string& dir) {
        if (auto text = readRegistryText(*key, name)) dir = withTrailingBackslash(*text);
    };
    read(folderName, folder);
    read("Recent", recentDir_);
    app_.os.addToRecentDocuments(app_.tpaths.mainPath + "qnlaunch.exe");
    return true;
}

void TForm5::SpeedButton1Click() {
    if (!prepareShortcut("Desktop", desktopDir_)) return;
    desktopTries_ = 0;
    Timer1.setEnabled(true);
}

void TForm5::Timer1Timer() {
    const std::string target = desktopDir_ + kDesktopShortcut;
    app_.os.copyFile(recentDir_ + "qnlaunch.exe.lnk", target);
    if (app_.os.fileExists(target) || ++desktopTries_ >= kDesktopCopyTries) Timer1.setEnabled(false);
}

void TForm5::SpeedButton2Click() {
    if (!prepareShortcut("Programs", programsDir_)) return;
    app_.os.copyFile(recentDir_ + "qnlaunch.exe.lnk", programsDir_ + kProgramsShortcut);
}

}  // namespace qn
