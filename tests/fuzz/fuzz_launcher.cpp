// The whole launcher on the in-memory platform, started on what the input
// holds: the registry values the start reads, roms.dat, reqfiles.dat,
// abouttxt.dat and a screenshot. The main window is shown, the filter may
// change, games are selected with an option toggled and their reports
// asked for, the picture is shown, the About box is opened and dragged
// over, and the window is closed, which saves the settings. Each input
// starts a launcher of its own: the start reads everything the input varies.
//
// Input: fields cut at the byte 0xFF.
//   0  control: byte 0 the mode (below), byte 1 the number n of game
//      values, then three bytes per pointer event over the About box (a
//      signed 16-bit x, then what happens);
//   1-6 the six settings in the order they are saved, 7 "Resolution",
//      8 the HTML handler's command: only with kGivenSettings, each a
//      registry type byte and the stored bytes, an empty field no value;
//   9  roms.dat, 10 reqfiles.dat, 11 abouttxt.dat;
//   12 to 12+n-1 the values of the games in catalogue order, as the
//      settings; then the screenshot, to the end of the input.
#include "catalogue/about_text.h"
#include "platform/unicode_text.h"
#include "catalogue/catalogue.h"
#include "catalogue/jpeg_reader.h"
#include "fuzz_support.h"

using namespace qn;
using namespace qn::fuzz;

namespace {

enum Mode : std::uint8_t {
    kCompressed = 1, kDrivers = 2, kFilter = 4,  // filter (mode >> 3) % 3
    kNoAboutFile = 0x20, kGivenSettings = 0x40, kSingleClick = 0x80,
};
constexpr size_t kRoms = 9, kReqfiles = 10, kAbout = 11, kFirstGame = 12;
constexpr int kPanelWidth = 360, kPanelHeight = 240, kBarWidth = 361;

void put(MemoryPlatform& os, RootKey root, const std::string& key, const std::string& name,
         const std::optional<std::string>& field) {
    if (!field || field->empty()) return;
    os.setValue(root, key, name, field->substr(1), static_cast<std::uint8_t>((*field)[0]));
}

// What a stored value holds as text: nothing when it is missing, of one
// byte at most, or when its text ends before it starts.
std::optional<std::string> textOf(const std::optional<std::string>& stored) {
    if (!stored || stored->size() <= 1) return std::nullopt;
    std::string text = stored->substr(0, stored->find('\0'));
    if (text.empty()) return std::nullopt;
    return text;
}

// The emulator directory: ROMs of every other game, some drivers and zips.
void layFiles(MemoryPlatform& os, const GameCatalogue& cat, int games) {
    os.writeFile("C:\\Quon\\quon.exe", "MZ");
    for (int g = 0; g < games && g < 8; ++g) {
        const std::string& s = cat.games[g].ShortName;
        if (s.empty() || s.find_first_of("\\/:") != std::string::npos) continue;
        if (g % 2 == 0)
            for (size_t j = 0; j < cat.games[g].RequiredFiles.size() && j < 4; ++j)
                os.writeFile("C:\\Quon\\" + s + "\\" + cat.games[g].RequiredFiles[j], "rom");
        if (g % 3 == 0) os.writeFile("C:\\Quon\\" + s + "\\" + s + ".qun", "driver");
        if (g % 3 == 1) os.writeFile("C:\\Drivers\\" + s + ".qun", "driver");
        if (g % 4 == 0) os.writeFile("C:\\Zips\\" + s + ".zip", "PK");
    }
}

// The panel shows what the decoder draws on a black panel-sized surface,
// or nothing but black when the picture is refused.
void checkPanel(const ui::Bitmap& panel, const std::string& bytes) {
    Pixmap drawn{kPanelWidth, kPanelHeight,
                 std::vector<std::uint8_t>(static_cast<size_t>(kPanelWidth) * kPanelHeight * 3)};
    const bool placed = drawJpegCentred(bytes, drawn).has_value();
    QN_CHECK(panel.width == kPanelWidth && panel.height == kPanelHeight,
             std::to_string(panel.width) + "x" + std::to_string(panel.height));
    const std::vector<std::uint8_t> black(drawn.pixels.size());
    QN_CHECK(panel.pixels == (placed ? drawn.pixels : black), "the panel differs from the decoder's picture");
}

void checkAboutField(const TForm4& a) {
    const std::string& text = a.aboutText();
    const int p = a.ProgressBar1.position();
    // The bars count characters; fuzz_about checks the slice itself.
    const int length = aboutLength(text);
    QN_CHECK(p == a.ProgressBar2.position() && p >= 0 && p <= length, std::to_string(p));
    QN_CHECK(a.ProgressBar1.maximum() == length && a.ProgressBar2.maximum() == length,
             "range " + std::to_string(a.ProgressBar1.maximum()));
    QN_CHECK(a.Edit1.text() == aboutSlice(text, p), shown(a.Edit1.text()));
}

void useAboutBox(Launcher& l, const std::string& control, const std::optional<std::string>& file) {
    l.app->Form1->SpeedButton7.click();
    TForm4& a = *l.app->Form4;
    QN_CHECK(a.showing() && !l.app->Form1->enabled(), "the box did not open");
    const std::string& text = a.aboutText();
    if (!file) QN_CHECK(text == "<" + std::string(253, '-') + ">", shown(text));
    else QN_CHECK(cp1252ToUtf8(*file).compare(0, text.size(), text) == 0 &&
                      text.find_first_of(std::string_view("\r\x1a", 2)) == std::string::npos,
                  shown(text));
    QN_CHECK(a.ProgressBar1.position() == 0 && a.Edit1.text() == text, shown(a.Edit1.text()));
    for (size_t at = 2; at + 3 <= control.size(); at += 3) {
        ui::MouseEvent e;
        e.x = static_cast<std::int16_t>(static_cast<std::uint8_t>(control[at]) |
                                        static_cast<std::uint8_t>(control[at + 1]) << 8);
        const auto what = static_cast<std::uint8_t>(control[at + 2]);
        e.leftHeld = what & 1;
        e.rightHeld = what & 2;
        e.button = static_cast<ui::MouseEvent::Button>((what >> 2) % 4);
        ui::ProgressBar& bar = what & 0x10 ? a.ProgressBar2 : a.ProgressBar1;
        const int before = a.ProgressBar1.position();
        const int kind = (what >> 5) % 4;
        switch (kind) {
        case 0: bar.mouseMove(e); break;
        case 1: bar.mouseUp(e); break;
        case 2: a.SpeedButton1.mouseMove(e); break;
        default: a.Image1.mouseMove(e); break;
        }
        const bool drags = kind == 0 ? e.leftHeld : kind == 1 && e.leftHeld && e.button != ui::MouseEvent::Left;
        if (!drags) {
            QN_CHECK(a.ProgressBar1.position() == before, "moved without a drag");
            continue;
        }
        checkAboutField(a);
        const int max = a.ProgressBar1.maximum();
        if (e.x < 0) QN_CHECK(a.ProgressBar1.position() == 0, std::to_string(e.x));
        if (e.x >= kBarWidth) QN_CHECK(a.ProgressBar1.position() == max, std::to_string(e.x));
    }
    a.SpeedButton1.click();
    QN_CHECK(!a.showing() && l.app->Form1->enabled(), "closing the box");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const Fields in(data, size);
    const std::string control = in[0].value_or("");
    const std::uint8_t mode = control.empty() ? 0 : static_cast<std::uint8_t>(control[0]);
    Launcher l;

    const std::string roms = in[kRoms].value_or("#Alpha Blaster|alpha\r\n#Beta Racer|beta\r\n");
    const std::string reqfiles = in[kReqfiles].value_or("alpha\\a.bin\r\nbeta\\b.bin\r\n");
    GameCatalogue cat;
    // The launcher reads the files in the code page (1252 here).
    parseCatalogue(cp1252ToUtf8(roms), cat);
    const int games = cat.size();
    parseRequiredFiles(cp1252ToUtf8(reqfiles), cat);
    l.writeProgramFiles(roms, reqfiles);
    const std::optional<std::string> about = mode & kNoAboutFile ? std::nullopt : in[kAbout];
    if (about) l.os.writeFile(kProgramDir + "abouttxt.dat", *about);
    const size_t values = control.size() > 1 ? static_cast<std::uint8_t>(control[1]) : 0;
    const std::string picture = in.rest(kFirstGame + values).value_or("");
    l.os.writeFile(kProgramDir + "screens\\fuzz.jpg", picture);
    layFiles(l.os, cat, games);

    for (int g = 0; g < games && static_cast<size_t>(g) < values; ++g)
        put(l.os, RootKey::LocalMachine, kSettingsKey, cat.games[g].Title, in[kFirstGame + g]);
    if (mode & kGivenSettings) {
        for (size_t i = 0; i < 6; ++i) put(l.os, RootKey::LocalMachine, kSettingsKey, kSettingRows[i].name, in[1 + i]);
        put(l.os, RootKey::CurrentConfig, "Display\\Settings", "Resolution", in[7]);
        put(l.os, RootKey::ClassesRoot, "htmlfile\\shell\\open\\command", "", in[8]);
    } else {
        l.installSettings();
        l.setSetting("Quon Path", "C:\\Quon\\");
        if (mode & kCompressed) {
            l.setSetting("Compressed ROMs Path", "C:\\Zips\\");
            l.setSetting("PkUnzip Program", "C:\\Tools\\pkunzip.exe");
        }
        if (mode & kDrivers) l.setSetting("Drivers Path", "C:\\Drivers\\");
        if (mode & kSingleClick) l.setSetting("Interface", "Cool");
    }

    // A game's value may have set a setting's value: judge by what is stored.
    const bool keyThere = l.os.keyExists(RootKey::LocalMachine, kSettingsKey);
    const std::optional<std::string> storedMain = l.setting("Main Program Path");
    const std::optional<std::string> storedInterface = l.setting("Interface");
    std::optional<int> exit = l.start();
    if (exit == 3) {
        QN_CHECK(l.os.messages.size() == 1 &&
                     l.os.messages[0].text.rfind("Your screen resolution must be at least", 0) == 0,
                 "exit 3 without its message");
        return 0;
    }
    if (keyThere && !storedMain) {
        QN_CHECK(exit == 1 && l.setting("Main Program Path") == std::string(1, '\0'),
                 "no Main Program Path, yet the start went on or did not empty it");
        return 0;
    }
    QN_CHECK(!exit, "the start ended the process with " + std::to_string(exit.value_or(0)));

    App& app = *l.app;
    const std::optional<std::string> main = textOf(storedMain);
    const bool firstRun = !keyThere || !main;
    QN_CHECK(app.state.firstRun == firstRun && (app.Form2 != nullptr) == firstRun,
             "Main Program Path " + shown(storedMain.value_or("(none)")) + " gives " +
                 (app.state.firstRun ? "a first run" : "no first run"));
    if (main) QN_CHECK(app.tpaths.mainPath == withTrailingBackslash(*main), shown(app.tpaths.mainPath));
    const TPaths& p = app.tpaths;
    for (const std::string* dir : {&p.mainPath, &p.emulatorPath, &p.romsPath, &p.driversPath})
        QN_CHECK(dir->empty() || (dir->back() == '\\' && dir->find('\0') == std::string::npos), shown(*dir));
    const std::optional<std::string> interface = textOf(storedInterface);
    QN_CHECK(app.singleClick == (keyThere && interface && *interface != "Common"),
             "Interface " + shown(storedInterface.value_or("(none)")));
    if (firstRun) return 0;

    if (std::optional<int> shownExit = l.showMain()) {
        // Only a program directory without the data files ends the showing.
        QN_CHECK(shownExit == 5 && app.state.DataLoadError, "the showing ended with " + std::to_string(*shownExit));
        return 0;
    }
    const bool ourFiles = p.mainPath == kProgramDir;
    TForm1& f = *app.Form1;
    if (ourFiles) {
        QN_CHECK(app.catalogue.size() == games && f.ListView1.rowCount() == games,
                 std::to_string(app.catalogue.size()) + " games, " + std::to_string(f.ListView1.rowCount()) + " rows");
        for (int g = 0; g < games; ++g)
            QN_CHECK(app.catalogue.withFiles(g).RequiredFiles == cat.games[g].RequiredFiles,
                     "slot " + std::to_string(g) + " read differently by the launcher");
    }
    if (mode & kFilter) {
        f.ComboBox1.setItemIndex((mode >> 3) % 3);
        f.ComboBox1Change();
    }
    // The first two games and the last two: each selection redraws the
    // picture panel, which is most of the time a game costs.
    const int rows = f.ListView1.rowCount();
    for (int row : {0, 1, rows - 2, rows - 1}) {
        if (row < 0 || row >= rows) continue;
        f.ListView1.selectRow(row);
        ui::CheckBox& box = row % 2 ? f.CheckBox1 : f.CheckBox5;
        box.setChecked(!box.checked());
        const size_t before = l.os.messages.size();
        f.ShowUnavailabilityReport();
        QN_CHECK(l.os.messages.size() == before + 1, "no report for row " + std::to_string(row));
    }
    if (ourFiles) {
        f.ShowPicture("fuzz.jpg");
        QN_CHECK(app.state.CurrentPicture == "fuzz.jpg", app.state.CurrentPicture);
        checkPanel(f.Image1.picture(), picture);
    }
    useAboutBox(l, control, ourFiles ? about : l.os.readFile(p.mainPath + "abouttxt.dat"));
    QN_CHECK(l.closeMain() == 0, "closing");
    l.checkSaved();
    return 0;
}
