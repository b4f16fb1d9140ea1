#include "launch/bring_in.h"

#include <map>

#include "platform/unicode_text.h"

namespace qn {
namespace {

struct Listed {
    std::string name;
    bool folder;
};

std::string folded(const std::string& name) { return lowerUtf8(name); }

std::string stopMessage(const std::string& why) { return "The game was not run: " + why; }

void planLevel(Platform& os, const std::string& unpacked, const std::string& gameDir, const std::string& fromRel,
               const std::string& toRel, Plan& out) {
    const auto made = os.listDirectory(unpacked + fromRel);
    const auto kept = os.listDirectory(gameDir + toRel);
    if (!made || !kept) {
        out.refusal = stopMessage((made ? gameDir + toRel : unpacked + fromRel) + " could not be read.");
        return;
    }
    std::map<std::string, std::vector<Listed>> byName;
    for (const std::string& name : kept->files) byName[folded(name)].push_back({name, false});
    for (const std::string& name : kept->folders) byName[folded(name)].push_back({name, true});
    std::vector<Listed> items;
    for (const std::string& name : made->files) items.push_back({name, false});
    for (const std::string& name : made->folders) items.push_back({name, true});
    for (const Listed& item : items) {
        const std::string place = gameDir + toRel + item.name;
        const auto facts = os.itemFacts(unpacked + fromRel + item.name);
        if (!facts || facts->link) {
            out.refusal = stopMessage("the unzip program left " + unpacked + fromRel + item.name +
                                      ", which is a link or cannot be opened. Nothing in " + gameDir +
                                      " was changed.");
            return;
        }
        const auto same = byName.find(folded(item.name));
        std::optional<Listed> user;
        if (same != byName.end() && same->second.size() > 1) {
            out.refusal = stopMessage("the game's archive brings " + place + ", and your items " + gameDir + toRel +
                                      same->second[0].name + " and " + gameDir + toRel + same->second[1].name +
                                      " both answer to that name, as their names differ only in letter case. "
                                      "Rename one of them and run the game again.");
            return;
        }
        if (same != byName.end()) {
            user = same->second[0];
        } else if (const auto other = os.itemFacts(place)) {
            // The name is a short alias of an item of the user's.
            for (const auto& [key, listed] : byName)
                if (listed[0].name == other->name) user = listed[0];
            if (!user) {
                out.refusal = stopMessage("the game's archive brings " + place +
                                          ", and that name already leads to something else. Nothing in " + gameDir +
                                          " was changed.");
                return;
            }
        }
        if (!user) {
            out.moves.push_back({fromRel + item.name, toRel + item.name, item.folder, facts->identity, "", false});
            continue;
        }
        const std::string userPath = gameDir + toRel + user->name;
        const auto userFacts = os.itemFacts(userPath);
        if (!userFacts || userFacts->link) {
            out.refusal = stopMessage(userPath + " is a link, and the game's archive brings an item of that name. "
                                                 "Links are never moved or followed: move or rename it, then run "
                                                 "the game again.");
            return;
        }
        if (item.folder && userFacts->folder) {
            planLevel(os, unpacked, gameDir, fromRel + item.name + "\\", toRel + user->name + "\\", out);
            if (!out.refusal.empty()) return;
            continue;
        }
        out.moves.push_back({fromRel + item.name, toRel + item.name, item.folder, facts->identity,
                             toRel + user->name, userFacts->folder});
    }
}

}  // namespace

Plan planBringIn(Platform& os, const std::string& unpacked, const std::string& gameDir) {
    Plan plan;
    planLevel(os, unpacked, gameDir, "", "", plan);
    if (!plan.refusal.empty()) plan.moves.clear();
    return plan;
}

std::optional<Platform::ItemFacts> itemWithoutLinks(Platform& os, const std::string& dir, const std::string& path) {
    std::optional<Platform::ItemFacts> facts;
    for (size_t start = 0; start <= path.size();) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos) end = path.size();
        facts = os.itemFacts(dir + path.substr(0, end));
        if (!facts || facts->link || (end < path.size() && !facts->folder)) return std::nullopt;
        start = end + 1;
    }
    return facts;
}

bool removeTree(Platform& os, const std::string& dir) {
    const auto listing = os.listDirectory(dir);
    if (listing) {
        for (const std::string& name : listing->files) {
            const auto facts = os.itemFacts(dir + name);
            if (facts && !facts->link) os.deleteFile(dir + name);
        }
        for (const std::string& name : listing->folders) {
            const auto facts = os.itemFacts(dir + name);
            if (facts && !facts->link) removeTree(os, dir + name + "\\");
        }
    }
    return os.removeDirectory(dir.substr(0, dir.size() - 1));
}

void makeParents(Platform& os, const std::string& dir, const std::string& path) {
    for (size_t cut = path.find('\\'); cut != std::string::npos; cut = path.find('\\', cut + 1))
        if (!os.directoryExists(dir + path.substr(0, cut))) os.createDirectory(dir + path.substr(0, cut));
}

}  // namespace qn
