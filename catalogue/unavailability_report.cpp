#include "catalogue/unavailability_report.h"

namespace qn {

std::string unavailabilityReport(GameCatalogue& catalogue, const TPaths& p, RomMode mode,
                                 const std::string& title, const std::string& s, Platform& os,
                                 const std::string& base) {
    // The settings as the user set them name the places; the full ones find them.
    const TPaths full = fullPaths(p, base);
    std::string report = title + " is not available because:\r";
    if (mode.compressed) {
        if (p.romsPath.empty())
            report += "\r   - The compressed ROMs path wasn't selected";
        else if (!os.fileExists(full.romsPath + s + ".zip"))
            report += "\r   - The compressed file " + p.romsPath + s + ".zip wasn't found";
    } else {
        // The ROM files alone decide here, whatever the drivers setting;
        // only the reported game is looked at anew.
        if (p.emulatorPath.empty()) {
            report += "\r   - You have not selected the QUON path";
        } else {
            const int slot = catalogue.findByShortName(s);
            if (slot >= 0) {
                FileLookup files(os);
                const GameRecord& game = catalogue.withFiles(slot);
                const GameStatus status = evaluateGame(game, full, RomMode{}, files);
                if (!status.available)
                    report += "\r   - It wasn't found in " + p.emulatorPath + s + "\\. \r     These files are missing:\r";
                for (size_t j = 0; j < game.RequiredFiles.size(); ++j)
                    if (status.missing[j])
                        report += "\r   - " + p.emulatorPath + s + "\\" + game.RequiredFiles[j];
            }
            report += "\r";
        }
    }
    if (!mode.driversPath) {
        if (!os.fileExists(full.emulatorPath + s + "\\" + s + ".qun"))
            report += "\r   - The driver file " + p.emulatorPath + s + "\\" + s + ".qun wasn't found";
    } else if (p.driversPath.empty()) {
        report += "\r   - The drivers path wasn't selected";
    } else if (!os.fileExists(full.driversPath + s + ".qun")) {
        report += "\r   - The driver file " + p.driversPath + s + ".qun wasn't found";
    }
    return report;
}

}  // namespace qn
