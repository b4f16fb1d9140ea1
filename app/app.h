// The application: process-wide state, the settings, the game table and the
// six windows, created in start-up order.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "catalogue/catalogue.h"
#include "catalogue/game_list.h"
#include "platform/platform.h"
#include "settings/settings.h"
#include "settings/settings_store.h"
#include "ui/backend.h"

namespace qn {

class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TForm5;
class TForm6;

// Flags and values shared by the windows for the whole run.
struct AppState {
    // The settings call for the installer; over once the main window has
    // been shown.
    bool firstRun = false;
    bool DataLoadError = false;
    std::string CurrentPicture;
    std::string BrowserCommand;
    // The current directory as the outside sees it (a child, the shell):
    // where directory settings are looked up once availability or the
    // report looked, what a run left after it; empty: the start's.
    std::string outsideDirectory;
    // Where the main window's check boxes put the ROMs and drivers.
    RomMode romMode;
    // The interface the first run's configuration dialog has chosen (its
    // first item, the single-click one, until the user picks another).
    bool configuredSingleClick = true;
};

// What the dialogs ask of the main window, which they know only by this.
class MainWindowLink {
public:
    // Shows the main window (after the installer or the configuration).
    virtual void showMainWindow() = 0;
    // A dialog that held the main window's input gives it back.
    virtual void giveInputBack() = 0;

protected:
    ~MainWindowLink() = default;
};

// The path picker as the path boxes ask it for a directory.
class DirectoryQuestion {
public:
    // What the caller does with the directory chosen: true when it takes
    // it, false to keep the picker open (the caller has said why).
    using Delivery = std::function<bool(const std::string& directory)>;
    // Asks `question` for `opener`, which stays disabled until the picker
    // closes; OK hands the directory to `deliver`.
    virtual void ask(ui::Form& opener, const std::string& question, Delivery deliver) = 0;

protected:
    ~DirectoryQuestion() = default;
};

inline const char* const kApplicationTitle = "Tolvane's Quon FrontEnd v2.09";
inline const char* const kMainCaption = "Tolvane's QUON FrontEnd v2.09";

class App {
public:
    // Without a backend the windows exist only as models (tests).
    explicit App(Platform& os, ui::Backend* backend = nullptr);
    ~App();

    // Process start up to the message loop: the title, Form1 with its
    // creation handler, then Form3 to Form6. Returns the window that the
    // message loop makes visible first.
    ui::Form& start();
    // The whole process: start, then the message loop; ends with exit code 0
    // should the loop return.
    [[noreturn]] void run();

    Platform& os;
    ui::Backend* backend;
    AppState state;
    TPaths tpaths;
    bool singleClick = false;
    GameCatalogue catalogue;
    // What the settings key holds of the six settings, so a close writes
    // only those that change.
    KnownSettings knownSettings;
    // The paths as the start read them, and as the main window first showed
    // them: a close never writes over what was not read faithfully.
    std::optional<TPaths> pathsRead, pathsShown;

    std::unique_ptr<TForm1> Form1;
    std::unique_ptr<TForm2> Form2;  // only on a first run
    std::unique_ptr<TForm3> Form3;
    std::unique_ptr<TForm4> Form4;
    std::unique_ptr<TForm5> Form5;
    std::unique_ptr<TForm6> Form6;

    // The windows as the others reach them.
    MainWindowLink& mainWindow();
    DirectoryQuestion& pathPicker();

    void realize(ui::Form& form) {
        if (backend) backend->realize(form);
    }
    // A dialog that starts hidden gets its windows when it first shows.
    void realizeWhenShown(ui::Form& form) {
        if (backend) backend->realizeWhenShown(form);
    }
    // Creates and shows the install-to dialog.
    void createInstaller();
    // The installation is over: the install-to dialog, which the loop took
    // for the main window, hands that part to Form1.
    void installerDone();
};

}  // namespace qn
