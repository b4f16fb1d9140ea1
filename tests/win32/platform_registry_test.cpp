// The registry half of Win32Platform against the real (Wine) registry.
#include "platform/win32/win32_platform.h"

#include "platform/win32/win32.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace {

const char kTestKey[] = "Software\\qnlaunch win32 tests";

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { SHDeleteKeyA(HKEY_CURRENT_USER, kTestKey); }
    void TearDown() override { SHDeleteKeyA(HKEY_CURRENT_USER, kTestKey); }

    // Writes a value behind the platform's back, with the given type.
    void writeRaw(const char* name, DWORD type, const std::string& bytes) {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kTestKey, 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, &key, nullptr));
        LONG rc = RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                 static_cast<DWORD>(bytes.size()));
        RegCloseKey(key);
        ASSERT_EQ(ERROR_SUCCESS, rc);
    }

    bool rawKeyExists(HKEY root, const std::string& path) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }

    qn::Win32Platform platform{"Test"};
};

TEST_F(RegistryTest, StringsAreStoredWithTheirNulAndReadBack) {
    auto key = platform.createKey(qn::RootKey::CurrentUser, kTestKey);
    ASSERT_NE(nullptr, key);
    const std::string text = "C:\\arcade roms\\quon.exe";
    ASSERT_TRUE(key->setString("Path", text));
    ASSERT_TRUE(key->setString("Empty", ""));
    ASSERT_TRUE(key->setString("", "default"));
    key.reset();  // the values must outlive the handle that wrote them

    key = platform.openKey(qn::RootKey::CurrentUser, kTestKey, qn::KeyAccess::Read);
    ASSERT_NE(nullptr, key);
    EXPECT_EQ(text.size() + 1, key->valueSize("Path"));
    EXPECT_EQ(text + '\0', key->valueData("Path", static_cast<std::uint32_t>(text.size() + 1)));
    EXPECT_EQ(1u, key->valueSize("Empty"));
    EXPECT_EQ(std::string(1, '\0'), key->valueData("Empty", 1));
    EXPECT_EQ(8u, key->valueSize(""));
    EXPECT_EQ(std::string("default") + '\0', key->valueData("", 8));

    HKEY raw = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, kTestKey, 0, KEY_READ, &raw));
    DWORD type = 0;
    LONG rc = RegQueryValueExA(raw, "Path", nullptr, &type, nullptr, nullptr);
    RegCloseKey(raw);
    EXPECT_EQ(ERROR_SUCCESS, rc);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
}

// The launcher keeps game values beside its settings and relies on these
// two rules (and the in-memory registry of the native tests follows them).
TEST_F(RegistryTest, ValueNamesIgnoreCaseAndEndAtTheirFirstNul) {
    auto key = platform.createKey(qn::RootKey::CurrentUser, kTestKey);
    ASSERT_NE(nullptr, key);
    ASSERT_TRUE(key->setString("Quon Path", "C:\\quon\\"));
    ASSERT_TRUE(key->setString("QUON path", "00001000"));
    EXPECT_EQ(std::string("00001000") + '\0', key->valueData("Quon Path", 9));
    ASSERT_TRUE(key->setString(std::string("Drivers Path\0extra", 18), "x"));
    EXPECT_EQ(2u, key->valueSize("drivers path"));
    EXPECT_FALSE(key->valueSize("Drivers Pathextra").has_value());
    EXPECT_EQ(2u, key->valueSize(std::string("Drivers Path\0other", 18)));
}

TEST_F(RegistryTest, MissingValuesHaveNoSizeAndNoData) {
    auto key = platform.createKey(qn::RootKey::CurrentUser, kTestKey);
    ASSERT_NE(nullptr, key);
    EXPECT_FALSE(key->valueSize("Nothing").has_value());
    EXPECT_FALSE(key->valueSize("").has_value());
    EXPECT_FALSE(key->valueData("Nothing", 4).has_value());
}

TEST_F(RegistryTest, ValuesOfAnyTypeComeBackByteForByte) {
    const std::string binary("\x00\x1a\xff\x01\x00\x80", 6);
    std::string large(8 * 1024, '\0');
    for (std::size_t i = 0; i < large.size(); ++i) large[i] = static_cast<char>(i * 7 + i / 256);
    const std::string dword("\x78\x56\x34\x12", 4);
    writeRaw("Binary", REG_BINARY, binary);
    writeRaw("Large", REG_BINARY, large);
    writeRaw("Number", REG_DWORD, dword);
    writeRaw("Nothing", REG_BINARY, "");

    auto key = platform.openKey(qn::RootKey::CurrentUser, kTestKey, qn::KeyAccess::Read);
    ASSERT_NE(nullptr, key);
    EXPECT_EQ(binary.size(), key->valueSize("Binary"));
    EXPECT_EQ(binary, key->valueData("Binary", 6));
    EXPECT_EQ(large.size(), key->valueSize("Large"));
    EXPECT_EQ(large, key->valueData("Large", 8 * 1024));
    EXPECT_EQ(4u, key->valueSize("Number"));
    EXPECT_EQ(dword, key->valueData("Number", 4));
    EXPECT_EQ(0u, key->valueSize("Nothing"));
    EXPECT_EQ(std::string(), key->valueData("Nothing", 0));
    // Asking for fewer bytes than stored gives the head of the data.
    EXPECT_EQ(binary.substr(0, 3), key->valueData("Binary", 3));
    EXPECT_EQ(large.substr(0, 100), key->valueData("Large", 100));
}

TEST_F(RegistryTest, KeysAreCreatedOpenedAndDeleted) {
    const std::string sub = std::string(kTestKey) + "\\Paths\\Deep";
    EXPECT_EQ(nullptr, platform.openKey(qn::RootKey::CurrentUser, sub, qn::KeyAccess::Read));
    ASSERT_NE(nullptr, platform.createKey(qn::RootKey::CurrentUser, sub));  // with its parents
    EXPECT_NE(nullptr, platform.openKey(qn::RootKey::CurrentUser, sub, qn::KeyAccess::Read));
    // Creating an existing key opens it and keeps its values.
    // A key opened for reading is not written through; one opened to write is.
    EXPECT_FALSE(platform.openKey(qn::RootKey::CurrentUser, sub, qn::KeyAccess::Read)->setString("Kept", "no"));
    platform.openKey(qn::RootKey::CurrentUser, sub, qn::KeyAccess::ReadWrite)->setString("Kept", "yes");
    auto again = platform.createKey(qn::RootKey::CurrentUser, sub);
    ASSERT_NE(nullptr, again);
    EXPECT_EQ(4u, again->valueSize("Kept"));

    // A key with subkeys cannot be deleted in one go.
    const std::string paths = std::string(kTestKey) + "\\Paths";
    EXPECT_FALSE(platform.deleteKey(qn::RootKey::CurrentUser, paths));
    EXPECT_TRUE(rawKeyExists(HKEY_CURRENT_USER, paths));

    auto parent = platform.openKey(qn::RootKey::CurrentUser, paths, qn::KeyAccess::Read);
    ASSERT_NE(nullptr, parent);
    EXPECT_TRUE(parent->deleteSubKey("Deep"));
    EXPECT_FALSE(parent->deleteSubKey("Deep"));
    EXPECT_FALSE(rawKeyExists(HKEY_CURRENT_USER, sub));
    parent.reset();
    again.reset();

    EXPECT_TRUE(platform.deleteKey(qn::RootKey::CurrentUser, paths));
    EXPECT_FALSE(rawKeyExists(HKEY_CURRENT_USER, paths));
    EXPECT_FALSE(platform.deleteKey(qn::RootKey::CurrentUser, paths));
    EXPECT_EQ(nullptr, platform.openKey(qn::RootKey::CurrentUser, paths, qn::KeyAccess::Read));
}

TEST_F(RegistryTest, EachRootIsTheMatchingSystemRoot) {
    struct Root {
        qn::RootKey root;
        HKEY handle;
        const char* path;
    };
    const Root roots[] = {
        {qn::RootKey::CurrentUser, HKEY_CURRENT_USER, "Software\\qnlaunch win32 tests\\cu"},
        {qn::RootKey::LocalMachine, HKEY_LOCAL_MACHINE, "Software\\qnlaunch win32 tests lm"},
        {qn::RootKey::ClassesRoot, HKEY_CLASSES_ROOT, ".qnlaunch-win32-test"},
        {qn::RootKey::CurrentConfig, HKEY_CURRENT_CONFIG, "qnlaunch win32 tests cc"},
    };
    for (const Root& r : roots) {
        SCOPED_TRACE(r.path);
        SHDeleteKeyA(r.handle, r.path);
        ASSERT_NE(nullptr, platform.createKey(r.root, r.path));
        EXPECT_TRUE(rawKeyExists(r.handle, r.path));
        EXPECT_NE(nullptr, platform.openKey(r.root, r.path, qn::KeyAccess::Read));
        EXPECT_TRUE(platform.deleteKey(r.root, r.path));
        EXPECT_FALSE(rawKeyExists(r.handle, r.path));
    }
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\qnlaunch win32 tests lm");
    SHDeleteKeyA(HKEY_CURRENT_CONFIG, "qnlaunch win32 tests cc");
}

TEST_F(RegistryTest, AllValuesComeInOnePassAsEachWouldBeRead) {
    writeRaw("Dword", REG_DWORD, std::string("\x07\0\0\0", 4));
    writeRaw("Empty", REG_SZ, std::string(1, '\0'));
    writeRaw("", REG_SZ, std::string("default\0", 8));
    auto key = platform.createKey(qn::RootKey::CurrentUser, kTestKey);
    ASSERT_NE(nullptr, key);
    ASSERT_TRUE(key->setString("Long Title " + std::string(300, 't'), std::string(5000, '1')));
    ASSERT_TRUE(key->setString("Sample Shooter", "01000001"));
    auto all = key->allValues();
    ASSERT_TRUE(all.has_value());
    ASSERT_EQ(all->size(), 5u);
    for (const auto& [name, data] : *all) {
        SCOPED_TRACE(name);
        auto size = key->valueSize(name);
        ASSERT_TRUE(size.has_value());
        EXPECT_EQ(data, key->valueData(name, *size));
    }
}

// Not a check of speed: the figures of one round trip per value against one
// pass, printed for the record.
TEST_F(RegistryTest, TenThousandValuesWrittenAndReadBothWays) {
    auto key = platform.createKey(qn::RootKey::CurrentUser, kTestKey);
    ASSERT_NE(nullptr, key);
    auto now = [] {
        LARGE_INTEGER t, f;
        QueryPerformanceCounter(&t);
        QueryPerformanceFrequency(&f);
        return double(t.QuadPart) * 1000.0 / double(f.QuadPart);
    };
    std::vector<std::string> names;
    for (int i = 0; i < 10000; ++i) names.push_back("Bench Game " + std::to_string(i));
    double t0 = now();
    for (const std::string& n : names) ASSERT_TRUE(key->setString(n, "10100001"));
    double t1 = now();
    int read = 0;
    for (const std::string& n : names) {
        auto size = key->valueSize(n);
        if (size && key->valueData(n, *size) == std::string("10100001\0", 9)) ++read;
    }
    double t2 = now();
    auto all = key->allValues();
    double t3 = now();
    EXPECT_EQ(read, 10000);
    ASSERT_TRUE(all.has_value());
    EXPECT_EQ(all->size(), 10000u);
    EXPECT_EQ(all->back().second, std::string("10100001\0", 9));
    printf("registry, 10000 values: write %.1f ms, read one by one %.1f ms, read in one pass %.1f ms\n",
           t1 - t0, t2 - t1, t3 - t2);
}

}  // namespace

TEST_F(RegistryTest, AnyWriteToTheKeyMovesItsLastWriteTime) {
    // The guard a save relies on: a value written by anyone else, even at
    // once, shows in the time the platform reads.
    auto key = platform.createKey(qn::RootKey::CurrentUser, kTestKey);
    ASSERT_TRUE(key->setString("Game", "01000000"));
    std::optional<std::uint64_t> before = key->lastWriteTime();
    ASSERT_TRUE(before.has_value());
    EXPECT_EQ(before, key->lastWriteTime());
    for (int i = 0; i < 20; ++i) {
        writeRaw("Other", REG_SZ, std::string(1, static_cast<char>('a' + i)) + '\0');
        const std::optional<std::uint64_t> after = key->lastWriteTime();
        ASSERT_TRUE(after.has_value());
        EXPECT_NE(before, after) << "write " << i;
        before = after;
    }
}
