#include "catalogue/availability.h"

namespace qn {

GameStatus evaluateGame(const GameRecord& game, const TPaths& p, RomMode mode, FileLookup& files) {
    const std::string& s = game.ShortName;
    GameStatus status;
    if (mode.compressed) {
        status.available = files.fileExists(p.romsPath, s + ".zip");
        if (!mode.driversPath && !files.fileExists(p.emulatorPath + s + "\\", s + ".qun"))
            status.available = false;
    } else {
        status.available = files.markMissing(p.emulatorPath + s + "\\", game.RequiredFiles, status.missing);
    }
    if (mode.driversPath && !files.fileExists(p.driversPath, s + ".qun")) status.available = false;
    return status;
}

TPaths fullPaths(const TPaths& paths, const std::string& base) {
    TPaths full = paths;
    for (std::string* dir : {&full.emulatorPath, &full.romsPath, &full.driversPath})
        *dir = fullPath(base, *dir);
    return full;
}

void Availability::reset(const TPaths& paths, RomMode mode, const std::string& base) {
    paths_ = fullPaths(paths, base);
    mode_ = mode;
    started_ = true;
    files_ = std::make_unique<FileLookup>(os_);
    known_.clear();
    unknownFrom_ = 0;
}

bool Availability::of(GameCatalogue& catalogue, int slot) {
    if (!started_) return false;
    if (static_cast<size_t>(slot) < known_.size() && known_[slot] != Known::No)
        return known_[slot] == Known::Available;
    return evaluate(catalogue, slot);
}

void Availability::all(GameCatalogue& catalogue) { allKnownAfter(catalogue, catalogue.size()); }

bool Availability::allKnownAfter(GameCatalogue& catalogue, int count) {
    if (!started_) return true;
    for (; unknownFrom_ < catalogue.size() && count > 0; ++unknownFrom_) {
        if (static_cast<size_t>(unknownFrom_) < known_.size() && known_[unknownFrom_] != Known::No) continue;
        evaluate(catalogue, unknownFrom_);
        --count;
    }
    return unknownFrom_ >= catalogue.size();
}

bool Availability::evaluate(GameCatalogue& catalogue, int slot) {
    if (known_.size() <= static_cast<size_t>(slot)) known_.resize(slot + 1, Known::No);
    const bool available = evaluateGame(catalogue.withFiles(slot), paths_, mode_, *files_).available;
    known_[slot] = available ? Known::Available : Known::Unavailable;
    return available;
}

}  // namespace qn
