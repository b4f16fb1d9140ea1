// The file half of Win32Platform against Wine's file system, in a scratch
// directory per test.
#include "platform/win32/win32_platform.h"

#include "platform_test_support.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

using qn_test::readBytes;
using qn_test::writeBytes;

class FilesTest : public qn_test::ScratchDirectoryTest {
protected:
    qn::Win32Platform platform{"Test"};
};

TEST_F(FilesTest, FilesAndDirectoriesAreToldApart) {
    ASSERT_TRUE(writeBytes(path("roms.dat"), "x"));
    ASSERT_TRUE(CreateDirectoryA(path("games").c_str(), nullptr));

    EXPECT_TRUE(platform.fileExists(path("roms.dat")));
    EXPECT_FALSE(platform.directoryExists(path("roms.dat")));
    EXPECT_FALSE(platform.fileExists(path("games")));
    EXPECT_TRUE(platform.directoryExists(path("games")));
    EXPECT_TRUE(platform.directoryExists(path("games") + "\\"));
    EXPECT_FALSE(platform.fileExists(path("missing.dat")));
    EXPECT_FALSE(platform.directoryExists(path("missing")));
    // Names are case-insensitive on Windows, and the launcher relies on it.
    EXPECT_TRUE(platform.fileExists(path("ROMS.DAT")));
}

TEST_F(FilesTest, ReadWriteOpenFollowsSharingAndLeavesFilesAlone) {
    ASSERT_TRUE(writeBytes(path("normal.cfg"), "a"));
    ASSERT_TRUE(writeBytes(path("held.cfg"), "b"));
    EXPECT_TRUE(platform.canOpenReadWrite(path("normal.cfg")));
    EXPECT_FALSE(platform.canOpenReadWrite(path("missing.cfg")));
    // Opening must not create or change anything.
    EXPECT_FALSE(platform.fileExists(path("missing.cfg")));
    EXPECT_EQ("a", readBytes(path("normal.cfg")));

    // Another writer that shares reading and writing does not stand in the
    // way; one that shares only reading does.
    HANDLE sharing = CreateFileA(path("normal.cfg").c_str(), GENERIC_READ | GENERIC_WRITE,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
    HANDLE exclusive = CreateFileA(path("held.cfg").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, sharing);
    ASSERT_NE(INVALID_HANDLE_VALUE, exclusive);
    EXPECT_TRUE(platform.canOpenReadWrite(path("normal.cfg")));
    EXPECT_FALSE(platform.canOpenReadWrite(path("held.cfg")));
    CloseHandle(sharing);
    CloseHandle(exclusive);
    EXPECT_TRUE(platform.canOpenReadWrite(path("held.cfg")));
}

TEST_F(FilesTest, ReadOnlyFilesCannotBeOpenedForWriting) {
    const std::string locked = path("locked.cfg");
    ASSERT_TRUE(writeBytes(locked, "b"));
    ASSERT_TRUE(SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    // Wine keeps the attribute as Unix permissions, which do not stop root.
    HANDLE probe = CreateFileA(locked.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    const bool enforced = probe == INVALID_HANDLE_VALUE;
    if (!enforced) CloseHandle(probe);

    const bool canOpen = platform.canOpenReadWrite(locked);
    SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (!enforced) GTEST_SKIP() << "the read-only attribute is not enforced for this user";
    EXPECT_FALSE(canOpen);
}

TEST_F(FilesTest, CopyOverwritesAndDeleteRemoves) {
    ASSERT_TRUE(writeBytes(path("new.ini"), "new content"));
    ASSERT_TRUE(writeBytes(path("old.ini"), "old and longer content"));

    EXPECT_TRUE(platform.copyFile(path("new.ini"), path("old.ini")));
    EXPECT_EQ("new content", readBytes(path("old.ini")));
    EXPECT_EQ("new content", readBytes(path("new.ini")));

    EXPECT_FALSE(platform.copyFile(path("missing.ini"), path("old.ini")));
    EXPECT_EQ("new content", readBytes(path("old.ini")));

    EXPECT_TRUE(platform.deleteFile(path("old.ini")));
    EXPECT_EQ("<missing>", readBytes(path("old.ini")));
    EXPECT_FALSE(platform.deleteFile(path("old.ini")));
}

TEST_F(FilesTest, CreateDirectoryMakesOneLevel) {
    EXPECT_FALSE(platform.createDirectory(path("a\\b")));
    EXPECT_FALSE(platform.directoryExists(path("a")));
    EXPECT_TRUE(platform.createDirectory(path("a")));
    EXPECT_FALSE(platform.createDirectory(path("a")));  // already there
    EXPECT_TRUE(platform.createDirectory(path("a\\b")));
    EXPECT_TRUE(platform.directoryExists(path("a\\b")));
}

TEST_F(FilesTest, CurrentDirectoryRoundTrip) {
    const std::string before = platform.currentDirectory();
    ASSERT_FALSE(before.empty());
    ASSERT_TRUE(CreateDirectoryA(path("work dir").c_str(), nullptr));

    EXPECT_TRUE(platform.setCurrentDirectory(path("work dir")));
    EXPECT_EQ(path("work dir"), platform.currentDirectory());
    // Relative names now resolve against it.
    ASSERT_TRUE(writeBytes(path("work dir\\here.txt"), "h"));
    EXPECT_TRUE(platform.fileExists("here.txt"));

    EXPECT_FALSE(platform.setCurrentDirectory(path("missing")));
    EXPECT_EQ(path("work dir"), platform.currentDirectory());

    EXPECT_TRUE(platform.setCurrentDirectory(before));
    EXPECT_EQ(before, platform.currentDirectory());
}

TEST_F(FilesTest, ShortPathNameIsTheSystemsShortForm) {
    const std::string spaced = path("arcade roms");
    ASSERT_TRUE(CreateDirectoryA(spaced.c_str(), nullptr));
    char expected[MAX_PATH] = {};
    ASSERT_NE(0u, GetShortPathNameA(spaced.c_str(), expected, MAX_PATH));

    auto got = platform.shortPathName(spaced);
    ASSERT_TRUE(got.has_value());
    EXPECT_EQ(std::string(expected), *got);
    EXPECT_EQ(std::string::npos, got->find(' '));
    EXPECT_LE(got->size(), 255u);
    EXPECT_TRUE(platform.directoryExists(*got));

    EXPECT_FALSE(platform.shortPathName(path("missing dir")).has_value());
}

TEST_F(FilesTest, ShortPathNameMustFitItsBuffer) {
    // Nest 8.3 names (their own short form) until the short path is exactly
    // 254 characters, the most a 255-character buffer holds with its NUL.
    auto shortOf = [](const std::string& p) {
        char buffer[1024] = {};
        DWORD n = GetShortPathNameA(p.c_str(), buffer, sizeof buffer);
        return n > 0 && n < sizeof buffer ? std::string(buffer) : std::string();
    };
    // Built from the short form of the scratch directory so the long path
    // stays under MAX_PATH too.
    std::string deep = shortOf(dir);
    ASSERT_FALSE(deep.empty());
    std::string deepShort = deep;
    auto descend = [&](const std::string& name) {
        deep += "\\" + name;
        deepShort += "\\" + name;
        return CreateDirectoryA(deep.c_str(), nullptr) != 0;
    };
    while (253 - deepShort.size() > 16) ASSERT_TRUE(descend("abcdefgh")) << deep;
    const std::size_t remaining = 253 - deepShort.size();
    ASSERT_TRUE(descend(std::string(remaining / 2, 'y'))) << deep;
    // The last name leaves room for one more character in an 8.3 name.
    const std::string last(253 - deepShort.size(), 'z');
    ASSERT_GE(last.size(), 1u);
    ASSERT_LE(last.size(), 7u);
    ASSERT_TRUE(CreateDirectoryA((deep + "\\" + last).c_str(), nullptr));
    ASSERT_TRUE(writeBytes(deep + "\\" + last + "z", ""));  // one character longer

    const std::string fits = deep + "\\" + last;
    ASSERT_EQ(254u, shortOf(fits).size());
    ASSERT_EQ(255u, shortOf(fits + "z").size());

    EXPECT_EQ(shortOf(fits), platform.shortPathName(fits));
    EXPECT_FALSE(platform.shortPathName(deep + "\\" + last + "z").has_value());
}

TEST_F(FilesTest, SubdirectoriesListsDirectChildDirectoriesOnly) {
    for (const char* name : {"one", "two words", "three", "three\\nested"})
        ASSERT_TRUE(CreateDirectoryA(path(name).c_str(), nullptr)) << name;
    ASSERT_TRUE(writeBytes(path("file.txt"), "f"));

    std::vector<std::string> expected = {"one", "three", "two words"};
    auto listed = platform.subdirectories(dir);
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(expected, listed);

    listed = platform.subdirectories(dir + "\\");
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(expected, listed);

    EXPECT_TRUE(platform.subdirectories(path("one")).empty());
    EXPECT_TRUE(platform.subdirectories(path("missing")).empty());
}

TEST_F(FilesTest, FilesInListsDirectFilesOnly) {
    for (const char* name : {"sub", "sub\\deeper"})
        ASSERT_TRUE(CreateDirectoryA(path(name).c_str(), nullptr));
    for (const char* name : {"a.rom", "two words.bin", "sub\\inner.txt"})
        ASSERT_TRUE(writeBytes(path(name), "x"));
    std::vector<std::string> expected = {"a.rom", "two words.bin"};
    for (const std::string& where : {dir, dir + "\\"}) {
        auto listed = platform.filesIn(where).value_or(std::vector<std::string>{});
        std::sort(listed.begin(), listed.end());
        EXPECT_EQ(expected, listed) << where;
    }
    EXPECT_EQ(std::vector<std::string>{"inner.txt"}, platform.filesIn(path("sub")));
    EXPECT_TRUE(platform.filesIn(path("sub\\deeper"))->empty());
    EXPECT_TRUE(platform.filesIn(path("missing"))->empty());
}

TEST_F(FilesTest, SaveFileWritesEveryByteOverAnyPlainFile) {
    const std::string bytes("journal\r\n\x00\x1a\xff tail", 17);
    EXPECT_TRUE(platform.saveFile(path("new.txt"), bytes));
    EXPECT_EQ(bytes, readBytes(path("new.txt")));
    ASSERT_TRUE(writeBytes(path("old.txt"), "a much longer old content"));
    EXPECT_TRUE(platform.saveFile(path("old.txt"), "short"));
    EXPECT_EQ("short", readBytes(path("old.txt")));
    EXPECT_TRUE(platform.saveFile(path("empty.txt"), ""));
    EXPECT_EQ("", readBytes(path("empty.txt")));

    EXPECT_FALSE(platform.saveFile(path("missing\\x.txt"), "x"));
    ASSERT_TRUE(CreateDirectoryA(path("folder").c_str(), nullptr));
    EXPECT_FALSE(platform.saveFile(path("folder"), "x"));
}

TEST_F(FilesTest, RemoveDirectoryTakesOnlyAnEmptyOne) {
    ASSERT_TRUE(CreateDirectoryA(path("full").c_str(), nullptr));
    ASSERT_TRUE(writeBytes(path("full\\x"), "x"));
    ASSERT_TRUE(CreateDirectoryA(path("empty").c_str(), nullptr));
    EXPECT_FALSE(platform.removeDirectory(path("full")));
    EXPECT_TRUE(platform.directoryExists(path("full")));
    EXPECT_TRUE(platform.removeDirectory(path("empty")));
    EXPECT_FALSE(platform.directoryExists(path("empty")));
    EXPECT_FALSE(platform.removeDirectory(path("empty")));
}

TEST_F(FilesTest, MovesRenameWhateverTheAttributesAndReplaceOnlyWhenAsked) {
    ASSERT_TRUE(writeBytes(path("mine.rom"), "user"));
    ASSERT_TRUE(SetFileAttributesA(path("mine.rom").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(writeBytes(path("theirs.rom"), "archive"));
    EXPECT_TRUE(platform.moveFile(path("mine.rom"), path("mine.rom.qnkept"), false));
    EXPECT_EQ("user", readBytes(path("mine.rom.qnkept")));
    EXPECT_FALSE(platform.moveFile(path("mine.rom.qnkept"), path("theirs.rom"), false));
    EXPECT_EQ("archive", readBytes(path("theirs.rom")));
    // A read-only file in the way goes when a replace is asked for.
    ASSERT_TRUE(SetFileAttributesA(path("theirs.rom").c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(platform.moveFile(path("mine.rom.qnkept"), path("theirs.rom"), true));
    EXPECT_EQ("user", readBytes(path("theirs.rom")));
    EXPECT_FALSE(platform.fileExists(path("mine.rom.qnkept")));
    EXPECT_FALSE(platform.moveFile(path("missing"), path("other"), true));
}

TEST_F(FilesTest, DirectoriesMoveWholeAndAreKnownHoweverSpelt) {
    ASSERT_TRUE(CreateDirectoryA(path("long game dir").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(path("long game dir\\sub").c_str(), nullptr));
    ASSERT_TRUE(writeBytes(path("long game dir\\sub\\save.dat"), "mine"));
    ASSERT_TRUE(CreateDirectoryA(path("other").c_str(), nullptr));
    const auto id = platform.directoryIdentity(path("long game dir"));
    ASSERT_TRUE(id.has_value());
    const auto shortForm = platform.shortPathName(path("long game dir"));
    ASSERT_TRUE(shortForm.has_value());
    EXPECT_EQ(id, platform.directoryIdentity(*shortForm));
    std::string upper = path("LONG GAME DIR\\");
    EXPECT_EQ(id, platform.directoryIdentity(upper));
    EXPECT_NE(id, platform.directoryIdentity(path("other")));
    EXPECT_FALSE(platform.directoryIdentity(path("long game dir\\sub\\save.dat")).has_value());
    EXPECT_FALSE(platform.directoryIdentity(path("missing")).has_value());

    EXPECT_FALSE(platform.moveDirectory(path("long game dir"), path("other")));
    EXPECT_TRUE(platform.moveDirectory(path("long game dir"), path("other\\aside")));
    EXPECT_EQ("mine", readBytes(path("other\\aside\\sub\\save.dat")));
    EXPECT_EQ(id, platform.directoryIdentity(path("other\\aside")));
    EXPECT_FALSE(platform.moveDirectory(path("other\\aside\\sub\\save.dat"), path("save.dat")));
}

TEST_F(FilesTest, AnItemsFactsKeepItsIdentityThroughAMoveAndNameItsLongForm) {
    ASSERT_TRUE(writeBytes(path("LongFileName.bin"), "mine"));
    ASSERT_TRUE(CreateDirectoryA(path("saves").c_str(), nullptr));
    const auto file = platform.itemFacts(path("LongFileName.bin"));
    ASSERT_TRUE(file.has_value());
    EXPECT_FALSE(file->folder);
    EXPECT_FALSE(file->link);
    EXPECT_FALSE(file->identity.empty());
    // Its short alias names the same item, by its long name.
    const auto shortForm = platform.shortPathName(path("LongFileName.bin"));
    ASSERT_TRUE(shortForm.has_value());
    const auto alias = platform.itemFacts(*shortForm);
    ASSERT_TRUE(alias.has_value());
    EXPECT_EQ(alias->name, "LongFileName.bin");
    EXPECT_EQ(alias->identity, file->identity);
    EXPECT_FALSE(alias->link);
    ASSERT_TRUE(platform.moveFile(path("LongFileName.bin"), path("saves\moved.bin"), false));
    const auto moved = platform.itemFacts(path("saves\moved.bin"));
    ASSERT_TRUE(moved.has_value());
    EXPECT_EQ(moved->identity, file->identity);
    const auto folder = platform.itemFacts(path("saves"));
    ASSERT_TRUE(folder.has_value());
    EXPECT_TRUE(folder->folder);
    EXPECT_NE(folder->identity, file->identity);
    EXPECT_FALSE(platform.itemFacts(path("LongFileName.bin")).has_value());
}

TEST_F(FilesTest, FailuresGiveTheSystemsErrorAndItsText) {
    EXPECT_FALSE(platform.moveFile(path("missing.bin"), path("other.bin"), false));
    EXPECT_EQ(platform.lastError(), static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(platform.errorText(ERROR_FILE_NOT_FOUND).empty());
    EXPECT_NE(platform.errorText(ERROR_FILE_NOT_FOUND).back(), '\n');
}

TEST_F(FilesTest, PartsOfAFileAndItsSize) {
    std::string bytes(70000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i % 253);
    ASSERT_TRUE(writeBytes(path("big.zip"), bytes));
    EXPECT_EQ(std::optional<std::uint64_t>(bytes.size()), platform.fileSize(path("big.zip")));
    EXPECT_EQ(bytes.substr(65530, 100), platform.readFilePart(path("big.zip"), 65530, 100));
    EXPECT_EQ(bytes.substr(69990), platform.readFilePart(path("big.zip"), 69990, 100));  // cut at the end
    EXPECT_EQ(std::string(), platform.readFilePart(path("big.zip"), 80000, 10));
    EXPECT_FALSE(platform.readFilePart(path("missing.zip"), 0, 10).has_value());
    EXPECT_FALSE(platform.fileSize(path("missing.zip")).has_value());
    ASSERT_TRUE(CreateDirectoryA(path("dir").c_str(), nullptr));
    EXPECT_FALSE(platform.fileSize(path("dir")).has_value());
}

TEST_F(FilesTest, ANamedLockIsHeldByOneHolderUntilItGoes) {
    const std::string name = "QnLaunch test lock " + path("game\\");
    std::unique_ptr<qn::FileLock> held = platform.holdNamedLock(name);
    ASSERT_NE(nullptr, held);
    qn::Win32Platform other{"Other"};
    EXPECT_EQ(nullptr, other.holdNamedLock(name));
    EXPECT_NE(nullptr, other.holdNamedLock(name + "x"));
    held.reset();
    EXPECT_NE(nullptr, other.holdNamedLock(name));
}

TEST_F(FilesTest, ReadFileReturnsEveryByteUnchanged) {
    const std::string bytes("line1\r\nline2\n\x00\x1a\xff\r\x1a tail", 23);
    ASSERT_TRUE(writeBytes(path("data.dat"), bytes));
    EXPECT_EQ(bytes, platform.readFile(path("data.dat")));

    std::string large(200 * 1024 + 17, '\0');
    for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i % 251);
    ASSERT_TRUE(writeBytes(path("large.dat"), large));
    EXPECT_EQ(large, platform.readFile(path("large.dat")));

    ASSERT_TRUE(writeBytes(path("empty.dat"), ""));
    EXPECT_EQ(std::string(), platform.readFile(path("empty.dat")));

    EXPECT_FALSE(platform.readFile(path("missing.dat")).has_value());
    ASSERT_TRUE(CreateDirectoryA(path("folder").c_str(), nullptr));
    EXPECT_FALSE(platform.readFile(path("folder")).has_value());
}

TEST_F(FilesTest, DriveRootsIncludeTheSystemDrive) {
    auto roots = platform.driveRoots();
    ASSERT_FALSE(roots.empty());
    char windows[MAX_PATH] = {};
    ASSERT_NE(0u, GetWindowsDirectoryA(windows, MAX_PATH));
    const std::string systemRoot = std::string(windows, 3);
    EXPECT_NE(roots.end(), std::find(roots.begin(), roots.end(), systemRoot));
    for (const std::string& root : roots) {
        ASSERT_EQ(3u, root.size()) << root;
        EXPECT_EQ(":\\", root.substr(1)) << root;
    }
}

}  // namespace
