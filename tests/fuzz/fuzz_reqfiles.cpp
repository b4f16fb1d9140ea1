// reqfiles.dat: the reader on its own, into a table of a few slots. Each
// file line lands in its group's slot without line ends; the groups fill the
// slots in order; the lists written back read the same; handed out a game
// at a time in any order they are the same; and an earlier read is
// forgotten.
#include <algorithm>

#include "catalogue/catalogue.h"
#include "fuzz_check.h"

using namespace qn;
using namespace qn::fuzz;

namespace {

// The first input byte picks the table's size: groups past it are dropped.
constexpr size_t kMostSlots = 16;

void checkLists(const GameCatalogue& cat) {
    for (size_t g = 0; g < cat.games.size(); ++g) {
        const GameRecord& game = cat.games[g];
        for (const std::string& name : game.RequiredFiles)
            QN_CHECK(name.find_first_of(std::string_view("\r\n\x1a", 3)) == std::string::npos, shown(name));
        // Groups fill the slots from the first on, without gaps.
        if (g > 0)
            QN_CHECK(!cat.games[g - 1].RequiredFiles.empty() || game.RequiredFiles.empty(),
                     "an empty group before slot " + std::to_string(g));
    }
}

bool sameLists(const GameCatalogue& a, const GameCatalogue& b) {
    for (size_t g = 0; g < a.games.size(); ++g)
        if (a.games[g].RequiredFiles != b.games[g].RequiredFiles) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const size_t slots = 1 + data[0] % kMostSlots;
    const std::string content(reinterpret_cast<const char*>(data) + 1, size - 1);

    GameCatalogue cat;
    cat.games.resize(slots);
    parseRequiredFiles(content, cat);
    checkLists(cat);
    // Every file line of a kept group is in the table: a line with a
    // backslash after its first character, before the end of the file.
    const std::string_view text = std::string_view(content).substr(0, content.find('\x1a'));
    size_t lines = 0, kept = 0;
    for (const GameRecord& g : cat.games) kept += g.RequiredFiles.size();
    for (size_t at = 0; at < text.size();) {
        const size_t end = std::min(text.find_first_of("\r\n", at), text.size());
        const size_t slash = text.substr(at, end - at).find('\\');
        if (slash != std::string_view::npos && slash > 0) ++lines;
        at = end + 1;
    }
    QN_CHECK(kept <= lines && (!cat.games.back().RequiredFiles.empty() || kept == lines),
             std::to_string(kept) + " files of " + std::to_string(lines) + " lines");

    const std::string again = printRequiredFiles(cat);
    GameCatalogue reread;
    reread.games.resize(slots);
    parseRequiredFiles(again, reread);
    QN_CHECK(sameLists(reread, cat), shown(again));

    // Handed out a game at a time from a slot the input picks down, wrapping
    // round, the lists are the same, and an earlier read's are gone.
    GameCatalogue used;
    used.games.resize(slots);
    for (GameRecord& g : used.games) {
        g.RequiredFiles = {"", "old.bin"};
    }
    used.setRequiredFiles(content);
    const size_t first = data[0] / kMostSlots % slots;
    for (size_t k = 0; k < slots; ++k) used.withFiles(static_cast<int>((first + slots - k) % slots));
    checkLists(used);
    QN_CHECK(sameLists(used, cat), "over an earlier read, handed out from slot " + std::to_string(first));
    return 0;
}
