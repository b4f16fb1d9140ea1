#include "app/main_window/main_window.h"

#include "app/dialogs/about_box.h"
#include "app/startup.h"
#include "app/stored_data.h"

namespace qn {
namespace {

ui::Font makeFont(const char* face, int points, bool bold = false) {
    ui::Font f;
    f.face = face;
    f.points = points;
    f.bold = bold;
    return f;
}

}  // namespace

TForm1::TForm1(App& app) : ui::Form("Form1", {0, 0, 679, 517}, ""), app_(app) {
    setUpLooks();
    setUpLinks();
    setUpInitialStates();
    bindWindowHandlers();
    bindPathHandlers();
    bindHoverHandlers();
}

void TForm1::setUpLooks() {
    // Fonts that differ from the parent's; children made after a parent's
    // font is set here do not follow it, so each page's contents are set too.
    const ui::Font page = makeFont("MS Sans Serif", 9);
    PageControl1.setFont(page);
    for (ui::Control* sheet : PageControl1.children()) {
        sheet->setFont(page);
        for (ui::Control* c : sheet->children()) {
            c->setFont(page);
            for (ui::Control* inner : c->children()) inner->setFont(page);
        }
    }
    ComboBox1.setFont(makeFont("Arial", 9));
    ListView1.setFont(makeFont("Arial", 9));
    SpeedButton1.setFont(makeFont("MS Sans Serif", 9));
    ListBox1.setFont(makeFont("MS Sans Serif", 9, true));
    for (ui::Edit* e : {&Edit1, &Edit2, &Edit3, &Edit4}) {
        e->setFont(makeFont("Verdana", 9));
        e->setCursor(ui::Cursor::Arrow);
    }
    PageControl1.setCursor(ui::Cursor::Arrow);
}

void TForm1::setUpInitialStates() {
    StatusBar1.setEnabled(false);
    CheckBox6.setEnabled(false);
    CheckBox9.setEnabled(false);
    Edit1.setColor(kPathInUse);
    SpeedButton10.setPressed(true);

    // Keyboard order: the page control, the filter, then the list it
    // filters, below it; on the
    // configuration page the boxes as they read, top to bottom. Each label
    // comes just before its box, which a screen reader names after it.
    int order = 0;
    for (ui::Control* c : std::initializer_list<ui::Control*>{&PageControl1, &ComboBox1, &ListView1})
        c->setTabOrder(order++);
    for (ui::Control* c : std::initializer_list<ui::Control*>{
             &Label6, &Edit1, &SpeedButton6, &CheckBox8, &Label4, &Edit4, &SpeedButton8, &CheckBox7,
             &Label2, &Edit2, &SpeedButton4, &Label3, &Edit3, &SpeedButton5})
        c->setTabOrder(order++);
    setUpKeyboard();
}

void TForm1::bindWindowHandlers() {
    onShow = [this] { FormShow(); };
    onPaint = [this] { FormPaint(); };
    onClose = [this] { FormClose(); };

    // The list, the picture and the run requests.
    ComboBox1.onChange = [this] { ComboBox1Change(); };
    AvailabilityTimer.onTimer = [this] { AvailabilityTimerTimer(); };
    ListView1.onChange = [this](int row) { ListView1Change(row); };
    ListView1.onClick = [this] { ListView1Click(); };
    ListView1.onDblClick = [this] { ListView1DblClick(); };
    ListView1.onKeyPress = [this](char key) { ListView1KeyPress(key); };
    ListView1.onColumnClick = [this](int column) { ListView1ColumnClick(column); };
    ListView1.onContextMenu = [this](int row) { return ListView1ContextMenu(row); };
    onFindNext = [this](const FindQuery& query) { FindNext(query); };
    SpeedButton1.onClick = [this] { SpeedButton1Click(); };
    Image1.onMouseUp = [this](const ui::MouseEvent& e) { Image1MouseUp(e); };
    // The panel is drawn at the screen's resolution: again at a new one.
    onDpiChange = [this] {
        if (pictureRequest_) ShowPicture(*pictureRequest_);
    };
    // ...and in the new scheme's colours, as are the links' icons.
    onColorChange = [this] {
        if (pictureRequest_) ShowPicture(*pictureRequest_);
        drawLinkIcons();
    };

    // Each option box stores its flag for the selected game.
    for (int index = 0; index < OptionCount; ++index) {
        ui::CheckBox* box = optionBox(index);
        box->onClick = [this, box, index] { StoreOptionFlag(*box, index); };
    }

    // "Other Stuff".
    SpeedButton7.onClick = [this] { SpeedButton7Click(); };
    SpeedButton11.onClick = [this] { SpeedButton11Click(); };
}

void TForm1::bindPathHandlers() {
    CheckBox7.onClick = [this] { CheckBox7Click(); };
    CheckBox8.onClick = [this] { CheckBox8Click(); };
    paths.onChange = [this](PathBox which) { PathChange(which); };
    SpeedButton4.onClick = [this] { SpeedButton4Click(); };
    SpeedButton5.onClick = [this] { SpeedButton5Click(); };
    SpeedButton6.onClick = [this] { SpeedButton6Click(); };
    SpeedButton8.onClick = [this] { SpeedButton8Click(); };
    SpeedButton9.onClick = [this] { SpeedButton9Click(); };
    SpeedButton10.onClick = [this] { SpeedButton10Click(); };
}

ui::CheckBox* TForm1::optionBox(int index) {
    ui::CheckBox* boxes[OptionCount] = {&CheckBox1, &CheckBox2, &CheckBox3, &CheckBox4,
                                        &CheckBox5, &CheckBox6, &CheckBox9, &CheckBox10};
    return boxes[index];
}

void TForm1::FormCreate() {
    setCaption(kMainCaption);
    CheckScreenResolution(app_);
    LoadSettings(app_);
    if (!app_.state.firstRun) RecoverInterruptedRun(app_);
    LookUpBrowserCommand(app_);
    if (app_.state.firstRun) app_.createInstaller();
    ComboBox1.setItemIndex(0);
    ListBox1.setItemIndex(0);
    PageControl1.setActivePage(0);
}

void TForm1::FormShow() {
    AppState& s = app_.state;
    s.DataLoadError = false;
    if (app_.catalogue.games.empty()) LoadCatalogue(app_);
    LoadRequiredFiles(app_);
    if (s.DataLoadError) return;  // the first paint ends the program

    ApplyInterfaceMode();
    ApplySettings();
    if (app_.pathsRead && !app_.pathsShown) app_.pathsShown = app_.tpaths;
    ShowStatusCounters();
    ShowPicture(kLogoPicture1);
    s.firstRun = false;
    marked_ = nullptr;
    ListView1.setHotTrack(app_.singleClick);
    PageControl1.setHotTrack(app_.singleClick);
}

void TForm1::ShowStatusCounters() {
    StatusBar1.setPanelText(0, "Designed for QUON v0.9");
    StatusBar1.setPanelText(1, std::to_string(app_.catalogue.size()) + " ROMs supported");
    StatusBar1.setPanelText(2, romMode().compressed ? "Zipped ROMs" : "UnZipped ROMs");
    StatusBar1.setPanelText(3, app_.singleClick ? "Select a game and then click on it to play"
                                                : "Select a game and then doubleclick on it to play");
}

void TForm1::FormPaint() {
    if (app_.state.DataLoadError) app_.os.exitProcess(5);
}

void TForm1::FormClose() {
    SaveSettings(app_);
    app_.os.exitProcess(0);
}

void TForm1::SpeedButton7Click() {
    setEnabled(false);
    app_.Form4->show();
}

}  // namespace qn
