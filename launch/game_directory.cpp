#include "launch/game_directory.h"

#include <algorithm>
#include <cstring>

#include "platform/ascii.h"

namespace qn {
namespace {

bool isDeviceName(const std::string& name) {
    // Windows takes these as devices whatever follows a dot ("nul.txt").
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    for (char& c : stem) c = upperAscii(c);
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
        if (stem == device) return true;
    // The superscript digits of the ANSI code page count as digits here.
    return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
           ((stem[3] >= '1' && stem[3] <= '9') || stem[3] == '\xb9' || stem[3] == '\xb2' ||
            stem[3] == '\xb3');
}

bool isSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

bool isPlainDirectoryName(const std::string& name) {
    if (name.empty() || name == "." || name == ".." || name.size() > 255) return false;
    for (char c : name) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 32 || u == 127) return false;
        if (u < 128 && std::strchr(" <>:\"/\\|?*", c) != nullptr) return false;
    }
    return name.back() != '.' && !isDeviceName(name);
}

std::string unusableShortNameMessage(const std::string& title, const std::string& shortName) {
    return title + " cannot be run: its short name \"" + shortName +
           "\" cannot be used as a directory name.";
}

bool staysInsideGameDirectory(const std::string& name) {
    if (name.empty() || name.find(':') != std::string::npos || isSeparator(name[0])) return false;
    size_t start = 0;
    // Steps such as "." and "./" name the directory itself, not a file in it.
    bool namesAStep = false;
    std::string step;
    while (start <= name.size()) {
        size_t end = name.find_first_of("\\/", start);
        if (end == std::string::npos) end = name.size();
        // Windows drops trailing dots and blanks from a step, so steps such
        // as ".. " may climb like "..".
        step = name.substr(start, end - start);
        const bool onlyDots = step.find_first_not_of(". ") == std::string::npos;
        if (onlyDots && std::count(step.begin(), step.end(), '.') >= 2) return false;
        namesAStep = namesAStep || !onlyDots;
        start = end + 1;
    }
    // A last step naming a device names no file at all.
    return namesAStep && !isDeviceName(step);
}

std::optional<std::string> archiveEntryPath(const std::string& name) {
    if (name.empty() || isSeparator(name[0]) || name.find(':') != std::string::npos) return std::nullopt;
    std::string relative;
    size_t start = 0;
    while (start <= name.size()) {
        size_t stop = name.find_first_of("/\\", start);
        if (stop == std::string::npos) stop = name.size();
        const std::string part = name.substr(start, stop - start);
        start = stop + 1;
        if (part.empty() || part == ".") continue;
        if (part.find_first_not_of(". ") == std::string::npos) return std::nullopt;
        if (!relative.empty()) relative += '\\';
        relative += part;
    }
    return relative;
}

}  // namespace qn
