#include "settings/settings_store.h"

#include <unordered_map>
#include <unordered_set>

#include "platform/ascii.h"

namespace qn {

namespace {

// A value's text, up to its first NUL; nothing for a value of no more than
// its terminator, or whose text ends before it starts, however long.
std::optional<std::string> registryText(const std::string& data) {
    if (data.size() <= 1) return std::nullopt;
    std::string text = data.substr(0, data.find('\0'));
    if (text.empty()) return std::nullopt;
    return text;
}

}  // namespace

std::optional<std::string> readRegistryText(RegistryKey& key, const std::string& name) {
    std::optional<std::uint32_t> size = key.valueSize(name);
    if (!size || *size <= 1) return std::nullopt;
    std::optional<std::string> data = key.valueData(name, *size);
    if (!data) return std::nullopt;
    return registryText(*data);
}

bool titleNamesASetting(const std::string& title) {
    const std::string name = upperAscii(title.substr(0, title.find('\0')));
    for (const char* setting : kSettingValueNames)
        if (upperAscii(setting) == name) return true;
    return false;
}

StoredSettings readSettings(Platform& os, Settings& settings) {
    std::unique_ptr<RegistryKey> key = os.openKey(RootKey::LocalMachine, kSettingsKey);
    if (!key) return StoredSettings::NoKey;
    if (!key->valueSize("Main Program Path")) return StoredSettings::NoMainPath;

    TPaths& p = settings.paths;
    StoredSettings found = StoredSettings::Complete;
    if (auto main = readRegistryText(*key, "Main Program Path"))
        p.mainPath = withTrailingBackslash(*main);
    else
        found = StoredSettings::EmptyMainPath;
    if (auto v = readRegistryText(*key, "Quon Path")) p.emulatorPath = withTrailingBackslash(*v);
    if (auto v = readRegistryText(*key, "PkUnzip Program")) p.unzipProgram = *v;
    if (auto v = readRegistryText(*key, "Compressed ROMs Path")) p.romsPath = withTrailingBackslash(*v);
    if (auto v = readRegistryText(*key, "Drivers Path")) p.driversPath = withTrailingBackslash(*v);
    if (auto v = readRegistryText(*key, "Interface")) settings.singleClick = *v != "Common";
    return found;
}

bool readGameOptions(Platform& os, std::vector<GameOptions>& games, StoredValues* seen) {
    std::unique_ptr<RegistryKey> key = os.openKey(RootKey::LocalMachine, kSettingsKey);
    if (!key) return false;
    // Before the pass: a write during it makes the time differ at the save.
    const std::optional<std::uint64_t> readAt = key->lastWriteTime();
    // One pass over the key rather than two questions per game. Value names
    // match regardless of letter case, as the registry matches them; a title
    // outside ASCII (whose case the registry folds by tables of its own), or
    // a key that cannot be enumerated, is asked for by name.
    std::unordered_map<std::string, std::string> stored;
    std::optional<std::vector<std::pair<std::string, std::string>>> all;
    if (games.size() > 1) all = key->allValues();
    if (all) {
        stored.reserve(all->size());
        for (auto& [name, data] : *all)
            if (isAscii(name)) stored.emplace(upperAscii(name), std::move(data));
    }
    for (GameOptions& game : games) {
        if (titleNamesASetting(game.title)) continue;
        // The registry takes a name up to its first NUL.
        const std::string name = game.title.substr(0, game.title.find('\0'));
        std::optional<std::string> text;
        if (all && isAscii(name)) {
            auto it = stored.find(upperAscii(name));
            if (it != stored.end()) text = registryText(it->second);
        } else {
            text = readRegistryText(*key, game.title);
        }
        if (text) decodeOptionFlags(*text, game.flags);
    }
    if (seen && all) *seen = StoredValues{readAt, std::move(stored)};
    return true;
}

void writeSettings(Platform& os, const Settings& settings, const StoredValues* seen) {
    std::unique_ptr<RegistryKey> key = os.createKey(RootKey::LocalMachine, kSettingsKey);
    if (!key) {
        os.messageBox(MessageKind::Error, "Error creating/opening program registry key");
        return;
    }
    // Unwritten since it was read, the key still holds what was seen then;
    // skipping what it holds already saves a close one write per game.
    if (seen && (!seen->readAt || key->lastWriteTime() != seen->readAt)) seen = nullptr;
    // Names written by this save (titles alike but for letter case share
    // one value) hold what it wrote, no longer what was seen.
    std::unordered_set<std::string> written;
    auto holds = [&](const std::string& name, const std::string& text) {
        const std::string cut = name.substr(0, name.find('\0'));
        if (!seen || !isAscii(cut)) return false;
        const std::string folded = upperAscii(cut);
        if (!written.insert(folded).second) return false;
        auto it = seen->data.find(folded);
        return it != seen->data.end() && it->second == text.substr(0, text.find('\0')) + '\0';
    };
    auto write = [&](const std::string& name, const std::string& text) {
        if (holds(name, text)) return;
        if (!key->setString(name, text))
            os.messageBox(MessageKind::Error, "Error setting " + name + " registry value");
    };
    const TPaths& p = settings.paths;
    write("Main Program Path", p.mainPath);
    write("Quon Path", p.emulatorPath);
    write("PkUnzip Program", p.unzipProgram);
    write("Compressed ROMs Path", p.romsPath);
    write("Drivers Path", p.driversPath);
    write("Interface", settings.singleClick ? "Cool" : "Common");
    // Records of one title share the first one's flags: that one is written,
    // once, and a later one cannot undo a change made through it.
    std::unordered_set<std::string> titlesWritten;
    for (const GameOptions& game : settings.games)
        if (!titleNamesASetting(game.title) && titlesWritten.insert(game.title).second)
            write(game.title, encodeOptionFlags(game.flags));
}

void deleteSettingsKey(Platform& os) { os.deleteKey(RootKey::LocalMachine, kSettingsKey); }

bool uninstallSettingsKey(Platform& os) {
    std::unique_ptr<RegistryKey> parent = os.openKey(RootKey::LocalMachine, "SOFTWARE\\Tolvane");
    return parent && parent->deleteSubKey("Tolvane Quon FrontEnd v2.09");
}

}  // namespace qn
