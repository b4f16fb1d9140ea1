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

// Whether a path names its place without the help of a current directory:
// "X:\..." or a network path "\\server\...".
bool isFullPath(const std::string& path);

// `path` read from the full directory `base` as the system reads a path from
// its current directory: a relative path below base, a rooted one ("\x") on
// base's drive, and "X:rest" below base when base is on X (else from X's root).
std::string fullPath(const std::string& base, const std::string& path);

// A path as the path boxes show it and the path settings hold it once it
// has passed through one: every letter that has a lower case in it, as the
// Windows edit control lowers what it shows.
std::string lowerCasePath(const std::string& path);

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
