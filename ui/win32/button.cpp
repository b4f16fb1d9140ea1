// The button's peer: owner drawn, so it can be flat, stay down in its group,
// and show its caption in the font's colour.
#include "ui/win32/peers.h"
#include "ui/contrast.h"
#include "ui/win32/win32_backend.h"

#include "platform/win32/scoped_gdi.h"

namespace qn::ui {

NativePeer::Creation ButtonPeer::creation() const { return {L"BUTTON", BS_OWNERDRAW, 0}; }

bool ButtonPeer::onCommand(int code) {
    // The second press of a double click is a click all the same, as on any
    // push button.
    if (code == BN_CLICKED || code == BN_DOUBLECLICKED) button().click();
    return true;
}

void ButtonPeer::update(Property property, int index) {
    NativePeer::update(property, index);
    switch (property) {
    case Property::Caption:
    case Property::Font:
    case Property::Flat:
    case Property::Pressed: repaint(false); break;
    default: break;
    }
}

bool ButtonPeer::handle(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_GETDLGCODE:
        // Enter presses the focused button, as in any dialog; the dialog
        // manager would otherwise turn it into a command for no one.
        result = dialogCodeTaking(wp, lp, {VK_RETURN});
        return true;
    case WM_KEYDOWN:
        if (wp == VK_RETURN && !(lp & (1 << 30))) button().click();  // not again while held
        return wp == VK_RETURN;
    // The mouse presses a button as the system's own button handling does,
    // but without taking the keyboard focus: the keys stay with the control
    // the user was in. The keyboard's Space is left to the system.
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        tracking_ = true;
        SetCapture(hwnd());
        SendMessageW(hwnd(), BM_SETSTATE, TRUE, 0);
        result = 0;
        return true;
    case WM_LBUTTONUP: {
        if (!tracking_) return false;
        tracking_ = false;
        const bool pushed = (SendMessageW(hwnd(), BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
        SendMessageW(hwnd(), BM_SETSTATE, FALSE, 0);
        ReleaseCapture();
        // Reported as the system's button reports it, after it has come up.
        if (pushed && pointInside(lp))
            SendMessageW(GetParent(hwnd()), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd()), BN_CLICKED),
                         reinterpret_cast<LPARAM>(hwnd()));
        result = 0;
        return true;
    }
    case WM_CAPTURECHANGED:
        if (tracking_) {
            tracking_ = false;
            SendMessageW(hwnd(), BM_SETSTATE, FALSE, 0);
        }
        return false;
    case WM_MOUSEMOVE:
        if (tracking_) {
            // Down while the pointer is on the button, up when it leaves it.
            const bool inside = pointInside(lp);
            if (inside != ((SendMessageW(hwnd(), BM_GETSTATE, 0, 0) & BST_PUSHED) != 0))
                SendMessageW(hwnd(), BM_SETSTATE, inside, 0);
        }
        if (!hot_) {
            hot_ = true;
            TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, hwnd(), 0};
            TrackMouseEvent(&track);
            if (button().flat()) InvalidateRect(hwnd(), nullptr, FALSE);
        }
        return false;
    case WM_MOUSELEAVE:
        hot_ = false;
        if (button().flat()) InvalidateRect(hwnd(), nullptr, FALSE);
        return false;
    default: return false;
    }
}

bool ButtonPeer::pointInside(LPARAM lp) const {
    RECT r;
    GetClientRect(hwnd(), &r);
    const POINT p{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
    return PtInRect(&r, p) != 0;
}

bool ButtonPeer::onDrawItem(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT r = item.rcItem;
    const bool pushing = (item.itemState & ODS_SELECTED) != 0;
    const bool down = pushing || button().pressed();
    if (button().flat()) {
        FillRect(dc, &r, backend().brush(background(COLOR_BTNFACE)));
        if (down)
            DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
        else if (hot_ && control().enabled())
            DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
    } else {
        // A button held down by its group shows the checked (dithered) face.
        UINT state = DFCS_BUTTONPUSH;
        if (pushing)
            state |= DFCS_PUSHED;
        else if (down)
            state |= DFCS_CHECKED;
        DrawFrameControl(dc, &r, DFC_BUTTON, state);
    }

    RECT text = item.rcItem;
    if (down) OffsetRect(&text, 1, 1);
    {  // the caption, in the button's font
        const SelectionGuard withFont(dc, font());
        const int oldMode = SetBkMode(dc, TRANSPARENT);
        const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
        const std::wstring captionText = wide(control().caption());
        const wchar_t* caption = captionText.c_str();
        if (control().enabled()) {
            COLORREF color = Win32Backend::textColorOn(control().font().color, COLOR_BTNFACE);
            if (down && !pushing && !button().flat()) {
                // The checked face is the face dithered with the highlight,
                // which a dark scheme's light text may not stand out from.
                const COLORREF face = GetSysColor(COLOR_BTNFACE), light = GetSysColor(COLOR_BTNHIGHLIGHT);
                auto rgb = [](COLORREF c) { return Rgb{GetRValue(c), GetGValue(c), GetBValue(c)}; };
                const Rgb mixed{std::uint8_t((GetRValue(face) + GetRValue(light)) / 2),
                                std::uint8_t((GetGValue(face) + GetGValue(light)) / 2),
                                std::uint8_t((GetBValue(face) + GetBValue(light)) / 2)};
                const Rgb chosen = firstReadable({rgb(color), rgb(face)}, mixed, kTextContrast);
                color = RGB(chosen.r, chosen.g, chosen.b);
            }
            SetTextColor(dc, color);
            DrawTextW(dc, caption, -1, &text, format);
        } else {
            // Embossed, as disabled captions are drawn.
            RECT shade = text;
            OffsetRect(&shade, 1, 1);
            SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
            DrawTextW(dc, caption, -1, &shade, format);
            SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
            DrawTextW(dc, caption, -1, &text, format);
        }
        SetBkMode(dc, oldMode);
    }
    // Only buttons the keyboard can reach show where it is.
    if (control().tabStop() && (item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        RECT focus = item.rcItem;
        const int inset = scaleLength(3, dpi());
        InflateRect(&focus, -inset, -inset);
        DrawFocusRect(dc, &focus);
    }
    return true;
}

}  // namespace qn::ui
