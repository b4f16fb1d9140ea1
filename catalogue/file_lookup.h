// Whether files exist, answered from one listing per directory wherever a
// listing gives the same answer as asking the file system for the file.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/platform.h"

namespace qn {

class FileLookup {
public:
    explicit FileLookup(Platform& os) : os_(os) {}

    // A regular file stands at the path. Each directory is listed at most
    // once per lookup object, so a lookup sees the disk as it was when it
    // first looked into a directory.
    bool fileExists(const std::string& path);
    // The same for directory + name, where the directory is written as the
    // path's part up to and with its last backslash (or is empty).
    bool fileExists(const std::string& directory, const std::string& name);

    // Marks which of the names do not stand in the directory (written as
    // above), as fileExists answers for each; the directory is found once
    // for all of them. True when none is missing.
    bool markMissing(const std::string& directory, const std::vector<std::string>& names,
                     std::vector<bool>& missing);

    // How many directories were listed, and how many files asked for one by
    // one because a listing could not stand in for them.
    int listings() const { return static_cast<int>(listings_.size()); }
    int singleChecks() const { return singleChecks_; }

private:
    struct Listing {
        bool listed = false;
        std::vector<std::string> names;  // upper-cased
        // Over a few dozen names a hash beats scanning them; it points into
        // `names`.
        std::unordered_set<std::string_view> index;
        bool has(std::string_view upperName) const;
    };
    const Listing& listing(const std::string& directory);
    const Listing& recentListing(const std::string& directory);
    // A name without a directory part that the directory's listing can
    // answer for.
    bool listedName(const std::string& directory, const std::string& name) const;
    bool inListing(const Listing& files, const std::string& name);
    bool askFileSystem(const std::string& path);

    Platform& os_;
    std::unordered_map<std::string, Listing> listings_;
    // The two directories asked for last, which the next question most
    // often shares: a game's own and the drivers or archives directory.
    struct Recent {
        std::string directory;
        const Listing* listing = nullptr;
    };
    Recent recent_[2];
    std::string upperName_, key_;  // reused for every question
    int singleChecks_ = 0;
};

}  // namespace qn
