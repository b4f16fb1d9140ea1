// reqfiles.dat: the reader on its own, then the launcher's availability and
// unavailability reports over it, in the mode the first byte chooses.
#include "catalogue/catalogue.h"
#include "catalogue/catalogue_file.h"
#include "fuzz_support.h"

using namespace qn;
using namespace qn::fuzz;

namespace {

// Groups past the catalogue land in its empty slots. Each game's report
// redraws the picture panel, which is most of a run's time: a few games do.
constexpr int kGames = 6;
// The table the reader fills on its own.
constexpr int kSlots = 25;

void checkLists(const GameCatalogue& cat) {
    QN_CHECK(cat.games.size() == kSlots, std::to_string(cat.games.size()));
    for (int g = 0; g < kSlots; ++g) {
        const GameRecord& game = cat.games[g];
        for (const std::string& name : game.RequiredFiles) {
            QN_CHECK(name.find_first_of(std::string_view("\r\n\x1a", 3)) == std::string::npos,
                     shown(name));
        }
    }
    // Groups fill the slots from the first on, without gaps.
    for (int g = 1; g < kSlots; ++g)
        QN_CHECK(!cat.games[g - 1].RequiredFiles.empty() || cat.games[g].RequiredFiles.empty(),
                 "an empty group before slot " + std::to_string(g));
}

// The emulator directory: every other game's ROMs, some drivers and zips.
void layFiles(Launcher& l) {
    l.os.writeFile("C:\\Quon\\quon.exe", "MZ");
    for (int g = 0; g < kGames; ++g) {
        const std::string s = "g" + std::to_string(g);
        l.os.makeDirectories("C:\\Quon\\" + s);
        if (g % 2 == 0)
            for (const char* rom : {"a.bin", "b.bin", "sub\\c.bin", "abcdefgh.rom"})
                l.os.writeFile("C:\\Quon\\" + s + "\\" + rom, "rom");
        if (g % 3 == 0) l.os.writeFile("C:\\Quon\\" + s + "\\" + s + ".qun", "driver");
        if (g % 3 == 1) l.os.writeFile("C:\\Drivers\\" + s + ".qun", "driver");
        if (g % 4 == 0) l.os.writeFile("C:\\Zips\\" + s + ".zip", "PK");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const std::uint8_t mode = data[0];
    const std::string content(reinterpret_cast<const char*>(data) + 1, size - 1);

    GameCatalogue cat;
    cat.games.resize(kSlots);
    cat.games[3].RequiredFiles = {"", "old.bin"};  // a previous read is forgotten
    parseRequiredFiles(content, cat);
    checkLists(cat);
    // Written back with one distinct name per group, the lists read the same.
    std::string again;
    for (int g = 0; g < kSlots; ++g)
        for (const std::string& name : cat.games[g].RequiredFiles)
            again += "grp" + std::to_string(g) + "\\" + name + "\r\n";
    GameCatalogue reread;
    reread.games.resize(kSlots);
    parseRequiredFiles(again, reread);
    for (int g = 0; g < kSlots; ++g)
        QN_CHECK(reread.games[g].RequiredFiles == cat.games[g].RequiredFiles,
                 "slot " + std::to_string(g) + " of " + shown(again));

    Launcher l;
    std::string roms;
    for (int g = 0; g < kGames; ++g)
        roms += "#Game " + std::to_string(g) + "|g" + std::to_string(g) + "\r\n";
    l.installSettings();
    l.writeProgramFiles(roms, content);
    l.setSetting("Quon Path", "C:\\Quon\\");
    if (mode & 1) {
        l.setSetting("Compressed ROMs Path", "C:\\Zips\\");
        l.setSetting("PkUnzip Program", "C:\\Tools\\pkunzip.exe");
    }
    if (mode & 2) l.setSetting("Drivers Path", "C:\\Drivers\\");
    layFiles(l);
    QN_CHECK(!l.start(), "the start ended the process");
    QN_CHECK(!l.showMain(), "the showing ended the process");
    TForm1& f = *l.app->Form1;
    if (mode & 4) f.ComboBox1.setItemIndex(static_cast<int>((mode >> 3) % 3));
    if (mode & 4) f.ComboBox1Change();
    const GameCatalogue& shownCat = l.app->catalogue;
    for (int g = 0; g < static_cast<int>(shownCat.games.size()); ++g)
        QN_CHECK(shownCat.games[g].RequiredFiles == cat.games[g].RequiredFiles,
                 "slot " + std::to_string(g) + " read differently by the launcher");
    for (int row = 0; row < f.ListView1.rowCount(); ++row) {
        f.ListView1.selectRow(row);
        const size_t before = l.os.messages.size();
        f.ShowUnavailabilityReport();
        QN_CHECK(l.os.messages.size() == before + 1, "no report for row " + std::to_string(row));
    }
    QN_CHECK(l.closeMain() == 0, "closing");
    l.checkSaved();
    return 0;
}
