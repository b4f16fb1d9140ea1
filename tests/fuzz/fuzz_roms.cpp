// roms.dat: the reader on its own, then the whole launcher started on the
// catalogue, games selected with an option toggled, and closed.
#include "catalogue/catalogue.h"
#include "fuzz_support.h"

using namespace qn;
using namespace qn::fuzz;

namespace {

void checkRecords(const GameCatalogue& cat, int count) {
    QN_CHECK(count >= 0 && count <= static_cast<int>(cat.games.size()), std::to_string(count));
    for (int g = 0; g < static_cast<int>(cat.games.size()); ++g) {
        const GameRecord& game = cat.games[g];
        if (g >= count) {
            QN_CHECK(game.Title.empty() && game.ShortName.empty(), "slot " + std::to_string(g));
            continue;
        }
        // Line ends and the end-of-file byte never get into a name.
        for (const std::string* s : {&game.Title, &game.ShortName})
            QN_CHECK(s->find_first_of(std::string_view("\r\n\x1a", 3)) == std::string::npos,
                     shown(*s));
        QN_CHECK(game.Title.find('|') == std::string::npos, shown(game.Title));
        QN_CHECK(game.ShortName.find('|') == std::string::npos, shown(game.ShortName));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string content(reinterpret_cast<const char*>(data), size);

    GameCatalogue cat;
    parseCatalogue(content, cat);
    const int count = cat.size();
    checkRecords(cat, count);
    // Written back in the file's own form, the catalogue reads the same.
    std::string again;
    for (int g = 0; g < count; ++g)
        again += "#" + cat.games[g].Title + "|" + cat.games[g].ShortName + "\r\n";
    GameCatalogue reread;
    parseCatalogue(again, reread);
    QN_CHECK(reread.size() == count, shown(again));
    for (int g = 0; g < count; ++g)
        QN_CHECK(reread.games[g].Title == cat.games[g].Title &&
                     reread.games[g].ShortName == cat.games[g].ShortName,
                 shown(cat.games[g].Title) + "|" + shown(cat.games[g].ShortName));

    Launcher l;
    l.installSettings();
    l.setSetting("Quon Path", "C:\\Quon\\");
    l.setSetting("Drivers Path", "C:\\Drivers\\");
    l.writeProgramFiles(content, "");
    QN_CHECK(!l.start(), "the start ended the process");
    QN_CHECK(l.app->catalogue.size() == count, std::to_string(l.app->catalogue.size()));
    QN_CHECK(!l.showMain(), "the showing ended the process");
    TForm1& f = *l.app->Form1;
    QN_CHECK(f.ListView1.rowCount() == count, std::to_string(f.ListView1.rowCount()));
    // The first two games and the last two: each selection redraws the
    // picture panel, which is most of a run's time.
    for (int row : {0, 1, count - 2, count - 1}) {
        if (row < 0 || row >= count) continue;
        f.ListView1.selectRow(row);
        ui::CheckBox& box = row % 2 ? f.CheckBox1 : f.CheckBox5;
        box.setChecked(!box.checked());
    }
    QN_CHECK(l.closeMain() == 0, "closing");
    l.checkSaved();
    return 0;
}
