// In-memory registry, file system, processes, shell and message boxes with
// Windows path rules, for tests. Never linked into the product.
#pragma once

#include <deque>
#include <map>
#include <set>
#include <unordered_map>
#include <stdexcept>
#include <string>
#include <functional>
#include <vector>

#include "platform/platform.h"
#include "platform/unicode_text.h"

namespace qn {

// Thrown by exitProcess so a test can see the exit code.
struct ProcessExit : std::runtime_error {
    explicit ProcessExit(int c) : std::runtime_error("process exit"), code(c) {}
    int code;
};

class MemoryPlatform final : public Platform {
public:
    MemoryPlatform();

    // --- registry ---
    struct Value {
        std::uint32_t type = 1;  // REG_SZ
        std::string data;        // raw bytes as stored
    };
    struct Key {
        std::map<std::string, Value> values;  // by upper-cased name
        std::vector<std::string> names;       // as first written, in that order
        std::uint64_t written = 0;            // the registry's clock at the last write
    };
    std::unique_ptr<RegistryKey> openKey(RootKey root, const std::string& path,
                                         KeyAccess access) override;
    std::unique_ptr<RegistryKey> createKey(RootKey root, const std::string& path) override;
    bool deleteKey(RootKey root, const std::string& path) override;

    // Test set-up and inspection.
    void setValue(RootKey root, const std::string& path, const std::string& name,
                  const std::string& data, std::uint32_t type = 1);
    void setString(RootKey root, const std::string& path, const std::string& name,
                   const std::string& text) {
        setValue(root, path, name, text + std::string(1, '\0'));
    }
    bool keyExists(RootKey root, const std::string& path) const;
    // The stored bytes of a value, or nothing.
    std::optional<std::string> value(RootKey root, const std::string& path,
                                     const std::string& name) const;
    // Value names of a key in the order they were first written.
    std::vector<std::string> valueNames(RootKey root, const std::string& path) const;
    // Every call on the registry: keys opened, made or deleted, and each
    // question or write on a key.
    int registryCalls = 0;
    // How often a value's size was asked for, and a key's values enumerated.
    int valueQueries = 0;
    int valueEnumerations = 0;
    // How many values the program wrote (setString), and the registry's
    // clock, one tick per key made or value written.
    int valueWrites = 0;
    std::uint64_t registryClock = 0;
    // Keys that cannot be created or whose values cannot be written.
    std::set<std::string> failCreateKey;
    std::set<std::string> failSetValue;  // value names
    // A key the user may read but not change, as a standard user's rights
    // on the machine's keys: an open or create that asks to write it is
    // refused, and so is deleting it.
    void grantReadOnly(RootKey root, const std::string& path) { readOnly_.insert(keyId(root, path)); }

    // --- text: a system whose code page is 1252 ---
    std::string codePageToUtf8(std::string bytes) override { return cp1252ToUtf8(bytes); }
    bool codePageSpells(const std::string& text) override { return utf8ToCp1252(text).has_value(); }

    // --- files ---
    std::optional<std::string> readFile(const std::string& path) override;
    bool fileExists(const std::string& path) override;
    bool directoryExists(const std::string& path) override;
    bool canOpenReadWrite(const std::string& path) override;
    bool copyFile(const std::string& from, const std::string& to) override;
    bool deleteFile(const std::string& path) override;
    bool saveFile(const std::string& path, const std::string& bytes) override;
    bool createDirectory(const std::string& path) override;
    bool removeDirectory(const std::string& path) override;
    bool moveFile(const std::string& from, const std::string& to, bool replace) override;
    bool moveDirectory(const std::string& from, const std::string& to) override;
    std::optional<std::string> directoryIdentity(const std::string& path) override;
    std::optional<ItemFacts> itemFacts(const std::string& path) override;
    std::uint32_t lastError() override { return lastError_; }
    std::string errorText(std::uint32_t code) override;
    // Links that stand as items in their directory's listing (by upper-cased
    // full path, each also in `links`): a move of one carries its target
    // along, as a link the system does not mark does.
    std::set<std::string> linkItems;
    // A volume with no room: nothing can be written (error 112).
    bool diskFull = false;
    // Directories whose entries cannot be made, moved or deleted (error 5),
    // by upper-cased full path.
    std::set<std::string> readOnlyDirectories;
    // Other names of directories, as short (8.3) names and links give them:
    // a path through the name (a canonical full path, any case) reaches the
    // target's full path.
    std::map<std::string, std::string> links;
    std::optional<std::uint64_t> fileSize(const std::string& path) override;
    std::optional<std::string> readFilePart(const std::string& path, std::uint64_t offset,
                                            std::size_t size) override;
    std::unique_ptr<FileLock> holdNamedLock(const std::string& name) override;
    // The file held open by another program, with no sharing, while the
    // result lives: it can then be neither read, changed, moved nor deleted.
    std::unique_ptr<FileLock> holdFile(const std::string& path);
    std::string currentDirectory() override { return currentDir_; }
    bool setCurrentDirectory(const std::string& path) override;
    std::optional<std::string> shortPathName(const std::string& path) override;
    std::vector<std::string> driveRoots() override;
    std::vector<std::string> subdirectories(const std::string& directory) override;
    std::optional<DirectoryListing> listDirectory(const std::string& directory) override;

    // Files whose reading runs out of memory, as a file too big for the
    // process does: readFile throws std::bad_alloc.
    std::set<std::string> outOfMemoryReads;

    // Creates the file and every directory above it, replacing one there
    // whatever its attributes.
    void writeFile(const std::string& path, const std::string& content, bool readOnly = false);
    bool isReadOnly(const std::string& path) const;
    void makeDirectories(const std::string& path);
    // How often files were asked for one by one (each also told to the
    // observer, where there is one), and directories listed.
    int fileExistsCalls = 0;
    std::function<void(const std::string& path)> onFileExists;
    int listingCalls = 0;
    // Directories whose subdirectories were asked for, in order, and those
    // that cannot be listed (by upper-case full path).
    std::vector<std::string> subdirectoryListings;
    std::set<std::string> unreadableDirectories;
    // Every file read, by the path asked for, in order; and how often a
    // part of a file was asked for.
    std::vector<std::string> filesRead;
    int filePartReads = 0;
    // Every file by its canonical upper-case full path, with its content.
    std::map<std::string, std::string> fileContents() const;
    // Called with the canonical full path before every change a Platform
    // call would make to the files (a copy's target, a deletion, a save, a
    // move's source, a directory made or removed); a test may throw from it
    // to end the "process" at that point. A copy or save ended so leaves
    // the first half of its content written.
    std::function<void(const std::string&)> beforeFileChange;
    // Full path in canonical form ("C:\DIR\FILE"), resolved against the current directory.
    std::string resolve(const std::string& path) const;

    // --- processes and shell ---
    ProcessResult runProcess(const ProcessRequest& request) override;
    bool isRunning(const ChildId& child) override { return runningChildren.count(child.id) > 0; }
    std::optional<std::string> findProgram(const std::string& name) override;
    void dropQueuedInput() override { ++inputDrops; }
    int inputDrops = 0;
    // Where bare program names are looked for after the current directory.
    std::vector<std::string> searchPath{"C:\\WINDOWS\\SYSTEM32\\"};
    // Children that are running: during the wait, and after a launcher that
    // ended during the wait (an exception out of whileRunning) unless the
    // child asked to end with it and the system can bind it so.
    std::set<std::uint32_t> runningChildren;
    bool childrenCanBeBound = true;
    int shellOpen(const std::string& file, const std::string& directory) override;
    void addToRecentDocuments(const std::string& path) override;
    // A file that exists and is named here (any letter case) is a shortcut
    // to the text it is mapped to.
    std::optional<std::string> shortcutTarget(const std::string& path) override;
    std::map<std::string, std::string> shortcuts;
    bool setClipboardText(const std::string& text) override {
        clipboard = text;
        return true;
    }
    struct StartedProcess {
        ProcessRequest request;
        std::string currentDirectory;  // the launcher's, at the start
        ChildId child;
    };
    std::vector<StartedProcess> processes;
    std::deque<ProcessResult> processResults;  // next results; default: started, exit 0
    // Runs during the wait for a child, as the child would (to look at or
    // change the files while it runs).
    std::function<void(const StartedProcess&)> whileRunning;
    std::vector<std::pair<std::string, std::string>> shellOpened;
    std::string clipboard;
    std::vector<std::string> recentDocuments;

    // --- message boxes ---
    struct Message {
        MessageKind kind;
        std::string text;
        MessageButtons buttons;
    };
    MessageAnswer messageBox(MessageKind kind, const std::string& text,
                             MessageButtons buttons) override;
    std::vector<Message> messages;
    std::deque<MessageAnswer> answers;  // next answers; default: Ok or Yes

    // --- file dialog ---
    std::optional<std::string> openFileDialog(const std::string& filter,
                                              const std::string& title) override {
        fileDialogs.emplace_back(filter, title);
        if (fileDialogAnswers.empty()) return std::nullopt;
        std::optional<std::string> answer = fileDialogAnswers.front();
        fileDialogAnswers.pop_front();
        return answer;
    }
    std::vector<std::pair<std::string, std::string>> fileDialogs;  // filter, title
    std::deque<std::optional<std::string>> fileDialogAnswers;       // default: cancelled

    [[noreturn]] void exitProcess(int code) override { throw ProcessExit(code); }

private:
    static std::string keyId(RootKey root, const std::string& path);
    struct File {
        std::string content;
        bool readOnly = false;
        std::string path;  // full path as first written
        std::uint64_t id = 0;  // kept through moves, as a file number is
    };
    void changing(const std::string& full) {
        if (beforeFileChange) beforeFileChange(full);
    }
    bool locked(const std::string& full) const;
    // A canonical full path with every link in it followed.
    std::string followLinks(std::string full) const;
    // A file's new content at a canonical path whose directory exists.
    bool putFile(const std::string& full, std::string content);
    // A copy or a save to a canonical path, through the change hook.
    bool writing(const std::string& full, const std::string& content);
    std::map<std::string, Key> keys_;  // by keyId
    std::set<std::string> readOnly_;   // by keyId
    std::map<std::string, File> files_;        // by upper-cased full path
    // The names of the files of each directory (by upper-cased full path),
    // side by side so that listing one touches little memory.
    struct DirectoryFiles {
        std::vector<std::string> names;                   // as written
        std::unordered_map<std::string, size_t> byUpper;  // upper-cased name → position
        void add(const std::string& upperName, const std::string& name);
        void remove(const std::string& upperName);
    };
    std::unordered_map<std::string, DirectoryFiles> byDirectory_;
    void indexFile(const std::string& full);
    std::map<std::string, std::string> dirs_;  // upper-cased full path → as created
    std::string currentDir_ = "C:\\";
    std::set<std::string> locks_;  // upper-cased full paths of files held open
    std::set<std::string> namedLocks_;
    std::uint32_t nextChildId_ = 4000;
    std::uint64_t nextFileId_ = 1;
    std::uint32_t lastError_ = 0;
    bool failWith(std::uint32_t code) {
        lastError_ = code;
        return false;
    }
    // Whether entries of the directory holding `full` may change; sets the error when not.
    bool writableParent(const std::string& full);
    friend class MemoryKey;
    friend class MemoryLock;
};

}  // namespace qn
