// The sweep: every window and page of the launcher, on the real Win32
// backend over an in-memory system holding names in Cyrillic, Greek and
// Latin-1, under the default scheme, a dark one and high contrast, at 100,
// 150 and 200 %. Of every control that shows text it measures the text's
// contrast from the drawn pixels, whether its font has every letter of it,
// whether it fits and is drawn at the window's scale, and of each window
// whether Tab follows the reading order and every button is reached by Tab
// or by a key its tooltip names. Prints one row per window and condition
// and the faults found; exits 1 when there are any.
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/app.h"
#include "app/dialogs/about_box.h"
#include "app/dialogs/config_dialog.h"
#include "app/dialogs/install_dialog.h"
#include "app/dialogs/new_directory_dialog.h"
#include "app/dialogs/path_picker.h"
#include "app/main_window/main_window.h"
#include "platform/memory/memory_platform.h"
#include "platform/win32/wide_text.h"
#include "settings/settings_store.h"
#include "ui/contrast.h"
#include "ui/scaling.h"
#include "ui/tree_view.h"
#include "ui/win32/peers.h"
#include "ui/win32/win32_backend.h"

using namespace qn;
using ui::Kind;

namespace {

void pump() {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
    }
}

void redraw(HWND form) {
    RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
    pump();
}

// --- pixels

struct Pixels {
    int w = 0, h = 0;
    std::vector<ui::Rgb> px;
    const ui::Rgb& at(int x, int y) const { return px[static_cast<size_t>(y * w + x)]; }
};

ui::Rgb rgbOf(COLORREF c) { return {GetRValue(c), GetGValue(c), GetBValue(c)}; }

Pixels capture(HWND hwnd) {
    Pixels p;
    RECT r;
    GetClientRect(hwnd, &r);
    p.w = r.right, p.h = r.bottom;
    if (p.w <= 0 || p.h <= 0) return p;
    HDC src = GetDC(hwnd);
    HDC mem = CreateCompatibleDC(src);
    BITMAPINFO info = ui::topDownBitmapInfo(p.w, p.h, 32);
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(mem, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, bmp);
    BitBlt(mem, 0, 0, p.w, p.h, src, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* b = static_cast<const std::uint8_t*>(bits);
    for (int i = 0; i < p.w * p.h; ++i) p.px.push_back({b[4 * i + 2], b[4 * i + 1], b[4 * i]});
    SelectObject(mem, old);
    DeleteObject(bmp);
    DeleteDC(mem);
    ReleaseDC(hwnd, src);
    return p;
}

// The text's pixels are those that change when the text is taken away;
// its contrast is the largest between such a pixel and what is left there.
struct Drawn {
    double contrast = -1;  // 0: no text drawn
    int right = -1;        // the last column holding text
};

Drawn drawnText(HWND hwnd, const std::function<void(bool)>& showText) {
    const Pixels with = capture(hwnd);
    showText(false);
    redraw(hwnd);
    const Pixels without = capture(hwnd);
    showText(true);
    redraw(hwnd);
    Drawn d;
    if (with.w != without.w || with.h != without.h) return d;
    d.contrast = 0;
    for (size_t i = 0; i < with.px.size(); ++i)
        if (!(with.px[i] == without.px[i])) {
            d.contrast = std::max(d.contrast, ui::contrastRatio(with.px[i], without.px[i]));
            d.right = std::max(d.right, static_cast<int>(i % static_cast<size_t>(with.w)));
        }
    return d;
}

// For controls whose text cannot be taken away: the pixel that stands out
// most from the commonest colour, the control's background.
double contrastAgainstBackground(HWND hwnd) {
    const Pixels p = capture(hwnd);
    if (p.px.empty()) return 0;
    std::vector<std::pair<std::uint32_t, int>> counts;
    std::vector<std::uint32_t> keys;
    for (const auto& c : p.px) keys.push_back((c.r << 16) | (c.g << 8) | c.b);
    std::sort(keys.begin(), keys.end());
    std::uint32_t common = keys[0];
    int run = 0, bestRun = 0;
    for (size_t i = 0; i < keys.size(); ++i) {
        run = i > 0 && keys[i] == keys[i - 1] ? run + 1 : 1;
        if (run > bestRun) bestRun = run, common = keys[i];
    }
    const ui::Rgb back{std::uint8_t(common >> 16), std::uint8_t(common >> 8), std::uint8_t(common)};
    double best = 0;
    for (const auto& c : p.px) best = std::max(best, ui::contrastRatio(c, back));
    return best;
}

// The frame of a button: its outermost ring against the face around it.
double frameContrast(HWND hwnd) {
    const Pixels p = capture(hwnd);
    const ui::Rgb face = rgbOf(GetSysColor(COLOR_BTNFACE));
    double best = 0;
    for (int x = 0; x < p.w; ++x)
        for (int y : {0, p.h - 1}) best = std::max(best, ui::contrastRatio(p.at(x, y), face));
    for (int y = 0; y < p.h; ++y)
        for (int x : {0, p.w - 1}) best = std::max(best, ui::contrastRatio(p.at(x, y), face));
    return best;
}

// The window's client area as a 24-bit BMP file.
void saveShot(HWND hwnd, const std::string& path) {
    const Pixels p = capture(hwnd);
    const int stride = (p.w * 3 + 3) & ~3;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info = ui::topDownBitmapInfo(p.w, p.h, 24).bmiHeader;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + static_cast<DWORD>(stride * p.h);
    std::vector<std::uint8_t> rows(static_cast<size_t>(stride * p.h));
    for (int y = 0; y < p.h; ++y)
        for (int x = 0; x < p.w; ++x) {
            std::uint8_t* at = &rows[static_cast<size_t>(y * stride + 3 * x)];
            at[0] = p.at(x, y).b, at[1] = p.at(x, y).g, at[2] = p.at(x, y).r;
        }
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(&file, sizeof file, 1, f);
        std::fwrite(&info, sizeof info, 1, f);
        std::fwrite(rows.data(), 1, rows.size(), f);
        std::fclose(f);
    }
}

// --- text and fonts

struct FontDc {
    explicit FontDc(HWND hwnd) : dc(CreateCompatibleDC(nullptr)) {
        old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)));
    }
    ~FontDc() {
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    HDC dc;
    HGDIOBJ old;
};

bool hasGlyphs(HDC dc, const std::wstring& text) {
    std::wstring w;
    for (wchar_t c : text)
        if (c >= 0x20) w += c;
    if (w.empty()) return true;
    std::vector<WORD> glyphs(w.size());
    GetGlyphIndicesW(dc, w.c_str(), static_cast<int>(w.size()), glyphs.data(), GGI_MARK_NONEXISTING_GLYPHS);
    return std::find(glyphs.begin(), glyphs.end(), WORD(0xFFFF)) == glyphs.end();
}

std::wstring listViewText(HWND hwnd) {
    std::wstring all;
    const int rows = std::min(40, static_cast<int>(SendMessageW(hwnd, LVM_GETITEMCOUNT, 0, 0)));
    for (int row = 0; row < rows; ++row) {
        wchar_t buffer[256] = {};
        LVITEMW item{};
        item.pszText = buffer;
        item.cchTextMax = 256;
        SendMessageW(hwnd, LVM_GETITEMTEXTW, WPARAM(row), reinterpret_cast<LPARAM>(&item));
        all += buffer;
    }
    return all;
}

// All the text a control shows, as the model holds it.
std::wstring textOf(const ui::Control& c, HWND hwnd) {
    std::string all;
    switch (c.kind()) {
    case Kind::TreeView: {
        const auto& tree = static_cast<const ui::TreeView&>(c);
        for (int node : tree.shownNodes()) all += tree.text(node);
        break;
    }
    case Kind::StatusBar: {
        const auto& bar = static_cast<const ui::StatusBar&>(c);
        for (int i = 0; i < bar.panelCount(); ++i) all += bar.panelText(i);
        break;
    }
    case Kind::ComboBox:
    case Kind::ListBox:
        for (const auto& item : static_cast<const ui::ListControl&>(c).items()) all += item;
        break;
    case Kind::ListView: return listViewText(hwnd);
    case Kind::PageControl:
        for (const ui::Control* page : c.children()) all += page->caption();
        break;
    case Kind::Label:
    case Kind::Button:
    case Kind::CheckBox:
    case Kind::GroupBox:
    case Kind::Edit: all = c.caption(); break;
    default: break;
    }
    return wide(all);
}

// --- one window

struct Row {
    std::string window, condition;
    int controls = 0;
    double minText = 99, minFrame = 99;
    std::string minTextAt;
    int glyphs = 0, fits = 0, scale = 0, order = 0, unreachable = 0;
    bool ok() const { return minText >= ui::kTextContrast && minFrame >= ui::kMarkContrast && !glyphs && !fits && !scale && !order && !unreachable; }
};

std::vector<std::string> faults;

void fault(const Row& row, const ui::Control& c, const std::string& what) {
    faults.push_back(row.condition + " | " + row.window + " | " + c.name() + ": " + what);
}

bool namesAKey(const std::string& hint) {
    for (const char* key : {"Ctrl+", "Alt+", "F1", "F4"})
        if (hint.find(key) != std::string::npos) return true;
    return false;
}

class Sweep {
public:
    explicit Sweep(ui::Win32Backend& backend) : backend_(backend) {}

    Row measure(ui::Form& form, const std::string& window, const std::string& condition) {
        Row row;
        row.window = window, row.condition = condition;
        HWND top = backend_.windowOf(form);
        SetWindowPos(top, HWND_TOP, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE);
        redraw(top);
        dpi_ = form.dpi();
        walk(form, row);
        focusOrder(form, top, row);
        // Screenshots of what a change is most likely to spoil, when asked for.
        const char* shots = std::getenv("QN_SWEEP_SHOTS");
        if (shots && (condition.find("dark") == 0 || condition.find("200%") != std::string::npos)) {
            std::string file = std::string(shots) + "\\" + condition + " - " + window + ".bmp";
            std::replace(file.begin() + 3, file.end(), ',', '_');
            saveShot(top, file);
        }
        return row;
    }

private:
    void walk(ui::Control& c, Row& row) {
        std::vector<std::pair<ui::Control*, RECT>> shown;
        for (ui::Control* child : c.children()) {
            HWND h = backend_.windowOf(*child);
            if (!h || !IsWindowVisible(h)) continue;
            control(*child, h, row);
            walk(*child, row);
            RECT r;
            GetWindowRect(h, &r);
            shown.emplace_back(child, r);
        }
        // A label sized by its text ends before what stands beside it.
        for (const auto& [label, r] : shown) {
            if (label->kind() != Kind::Label) continue;
            for (const auto& [other, o] : shown) {
                RECT both;
                if (other != label && IntersectRect(&both, &r, &o))
                    ++row.fits, fault(row, *label, "runs into " + other->name());
            }
        }
    }

    void control(ui::Control& c, HWND h, Row& row) {
        const std::wstring text = textOf(c, h);
        if (text.empty() && c.kind() != Kind::Button) return;
        ++row.controls;
        const FontDc font(h);
        if (!hasGlyphs(font.dc, text)) ++row.glyphs, fault(row, c, "its font lacks letters of its text");
        TEXTMETRICW tm{};
        GetTextMetricsW(font.dc, &tm);
        const int wanted = ui::scaleFontHeight(c.font().points, dpi_);
        if (std::abs(tm.tmHeight - tm.tmInternalLeading - wanted) > std::max(1, wanted / 10))
            ++row.scale, fault(row, c, "text " + std::to_string(tm.tmHeight - tm.tmInternalLeading) +
                                           " px high, the window's scale wants " + std::to_string(wanted));

        double contrast = -1;
        const bool byRemoval = c.kind() == Kind::Label || c.kind() == Kind::CheckBox ||
                               c.kind() == Kind::GroupBox || c.kind() == Kind::Button;
        Drawn drawn;
        if (byRemoval && !text.empty()) {
            const std::string caption = c.caption();
            drawn = drawnText(h, [&](bool on) {
                if (c.kind() == Kind::Button) c.setCaption(on ? caption : "");
                else SetWindowTextW(h, on ? text.c_str() : L"");
            });
            if (drawn.contrast == 0) fault(row, c, "no text drawn");
        }
        // Text of a control out of use need not stand out.
        if (!IsWindowEnabled(h)) {
        } else if (byRemoval) {
            contrast = drawn.contrast;
        } else if (!text.empty()) {
            contrast = contrastAgainstBackground(h);
        }
        if (contrast >= 0 && contrast < row.minText) row.minText = contrast, row.minTextAt = c.name();
        if (contrast >= 0 && contrast < ui::kTextContrast) {
            char ratio[16];
            std::snprintf(ratio, sizeof ratio, "%.2f", contrast);
            fault(row, c, std::string("text contrast ") + ratio + ":1");
        }
        if (c.kind() == Kind::Button && !static_cast<ui::Button&>(c).flat() && IsWindowEnabled(h)) {
            const double frame = frameContrast(h);
            row.minFrame = std::min(row.minFrame, frame);
            if (frame < ui::kMarkContrast) fault(row, c, "frame contrast " + std::to_string(frame));
        }
        if (byRemoval) fits(c, h, font.dc, tm, drawn, row);
        if (c.kind() == Kind::PageControl) {
            HWND arrows = FindWindowExW(h, nullptr, UPDOWN_CLASSW, nullptr);
            if (arrows && IsWindowVisible(arrows)) ++row.fits, fault(row, c, "the tabs need scroll arrows");
        }
    }

    void fits(const ui::Control& c, HWND h, HDC dc, const TEXTMETRICW& tm, const Drawn& drawn, Row& row) {
        std::wstring text = wide(c.caption());
        // "&&" shows one ampersand where the control reads prefixes.
        for (size_t at = text.find(L"&&"); at != std::wstring::npos; at = text.find(L"&&", at + 1))
            text.erase(at, 1);
        SIZE extent{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
        RECT r;
        GetClientRect(h, &r);
        int room = r.right;
        if (c.kind() == Kind::CheckBox) room -= ui::scaleLength(16, dpi_);
        if (c.kind() == Kind::Button || c.kind() == Kind::GroupBox) room -= ui::scaleLength(4, dpi_);
        const bool tall = c.kind() != Kind::GroupBox && tm.tmHeight - tm.tmInternalLeading > r.bottom;
        // A text cut by its control runs into the control's last columns.
        const bool cut = c.kind() == Kind::CheckBox && drawn.right >= r.right - ui::scaleLength(2, dpi_);
        if (extent.cx > room + 1 || tall || cut)
            ++row.fits, fault(row, c, "text " + std::to_string(extent.cx) + "x" + std::to_string(tm.tmHeight) +
                                          " in " + std::to_string(room) + "x" + std::to_string(r.bottom));
    }

    // Tab goes round the window: within one container, each stop comes
    // after the one before it in the reading order (rows top to bottom,
    // left to right in a row). Every button and check box is a stop, or
    // its tooltip names the key that presses it.
    void focusOrder(ui::Form& form, HWND top, Row& row) {
        std::vector<HWND> stops;
        for (HWND h = backend_.tabTarget(top, nullptr, false); h && stops.size() < 200;
             h = backend_.tabTarget(top, h, false)) {
            if (std::find(stops.begin(), stops.end(), h) != stops.end()) break;
            stops.push_back(h);
        }
        for (size_t i = 1; i < stops.size(); ++i) {
            if (GetParent(stops[i]) != GetParent(stops[i - 1])) continue;
            RECT a, b;
            GetWindowRect(stops[i - 1], &a);
            GetWindowRect(stops[i], &b);
            const int overlap = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
            const bool sameRow = overlap * 2 >= std::min(a.bottom - a.top, b.bottom - b.top);
            if (sameRow ? b.left < a.left : b.top < a.top) {
                ++row.order;
                faults.push_back(row.condition + " | " + row.window + " | Tab goes from " + nameOf(stops[i - 1]) +
                                 " back up to " + nameOf(stops[i]));
            }
        }
        std::function<void(ui::Control&)> reach = [&](ui::Control& c) {
            for (ui::Control* child : c.children()) {
                HWND h = backend_.windowOf(*child);
                if (!h || !IsWindowVisible(h)) continue;
                const bool action = child->kind() == Kind::Button || child->kind() == Kind::CheckBox ||
                                    (child->kind() == Kind::Label && static_cast<ui::Label*>(child)->onClick);
                const bool stop = std::find(stops.begin(), stops.end(), h) != stops.end();
                if (action && IsWindowEnabled(h) && !stop && !namesAKey(child->hint()))
                    ++row.unreachable, fault(row, *child, "neither Tab nor a shown key reaches it");
                reach(*child);
            }
        };
        reach(form);
    }

    std::string nameOf(HWND h) const {
        ui::NativePeer* peer = backend_.peerOf(h);
        return peer ? peer->control().name() : "?";
    }

    ui::Win32Backend& backend_;
    int dpi_ = ui::kLayoutDpi;
};

// --- conditions

struct Scheme {
    const char* name;
    bool dark, highContrast;
};

const int kSchemeColors[] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_BTNFACE, COLOR_BTNTEXT, COLOR_HOTLIGHT,
                             COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT};

void applyScheme(const Scheme& s, const std::vector<COLORREF>& original) {
    std::vector<COLORREF> colors = original;
    if (s.dark) {
        colors[0] = RGB(0, 0, 0), colors[1] = RGB(255, 255, 255), colors[2] = RGB(32, 32, 32);
        colors[3] = RGB(255, 255, 255);
        // High contrast has links and marks of its own.
        if (s.highContrast) colors[4] = RGB(255, 255, 0), colors[5] = RGB(0, 255, 255), colors[6] = RGB(0, 0, 0);
    }
    SetSysColors(static_cast<int>(std::size(kSchemeColors)), kSchemeColors, colors.data());
    ui::Win32Backend::schemeChanged(s.highContrast);
    pump();
}

// The window at `dpi`, as when it moves to a screen of that resolution.
void atDpi(ui::Win32Backend& backend, ui::Form& form, int dpi) {
    HWND h = backend.windowOf(form);
    if (!h || form.dpi() == dpi) return;
    RECT outer;
    GetWindowRect(h, &outer);
    RECT suggested{0, 0, MulDiv(outer.right - outer.left, dpi, form.dpi()),
                   MulDiv(outer.bottom - outer.top, dpi, form.dpi())};
    SendMessageW(h, 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    pump();
}

// Names in three scripts: the directories in every path box and tree; the
// games' titles in what the code page of roms.dat spells.
const std::string kGames = "C:\\\xD0\x98\xD0\xB3\xD1\x80\xD1\x8B\\";           // Игры
const std::string kArchives = "C:\\\xCE\x91\xCF\x81\xCF\x87\xCE\xB5\xCE\xAF\xCE\xB1\\";  // Αρχεία
const std::string kDrivers = "C:\\Caf\xC3\xA9 pilotes\\";
const std::string kProgram = "C:\\QnLaunch\\";

void writeWorld(MemoryPlatform& os) {
    os.writeFile(kProgram + "roms.dat", "#Caf\xE9 Racer|cafe\r\n#\xDC" "ber Blaster|uber\r\n#Ni\xF1o Fighter|nino\r\n");
    os.writeFile(kProgram + "reqfiles.dat", "cafe\\a.rom\r\nuber\\b.rom\r\nnino\\c.rom\r\n");
    os.writeFile(kProgram + "abouttxt.dat", "Caf\xE9 \xA9 Tolvane, a message long enough to scroll along the bars");
    os.writeFile(kGames + "Quon\\quon.exe", "exe");
    os.writeFile(kGames + "Quon\\cafe\\a.rom", "rom");
    for (const std::string& d : {kArchives, kDrivers, std::string("C:\\\xCE\xA9mega\\\xD0\x94\xD0\xB0")}) os.makeDirectories(d);
}

struct Launcher {
    MemoryPlatform os;
    ui::Win32Backend backend;
    std::unique_ptr<App> app;
};

}  // namespace

int main() {
    const auto started = std::chrono::steady_clock::now();
    std::vector<COLORREF> original;
    for (int index : kSchemeColors) original.push_back(GetSysColor(index));

    // The installed program, its settings pointing at the names above.
    Launcher installed;
    writeWorld(installed.os);
    const std::pair<const char*, std::string> settings[] = {
        {"Main Program Path", kProgram}, {"Quon Path", kGames + "Quon\\"}, {"PkUnzip Program", kGames + "pkunzip.exe"},
        {"Compressed ROMs Path", kArchives}, {"Drivers Path", kDrivers}, {"Interface", "Common"}};
    for (const auto& [name, value] : settings)
        installed.os.setString(RootKey::LocalMachine, kSettingsKey, name, value);
    installed.app = std::make_unique<App>(installed.os, &installed.backend);
    App& app = *installed.app;
    app.start();
    app.Form1->show();
    pump();
    TForm1& main = *app.Form1;

    // A first run, from a directory of its own, for the installer.
    Launcher first;
    writeWorld(first.os);
    for (const char* name : {"qnlaunch.exe", "readme.txt", "noscreen.jpg", "tolvane1.jpg", "tolvane2.jpg"})
        first.os.writeFile(kGames + "\xD0\x94\xD0\xB8\xD1\x81\xD1\x82\\" + name, name);  // Дист
    first.os.setCurrentDirectory(kGames + "\xD0\x94\xD0\xB8\xD1\x81\xD1\x82");
    first.app = std::make_unique<App>(first.os, &first.backend);
    first.app->start();
    pump();

    const Scheme schemes[] = {{"default", false, false}, {"dark", true, false}, {"high contrast", true, true}};
    std::vector<Row> rows;
    for (const Scheme& scheme : schemes) {
        applyScheme(scheme, original);
        for (int dpi : {96, 144, 192}) {
            if (scheme.highContrast && dpi != 96) continue;
            const std::string condition = std::string(scheme.name) + " " + std::to_string(dpi * 100 / 96) + "%";
            Sweep main1(installed.backend), firstSweep(first.backend);
            auto view = [&](ui::Win32Backend& backend, Sweep& sweep, ui::Form& form, const std::string& name) {
                atDpi(backend, form, dpi);
                rows.push_back(sweep.measure(form, name, condition));
            };
            for (bool single : {false, true}) {
                (single ? main.SpeedButton9 : main.SpeedButton10).click();
                pump();
                for (int page = 0; page < 4; ++page) {
                    main.PageControl1.userSelectPage(page);
                    pump();
                    view(installed.backend, main1, main,
                         std::string(single ? "main, single click, " : "main, common, ") +
                             main.PageControl1.children()[static_cast<size_t>(page)]->caption());
                }
            }
            main.SpeedButton10.click();
            main.PageControl1.userSelectPage(3);
            main.SpeedButton7.click();  // About
            pump();
            view(installed.backend, main1, *app.Form4, "About box");
            app.Form4->SpeedButton1.click();
            app.Form5->show();  // configuration
            pump();
            view(installed.backend, main1, *app.Form5, "configuration");
            app.Form5->hide();
            main.SpeedButton6.click();  // the path picker
            pump();
            view(installed.backend, main1, *app.Form3, "path picker");
            app.Form3->SpeedButton2.click();
            pump();
            view(first.backend, firstSweep, *first.app->Form2, "install to");
            first.app->Form2->SpeedButton3.click();  // New Directory
            pump();
            view(first.backend, firstSweep, *first.app->Form6, "new directory");
            first.app->Form6->Button2.click();
            pump();
        }
    }
    applyScheme(schemes[0], original);

    bool ok = true;
    std::printf("%-15s %-40s %4s %14s %6s %6s %5s %5s %5s %5s  %s\n", "condition", "window", "ctls", "min text (at)",
                "frame", "glyph", "fit", "scale", "order", "reach", "verdict");
    for (const Row& r : rows) {
        ok = ok && r.ok();
        char text[32], frame[16];
        std::snprintf(text, sizeof text, "%5.2f %-8.8s", r.minText, r.minTextAt.c_str());
        std::snprintf(frame, sizeof frame, r.minFrame > 90 ? "-" : "%.2f", r.minFrame);
        std::printf("%-15s %-40.40s %4d %14s %6s %6d %5d %5d %5d %5d  %s\n", r.condition.c_str(), r.window.c_str(),
                    r.controls, text, frame, r.glyphs, r.fits, r.scale, r.order, r.unreachable,
                    r.ok() ? "ok" : "FAULT");
    }
    for (const std::string& f : faults) std::printf("fault: %s\n", f.c_str());
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started);
    std::printf("sweep: %zu windows and conditions, %zu faults, %lld ms\n", rows.size(), faults.size(),
                static_cast<long long>(ms.count()));
    // Leave without taking the windows down one by one: the system does it.
    std::fflush(stdout);
    ExitProcess(ok ? 0 : 1);
}
