#include "catalogue/file_lookup.h"

#include <algorithm>

#include "platform/ascii.h"

namespace qn {
namespace {

// Past this length a path may not fit the system's path buffer once it is
// made absolute, while its directory still does: ask for such files alone.
constexpr size_t kLongestListedPath = 240;

// A game's own directory holds a handful of files, scanned faster than
// hashed; a directory of archives or drivers may hold thousands.
constexpr size_t kMostNamesScanned = 32;

// Characters that keep a name from being answered by a listing: control
// characters and everything past ASCII (Windows folds the case of those by
// tables of its own), wildcards, stream and path separators, and "~" (the
// name may be a file's short alias, which listings do not show).
constexpr bool notListableChar(unsigned c) {
    return c < 32 || c > 126 || c == '\\' || c == '/' || c == ':' || c == '*' || c == '?' ||
           c == '"' || c == '<' || c == '>' || c == '|' || c == '~';
}

struct NotListable {
    bool of[256] = {};
    constexpr NotListable() {
        for (unsigned c = 0; c < 256; ++c) of[c] = notListableChar(c);
    }
};
constexpr NotListable kNotListable;

// A name a listing answers for exactly; not one with a trailing dot or
// space either, which the system strips when it looks a name up.
bool listable(std::string_view leaf) {
    if (leaf.empty() || leaf == "." || leaf == "..") return false;
    for (unsigned char c : leaf)
        if (kNotListable.of[c]) return false;
    return leaf.back() != '.' && leaf.back() != ' ';
}

// A directory a listing can be asked for: its pattern must not turn into a
// wildcard of its own.
bool listableDirectory(std::string_view directory) {
    for (unsigned char c : directory)
        if (c < 32 || std::string_view("*?\"<>|").find(c) != std::string_view::npos) return false;
    return true;
}

}  // namespace

bool FileLookup::fileExists(const std::string& path) {
    const size_t cut = path.find_last_of("\\/");
    if (cut == std::string::npos) return fileExists(std::string(), path);
    return fileExists(path.substr(0, cut + 1), path.substr(cut + 1));
}

bool FileLookup::fileExists(const std::string& directory, const std::string& name) {
    return exists(directory, name, true);
}

bool FileLookup::exists(const std::string& directory, const std::string& name, bool counted) {
    // A name with a directory part of its own is looked up in that
    // directory; so is one after a directory not ending in a separator
    // ("C:" names the drive's current directory).
    if (std::any_of(name.begin(), name.end(), [](char c) { return c == '\\' || c == '/'; }) ||
        (!directory.empty() && directory.back() != '\\' && directory.back() != '/')) {
        const std::string path = directory + name;
        const size_t cut = path.find_last_of("\\/");
        if (cut == std::string::npos) return fileExists(std::string(), path);
        if (cut + 1 == path.size()) return askFileSystem(path);  // names no file
        return fileExists(path.substr(0, cut + 1), path.substr(cut + 1));
    }
    if (!listedName(directory, name)) return askFileSystem(directory + name);
    Listing& files = counted ? listingFor(directory, 1) : recentEntry(directory);
    if (files.listed) return inListing(files.files, name);
    if (knownAbsent(directory, files)) return false;
    return askFileSystem(directory + name);
}

bool FileLookup::markMissing(const std::string& directory, const std::vector<std::string>& names,
                             std::vector<bool>& missing) {
    missing.resize(names.size());
    const bool plainDirectory =
        directory.empty() || directory.back() == '\\' || directory.back() == '/';
    Listing* files = plainDirectory ? &listingFor(directory, names.size()) : nullptr;
    // A game not on disk at all costs a look at its parent's listing.
    const bool absent = files && !files->listed && knownAbsent(directory, *files);
    bool allThere = true;
    for (size_t j = 0; j < names.size(); ++j) {
        const std::string& name = names[j];
        bool there;
        if (listedName(directory, name) && (absent || (files && files->listed)))
            there = !absent && inListing(files->files, name);
        else
            there = exists(directory, name, false);
        missing[j] = !there;
        allThere = allThere && there;
    }
    return allThere;
}

bool FileLookup::listedName(const std::string& directory, const std::string& name) const {
    return directory.size() + name.size() <= kLongestListedPath && listable(name);
}

bool FileLookup::inListing(const Names& names, const std::string& name) {
    upperName_.assign(name);
    for (char& c : upperName_) c = upperAscii(c);
    return names.has(upperName_);
}

bool FileLookup::knownAbsent(const std::string& directory, Listing& own) {
    if (directory.size() < 2 || (directory.back() != '\\' && directory.back() != '/')) return false;
    const size_t cut = directory.find_last_of("\\/", directory.size() - 2);
    if (cut == std::string::npos) return false;  // a drive's root, or relative to the current directory
    parent_.assign(directory, 0, cut + 1);
    leaf_.assign(directory, cut + 1, directory.size() - cut - 2);
    if (!listedName(parent_, leaf_)) return false;
    // Each directory counts once towards its parent's listing, which pays
    // once many of them are asked about, as a catalogue's games are.
    const Listing& above = own.countedInParent ? recentEntry(parent_) : listingFor(parent_, 1);
    own.countedInParent = true;
    return above.listed && !inListing(above.folders, leaf_);
}

FileLookup::Listing& FileLookup::listingFor(const std::string& directory, size_t wanted) {
    Listing& files = recentEntry(directory);
    if (!files.tried) {
        files.wanted += static_cast<int>(std::min<size_t>(wanted, askedAloneAtMost_ + 1));
        if (files.wanted > askedAloneAtMost_) list(files, directory);
    }
    return files;
}

FileLookup::Listing& FileLookup::recentEntry(const std::string& directory) {
    if (!recent_[0].listing || recent_[0].directory != directory) {
        std::swap(recent_[0], recent_[1]);
        if (!recent_[0].listing || recent_[0].directory != directory) {
            recent_[0].listing = &entry(directory);
            recent_[0].directory = directory;
        }
    }
    return *recent_[0].listing;
}

void FileLookup::Names::take(std::vector<std::string> listed) {
    names = std::move(listed);
    for (std::string& name : names)
        for (char& c : name) c = upperAscii(c);
    if (names.size() > kMostNamesScanned) {
        index.reserve(names.size());
        for (const std::string& name : names) index.insert(name);
    }
}

bool FileLookup::Names::has(std::string_view upperName) const {
    if (!index.empty()) return index.count(upperName) != 0;
    // Names this short compare faster inline than through memcmp, from the
    // end, where the names of a set differ.
    return std::any_of(names.begin(), names.end(), [&](const std::string& name) {
        return name.size() == upperName.size() &&
               std::equal(name.rbegin(), name.rend(), upperName.rbegin());
    });
}

FileLookup::Listing& FileLookup::entry(const std::string& directory) {
    // One entry for a directory however its letters are written, where the
    // folding is plain ASCII.
    key_.assign(directory);
    if (isAscii(directory))
        for (char& c : key_) c = upperAscii(c);
    return listings_[key_];
}

void FileLookup::list(Listing& listing, const std::string& directory) {
    listing.tried = true;
    if (!listableDirectory(directory)) return;  // every name asked for alone
    ++listingsMade_;
    if (auto found = os_.listDirectory(directory)) {
        listing.listed = true;
        listing.files.take(std::move(found->files));
        listing.folders.take(std::move(found->folders));
    }
}

bool FileLookup::askFileSystem(const std::string& path) {
    ++singleChecks_;
    return os_.fileExists(path);
}

}  // namespace qn
