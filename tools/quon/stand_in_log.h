// The log both stand-ins append to, so a test can read in one place what the
// launcher made the emulator and the unzip program do. One "key=value" per
// line, "\n" endings, one record per run written with a single append.
#pragma once

#include "platform/win32/scoped_handle.h"

#include <string>

namespace qn_standin {

// QUON_LOG when set and not empty.
inline std::string logFromEnvironment() {
    char buffer[MAX_PATH * 2];
    const DWORD n = GetEnvironmentVariableA("QUON_LOG", buffer, sizeof buffer);
    if (n == 0 || n >= sizeof buffer) return std::string();
    return std::string(buffer, n);
}

inline std::string currentDirectory() {
    char buffer[MAX_PATH * 2];
    const DWORD n = GetCurrentDirectoryA(sizeof buffer, buffer);
    return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

// The file this program was started from, to tell it from any other that
// a command line could have named.
inline std::string programPath() {
    char buffer[MAX_PATH * 2];
    const DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
    return n > 0 && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

// Appends `record` in one write, so runs that overlap (the launcher's unzip
// and emulator, or two tests) never interleave their lines.
inline bool appendRecord(const std::string& path, const std::string& record) {
    qn::UniqueHandle file;
    for (int attempt = 0; attempt < 50 && !file.valid(); ++attempt) {
        file.reset(CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid()) {
            if (GetLastError() != ERROR_SHARING_VIOLATION) return false;
            Sleep(20);
        }
    }
    if (!file.valid()) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file.get(), record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
    return ok && written == record.size();
}

}  // namespace qn_standin
