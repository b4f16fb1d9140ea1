#include "settings/settings_store.h"

#include <iterator>
#include <string_view>
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

std::optional<std::string> readRegistryText(RegistryKey& key, const std::string& name, bool* exists) {
    std::optional<std::uint32_t> size = key.valueSize(name);
    if (exists) *exists = size.has_value();
    if (!size || *size <= 1) return std::nullopt;
    std::optional<std::string> data = key.valueData(name, *size);
    if (!data) return std::nullopt;
    return registryText(*data);
}

bool titleNamesASetting(const std::string& title) {
    // Asked once per game: compared in place, without copies.
    const std::string_view name(title.c_str());
    for (const SettingRow& row : kSettingRows) {
        const std::string_view setting(row.name);
        if (row.titleMayShadow || setting.size() != name.size()) continue;
        size_t i = 0;
        while (i < name.size() && upperAscii(name[i]) == upperAscii(setting[i])) ++i;
        if (i == name.size()) return true;
    }
    return false;
}

StoredSettings readSettings(Platform& os, Settings& settings, KnownSettings* known) {
    std::unique_ptr<RegistryKey> key = os.openKey(RootKey::LocalMachine, kSettingsKey, KeyAccess::Read);
    if (!key) return StoredSettings::NoKey;
    if (!key->valueSize(kMainPathValue)) return StoredSettings::NoMainPath;

    std::array<bool, kSettingCount> stored{};
    StoredSettings found = StoredSettings::Complete;
    for (size_t i = 0; i < kSettingCount; ++i) {
        const SettingRow& row = kSettingRows[i];
        std::optional<std::string> text = readRegistryText(*key, row.name, &stored[i]);
        if (!text) {
            if (row.path == &TPaths::mainPath) found = StoredSettings::EmptyMainPath;
            continue;
        }
        switch (row.kind) {
        case SettingKind::Directory: settings.paths.*row.path = withTrailingBackslash(*text); break;
        case SettingKind::File: settings.paths.*row.path = *text; break;
        case SettingKind::Interface: settings.singleClick = *text != "Common"; break;
        }
    }
    if (known) {
        const SettingTexts texts = settingTexts(settings.paths, settings.singleClick);
        for (size_t i = 0; i < texts.size(); ++i)
            (*known)[i] = stored[i] ? std::optional<std::string>(texts[i]) : std::nullopt;
    }
    return found;
}

SettingTexts settingTexts(const TPaths& p, bool singleClick) {
    SettingTexts texts;
    for (size_t i = 0; i < kSettingCount; ++i) {
        const SettingRow& row = kSettingRows[i];
        texts[i] = row.kind == SettingKind::Interface ? (singleClick ? "Cool" : "Common") : p.*row.path;
    }
    return texts;
}

bool readGameOptions(Platform& os, GameOptions& game) {
    std::unique_ptr<RegistryKey> key = os.openKey(RootKey::LocalMachine, kSettingsKey, KeyAccess::Read);
    if (!key) return false;
    if (titleNamesASetting(game.title)) return true;
    if (std::optional<std::string> text = readRegistryText(*key, game.title))
        decodeOptionFlags(*text, game.flags);
    return true;
}

void writeSettings(Platform& os, const Settings& settings, KnownSettings* seen) {
    // A key made anew since holds nothing of what was known of the old one.
    if (seen && !os.openKey(RootKey::LocalMachine, kSettingsKey, KeyAccess::Read)) seen->fill(std::nullopt);
    std::unique_ptr<RegistryKey> key = os.createKey(RootKey::LocalMachine, kSettingsKey);
    if (!key) {
        os.messageBox(MessageKind::Error, "Error creating/opening program registry key");
        return;
    }
    auto write = [&](const std::string& name, const std::string& text) {
        const bool written = key->setString(name, text);
        if (!written)
            os.messageBox(MessageKind::Error, "Error setting " + name + " registry value" + becauseOf(os, os.lastError()));
        return written;
    };
    // A setting the user left alone keeps the text it was read from, even
    // where that would not come back the same from what was read.
    const SettingTexts texts = settingTexts(settings.paths, settings.singleClick);
    for (size_t i = 0; i < texts.size(); ++i) {
        if (seen && (*seen)[i] == texts[i]) continue;
        if (write(kSettingRows[i].name, texts[i]) && seen) (*seen)[i] = texts[i];
    }
    // Records of one title share the first one's flags: that one is written,
    // once, and a later one cannot undo a change made through it.
    std::unordered_set<std::string> titles;
    for (const GameOptions& game : settings.games)
        if (!titleNamesASetting(game.title) && titles.insert(game.title).second)
            write(game.title, encodeOptionFlags(game.flags));
}

void forgetMainPath(Platform& os) {
    if (auto key = os.openKey(RootKey::LocalMachine, kSettingsKey, KeyAccess::ReadWrite))
        key->setString(kMainPathValue, "");
}

bool uninstallSettingsKey(Platform& os) {
    // Deleting a subkey needs no right to write its parent.
    std::unique_ptr<RegistryKey> parent =
        os.openKey(RootKey::LocalMachine, "SOFTWARE\\Tolvane", KeyAccess::Read);
    return parent && parent->deleteSubKey("Tolvane Quon FrontEnd v2.09");
}

}  // namespace qn
