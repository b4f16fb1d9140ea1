#include "launch/set_aside.h"

#include "platform/ascii.h"

namespace qn {
namespace {

// Files and folders in one listing; none when it cannot be listed.
Platform::DirectoryListing listingOf(Platform& os, const std::string& dir) {
    return os.listDirectory(dir).value_or(Platform::DirectoryListing{});
}

bool taken(Platform& os, const std::string& path) { return os.fileExists(path) || os.directoryExists(path); }

// The item `name` of `dir` as the file system spells it now; nothing when
// there is none.
std::optional<std::string> spelling(Platform& os, const std::string& dir, const std::string& name, bool folder) {
    const Platform::DirectoryListing listing = listingOf(os, dir);
    for (const std::string& n : folder ? listing.folders : listing.files)
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
    const std::optional<Platform::DirectoryListing> listing = os.listDirectory(dir);
    if (!listing) return dir;
    for (const std::string& name : listing->files)
        if (!os.moveFile(dir + name, aside + name, false)) return dir + name;
    for (const std::string& name : listing->folders)
        if (!os.moveDirectory(dir + name, aside + name)) return dir + name;
    // Listed empty, yet holding something: nothing may be left to the unzip.
    if (!isEmptyDirectory(os, dir)) return dir;
    return std::nullopt;
}

void returnWhereFree(Platform& os, const std::string& aside, const std::string& dir) {
    const Platform::DirectoryListing listing = listingOf(os, aside);
    for (const std::string& name : listing.files)
        if (!taken(os, dir + name)) os.moveFile(aside + name, dir + name, false);
    for (const std::string& name : listing.folders) {
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
    const Platform::DirectoryListing listing = listingOf(os, aside);
    for (const std::string& name : listing.files) returnFile(os, aside, dir, name, out);
    for (const std::string& name : listing.folders) returnFolder(os, aside, dir, name, out);
}

bool removeTree(Platform& os, const std::string& dir) {
    const Platform::DirectoryListing listing = listingOf(os, dir);
    for (const std::string& name : listing.files) os.deleteFile(dir + name);
    for (const std::string& name : listing.folders) removeTree(os, dir + name + "\\");
    return os.removeDirectory(dir.substr(0, dir.size() - 1));
}

bool isEmptyDirectory(Platform& os, const std::string& dir) {
    const std::optional<Platform::DirectoryListing> listing = os.listDirectory(dir);
    return listing && listing->files.empty() && listing->folders.empty();
}

}  // namespace qn
