#include "settings/settings_store.h"

#include <algorithm>

#include "app/app.h"
#include "app/main_window/main_window.h"
#include "app/dialogs/config_dialog.h"
#include "catalogue/catalogue_file.h"

namespace qn {

std::optional<std::string> readRegistryText(RegistryKey& key, const std::string& name) {
    std::optional<std::uint32_t> size = key.valueSize(name);
    if (!size || *size <= 1) return std::nullopt;
    std::optional<std::string> data = key.valueData(name, *size);
    if (!data) return std::nullopt;
    std::string text = data->substr(0, data->find('\0'));
    // A value whose text ends before it starts holds nothing, however long.
    if (text.empty()) return std::nullopt;
    return text;
}

bool titleNamesASetting(const std::string& title) {
    const std::string name = title.substr(0, title.find('\0'));
    auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    for (const char* setting : kSettingValueNames) {
        const std::string s(setting);
        if (s.size() == name.size() &&
            std::equal(s.begin(), s.end(), name.begin(),
                       [&](char a, char b) { return upper(a) == upper(b); }))
            return true;
    }
    return false;
}

std::string withTrailingBackslash(const std::string& directory) {
    if (directory.empty() || directory.back() == '\\') return directory;
    return directory + "\\";
}

std::string encodeOptionFlags(const std::array<bool, 8>& flags) {
    std::string text;
    for (bool f : flags) text += f ? '1' : '0';
    return text;
}

void DeleteSettingsKey(App& app) { app.os.deleteKey(RootKey::LocalMachine, kSettingsKey); }

void LoadSettings(App& app) {
    std::unique_ptr<RegistryKey> key = app.os.openKey(RootKey::LocalMachine, kSettingsKey);
    if (!key) {
        app.os.messageBox(MessageKind::Information, kFirstRunMessage);
        app.state.Updating = true;
        return;
    }

    if (!key->valueSize("Main Program Path")) {
        key.reset();
        app.os.messageBox(MessageKind::Warning,
                          "Error reading Main Program Path value. Restart this program");
        DeleteSettingsKey(app);
        app.os.exitProcess(1);
    }
    if (auto main = readRegistryText(*key, "Main Program Path")) {
        app.tpaths.mainPath = withTrailingBackslash(*main);
    } else {
        app.os.messageBox(MessageKind::Information, kFirstRunMessage);
        app.state.Updating = true;
    }

    if (auto v = readRegistryText(*key, "Quon Path")) app.tpaths.emulatorPath = withTrailingBackslash(*v);
    if (auto v = readRegistryText(*key, "PkUnzip Program")) app.tpaths.unzipProgram = *v;
    if (auto v = readRegistryText(*key, "Compressed ROMs Path")) app.tpaths.romsPath = withTrailingBackslash(*v);
    if (auto v = readRegistryText(*key, "Drivers Path")) app.tpaths.driversPath = withTrailingBackslash(*v);
    if (auto v = readRegistryText(*key, "Interface")) app.singleClick = *v != "Common";

    // The catalogue's failure deletes the key: let go of it first.
    key.reset();
    LoadCatalogue(app);
    key = app.os.openKey(RootKey::LocalMachine, kSettingsKey);
    if (!key) return;

    GameCatalogue& cat = app.catalogue;
    for (int g = 0; g < cat.GameCount; ++g) {
        if (titleNamesASetting(cat.games[g].Title)) continue;
        std::optional<std::string> flags = readRegistryText(*key, cat.games[g].Title);
        if (!flags) continue;
        for (size_t j = 0; j < flags->size() && j < OptionCount; ++j)
            cat.games[g].OptionFlags[j] = (*flags)[j] == '1';
    }
}

void SaveSettings(App& app) {
    std::unique_ptr<RegistryKey> key = app.os.createKey(RootKey::LocalMachine, kSettingsKey);
    if (!key) {
        app.os.messageBox(MessageKind::Error, "Error creating/opening program registry key");
        return;
    }
    TPaths& p = app.tpaths;
    if (!app.Form1->CheckBox7.checked() && !app.state.Updating) {
        p.romsPath.clear();
        p.unzipProgram.clear();
    }

    auto write = [&](const std::string& name, const std::string& text) {
        if (!key->setString(name, text))
            app.os.messageBox(MessageKind::Error, "Error setting " + name + " registry value");
    };
    write("Main Program Path", p.mainPath);
    write("Quon Path", p.emulatorPath);
    write("PkUnzip Program", p.unzipProgram);
    write("Compressed ROMs Path", p.romsPath);
    write("Drivers Path", p.driversPath);

    bool cool = app.state.Updating ? app.Form5->ComboBox1.itemIndex() == 0 : app.singleClick;
    write("Interface", cool ? "Cool" : "Common");

    const GameCatalogue& cat = app.catalogue;
    for (int g = 0; g < cat.GameCount; ++g)
        if (!titleNamesASetting(cat.games[g].Title))
            write(cat.games[g].Title, encodeOptionFlags(cat.games[g].OptionFlags));
}

void ApplySettings(App& app) {
    TForm1& f = *app.Form1;
    if (f.ListView1.selectedRow() < 0 && app.catalogue.GameCount > 0) {
        // Checking a box here shows a flag; the boxes' handlers store flags
        // only for the user's toggles.
        const auto& flags = app.catalogue.games[0].OptionFlags;
        for (int j = 0; j < OptionCount; ++j)
            if (flags[j]) f.optionBox(j)->setChecked(true);
    }
    app.state.Updating = true;
    f.Edit4.setText(app.tpaths.driversPath);
    if (!app.tpaths.driversPath.empty()) f.CheckBox8.setChecked(true);
    if (!app.tpaths.unzipProgram.empty() || !app.tpaths.romsPath.empty()) {
        f.CheckBox7.setChecked(true);
    } else if (f.CheckBox7.onClick) {
        // Run once with the box unchecked: this greys the compressed-ROM
        // boxes and empties both settings.
        f.CheckBox7.onClick();
    }
    f.Edit1.setText(app.tpaths.emulatorPath);
    f.Edit2.setText(app.tpaths.unzipProgram);
    f.Edit3.setText(app.tpaths.romsPath);
}

}  // namespace qn
