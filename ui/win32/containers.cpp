// Peers of the controls that hold others or paint themselves: the page
// control and its pages, panels, group boxes and images.
#include <algorithm>

#include "ui/win32/peers.h"
#include "ui/win32/win32_backend.h"

namespace qn::ui {

// --- PageControl: a tab control whose pages are child windows filling its
// display area; only the active one is shown. The control parent style lets
// Tab walk into the active page.

NativePeer::Creation PageControlPeer::creation() const {
    DWORD style = WS_CLIPCHILDREN;
    if (pages().hotTrack()) style |= TCS_HOTTRACK;
    return {WC_TABCONTROLW, style, WS_EX_CONTROLPARENT};
}

std::vector<Control*> PageControlPeer::sheets() const {
    std::vector<Control*> result;
    for (Control* child : control().children())
        if (child->kind() == Kind::TabSheet) result.push_back(child);
    return result;
}

void PageControlPeer::childrenCreated() {
    int index = 0;
    for (Control* sheet : sheets()) {
        std::wstring caption = wide(sheet->caption());
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = &caption[0];
        SendMessageW(hwnd(), TCM_INSERTITEMW, WPARAM(index++), reinterpret_cast<LPARAM>(&item));
    }
    // The pages are laid out once the font, which sets the tabs' height,
    // comes with the rest of the control's properties.
    tabsBuilt_ = true;
}

void PageControlPeer::layoutPages() {
    RECT client;
    GetClientRect(hwnd(), &client);
    RECT r = client;
    SendMessageW(hwnd(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    RECT tab{};
    if (dpi() != kLayoutDpi && SendMessageW(hwnd(), TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&tab))) {
        // The control keeps the pages and its row of tabs a few fixed pixels
        // inside its frame: those are scaled like the layout, so the pages lie
        // where they would at 96 dpi, scaled.
        const int d = dpi();
        r.left = client.left + scaleLength(r.left - client.left, d);
        r.right = client.right - scaleLength(client.right - r.right, d);
        r.bottom = client.bottom - scaleLength(client.bottom - r.bottom, d);
        r.top = client.top + scaleLength(tab.top - client.top, d) + (tab.bottom - tab.top) +
                scaleLength(r.top - tab.bottom, d);
    }
    for (Control* sheet : sheets())
        if (HWND page = backend().windowOf(*sheet))
            SetWindowPos(page, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
}

void PageControlPeer::showActivePage() {
    const std::vector<Control*> all = sheets();
    HWND focus = GetFocus();
    for (size_t i = 0; i < all.size(); ++i) {
        const bool active = static_cast<int>(i) == pages().activePage();
        if (active) backend().buildPage(*all[i]);  // complete before it shows
        HWND page = backend().windowOf(*all[i]);
        if (!page) continue;
        if (!active && focus && (focus == page || IsChild(page, focus))) SetFocus(hwnd());
        ShowWindow(page, active ? SW_SHOW : SW_HIDE);
    }
}

void PageControlPeer::pageCaptionChanged(const Control& page) {
    const std::vector<Control*> all = sheets();
    const auto at = std::find(all.begin(), all.end(), &page);
    if (at == all.end()) return;
    std::wstring caption = wide(page.caption());
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = &caption[0];
    SendMessageW(hwnd(), TCM_SETITEMW, WPARAM(at - all.begin()), reinterpret_cast<LPARAM>(&item));
    layoutPages();  // the row of tabs may have changed
}

void PageControlPeer::update(Property property, int index) {
    switch (property) {
    case Property::ActivePage:
        // Setting the selection from here sends no notification.
        SendMessageW(hwnd(), TCM_SETCURSEL, WPARAM(pages().activePage()), 0);
        showActivePage();
        break;
    case Property::HotTrack: {
        const LONG style = GetWindowLongW(hwnd(), GWL_STYLE);
        const LONG wanted = pages().hotTrack() ? (style | TCS_HOTTRACK) : (style & ~TCS_HOTTRACK);
        if (wanted != style) {
            SetWindowLongW(hwnd(), GWL_STYLE, wanted);
            InvalidateRect(hwnd(), nullptr, TRUE);
        }
        break;
    }
    case Property::Font:
        // The space around each tab's caption is in pixels: scaled like the
        // rest (the control's own is 6 by 3 at 96 dpi, where it is left
        // alone), but never more than lets every tab fit in one row, as at
        // 96 dpi: a scalable face standing in for the layout's at another
        // size may be a little wider. A font's pixels do not grow quite in
        // step with the resolution, so the tabs are made as tall as at 96
        // dpi, scaled: the caption's height in the font's points and the
        // padding above and below it. The font, set after these, has the
        // tabs measured again.
        if (dpi() != kLayoutDpi || paddedFor_ != dpi()) {
            const int padding = 3;
            const int wanted = scaleLength(6, dpi());
            int captions = 0, count = 0;
            for (Control* sheet : sheets())
                captions += backend().textSize(font(), sheet->caption(), DT_SINGLELINE | DT_NOPREFIX).cx, ++count;
            RECT client;
            GetClientRect(hwnd(), &client);
            // Each tab's own edges take a few pixels beyond its padding.
            const int room = client.right - scaleLength(4 + 4 * count, dpi()) - captions;
            const int across = count ? std::clamp(room / (2 * count), 2, wanted) : wanted;
            SendMessageW(hwnd(), TCM_SETPADDING, 0, MAKELPARAM(across, scaleLength(padding, dpi())));
            // Back at 96 dpi, a height of 0 gives the control its own again.
            const int height = scaleFontHeight(control().font().points, kLayoutDpi) + 2 * padding;
            SendMessageW(hwnd(), TCM_SETITEMSIZE, 0,
                         MAKELPARAM(0, dpi() == kLayoutDpi ? 0 : scaleLength(height, dpi())));
            paddedFor_ = dpi();
        }
        NativePeer::update(property, index);
        if (tabsBuilt_) layoutPages();  // the tabs' height follows the font
        break;
    default: NativePeer::update(property, index);
    }
}

bool PageControlPeer::onNotify(NMHDR& header, LRESULT& result) {
    if (header.code != TCN_SELCHANGE) return false;
    result = 0;
    if (mirroring()) return true;
    const auto chosen = static_cast<int>(SendMessageW(hwnd(), TCM_GETCURSEL, 0, 0));
    pages().userSelectPage(chosen);
    if (pages().activePage() != chosen) {
        Mirror mirror(*this);
        update(Property::ActivePage, -1);
    }
    showActivePage();
    return true;
}

void PageControlPeer::turn(int step) {
    const int count = static_cast<int>(sheets().size());
    if (count == 0) return;
    pages().userSelectPage(((pages().activePage() + step) % count + count) % count);
}

// --- TabSheet: placed and shown by its page control.

NativePeer::Creation TabSheetPeer::creation() const {
    return {kPageClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
}

void TabSheetPeer::childrenCreated() {
    // A page made after its page control is placed by it.
    if (Control* owner = control().parent())
        if (auto* tabs = dynamic_cast<PageControlPeer*>(owner->peer())) tabs->pageMade();
}

void TabSheetPeer::rescale() {
    // Its place is the page control's to give: only the font here.
    Mirror mirror(*this);
    update(Property::Font, -1);
}

void TabSheetPeer::update(Property property, int index) {
    switch (property) {
    case Property::Visible: break;  // the page control shows the active page
    case Property::Caption:
        if (Control* owner = control().parent())
            if (auto* tabs = dynamic_cast<PageControlPeer*>(owner->peer()))
                tabs->pageCaptionChanged(control());
        break;
    default: NativePeer::update(property, index);
    }
}

// --- Panel: a plain window with a bevel.

NativePeer::Creation PanelPeer::creation() const {
    return {kPanelClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
}

void PanelPeer::paint(HDC dc) {
    fillFace(dc);
    RECT r;
    GetClientRect(hwnd(), &r);
    const UINT edge = static_cast<Panel&>(control()).bevel() == Panel::Bevel::Raised
                          ? BDR_RAISEDINNER
                          : BDR_SUNKENOUTER | BDR_RAISEDINNER;
    DrawEdge(dc, &r, edge, BF_RECT);
}

// --- GroupBox: the native frame; its children live inside it.

NativePeer::Creation GroupBoxPeer::creation() const {
    return {L"BUTTON", BS_GROUPBOX | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
}

bool GroupBoxPeer::handle(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    switch (msg) {
    case WM_ERASEBKGND: {
        // The button paints only its frame and caption; with its parent
        // clipping children, nobody else paints the inside.
        fillFace(reinterpret_cast<HDC>(wp));
        result = 1;
        return true;
    }
    case WM_NCHITTEST:
        // A group box is normally transparent to the mouse; the model wants its moves.
        result = HTCLIENT;
        return true;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
        // ...but not the button behaviour (capture, focus) that clicks would start.
        result = 0;
        return true;
    default: return false;
    }
}

// --- Image: the picture at the top left, button face around it.

NativePeer::Creation ImagePeer::creation() const { return {kImageClass, 0, 0}; }

void ImagePeer::update(Property property, int index) {
    if (property != Property::Picture) {
        NativePeer::update(property, index);
        return;
    }
    stale_ = true;
    repaint(false);
}

void ImagePeer::rescale() {
    NativePeer::rescale();
    stale_ = true;
    InvalidateRect(hwnd(), nullptr, FALSE);
}

void ImagePeer::prepare() {
    // A picture made for another resolution than the form's is resampled
    // to the same size on the screen, smoothly rather than by repeating
    // pixels.
    const Bitmap& model = static_cast<Image&>(control()).picture();
    rows_.clear();
    width_ = height_ = 0;
    if (model.width <= 0 || model.height <= 0 || model.dpi <= 0 ||
        model.pixels.size() < static_cast<size_t>(model.width) * model.height * 3)
        return;
    Bitmap resampled;
    const Bitmap* shown = &model;
    if (model.dpi != dpi()) {
        resampled = resampleBitmap(model, MulDiv(model.width, dpi(), model.dpi),
                                   MulDiv(model.height, dpi(), model.dpi));
        shown = &resampled;
    }
    // Device-independent bitmaps want each row padded to four bytes.
    const size_t width = static_cast<size_t>(shown->width);
    const size_t height = static_cast<size_t>(shown->height);
    if (!width || !height) return;
    const size_t stride = (width * 3 + 3) & ~size_t(3);
    rows_.assign(stride * height, 0);
    for (size_t y = 0; y < height; ++y)
        std::copy_n(shown->pixels.begin() + static_cast<std::ptrdiff_t>(y * width * 3), width * 3,
                    rows_.begin() + static_cast<std::ptrdiff_t>(y * stride));
    width_ = shown->width;
    height_ = shown->height;
}

void ImagePeer::paint(HDC dc) {
    if (stale_) {
        prepare();
        stale_ = false;
    }
    const int saved = SaveDC(dc);
    if (!rows_.empty()) {
        const BITMAPINFO info = topDownBitmapInfo(width_, height_, 24);
        StretchDIBits(dc, 0, 0, width_, height_, 0, 0, width_, height_, rows_.data(), &info,
                      DIB_RGB_COLORS, SRCCOPY);
        ExcludeClipRect(dc, 0, 0, width_, height_);
    }
    fillFace(dc);  // what the picture does not cover
    RestoreDC(dc, saved);
}

// Painting of the self-drawn kinds, shared by WM_PAINT and WM_PRINTCLIENT.
namespace {
template <typename Painter>
bool paintMessage(HWND hwnd, UINT msg, WPARAM wp, LRESULT& result, Painter paint) {
    switch (msg) {
    case WM_ERASEBKGND: result = 1; return true;  // paint covers everything
    case WM_PRINTCLIENT: paint(reinterpret_cast<HDC>(wp)); result = 0; return true;
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        paint(dc);
        EndPaint(hwnd, &ps);
        result = 0;
        return true;
    }
    default: return false;
    }
}
}  // namespace

bool PanelPeer::handle(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    return paintMessage(hwnd(), msg, wp, result, [this](HDC dc) { paint(dc); });
}

bool ImagePeer::handle(UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    return paintMessage(hwnd(), msg, wp, result, [this](HDC dc) { paint(dc); });
}

}  // namespace qn::ui
