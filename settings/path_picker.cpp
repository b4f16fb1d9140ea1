// The path picker, and the main window's buttons that open it or the
// file dialog.
#include "app/form1.h"
#include "app/forms.h"

namespace qn {
namespace {

const ui::Color kHighlight = ui::Color::of(ui::SysColor::Highlight);
const ui::Color kWindowText = ui::Color::of(ui::SysColor::WindowText);

std::string upperDrive(const std::string& path) {
    std::string p = path;
    if (!p.empty() && p[0] >= 'a' && p[0] <= 'z') p[0] = static_cast<char>(p[0] - 32);
    return p;
}

}  // namespace

TForm3::TForm3(App& app) : ui::Form("Form3", {0, 0, 281, 275}, "Select Path"), app_(app) {
    onShow = [this] { FormShow(); };
    onClose = [this] { FormClose(); };
    SpeedButton1.onClick = [this] { SpeedButton1Click(); };
    SpeedButton2.onClick = [this] { SpeedButton2Click(); };
    DriveComboBox1.onChange = [this] { DriveComboBox1Change(); };
    DirectoryOutline1.onChange = [this] { DirectoryOutline1Change(); };
    SpeedButton1.onMouseMove = [this](const ui::MouseEvent&) { markButton(1); };
    SpeedButton2.onMouseMove = [this](const ui::MouseEvent&) { markButton(2); };
    for (ui::Control* c : std::initializer_list<ui::Control*>{&DirectoryOutline1, this})
        c->onMouseMove = [this](const ui::MouseEvent&) { markButton(0); };

    DriveComboBox1.setItems(app_.os.driveRoots());
    const std::string current = app_.os.currentDirectory();
    setDirectory(current.empty() ? "C:\\" : current);
}

void TForm3::setDirectory(const std::string& directory) {
    std::string dir = upperDrive(directory);
    if (dir.size() > 3 && dir.back() == '\\') dir.pop_back();
    if (dir.size() == 2 && dir[1] == ':') dir += '\\';
    directory_ = dir;

    // The drive's root, each directory on the way down, then the current
    // directory's own subdirectories, indented by depth.
    std::vector<std::string> items;
    listed_.clear();
    const std::string root = dir.substr(0, 3);
    items.push_back(root);
    listed_.push_back(root);
    int depth = 0;
    size_t start = 3;
    int currentIndex = 0;
    while (start < dir.size()) {
        size_t end = dir.find('\\', start);
        if (end == std::string::npos) end = dir.size();
        ++depth;
        items.push_back(std::string(depth * 2, ' ') + dir.substr(start, end - start));
        listed_.push_back(dir.substr(0, end));
        currentIndex = static_cast<int>(items.size()) - 1;
        start = end + 1;
    }
    const std::string base = dir.back() == '\\' ? dir : dir + "\\";
    for (const std::string& sub : app_.os.subdirectories(dir)) {
        items.push_back(std::string((depth + 1) * 2, ' ') + sub);
        listed_.push_back(base + sub);
    }
    DirectoryOutline1.setItems(items);
    DirectoryOutline1.setItemIndex(currentIndex);

    const auto& drives = DriveComboBox1.items();
    for (size_t i = 0; i < drives.size(); ++i)
        if (upperDrive(drives[i]).compare(0, 2, root, 0, 2) == 0) DriveComboBox1.setItemIndex(static_cast<int>(i));
}

void TForm3::DriveComboBox1Change() {
    const int index = DriveComboBox1.itemIndex();
    if (index >= 0) setDirectory(DriveComboBox1.items()[index]);
}

void TForm3::DirectoryOutline1Change() {
    const int index = DirectoryOutline1.itemIndex();
    if (index >= 0 && index < static_cast<int>(listed_.size())) setDirectory(listed_[index]);
}

void TForm3::FormShow() {
    if (app_.singleClick) {
        SpeedButton1.setFlat(true);
        SpeedButton2.setFlat(true);
    }
}

void TForm3::SpeedButton1Click() {
    selectedPath_ = directory_;
    const bool toDialog = app_.state.Updating;
    TForm5& dialog = *app_.Form5;
    TForm1& main = *app_.Form1;
    switch (app_.state.pathTarget) {
    case 0:
        // A drive root gives a doubled backslash here, which the system accepts.
        if (!app_.os.canOpenReadWrite(selectedPath_ + "\\quon.exe")) {
            app_.os.messageBox(MessageKind::Warning, "Quon.exe wasn\xB4t found in " + selectedPath_);
            return;
        }
        (toDialog ? dialog.Edit1 : main.Edit1).setText(selectedPath_);
        break;
    case 1:
        (toDialog ? dialog.Edit3 : main.Edit3).setText(selectedPath_);
        break;
    case 2:
        (toDialog ? dialog.Edit4 : main.Edit4).setText(selectedPath_);
        break;
    default:
        break;
    }
    close();
}

void TForm3::SpeedButton2Click() {
    selectedPath_.clear();
    close();
}

void TForm3::FormClose() {
    if (app_.state.Updating)
        app_.Form5->setEnabled(true);
    else
        app_.Form1->setEnabled(true);
}

void TForm3::markButton(int button) {
    if (!app_.singleClick || hotButton_ == button) return;
    if (hotButton_ == 1) SpeedButton1.setFontColor(kWindowText);
    if (hotButton_ == 2) SpeedButton2.setFontColor(kWindowText);
    if (button == 1) SpeedButton1.setFontColor(kHighlight);
    if (button == 2) SpeedButton2.setFontColor(kHighlight);
    hotButton_ = button;
}

void TForm1::openPathPicker(int target, const std::string& question) {
    setEnabled(false);
    app_.Form3->Label1.setCaption(question);
    app_.Form3->show();
    app_.state.pathTarget = target;
}

void TForm1::SpeedButton6Click() { openPathPicker(0, "Select the path where QUON is installed:"); }

void TForm1::SpeedButton5Click() {
    openPathPicker(1, "Select the path where your compressed ROMs are stored:");
}

void TForm1::SpeedButton8Click() { openPathPicker(2, "Select the path to your QUON game drivers:"); }

void TForm1::SpeedButton4Click() {
    std::optional<std::string> file = app_.os.openFileDialog(
        "PkUnzip Program File (pkunzip.exe)|pkunzip.exe|Program Files (*.exe;*.com)|*.exe|"
        "All files (*.*)|*.*",
        "Select PkUnzip program file");
    if (!file) return;
    Edit2.setText(*file);
    app_.tpaths.unzipProgram = *file;
}

}  // namespace qn
