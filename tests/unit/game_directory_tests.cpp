#include <gtest/gtest.h>

#include "launch/game_directory.h"

namespace qn {
namespace {

TEST(GameDirectory, ShortNamesThatNameOneDirectoryOfTheirOwn) {
    for (const char* name : {"sshoot", "rtype2", "r-type_2", "game.v2", "a", "console", "lpt", "com0",
                             "nul1", "\xE9t\xE9", "x~1", "a.b.c"})
        EXPECT_TRUE(isPlainDirectoryName(name)) << name;
    EXPECT_TRUE(isPlainDirectoryName(std::string(255, 'a')));
}

TEST(GameDirectory, ShortNamesThatLeaveTheDirectoryOrAddWordsAreRefused) {
    const std::string refused[] = {
        "", ".", "..", "...", "game.",                             // nothing, or another directory
        "a b", "ab -x", " a", "a ", "ab -x \"y",                    // words on the command lines
        "a\"b", "sub\\game", "sub/game", "..\\x", "c:game", "c:",  // quotes, separators, drives
        "a<b", "a>b", "a|b", "a?b", "a*b",                         // refused by Windows in names
        std::string("a\tb"), std::string("a\x01"), std::string("a\x1f"), std::string("a\x7f"),
        std::string("a\0b", 3), std::string("\r"), std::string("x\n"),
        "con", "CON", "Nul", "aux", "prn", "nul.txt", "con.", "lpt1", "LPT9", "com1", "COM9.rom",
        "com\xb9", "LPT\xb3.x", std::string(256, 'a')};
    for (const std::string& name : refused) EXPECT_FALSE(isPlainDirectoryName(name)) << name;
}

TEST(GameDirectory, TheWarningNamesTheGameAndItsShortName) {
    EXPECT_EQ(unusableShortNameMessage("Sample \"Shooter\"", "ab -x"),
              "Sample \"Shooter\" cannot be run: its short name \"ab -x\" cannot be used as a "
              "directory name.");
    EXPECT_EQ(unusableShortNameMessage("Nameless", ""),
              "Nameless cannot be run: its short name \"\" cannot be used as a directory name.");
}

TEST(GameDirectory, FullPathsAreReadFromTheGivenBase) {
    struct Case {
        const char* base;
        const char* path;
        const char* full;
    };
    const Case cases[] = {
        {"C:\\Games", "d:\\quon\\", "d:\\quon\\"},            // already full
        {"C:\\Games", "\\\\server\\share\\q\\", "\\\\server\\share\\q\\"},
        {"C:\\Games", "quon\\", "C:\\Games\\quon\\"},         // relative
        {"C:\\Games\\", "quon\\", "C:\\Games\\quon\\"},
        {"C:\\", "quon\\", "C:\\quon\\"},
        {"C:\\Games", "", "C:\\Games\\"},
        {"C:\\Games", "\\quon\\", "C:\\quon\\"},              // rooted: the base's drive
        {"\\\\srv\\share\\Games", "\\quon\\", "\\\\srv\\share\\quon\\"},  // or server and share
        {"\\\\srv\\share", "\\quon\\", "\\\\srv\\share\\quon\\"},
        {"C:\\Games", "c:quon\\", "C:\\Games\\quon\\"},       // drive-relative, same drive
        {"C:\\Games", "D:quon\\", "D:\\quon\\"},              // another drive: from its root
        {"C:\\Games", "..\\quon\\", "C:\\Games\\..\\quon\\"},  // the system collapses the steps
    };
    for (const Case& c : cases) EXPECT_EQ(fullPath(c.base, c.path), c.full) << c.base << " + " << c.path;
    EXPECT_TRUE(isFullPath("c:\\"));
    EXPECT_TRUE(isFullPath("c:/x"));
    EXPECT_TRUE(isFullPath("\\\\server\\share"));
    for (const char* relative : {"", "c:", "c:x", "\\x", "\\\\", "\\\\\\x", "x\\y"})
        EXPECT_FALSE(isFullPath(relative)) << relative;
}

TEST(GameDirectory, RequiredFileNamesThatStayInside) {
    for (const char* name : {"r1.bin", "sub\\x.bin", "sub/x.bin", ".\\x", "a..b", "x.", "...x"})
        EXPECT_TRUE(staysInsideGameDirectory(name)) << name;
    for (const char* name : {"", "..", "..\\x", "sub\\..\\..\\x", "sub/../x", "\\abs", "/abs",
                             "c:\\boot.ini", "c:x", ".. \\x", "...\\x", ". .\\x", "sub\\..",
                             ".", ".\\", " ", "nul", "sub\\CON.txt", "com\xb2"})
        EXPECT_FALSE(staysInsideGameDirectory(name)) << name;
}

TEST(GameDirectory, WhereAnUnzipProgramPutsAnArchivesEntries) {
    const std::pair<const char*, const char*> inside[] = {
        {"r1.bin", "r1.bin"}, {"sub/r3.bin", "sub\\r3.bin"}, {"./a//b/", "a\\b"}, {"./", ""}, {"a..b", "a..b"}};
    for (const auto& [entry, path] : inside) EXPECT_EQ(archiveEntryPath(entry), std::optional<std::string>(path)) << entry;
    for (const char* entry : {"", "/abs", "\\abs", "c:x", "../x", "sub/../../x", ". ./x", "x/.. "})
        EXPECT_EQ(archiveEntryPath(entry), std::nullopt) << entry;
}

}  // namespace
}  // namespace qn
