#include "platform/unicode_text.h"

namespace qn {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The code page's bytes 0x80-0x9F; the rest are the same numbers in Unicode.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// One character from `text` at `at`, which moves past it; nothing (and one
// byte passed) where the bytes are not UTF-8.
std::optional<char32_t> nextCodePoint(std::string_view text, std::size_t& at) {
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    ++at;
    if (lead < 0x80) return lead;
    int more = 0;
    char32_t c = 0, least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) more = 1, c = lead & 0x1F, least = 0x80;
    else if (lead >= 0xE0 && lead <= 0xEF) more = 2, c = lead & 0x0F, least = 0x800;
    else if (lead >= 0xF0 && lead <= 0xF4) more = 3, c = lead & 0x07, least = 0x10000;
    else return std::nullopt;
    if (text.size() - at < static_cast<std::size_t>(more)) return std::nullopt;
    for (int i = 0; i < more; ++i) {
        const unsigned char next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) return std::nullopt;
        c = (c << 6) | (next & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return std::nullopt;
    at += more;
    return c;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Pairs of a capital at an even number and its small form right after it.
bool inEvenPairs(char16_t c, char16_t first, char16_t last) {
    return c >= first && c <= last && (c - first) % 2 == 0;
}

char16_t lowerLatin(char16_t c) {
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
    if (c == 0x130) return u'i';
    if (c == 0x178) return 0xFF;
    if (inEvenPairs(c, 0x100, 0x12E) || inEvenPairs(c, 0x132, 0x136) ||
        inEvenPairs(c, 0x139, 0x147) || inEvenPairs(c, 0x14A, 0x176) ||
        inEvenPairs(c, 0x179, 0x17D))
        return c + 1;
    return c;
}

char16_t lowerGreek(char16_t c) {
    if ((c >= 0x391 && c <= 0x3AB && c != 0x3A2)) return c + 0x20;
    switch (c) {
    case 0x386: return 0x3AC;
    case 0x388: case 0x389: case 0x38A: return c + 0x25;
    case 0x38C: return 0x3CC;
    case 0x38E: case 0x38F: return c + 0x3F;
    default: break;
    }
    if (inEvenPairs(c, 0x3D8, 0x3EE)) return c + 1;
    return c;
}

char16_t lowerCyrillic(char16_t c) {
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;
    if (c == 0x4C0) return 0x4CF;
    if (inEvenPairs(c, 0x460, 0x480) || inEvenPairs(c, 0x48A, 0x4BE) ||
        inEvenPairs(c, 0x4C1, 0x4CD) || inEvenPairs(c, 0x4D0, 0x52E))
        return c + 1;
    return c;
}

}  // namespace

std::u16string utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const char32_t c = nextCodePoint(text, at).value_or(kReplacement);
        if (c < 0x10000) {
            out += static_cast<char16_t>(c);
        } else {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
    return out;
}

std::string utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = kReplacement;
        }
        appendUtf8(out, c);
    }
    return out;
}

std::string cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char b : bytes)
        appendUtf8(out, b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : b);
    return out;
}

std::optional<std::string> utf8ToCp1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::optional<char32_t> c = nextCodePoint(text, at);
        if (!c) return std::nullopt;
        if (*c < 0x80 || (*c >= 0xA0 && *c <= 0xFF)) {
            out += static_cast<char>(*c);
            continue;
        }
        int found = -1;
        for (int i = 0; i < 32; ++i)
            if (kCp1252High[i] == *c) found = i;
        if (found < 0) return std::nullopt;
        out += static_cast<char>(0x80 + found);
    }
    return out;
}

char16_t lowerLetter(char16_t c) {
    if (c < 0x80) return c >= 'A' && c <= 'Z' ? c + 0x20 : c;
    if (c < 0x180) return lowerLatin(c);
    if (c >= 0x370 && c < 0x400) return lowerGreek(c);
    if (c >= 0x400 && c < 0x530) return lowerCyrillic(c);
    if (c >= 0xFF21 && c <= 0xFF3A) return c + 0x20;  // full-width Latin
    return c;
}

std::string lowerUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t start = at;
        const std::optional<char32_t> c = nextCodePoint(text, at);
        if (!c) {
            out += text[start];  // not UTF-8: kept byte for byte
            continue;
        }
        appendUtf8(out, *c < 0x10000 ? lowerLetter(static_cast<char16_t>(*c)) : *c);
    }
    return out;
}

}  // namespace qn
