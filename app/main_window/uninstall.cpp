// Uninstalling removes the settings key and the shortcuts the first run
// placed; the program's files are the user's to delete.
#include "app/main_window/main_window.h"
#include "install/program_files.h"
#include "settings/settings_store.h"

namespace qn {

void TForm1::SpeedButton11Click() {
    Platform& os = app_.os;
    if (os.messageBox(MessageKind::Confirm, "Are you sure you want to uninstall QnLaunch?",
                      MessageButtons::YesNo) != MessageAnswer::Yes)
        return;
    if (uninstallSettingsKey(os)) {
        removeShortcuts(os, fullPath(os.currentDirectory(), app_.tpaths.mainPath) + "qnlaunch.exe");
        os.messageBox(MessageKind::Information,
                      "QnLaunch registry key successfully deleted. You can now delete this program");
        os.exitProcess(5);
    }
    os.messageBox(MessageKind::Warning,
                  "Unable to delete Registry key \"HKEY_LOCAL_MACHINE\\SOFTWARE\\Tolvane\\Tolvane Quon "
                  "FrontEnd v2.09\". You will have to delete it manually");
}

}  // namespace qn
