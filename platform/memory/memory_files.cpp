// The in-memory file system: canonical paths, directories indexed by their
// upper-cased names, locks held by objects.
#include "platform/memory/memory_platform.h"

#include <algorithm>
#include <new>

#include "platform/ascii.h"

namespace qn {
namespace {

// Parent directory of a canonical path ("C:\A\B" → "C:\A", "C:\A" → "C:\").
std::string parentOf(const std::string& full) {
    size_t cut = full.find_last_of('\\');
    if (cut == std::string::npos || full.size() <= 3) return {};
    return cut <= 2 ? full.substr(0, 3) : full.substr(0, cut);
}

}  // namespace

// Held until it goes away; the "process" ending (a test's throw) lets go of
// it as the system would.
class MemoryLock final : public FileLock {
public:
    MemoryLock(std::set<std::string>& held, std::string key) : held_(held), key_(std::move(key)) {
        held_.insert(key_);
    }
    ~MemoryLock() override { held_.erase(key_); }

private:
    std::set<std::string>& held_;
    std::string key_;
};

MemoryPlatform::MemoryPlatform() { dirs_["C:\\"] = "C:\\"; }

bool MemoryPlatform::locked(const std::string& full) const { return locks_.count(upperAscii(full)) > 0; }

std::string MemoryPlatform::resolve(const std::string& path) const {
    // Already whole and plain (a drive, single separators, no "." or ".."
    // parts): only the drive letter and a trailing separator change.
    if (path.size() >= 3 && path[1] == ':' && path[2] == '\\' && path.find('/') == std::string::npos &&
        path.find("\\\\") == std::string::npos && path.find("\\.") == std::string::npos) {
        std::string full = path;
        if (full.size() > 3 && full.back() == '\\') full.pop_back();
        full[0] = upperAscii(full[0]);
        return followLinks(full);
    }
    std::string p = path;
    std::replace(p.begin(), p.end(), '/', '\\');
    std::string full;
    if (p.size() >= 2 && p[1] == ':') {
        full = p.size() >= 3 && p[2] == '\\' ? p : p.substr(0, 2) + "\\" + p.substr(2);
    } else if (!p.empty() && p[0] == '\\') {
        full = currentDir_.substr(0, 2) + p;
    } else {
        full = currentDir_ + (currentDir_.back() == '\\' ? "" : "\\") + p;
    }
    // Collapse "." and ".." and doubled separators.
    std::vector<std::string> parts;
    std::string drive = upperAscii(full.substr(0, 2));
    size_t i = 3;
    while (i <= full.size()) {
        size_t j = full.find('\\', i);
        if (j == std::string::npos) j = full.size();
        std::string part = full.substr(i, j - i);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        i = j + 1;
    }
    std::string out = drive + "\\";
    for (size_t k = 0; k < parts.size(); ++k) out += (k ? "\\" : "") + parts[k];
    return followLinks(out);
}

void MemoryPlatform::makeDirectories(const std::string& path) {
    std::string full = resolve(path);
    std::string parent = parentOf(full);
    if (!parent.empty() && !dirs_.count(upperAscii(parent))) makeDirectories(parent);
    // A file and a directory never share a path: the directory replaces it.
    const std::string key = upperAscii(full);
    if (files_.erase(key)) byDirectory_[parentOf(key)].remove(key.substr(key.rfind('\\') + 1));
    dirs_.emplace(key, full);
}

void MemoryPlatform::writeFile(const std::string& path, const std::string& content,
                               bool readOnly) {
    std::string full = resolve(path);
    makeDirectories(parentOf(full));
    files_[upperAscii(full)] = File{content, readOnly, full, nextFileId_++};
    indexFile(full);
}

std::map<std::string, std::string> MemoryPlatform::fileContents() const {
    std::map<std::string, std::string> out;
    for (const auto& [key, file] : files_) out[key] = file.content;
    return out;
}

std::optional<std::string> MemoryPlatform::readFile(const std::string& path) {
    filesRead.push_back(path);
    std::string full = resolve(path);
    const std::string key = upperAscii(full);
    for (const std::string& big : outOfMemoryReads)
        if (upperAscii(resolve(big)) == key) throw std::bad_alloc();
    auto it = files_.find(key);
    if (it == files_.end() || locked(full)) return std::nullopt;
    return it->second.content;
}

bool MemoryPlatform::fileExists(const std::string& path) {
    ++fileExistsCalls;
    if (onFileExists) onFileExists(path);
    return files_.count(upperAscii(resolve(path))) > 0;
}

bool MemoryPlatform::directoryExists(const std::string& path) {
    return dirs_.count(upperAscii(resolve(path))) > 0;
}

bool MemoryPlatform::canOpenReadWrite(const std::string& path) {
    auto it = files_.find(upperAscii(resolve(path)));
    return it != files_.end() && !it->second.readOnly;
}

bool MemoryPlatform::copyFile(const std::string& from, const std::string& to) {
    std::string src = resolve(from);
    std::string dst = resolve(to);
    auto source = files_.find(upperAscii(src));
    if (source == files_.end() || locked(src)) {
        changing(dst);
        return failWith(source == files_.end() ? 2 : 32);
    }
    return writing(dst, source->second.content);
}

bool MemoryPlatform::saveFile(const std::string& path, const std::string& bytes) {
    return writing(resolve(path), bytes);
}

bool MemoryPlatform::writing(const std::string& full, const std::string& content) {
    try {
        changing(full);
    } catch (...) {
        // A process that ends while writing leaves the first part written.
        if (dirs_.count(upperAscii(parentOf(full)))) putFile(full, content.substr(0, content.size() / 2));
        throw;
    }
    if (!dirs_.count(upperAscii(parentOf(full)))) return failWith(3);
    if (diskFull) return failWith(112);
    if (!files_.count(upperAscii(full)) && !writableParent(full)) return false;
    return putFile(full, content);
}

bool MemoryPlatform::putFile(const std::string& full, std::string content) {
    if (dirs_.count(upperAscii(full))) return failWith(5);
    if (locked(full)) return failWith(32);
    auto existing = files_.find(upperAscii(full));
    if (existing == files_.end()) {
        files_[upperAscii(full)] = File{std::move(content), false, full, nextFileId_++};
        indexFile(full);
        return true;
    }
    if (existing->second.readOnly) return failWith(5);
    existing->second.content = std::move(content);
    return true;
}

bool MemoryPlatform::deleteFile(const std::string& path) {
    std::string full = resolve(path);
    changing(full);
    auto it = files_.find(upperAscii(full));
    if (it == files_.end()) return failWith(2);
    if (it->second.readOnly || !writableParent(full)) return failWith(5);
    if (locked(full)) return failWith(32);
    byDirectory_[parentOf(it->first)].remove(it->first.substr(it->first.rfind('\\') + 1));
    files_.erase(it);
    return true;
}

bool MemoryPlatform::createDirectory(const std::string& path) {
    std::string full = resolve(path);
    changing(full);
    if (dirs_.count(upperAscii(full)) || files_.count(upperAscii(full))) return failWith(183);
    if (!dirs_.count(upperAscii(parentOf(full)))) return failWith(3);  // one level only
    if (diskFull) return failWith(112);
    if (!writableParent(full)) return false;
    dirs_[upperAscii(full)] = full;
    return true;
}

bool MemoryPlatform::removeDirectory(const std::string& path) {
    std::string full = resolve(path);
    changing(full);
    const std::string key = upperAscii(full);
    if (!dirs_.count(key) || full.size() <= 3) return failWith(2);
    if (!writableParent(full)) return false;
    const std::string inside = key + "\\";
    // Not while anything is in it, nor while it is the current directory.
    for (const auto& [other, _] : dirs_)
        if (other.compare(0, inside.size(), inside) == 0) return false;
    for (const auto& [other, _] : files_)
        if (other.compare(0, inside.size(), inside) == 0) return false;
    const std::string current = upperAscii(currentDir_);
    if (current == key || current.compare(0, inside.size(), inside) == 0) return false;
    dirs_.erase(key);
    return true;
}

std::unique_ptr<FileLock> MemoryPlatform::holdFile(const std::string& path) {
    return std::make_unique<MemoryLock>(locks_, upperAscii(resolve(path)));
}

std::unique_ptr<FileLock> MemoryPlatform::holdNamedLock(const std::string& name) {
    if (namedLocks_.count(name)) return nullptr;
    return std::make_unique<MemoryLock>(namedLocks_, name);
}

bool MemoryPlatform::moveFile(const std::string& from, const std::string& to, bool replace) {
    const std::string src = resolve(from), dst = resolve(to);
    changing(src);
    auto source = files_.find(upperAscii(src));
    if (source == files_.end()) return failWith(2);
    if (locked(src) || locked(dst)) return failWith(32);
    if (dirs_.count(upperAscii(dst))) return failWith(5);
    if (!dirs_.count(upperAscii(parentOf(dst)))) return failWith(3);
    if (!writableParent(src) || !writableParent(dst)) return false;
    if (upperAscii(src) == upperAscii(dst)) return true;
    if (files_.count(upperAscii(dst))) {
        if (!replace) return failWith(183);
        byDirectory_[parentOf(upperAscii(dst))].remove(upperAscii(dst).substr(dst.rfind('\\') + 1));
        files_.erase(upperAscii(dst));
    }
    File moved = std::move(source->second);
    byDirectory_[parentOf(source->first)].remove(source->first.substr(source->first.rfind('\\') + 1));
    files_.erase(source);
    moved.path = dst;
    files_[upperAscii(dst)] = std::move(moved);
    indexFile(dst);
    return true;
}

std::optional<std::uint64_t> MemoryPlatform::fileSize(const std::string& path) {
    auto it = files_.find(upperAscii(resolve(path)));
    if (it == files_.end()) return std::nullopt;
    return it->second.content.size();
}

std::optional<std::string> MemoryPlatform::readFilePart(const std::string& path, std::uint64_t offset,
                                                        std::size_t size) {
    ++filePartReads;
    const std::string full = resolve(path);
    auto it = files_.find(upperAscii(full));
    if (it == files_.end() || locked(full)) return std::nullopt;
    const std::string& content = it->second.content;
    if (offset >= content.size()) return std::string();
    return content.substr(static_cast<std::size_t>(offset), size);
}

bool MemoryPlatform::isReadOnly(const std::string& path) const {
    auto it = files_.find(upperAscii(resolve(path)));
    return it != files_.end() && it->second.readOnly;
}

bool MemoryPlatform::setCurrentDirectory(const std::string& path) {
    std::string full = resolve(path);
    if (!dirs_.count(upperAscii(full))) return false;
    currentDir_ = dirs_[upperAscii(full)];
    return true;
}

std::optional<std::string> MemoryPlatform::shortPathName(const std::string& path) {
    std::string full = resolve(path);
    if (!dirs_.count(upperAscii(full)) && !files_.count(upperAscii(full))) return std::nullopt;
    // A recognisable stand-in for 8.3 names: upper case, spaces removed.
    std::string s;
    for (char c : full)
        if (c != ' ') s += c;
    if (!path.empty() && path.back() == '\\' && s.back() != '\\') s += '\\';
    s = upperAscii(s);
    if (s.size() > 254) return std::nullopt;
    return s;
}

std::vector<std::string> MemoryPlatform::driveRoots() {
    std::set<std::string> drives;
    for (const auto& [key, _] : dirs_) drives.insert(key.substr(0, 3));
    return {drives.begin(), drives.end()};
}

std::vector<std::string> MemoryPlatform::subdirectories(const std::string& directory) {
    std::string base = upperAscii(resolve(directory));
    std::vector<std::string> out;
    subdirectoryListings.push_back(directory);
    if (unreadableDirectories.count(base)) return out;
    for (const auto& [key, full] : dirs_)
        if (key != base && upperAscii(parentOf(full)) == base) out.push_back(full.substr(full.rfind('\\') + 1));
    return out;
}

std::optional<Platform::DirectoryListing> MemoryPlatform::listDirectory(const std::string& directory) {
    ++listingCalls;
    const std::string base = upperAscii(resolve(directory));
    DirectoryListing listing;
    auto files = byDirectory_.find(base);
    if (files != byDirectory_.end()) listing.files = files->second.names;
    // The directories below sort right after "<base>\"; only those one level down are its own.
    const std::string prefix = base.size() > 3 ? base + "\\" : base;
    for (auto it = dirs_.lower_bound(prefix); it != dirs_.end() && it->first.rfind(prefix, 0) == 0; ++it)
        if (it->first.size() > prefix.size() && it->first.find('\\', prefix.size()) == std::string::npos)
            listing.folders.push_back(it->second.substr(it->second.rfind('\\') + 1));
    for (const auto& [name, target] : links) {
        const std::string key = upperAscii(name);
        if (!linkItems.count(key) || upperAscii(parentOf(key)) != base) continue;
        (dirs_.count(upperAscii(followLinks(name))) ? listing.folders : listing.files)
            .push_back(name.substr(name.rfind('\\') + 1));
    }
    return listing;
}

void MemoryPlatform::indexFile(const std::string& full) {
    const std::string name = full.substr(full.rfind('\\') + 1);
    byDirectory_[upperAscii(parentOf(full))].add(upperAscii(name), name);
}

void MemoryPlatform::DirectoryFiles::add(const std::string& upperName, const std::string& name) {
    auto [at, added] = byUpper.try_emplace(upperName, names.size());
    if (added) names.push_back(name);
    else names[at->second] = name;
}

void MemoryPlatform::DirectoryFiles::remove(const std::string& upperName) {
    auto at = byUpper.find(upperName);
    if (at == byUpper.end()) return;
    const size_t pos = at->second;
    byUpper.erase(at);
    if (pos + 1 != names.size()) {
        names[pos] = std::move(names.back());
        byUpper[upperAscii(names[pos])] = pos;
    }
    names.pop_back();
}

}  // namespace qn

namespace qn {

bool MemoryPlatform::writableParent(const std::string& full) {
    return readOnlyDirectories.count(upperAscii(parentOf(full))) ? failWith(5) : true;
}

std::optional<Platform::ItemFacts> MemoryPlatform::itemFacts(const std::string& path) {
    // The item itself: its directory resolved, its own name not followed.
    const std::string asked = resolve(path);
    std::string full = path;
    std::replace(full.begin(), full.end(), '/', '\\');
    const size_t cut = full.find_last_of('\\');
    if (cut != std::string::npos && cut + 1 < full.size()) {
        const std::string dir = resolve(full.substr(0, cut + 1));
        full = dir + (dir.back() == '\\' ? "" : "\\") + full.substr(cut + 1);
    }
    const std::string key = upperAscii(full);
    ItemFacts facts;
    facts.name = full.substr(full.find_last_of('\\') + 1);
    if (linkItems.count(key)) {
        facts.link = true;
        facts.folder = dirs_.count(upperAscii(asked)) > 0;
        return facts;
    }
    auto file = files_.find(upperAscii(asked));
    if (file != files_.end()) {
        facts.identity = "file:" + std::to_string(file->second.id);
        facts.name = file->second.path.substr(file->second.path.find_last_of('\\') + 1);
        return facts;
    }
    auto dir = dirs_.find(upperAscii(asked));
    if (dir == dirs_.end()) return std::nullopt;
    facts.folder = true;
    facts.identity = "memory:" + dir->first;
    facts.name = dir->second.substr(dir->second.find_last_of('\\') + 1);
    return facts;
}

std::string MemoryPlatform::errorText(std::uint32_t code) {
    switch (code) {
    case 2: return "The system cannot find the file specified.";
    case 3: return "The system cannot find the path specified.";
    case 5: return "Access is denied.";
    case 32: return "The process cannot access the file because it is being used by another process.";
    case 112: return "There is not enough space on the disk.";
    case 183: return "Cannot create a file when that file already exists.";
    default: return {};
    }
}

}  // namespace qn
