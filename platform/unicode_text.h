// Text inside the program is UTF-8; the system speaks UTF-16 and, at its
// oldest doors, the Windows Latin-1 code page (1252). These convert plain
// data between them, on any host.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qn {

// A byte sequence that is not UTF-8 (a stray byte, an overlong form, a
// surrogate) reads as U+FFFD, one per bad byte, so nothing is lost silently
// and nothing beyond the text is read.
std::u16string utf8ToUtf16(std::string_view text);
// A surrogate without its partner reads as U+FFFD.
std::string utf16ToUtf8(std::u16string_view text);

// Code page 1252 as Windows reads it: its five unassigned bytes become the
// control characters of the same number.
std::string cp1252ToUtf8(std::string_view bytes);
// The code page's bytes for a text, or nothing when one of its characters
// has none there.
std::optional<std::string> utf8ToCp1252(std::string_view text);

// Lower case as the Windows edit control makes it, letter by letter: the
// Latin, Greek and Cyrillic capitals with a small form; anything else, and
// text that is not UTF-8, stays as it is.
std::string lowerUtf8(std::string_view text);
char16_t lowerLetter(char16_t c);

}  // namespace qn
