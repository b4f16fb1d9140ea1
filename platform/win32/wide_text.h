// The doors between UTF-8 inside and the wide (W) functions: wchar_t is
// UTF-16 on Windows.
#pragma once

#include "platform/unicode_text.h"

#include <string>

namespace qn {

inline std::wstring wide(const std::string& utf8) {
    const std::u16string text = utf8ToUtf16(utf8);
    return std::wstring(text.begin(), text.end());
}

inline std::string narrow(const wchar_t* text, std::size_t length) {
    return utf16ToUtf8(std::u16string(text, text + length));
}

inline std::string narrow(const std::wstring& text) { return narrow(text.data(), text.size()); }

// A NUL-terminated wide string, up to its NUL.
inline std::string narrow(const wchar_t* text) {
    return text ? narrow(text, std::char_traits<wchar_t>::length(text)) : std::string();
}

}  // namespace qn
