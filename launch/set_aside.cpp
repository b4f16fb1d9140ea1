#include "launch/set_aside.h"

#include "platform/ascii.h"

namespace qn {
namespace {

std::vector<std::string> filesOf(Platform& os, const std::string& dir) {
    return os.filesIn(dir).value_or(std::vector<std::string>{});
}

bool taken(Platform& os, const std::string& path) { return os.fileExists(path) || os.directoryExists(path); }

// The item `name` of `dir` as the file system spells it now; nothing when
// there is none.
std::optional<std::string> spelling(Platform& os, const std::string& dir, const std::string& name, bool folder) {
    const std::vector<std::string> names = folder ? os.subdirectories(dir) : filesOf(os, dir);
    for (const std::string& n : names)
        if (upperAscii(n) == upperAscii(name)) return n;
    return std::nullopt;
}

// A replace may keep the replaced item's letter case (Wine does); the item
// then goes through its free place aside and comes back under its own name.
void respell(Platform& os, const std::string& aside, const std::string& dir, const std::string& name, bool folder) {
    const std::optional<std::string> now = spelling(os, dir, name, folder);
    if (!now || *now == name || taken(os, aside + name)) return;
    auto move = [&](const std::string& from, const std::string& to) {
        return folder ? os.moveDirectory(from, to) : os.moveFile(from, to, false);
    };
    if (move(dir + *now, aside + name)) move(aside + name, dir + name);
}

void returnFile(Platform& os, const std::string& aside, const std::string& dir, const std::string& name,
                PutBack& out) {
    const std::string target = dir + name;
    if (os.directoryExists(target) && !removeTree(os, target + "\\")) {
        out.kept.push_back({target, aside + name, false});
        return;
    }
    if (!os.moveFile(aside + name, target, true)) {
        out.stuck = true;
        return;
    }
    respell(os, aside, dir, name, false);
}

void returnFolder(Platform& os, const std::string& aside, const std::string& dir, const std::string& name,
                  PutBack& out) {
    const std::string target = dir + name;
    if (os.fileExists(target) && !os.deleteFile(target)) {
        out.kept.push_back({target, aside + name, true});
        return;
    }
    if (!os.directoryExists(target)) {
        if (!os.moveDirectory(aside + name, target)) out.stuck = true;
        return;
    }
    returnEverything(os, aside + name + "\\", target + "\\", out);
    if (os.removeDirectory(aside + name)) respell(os, aside, dir, name, true);
}

}  // namespace

std::optional<std::string> moveEverythingAside(Platform& os, const std::string& dir, const std::string& aside) {
    const std::optional<std::vector<std::string>> files = os.filesIn(dir);
    if (!files) return dir;
    for (const std::string& name : *files)
        if (!os.moveFile(dir + name, aside + name, false)) return dir + name;
    for (const std::string& name : os.subdirectories(dir))
        if (!os.moveDirectory(dir + name, aside + name)) return dir + name;
    // Listed empty, yet holding something: nothing may be left to the unzip.
    if (!isEmptyDirectory(os, dir)) return dir;
    return std::nullopt;
}

void returnWhereFree(Platform& os, const std::string& aside, const std::string& dir) {
    for (const std::string& name : filesOf(os, aside))
        if (!taken(os, dir + name)) os.moveFile(aside + name, dir + name, false);
    for (const std::string& name : os.subdirectories(aside)) {
        const std::string target = dir + name;
        if (!taken(os, target)) {
            os.moveDirectory(aside + name, target);
        } else if (os.directoryExists(target)) {
            returnWhereFree(os, aside + name + "\\", target + "\\");
            os.removeDirectory(aside + name);  // once all of it is back
        }
    }
}

void returnEverything(Platform& os, const std::string& aside, const std::string& dir, PutBack& out) {
    for (const std::string& name : filesOf(os, aside)) returnFile(os, aside, dir, name, out);
    for (const std::string& name : os.subdirectories(aside)) returnFolder(os, aside, dir, name, out);
}

bool removeTree(Platform& os, const std::string& dir) {
    for (const std::string& name : filesOf(os, dir)) os.deleteFile(dir + name);
    for (const std::string& name : os.subdirectories(dir)) removeTree(os, dir + name + "\\");
    return os.removeDirectory(dir.substr(0, dir.size() - 1));
}

bool isEmptyDirectory(Platform& os, const std::string& dir) {
    const std::optional<std::vector<std::string>> files = os.filesIn(dir);
    return files && files->empty() && os.subdirectories(dir).empty();
}

}  // namespace qn
