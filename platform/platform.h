// The operating system as the launcher's logic sees it. Implemented by
// platform/win32 (the product) and platform/memory (tests only).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qn {

enum class RootKey { LocalMachine, CurrentUser, ClassesRoot, CurrentConfig };

// What a key is opened for. A standard user is refused write access to most
// keys outside his own, so a key that is only read asks for reading alone.
enum class KeyAccess { Read, ReadWrite };

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

// Something held by this process alone until this goes away or the
// process ends.
class FileLock {
public:
    virtual ~FileLock() = default;
};

// A child process, told apart from a later one given the same number.
struct ChildId {
    std::uint32_t id = 0;
    std::uint64_t created = 0;  // the system's creation time
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
    // Wait until the child has ended. Meanwhile the windows are painted and
    // answer what is sent to them; input is dropped, posted messages wait.
    bool wait = false;
    // The child (and what it starts) ends when the launcher does, however
    // the launcher ends; where the system cannot bind it so, it runs on.
    bool endsWithLauncher = false;
    // Runs once the child has started, before the wait; a child that ends
    // with the launcher runs its first instruction only after this returns.
    std::function<void(const ChildId&)> onStarted;
};

struct ProcessResult {
    bool started = false;
    std::uint32_t error = 0;       // system error number when not started
    std::uint32_t exitCode = 0;    // when waited for
};

class Platform {
public:
    virtual ~Platform() = default;

    // Registry. A key is opened with the access asked for; nothing when it
    // cannot be opened or that access is refused. A key made or opened by
    // createKey can be read and written.
    virtual std::unique_ptr<RegistryKey> openKey(RootKey root, const std::string& path,
                                                 KeyAccess access) = 0;
    virtual std::unique_ptr<RegistryKey> createKey(RootKey root, const std::string& path) = 0;
    virtual bool deleteKey(RootKey root, const std::string& path) = 0;

    // Text. Inside the program text is UTF-8; the data files and the oldest
    // children speak the system's ANSI code page.
    // A code page's text (its bytes) in UTF-8.
    virtual std::string codePageToUtf8(std::string bytes) = 0;
    // Whether the code page spells every character of a text, so that a
    // child reading its command line in the code page gets it whole.
    virtual bool codePageSpells(const std::string& text) = 0;

    // Files. Paths are UTF-8.
    // Whole content of a file, or nothing when it cannot be opened or read.
    virtual std::optional<std::string> readFile(const std::string& path) = 0;
    virtual bool fileExists(const std::string& path) = 0;        // a regular file
    virtual bool directoryExists(const std::string& path) = 0;
    virtual bool canOpenReadWrite(const std::string& path) = 0;
    virtual bool copyFile(const std::string& from, const std::string& to) = 0;  // overwrites
    // Renames a file within its directory's volume, whatever its size and
    // attributes. Fails when `to` exists, unless `replace` is given: then a
    // file there, read-only or not, is replaced.
    virtual bool moveFile(const std::string& from, const std::string& to, bool replace) = 0;
    // Renames a directory with everything in it within its volume. Fails
    // when `to` exists, or while a file in it is held open.
    virtual bool moveDirectory(const std::string& from, const std::string& to) = 0;
    // What tells an existing directory apart from every other however its
    // path is spelt (short names, letter case, links): its volume and file
    // number. Nothing when it cannot be opened.
    virtual std::optional<std::string> directoryIdentity(const std::string& path) = 0;
    // What the file system says of one item, its last part never followed:
    // a folder or not; a link (a reparse point, or a name that leads to
    // another place, as a link the system does not mark does); its identity
    // (volume and file number, kept through renames; empty when it cannot be
    // opened); its own name as its directory spells it (a short alias gives
    // the long name). Nothing when there is no such item.
    struct ItemFacts {
        bool folder = false;
        bool link = false;
        std::string identity;
        std::string name;
    };
    virtual std::optional<ItemFacts> itemFacts(const std::string& path) = 0;
    // The system's error number for the last call that failed, read right
    // after it; and the system's own text for a number, in the user's
    // language (empty when it has none).
    virtual std::uint32_t lastError() = 0;
    virtual std::string errorText(std::uint32_t code) = 0;
    // Size of a regular file, and up to `size` bytes of it from `offset`
    // (fewer at its end); nothing when it cannot be read.
    virtual std::optional<std::uint64_t> fileSize(const std::string& path) = 0;
    virtual std::optional<std::string> readFilePart(const std::string& path, std::uint64_t offset,
                                                    std::size_t size) = 0;
    virtual bool deleteFile(const std::string& path) = 0;
    // Creates the file, or replaces its content, with these bytes; the
    // directory must exist. The file comes out without special attributes.
    virtual bool saveFile(const std::string& path, const std::string& bytes) = 0;
    virtual bool createDirectory(const std::string& path) = 0;   // one level
    virtual bool removeDirectory(const std::string& path) = 0;   // an empty one
    // A lock known by its name to every process of the session, held until
    // it goes away or the process ends; nothing when another process holds
    // it. Nothing is written anywhere.
    virtual std::unique_ptr<FileLock> holdNamedLock(const std::string& name) = 0;
    virtual std::string currentDirectory() = 0;
    virtual bool setCurrentDirectory(const std::string& path) = 0;
    // Short (8.3) form, cut at its NUL, of at most 255 characters; nothing on failure.
    virtual std::optional<std::string> shortPathName(const std::string& path) = 0;
    // Root directories of the drives present ("C:\" ...), and the direct
    // subdirectories of a directory, by name.
    virtual std::vector<std::string> driveRoots() = 0;
    virtual std::vector<std::string> subdirectories(const std::string& directory) = 0;
    // What a directory holds directly (an empty name is the current
    // directory): its regular files and its subdirectories, by name as the
    // file system spells them, in no set order. A directory that does not
    // exist holds none; nothing when it cannot be listed for any other
    // reason.
    struct DirectoryListing {
        std::vector<std::string> files, folders;
    };
    virtual std::optional<DirectoryListing> listDirectory(const std::string& directory) = 0;
    // The regular files of that listing.
    std::optional<std::vector<std::string>> filesIn(const std::string& directory) {
        std::optional<DirectoryListing> listing = listDirectory(directory);
        if (!listing) return std::nullopt;
        return std::move(listing->files);
    }

    // Processes.
    virtual ProcessResult runProcess(const ProcessRequest& request) = 0;
    // Whether that child is still running.
    virtual bool isRunning(const ChildId& child) = 0;
    // The program file the system would start for a command line's first
    // token `name`: looked for as the system looks for programs (the
    // program's own directory, the current one, the system's, the search
    // path), ".exe" appended when it has no extension; nothing when none is
    // found.
    virtual std::optional<std::string> findProgram(const std::string& name) = 0;
    // Drops the keyboard and mouse input queued for this thread's windows:
    // what the user did while the program was busy acts on nothing.
    virtual void dropQueuedInput() = 0;

    // Shell.
    virtual int shellOpen(const std::string& file, const std::string& directory) = 0;
    virtual void addToRecentDocuments(const std::string& path) = 0;
    // The file a shell shortcut (a .lnk file) points at, as it stores it;
    // nothing when the file is not a shortcut or cannot be read.
    virtual std::optional<std::string> shortcutTarget(const std::string& path) = 0;
    // Puts a text on the clipboard in place of what it held; false when
    // another program holds the clipboard open.
    virtual bool setClipboardText(const std::string& text) = 0;

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

// What ends a message about a failed call: " (the system's own text)" for
// its error number, or nothing where the system has none.
std::string becauseOf(Platform& os, std::uint32_t error);

}  // namespace qn
