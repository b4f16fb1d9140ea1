// The file system: reading, writing, renaming, listing, short names and the
// current directory, each HANDLE owned by an object that closes it.
#include "platform/win32/win32_platform.h"

#include "platform/win32/platform_parts.h"
#include "platform/win32/scoped_handle.h"
#include "platform/win32/wide_text.h"

#include <algorithm>
#include <cwchar>
#include <utility>

namespace qn {
namespace {

class Win32Lock final : public FileLock {
public:
    explicit Win32Lock(UniqueHandle handle) : handle_(std::move(handle)) {}

private:
    UniqueHandle handle_;
};

// What a search for everything in a directory asks for.
std::string everythingIn(const std::string& directory) {
    std::string pattern = directory;
    if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
    return pattern + '*';
}

// The names of the directories in a directory.
std::vector<std::string> subdirectoriesOf(const std::string& directory) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW entry;
    FindHandle search(FindFirstFileW(wide(everythingIn(directory)).c_str(), &entry));
    if (!search.valid()) return names;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        std::string name = narrow(entry.cFileName);
        if (name == "." || name == "..") continue;
        names.push_back(std::move(name));
    } while (FindNextFileW(search.get(), &entry));
    return names;
}


}  // namespace

DWORD attributesOf(const std::string& path) { return GetFileAttributesW(wide(path).c_str()); }

std::optional<std::string> Win32Platform::readFile(const std::string& path) {
    UniqueHandle file(CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return std::nullopt;
    std::string content;
    // Room for the whole file at once: a catalogue of megabytes is not
    // copied over as it grows.
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file.get(), &size) && size.QuadPart > 0 &&
        static_cast<unsigned long long>(size.QuadPart) < content.max_size())
        content.reserve(static_cast<size_t>(size.QuadPart));
    char chunk[64 * 1024];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr)) return std::nullopt;
        if (got == 0) break;
        content.append(chunk, got);
    }
    return content;
}

bool Win32Platform::fileExists(const std::string& path) {
    DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32Platform::directoryExists(const std::string& path) {
    DWORD attributes = attributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32Platform::canOpenReadWrite(const std::string& path) {
    UniqueHandle file(CreateFileW(wide(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.valid();
}

bool Win32Platform::copyFile(const std::string& from, const std::string& to) {
    return CopyFileW(wide(from).c_str(), wide(to).c_str(), FALSE) != 0;
}

bool Win32Platform::deleteFile(const std::string& path) {
    return DeleteFileW(wide(path).c_str()) != 0;
}

bool Win32Platform::saveFile(const std::string& path, const std::string& bytes) {
    UniqueHandle file(CreateFileW(wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    // Nothing is trusted to be on disk before the system says so: a crash
    // right after must not find a half-written file taken for a whole one.
    return FlushFileBuffers(file.get()) != 0;
}

bool Win32Platform::createDirectory(const std::string& path) {
    return CreateDirectoryW(wide(path).c_str(), nullptr) != 0;
}

bool Win32Platform::removeDirectory(const std::string& path) {
    return RemoveDirectoryW(wide(path).c_str()) != 0;
}

bool Win32Platform::moveFile(const std::string& from, const std::string& to, bool replace) {
    if (replace) {
        // A replace fails on a read-only target; the caller has decided it goes.
        const DWORD attributes = attributesOf(to);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
            SetFileAttributesW(wide(to).c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    }
    return MoveFileExW(wide(from).c_str(), wide(to).c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0) != 0;
}

bool Win32Platform::moveDirectory(const std::string& from, const std::string& to) {
    const DWORD attributes = attributesOf(from);
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    return MoveFileExW(wide(from).c_str(), wide(to).c_str(), 0) != 0;
}

std::optional<std::string> Win32Platform::directoryIdentity(const std::string& path) {
    // Opened for nothing but its information, sharing everything: no one
    // else's work on it is disturbed.
    UniqueHandle dir(CreateFileW(wide(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!dir.valid() || !GetFileInformationByHandle(dir.get(), &info) ||
        !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return std::to_string(info.dwVolumeSerialNumber) + ":" +
           std::to_string((static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow);
}

namespace {

// The path the system ends at for an open item, links followed; nothing
// where the system cannot say (before Windows Vista).
std::optional<std::wstring> finalPathOf(HANDLE item) {
    using Query = DWORD(WINAPI*)(HANDLE, LPWSTR, DWORD, DWORD);
    static const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetFinalPathNameByHandleW")));
    if (!query) return std::nullopt;
    std::wstring buffer(MAX_PATH, L'\0');
    for (int tries = 0; tries < 2; ++tries) {
        const DWORD got = query(item, &buffer[0], static_cast<DWORD>(buffer.size()), 0);
        if (got == 0) return std::nullopt;
        if (got < buffer.size()) return buffer.substr(0, got);
        buffer.assign(got + 1, L'\0');
    }
    return std::nullopt;
}

// Opened for its information only, sharing everything, the item itself
// rather than what a link of it names.
UniqueHandle openForFacts(const std::string& path) {
    return UniqueHandle(CreateFileW(wide(path).c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

std::wstring lastPart(const std::wstring& path) {
    const size_t cut = path.find_last_of(L"\\/");
    return cut == std::wstring::npos ? path : path.substr(cut + 1);
}

}  // namespace

std::optional<Platform::ItemFacts> Win32Platform::itemFacts(const std::string& path) {
    const DWORD attributes = attributesOf(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    ItemFacts facts;
    facts.folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    const std::wstring asked = wide(path);
    std::wstring name = lastPart(asked);
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        facts.link = true;
        facts.name = narrow(name);
        return facts;
    }
    // A short alias stands for the item's long name.
    std::wstring longForm(asked.size() + MAX_PATH, L'\0');
    const DWORD got = GetLongPathNameW(asked.c_str(), &longForm[0], static_cast<DWORD>(longForm.size()));
    if (got > 0 && got < longForm.size()) name = lastPart(longForm.substr(0, got));
    facts.name = narrow(name);
    const UniqueHandle item = openForFacts(path);
    BY_HANDLE_FILE_INFORMATION info;
    if (!item.valid() || !GetFileInformationByHandle(item.get(), &info)) return facts;
    facts.identity = std::to_string(info.dwVolumeSerialNumber) + ":" +
                     std::to_string((static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow);
    // A link the system does not mark (a Linux link under Wine) shows only
    // in where it leads: elsewhere than its directory and its own name.
    const size_t cut = path.find_last_of("\\/");
    if (cut == std::string::npos) return facts;
    const UniqueHandle parent = openForFacts(path.substr(0, cut + 1));
    const std::optional<std::wstring> itemPath = finalPathOf(item.get());
    std::optional<std::wstring> parentPath = parent.valid() ? finalPathOf(parent.get()) : std::nullopt;
    if (!itemPath || !parentPath) return facts;
    if (parentPath->empty() || parentPath->back() != L'\\') *parentPath += L'\\';
    const std::wstring expected = *parentPath + name;
    facts.link = *itemPath != expected;
    return facts;
}

std::uint32_t Win32Platform::lastError() { return GetLastError(); }

std::string Win32Platform::errorText(std::uint32_t code) {
    wchar_t* text = nullptr;
    const DWORD got = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                         FORMAT_MESSAGE_IGNORE_INSERTS,
                                     nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = got && text ? std::wstring(text, got) : std::wstring();
    if (text) LocalFree(text);
    while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' || message.back() == L' '))
        message.pop_back();
    return narrow(message);
}

std::optional<std::uint64_t> Win32Platform::fileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(wide(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return (std::uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::optional<std::string> Win32Platform::readFilePart(const std::string& path, std::uint64_t offset,
                                                       std::size_t size) {
    UniqueHandle file(CreateFileW(wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return std::nullopt;
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(file.get(), at, nullptr, FILE_BEGIN)) return std::nullopt;
    std::string content(size, '\0');
    std::size_t done = 0;
    while (done < size) {
        DWORD got = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 20));
        if (!ReadFile(file.get(), &content[done], chunk, &got, nullptr)) return std::nullopt;
        if (got == 0) break;
        done += got;
    }
    content.resize(done);
    return content;
}

std::unique_ptr<FileLock> Win32Platform::holdNamedLock(const std::string& name) {
    // A mutex that only exists while someone holds a handle to it: the
    // system lets go of it when the holder ends, however it ends.
    std::string object = name;
    std::replace(object.begin(), object.end(), '\\', '/');
    UniqueHandle mutex(CreateMutexW(nullptr, FALSE, wide(object).c_str()));
    if (!mutex.valid()) return nullptr;
    if (GetLastError() == ERROR_ALREADY_EXISTS) return nullptr;
    return std::make_unique<Win32Lock>(std::move(mutex));
}

std::string Win32Platform::currentDirectory() {
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        DWORD got = GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), &buffer[0]);
        if (got == 0) return std::string();
        if (got < buffer.size()) return narrow(buffer.data(), got);
        buffer.assign(got, L'\0');  // too small: `got` is the size needed
    }
}

bool Win32Platform::setCurrentDirectory(const std::string& path) {
    return SetCurrentDirectoryW(wide(path).c_str()) != 0;
}

std::optional<std::string> Win32Platform::shortPathName(const std::string& path) {
    // The launcher's short names have always come from a 255-character buffer;
    // a name that needs more counts as a failure rather than being cut.
    constexpr DWORD kBufferChars = 255;
    wchar_t buffer[kBufferChars + 1] = {};
    DWORD got = GetShortPathNameW(wide(path).c_str(), buffer, kBufferChars);
    if (got == 0 || got >= kBufferChars) return std::nullopt;
    return narrow(buffer);
}

std::vector<std::string> Win32Platform::driveRoots() {
    std::vector<std::string> roots;
    DWORD needed = GetLogicalDriveStringsW(0, nullptr);
    if (needed == 0) return roots;
    std::wstring buffer(needed + 1, L'\0');
    DWORD got = GetLogicalDriveStringsW(needed, &buffer[0]);
    if (got == 0 || got > needed) return roots;
    for (const wchar_t* p = buffer.c_str(); *p; p += std::wcslen(p) + 1) roots.push_back(narrow(p));
    return roots;
}

std::vector<std::string> Win32Platform::subdirectories(const std::string& directory) {
    return subdirectoriesOf(directory);
}

std::optional<Platform::DirectoryListing> Win32Platform::listDirectory(const std::string& directory) {
    DirectoryListing listing;
    const std::wstring pattern = wide(everythingIn(directory));
    // The basic level skips the short names, and large fetches ask for many
    // entries per call; systems before Windows 7 refuse both.
    WIN32_FIND_DATAW entry;
    HANDLE first = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch,
                                    nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (first == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER)
        first = FindFirstFileExW(pattern.c_str(), FindExInfoStandard, &entry,
                                 FindExSearchNameMatch, nullptr, 0);
    FindHandle search(first);
    if (!search.valid()) {
        const DWORD error = GetLastError();
        // No such directory holds nothing; any other failure (no right to
        // list, say) leaves the question to each file.
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return listing;
        return std::nullopt;
    }
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            listing.files.push_back(narrow(entry.cFileName));
        else if (std::wcscmp(entry.cFileName, L".") != 0 && std::wcscmp(entry.cFileName, L"..") != 0)
            listing.folders.push_back(narrow(entry.cFileName));
    } while (FindNextFileW(search.get(), &entry));
    if (GetLastError() != ERROR_NO_MORE_FILES) return std::nullopt;
    return listing;
}

}  // namespace qn
