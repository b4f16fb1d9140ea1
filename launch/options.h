// The emulator's options: which games some of them apply to, and the
// command line that turns a game's flags into the emulator's switches.
#pragma once

#include <string>

#include "settings/settings.h"

namespace qn {

// Positions of the options in OptionFlags.
enum Option : int {
    NoScanlines = 0,
    NoSound = 1,
    AlternateFmAddress = 2,
    Joystick = 3,
    VerticalRetrace = 4,
    FrameSkip = 5,
    RotateScreen = 6,
    ScreenResolution = 7,
};

// Frame skipping works in the IREM games only, rotation in Image Fight only.
bool supportsFrameSkip(const std::string& shortName);
bool supportsRotation(const std::string& shortName);

// One word of a command line: as it is, or in double quotes when it holds a
// blank, so that the child reads it back as one argument (a backslash before
// a quote or the closing quote is doubled, a quote inside escaped).
std::string commandLineWord(const std::string& word);

// "<emulatorDir>quon.exe <shortName> " and a switch for each option that is
// on, in the emulator's own order; the screen resolution carries the mode of
// `resolution` (0 to 5, "384x256" to "224x288"), or none outside that range.
// The program's path is one word (commandLineWord).
std::string emulatorCommandLine(const std::string& emulatorDir, const std::string& shortName,
                                const OptionFlags& flags, int resolution);

// "<program> -o <archive> <target>", each path one word (commandLineWord).
std::string unzipCommandLine(const std::string& program, const std::string& archive,
                             const std::string& target);

}  // namespace qn
