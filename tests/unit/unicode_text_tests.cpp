#include "platform/unicode_text.h"

#include "platform/ascii.h"

#include <gtest/gtest.h>

namespace qn {
namespace {

TEST(UnicodeText, Utf8AndUtf16CarryEveryCharacterBothWays) {
    const struct { const char* utf8; std::u16string utf16; } cases[] = {
        {"C:\\Games\\", u"C:\\Games\\"},
        {"c:\\\xC3\x89mulateur\\", u"c:\\\u00C9mulateur\\"},                    // Latin-1
        {"C:\\\xD0\x98\xD0\xB3\xD1\x80\xD1\x8B", u"C:\\\u0418\u0433\u0440\u044B"},  // Cyrillic
        {"\xE3\x82\xB2\xE3\x83\xBC\xE3\x83\xA0", u"\u30B2\u30FC\u30E0"},           // Japanese
        {"\xF0\x9F\x8E\xAE", u"\U0001F3AE"},                                       // surrogate pair
        {"", u""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(utf8ToUtf16(c.utf8), c.utf16) << c.utf8;
        EXPECT_EQ(utf16ToUtf8(c.utf16), c.utf8) << c.utf8;
    }
}

TEST(UnicodeText, BrokenInputReadsAsReplacementCharacters) {
    const struct { std::string utf8; std::u16string utf16; } fromUtf8[] = {
        {"a\xE9z", u"a\uFFFDz"},              // a code-page byte, not UTF-8
        {"\xC0\xAF", u"\uFFFD\uFFFD"},       // overlong slash
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},  // encoded surrogate
        {"\xE3\x82", u"\uFFFD\uFFFD"},        // cut at the end
        {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
    };
    for (const auto& c : fromUtf8) EXPECT_EQ(utf8ToUtf16(c.utf8), c.utf16);
    EXPECT_EQ(utf16ToUtf8(std::u16string(1, char16_t(0xD800)) + u"x"), "\xEF\xBF\xBDx");
    EXPECT_EQ(utf16ToUtf8(std::u16string(1, char16_t(0xDC00))), "\xEF\xBF\xBD");
}

TEST(UnicodeText, ATextIsAsciiUnlessAByteAnywhereInItIsNot) {
    for (size_t size : {0, 1, 63, 64, 65, 130}) {
        const std::string ascii(size, '\x7F');
        EXPECT_TRUE(isAscii(ascii)) << size;
        for (size_t at = 0; at < size; ++at) {
            std::string text = ascii;
            text[at] = '\x80';
            EXPECT_FALSE(isAscii(text)) << size << " " << at;
        }
    }
}

TEST(UnicodeText, CodePage1252ReadsAsWindowsReadsIt) {
    const struct { std::string bytes; const char* utf8; } cases[] = {
        {"Pac-Man", "Pac-Man"},
        {"Caf\xE9", "Caf\xC3\xA9"},
        {"\x80 \x8A \x9F", "\xE2\x82\xAC \xC5\xA0 \xC5\xB8"},
        {"\x81\x8D\x8F\x90\x9D", "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"},  // unassigned
        {"\xFF", "\xC3\xBF"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cp1252ToUtf8(c.bytes), c.utf8);
        EXPECT_EQ(utf8ToCp1252(c.utf8), c.bytes);
    }
    // What the code page cannot spell, or what is not text at all.
    for (const char* text : {"\xD0\x98", "\xE3\x82\xB2", "\xE2\x82\xAD", "a\xE9"})
        EXPECT_FALSE(utf8ToCp1252(text).has_value()) << text;
}

TEST(UnicodeText, LowerCaseFoldsEveryCapitalWithASmallForm) {
    const struct { const char* in; const char* out; } cases[] = {
        {"C:\\GAMES\\QUON.EXE", "c:\\games\\quon.exe"},
        {"\xC3\x89\xC3\x80\xC3\x9E\xC3\x97\xC3\x9F", "\xC3\xA9\xC3\xA0\xC3\xBE\xC3\x97\xC3\x9F"},  // ÉÀÞ×ß
        {"\xC5\xA0\xC5\x92\xC5\xB8\xC4\x80\xC5\x81\xC5\xBD", "\xC5\xA1\xC5\x93\xC3\xBF\xC4\x81\xC5\x82\xC5\xBE"},  // ŠŒŸĀŁŽ
        {"\xC4\xB0\xC4\xB1", "i\xC4\xB1"},   // İ to i; dotless ı has no capital form to lose
        {"\xCE\x91\xCE\xA9\xCE\x86\xCE\x8F\xCE\xAB", "\xCE\xB1\xCF\x89\xCE\xAC\xCF\x8E\xCF\x8B"},  // ΑΩΆΏΫ
        {"\xD0\x98\xD0\xB3\xD0\xA0\xD0\xAB\xD0\x81\xD0\x8E\xD1\xA2\xD2\x90\xD3\x80",
         "\xD0\xB8\xD0\xB3\xD1\x80\xD1\x8B\xD1\x91\xD1\x9E\xD1\xA3\xD2\x91\xD3\x8F"},  // ИгРЫЁЎѢҐӀ
        {"\xE3\x82\xB2\xE3\x83\xBC\xE3\x83\xA0 \xEF\xBC\xA1", "\xE3\x82\xB2\xE3\x83\xBC\xE3\x83\xA0 \xEF\xBD\x81"},  // kana stay, Ａ
        {"A\xE9Z", "a\xE9z"},                 // a stray byte stays as it is
    };
    for (const auto& c : cases) EXPECT_EQ(lowerUtf8(c.in), c.out) << c.in;
}

}  // namespace
}  // namespace qn
