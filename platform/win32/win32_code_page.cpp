// The system's ANSI code page, at the doors where text still comes in it.
#include "platform/win32/win32_platform.h"

#include "platform/ascii.h"
#include "platform/win32/platform_parts.h"
#include "platform/win32/win32.h"
#include "platform/win32/wide_text.h"

namespace qn {

std::string Win32Platform::codePageToUtf8(std::string bytes) {
    // Every code page spells ASCII as ASCII; catalogues of megabytes mostly are.
    if (isAscii(bytes)) return bytes;
    const int size = static_cast<int>(bytes.size());
    const int chars = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
    if (chars <= 0) return std::string();
    std::wstring text(chars, L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, &text[0], chars);
    return narrow(text);
}

std::string codePageBytes(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int size = static_cast<int>(text.size());
    const int bytes = WideCharToMultiByte(CP_ACP, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return std::string();
    std::string out(bytes, '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), size, &out[0], bytes, nullptr, nullptr);
    return out;
}

bool Win32Platform::codePageSpells(const std::string& text) {
    const std::wstring wtext = wide(text);
    if (wtext.empty()) return true;
    // Without best fit a letter the code page lacks is a default character,
    // never a look-alike that names another file.
    BOOL usedDefault = FALSE;
    const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wtext.data(),
                                         static_cast<int>(wtext.size()), nullptr, 0, nullptr,
                                         &usedDefault);
    return size > 0 && !usedDefault;
}

}  // namespace qn
