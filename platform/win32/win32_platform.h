// The product's Platform: real registry, file, process, shell and message-box
// calls. Kept free of <windows.h> so the code that creates it stays portable.
#pragma once

#include "platform/platform.h"

#include <string>

namespace qn {

class Win32Platform final : public Platform {
public:
    // `applicationTitle` is the caption of plain message boxes.
    explicit Win32Platform(std::string applicationTitle);

    std::unique_ptr<RegistryKey> openKey(RootKey root, const std::string& path,
                                         KeyAccess access) override;
    std::unique_ptr<RegistryKey> createKey(RootKey root, const std::string& path) override;
    bool deleteKey(RootKey root, const std::string& path) override;

    std::string codePageToUtf8(std::string bytes) override;
    bool codePageSpells(const std::string& text) override;

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
    std::uint32_t lastError() override;
    std::string errorText(std::uint32_t code) override;
    std::optional<std::uint64_t> fileSize(const std::string& path) override;
    std::optional<std::string> readFilePart(const std::string& path, std::uint64_t offset,
                                            std::size_t size) override;
    std::unique_ptr<FileLock> holdNamedLock(const std::string& name) override;
    std::string currentDirectory() override;
    bool setCurrentDirectory(const std::string& path) override;
    std::optional<std::string> shortPathName(const std::string& path) override;
    std::vector<std::string> driveRoots() override;
    std::vector<std::string> subdirectories(const std::string& directory) override;
    std::optional<DirectoryListing> listDirectory(const std::string& directory) override;

    ProcessResult runProcess(const ProcessRequest& request) override;
    bool isRunning(const ChildId& child) override;
    std::optional<std::string> findProgram(const std::string& name) override;
    void dropQueuedInput() override;

    int shellOpen(const std::string& file, const std::string& directory) override;
    void addToRecentDocuments(const std::string& path) override;
    std::optional<std::string> shortcutTarget(const std::string& path) override;
    bool setClipboardText(const std::string& text) override;

    MessageAnswer messageBox(MessageKind kind, const std::string& text,
                             MessageButtons buttons = MessageButtons::Ok) override;

    std::optional<std::string> openFileDialog(const std::string& filter,
                                              const std::string& title) override;

    [[noreturn]] void exitProcess(int code) override;

private:
    std::string applicationTitle_;
    // The job that binds the children to the launcher, made at the first
    // child that asks for it; it closes, and its processes end, with us.
    void* job_ = nullptr;
};

// Message texts arrive with bare CRs as line breaks; a message box only breaks
// the line at CR LF, so every CR not already followed by LF gets one.
std::string withMessageBoxLineBreaks(const std::string& text);

// "label|pattern|label|pattern" as the file dialog wants it: NUL between
// the parts and two NULs at the end.
std::string fileDialogFilter(const std::string& filter);

}  // namespace qn
