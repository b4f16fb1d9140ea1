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

namespace {

bool isAbsoluteDirectory(const std::string& path) {
    const bool drive = path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
    const bool share = path.size() >= 2 && (path[0] == '\\' || path[0] == '/') &&
                       (path[1] == '\\' || path[1] == '/');
    return drive || share;
}

}  // namespace

void Availability::reset(const TPaths& paths, RomMode mode) {
    paths_ = paths;
    mode_ = mode;
    started_ = true;
    os_.setCurrentDirectory("C:\\");
    fromRoot_ = !isAbsoluteDirectory(paths.emulatorPath) ||
                (mode.compressed && !isAbsoluteDirectory(paths.romsPath)) ||
                (mode.driversPath && !isAbsoluteDirectory(paths.driversPath));
    files_ = std::make_unique<FileLookup>(os_);
    known_.clear();
    unknownFrom_ = 0;
}

bool Availability::of(const GameCatalogue& catalogue, int slot) {
    if (!started_) return false;
    if (static_cast<size_t>(slot) < known_.size() && known_[slot] != Known::No)
        return known_[slot] == Known::Available;
    if (fromRoot_) os_.setCurrentDirectory("C:\\");
    return evaluate(catalogue, slot);
}

void Availability::all(const GameCatalogue& catalogue) { allKnownAfter(catalogue, catalogue.size()); }

bool Availability::allKnownAfter(const GameCatalogue& catalogue, int count) {
    if (!started_) return true;
    bool rooted = false;
    for (; unknownFrom_ < catalogue.size() && count > 0; ++unknownFrom_) {
        if (static_cast<size_t>(unknownFrom_) < known_.size() && known_[unknownFrom_] != Known::No) continue;
        if (fromRoot_ && !rooted) os_.setCurrentDirectory("C:\\");
        rooted = true;
        evaluate(catalogue, unknownFrom_);
        --count;
    }
    return unknownFrom_ >= catalogue.size();
}

bool Availability::evaluate(const GameCatalogue& catalogue, int slot) {
    if (known_.size() <= static_cast<size_t>(slot)) known_.resize(slot + 1, Known::No);
    const bool available = evaluateGame(catalogue.games.at(slot), paths_, mode_, *files_).available;
    known_[slot] = available ? Known::Available : Known::Unavailable;
    return available;
}

}  // namespace qn
