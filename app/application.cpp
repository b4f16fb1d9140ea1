// The application's windows: made in start-up order, and reached by the
// others through the small interfaces of app.h.
#include "app/app.h"

#include <cstdlib>

#include "app/main_window/main_window.h"
#include "app/dialogs/about_box.h"
#include "app/dialogs/config_dialog.h"
#include "app/dialogs/install_dialog.h"
#include "app/dialogs/new_directory_dialog.h"
#include "app/dialogs/path_picker.h"

namespace qn {

App::App(Platform& platform, ui::Backend* uiBackend) : os(platform), backend(uiBackend) {}

App::~App() = default;

MainWindowLink& App::mainWindow() { return *Form1; }
DirectoryQuestion& App::pathPicker() { return *Form3; }

ui::Form& App::start() {
    if (backend) backend->setApplicationTitle(kApplicationTitle);
    Form1 = std::make_unique<TForm1>(*this);
    if (backend) backend->realizeHiddenPagesLater(Form1->PageControl1);
    realize(*Form1);
    Form1->FormCreate();

    Form3 = std::make_unique<TForm3>(*this);
    realizeWhenShown(*Form3);
    Form4 = std::make_unique<TForm4>(*this);
    realizeWhenShown(*Form4);
    Form4->FormCreate();
    Form5 = std::make_unique<TForm5>(*this);
    realizeWhenShown(*Form5);
    Form5->FormCreate();
    Form6 = std::make_unique<TForm6>(*this);
    realizeWhenShown(*Form6);

    // On a first run the install-to dialog was the first window to be
    // completed, so it is the one the message loop shows.
    if (Form2) return *Form2;
    return *Form1;
}

void App::run() {
    ui::Form& mainForm = start();
    if (backend) backend->run(mainForm);
    os.exitProcess(0);
    std::abort();  // not reached: the platform ends the process
}

void App::installerDone() {
    if (backend && Form1) backend->setMainForm(*Form1);
}

void App::createInstaller() {
    Form2 = std::make_unique<TForm2>(*this);
    realize(*Form2);
    Form2->show();
}

}  // namespace qn
