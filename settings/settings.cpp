#include "settings/settings.h"

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

}  // namespace

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
