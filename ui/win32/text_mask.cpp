// Where a text puts its ink: the text drawn black on white with the font the
// controls would get, without smoothing, so the mask has no soft edges.
#include "ui/win32/win32_backend.h"

#include "platform/win32/scoped_gdi.h"
#include "platform/win32/wide_text.h"

namespace qn::ui {

Backend::TextMask Win32Backend::renderText(const Font& font, const std::string& text) {
    return renderTextAt(font, text, kLayoutDpi);
}

Backend::TextMask Win32Backend::renderTextAt(const Font& font, const std::string& text, int dpi) {
    TextMask mask;
    if (text.empty()) return mask;
    const ScopedMemoryDc memory(CreateCompatibleDC(nullptr));
    if (!memory) return mask;
    const HDC dc = memory.get();
    const SelectionGuard withFont(dc, this->font(font, dpi, NONANTIALIASED_QUALITY));
    const std::wstring wtext = wide(text);
    const int length = static_cast<int>(wtext.size());
    SIZE size{};
    GetTextExtentPoint32W(dc, wtext.c_str(), length, &size);

    const BITMAPINFO info = topDownBitmapInfo(size.cx, size.cy, 32);
    void* bits = nullptr;
    const ScopedBitmap bitmap(size.cx > 0 && size.cy > 0
                                  ? CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0)
                                  : nullptr);
    if (!bitmap || !bits) return mask;
    // Declared after the bitmap, so it is put back before the bitmap goes.
    const SelectionGuard withBitmap(dc, bitmap.get());
    RECT all{0, 0, size.cx, size.cy};
    SetBkColor(dc, RGB(255, 255, 255));
    SetTextColor(dc, RGB(0, 0, 0));
    // White paper over the whole extent, black text on it.
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &all, wtext.c_str(), static_cast<UINT>(length), nullptr);
    GdiFlush();  // the bits are read directly

    mask.width = size.cx;
    mask.height = size.cy;
    mask.ink.resize(static_cast<size_t>(size.cx) * static_cast<size_t>(size.cy));
    const auto* pixel = static_cast<const std::uint8_t*>(bits);  // blue, green, red, unused
    for (size_t i = 0; i < mask.ink.size(); ++i, pixel += 4) {
        const int luma = (pixel[2] * 299 + pixel[1] * 587 + pixel[0] * 114) / 1000;
        mask.ink[i] = luma < 128 ? 1 : 0;
    }
    return mask;
}

}  // namespace qn::ui
