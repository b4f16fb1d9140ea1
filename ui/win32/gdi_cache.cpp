// The fonts and brushes shared by all controls, made when first asked for and
// kept for the life of the backend; measuring text; the system's colours.
#include "ui/win32/win32_backend.h"

#include <cwchar>

#include "platform/win32/wide_text.h"

namespace qn::ui {

namespace {

int sysColorIndex(SysColor color) {
    switch (color) {
    case SysColor::Window: return COLOR_WINDOW;
    case SysColor::ButtonFace: return COLOR_BTNFACE;
    case SysColor::Highlight: return COLOR_HIGHLIGHT;
    case SysColor::WindowText: return COLOR_WINDOWTEXT;
    case SysColor::ButtonText: return COLOR_BTNTEXT;
    case SysColor::GrayText: return COLOR_GRAYTEXT;
    case SysColor::HotLight: return COLOR_HOTLIGHT;
    }
    return COLOR_WINDOWTEXT;
}

bool askHighContrast() {
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof(contrast);
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON);
}

// Asked once, and again whenever the scheme changes: every painting reads it.
bool& highContrastOn() {
    static bool on = askHighContrast();
    return on;
}

}  // namespace

bool Win32Backend::highContrast() { return highContrastOn(); }

void Win32Backend::schemeChanged() { schemeChanged(askHighContrast()); }

void Win32Backend::schemeChanged(bool highContrast) { highContrastOn() = highContrast; }

HFONT Win32Backend::font(const Font& font, int dpi) { return this->font(font, dpi, DEFAULT_QUALITY); }

HFONT Win32Backend::font(const Font& font, int dpi, BYTE quality) {
    auto key = std::make_tuple(font.face, font.points, font.bold, font.underline, dpi, quality);
    auto it = fonts_.find(key);
    if (it != fonts_.end()) return it->second.get();
    LOGFONTW lf{};
    lf.lfHeight = -scaleFontHeight(font.points, dpi);  // the character height: 8 pt is 11 pixels at 96
    lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    lf.lfUnderline = font.underline ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = quality;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    std::wcsncpy(lf.lfFaceName, wide(font.face).c_str(), LF_FACESIZE - 1);
    const HFONT handle = CreateFontIndirectW(&lf);
    fonts_.emplace(key, ScopedFont(handle));
    return handle;
}

SIZE Win32Backend::textSize(HFONT font, const std::string& text, UINT flags) {
    if (!measuring_) measuring_.reset(CreateCompatibleDC(nullptr));
    const SelectionGuard withFont(measuring_.get(), font);
    RECT r{0, 0, 0, 0};
    DrawTextW(measuring_.get(), wide(text).c_str(), -1, &r, DT_CALCRECT | flags);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

HBRUSH Win32Backend::brush(COLORREF color) {
    auto it = brushes_.find(color);
    if (it != brushes_.end()) return it->second.get();
    const HBRUSH handle = CreateSolidBrush(color);
    brushes_.emplace(color, ScopedBrush(handle));
    return handle;
}

COLORREF Win32Backend::colorRef(const Color& color) {
    if (color.system) return GetSysColor(sysColorIndex(color.sys));
    // Under high contrast the program's own colours give way to the scheme's.
    if (highContrast()) return GetSysColor(sysColorIndex(color.contrast));
    return RGB(color.r, color.g, color.b);
}

COLORREF Win32Backend::textColorOn(const Color& color, int face) {
    // The scheme's text colour, on a face that has a text colour of its own.
    const bool windowText = color.system ? color.sys == SysColor::WindowText
                                         : highContrast() && color.contrast == SysColor::WindowText;
    if (windowText && face == COLOR_BTNFACE) return GetSysColor(COLOR_BTNTEXT);
    return colorRef(color);
}

std::array<std::uint8_t, 3> Win32Backend::systemColor(SysColor color) {
    const COLORREF c = GetSysColor(sysColorIndex(color));
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

}  // namespace qn::ui
