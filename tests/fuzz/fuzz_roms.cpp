// roms.dat: the reader on its own. A record line gives one game whose names
// hold no line end, no Ctrl-Z and no bar; the table written back reads the
// same, and a table left from a longer read gives the same games.
#include "catalogue/catalogue.h"
#include "fuzz_check.h"

using namespace qn;
using namespace qn::fuzz;

namespace {

void checkRecords(const GameCatalogue& cat, int count) {
    QN_CHECK(count >= 0 && count <= static_cast<int>(cat.games.size()), std::to_string(count));
    for (int g = 0; g < count; ++g) {
        const GameRecord& game = cat.games[g];
        for (const std::string* s : {&game.Title, &game.ShortName})
            QN_CHECK(s->find_first_of(std::string_view("\r\n\x1a|", 4)) == std::string::npos, shown(*s));
    }
}

bool sameGames(const GameCatalogue& a, const GameCatalogue& b, int count) {
    for (int g = 0; g < count; ++g)
        if (a.games[g].Title != b.games[g].Title || a.games[g].ShortName != b.games[g].ShortName)
            return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const std::string content(reinterpret_cast<const char*>(data), size);

    GameCatalogue cat;
    parseCatalogue(content, cat);
    const int count = cat.size();
    checkRecords(cat, count);
    // One game per line that starts with '#', up to the end of the file.
    const std::string_view text = std::string_view(content).substr(0, content.find('\x1a'));
    int records = 0;
    for (size_t at = 0; at < text.size(); ++at)
        if (text[at] == '#' && (at == 0 || text[at - 1] == '\r' || text[at - 1] == '\n')) ++records;
    QN_CHECK(count == records, std::to_string(count) + " games of " + std::to_string(records));

    const std::string again = printCatalogue(cat, count);
    GameCatalogue reread;
    parseCatalogue(again, reread);
    QN_CHECK(reread.size() == count && sameGames(reread, cat, count), shown(again));

    // An earlier read of more games is replaced, option flags of the slots
    // kept aside.
    GameCatalogue used;
    used.games.resize(static_cast<size_t>(count) + 3);
    for (GameRecord& g : used.games) g = GameRecord{"old", "o|d", {}, {}};
    parseCatalogue(content, used);
    QN_CHECK(used.size() == count && sameGames(used, cat, count), "over an earlier table");
    return 0;
}
