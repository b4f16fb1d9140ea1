// Names the code page cannot spell, through the real platform: UTF-8 in and
// out, the same names and values the old code-page calls stored.
#include "platform/win32/win32_platform.h"

#include "platform_test_support.h"

#include <shlwapi.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Cyrillic, Japanese with a blank, and a Latin-1 accent, in UTF-8 and UTF-16.
const std::string kRussian = "\xD0\x98\xD0\xB3\xD1\x80\xD1\x8B";
const std::string kJapanese = "\xE3\x82\xB2\xE3\x83\xBC\xE3\x83\xA0 x";
const std::wstring kRussianW = L"\x0418\x0433\x0440\x044B";
const char kTestKey[] = "Software\\qnlaunch unicode tests";

class UnicodeTest : public qn_test::ScratchDirectoryTest {
protected:
    void TearDown() override {
        SHDeleteKeyA(HKEY_CURRENT_USER, kTestKey);
        // The scratch directory's clean-up speaks the code page: what it
        // could not name goes first, deepest first.
        for (const std::string& name : made)
            if (!platform.deleteFile(name)) platform.removeDirectory(name);
        qn_test::ScratchDirectoryTest::TearDown();
    }
    std::vector<std::string> made;
    qn::Win32Platform platform{"Test"};
};

TEST_F(UnicodeTest, RegistryNamesAndValuesOfTheOldCallsReadTheSame) {
    HKEY raw = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &raw, nullptr));
    const char old[] = "C:\\\xC9mulateur\\";  // written in the code page, 0xC9
    RegSetValueExA(raw, "Caf\xE9 Racer", 0, REG_SZ, reinterpret_cast<const BYTE*>(old), sizeof old);
    auto key = platform.openKey(qn::RootKey::CurrentUser, kTestKey, qn::KeyAccess::ReadWrite);
    ASSERT_NE(nullptr, key);
    const std::string cafe = "Caf\xC3\xA9 Racer", value = "C:\\\xC3\x89mulateur\\";
    EXPECT_EQ(key->valueSize(cafe), value.size() + 1);
    EXPECT_EQ(key->valueData(cafe, 64), value + '\0');
    const auto all = key->allValues();
    ASSERT_TRUE(all.has_value());
    ASSERT_EQ(all->size(), 1u);
    EXPECT_EQ((*all)[0], std::make_pair(cafe, value + '\0'));

    // Written through the platform, the old calls and the wide ones see it too.
    ASSERT_TRUE(key->setString(cafe, "C:\\" + kRussian + "\\"));
    ASSERT_TRUE(key->setString("Quon Path", "C:\\" + kRussian + "\\"));
    wchar_t wide[64] = {};
    DWORD size = sizeof wide;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExW(raw, L"Quon Path", nullptr, nullptr,
                                              reinterpret_cast<BYTE*>(wide), &size));
    EXPECT_EQ(std::wstring(wide), L"C:\\" + kRussianW + L"\\");
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(raw, "Caf\xE9 Racer", nullptr, nullptr, nullptr, nullptr));
    RegCloseKey(raw);
}

TEST_F(UnicodeTest, FilesAndDirectoriesOfAnyNameAreMadeFoundListedAndRead) {
    const std::string russian = path(kRussian);
    const std::string japanese = russian + "\\" + kJapanese;
    ASSERT_TRUE(platform.createDirectory(russian));
    ASSERT_TRUE(platform.createDirectory(japanese));
    ASSERT_TRUE(platform.saveFile(japanese + "\\" + kRussian + ".dat", "bytes"));
    made = {japanese + "\\" + kRussian + ".dat", japanese, russian};
    EXPECT_TRUE(platform.directoryExists(japanese + "\\"));
    EXPECT_EQ(platform.readFile(japanese + "\\" + kRussian + ".dat"), "bytes");
    EXPECT_EQ(platform.subdirectories(russian), std::vector<std::string>{kJapanese});
    EXPECT_EQ(platform.filesIn(japanese), std::vector<std::string>{kRussian + ".dat"});
    const std::string before = platform.currentDirectory();
    ASSERT_TRUE(platform.setCurrentDirectory(japanese));
    EXPECT_EQ(platform.currentDirectory(), japanese);
    platform.setCurrentDirectory(before);
    // The short form is one the code page spells, and names the same place.
    const auto shortForm = platform.shortPathName(japanese);
    ASSERT_TRUE(shortForm.has_value());
    EXPECT_TRUE(platform.codePageSpells(*shortForm)) << *shortForm;
    EXPECT_TRUE(platform.fileExists(*shortForm + "\\" + kRussian + ".dat"));
}

TEST_F(UnicodeTest, TheCodePageIsWindowsLatinOne) {
    EXPECT_EQ(platform.codePageToUtf8("Caf\xE9 \x80"), "Caf\xC3\xA9 \xE2\x82\xAC");
    EXPECT_TRUE(platform.codePageSpells("C:\\\xC3\x89mulateur\\"));
    EXPECT_FALSE(platform.codePageSpells("C:\\" + kRussian));
    EXPECT_FALSE(platform.codePageSpells(kJapanese));
}

}  // namespace
