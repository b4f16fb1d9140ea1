// qndriver_target: a small window with one control of each kind the driver
// reads, named the way the launcher names its controls (the "QnName" atom).
// Every event it receives is appended to Log1, so a test can check what the
// driver's actions caused. Exit code: 10 * (ComboBox1 index + 1) + CheckBox1.
#ifndef _WIN32_IE
#define _WIN32_IE 0x0600
#endif
#include "platform/win32/win32.h"

#include <commctrl.h>

#include <string>

namespace {

enum Id {
    kEdit1 = 101, kCheckBox1, kButton1, kButton2, kButton3, kButton4,
    kListView1, kComboBox1, kPageControl1, kPanel1, kLog1, kStatusBar1, kLabel1, kListBox1
};

struct ControlRow {
    int id;
    const char* name;
    const char* cls;
    DWORD style;
    int x, y, w, h;
    const char* text;
};

const DWORD kChild = WS_CHILD | WS_VISIBLE;

const ControlRow kForm1Controls[] = {
    {kEdit1, "Edit1", "EDIT", kChild | WS_BORDER | ES_AUTOHSCROLL, 10, 10, 150, 22, "hello world"},
    {kCheckBox1, "CheckBox1", "BUTTON", kChild | BS_AUTOCHECKBOX, 170, 10, 120, 22, "Remember me"},
    {kButton1, "Button1", "BUTTON", kChild | BS_PUSHBUTTON, 300, 10, 80, 24, "Ask..."},
    {kButton2, "Button2", "BUTTON", kChild | BS_PUSHBUTTON | WS_DISABLED, 390, 10, 80, 24, "Disabled"},
    {kListView1, "ListView1", WC_LISTVIEWA, kChild | WS_BORDER | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS,
     10, 45, 340, 120, ""},
    {kComboBox1, "ComboBox1", WC_COMBOBOXA, kChild | CBS_DROPDOWNLIST | WS_VSCROLL, 360, 45, 190, 100, ""},
    {kPageControl1, "PageControl1", WC_TABCONTROLA, kChild, 360, 75, 190, 60, ""},
    {kPanel1, "Panel1", "QnTargetPanel", kChild | WS_BORDER, 360, 140, 190, 25, "Panel"},
    {kLog1, "Log1", "EDIT", kChild | WS_BORDER | ES_READONLY | ES_AUTOHSCROLL, 10, 175, 540, 22, ""},
    {kButton3, "Button3", "BUTTON", kChild | BS_PUSHBUTTON, 10, 205, 110, 24, "Second window"},
    {kButton4, "Button4", "BUTTON", kChild | BS_PUSHBUTTON, 130, 205, 80, 24, "Info"},
    {kListBox1, "ListBox1", "LISTBOX", kChild | WS_BORDER | WS_VSCROLL | LBS_NOTIFY, 360, 205, 190, 60, ""},
};

const char* const kRows[][3] = {
    {"Alpha Strike", "1987", "Tolvane"},
    {"Beta Run", "1991", "Quonsoft"},
    {"Gamma Ray", "1994", "Tolvane"},
};

HINSTANCE g_inst;
HFONT g_font;
HWND g_form1, g_form2;

void nameWindow(HWND hwnd, const char* name) {
    SetPropA(hwnd, "QnName", reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(GlobalAddAtomA(name))));
}

void log(const std::string& event) {
    HWND edit = GetDlgItem(g_form1, kLog1);
    char buf[2048];
    GetWindowTextA(edit, buf, sizeof buf);
    std::string text = buf;
    if (!text.empty()) text += ' ';
    SetWindowTextA(edit, (text + event).c_str());
}

HWND createControl(HWND parent, const ControlRow& c) {
    HWND h = CreateWindowExA(0, c.cls, c.text, c.style, c.x, c.y, c.w, c.h, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), g_inst, nullptr);
    SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(g_font), FALSE);
    nameWindow(h, c.name);
    return h;
}

void fillForm1(HWND hwnd) {
    for (const ControlRow& c : kForm1Controls) createControl(hwnd, c);

    HWND lv = GetDlgItem(hwnd, kListView1);
    const char* headers[] = {"Game", "Year", "Maker"};
    const int widths[] = {150, 60, 120};
    for (int i = 0; i < 3; ++i) {
        LVCOLUMNA col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH;
        col.pszText = const_cast<char*>(headers[i]);
        col.cx = widths[i];
        SendMessageA(lv, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&col));
    }
    for (int r = 0; r < 3; ++r) {
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = r;
        item.pszText = const_cast<char*>(kRows[r][0]);
        SendMessageA(lv, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        for (int c = 1; c < 3; ++c) {
            item.iSubItem = c;
            item.pszText = const_cast<char*>(kRows[r][c]);
            SendMessageA(lv, LVM_SETITEMTEXTA, r, reinterpret_cast<LPARAM>(&item));
        }
    }
    LVITEMA sel{};
    sel.stateMask = sel.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(lv, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&sel));

    HWND cb = GetDlgItem(hwnd, kComboBox1);
    for (const char* s : {"Small", "Medium", "Large"}) SendMessageA(cb, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));
    SendMessageA(cb, CB_SETCURSEL, 1, 0);

    HWND lb = GetDlgItem(hwnd, kListBox1);
    for (const char* s : {"384 x 256", "320 x 240", "256 x 256"})
        SendMessageA(lb, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s));

    HWND tc = GetDlgItem(hwnd, kPageControl1);
    const char* tabs[] = {"General", "Paths", "About"};
    for (int i = 0; i < 3; ++i) {
        TCITEMA t{};
        t.mask = TCIF_TEXT;
        t.pszText = const_cast<char*>(tabs[i]);
        SendMessageA(tc, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&t));
    }

    HWND sb = CreateWindowExA(0, STATUSCLASSNAMEA, "", kChild, 0, 0, 0, 0, hwnd,
                              reinterpret_cast<HMENU>(kStatusBar1), g_inst, nullptr);
    nameWindow(sb, "StatusBar1");
    int parts[] = {120, 300, -1};
    SendMessageA(sb, SB_SETPARTS, 3, reinterpret_cast<LPARAM>(parts));
    const char* texts[] = {"Ready", "3 games", "v1.0"};
    for (int i = 0; i < 3; ++i) SendMessageA(sb, SB_SETTEXTA, i, reinterpret_cast<LPARAM>(texts[i]));

    // A tooltip on Button1, shown when the pointer rests on it.
    HWND tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwnd,
                               nullptr, g_inst, nullptr);
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = hwnd;
    tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(hwnd, kButton1));
    tool.lpszText = const_cast<char*>("Asks a question");
    SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void openForm2() {
    if (g_form2) return;
    // Owned by the first window, so it has no task-bar entry of its own.
    g_form2 = CreateWindowExA(0, "QnTargetForm", "Second Window", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                              600, 40, 240, 120, g_form1, nullptr, g_inst, nullptr);
    nameWindow(g_form2, "Form2");
    createControl(g_form2, ControlRow{kLabel1, "Label1", "STATIC", kChild, 10, 10, 200, 20, "Second"});
}

LRESULT onNotify(const NMHDR* nm) {
    if (nm->idFrom == kListView1) {
        const NMLISTVIEW* lv = reinterpret_cast<const NMLISTVIEW*>(nm);
        if (nm->code == LVN_ITEMCHANGED && (lv->uChanged & LVIF_STATE) &&
            ((lv->uOldState ^ lv->uNewState) & LVIS_SELECTED))
            log(std::string(lv->uNewState & LVIS_SELECTED ? "sel+" : "sel-") + std::to_string(lv->iItem));
        const NMITEMACTIVATE* act = reinterpret_cast<const NMITEMACTIVATE*>(nm);
        if (nm->code == NM_CLICK) log("click=" + std::to_string(act->iItem));
        if (nm->code == NM_DBLCLK) log("open=" + std::to_string(act->iItem));
    } else if (nm->idFrom == kPageControl1 && nm->code == TCN_SELCHANGE) {
        log("tab=" + std::to_string(SendMessageA(nm->hwndFrom, TCM_GETCURSEL, 0, 0)));
    }
    return 0;
}

void onCommand(HWND hwnd, int id, int code, HWND ctl) {
    switch (id) {
    case kCheckBox1:
        if (code == BN_CLICKED) log("check=" + std::to_string(SendMessageA(ctl, BM_GETCHECK, 0, 0)));
        break;
    case kButton1:
        if (code == BN_CLICKED) {
            int r = MessageBoxA(hwnd, "Keep the changes?\r\nThey apply at once.", "Confirm",
                                MB_YESNO | MB_ICONQUESTION);
            log(r == IDYES ? "ask=yes" : r == IDNO ? "ask=no" : "ask=other");
        }
        break;
    case kButton3:
        if (code == BN_CLICKED) openForm2();
        break;
    case kButton4:
        if (code == BN_CLICKED) {
            MessageBoxA(hwnd, "Saved.", "Info", MB_OK | MB_ICONINFORMATION);
            log("info");
        }
        break;
    case kListBox1:
        if (code == LBN_SELCHANGE) log("list=" + std::to_string(SendMessageA(ctl, LB_GETCURSEL, 0, 0)));
        break;
    case kComboBox1:
        if (code == CBN_SELCHANGE) log("combo=" + std::to_string(SendMessageA(ctl, CB_GETCURSEL, 0, 0)));
        break;
    }
}

LRESULT CALLBACK formProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_SIZE:
        if (hwnd == g_form1) SendMessageA(GetDlgItem(hwnd, kStatusBar1), WM_SIZE, 0, 0);
        break;
    case WM_COMMAND:
        onCommand(hwnd, LOWORD(wp), HIWORD(wp), reinterpret_cast<HWND>(lp));
        return 0;
    case WM_NOTIFY:
        return onNotify(reinterpret_cast<const NMHDR*>(lp));
    case WM_DESTROY:
        if (hwnd == g_form2) {
            g_form2 = nullptr;
        } else {
            HWND cb = GetDlgItem(hwnd, kComboBox1);
            int code = 10 * (static_cast<int>(SendMessageA(cb, CB_GETCURSEL, 0, 0)) + 1) +
                       static_cast<int>(SendMessageA(GetDlgItem(hwnd, kCheckBox1), BM_GETCHECK, 0, 0));
            PostQuitMessage(code);
        }
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

// A control of the program's own class: the driver clicks it with mouse messages.
LRESULT CALLBACK panelProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_LBUTTONDOWN:
        log("down=" + std::to_string(LOWORD(lp)) + "," + std::to_string(HIWORD(lp)));
        return 0;
    case WM_LBUTTONUP:
        log("up");
        return 0;
    case WM_MOUSEMOVE:
        log("move");
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR, int show) {
    g_inst = inst;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&icc);
    g_font = CreateFontA(-11, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                         CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "MS Sans Serif");

    WNDCLASSA wc{};
    wc.hInstance = inst;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpfnWndProc = formProc;
    wc.lpszClassName = "QnTargetForm";
    RegisterClassA(&wc);
    wc.lpfnWndProc = panelProc;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = "QnTargetPanel";
    RegisterClassA(&wc);

    RECT r{0, 0, 560, 295};
    AdjustWindowRect(&r, WS_OVERLAPPEDWINDOW, FALSE);
    g_form1 = CreateWindowExA(0, "QnTargetForm", "Driver Target", WS_OVERLAPPEDWINDOW, 20, 20,
                              r.right - r.left, r.bottom - r.top, nullptr, nullptr, inst, nullptr);
    nameWindow(g_form1, "Form1");
    fillForm1(g_form1);
    ShowWindow(g_form1, show);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}
