// Win32 body of the Platform interface: every call here is the real system
// call, with each HKEY and HANDLE owned by an object that closes it.
#include "platform/win32/win32_platform.h"

#include "platform/win32/scoped_handle.h"

#include <commdlg.h>

#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <utility>

namespace qn {
namespace {

class Win32Lock final : public FileLock {
public:
    explicit Win32Lock(UniqueHandle handle) : handle_(std::move(handle)) {}

private:
    UniqueHandle handle_;
};

std::uint64_t creationTime(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    return (std::uint64_t(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

class Win32RegistryKey final : public RegistryKey {
public:
    explicit Win32RegistryKey(HKEY key) : key_(key) {}
    ~Win32RegistryKey() override { RegCloseKey(key_); }
    Win32RegistryKey(const Win32RegistryKey&) = delete;
    Win32RegistryKey& operator=(const Win32RegistryKey&) = delete;

    std::optional<std::uint32_t> valueSize(const std::string& name) override {
        DWORD size = 0;
        if (RegQueryValueExA(key_, name.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
            return std::nullopt;
        return size;
    }

    std::optional<std::string> valueData(const std::string& name, std::uint32_t size) override {
        // A buffer of exactly the asked size. When the value has grown past it
        // the buffer's content is undefined, so read it whole and keep the head.
        std::string data(size, '\0');
        BYTE empty = 0;
        DWORD got = size;
        LONG rc = RegQueryValueExA(key_, name.c_str(), nullptr, nullptr,
                                   size ? reinterpret_cast<BYTE*>(&data[0]) : &empty, &got);
        while (rc == ERROR_MORE_DATA) {
            std::string whole(got, '\0');
            rc = RegQueryValueExA(key_, name.c_str(), nullptr, nullptr,
                                  reinterpret_cast<BYTE*>(&whole[0]), &got);
            if (rc == ERROR_SUCCESS) {
                whole.resize(got);
                data = whole.substr(0, size);
                return data;
            }
        }
        if (rc != ERROR_SUCCESS) return std::nullopt;
        data.resize(got);
        return data;
    }

    std::optional<std::vector<std::pair<std::string, std::string>>> allValues() override {
        // The longest name and data the key holds size the buffers once; a
        // value that grows meanwhile gets a bigger buffer on its own.
        DWORD count = 0, longestName = 0, longestData = 0;
        if (RegQueryInfoKeyA(key_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                             &longestName, &longestData, nullptr, nullptr) != ERROR_SUCCESS)
            return std::nullopt;
        std::vector<std::pair<std::string, std::string>> values;
        values.reserve(count);
        // Names come back in the code page: a character may take two bytes.
        std::string name(2 * longestName + 2, '\0');
        std::string data(longestData + 2, '\0');
        for (DWORD index = 0;; ++index) {
            DWORD nameSize = static_cast<DWORD>(name.size());
            DWORD dataSize = static_cast<DWORD>(data.size());
            LONG rc = RegEnumValueA(key_, index, &name[0], &nameSize, nullptr, nullptr,
                                    reinterpret_cast<BYTE*>(&data[0]), &dataSize);
            if (rc == ERROR_MORE_DATA) {
                name.assign(name.size() * 2 + 256, '\0');
                data.assign(std::max<size_t>(data.size() * 2, dataSize + 2), '\0');
                --index;
                continue;
            }
            if (rc == ERROR_NO_MORE_ITEMS) break;
            if (rc != ERROR_SUCCESS) return std::nullopt;
            values.emplace_back(std::string(name.data(), nameSize), std::string(data.data(), dataSize));
        }
        return values;
    }

    bool setString(const std::string& name, const std::string& text) override {
        return RegSetValueExA(key_, name.c_str(), 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(text.c_str()),
                              static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
    }

    std::optional<std::uint64_t> lastWriteTime() override {
        FILETIME time{};
        if (RegQueryInfoKeyA(key_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr, &time) != ERROR_SUCCESS)
            return std::nullopt;
        return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
    }

    bool deleteSubKey(const std::string& name) override {
        return RegDeleteKeyA(key_, name.c_str()) == ERROR_SUCCESS;
    }

private:
    HKEY key_;
};

HKEY rootHandle(RootKey root) {
    switch (root) {
    case RootKey::LocalMachine: return HKEY_LOCAL_MACHINE;
    case RootKey::CurrentUser: return HKEY_CURRENT_USER;
    case RootKey::ClassesRoot: return HKEY_CLASSES_ROOT;
    case RootKey::CurrentConfig: return HKEY_CURRENT_CONFIG;
    }
    return HKEY_CURRENT_USER;
}

DWORD attributesOf(const std::string& path) { return GetFileAttributesA(path.c_str()); }

// What a search for everything in a directory asks for.
std::string everythingIn(const std::string& directory) {
    std::string pattern = directory;
    if (!pattern.empty() && pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
    return pattern + '*';
}

// The names of the directories in a directory.
std::vector<std::string> subdirectoriesOf(const std::string& directory) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    FindHandle search(FindFirstFileA(everythingIn(directory).c_str(), &entry));
    if (!search.valid()) return names;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        std::string name = entry.cFileName;
        if (name == "." || name == "..") continue;
        names.push_back(std::move(name));
    } while (FindNextFileA(search.get(), &entry));
    return names;
}

}  // namespace

std::string withMessageBoxLineBreaks(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) out += '\n';
    }
    return out;
}

Win32Platform::Win32Platform(std::string applicationTitle)
    : applicationTitle_(std::move(applicationTitle)) {}

// ---- Registry ----

std::unique_ptr<RegistryKey> Win32Platform::openKey(RootKey root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(rootHandle(root), path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<Win32RegistryKey>(key);
}

std::unique_ptr<RegistryKey> Win32Platform::createKey(RootKey root, const std::string& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(rootHandle(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<Win32RegistryKey>(key);
}

bool Win32Platform::deleteKey(RootKey root, const std::string& path) {
    return RegDeleteKeyA(rootHandle(root), path.c_str()) == ERROR_SUCCESS;
}

// ---- Files ----

std::optional<std::string> Win32Platform::readFile(const std::string& path) {
    UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return std::nullopt;
    std::string content;
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
    UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    return file.valid();
}

bool Win32Platform::copyFile(const std::string& from, const std::string& to) {
    return CopyFileA(from.c_str(), to.c_str(), FALSE) != 0;
}

bool Win32Platform::deleteFile(const std::string& path) {
    return DeleteFileA(path.c_str()) != 0;
}

bool Win32Platform::saveFile(const std::string& path, const std::string& bytes) {
    UniqueHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
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
    return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

bool Win32Platform::removeDirectory(const std::string& path) {
    return RemoveDirectoryA(path.c_str()) != 0;
}

bool Win32Platform::moveFile(const std::string& from, const std::string& to, bool replace) {
    if (replace) {
        // A replace fails on a read-only target; the caller has decided it goes.
        const DWORD attributes = attributesOf(to);
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
            SetFileAttributesA(to.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    }
    return MoveFileExA(from.c_str(), to.c_str(), replace ? MOVEFILE_REPLACE_EXISTING : 0) != 0;
}

std::optional<std::uint64_t> Win32Platform::fileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return (std::uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::optional<std::string> Win32Platform::readFilePart(const std::string& path, std::uint64_t offset,
                                                       std::size_t size) {
    UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
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
    UniqueHandle mutex(CreateMutexA(nullptr, FALSE, object.c_str()));
    if (!mutex.valid()) return nullptr;
    if (GetLastError() == ERROR_ALREADY_EXISTS) return nullptr;
    return std::make_unique<Win32Lock>(std::move(mutex));
}

std::string Win32Platform::currentDirectory() {
    std::string buffer(MAX_PATH, '\0');
    for (;;) {
        DWORD got = GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), &buffer[0]);
        if (got == 0) return std::string();
        if (got < buffer.size()) {
            buffer.resize(got);
            return buffer;
        }
        buffer.assign(got, '\0');  // too small: `got` is the size needed
    }
}

bool Win32Platform::setCurrentDirectory(const std::string& path) {
    return SetCurrentDirectoryA(path.c_str()) != 0;
}

std::optional<std::string> Win32Platform::shortPathName(const std::string& path) {
    // The launcher's short names have always come from a 255-character buffer;
    // a name that needs more counts as a failure rather than being cut.
    constexpr DWORD kBufferChars = 255;
    char buffer[kBufferChars + 1] = {};
    DWORD got = GetShortPathNameA(path.c_str(), buffer, kBufferChars);
    if (got == 0 || got >= kBufferChars) return std::nullopt;
    return std::string(buffer);
}

std::vector<std::string> Win32Platform::driveRoots() {
    std::vector<std::string> roots;
    DWORD needed = GetLogicalDriveStringsA(0, nullptr);
    if (needed == 0) return roots;
    std::string buffer(needed + 1, '\0');
    DWORD got = GetLogicalDriveStringsA(needed, &buffer[0]);
    if (got == 0 || got > needed) return roots;
    for (const char* p = buffer.c_str(); *p; p += roots.back().size() + 1) roots.emplace_back(p);
    return roots;
}

std::vector<std::string> Win32Platform::subdirectories(const std::string& directory) {
    return subdirectoriesOf(directory);
}

std::optional<std::vector<std::string>> Win32Platform::filesIn(
    const std::string& directory) {
    std::vector<std::string> names;
    const std::string pattern = everythingIn(directory);
    // The basic level skips the short names, and large fetches ask for many
    // entries per call; systems before Windows 7 refuse both.
    WIN32_FIND_DATAA entry;
    HANDLE first = FindFirstFileExA(pattern.c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch,
                                    nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (first == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER)
        first = FindFirstFileExA(pattern.c_str(), FindExInfoStandard, &entry,
                                 FindExSearchNameMatch, nullptr, 0);
    FindHandle search(first);
    if (!search.valid()) {
        const DWORD error = GetLastError();
        // No such directory holds no files; any other failure (no right to
        // list, say) leaves the question to each file.
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return names;
        return std::nullopt;
    }
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(entry.cFileName);
    } while (FindNextFileA(search.get(), &entry));
    if (GetLastError() != ERROR_NO_MORE_FILES) return std::nullopt;
    return names;
}

// ---- Processes ----

ProcessResult Win32Platform::runProcess(const ProcessRequest& request) {
    ProcessResult result;
    // CreateProcessA may write into the command line, so it gets its own copy.
    std::string commandLine = request.commandLine;
    commandLine.push_back('\0');

    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (request.show != ShowState::Default) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = request.show == ShowState::Minimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL;
    }
    DWORD flags = NORMAL_PRIORITY_CLASS | (request.newConsole ? CREATE_NEW_CONSOLE : 0);
    if (request.endsWithLauncher && job_ == nullptr) {
        UniqueHandle job(CreateJobObjectA(nullptr, nullptr));
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        // Kept open for the launcher's life: closing it would end the children.
        if (job.valid() &&
            SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits))
            job_ = job.release();
    }
    // Suspended until it is in the job, so nothing it starts escapes it, and
    // until the caller has noted it, so no child runs that it does not know of.
    if (request.endsWithLauncher) flags |= CREATE_SUSPENDED;
    const char* directory =
        request.workingDirectory.empty() ? nullptr : request.workingDirectory.c_str();

    // With the program named, the system never guesses it from a command line
    // whose path has blanks (for "c:\program files\q.exe" it tries c:\program.exe).
    const char* application =
        request.applicationName.empty() ? nullptr : request.applicationName.c_str();

    PROCESS_INFORMATION info{};
    if (!CreateProcessA(application, &commandLine[0], nullptr, nullptr,
                        request.inheritHandles ? TRUE : FALSE, flags, nullptr, directory,
                        &startup, &info)) {
        result.error = GetLastError();
        return result;
    }
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);
    // Where the system refuses (a job of our own inside another on older
    // systems), the child runs unbound: whoever comes after us checks its id.
    if (request.endsWithLauncher && job_ != nullptr) AssignProcessToJobObject(static_cast<HANDLE>(job_), process.get());
    result.started = true;
    if (request.onStarted) request.onStarted(ChildId{info.dwProcessId, creationTime(process.get())});
    if (request.endsWithLauncher) ResumeThread(thread.get());
    if (request.wait && process.valid()) {
        WaitForSingleObject(process.get(), INFINITE);
        DWORD code = 0;
        if (GetExitCodeProcess(process.get(), &code)) result.exitCode = code;
    }
    return result;
}

bool Win32Platform::isRunning(const ChildId& child) {
    UniqueHandle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, child.id));
    // Someone else's process may refuse us and still be alive.
    if (!process.valid()) return GetLastError() == ERROR_ACCESS_DENIED;
    if (WaitForSingleObject(process.get(), 0) != WAIT_TIMEOUT) return false;
    // The number may have been given to another process since.
    return creationTime(process.get()) == child.created;
}

std::optional<std::string> Win32Platform::findProgram(const std::string& name) {
    char found[MAX_PATH] = {};
    char* filePart = nullptr;
    const DWORD got = SearchPathA(nullptr, name.c_str(), ".exe", MAX_PATH, found, &filePart);
    if (got == 0 || got >= MAX_PATH) return std::nullopt;
    const DWORD attributes = attributesOf(found);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
    return std::string(found);
}

// ---- Shell ----

namespace {

// The shell and the common dialogs bring COM and a dozen libraries with them
// when they load; a start that never opens a file or a link need not pay for
// them, so they are loaded on first use. System32 only: never a copy that
// happens to sit beside the program.
template <typename Fn>
Fn systemProc(const char* library, const char* name) {
    HMODULE module = LoadLibraryExA(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Systems without the search flags refuse it; their search starts in system32 anyway
    // for known libraries such as these.
    if (!module) module = LoadLibraryA(library);
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                  : nullptr;
}

}  // namespace

int Win32Platform::shellOpen(const std::string& file, const std::string& directory) {
    HWND owner = GetActiveWindow();
    if (owner == nullptr) {
        // Called from a thread without an active window: borrow our own
        // foreground window, never another program's.
        HWND foreground = GetForegroundWindow();
        DWORD process = 0;
        if (foreground != nullptr) GetWindowThreadProcessId(foreground, &process);
        if (process == GetCurrentProcessId()) owner = foreground;
    }
    static const auto shellExecute =
        systemProc<decltype(&ShellExecuteA)>("shell32.dll", "ShellExecuteA");
    if (!shellExecute) return static_cast<int>(SE_ERR_DLLNOTFOUND);
    HINSTANCE answer = shellExecute(owner, "open", file.c_str(), nullptr,
                                     directory.empty() ? nullptr : directory.c_str(),
                                     SW_SHOWNORMAL);
    return static_cast<int>(reinterpret_cast<INT_PTR>(answer));
}

void Win32Platform::addToRecentDocuments(const std::string& path) {
    static const auto addToRecent =
        systemProc<decltype(&SHAddToRecentDocs)>("shell32.dll", "SHAddToRecentDocs");
    if (addToRecent) addToRecent(SHARD_PATHA, path.c_str());
}

// ---- Message boxes and exit ----

MessageAnswer Win32Platform::messageBox(MessageKind kind, const std::string& text,
                                        MessageButtons buttons) {
    const char* caption = applicationTitle_.c_str();
    UINT type = 0;
    switch (kind) {
    case MessageKind::Warning: caption = "Warning"; type = MB_ICONWARNING; break;
    case MessageKind::Error: caption = "Error"; type = MB_ICONERROR; break;
    case MessageKind::Information: caption = "Information"; type = MB_ICONINFORMATION; break;
    case MessageKind::Confirm: caption = "Confirm"; type = MB_ICONQUESTION; break;
    case MessageKind::Plain: break;
    }
    type |= buttons == MessageButtons::YesNo ? MB_YESNO : MB_OK;
    HWND owner = GetActiveWindow();
    // Without an owner the box would not block the rest of our windows.
    if (owner == nullptr) type |= MB_TASKMODAL;
    int answer = MessageBoxA(owner, withMessageBoxLineBreaks(text).c_str(), caption, type);
    if (buttons == MessageButtons::YesNo) return answer == IDYES ? MessageAnswer::Yes : MessageAnswer::No;
    return MessageAnswer::Ok;
}

std::string fileDialogFilter(const std::string& filter) {
    std::string out = filter;
    for (char& c : out)
        if (c == '|') c = '\0';
    out.push_back('\0');
    out.push_back('\0');
    return out;
}

std::optional<std::string> Win32Platform::openFileDialog(const std::string& filter,
                                                         const std::string& title) {
    const std::string filters = fileDialogFilter(filter);
    char file[MAX_PATH] = "";
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = GetActiveWindow();
    ofn.lpstrFilter = filters.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof file;
    ofn.lpstrTitle = title.c_str();
    ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    static const auto getOpenFileName =
        systemProc<decltype(&GetOpenFileNameA)>("comdlg32.dll", "GetOpenFileNameA");
    if (!getOpenFileName || !getOpenFileName(&ofn)) return std::nullopt;
    return std::string(file);
}

void Win32Platform::exitProcess(int code) {
    ExitProcess(static_cast<UINT>(code));
}

}  // namespace qn
