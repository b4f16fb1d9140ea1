// Helpers shared by the platform integration tests: a scratch directory per
// test, whole-file reads and writes done with plain Win32 calls (so the
// platform under test is not used to check itself), and the probe's report.
#pragma once

#include "platform/win32/win32.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace qn_test {

inline std::string withoutTrailingSlash(std::string path) {
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    return path;
}

inline std::string moduleDirectory() {
    char path[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string full(path, n);
    return full.substr(0, full.find_last_of("\\/"));
}

inline bool writeBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

inline std::string readBytes(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<missing>";
    std::string content;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0) content.append(chunk, got);
    CloseHandle(file);
    return content;
}

// Works through short names, so trees nested deeper than MAX_PATH in their
// long form (the short-path tests build those) still go away.
inline void removeTree(const std::string& path) {
    char shortForm[MAX_PATH] = {};
    DWORD n = GetShortPathNameA(path.c_str(), shortForm, MAX_PATH);
    const std::string base = n > 0 && n < MAX_PATH ? std::string(shortForm) : path;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((base + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            std::string name = entry.cFileName;
            if (name == "." || name == "..") continue;
            if (entry.cAlternateFileName[0]) name = entry.cAlternateFileName;
            std::string child = base + "\\" + name;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                removeTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryA(base.c_str());
}

// A fresh directory under the system's temporary folder, removed with its
// content afterwards. `dir` has no trailing backslash.
class ScratchDirectoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        static unsigned serial = 0;
        dir = withoutTrailingSlash(temp) + "\\qn-win32-" + std::to_string(GetCurrentProcessId()) +
              "-" + std::to_string(++serial);
        removeTree(dir);
        ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr)) << dir;
    }
    void TearDown() override {
        // A child that ran here (or its console host) may hold the
        // directory for a moment after it has ended.
        for (int attempt = 0; attempt < 40; ++attempt) {
            removeTree(dir);
            if (GetFileAttributesA(dir.c_str()) == INVALID_FILE_ATTRIBUTES) return;
            Sleep(50);
        }
        ADD_FAILURE() << "could not remove " << dir;
    }

    std::string path(const std::string& name) const { return dir + "\\" + name; }

    std::string dir;
};

// The probe's key=value report, or an empty map when there is none.
inline std::map<std::string, std::string> readReport(const std::string& path) {
    std::map<std::string, std::string> report;
    std::string content = readBytes(path);
    if (content == "<missing>") return report;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t end = content.find('\n', start);
        if (end == std::string::npos) end = content.size();
        std::string line = content.substr(start, end - start);
        std::size_t eq = line.find('=');
        if (eq != std::string::npos) report[line.substr(0, eq)] = line.substr(eq + 1);
        start = end + 1;
    }
    return report;
}

inline std::string probePath() { return moduleDirectory() + "\\child_probe.exe"; }

}  // namespace qn_test
