#include "settings/settings.h"

#include "platform/ascii.h"
#include "platform/unicode_text.h"

namespace qn {
namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

bool isFullPath(const std::string& path) {
    if (path.size() >= 3 && path[1] == ':' && isSeparator(path[2])) return true;
    return path.size() >= 3 && isSeparator(path[0]) && isSeparator(path[1]) && !isSeparator(path[2]);
}

std::string fullPath(const std::string& base, const std::string& path) {
    if (isFullPath(path)) return path;
    std::string dir = base;
    if (!dir.empty() && !isSeparator(dir.back())) dir += '\\';
    if (!path.empty() && isSeparator(path[0])) {
        // Rooted: the drive (or the server and share) of the base.
        if (dir.size() >= 2 && dir[1] == ':') return dir.substr(0, 2) + path;
        if (isFullPath(dir)) {
            const size_t server = dir.find_first_of("\\/", 2);
            const size_t share = server == std::string::npos ? server : dir.find_first_of("\\/", server + 1);
            return dir.substr(0, share) + path;
        }
        return path;
    }
    if (path.size() >= 2 && path[1] == ':') {
        const bool sameDrive =
            dir.size() >= 2 && dir[1] == ':' && upperAscii(dir[0]) == upperAscii(path[0]);
        return (sameDrive ? dir : path.substr(0, 2) + "\\") + path.substr(2);
    }
    return dir + path;
}

std::string lowerCasePath(const std::string& path) {
    return lowerUtf8(path);
}

std::string withTrailingBackslash(const std::string& directory) {
    if (directory.empty() || directory.back() == '\\') return directory;
    return directory + "\\";
}

TPaths pathsToWrite(const TPaths& read, const TPaths& shown, const TPaths& now) {
    auto guarded = [](const std::string& read, const std::string& shown, const std::string& now) {
        if (now != shown) return now;  // the user's change
        const auto same = [](const std::string& a, const std::string& b) {
            return lowerUtf8(withTrailingBackslash(a)) == lowerUtf8(withTrailingBackslash(b));
        };
        return same(now, read) ? now : read;
    };
    return TPaths{guarded(read.mainPath, shown.mainPath, now.mainPath),
                  guarded(read.emulatorPath, shown.emulatorPath, now.emulatorPath),
                  guarded(read.romsPath, shown.romsPath, now.romsPath),
                  guarded(read.unzipProgram, shown.unzipProgram, now.unzipProgram),
                  guarded(read.driversPath, shown.driversPath, now.driversPath)};
}

std::string encodeOptionFlags(const OptionFlags& flags) {
    std::string text;
    for (bool f : flags) text += f ? '1' : '0';
    return text;
}

void decodeOptionFlags(const std::string& text, OptionFlags& flags) {
    for (size_t j = 0; j < text.size() && j < flags.size(); ++j) flags[j] = text[j] == '1';
}

}  // namespace qn
