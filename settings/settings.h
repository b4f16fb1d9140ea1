// The settings as plain values: where things are, the interface type and
// each game's emulator options.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace qn {

// A game's emulator options, in the order the registry keeps them.
constexpr int OptionCount = 8;
using OptionFlags = std::array<bool, OptionCount>;

// The directories end in one backslash when they are set; unzipProgram is a
// file name as the user chose it.
struct TPaths {
    std::string mainPath;
    std::string emulatorPath;
    std::string romsPath;
    std::string unzipProgram;
    std::string driversPath;
};

struct GameOptions {
    std::string title;
    OptionFlags flags{};
};

// Everything the settings key holds.
struct Settings {
    TPaths paths;
    bool singleClick = false;  // the single-click ("Cool") interface
    std::vector<GameOptions> games;
};

// Appends a backslash to a non-empty directory that lacks one.
std::string withTrailingBackslash(const std::string& directory);

// The paths a close writes. A setting the user left as the start showed it
// keeps what the start read unless it still names the same thing (letter
// case and a trailing backslash aside): a text that was not read faithfully
// is never written over the stored one.
TPaths pathsToWrite(const TPaths& read, const TPaths& shown, const TPaths& now);

// "1"/"0" per flag, index 0 first.
std::string encodeOptionFlags(const OptionFlags& flags);
// The flags of a stored text: each of its first eight characters sets one
// flag, '1' on and anything else off; flags past the text keep their state.
void decodeOptionFlags(const std::string& text, OptionFlags& flags);

}  // namespace qn
