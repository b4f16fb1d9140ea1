// The new-directory dialog makes one directory level where the installer
// stands.
#include "app/dialogs/new_directory_dialog.h"

namespace qn {

TForm6::TForm6(App& app) : ui::Form("Form6", {0, 0, 305, 93}, "Create Directory"), app_(app) {
    setCloseBox(false);  // closed only by its own buttons
    Button1.setTabStop(true);
    Button2.setTabStop(true);
    Edit1.setTypedAfter(true);  // the new name goes after the directory shown
    defaultButton = &Button1;
    cancelButton = &Button2;
    onShow = [this] { FormShow(); };
    onClose = [this] { FormClose(); };
    Edit1.onChange = [this] { Edit1Change(); };
    Edit1.onKeyPress = [this](char key) { Edit1KeyPress(key); };
    Button1.onClick = [this] { Button1Click(); };
    Button2.onClick = [this] { Button2Click(); };
}

void TForm6::showFor(NewDirectoryOpener& opener) {
    opener_ = &opener;
    show();
}

void TForm6::FormShow() {
    Button1.setEnabled(false);
    std::string dir = opener_ ? opener_->directoryShown() : std::string();
    if (dir.empty() || dir.back() != '\\') dir += '\\';
    Edit1.setText(dir);
}

void TForm6::Edit1Change() { Button1.setEnabled(!Edit1.text().empty()); }

// Enter and Escape act as the buttons, even while OK is disabled.
void TForm6::Edit1KeyPress(char key) {
    if (key == '\r') Button1Click();
    if (key == '\x1b') Button2Click();
}

void TForm6::Button1Click() {
    const std::string path = Edit1.text();
    if (app_.os.createDirectory(path)) {
        close();
        return;
    }
    app_.os.messageBox(MessageKind::Error, "There was an error creating " + path + " directory");
}

void TForm6::Button2Click() { close(); }

void TForm6::FormClose() {
    if (opener_) opener_->newDirectoryClosed();
}

}  // namespace qn
