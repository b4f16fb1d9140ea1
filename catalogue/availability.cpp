#include "catalogue/availability.h"

namespace qn {

void evaluateGame(GameRecord& game, const TPaths& p, RomMode mode, FileLookup& files) {
    const std::string& s = game.ShortName;
    if (mode.compressed) {
        game.Available = files.fileExists(p.romsPath, s + ".zip");
        if (!mode.driversPath && !files.fileExists(p.emulatorPath + s + "\\", s + ".qun"))
            game.Available = false;
    } else {
        game.Available = files.markMissing(p.emulatorPath + s + "\\", game.RequiredFiles,
                                           game.RequiredFileCount, game.MissingFiles);
    }
    if (mode.driversPath && !files.fileExists(p.driversPath, s + ".qun")) game.Available = false;
}

void evaluateAvailability(GameCatalogue& cat, const TPaths& p, RomMode mode, Platform& os) {
    Availability availability(os);
    availability.reset(p, mode);
    availability.all(cat);
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

bool Availability::of(GameCatalogue& catalogue, int slot) {
    GameRecord& game = catalogue.games.at(slot);
    if (known(slot)) return game.Available;
    if (fromRoot_) os_.setCurrentDirectory("C:\\");
    evaluate(game, slot);
    return game.Available;
}

void Availability::all(GameCatalogue& catalogue) { some(catalogue, catalogue.GameCount); }

bool Availability::some(GameCatalogue& catalogue, int count) {
    bool rooted = false;
    for (; unknownFrom_ < catalogue.GameCount && count > 0; ++unknownFrom_) {
        if (known(unknownFrom_)) continue;
        if (fromRoot_ && !rooted) os_.setCurrentDirectory("C:\\");
        rooted = true;
        evaluate(catalogue.games[unknownFrom_], unknownFrom_);
        --count;
    }
    return unknownFrom_ >= catalogue.GameCount;
}

bool Availability::known(int slot) const {
    return !started_ || (static_cast<size_t>(slot) < known_.size() && known_[slot]);
}

void Availability::evaluate(GameRecord& game, int slot) {
    if (known_.size() <= static_cast<size_t>(slot)) known_.resize(slot + 1, false);
    evaluateGame(game, paths_, mode_, *files_);
    known_[slot] = true;
}

}  // namespace qn
