// Letter case as Windows folds it in names of plain ASCII: file names,
// registry value names. Other characters it folds by tables of its own.
#pragma once

#include <string>
#include <string_view>

namespace qn {

inline char upperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

inline std::string upperAscii(std::string text) {
    for (char& c : text) c = upperAscii(c);
    return text;
}

// A name as a DOS program writes it: up to 8 characters, a dot and up to
// 3 of the extension, in capitals, without blanks or further dots.
inline std::string dosFileName(const std::string& name) {
    const size_t dot = name.rfind('.');
    std::string base = name.substr(0, dot), ext = dot == std::string::npos ? "" : name.substr(dot + 1);
    std::string out;
    for (char c : base)
        if (c != '.' && c != ' ' && out.size() < 8) out += upperAscii(c);
    if (!ext.empty()) out += "." + upperAscii(ext.substr(0, 3));
    return out;
}

// Blocks of bytes or'ed together: a loop without an exit in it, which the
// compiler turns into wide instructions, for files of megabytes.
inline bool isAscii(std::string_view text) {
    constexpr size_t kBlock = 64;
    unsigned char seen = 0;
    size_t at = 0;
    for (; at + kBlock <= text.size() && !(seen & 0x80); at += kBlock)
        for (size_t k = 0; k < kBlock; ++k) seen |= static_cast<unsigned char>(text[at + k]);
    for (; at < text.size(); ++at) seen |= static_cast<unsigned char>(text[at]);
    return !(seen & 0x80);
}

}  // namespace qn
