// Owners for GDI's objects and device contexts, and a guard for what is
// selected into a device context, so none is paired with its release by hand.
#pragma once

#include "platform/win32/scoped_handle.h"

namespace qn {

// A pen, brush, font or bitmap: made by its Create function, given back by
// DeleteObject once nothing has it selected.
template <typename Object>
struct GdiObjectTraits {
    using Handle = Object;
    static Handle none() { return nullptr; }
    static bool valid(Handle h) { return h != nullptr; }
    static void close(Handle h) { DeleteObject(h); }
};

// A device context of its own, from CreateCompatibleDC.
struct MemoryDcTraits {
    using Handle = HDC;
    static Handle none() { return nullptr; }
    static bool valid(Handle h) { return h != nullptr; }
    static void close(Handle h) { DeleteDC(h); }
};

using ScopedFont = ScopedHandle<GdiObjectTraits<HFONT>>;
using ScopedBrush = ScopedHandle<GdiObjectTraits<HBRUSH>>;
using ScopedBitmap = ScopedHandle<GdiObjectTraits<HBITMAP>>;
using ScopedMemoryDc = ScopedHandle<MemoryDcTraits>;

// A window's device context (the screen's for a null window), from GetDC;
// ReleaseDC needs the window it came from.
class WindowDc {
public:
    explicit WindowDc(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
    ~WindowDc() {
        if (dc_) ReleaseDC(hwnd_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }
    explicit operator bool() const { return dc_ != nullptr; }

private:
    HWND hwnd_;
    HDC dc_;
};

// Selects an object into a device context and puts back what it replaced on
// leaving the scope: an object cannot be deleted while it is selected.
class SelectionGuard {
public:
    SelectionGuard(HDC dc, HGDIOBJ object) : dc_(dc), previous_(SelectObject(dc, object)) {}
    ~SelectionGuard() {
        if (previous_ && previous_ != HGDI_ERROR) SelectObject(dc_, previous_);
    }
    SelectionGuard(const SelectionGuard&) = delete;
    SelectionGuard& operator=(const SelectionGuard&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace qn
