// The fair floor of the start-up benchmark: the launcher's main window as it
// first shows, written by hand. The same windows of the same classes and
// styles, at the same places, with the same fonts and texts (taken from the
// main window's layout table in app/main_window/main_window.h), the list's
// rows as the benchmark's catalogue names them, and nothing else: no
// settings, no data files, no model, no application window, no picture.
// Whatever the launcher spends beyond this is its own work.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kRows = 25;
constexpr const char* kCaption = "Tolvane's QUON FrontEnd v2.09";

HINSTANCE instance;
HDC measuring;
int nextId = 100;

struct Box {
    int x, y, w, h;
};

HFONT makeFont(const char* face, int points, bool bold = false) {
    LOGFONTA lf{};
    lf.lfHeight = -MulDiv(points, 96, 72);
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
    return CreateFontIndirectA(&lf);
}

SIZE textSize(HFONT font, const char* text, UINT flags) {
    HGDIOBJ old = SelectObject(measuring, font);
    RECT r{0, 0, 0, 0};
    DrawTextA(measuring, text, -1, &r, DT_CALCRECT | flags);
    SelectObject(measuring, old);
    return {r.right - r.left, r.bottom - r.top};
}

HWND child(HWND parent, const char* cls, const char* text, DWORD style, DWORD exStyle, Box b,
           HFONT font) {
    HWND hwnd = CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_GROUP | style,
                                b.x, b.y, b.w, b.h, parent,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextId++)), instance,
                                nullptr);
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return hwnd;
}

HWND checkBox(HWND parent, const char* text, Box b, HFONT font) {
    return child(parent, "BUTTON", text, BS_CHECKBOX | WS_TABSTOP, 0, b, font);
}

HWND label(HWND parent, const char* text, int x, int y, HFONT font) {
    const SIZE s = textSize(font, text, DT_EXPANDTABS);
    return child(parent, "STATIC", text, SS_LEFTNOWORDWRAP | SS_NOTIFY, 0, {x, y, s.cx, s.cy}, font);
}

void cellText(int row, int column, char* buffer, int size) {
    if (column == 0)
        std::snprintf(buffer, static_cast<size_t>(size), "Bench Game %05d", row + 1);
    else if (column == 1)
        std::snprintf(buffer, static_cast<size_t>(size), "bg%05d", row + 1);
    else
        lstrcpynA(buffer, "Yes", size);
}

HFONT buttonFont;

LRESULT CALLBACK formProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_NOTIFY: {
        auto* header = reinterpret_cast<NMHDR*>(lp);
        if (header->code == LVN_GETDISPINFOA) {
            auto& info = *reinterpret_cast<NMLVDISPINFOA*>(lp);
            if ((info.item.mask & LVIF_TEXT) && info.item.pszText && info.item.cchTextMax > 0)
                cellText(info.item.iItem, info.item.iSubItem, info.item.pszText, info.item.cchTextMax);
        }
        return 0;
    }
    case WM_DRAWITEM: {
        // The run button, drawn as the launcher draws its buttons.
        const auto& item = *reinterpret_cast<DRAWITEMSTRUCT*>(lp);
        RECT r = item.rcItem;
        DrawFrameControl(item.hDC, &r, DFC_BUTTON,
                         DFCS_BUTTONPUSH | ((item.itemState & ODS_SELECTED) ? DFCS_PUSHED : 0));
        char caption[64];
        GetWindowTextA(item.hwndItem, caption, sizeof caption);
        HGDIOBJ old = SelectObject(item.hDC, buttonFont);
        SetBkMode(item.hDC, TRANSPARENT);
        DrawTextA(item.hDC, caption, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        SelectObject(item.hDC, old);
        return TRUE;
    }
    case WM_DESTROY: PostQuitMessage(0); return 0;
    default: return DefWindowProcA(hwnd, msg, wp, lp);
    }
}

LRESULT CALLBACK panelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg != WM_PAINT) return DefWindowProcA(hwnd, msg, wp, lp);
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT r;
    GetClientRect(hwnd, &r);
    FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
    EndPaint(hwnd, &ps);
    return 0;
}

void registerClass(const char* name, WNDPROC proc) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = name;
    RegisterClassA(&wc);
}

}  // namespace

int WINAPI WinMain(HINSTANCE hinstance, HINSTANCE, LPSTR, int) {
    instance = hinstance;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    registerClass("QnFloorForm", formProc);
    registerClass("QnFloorPlain", DefWindowProcA);
    registerClass("QnFloorPanel", panelProc);
    measuring = CreateCompatibleDC(nullptr);

    const HFONT small = makeFont("MS Sans Serif", 8);
    const HFONT page = makeFont("MS Sans Serif", 9);
    const HFONT bold = makeFont("MS Sans Serif", 9, true);
    const HFONT arial = makeFont("Arial", 9);
    buttonFont = page;

    const DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    RECT outer{0, 0, 679, 517};
    AdjustWindowRectEx(&outer, style, FALSE, 0);
    const int w = outer.right - outer.left, h = outer.bottom - outer.top;
    HWND form = CreateWindowExA(0, "QnFloorForm", kCaption, style, (GetSystemMetrics(SM_CXSCREEN) - w) / 2,
                                (GetSystemMetrics(SM_CYSCREEN) - h) / 2, w, h, nullptr, nullptr,
                                instance, nullptr);

    // In the launcher's order of creation.
    child(form, "QnFloorPlain", "", 0, 0, {8, 8, 360, 240}, small);  // the picture

    HWND tabs = child(form, WC_TABCONTROLA, "", WS_CLIPCHILDREN | WS_TABSTOP, WS_EX_CONTROLPARENT,
                      {8, 256, 360, 233}, page);
    const char* captions[] = {"Game Options", "FrontEnd Configuration", "Internet Links", "Other Stuff"};
    for (int i = 0; i < 4; ++i) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(captions[i]);
        SendMessageA(tabs, TCM_INSERTITEMA, WPARAM(i), reinterpret_cast<LPARAM>(&item));
    }
    RECT area;
    GetClientRect(tabs, &area);
    SendMessageA(tabs, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    HWND sheet = child(tabs, "QnFloorPlain", "Game Options", WS_CLIPCHILDREN, WS_EX_CONTROLPARENT,
                       {area.left, area.top, area.right - area.left, area.bottom - area.top}, page);
    checkBox(sheet, "Use 388h as FM base address", {8, 8, 193, 17}, page);
    checkBox(sheet, "No Sound", {8, 37, 185, 17}, page);
    checkBox(sheet, "Joystick support (not SideWinder)", {8, 65, 185, 17}, page);
    checkBox(sheet, "No ScanLines", {8, 93, 185, 18}, page);
    checkBox(sheet, "Syncronize to vertical retrace", {8, 122, 185, 17}, page);
    EnableWindow(checkBox(sheet, "FrameSkip 1 (IREM games only)", {8, 150, 185, 17}, page), FALSE);
    EnableWindow(checkBox(sheet, "Rotate screen (Image Fight only)", {8, 179, 185, 17}, page), FALSE);
    HWND panel = child(sheet, "QnFloorPanel", "", WS_CLIPCHILDREN, WS_EX_CONTROLPARENT,
                       {208, 8, 137, 190}, page);
    checkBox(panel, "Screen resolution", {12, 12, 117, 17}, page);
    HWND resolutions = child(panel, "LISTBOX", "", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP,
                             WS_EX_CLIENTEDGE, {12, 36, 112, 84}, bold);
    SendMessageA(resolutions, LB_SETITEMHEIGHT, 0, 13);
    for (const char* item : {"384 x 256 pixels", "360 x 256 pixels", "320 x 400 pixels",
                             "320 x 240 pixels", "256 x 256 pixels", "224 x 288 pixels"})
        SendMessageA(resolutions, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendMessageA(resolutions, LB_SETCURSEL, 0, 0);
    label(panel, "If you omit the screen", 16, 128, page);
    label(panel, "resolution, the default", 16, 144, page);
    label(panel, "will be used.", 16, 160, page);

    child(form, "BUTTON", "Run Bench Game 00001", BS_OWNERDRAW, 0, {376, 456, 297, 33}, page);

    HWND status = child(form, STATUSCLASSNAMEA, "", CCS_NORESIZE | CCS_NOPARENTALIGN | CCS_NODIVIDER, 0,
                        {0, 496, 679, 21}, small);
    EnableWindow(status, FALSE);
    const char* panels[] = {"Designed for QUON v0.9", "25 ROMs supported", "UnZipped ROMs",
                            "Select a game and then doubleclick on it to play"};
    const int widths[] = {128, 108, 93};
    int edges[4], right = 0;
    for (int i = 0; i < 3; ++i) {
        // A panel widens to its text, inside its border and a margin.
        right += std::max(widths[i], static_cast<int>(textSize(small, panels[i], DT_SINGLELINE | DT_NOPREFIX).cx) + 6);
        edges[i] = right;
    }
    edges[3] = -1;
    SendMessageA(status, SB_SETPARTS, 4, reinterpret_cast<LPARAM>(edges));
    for (int i = 0; i < 4; ++i) SendMessageA(status, SB_SETTEXTA, WPARAM(i), reinterpret_cast<LPARAM>(panels[i]));

    HWND list = child(form, WC_LISTVIEWA, "",
                      LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER | LVS_OWNERDATA |
                          WS_TABSTOP,
                      WS_EX_CLIENTEDGE, {376, 32, 297, 417}, arial);
    const char* columns[] = {"Name", "Path", "Available"};
    const int columnWidths[] = {155, 78, 60};
    for (int i = 0; i < 3; ++i) {
        LVCOLUMNA c{};
        c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        c.pszText = const_cast<char*>(columns[i]);
        c.cx = columnWidths[i];
        c.iSubItem = i;
        SendMessageA(list, LVM_INSERTCOLUMNA, WPARAM(i), reinterpret_cast<LPARAM>(&c));
    }
    SendMessageA(list, LVM_SETITEMCOUNT, kRows, LVSICF_NOINVALIDATEALL);
    LVITEMA selected{};
    selected.stateMask = selected.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&selected));

    // The closed box is as tall as the layout says: its height comes from
    // the item height, which is corrected by what the window measures.
    HWND filter = child(form, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0,
                        {376, 8, 297, 23 + 160}, arial);
    int itemHeight = static_cast<int>(SendMessageA(filter, CB_GETITEMHEIGHT, WPARAM(-1), 0));
    for (int attempt = 0; attempt < 3; ++attempt) {
        RECT r;
        GetWindowRect(filter, &r);
        const int error = 23 - (r.bottom - r.top);
        if (error == 0 || itemHeight + error <= 0) break;
        itemHeight += error;
        SendMessageA(filter, CB_SETITEMHEIGHT, WPARAM(-1), itemHeight);
    }
    for (const char* item : {"Display All Games", "Display only Available Games", "Display only Unavailable Games"})
        SendMessageA(filter, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
    SendMessageA(filter, CB_SETCURSEL, 0, 0);

    ShowWindow(form, SW_SHOWNORMAL);
    UpdateWindow(form);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageA(form, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
