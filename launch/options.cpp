#include "launch/options.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace qn {
namespace {

const char* const kFrameSkipGames[] = {"rtypeus", "rtypejp", "rtype2",   "dbreed",
                                       "loht",    "hharry",  "uccops",   "imgfight",
                                       "nspirit", "bmaster", "inthunt",  "gunforce"};

}  // namespace

bool supportsFrameSkip(const std::string& shortName) {
    return std::find(std::begin(kFrameSkipGames), std::end(kFrameSkipGames), shortName) !=
           std::end(kFrameSkipGames);
}

bool supportsRotation(const std::string& shortName) { return shortName == "imgfight"; }

std::string emulatorCommandLine(const std::string& emulatorDir, const std::string& shortName,
                                const OptionFlags& flags, int resolution) {
    static const char* const kResolutions[] = {"384x256 ", "360x256 ", "320x400 ",
                                               "320x240 ", "256x256 ", "224x288 "};
    // The emulator's own switch order: rotation comes before frame skipping.
    static const std::pair<Option, const char*> kSwitches[] = {
        {NoScanlines, "-n "},     {NoSound, "-s "},      {AlternateFmAddress, "-a "},
        {Joystick, "-j "},        {VerticalRetrace, "-v "}, {RotateScreen, "-r "},
        {FrameSkip, "-f "}};
    std::string text;
    for (const auto& [option, sw] : kSwitches)
        if (flags[option]) text += sw;
    if (flags[ScreenResolution]) {
        text += "-d";
        if (resolution >= 0 && resolution < 6) text += kResolutions[resolution];
    }
    return commandLineWord(emulatorDir + "quon.exe") + " " + shortName + " " + text;
}

std::string commandLineWord(const std::string& word) {
    // Without a blank the word stays byte for byte what it always was.
    if (word.find_first_of(" \t") == std::string::npos) return word;
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : word) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        // Backslashes are read as themselves unless a quote follows them.
        quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, '\\');
    return quoted + "\"";
}

std::string unzipCommandLine(const std::string& program, const std::string& archive,
                             const std::string& target) {
    return commandLineWord(program) + " -o " + commandLineWord(archive) + " " + commandLineWord(target);
}

}  // namespace qn
