// The registry's text values and the option flags they hold. Each value is
// read as text the way the settings read it; its flags decode over what a
// game had; and a game read by its title gets those flags, unless its title
// names a setting.
//
// Input: fields cut at the byte 0xFF. Field 0's first byte holds the flags
// the games start with; then a title and a value per game, the value's
// first byte its registry type and the rest its stored bytes (an empty
// field: no value).
#include <memory>

#include "fuzz_check.h"
#include "platform/memory/memory_platform.h"
#include "settings/settings_store.h"

using namespace qn;
using namespace qn::fuzz;

namespace {

constexpr size_t kMostGames = 4;

// Text up to the first NUL, of a value of more than one byte.
std::optional<std::string> textOf(const std::optional<std::string>& stored) {
    if (!stored || stored->size() <= 1) return std::nullopt;
    const std::string text(stored->c_str());
    if (text.empty()) return std::nullopt;
    return text;
}

OptionFlags decoded(const std::optional<std::string>& text, OptionFlags flags) {
    if (text)
        for (size_t j = 0; j < flags.size() && j < text->size(); ++j) flags[j] = (*text)[j] == '1';
    return flags;
}

std::string flagText(const OptionFlags& flags) {
    std::string out;
    for (bool f : flags) out += f ? "1" : "0";
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    // One platform for the whole run; the key goes with each input, so that
    // an input leaves as much memory allocated as it found.
    static MemoryPlatform& os = *new MemoryPlatform;
    os.createKey(RootKey::LocalMachine, kSettingsKey);
    struct Forget {
        ~Forget() { os.deleteKey(RootKey::LocalMachine, kSettingsKey); }
    } forget;

    const Fields in(data, size);
    OptionFlags start{};
    const std::string first = in[0].value_or("");
    for (size_t j = 0; j < start.size() && !first.empty(); ++j) start[j] = (first[0] >> j) & 1;
    QN_CHECK(encodeOptionFlags(start) == flagText(start), encodeOptionFlags(start));
    OptionFlags back{};
    back.fill(true);
    decodeOptionFlags(encodeOptionFlags(start), back);
    QN_CHECK(back == start, "flags written and read back");

    std::vector<GameOptions> games;
    for (size_t g = 0; g < kMostGames && 2 + 2 * g <= in.count(); ++g) {
        const std::string title = *in[1 + 2 * g];
        const std::string value = in[2 + 2 * g].value_or("");
        if (!value.empty())
            os.setValue(RootKey::LocalMachine, kSettingsKey, title, value.substr(1),
                        static_cast<std::uint8_t>(value[0]));
        games.push_back({title, start});
    }

    std::unique_ptr<RegistryKey> key = os.openKey(RootKey::LocalMachine, kSettingsKey, KeyAccess::Read);
    for (size_t g = 0; g < games.size(); ++g) {
        const std::string& title = games[g].title;
        const std::optional<std::string> text = textOf(os.value(RootKey::LocalMachine, kSettingsKey, title));
        QN_CHECK(readRegistryText(*key, title) == text, shown(title));
        OptionFlags flags = start;
        if (text) decodeOptionFlags(*text, flags);
        QN_CHECK(flags == decoded(text, start), shown(text.value_or("")));

        const OptionFlags want = titleNamesASetting(title) ? start : flags;
        QN_CHECK(readGameOptions(os, games[g]), "the key is there");
        QN_CHECK(games[g].flags == want, shown(title) + ": " + flagText(want) + ", read " + flagText(games[g].flags));
    }
    return 0;
}
