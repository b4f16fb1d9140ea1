// Directory listings on the real file system, and lookups through them
// against asking the file system for each file.
#include "catalogue/file_lookup.h"
#include "platform/win32/win32_platform.h"

#include "platform_test_support.h"

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

using qn_test::writeBytes;

class ListingTest : public qn_test::ScratchDirectoryTest {
protected:
    qn::Win32Platform platform{"Test"};

    void makeDirectory(const std::string& name) {
        ASSERT_TRUE(CreateDirectoryA(path(name).c_str(), nullptr)) << name;
    }
    void makeFile(const std::string& name) { ASSERT_TRUE(writeBytes(path(name), "x")) << name; }
};

TEST_F(ListingTest, ListsRegularFilesOnlyAsSpelled) {
    makeFile("Alpha.ROM");
    makeFile("beta.bin");
    makeDirectory("sub.rom");
    makeFile("sub.rom\\inner.rom");
    auto names = platform.filesIn(dir + "\\");
    ASSERT_TRUE(names.has_value());
    std::sort(names->begin(), names->end());
    EXPECT_EQ(*names, (std::vector<std::string>{"Alpha.ROM", "beta.bin"}));
    // Without the trailing backslash too, and an empty directory holds none.
    EXPECT_EQ(platform.filesIn(dir)->size(), 2u);
    makeDirectory("empty");
    EXPECT_EQ(platform.filesIn(path("empty\\")), std::vector<std::string>{});
    // A directory that is not there holds no files.
    EXPECT_EQ(platform.filesIn(path("missing\\")), std::vector<std::string>{});
    EXPECT_EQ(platform.filesIn(path("missing\\deeper\\")), std::vector<std::string>{});
}

TEST_F(ListingTest, LookupsAgreeWithAskingForEachFile) {
    // A disk of game directories with files in mixed case, directories
    // named like files, subdirectories, a long name with its short alias,
    // and a name outside ASCII.
    std::mt19937 rng(7);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    auto mixCase = [&](std::string s) {
        for (char& c : s)
            if (((c | 0x20) >= 'a' && (c | 0x20) <= 'z') && pick(2)) c = static_cast<char>(c ^ 0x20);
        return s;
    };
    const std::vector<std::string> pool = {"a.rom", "b.bin", "rom1", "x", "ss.qun", "c.rom",
                                           "long file name.rom", "\xE9t\xE9.rom"};
    std::vector<std::string> queries;
    for (int g = 0; g < 6; ++g) {
        const std::string game = "g" + std::to_string(g);
        makeDirectory(game);
        for (const std::string& n : pool) {
            switch (pick(4)) {
            case 0: makeFile(game + "\\" + mixCase(n)); break;
            case 1: makeDirectory(game + "\\" + mixCase(n)); break;
            default: break;
            }
        }
        makeDirectory(game + "\\sub");
        if (pick(2)) makeFile(game + "\\sub\\d.rom");
        for (const std::string& n : pool) queries.push_back(path(mixCase(game) + "\\" + mixCase(n)));
        for (const char* n : {"sub", "SUB\\D.ROM", "sub\\d.rom", "a.rom.", "a.rom ", "a.r?m", "*",
                              "", ".", "..", "sub\\", "\xC9T\xC9.ROM"})
            queries.push_back(path(game + "\\" + n));
    }
    // The short alias of a long name, as the system made it.
    makeFile("g0\\a very long file name.rom");
    char alias[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameA(path("g0\\a very long file name.rom").c_str(), alias, MAX_PATH), 0u);
    queries.push_back(alias);
    makeFile("plain.rom");
    queries.push_back(path("plain.rom\\a.rom"));  // a file where a directory should be
    queries.push_back(path("missing\\a.rom"));

    // Every directory listed at once: the listings are what is compared.
    qn::FileLookup lookup(platform, 0);
    int present = 0;
    for (const std::string& q : queries) {
        const bool asked = platform.fileExists(q);
        present += asked;
        EXPECT_EQ(lookup.fileExists(q), asked) << q;
    }
    EXPECT_GT(present, 10);  // the disk held enough to compare
    EXPECT_TRUE(lookup.fileExists(alias));

    // Plain names cost one listing per directory and no question per file.
    qn::FileLookup plain(platform, 0);
    for (int g = 0; g < 6; ++g) {
        const std::string game = "g" + std::to_string(g);
        for (const char* n : {"a.rom", "B.BIN", "rom1", "x", "Ss.Qun", "long file name.rom",
                                     "sub", "sub\\d.rom", "SUB\\E.ROM"})
            EXPECT_EQ(plain.fileExists(path(game + "\\" + n)), platform.fileExists(path(game + "\\" + n)))
                << game << " " << n;
    }
    EXPECT_EQ(plain.listings(), 6 * 2);
    EXPECT_EQ(plain.singleChecks(), 0);
}

}  // namespace
