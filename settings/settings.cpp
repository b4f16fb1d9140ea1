#include "settings/settings.h"

#include "platform/ascii.h"

namespace qn {
namespace {

unsigned char lowerCp1252(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
    switch (c) {
    case 0x8A: return 0x9A;
    case 0x8C: return 0x9C;
    case 0x8E: return 0x9E;
    case 0x9F: return 0xFF;
    default: return c;
    }
}

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
    std::string lower = path;
    for (char& ch : lower) ch = static_cast<char>(lowerCp1252(static_cast<unsigned char>(ch)));
    return lower;
}

std::string withTrailingBackslash(const std::string& directory) {
    if (directory.empty() || directory.back() == '\\') return directory;
    return directory + "\\";
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
