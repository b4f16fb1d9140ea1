#include "fuzz_check.h"

#include <cstdio>
#include <cstdlib>

namespace qn::fuzz {

void fail(const char* check, const std::string& detail) {
    std::fprintf(stderr, "fuzz check failed: %s\n  %s\n", check, detail.c_str());
    std::abort();
}

std::string shown(std::string_view bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c >= 32 && c < 127 && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        }
    }
    return out;
}

Fields::Fields(const std::uint8_t* data, size_t size) {
    if (size == 0) return;
    all_ = std::string_view(reinterpret_cast<const char*>(data), size);
    const std::string_view all = all_;
    size_t from = 0;
    for (;;) {
        size_t cut = all.find('\xff', from);
        starts_.push_back(from);
        fields_.emplace_back(all.substr(from, cut == std::string_view::npos ? cut : cut - from));
        if (cut == std::string_view::npos) break;
        from = cut + 1;
    }
}

std::optional<std::string> Fields::operator[](size_t i) const {
    if (i >= fields_.size()) return std::nullopt;
    return fields_[i];
}

std::optional<std::string> Fields::rest(size_t i) const {
    if (i >= fields_.size()) return std::nullopt;
    return std::string(all_.substr(starts_[i]));
}

std::string printCatalogue(const GameCatalogue& catalogue, int count) {
    std::string out;
    for (int g = 0; g < count; ++g)
        out += "#" + catalogue.games[g].Title + "|" + catalogue.games[g].ShortName + "\r\n";
    return out;
}

std::string printRequiredFiles(const GameCatalogue& catalogue) {
    std::string out;
    for (size_t g = 0; g < catalogue.games.size(); ++g)
        for (const std::string& name : catalogue.games[g].RequiredFiles)
            out += "g" + std::to_string(g) + "\\" + name + "\r\n";
    return out;
}

}  // namespace qn::fuzz
