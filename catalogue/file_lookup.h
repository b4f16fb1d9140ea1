// Whether files exist: asked file by file, until enough names of one
// directory are wanted that a listing of it is cheaper; from then on
// answered from that listing wherever it gives the same answer as asking
// the file system for the file.
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
    // Under Wine a listing costs as much as asking for a few dozen files one
    // by one (measured: 100 to 200 us against 4 us a file).
    static constexpr int kAskedAloneAtMost = 32;

    // `askedAloneAtMost`: how many names of a directory are asked for one by
    // one before it is listed.
    explicit FileLookup(Platform& os, int askedAloneAtMost = kAskedAloneAtMost)
        : os_(os), askedAloneAtMost_(askedAloneAtMost) {}

    // A regular file stands at the path. Each directory is listed at most
    // once per lookup object, so a lookup sees the listed part of the disk as
    // it was when it first listed a directory.
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
    // one.
    int listings() const { return listingsMade_; }
    int singleChecks() const { return singleChecks_; }

private:
    struct Names {
        std::vector<std::string> names;  // upper-cased
        // Over a few dozen names a hash beats scanning them; it points into
        // `names`.
        std::unordered_set<std::string_view> index;
        void take(std::vector<std::string> listed);
        bool has(std::string_view upperName) const;
    };
    struct Listing {
        int wanted = 0;       // names asked for in the directory so far
        bool tried = false;   // listed, or the listing failed
        bool listed = false;
        bool countedInParent = false;  // towards its parent's listing
        Names files, folders;
    };
    // The directory's entry, listed once `wanted` more names make a
    // listing worth its cost.
    Listing& listingFor(const std::string& directory, size_t wanted);
    Listing& entry(const std::string& directory);
    Listing& recentEntry(const std::string& directory);
    void list(Listing& listing, const std::string& directory);
    // A name without a directory part that the directory's listing can
    // answer for.
    bool listedName(const std::string& directory, const std::string& name) const;
    bool inListing(const Names& names, const std::string& name);
    // The directory (not listed itself: `own`) is missing from its
    // parent's listing, so nothing of a listable name stands in it.
    bool knownAbsent(const std::string& directory, Listing& own);
    // fileExists, with the name counted towards its directory's listing
    // or (`counted` false) already counted by the caller.
    bool exists(const std::string& directory, const std::string& name, bool counted);
    bool askFileSystem(const std::string& path);

    Platform& os_;
    std::unordered_map<std::string, Listing> listings_;
    // The two directories asked for last, which the next question most
    // often shares: a game's own and the drivers or archives directory.
    struct Recent {
        std::string directory;
        Listing* listing = nullptr;
    };
    Recent recent_[2];
    std::string upperName_, key_, parent_, leaf_;  // reused for every question
    int askedAloneAtMost_;
    int listingsMade_ = 0;
    int singleChecks_ = 0;
};

}  // namespace qn
