#include "catalogue/file_lookup.h"

#include <algorithm>

namespace qn {
namespace {

// Past this length a path may not fit the system's path buffer once it is
// made absolute, while its directory still does: ask for such files alone.
constexpr size_t kLongestListedPath = 240;

char upperAsciiChar(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// A name a listing answers for exactly: printable ASCII (Windows folds the
// case of other characters by tables of its own), no wildcard, stream or
// separator, no "~" (it may be a file's short alias, which listings do not
// show), and no trailing dot or space (which the system strips when it
// looks a name up).
bool listable(std::string_view leaf) {
    if (leaf.empty() || leaf == "." || leaf == "..") return false;
    for (unsigned char c : leaf)
        if (c < 32 || c > 126 || std::string_view("\\/:*?\"<>|~").find(c) != std::string_view::npos)
            return false;
    return leaf.back() != '.' && leaf.back() != ' ';
}

// A directory a listing can be asked for: its pattern must not turn into a
// wildcard of its own.
bool listableDirectory(std::string_view directory) {
    for (unsigned char c : directory)
        if (c < 32 || std::string_view("*?\"<>|").find(c) != std::string_view::npos) return false;
    return true;
}

// Orders an upper-cased name against a name as written, letter case aside.
bool before(const std::string& upper, std::string_view name) {
    const size_t n = std::min(upper.size(), name.size());
    for (size_t i = 0; i < n; ++i) {
        const auto a = static_cast<unsigned char>(upper[i]);
        const auto b = static_cast<unsigned char>(upperAsciiChar(name[i]));
        if (a != b) return a < b;
    }
    return upper.size() < name.size();
}

bool sameName(const std::string& upper, std::string_view name) {
    if (upper.size() != name.size()) return false;
    for (size_t i = 0; i < name.size(); ++i)
        if (upper[i] != upperAsciiChar(name[i])) return false;
    return true;
}

}  // namespace

std::string upperCaseAscii(std::string text) {
    for (char& c : text) c = upperAsciiChar(c);
    return text;
}

bool FileLookup::fileExists(const std::string& path) {
    const size_t cut = path.find_last_of("\\/");
    if (cut == std::string::npos) return fileExists(std::string(), path);
    return fileExists(path.substr(0, cut + 1), path.substr(cut + 1));
}

bool FileLookup::fileExists(const std::string& directory, const std::string& name) {
    // A name with a directory part of its own is looked up in that
    // directory; so is one after a directory not ending in a separator
    // ("C:" names the drive's current directory).
    if (name.find_first_of("\\/") != std::string::npos ||
        (!directory.empty() && directory.back() != '\\' && directory.back() != '/')) {
        const std::string path = directory + name;
        const size_t cut = path.find_last_of("\\/");
        if (cut == std::string::npos) return fileExists(std::string(), path);
        if (cut + 1 == path.size()) return askFileSystem(path);  // names no file
        return fileExists(path.substr(0, cut + 1), path.substr(cut + 1));
    }
    if (directory.size() + name.size() > kLongestListedPath || !listable(name) ||
        !listableDirectory(directory))
        return askFileSystem(directory + name);
    if (!lastListing_ || directory != lastDirectory_) {
        lastListing_ = &listing(directory);
        lastDirectory_ = directory;
    }
    const Listing& files = *lastListing_;
    if (!files.listed) return askFileSystem(directory + name);
    auto it = std::lower_bound(files.names.begin(), files.names.end(), std::string_view(name), before);
    return it != files.names.end() && sameName(*it, name);
}

const FileLookup::Listing& FileLookup::listing(const std::string& directory) {
    // One listing for a directory however its letters are written, where
    // the folding is plain ASCII.
    const bool ascii = std::all_of(directory.begin(), directory.end(),
                                   [](unsigned char c) { return c < 0x80; });
    auto [it, added] = listings_.try_emplace(ascii ? upperCaseAscii(directory) : directory);
    if (!added) return it->second;
    Listing& listing = it->second;
    if (auto names = os_.filesInDirectory(directory)) {
        listing.listed = true;
        listing.names = std::move(*names);
        for (std::string& name : listing.names) name = upperCaseAscii(std::move(name));
        std::sort(listing.names.begin(), listing.names.end());
    }
    return listing;
}

bool FileLookup::askFileSystem(const std::string& path) {
    ++singleChecks_;
    return os_.fileExists(path);
}

}  // namespace qn
