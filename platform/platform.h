// The operating system as the launcher's logic sees it. Implemented by
// platform/win32 (the product) and platform/memory (tests only).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qn {

enum class RootKey { LocalMachine, CurrentUser, ClassesRoot, CurrentConfig };

// An open registry key; closing happens when the object goes away.
class RegistryKey {
public:
    virtual ~RegistryKey() = default;
    // Stored size in bytes of a value (the default value is ""), or nothing
    // when the value does not exist.
    virtual std::optional<std::uint32_t> valueSize(const std::string& name) = 0;
    // The first `size` bytes of a value's data, whatever its type; nothing when
    // it cannot be read.
    virtual std::optional<std::string> valueData(const std::string& name, std::uint32_t size) = 0;
    // Every value of the key with its data, whatever its type, in one pass;
    // nothing when the key cannot be enumerated.
    virtual std::optional<std::vector<std::pair<std::string, std::string>>> allValues() = 0;
    // Writes a REG_SZ value: the text and its terminating NUL.
    virtual bool setString(const std::string& name, const std::string& text) = 0;
    // When the key or one of its values was last written, on a clock that
    // only moves forward; nothing when that cannot be told.
    virtual std::optional<std::uint64_t> lastWriteTime() { return std::nullopt; }
    // Deletes a direct subkey of this key.
    virtual bool deleteSubKey(const std::string& name) = 0;
};

// A file held open so that no one else can open it, until this goes away.
class FileLock {
public:
    virtual ~FileLock() = default;
};

enum class MessageKind { Warning, Error, Information, Confirm, Plain };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

enum class ShowState { Default, Normal, Minimized };

struct ProcessRequest {
    // The program's file. Empty: the system takes the program from the
    // command line's first token, trying each blank-separated prefix.
    std::string applicationName;
    std::string commandLine;       // what the child receives, as it is
    bool inheritHandles = false;
    bool newConsole = false;       // otherwise no console flag; always normal priority
    ShowState show = ShowState::Default;
    std::string workingDirectory;  // empty: the launcher's current directory
    bool wait = false;             // wait until the child has ended
    // Runs once the child has started, before the wait.
    std::function<void()> onStarted;
};

struct ProcessResult {
    bool started = false;
    std::uint32_t error = 0;       // system error number when not started
    std::uint32_t exitCode = 0;    // when waited for
};

class Platform {
public:
    virtual ~Platform() = default;

    // Registry. Keys are opened and created with full access.
    virtual std::unique_ptr<RegistryKey> openKey(RootKey root, const std::string& path) = 0;
    virtual std::unique_ptr<RegistryKey> createKey(RootKey root, const std::string& path) = 0;
    virtual bool deleteKey(RootKey root, const std::string& path) = 0;

    // Files. Paths are 8-bit strings in the Windows code page.
    // Whole content of a file, or nothing when it cannot be opened or read.
    virtual std::optional<std::string> readFile(const std::string& path) = 0;
    virtual bool fileExists(const std::string& path) = 0;        // a regular file
    virtual bool directoryExists(const std::string& path) = 0;
    virtual bool canOpenReadWrite(const std::string& path) = 0;
    virtual bool copyFile(const std::string& from, const std::string& to) = 0;  // overwrites
    virtual bool deleteFile(const std::string& path) = 0;
    // Creates the file, or replaces its content, with these bytes; the
    // directory must exist. The file comes out without special attributes.
    virtual bool saveFile(const std::string& path, const std::string& bytes) = 0;
    virtual bool createDirectory(const std::string& path) = 0;   // one level
    virtual bool removeDirectory(const std::string& path) = 0;   // an empty one
    // Opens the file, creating it when missing, so that no one else can
    // open it while the lock lives; nothing when another holds it or it
    // cannot be made.
    virtual std::unique_ptr<FileLock> lockFile(const std::string& path) = 0;
    virtual std::string currentDirectory() = 0;
    virtual bool setCurrentDirectory(const std::string& path) = 0;
    // Short (8.3) form, cut at its NUL, of at most 255 characters; nothing on failure.
    virtual std::optional<std::string> shortPathName(const std::string& path) = 0;
    // Root directories of the drives present ("C:\" ...), and the direct
    // subdirectories of a directory, by name.
    virtual std::vector<std::string> driveRoots() = 0;
    virtual std::vector<std::string> subdirectories(const std::string& directory) = 0;
    // The regular files directly in a directory, by name.
    virtual std::vector<std::string> filesIn(const std::string& directory) = 0;
    // Names of the regular files directly in a directory (an empty name is
    // the current directory), as the file system spells them, in no set
    // order. A directory that does not exist holds none; nothing when it
    // cannot be listed for any other reason (where filesIn gives none).
    virtual std::optional<std::vector<std::string>> filesInDirectory(const std::string& directory) = 0;

    // Processes.
    virtual ProcessResult runProcess(const ProcessRequest& request) = 0;

    // Shell.
    virtual int shellOpen(const std::string& file, const std::string& directory) = 0;
    virtual void addToRecentDocuments(const std::string& path) = 0;

    // Modal message box; captions follow the kind, a plain box carries the
    // application title.
    virtual MessageAnswer messageBox(MessageKind kind, const std::string& text,
                                     MessageButtons buttons = MessageButtons::Ok) = 0;

    // The system's file-open dialog. The filter is "label|pattern|label|pattern...";
    // the dialog hides its read-only box and accepts only an existing file in
    // an existing path. The chosen file's full name, or nothing when cancelled.
    virtual std::optional<std::string> openFileDialog(const std::string& filter,
                                                      const std::string& title) = 0;

    // Ends the process at once.
    [[noreturn]] virtual void exitProcess(int code) = 0;
};

}  // namespace qn
