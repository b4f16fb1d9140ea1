// Where a run may write: the game's own directory under the emulator's,
// named by the game's short name. Plain string rules, no file access.
#pragma once

#include <optional>
#include <string>
#include <utility>

#include "settings/settings.h"

namespace qn {

// Whether a short name can name one directory of its own inside the
// emulator's: not empty, not "." or "..", no separator, drive colon,
// quote, blank, control character or other character Windows refuses in a
// file name, no trailing dot (Windows would drop it and name another
// directory) and no device name such as CON or LPT1 (with a superscript digit too).
bool isPlainDirectoryName(const std::string& name);

// A short name that is a plain directory name: a run is given only these,
// so it never has to ask again.
class GameName {
public:
    static std::optional<GameName> parse(const std::string& shortName) {
        if (!isPlainDirectoryName(shortName)) return std::nullopt;
        return GameName(shortName);
    }
    const std::string& str() const { return name_; }

private:
    explicit GameName(std::string name) : name_(std::move(name)) {}
    std::string name_;
};

// The warning shown instead of running a game whose short name is not one.
std::string unusableShortNameMessage(const std::string& title, const std::string& shortName);

// Whether a name from reqfiles.dat names a file inside the game's directory:
// not empty, no drive, not rooted, no ".." step, not the directory itself
// (".") and not a device.
bool staysInsideGameDirectory(const std::string& name);

// Where an unzip program puts an archive's entry: the entry's name as a
// path below the target directory, '\' between parts, "." and empty parts
// dropped; nothing when it would land outside (a leading separator, any
// ':', a part of only dots and blanks, which Windows may shorten to "..").
std::optional<std::string> archiveEntryPath(const std::string& entryName);

}  // namespace qn
