// Where a text puts its ink: the text drawn black on white with the font the
// controls would get, without smoothing, so the mask has no soft edges.
#include "ui/win32/win32_backend.h"

namespace qn::ui {

Backend::TextMask Win32Backend::renderText(const Font& font, const std::string& text) {
    return renderTextAt(font, text, kLayoutDpi);
}

Backend::TextMask Win32Backend::renderTextAt(const Font& font, const std::string& text, int dpi) {
    TextMask mask;
    if (text.empty()) return mask;
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return mask;
    HGDIOBJ oldFont = SelectObject(dc, this->font(font, dpi, NONANTIALIASED_QUALITY));
    const int length = static_cast<int>(text.size());
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), length, &size);

    const BITMAPINFO info = topDownBitmapInfo(size.cx, size.cy, 32);
    void* bits = nullptr;
    HBITMAP bitmap = size.cx > 0 && size.cy > 0
                         ? CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0)
                         : nullptr;
    if (bitmap && bits) {
        HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
        RECT all{0, 0, size.cx, size.cy};
        SetBkColor(dc, RGB(255, 255, 255));
        SetTextColor(dc, RGB(0, 0, 0));
        // White paper over the whole extent, black text on it.
        ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &all, text.c_str(), static_cast<UINT>(length), nullptr);
        GdiFlush();  // the bits are read directly

        mask.width = size.cx;
        mask.height = size.cy;
        mask.ink.resize(static_cast<size_t>(size.cx) * static_cast<size_t>(size.cy));
        const auto* pixel = static_cast<const std::uint8_t*>(bits);  // blue, green, red, unused
        for (size_t i = 0; i < mask.ink.size(); ++i, pixel += 4) {
            const int luma = (pixel[2] * 299 + pixel[1] * 587 + pixel[0] * 114) / 1000;
            mask.ink[i] = luma < 128 ? 1 : 0;
        }
        SelectObject(dc, oldBitmap);
    }
    if (bitmap) DeleteObject(bitmap);
    SelectObject(dc, oldFont);
    DeleteDC(dc);
    return mask;
}

}  // namespace qn::ui
