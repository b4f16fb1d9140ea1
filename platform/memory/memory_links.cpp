// Directories moved whole, and what tells them apart however they are named.
#include "platform/memory/memory_platform.h"

#include "platform/ascii.h"

namespace qn {
namespace {

bool isAtOrBelow(const std::string& upperPath, const std::string& upperDir) {
    return upperPath == upperDir ||
           (upperPath.size() > upperDir.size() && upperPath.compare(0, upperDir.size(), upperDir) == 0 &&
            upperPath[upperDir.size()] == '\\');
}

std::string parentOf(const std::string& full) {
    const size_t cut = full.find_last_of('\\');
    if (cut == std::string::npos || full.size() <= 3) return {};
    return cut <= 2 ? full.substr(0, 3) : full.substr(0, cut);
}

}  // namespace

std::string MemoryPlatform::followLinks(std::string full) const {
    for (int hops = 0; hops < 8 && !links.empty(); ++hops) {
        bool followed = false;
        for (const auto& [name, target] : links) {
            const std::string key = upperAscii(name);
            if (!isAtOrBelow(upperAscii(full), key)) continue;
            full = target + full.substr(key.size());
            followed = true;
            break;
        }
        if (!followed) break;
    }
    return full;
}

bool MemoryPlatform::moveDirectory(const std::string& from, const std::string& to) {
    const std::string src = resolve(from), dst = resolve(to);
    changing(src);
    const std::string from_ = upperAscii(src), to_ = upperAscii(dst);
    if (!dirs_.count(from_) || src.size() <= 3) return failWith(2);
    if (dirs_.count(to_) || files_.count(to_)) return failWith(183);
    if (!dirs_.count(upperAscii(parentOf(dst)))) return failWith(3);
    if (isAtOrBelow(to_, from_) || !writableParent(src) || !writableParent(dst)) return failWith(5);
    if (isAtOrBelow(upperAscii(currentDir_), from_)) return failWith(32);
    for (const std::string& held : locks_)
        if (isAtOrBelow(held, from_)) return failWith(32);
    std::map<std::string, std::string> dirs;
    for (auto it = dirs_.begin(); it != dirs_.end();) {
        if (!isAtOrBelow(it->first, from_)) {
            ++it;
            continue;
        }
        const std::string moved = dst + it->second.substr(src.size());
        dirs[upperAscii(moved)] = moved;
        it = dirs_.erase(it);
    }
    dirs_.insert(dirs.begin(), dirs.end());
    std::vector<std::pair<std::string, File>> files;
    for (auto it = files_.begin(); it != files_.end();) {
        if (!isAtOrBelow(it->first, from_)) {
            ++it;
            continue;
        }
        byDirectory_[parentOf(it->first)].remove(it->first.substr(it->first.rfind('\\') + 1));
        File file = std::move(it->second);
        file.path = dst + file.path.substr(src.size());
        files.emplace_back(file.path, std::move(file));
        it = files_.erase(it);
    }
    for (auto& [path, file] : files) {
        files_[upperAscii(path)] = std::move(file);
        indexFile(path);
    }
    return true;
}

std::optional<std::string> MemoryPlatform::directoryIdentity(const std::string& path) {
    const std::string key = upperAscii(resolve(path));
    if (!dirs_.count(key)) return std::nullopt;
    return "memory:" + key;
}

}  // namespace qn
