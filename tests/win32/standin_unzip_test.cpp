// pkunzip.exe, the unzip stand-in, run as the launcher runs it: archives made
// by Debian's zip (the committed fixture) and by the tests' own writer for
// damaged and hostile ones.
#include "standin_test_support.h"

#include <cstdio>
#include <memory>

namespace {

using qn_test::filesBelow;
using qn_test::logValues;
using qn_test::readBytes;
using qn_test::splitLines;
using qn_test::writeBytes;

std::string quoted(const std::string& s) { return "\"" + s + "\""; }

std::string numberedLines(const char* format, int count) {
    std::string text;
    char line[64];
    for (int n = 1; n <= count; ++n) {
        std::snprintf(line, sizeof line, format, n);
        text += line;
    }
    return text;
}

// The fixture's files, rebuilt by the rules of make-standin-fixture.sh.
struct FixtureFile {
    const char* path;
    std::string content;
};
std::vector<FixtureFile> fixtureFiles() {
    std::string stored;
    for (int n = 0; n < 3; ++n) stored += "a stored entry, kept as it is\r\n";
    return {
        {"empty.dat", ""},
        {"readme.txt", numberedLines("line %d of the readme\r\n", 200)},
        {"roms\\main.bin", numberedLines("main program word %d\n", 500)},
        {"roms\\sound\\voice.rom", numberedLines("voice sample %d\n", 300)},
        {"stored.bin", stored},
    };
}

std::vector<std::string> fixturePaths() {
    std::vector<std::string> paths;
    for (const FixtureFile& f : fixtureFiles()) paths.push_back(f.path);
    return paths;
}

class UnzipTest : public qn_test::ScratchDirectoryTest {
protected:
    void SetUp() override {
        ScratchDirectoryTest::SetUp();
        logEnv_ = std::make_unique<qn_test::ScopedEnvironment>("QUON_LOG", path("quon.log").c_str());
        // As later unzip programs do; the test of PKUNZIP 2.04g's ways turns it off.
        foldersEnv_ = std::make_unique<qn_test::ScopedEnvironment>("QUON_UNZIP_FOLDERS", "1");
    }
    void TearDown() override {
        foldersEnv_.reset();
        logEnv_.reset();
        ScratchDirectoryTest::TearDown();
    }

    static std::string program() { return qn_test::besideTests("pkunzip.exe"); }
    static std::string fixture() { return qn_test::besideTests("standin-tree.zip"); }

    qn_test::ProgramRun unzip(const std::string& arguments, const std::string& cwd = std::string()) {
        return qn_test::runProgram(quoted(program()) + (arguments.empty() ? "" : " " + arguments),
                                   cwd.empty() ? dir : cwd, path("output.txt"));
    }

    std::string log() { return readBytes(path("quon.log")); }

    bool exists(const std::string& p) { return GetFileAttributesA(p.c_str()) != INVALID_FILE_ATTRIBUTES; }

    std::unique_ptr<qn_test::ScopedEnvironment> logEnv_;
    std::unique_ptr<qn_test::ScopedEnvironment> foldersEnv_;
};

TEST_F(UnzipTest, UnpacksAnArchiveMadeByZipIntoNewDirectories) {
    ASSERT_NE("<missing>", readBytes(fixture())) << "the fixture is copied beside the tests";
    const std::string target = path("emu\\tree");
    const qn_test::ProgramRun run = unzip("-o " + quoted(fixture()) + " " + quoted(target));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(0u, run.exitCode) << run.output;

    EXPECT_EQ(fixturePaths(), filesBelow(target));
    for (const FixtureFile& f : fixtureFiles()) EXPECT_EQ(f.content, readBytes(target + "\\" + f.path)) << f.path;

    // Each file is logged once, in archive order; directories are not files.
    const std::vector<std::string> expectedLog = {"readme.txt", "roms\\sound\\voice.rom", "roms\\main.bin",
                                                  "empty.dat", "stored.bin"};
    EXPECT_EQ(expectedLog, logValues(log(), "unzip-file"));
    EXPECT_EQ(std::vector<std::string>{"0"}, logValues(log(), "unzip-exit"));

    // The entries' date and time (2001-02-03 04:05:06 local) come along.
    WIN32_FILE_ATTRIBUTE_DATA data;
    ASSERT_TRUE(GetFileAttributesExA((target + "\\roms\\main.bin").c_str(), GetFileExInfoStandard, &data));
    FILETIME local;
    SYSTEMTIME t;
    ASSERT_TRUE(FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) && FileTimeToSystemTime(&local, &t));
    EXPECT_EQ(2001, t.wYear);
    EXPECT_EQ(2, t.wMonth);
    EXPECT_EQ(3, t.wDay);
    EXPECT_EQ(4, t.wHour);
    EXPECT_EQ(5, t.wMinute);
    EXPECT_EQ(6, t.wSecond);
}

TEST_F(UnzipTest, ByDefaultWritesNamesAloneCutTo83InCapitalsAsPkunzip204g) {
    foldersEnv_.reset();
    const std::string target = path("emu\\tree");
    const qn_test::ProgramRun run = unzip("-o " + quoted(fixture()) + " " + quoted(target));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(0u, run.exitCode) << run.output;
    const std::vector<std::string> names = {"EMPTY.DAT", "MAIN.BIN", "README.TXT", "STORED.BIN", "VOICE.ROM"};
    EXPECT_EQ(names, filesBelow(target));
    EXPECT_EQ(fixtureFiles()[3].content, readBytes(target + "\\VOICE.ROM"));
    EXPECT_EQ((std::vector<std::string>{"README.TXT", "VOICE.ROM", "MAIN.BIN", "EMPTY.DAT", "STORED.BIN"}),
              logValues(log(), "unzip-file"));
}

TEST_F(UnzipTest, OverwritesFilesAlreadyThereAndLeavesOthersAlone) {
    const std::string target = path("game");
    ASSERT_TRUE(CreateDirectoryA(target.c_str(), nullptr));
    // Longer than the archive's copy, so a missing truncation would show.
    ASSERT_TRUE(writeBytes(target + "\\readme.txt", std::string(10000, 'x')));
    ASSERT_TRUE(writeBytes(target + "\\stored.bin", "old"));
    ASSERT_TRUE(SetFileAttributesA((target + "\\stored.bin").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(writeBytes(target + "\\user.cfg", "mine"));

    const qn_test::ProgramRun run = unzip("-o " + quoted(fixture()) + " " + quoted(target));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(0u, run.exitCode) << run.output;
    for (const FixtureFile& f : fixtureFiles()) EXPECT_EQ(f.content, readBytes(target + "\\" + f.path)) << f.path;
    EXPECT_EQ("mine", readBytes(target + "\\user.cfg"));
}

TEST_F(UnzipTest, DamagedOrMissingArchivesFailWithAMessage) {
    const std::string good = readBytes(fixture());
    ASSERT_NE("<missing>", good);

    {
        SCOPED_TRACE("a flipped byte in a stored entry");
        std::string bad = good;
        const size_t at = bad.find("a stored entry, kept");
        ASSERT_NE(std::string::npos, at);
        bad[at + 3] ^= 0x20;
        ASSERT_TRUE(writeBytes(path("crc.zip"), bad));
        const qn_test::ProgramRun run = unzip("-o " + quoted(path("crc.zip")) + " " + quoted(path("crc")));
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(4u, run.exitCode);
        EXPECT_NE(std::string::npos, run.output.find("stored.bin: CRC error")) << run.output;
        EXPECT_FALSE(exists(path("crc\\stored.bin")));
        // The damage is confined to one entry: the others still unpack.
        EXPECT_EQ(fixtureFiles()[1].content, readBytes(path("crc\\readme.txt")));
    }
    {
        SCOPED_TRACE("a flipped byte in a deflated entry");
        qn_test::ZipWriter writer;
        writer.add("voice.rom", numberedLines("voice sample %d\n", 300), true);
        std::string bad = writer.bytes();
        bad[writer.lastDataOffset() + 40] ^= 0x01;
        ASSERT_TRUE(writeBytes(path("inflate.zip"), bad));
        const qn_test::ProgramRun run = unzip("-o " + quoted(path("inflate.zip")) + " " + quoted(path("inflate")));
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(4u, run.exitCode);
        EXPECT_NE(std::string::npos, run.output.find("voice.rom: ")) << run.output;
        EXPECT_FALSE(exists(path("inflate\\voice.rom")));
    }

    // Damage to the archive as a whole stops before anything is written,
    // with exactly one line.
    struct WholeArchiveCase {
        const char* what;
        std::string bytes;
        DWORD code;
        const char* message;
    };
    std::string badDirectory = good;
    const size_t end = badDirectory.rfind(std::string("PK\x05\x06", 4));
    ASSERT_NE(std::string::npos, end);
    badDirectory[end + 19] = '\x7f';  // the directory's offset, now past the end
    const WholeArchiveCase cases[] = {
        {"cut short", good.substr(0, good.size() - 30), 4, "not a zip archive"},
        {"directory offset out of range", badDirectory, 4, "not a zip archive"},
        {"not an archive at all", "just some text, nothing zipped here", 4, "not a zip archive"},
        {"missing", "", 3, "cannot open the archive"},
    };
    int n = 0;
    for (const WholeArchiveCase& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string archive = path("whole" + std::to_string(n) + ".zip");
        const std::string target = path("whole" + std::to_string(n++));
        if (c.code != 3) {
            ASSERT_TRUE(writeBytes(archive, c.bytes));
        }
        const qn_test::ProgramRun run = unzip("-o " + quoted(archive) + " " + quoted(target));
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(c.code, run.exitCode);
        ASSERT_EQ(1u, splitLines(run.output).size()) << run.output;
        EXPECT_NE(std::string::npos, run.output.find(c.message)) << run.output;
        EXPECT_NE(std::string::npos, run.output.find(archive)) << run.output;
        EXPECT_FALSE(exists(target));
    }
}

TEST_F(UnzipTest, AcceptsOnlyTheLaunchersCommandForm) {
    const std::string target = path("target");
    const std::string badForms[] = {
        "",
        "-o",
        "-o " + quoted(fixture()),
        quoted(fixture()) + " " + quoted(target),
        "-x " + quoted(fixture()) + " " + quoted(target),
        "-O " + quoted(fixture()) + " " + quoted(target),
        "-o " + quoted(fixture()) + " " + quoted(target) + " extra",
    };
    for (const std::string& arguments : badForms) {
        SCOPED_TRACE(arguments);
        const qn_test::ProgramRun run = unzip(arguments);
        ASSERT_TRUE(run.finished);
        EXPECT_EQ(2u, run.exitCode);
        ASSERT_EQ(1u, splitLines(run.output).size()) << run.output;
        EXPECT_NE(std::string::npos, run.output.find("usage: pkunzip -o <archive> <target directory>"));
        EXPECT_FALSE(exists(target));
    }

    // Quoted names with spaces are one argument each.
    ASSERT_TRUE(CreateDirectoryA(path("my roms").c_str(), nullptr));
    ASSERT_TRUE(CopyFileA(fixture().c_str(), path("my roms\\tree.zip").c_str(), FALSE));
    const qn_test::ProgramRun run = unzip("-o " + quoted(path("my roms\\tree.zip")) + " " + quoted(path("my emu\\tree")));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(0u, run.exitCode) << run.output;
    EXPECT_EQ(fixturePaths(), filesBelow(path("my emu\\tree")));
}

TEST_F(UnzipTest, RefusesEntriesThatWouldLandOutsideTheTarget) {
    const std::string inside = "what a game reads\r\n";
    const std::vector<std::string> hostile = {
        "../up.txt",         "sub/../../up2.txt", "..\\back.txt",
        "/qn-standin-abs.txt", "\\qn-standin-abs2.txt", "C:qn-standin-drive.txt",
        dir + "\\abs3.txt",  "sub/.../dots.txt",  "sub/. ./dots2.txt",
    };
    qn_test::ZipWriter writer;
    writer.add("good.txt", inside, true);
    for (const std::string& name : hostile) writer.add(name, "should not be written", false);
    writer.add("sub/ok.txt", inside, false);
    ASSERT_TRUE(writeBytes(path("hostile.zip"), writer.bytes()));

    const std::string target = path("a\\b\\target");
    const qn_test::ProgramRun run = unzip("-o " + quoted(path("hostile.zip")) + " " + quoted(target));
    ASSERT_TRUE(run.finished);
    EXPECT_EQ(1u, run.exitCode) << run.output;

    // Only the two safe entries were written anywhere in the scratch tree.
    const std::vector<std::string> expected = {"a\\b\\target\\good.txt", "a\\b\\target\\sub\\ok.txt",
                                               "hostile.zip", "output.txt", "quon.log"};
    EXPECT_EQ(expected, filesBelow(dir));
    EXPECT_EQ(inside, readBytes(target + "\\good.txt"));
    EXPECT_EQ(inside, readBytes(target + "\\sub\\ok.txt"));
    for (const char* rooted : {"\\qn-standin-abs.txt", "\\qn-standin-abs2.txt", "C:\\qn-standin-drive.txt"}) {
        EXPECT_FALSE(exists(rooted)) << rooted;
    }

    EXPECT_EQ(hostile, logValues(log(), "unzip-skipped"));
    for (const std::string& name : hostile) {
        EXPECT_NE(std::string::npos, run.output.find("skipped " + name + ":")) << name;
    }
}

TEST_F(UnzipTest, LogsItsCommandLineAndWorkingDirectoryPerRun) {
    // As the launcher runs it: from inside the game's directory, with the
    // program named without quotes when its path has no spaces.
    const std::string gameDir = path("emu\\rtypeus");
    ASSERT_TRUE(CreateDirectoryA(path("emu").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(gameDir.c_str(), nullptr));
    ASSERT_TRUE(CopyFileA(fixture().c_str(), path("rtypeus.zip").c_str(), FALSE));
    const std::string commandLine = program() + " -o " + path("rtypeus.zip") + " " + gameDir;
    ASSERT_EQ(std::string::npos, (program() + dir).find(' ')) << "these paths need no quotes";
    const qn_test::ProgramRun first = qn_test::runProgram(commandLine, gameDir, path("output.txt"));
    ASSERT_TRUE(first.finished);
    EXPECT_EQ(0u, first.exitCode) << first.output;

    const qn_test::ProgramRun second = unzip("-o", path("emu"));
    ASSERT_TRUE(second.finished);

    const std::string text = log();
    EXPECT_EQ((std::vector<std::string>{commandLine, quoted(program()) + " -o"}), logValues(text, "unzip-cmdline"));
    EXPECT_EQ((std::vector<std::string>{program(), program()}), logValues(text, "unzip-program"));
    EXPECT_EQ((std::vector<std::string>{gameDir, path("emu")}), logValues(text, "unzip-cwd"));
    EXPECT_EQ((std::vector<std::string>{"0", "2"}), logValues(text, "unzip-exit"));
    EXPECT_EQ(fixturePaths(), filesBelow(gameDir));
}

}  // namespace
