#include "settings/settings.h"

namespace qn {

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
