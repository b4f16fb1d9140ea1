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
    return emulatorDir + "quon.exe " + shortName + " " + text;
}

}  // namespace qn
