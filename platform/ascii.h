// Letter case as Windows folds it in names of plain ASCII: file names,
// registry value names. Other characters it folds by tables of its own.
#pragma once

#include <string>

namespace qn {

inline char upperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

inline std::string upperAscii(std::string text) {
    for (char& c : text) c = upperAscii(c);
    return text;
}

inline bool isAscii(const std::string& text) {
    for (unsigned char c : text)
        if (c >= 0x80) return false;
    return true;
}

}  // namespace qn
