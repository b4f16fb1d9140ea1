// The game directory's rules against a path reader of this target's own.
// A short name the launcher accepts names a directory directly inside the
// emulator's, exactly as written and not a device; a required file's name
// it accepts lies below the game's directory and is not a device; a
// relative emulator path read from a full current directory is full.
//
// Input: fields cut at the byte 0xFF: the current directory, the emulator
// path setting, a short name and a required file's name.
#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "fuzz_check.h"
#include "launch/game_directory.h"
#include "settings/settings.h"

using namespace qn;
using namespace qn::fuzz;

namespace {

std::string upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
    return s;
}

bool separator(char c) { return c == '\\' || c == '/'; }

// A full path as Windows could read it, taken at its worst: each step loses
// its trailing dots and blanks, and a step of two or more dots climbs one
// level per dot but the first, as the oldest systems read "...". A last step
// naming a device (its part before a dot or colon, blanks cut, in the ANSI
// code page, where 0xB9, 0xB2 and 0xB3 are the superscript digits) names no
// file at all.
struct Place {
    std::string root;
    std::vector<std::string> steps;
    bool device = false;
};

bool namesDevice(const std::string& step) {
    std::string stem = upper(step.substr(0, step.find_first_of(".:")));
    stem.erase(stem.find_last_not_of(' ') + 1);
    static const char* const kNames[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* n : kNames)
        if (stem == n) return true;
    if (stem.size() != 4 || (stem.compare(0, 3, "COM") != 0 && stem.compare(0, 3, "LPT") != 0)) return false;
    return std::strchr("123456789\xb9\xb2\xb3", stem[3]) != nullptr && stem[3] != '\0';
}

std::optional<Place> read(const std::string& path) {
    Place place;
    size_t at;
    if (path.size() >= 3 && path[1] == ':' && separator(path[2])) {
        place.root = upper(path.substr(0, 2));
        at = 3;
    } else if (path.size() >= 2 && separator(path[0]) && separator(path[1])) {
        // \\server\share
        const size_t server = path.find_first_of("\\/", 2);
        if (server == std::string::npos || server == 2) return std::nullopt;
        size_t share = path.find_first_of("\\/", server + 1);
        if (share == std::string::npos) share = path.size();
        if (share == server + 1) return std::nullopt;
        place.root = "\\\\" + upper(path.substr(2, server - 2)) + "\\" + upper(path.substr(server + 1, share - server - 1));
        at = share;
    } else {
        return std::nullopt;
    }
    std::string last;
    while (at <= path.size()) {
        size_t end = path.find_first_of("\\/", at);
        if (end == std::string::npos) end = path.size();
        std::string step = path.substr(at, end - at);
        at = end + 1;
        last = step;
        const size_t kept = step.find_last_not_of(". ");
        if (kept == std::string::npos) {
            const size_t dots = static_cast<size_t>(std::count(step.begin(), step.end(), '.'));
            for (size_t up = 1; up < dots && !place.steps.empty(); ++up) place.steps.pop_back();
            continue;
        }
        place.steps.push_back(step.substr(0, kept + 1));
    }
    place.device = namesDevice(last);
    return place;
}

bool below(const Place& inner, const Place& outer, size_t by) {
    return inner.root == outer.root && inner.steps.size() >= outer.steps.size() + by &&
           std::equal(outer.steps.begin(), outer.steps.end(), inner.steps.begin(),
                      [](const std::string& a, const std::string& b) { return upper(a) == upper(b); });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    const Fields in(data, size);
    std::string base = in[0].value_or("C:\\Games");
    if (!isFullPath(base)) base = "C:\\" + base;
    const std::string setting = withTrailingBackslash(in[1].value_or("Quon"));
    const std::string s = in[2].value_or("game");
    const std::string file = in[3].value_or("rom.bin");

    // The emulator's directory as a run reads it; the user may name any
    // full path, but a relative one is read from the current directory.
    std::string emulatorDir = fullPath(base, setting);
    std::optional<Place> emulator = read(emulatorDir);
    if (read(base) && !isFullPath(setting))
        QN_CHECK(emulator && isFullPath(emulatorDir),
                 shown(setting) + " from " + shown(base) + " gives " + shown(emulatorDir));
    if (!emulator) {
        emulatorDir = "C:\\Quon\\";
        emulator = read(emulatorDir);
    }

    std::string gameDir = "C:\\Quon\\game\\";
    if (isPlainDirectoryName(s)) {
        const std::optional<Place> game = read(emulatorDir + s);
        QN_CHECK(game && below(*game, *emulator, 1) && game->steps.size() == emulator->steps.size() + 1 &&
                     game->steps.back() == s && !game->device,
                 shown(s) + " in " + shown(emulatorDir));
        gameDir = emulatorDir + s + "\\";
    } else if (!s.empty() && s.size() <= 8 && !namesDevice(s) &&
               s.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_-") ==
                   std::string::npos) {
        fail("a plain name refused", shown(s));
    }

    if (staysInsideGameDirectory(file)) {
        const std::optional<Place> game = read(gameDir);
        const std::optional<Place> place = read(gameDir + file);
        QN_CHECK(game && place && below(*place, *game, 1) && !place->device,
                 shown(file) + " in " + shown(gameDir));
    }
    return 0;
}
