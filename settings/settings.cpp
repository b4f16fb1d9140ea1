#include "settings/settings.h"

#include "platform/unicode_text.h"

namespace qn {

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
