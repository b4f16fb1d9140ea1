#include "catalogue/file_lookup.h"

#include <algorithm>

namespace qn {
namespace {

// Past this length a path may not fit the system's path buffer once it is
// made absolute, while its directory still does: ask for such files alone.
constexpr size_t kLongestListedPath = 240;

// A name a listing answers for exactly: printable ASCII (Windows folds the
// case of other characters by tables of its own), no wildcard, stream or
// separator, no "~" (it may be a file's short alias, which listings do not
// show), and no trailing dot or space (which the system strips when it
// looks a name up).
bool listable(const std::string& leaf) {
    if (leaf.empty() || leaf == "." || leaf == "..") return false;
    for (unsigned char c : leaf)
        if (c < 32 || c > 126 || std::string_view("\\/:*?\"<>|~").find(c) != std::string_view::npos)
            return false;
    return leaf.back() != '.' && leaf.back() != ' ';
}

// A directory a listing can be asked for: its pattern must not turn into a
// wildcard of its own.
bool listableDirectory(const std::string& directory) {
    for (unsigned char c : directory)
        if (c < 32 || std::string_view("*?\"<>|").find(c) != std::string_view::npos) return false;
    return true;
}

}  // namespace

std::string upperCaseAscii(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

bool FileLookup::fileExists(const std::string& path) {
    const size_t cut = path.find_last_of("\\/");
    const std::string directory = cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
    const std::string leaf = cut == std::string::npos ? path : path.substr(cut + 1);
    if (path.size() > kLongestListedPath || !listable(leaf) || !listableDirectory(directory))
        return askFileSystem(path);
    const Listing& files = listing(directory);
    if (!files.listed) return askFileSystem(path);
    return std::binary_search(files.names.begin(), files.names.end(), upperCaseAscii(leaf));
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
