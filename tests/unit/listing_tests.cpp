// Availability from directory listings against the same rules asked file by
// file, on random disks and catalogues.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>

#include "catalogue/availability.h"
#include "catalogue/file_lookup.h"
#include "platform/memory/memory_platform.h"
#include "test_support.h"

namespace qn {
namespace {

// The rules as they read, one file-system question per file: each game's
// availability, and in plain mode a mark for each of its files.
std::string evaluateFileByFile(const GameCatalogue& cat, const TPaths& p, RomMode mode, Platform& os) {
    os.setCurrentDirectory("C:\\");
    std::string out;
    for (const GameRecord& game : cat.games) {
        const std::string& s = game.ShortName;
        bool available = true;
        std::string marks;
        if (mode.compressed) {
            available = os.fileExists(p.romsPath + s + ".zip") &&
                        (mode.driversPath || os.fileExists(p.emulatorPath + s + "\\" + s + ".qun"));
        } else {
            for (const std::string& name : game.RequiredFiles) {
                const bool missing = !os.fileExists(p.emulatorPath + s + "\\" + name);
                marks += missing ? 'm' : '.';
                available = available && !missing;
            }
        }
        if (mode.driversPath && !os.fileExists(p.driversPath + s + ".qun")) available = false;
        out += (available ? "Y" : "N") + marks + " ";
    }
    return out;
}

// The same from the listings the launcher keeps, listing a directory once
// more than `askedAlone` of its names are wanted.
std::string evaluateByListings(const GameCatalogue& cat, const TPaths& p, RomMode mode, Platform& os,
                               int askedAlone) {
    os.setCurrentDirectory("C:\\");
    FileLookup files(os, askedAlone);
    std::string out;
    for (const GameRecord& game : cat.games) {
        const GameStatus status = evaluateGame(game, p, mode, files);
        out += status.available ? 'Y' : 'N';
        for (bool missing : status.missing) out += missing ? 'm' : '.';
        out += ' ';
    }
    return out;
}

// Names drawn from a small pool, so that required names, files on disk and
// directories on disk meet often, in mixed letter case.
class RandomDisk {
public:
    explicit RandomDisk(unsigned seed) : rng_(seed) {}

    std::string name() {
        static const char* const pool[] = {"a.rom", "b.bin", "rom1", "x", "Ab.Rom", "sub\\c.rom",
                                           "sub\\d", "deep\\er\\e.bin", "e.bin", "ss.qun"};
        return mixCase(pool[pick(10)]);
    }
    std::string mixCase(std::string s) {
        for (char& c : s)
            if (std::isalpha(static_cast<unsigned char>(c)) && pick(2)) c = static_cast<char>(c ^ 0x20);
        return s;
    }
    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng_); }

private:
    std::mt19937 rng_;
};

TEST(Listings, GiveTheSameAnswerAsAskingForEachFileOnRandomDisks) {
    const TPaths paths{"C:\\Qn\\", "C:\\Emu\\", "C:\\Zips\\", "", "C:\\Drv\\"};
    const TPaths unset{"C:\\Qn\\", "", "", "", ""};
    for (unsigned seed = 1; seed <= 60; ++seed) {
        RandomDisk r(seed);
        MemoryPlatform os;
        os.makeDirectories("C:\\Emu");
        GameCatalogue cat;
        const int games = 1 + r.pick(12);
        for (int g = 0; g < games; ++g) {
            GameRecord game;
            game.ShortName = r.pick(6) ? "g" + std::to_string(r.pick(8)) : "";  // repeats and empties too
            game.Title = "Game " + std::to_string(g);
            const int files = r.pick(6);
            for (int j = 0; j < files; ++j) game.RequiredFiles.push_back(r.name());
            const std::string dir = "C:\\Emu\\" + r.mixCase(game.ShortName) + "\\";
            // What is on disk: some of the names as files, some as
            // directories (which never count), the zip and the drivers.
            for (int k = r.pick(6); k > 0; --k) {
                const std::string n = r.name();
                if (r.pick(4)) {
                    if (!os.directoryExists(dir + n)) os.writeFile(dir + n, "x");
                } else if (!os.fileExists(dir + n)) {
                    os.makeDirectories(dir + n);
                }
            }
            const std::string s = r.mixCase(game.ShortName);
            if (r.pick(2)) os.writeFile("C:\\Zips\\" + s + (r.pick(5) ? ".zip" : ".ZIP"), "z");
            if (r.pick(2)) os.writeFile("C:\\Drv\\" + s + ".qun", "d");
            if (r.pick(2) && !os.directoryExists(dir + s + ".qun")) os.writeFile(dir + s + ".QUN", "d");
            if (!r.pick(8)) os.makeDirectories("C:\\Zips\\" + s + ".zip");
            cat.games.push_back(game);
        }
        for (const TPaths& p : {paths, unset}) {
            for (RomMode mode : {RomMode{false, false}, RomMode{false, true}, RomMode{true, false},
                                 RomMode{true, true}}) {
                for (int alone : {0, 2, FileLookup::kAskedAloneAtMost})
                    EXPECT_EQ(evaluateByListings(cat, p, mode, os, alone), evaluateFileByFile(cat, p, mode, os))
                        << "seed " << seed << " compressed " << mode.compressed << " drivers "
                        << mode.driversPath << " emulator '" << p.emulatorPath << "' alone " << alone;
            }
        }
    }
}

GameRecord gameWith(const std::string& shortName, std::vector<std::string> files) {
    GameRecord game;
    game.ShortName = shortName;
    game.RequiredFiles = std::move(files);
    return game;
}

TEST(Listings, ADirectoryIsListedOnceEnoughOfItsNamesAreWanted) {
    MemoryPlatform os;
    GameCatalogue cat;
    for (int g = 0; g < 50; ++g) {
        std::vector<std::string> files;
        for (int j = 0; j < 10; ++j) {
            files.push_back("f" + std::to_string(j) + ".rom");
            if (g % 7 || j) os.writeFile("C:\\Emu\\g" + std::to_string(g) + "\\F" + std::to_string(j) + ".ROM", "x");
        }
        GameRecord game = gameWith("g" + std::to_string(g), files);
        os.writeFile("C:\\Zips\\" + game.ShortName + ".zip", "z");
        os.writeFile("C:\\Drv\\" + game.ShortName + ".qun", "d");
        cat.games.push_back(game);
    }
    const TPaths p{"C:\\Qn\\", "C:\\Emu\\", "C:\\Zips\\", "", "C:\\Drv\\"};

    Availability availability(os);
    availability.reset(p, {false, true});
    availability.all(cat);
    // Each game's ten files alone; the drivers directory once 33 are wanted,
    // and the games' parent once 33 of its directories are.
    EXPECT_EQ(os.listingCalls, 2);
    EXPECT_EQ(os.fileExistsCalls, 500 + 32);
    int available = 0;
    for (int g = 0; g < 50; ++g) available += availability.of(cat, g);
    EXPECT_EQ(available, 50 - 8);  // g0, g7 ... g49 lack f0.rom

    os.listingCalls = os.fileExistsCalls = 0;
    availability.reset(p, {true, true});
    availability.all(cat);
    EXPECT_EQ(os.listingCalls, 2);  // the compressed-ROMs and drivers directories
    EXPECT_EQ(os.fileExistsCalls, 32 + 32);
    for (int g = 0; g < 50; ++g) EXPECT_TRUE(availability.of(cat, g)) << g;

    // A game of more files than that has its directory listed at once.
    std::vector<std::string> many;
    for (int j = 0; j < 40; ++j) many.push_back("f" + std::to_string(j) + ".rom");
    FileLookup files(os);
    std::vector<bool> missing;
    EXPECT_FALSE(files.markMissing("C:\\Emu\\g1\\", many, missing));
    EXPECT_EQ(std::count(missing.begin(), missing.end(), true), 30);
    EXPECT_EQ(files.listings(), 1);
    EXPECT_EQ(files.singleChecks(), 0);
}

TEST(Listings, GamesNotOnDiskAreLookedUpInTheirParentsListing) {
    MemoryPlatform os;
    GameCatalogue cat;
    for (int g = 0; g < 200; ++g) {
        const std::string s = "g" + std::to_string(g);
        cat.games.push_back(gameWith(s, {"a.rom", "b.rom", "..\\shared.rom"}));
        if (g >= 195 || g == 150) os.writeFile("C:\\Emu\\" + s + "\\A.ROM", "x");
        if (g >= 195) os.writeFile("C:\\Emu\\" + s + "\\b.rom", "x");
    }
    os.writeFile("C:\\Emu\\shared.rom", "x");
    Availability availability(os);
    availability.reset(TPaths{"C:\\Qn\\", "C:\\Emu\\", "", "", ""}, {});
    availability.all(cat);
    // Up to the 33rd game every file alone; after it one listing of
    // C:\Emu\ answers for the games' own files. A name leading out of the
    // game's directory is still asked for, and found.
    EXPECT_EQ(os.listingCalls, 1);
    EXPECT_EQ(os.fileExistsCalls, 32 * 3 + 162 * 1 + 6 * 3);
    for (int g = 0; g < 200; ++g) EXPECT_EQ(availability.of(cat, g), g >= 195) << g;
}

TEST(Listings, AvailabilityWorksOutEachGameOnceUnderThePathsOfItsReset) {
    MemoryPlatform os;
    GameCatalogue cat;
    for (int g = 0; g < 4; ++g) {
        cat.games.push_back(gameWith("g" + std::to_string(g), {"a.rom"}));
        if (g != 2) os.writeFile("C:\\Emu\\g" + std::to_string(g) + "\\a.rom", "x");
    }
    TPaths p{"C:\\Qn\\", "C:\\Emu\\", "", "", ""};
    Availability availability(os);
    availability.reset(p, {});
    p.emulatorPath = "C:\\Elsewhere\\";  // the reset took its own copy
    EXPECT_EQ(os.fileExistsCalls, 0);
    EXPECT_TRUE(availability.of(cat, 3));
    EXPECT_EQ(os.fileExistsCalls, 1);
    os.deleteFile("C:\\Emu\\g3\\a.rom");
    EXPECT_TRUE(availability.of(cat, 3));  // answered once per reset
    availability.all(cat);
    EXPECT_EQ(os.fileExistsCalls, 4);
    EXPECT_TRUE(availability.of(cat, 0) && availability.of(cat, 1));
    EXPECT_FALSE(availability.of(cat, 2));
    EXPECT_EQ(os.fileExistsCalls, 4);
    availability.reset(TPaths{"C:\\Qn\\", "C:\\Emu\\", "", "", ""}, {});
    EXPECT_FALSE(availability.of(cat, 3));
}

TEST(Listings, NamesAListingCannotAnswerForAreAskedForAlone) {
    MemoryPlatform os;
    os.writeFile("C:\\Emu\\g\\a.rom", "x");
    os.writeFile("C:\\Emu\\g\\sub\\b.rom", "x");
    os.writeFile("C:\\Emu\\g\\\xE9t\xE9.rom", "x");
    FileLookup files(os, 0);  // every directory listed
    EXPECT_TRUE(files.fileExists("C:\\Emu\\g\\A.ROM"));
    EXPECT_TRUE(files.fileExists("C:\\Emu\\g\\sub\\B.rom"));  // the subdirectory is listed
    EXPECT_FALSE(files.fileExists("C:\\Emu\\g\\sub"));        // a directory is no file
    EXPECT_FALSE(files.fileExists("C:\\Emu\\missing\\a.rom"));
    std::vector<bool> missing;  // a directory without its separator: the names go on after it
    EXPECT_TRUE(files.markMissing("C:\\Emu\\g\\a", {".rom"}, missing));
    EXPECT_EQ(os.fileExistsCalls, 0);
    EXPECT_EQ(files.listings(), 3);
    // Short aliases, trailing dots and spaces, wildcards and letters
    // outside ASCII go to the file system as they are.
    for (const char* name : {"A~1.ROM", "a.rom.", "a.rom ", "a.r?m", "\xC9T\xC9.ROM", "*"})
        files.fileExists(std::string("C:\\Emu\\g\\") + name);
    EXPECT_EQ(files.singleChecks(), 6);
    EXPECT_EQ(os.fileExistsCalls, 6);
    EXPECT_EQ(files.listings(), 3);
}

class StartWithManyGames : public test::LauncherTest {
protected:
    // Starts on 100 games g0...g99 of one file each, on disk for the games
    // the predicate picks.
    void startWith(bool (*present)(int game)) {
        os.onFileExists = [this](const std::string& path) {
            if (path.find("\\a.rom") != std::string::npos) ++romsAskedFor;
        };
        installSettings();
        os.setString(RootKey::LocalMachine, kSettingsKey, "Quon Path", "C:\\Emu\\");
        std::string roms, req;
        for (int g = 0; g < 100; ++g) {
            const std::string s = "g" + std::to_string(g);
            roms += "#Game " + std::to_string(g) + "|" + s + "\r\n";
            req += s + "\\a.rom\r\n";
            if (present(g)) os.writeFile("C:\\Emu\\" + s + "\\a.rom", "x");
        }
        writeProgramFiles(roms, req);
        ASSERT_EQ(start(), std::nullopt);
        ASSERT_EQ(showMain(), std::nullopt);
    }
    // Questions to the file system about the games: listings, and their
    // files asked for alone.
    int looks() const { return os.listingCalls + romsAskedFor; }
    int romsAskedFor = 0;
};

TEST_F(StartWithManyGames, LookOnlyAtTheGamesOfRowsShownEachOnce) {
    startWith([](int) { return true; });
    // The first row's game alone, however many games there are.
    const int atStart = looks();
    EXPECT_EQ(atStart, 1);
    for (int row = 0; row < 100; ++row) EXPECT_EQ(app->Form1->ListView1.row(row)[2], "Yes");
    EXPECT_EQ(looks() - atStart, 99 + 1);  // each other game once, and their parent
}

TEST_F(StartWithManyGames, TheRestIsWorkedOutWhileTheWindowWaits) {
    startWith([](int g) { return g % 3 != 0; });
    TForm1& f = *app->Form1;
    ASSERT_TRUE(f.AvailabilityTimer.enabled());
    int ticks = 0;
    while (f.AvailabilityTimer.enabled() && ticks < 10) {
        f.AvailabilityTimer.tick();
        ++ticks;
    }
    EXPECT_EQ(ticks, 3);  // 99 games left, 48 a tick
    const int listed = looks();
    f.ComboBox1.userSelect(2);  // unavailable only: nothing left to look at
    EXPECT_EQ(looks(), listed);
    ASSERT_EQ(f.ListView1.rowCount(), 34);
    EXPECT_EQ(f.ListView1.row(33)[1], "g99");
    // A change of paths starts over, with the whole list shown.
    f.ComboBox1.userSelect(0);
    f.paths.take(PathBox::Emulator, "C:\\Elsewhere\\");
    EXPECT_TRUE(f.AvailabilityTimer.enabled());
    const int beforeTick = looks();
    EXPECT_LE(beforeTick - listed, 2);
    f.AvailabilityTimer.tick();
    // 48 games, none on disk: those up to the 33rd directory alone, the
    // rest by one listing of the directory they would be in.
    EXPECT_EQ(looks(), beforeTick + 31 + 1);
    EXPECT_EQ(f.ListView1.row(5)[2], "No");
}

}  // namespace
}  // namespace qn
