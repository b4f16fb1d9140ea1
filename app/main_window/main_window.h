// The main window: game list, picture, option boxes, path settings, links.
// Its controls are declared in creation order with their layout.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/path_boxes.h"
#include "catalogue/availability.h"
#include "catalogue/game_list.h"
#include "launch/run_game.h"
#include "ui/widgets.h"

namespace qn {

inline const char* const kLogoPicture1 = "tolvane1.jpg";
inline const char* const kLogoPicture2 = "tolvane2.jpg";
inline const char* const kNoScreenPicture = "noscreen.jpg";

// Who chose the selected row: the user, or the program refilling the list,
// whose choice shows the row's run texts alone.
enum class SelectedBy { User, Program };

class TForm1 : public ui::Form, public MainWindowLink, private RunWindow {
    App& app_;

public:
    explicit TForm1(App& app);

    // Handlers of the window.
    void FormCreate();
    void FormShow();
    void FormPaint();
    void FormClose();
    void SpeedButton7Click();
    void ShowStatusCounters();

    // Game list and selection. A fill selects the first row (or the kept
    // game's), as chosen by `firstRow`.
    void FillGameList(SelectedBy firstRow);
    void ComboBox1Change();
    void ListView1Change(int row) { ShowRow(row, SelectedBy::User); }
    // What a row that changed state shows: the picture, the game's option
    // flags and the game-specific boxes when the user chose it; the run
    // button and the status hint either way.
    void ShowRow(int row, SelectedBy by);
    bool RowIsRunnable(int row) { return games_.runnable(row); }
    // The list's rows, their order and their games.
    GameListModel& gameList() { return games_; }
    // The status bar's hint for the game list with `row` shown.
    std::string RowHint(int row);
    // Availability under the ROM mode the check boxes show.
    void EvaluateAvailability();
    void AvailabilityTimerTimer();
    // Whether the game in the slot can run under the last evaluation.
    bool GameAvailable(int slot) { return games_.available(slot); }
    RomMode romMode() const { return app_.state.romMode; }

    // Sorting, finding and a row's menu.
    void ListView1ColumnClick(int column);
    // Ctrl+F: the Find window; F3 and Shift+F3 the next and previous match
    // of what it was last given (the window itself when nothing was).
    void FindGame();
    void FindAgain(bool down);
    void FindNext(const ui::Form::FindQuery& query);
    std::vector<ui::MenuItem> ListView1ContextMenu(int row);
    // The selected game's directory, where it exists and its name is a plain one.
    std::optional<std::string> selectedGameFolder();
    void OpenGameFolder();
    void CopyGameTitle();

    // Options and running a game.
    void StoreOptionFlag(ui::CheckBox& box, int flagIndex);
    // The game of the selected row, its short name checked by the caller.
    void RunSelectedGame(const GameName& name);
    void ActivateSelectedGame();
    void ShowUnavailabilityReport();
    void ListView1DblClick();
    void ListView1KeyPress(char key);
    void ListView1Click();
    void SpeedButton1Click();

    // Links, readme files, uninstall.
    void OpenLink(const ui::Label& label, const std::string& addition);
    void SpeedButton2Click();
    void SpeedButton3Click();
    void SpeedButton11Click();

    // Hover marks and status-bar hints; interface modes.
    // A control that explains itself under the pointer: its status-bar hint
    // (nothing: the panel keeps its text) and the control it marks in the
    // single-click interface (none for the interface buttons). A link is
    // marked red and goes back to blue; the others are highlighted.
    struct Hover {
        ui::Control* control;
        std::function<std::optional<std::string>()> hint;
        ui::Control* mark;
        bool link = false;
    };
    void ResetHover();
    void HoverHint(const Hover& hover);
    // The control marked now, or none.
    ui::Control* markedControl() const { return marked_ ? marked_->mark : nullptr; }
    void ResetOnlyMouseMove();
    // A page the user turns to leaves no hint of the page left behind.
    void PageControl1Change();
    void ComboBox1Enter();
    void Image1MouseMove();
    void ApplyInterfaceMode();
    void SpeedButton9Click();
    void SpeedButton10Click();

    // Picture panel.
    void ShowPicture(const std::string& fileName);
    void Image1MouseUp(const ui::MouseEvent& e);

    // Path settings.
    // Puts the settings into the check boxes and path boxes, then fills the
    // list once if anything that decides availability was put in.
    void ApplySettings();
    void CheckBox7Click();
    void CheckBox8Click();
    // A path the user chose was taken into its setting.
    void PathChange(PathBox which);
    void SpeedButton4Click();
    void SpeedButton5Click();
    void SpeedButton6Click();
    void SpeedButton8Click();

    // The option check boxes by option-flag index.
    ui::CheckBox* optionBox(int index);

    // --- controls, parents first ---
    ui::Image Image1{this, "Image1", {8, 8, 360, 240}};
    ui::PageControl PageControl1{this, "PageControl1", {8, 256, 360, 233}};
    ui::ComboBox ComboBox1{this, "ComboBox1", {376, 8, 297, 23},
                           {"Display All Games", "Display only Available Games",
                            "Display only Unavailable Games"}};
    ui::ListView ListView1{this, "ListView1", {376, 32, 297, 417},
                           {{"Name", 155}, {"Path", 78}, {"Available", 60}}};
    ui::Button SpeedButton1{this, "SpeedButton1", {376, 456, 297, 33}, "Unable to run"};
    ui::StatusBar StatusBar1{this, "StatusBar1", {0, 496, 679, 21}, {128, 108, 93, 50}};

    // "Game Options"
    ui::TabSheet TabSheet1{&PageControl1, "TabSheet1", "Game Options"};
    ui::CheckBox CheckBox3{&TabSheet1, "CheckBox3", {8, 8, 193, 17}, "Use 388h as FM base address"};
    ui::CheckBox CheckBox2{&TabSheet1, "CheckBox2", {8, 37, 185, 17}, "No Sound"};
    ui::CheckBox CheckBox4{&TabSheet1, "CheckBox4", {8, 65, 185, 17},
                           "Joystick support (not SideWinder)"};
    ui::CheckBox CheckBox1{&TabSheet1, "CheckBox1", {8, 93, 185, 18}, "No ScanLines"};
    ui::CheckBox CheckBox5{&TabSheet1, "CheckBox5", {8, 122, 185, 17},
                           "Syncronize to vertical retrace"};
    ui::CheckBox CheckBox6{&TabSheet1, "CheckBox6", {8, 150, 185, 17},
                           "FrameSkip 1 (IREM games only)"};
    ui::CheckBox CheckBox9{&TabSheet1, "CheckBox9", {8, 179, 185, 17},
                           "Rotate screen (Image Fight only)"};
    ui::Panel Panel2{&TabSheet1, "Panel2", {208, 8, 137, 190}};
    ui::CheckBox CheckBox10{&Panel2, "CheckBox10", {12, 12, 117, 17}, "Screen resolution"};
    ui::ListBox ListBox1{&Panel2, "ListBox1", {12, 36, 112, 84},
                         {"384 x 256 pixels", "360 x 256 pixels", "320 x 400 pixels",
                          "320 x 240 pixels", "256 x 256 pixels", "224 x 288 pixels"},
                         13};
    ui::Label Label1{&Panel2, "Label1", {16, 128, 0, 0}, "If you omit the screen"};
    ui::Label Label5{&Panel2, "Label5", {16, 144, 0, 0}, "resolution, the default"};
    ui::Label Label19{&Panel2, "Label19", {16, 160, 0, 0}, "will be used."};

    // "FrontEnd Configuration"
    ui::TabSheet TabSheet2{&PageControl1, "TabSheet2", "FrontEnd Configuration"};
    ui::Panel Panel1{&TabSheet2, "Panel1", {8, 8, 337, 161}, ui::Panel::Bevel::RaisedInLoweredOut};
    PathBoxes paths{app_, &Panel1, kPathLayout};
    ui::Label& Label6 = paths.emulatorLabel;
    ui::Edit& Edit1 = paths.Edit1;
    ui::Button& SpeedButton6 = paths.SpeedButton6;
    ui::CheckBox& CheckBox8 = paths.CheckBox8;
    ui::Label& Label4 = paths.Label4;
    ui::Edit& Edit4 = paths.Edit4;
    ui::Button& SpeedButton8 = paths.SpeedButton8;
    ui::CheckBox& CheckBox7 = paths.CheckBox7;
    ui::Label& Label2 = paths.Label2;
    ui::Edit& Edit2 = paths.Edit2;
    ui::Button& SpeedButton4 = paths.SpeedButton4;
    ui::Label& Label3 = paths.Label3;
    ui::Edit& Edit3 = paths.Edit3;
    ui::Button& SpeedButton5 = paths.SpeedButton5;
    ui::Button SpeedButton9{&TabSheet2, "SpeedButton9", {8, 176, 169, 23},
                            "Single click interface", 1};
    ui::Button SpeedButton10{&TabSheet2, "SpeedButton10", {176, 176, 169, 23}, "Common interface",
                             1};

    // "Internet Links"
    ui::TabSheet TabSheet3{&PageControl1, "TabSheet3", "Internet Links"};
    ui::Image Image2{&TabSheet3, "Image2", {8, 10, 32, 32}};
    ui::Image Image3{&TabSheet3, "Image3", {8, 58, 32, 32}};
    ui::Image Image4{&TabSheet3, "Image4", {8, 106, 32, 32}};
    ui::Image Image5{&TabSheet3, "Image5", {8, 154, 32, 32}};
    ui::Label Label11{&TabSheet3, "Label11", {48, 10, 0, 0}, "QUON Home Page:"};
    ui::Label Label12{&TabSheet3, "Label12", {48, 58, 0, 0}, "Tolvane's QUON FrontEnd Page: "};
    ui::Label Label13{&TabSheet3, "Label13", {48, 106, 0, 0}, "Arcade Games Gallery:"};
    ui::Label Label14{&TabSheet3, "Label14", {48, 154, 0, 0}, "Emulation News:"};
    ui::Label Label8{&TabSheet3, "Label8", {64, 28, 0, 0}, "http://quon.example.org/"};
    ui::Label Label9{&TabSheet3, "Label9", {64, 78, 0, 0}, "http://qnlaunch.example.org/"};
    ui::Label Label7{&TabSheet3, "Label7", {64, 126, 0, 0}, "http://arcade-gallery.example.com/"};
    ui::Label Label10{&TabSheet3, "Label10", {64, 174, 0, 0}, "http://emulation-news.example.net/"};

    // "Other Stuff"
    ui::TabSheet TabSheet4{&PageControl1, "TabSheet4", "Other Stuff"};
    ui::GroupBox GroupBox3{&TabSheet4, "GroupBox3", {7, 8, 337, 65}, " Help && Information "};
    ui::Button SpeedButton2{&GroupBox3, "SpeedButton2", {16, 24, 145, 25}, "Open ReadMe File"};
    ui::Button SpeedButton3{&GroupBox3, "SpeedButton3", {176, 24, 145, 25},
                            "Open QUON ReadMe File"};
    ui::GroupBox GroupBox4{&TabSheet4, "GroupBox4", {8, 80, 337, 49}, " Direct Downloads "};
    ui::Label Label17{&GroupBox4, "Label17", {16, 24, 0, 0}, "PkZIP/PkUnZIP v2.04g:"};
    ui::Label Label18{&GroupBox4, "Label18", {157, 24, 0, 0},
                      "ftp://example.org/pkz204g.exe"};
    ui::Label Label15{&TabSheet4, "Label15", {8, 144, 0, 0},
                      "Please send comments and bug reports to:"};
    ui::Label Label16{&TabSheet4, "Label16", {221, 144, 0, 0}, "qnlaunch@example.org"};
    ui::Button SpeedButton7{&TabSheet4, "SpeedButton7", {8, 172, 161, 25}, "About QnLaunch"};
    ui::Button SpeedButton11{&TabSheet4, "SpeedButton11", {184, 172, 161, 25},
                             "Uninstall the program"};

    // Works out the games' availability that no row has needed yet.
    ui::Timer AvailabilityTimer{this, "AvailabilityTimer", 1};

private:
    static inline const PathBoxLayout kPathLayout{
        "Label6", "QUON path:",
        {10, 14, 0, 0}, {72, 12, 225, 22}, {304, 12, 21, 21},
        {10, 38, 149, 17}, {28, 60, 0, 0}, {96, 58, 201, 22}, {304, 58, 21, 21},
        {10, 84, 173, 17},
        std::nullopt,
        {30, 110, 0, 0}, {104, 106, 193, 22}, {304, 106, 21, 21},
        {38, 132, 0, 0}, {104, 130, 193, 22}, {304, 130, 21, 21}};

    // The constructor's parts: fonts and cursors, the controls' first
    // states and keyboard order, and the handlers.
    void setUpLooks();
    void setUpInitialStates();
    void bindWindowHandlers();
    void bindPathHandlers();
    void bindHoverHandlers();
    // Shortcuts for the buttons the keyboard does not stop at, the window
    // menu's About, links Tab reaches, F4 in the path boxes, and names for
    // a screen reader.
    void setUpKeyboard();
    // The option and mode check boxes' hovers, in their order.
    std::vector<Hover> checkBoxHovers();
    // The link labels' font and icons, and what a click on each opens.
    void setUpLinks();
    // The icons on the page's colour, drawn again when the scheme changes.
    void drawLinkIcons();
    void switchInterface(bool single);
    // A run hides the window while the emulator runs and shows it again.
    void showMainWindow() override { show(); }
    void giveInputBack() override { setEnabled(true); }
    void hideForRun() override { hide(); }
    // The game that ran stays selected, though the showing refills the list.
    void showAfterRun() override;
    void showRunStatus(const std::string& text) override { StatusBar1.setPanelText(3, text); }
    void showBusy(bool busy) override { setCursor(busy ? ui::Cursor::Wait : ui::Cursor::Default); }
    // Makes the outside's current directory current, just before a child
    // or the shell starts.
    void enterOutsideDirectory();
    // The option boxes as they show, checked but disabled ones included.
    OptionFlags shownOptions();

    bool running_ = false;  // a game's run is under way
    std::vector<Hover> hovers_;
    const Hover* marked_ = nullptr;
    // The file name last given to ShowPicture, to draw it again at another resolution.
    std::optional<std::string> pictureRequest_;
    // The panel with the picture at `path` (none: blank) centred on the
    // background, at that resolution, the version written on it if asked.
    ui::Bitmap DrawPanel(const std::string& path, const std::array<std::uint8_t, 3>& background,
                         bool version, int dpi);
    // The list's games, their filter, order and availability since the
    // last evaluation, worked out as the rows are shown, and the rest a few
    // at a time while the window waits, so a change of filter later finds it done.
    GameListModel games_{app_.catalogue, app_.os};
    // Puts the model's rows into the list, none selected.
    void showModelRows();
};

}  // namespace qn
