// The fonts and brushes shared by all controls, made when first asked for and
// kept for the life of the backend; measuring text; the system's colours.
#include "ui/win32/win32_backend.h"

#include <algorithm>
#include <cstdlib>
#include <cwchar>
#include <iterator>
#include <vector>

#include "platform/win32/wide_text.h"
#include "ui/contrast.h"

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

namespace {

// Faces that scale to any size and have the Latin, Greek and Cyrillic
// letters, nearest in look to the layout's "MS Sans Serif" first; narrow
// ones last, for where the others' text would not fit.
const char* const kScalableFaces[] = {"Microsoft Sans Serif", "Arial", "Tahoma", "Arial Narrow",
                                      "Liberation Sans Narrow"};

// A sample of the layout's texts, and how wide MS Sans Serif sets it at the
// size the layout was drawn with.
const wchar_t kSample[] = L"QUON path: Joystick support (not SideWinder) 0123456789";
constexpr int kLayoutSampleWidth = 283, kLayoutSampleHeight = 12;

bool scalable(const TEXTMETRICW& tm) { return (tm.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE)) != 0; }

}  // namespace

HFONT Win32Backend::font(const Font& font, int dpi, BYTE quality) {
    auto key = std::make_tuple(font.face, font.points, font.bold, font.underline, dpi, quality);
    auto it = fonts_.find(key);
    if (it != fonts_.end()) return it->second.get();
    const int height = scaleFontHeight(font.points, dpi);  // the character height: 8 pt is 11 pixels at 96
    LOGFONTW lf{};
    lf.lfHeight = -height;
    lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    lf.lfUnderline = font.underline ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = quality;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    std::wcsncpy(lf.lfFaceName, wide(font.face).c_str(), LF_FACESIZE - 1);
    HFONT handle = CreateFontIndirectW(&lf);
    // A face of a few fixed sizes (MS Sans Serif's bitmaps) asked for a size
    // it lacks comes at its nearest one, and would not grow with the screen
    // as the rest does: a scalable face stands in for it there, no wider
    // than the face's own text would be at that height, so text fits where
    // it did.
    const TEXTMETRICW tm = metrics(handle);
    if (dpi != kLayoutDpi && !scalable(tm) && std::abs(tm.tmHeight - tm.tmInternalLeading - height) > 1) {
        // The room the layout gives the text: a system of more dots per
        // inch has only larger, relatively wider bitmaps to measure.
        const int room = MulDiv(height, kLayoutSampleWidth, kLayoutSampleHeight);
        // The first face whose text fits at the full height, else the first
        // one made small enough to fit; as crisp as the bitmaps it replaces,
        // so thin strokes and dots are not greyed at their edges.
        HFONT shrunk = nullptr;
        lf.lfQuality = NONANTIALIASED_QUALITY;
        for (const char* face : kScalableFaces) {
            std::wcsncpy(lf.lfFaceName, wide(face).c_str(), LF_FACESIZE - 1);
            lf.lfHeight = -height;
            HFONT other = CreateFontIndirectW(&lf);
            if (!other) continue;
            const int width = scalable(metrics(other)) ? sampleWidth(other) : 0;
            if (width > 0 && width <= room) {
                DeleteObject(handle);
                handle = other;
                break;
            }
            DeleteObject(other);
            if (width > 0 && !shrunk) {
                lf.lfHeight = -std::max(1, MulDiv(height, room, width));
                shrunk = CreateFontIndirectW(&lf);
            }
        }
        if (!scalable(metrics(handle)) && shrunk) std::swap(handle, shrunk);
        if (shrunk) DeleteObject(shrunk);
    }
    fonts_.emplace(key, ScopedFont(handle));
    return handle;
}

HFONT Win32Backend::font(const Font& font, int dpi, const std::string& text) {
    HFONT base = this->font(font, dpi);
    if (hasGlyphs(base, text)) return base;
    // The system's controls draw text only in the font they are given
    // (edit boxes aside): where it lacks a letter, one that has them all.
    Font other = font;
    for (const char* face : kScalableFaces) {
        other.face = face;
        HFONT candidate = this->font(other, dpi);
        if (hasGlyphs(candidate, text)) return candidate;
    }
    return base;
}

int Win32Backend::sampleWidth(HFONT font) {
    if (!measuring_) measuring_.reset(CreateCompatibleDC(nullptr));
    const SelectionGuard withFont(measuring_.get(), font);
    SIZE size{};
    GetTextExtentPoint32W(measuring_.get(), kSample, static_cast<int>(std::size(kSample)) - 1, &size);
    return size.cx;
}

TEXTMETRICW Win32Backend::metrics(HFONT font) {
    if (!measuring_) measuring_.reset(CreateCompatibleDC(nullptr));
    const SelectionGuard withFont(measuring_.get(), font);
    TEXTMETRICW tm{};
    GetTextMetricsW(measuring_.get(), &tm);
    return tm;
}

bool Win32Backend::hasGlyphs(HFONT font, const std::string& text) {
    // Every face has plain ASCII: most texts need no question.
    if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return true;
    std::wstring w = wide(text);
    w.erase(std::remove_if(w.begin(), w.end(), [](wchar_t c) { return c < 0x20; }), w.end());
    if (w.empty()) return true;
    if (!measuring_) measuring_.reset(CreateCompatibleDC(nullptr));
    const SelectionGuard withFont(measuring_.get(), font);
    std::vector<WORD> glyphs(w.size());
    if (GetGlyphIndicesW(measuring_.get(), w.c_str(), static_cast<int>(w.size()), glyphs.data(),
                         GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR)
        return true;  // cannot tell: keep the face asked for
    return std::find(glyphs.begin(), glyphs.end(), WORD(0xFFFF)) == glyphs.end();
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
    return textColorOn(color, GetSysColor(face), face == COLOR_BTNFACE ? COLOR_BTNTEXT : COLOR_WINDOWTEXT);
}

COLORREF Win32Backend::textColorOn(const Color& color, COLORREF background, int schemeText) {
    // The scheme's text colour is the one it gives text on this background.
    auto scheme = [schemeText](SysColor s) {
        return s == SysColor::WindowText ? GetSysColor(schemeText) : GetSysColor(sysColorIndex(s));
    };
    if (color.system) return scheme(color.sys);
    if (highContrast()) return scheme(color.contrast);
    // The program's own colour where it can be read; where a scheme makes it
    // sink into the background, the scheme's colour for it, else its text.
    auto rgb = [](COLORREF c) { return Rgb{GetRValue(c), GetGValue(c), GetBValue(c)}; };
    const Rgb chosen =
        firstReadable({Rgb{color.r, color.g, color.b}, rgb(scheme(color.contrast)), rgb(GetSysColor(schemeText))},
                      rgb(background), color.mark ? kMarkContrast : kTextContrast);
    return RGB(chosen.r, chosen.g, chosen.b);
}

std::array<std::uint8_t, 3> Win32Backend::systemColor(SysColor color) {
    const COLORREF c = GetSysColor(sysColorIndex(color));
    return {GetRValue(c), GetGValue(c), GetBValue(c)};
}

}  // namespace qn::ui
