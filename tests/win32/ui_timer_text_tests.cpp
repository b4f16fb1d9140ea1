// The backend's services without a control of their own: timers on a form's
// window, text masks drawn with the controls' fonts, system colours, and a
// picture changed from code reaching the screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <numeric>
#include <string>

#include "ui/win32/win32_backend.h"

using namespace qn::ui;

namespace {

// Runs the thread's messages until `done` holds or `ms` milliseconds pass.
bool pumpUntil(const std::function<bool()>& done, DWORD ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (done()) return true;
        const DWORD spent = GetTickCount() - start;
        if (spent >= ms) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - spent, QS_ALLINPUT);
    }
}

void pumpFor(DWORD ms) {
    pumpUntil([] { return false; }, ms);
}

BOOL CALLBACK countWindow(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

// Ends a message loop that would otherwise wait for ever.
void CALLBACK endLoop(HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(1); }

struct TimerForm : Form {
    TimerForm() : Form("TimerForm", {0, 0, 200, 100}, "Timers") {}
    Label label{this, "Label1", {8, 8, 0, 0}, "Waiting"};
    Panel panel{this, "Panel1", {8, 30, 100, 50}};
    Timer fast{this, "Timer1", 15};
    Timer inPanel{&panel, "Timer2", 15};
};

class TimerTest : public ::testing::Test {
protected:
    void SetUp() override {
        form.fast.onTimer = [this] { ++fastTicks; };
        form.inPanel.onTimer = [this] { ++panelTicks; };
    }
    Win32Backend backend;
    TimerForm form;
    int fastTicks = 0, panelTicks = 0;
};

TEST_F(TimerTest, FormWithTimersIsRealizedWithoutWindowsForThem) {
    backend.realize(form);
    HWND window = backend.windowOf(form);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(backend.windowOf(form.fast), nullptr);
    EXPECT_NE(backend.windowOf(form.label), nullptr);
    EXPECT_NE(backend.windowOf(form.panel), nullptr);
    int children = 0;
    EnumChildWindows(window, countWindow, reinterpret_cast<LPARAM>(&children));
    EXPECT_EQ(children, 2);  // the label and the panel
    pumpFor(100);
    EXPECT_EQ(fastTicks, 0);  // a new timer is disabled
}

TEST_F(TimerTest, EnabledTimerTicksUntilDisabled) {
    backend.realize(form);
    form.fast.setEnabled(true);
    ASSERT_TRUE(pumpUntil([&] { return fastTicks >= 3; }, 3000)) << "ticks: " << fastTicks;
    EXPECT_EQ(panelTicks, 0);  // each timer has its own id

    form.fast.setEnabled(false);
    const int atStop = fastTicks;
    pumpFor(150);  // ten intervals
    EXPECT_EQ(fastTicks, atStop);
    // Killed, not only ignored: the window gets no more WM_TIMER.
    Sleep(50);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, backend.windowOf(form), WM_TIMER, WM_TIMER, PM_NOREMOVE));

    // Enabled again, it runs again; a timer inside a panel runs on the form too.
    form.fast.setEnabled(true);
    form.inPanel.setEnabled(true);
    EXPECT_TRUE(pumpUntil([&] { return fastTicks > atStop && panelTicks > 0; }, 3000));
}

TEST_F(TimerTest, TimerEnabledBeforeRealizingStartsWithItsForm) {
    form.fast.setEnabled(true);
    backend.realize(form);
    EXPECT_TRUE(pumpUntil([&] { return fastTicks > 0; }, 3000));
}

TEST_F(TimerTest, TicksReachTheModelThroughTheMessageLoop) {
    backend.realize(form);
    HWND window = backend.windowOf(form);
    // The handler that stops its own timer hears no further tick.
    form.fast.onTimer = [&] {
        if (++fastTicks == 3) {
            form.fast.setEnabled(false);
            PostMessageA(window, WM_CLOSE, 0, 0);
        }
    };
    // Should the timer never tick, this one ends the loop instead.
    const UINT_PTR guard = SetTimer(nullptr, 0, 5000, endLoop);
    form.fast.setEnabled(true);
    backend.run(form);
    KillTimer(nullptr, guard);
    EXPECT_EQ(fastTicks, 3);
    EXPECT_FALSE(IsWindow(window));
}

// The size GDI gives a text in the font the backend makes for the controls.
SIZE referenceExtent(const Font& font, const std::string& text) {
    LOGFONTA lf{};
    lf.lfHeight = -MulDiv(font.points, 96, 72);
    lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    lf.lfUnderline = font.underline;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = NONANTIALIASED_QUALITY;
    lstrcpynA(lf.lfFaceName, font.face.c_str(), LF_FACESIZE);
    HFONT handle = CreateFontIndirectA(&lf);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, handle);
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(handle);
    return size;
}

int inkCount(const Backend::TextMask& mask) {
    return static_cast<int>(std::count_if(mask.ink.begin(), mask.ink.end(), [](auto v) { return v != 0; }));
}

// Ink in row `y`.
int rowInk(const Backend::TextMask& mask, int y) {
    const auto row = mask.ink.begin() + static_cast<std::ptrdiff_t>(y) * mask.width;
    return static_cast<int>(std::count_if(row, row + mask.width, [](auto v) { return v != 0; }));
}

Font versionFont() {
    Font f;
    f.face = "MS Sans Serif";
    f.points = 11;
    f.bold = true;
    return f;
}

TEST(TextMaskTest, MaskHasTheTextsExtentAndInkInIt) {
    Win32Backend backend;
    const Font font = versionFont();
    const Backend::TextMask mask = backend.renderText(font, "v2.09");
    const SIZE expected = referenceExtent(font, "v2.09");
    ASSERT_GT(expected.cx, 0);
    EXPECT_EQ(mask.width, expected.cx);
    EXPECT_EQ(mask.height, expected.cy);
    ASSERT_EQ(mask.ink.size(), static_cast<size_t>(mask.width) * mask.height);

    const int ink = inkCount(mask);
    EXPECT_GT(ink, 20);
    EXPECT_LT(ink, static_cast<int>(mask.ink.size()) / 2);  // mostly paper
    // Ink in the left and right halves: the whole text is drawn, not a piece.
    int left = 0, right = 0;
    for (int y = 0; y < mask.height; ++y)
        for (int x = 0; x < mask.width; ++x)
            if (mask.ink[static_cast<size_t>(y) * mask.width + x]) ++(x < mask.width / 2 ? left : right);
    EXPECT_GT(left, 0);
    EXPECT_GT(right, 0);

    EXPECT_EQ(backend.renderText(font, "").ink.size(), 0u);
}

TEST(TextMaskTest, FontWeightUnderlineAndSizeShowInTheMask) {
    Win32Backend backend;
    Font plain = versionFont();
    plain.bold = false;
    const std::string text = "Wide text 2.09";
    const Backend::TextMask thin = backend.renderText(plain, text);
    const Backend::TextMask bold = backend.renderText(versionFont(), text);
    EXPECT_GT(inkCount(bold), inkCount(thin));

    Font underlined = plain;
    underlined.underline = true;
    const Backend::TextMask line = backend.renderText(underlined, text);
    ASSERT_EQ(line.height, thin.height);
    // Some row below the letters is inked nearly across the whole width.
    int longest = 0, longestPlain = 0;
    for (int y = 0; y < line.height; ++y) {
        longest = std::max(longest, rowInk(line, y));
        longestPlain = std::max(longestPlain, rowInk(thin, y));
    }
    EXPECT_GT(longest, line.width * 8 / 10);
    EXPECT_LT(longestPlain, thin.width * 8 / 10);

    Font small = plain;
    small.points = 8;
    EXPECT_LT(backend.renderText(small, text).height, thin.height);
}

TEST(SystemColorTest, SystemColoursAreTheSystems) {
    Win32Backend backend;
    const std::pair<SysColor, int> colours[] = {{SysColor::ButtonFace, COLOR_BTNFACE},
                                                {SysColor::Window, COLOR_WINDOW},
                                                {SysColor::Highlight, COLOR_HIGHLIGHT},
                                                {SysColor::WindowText, COLOR_WINDOWTEXT}};
    for (const auto& [colour, index] : colours) {
        const COLORREF system = GetSysColor(index);
        const std::array<std::uint8_t, 3> rgb = backend.systemColor(colour);
        EXPECT_EQ(RGB(rgb[0], rgb[1], rgb[2]), system) << index;
    }
}

struct PictureForm : Form {
    PictureForm() : Form("PictureForm", {0, 0, 120, 80}, "Picture") {}
    Image image{this, "Image1", {10, 10, 60, 40}};
};

Bitmap filled(int width, int height, std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
    Bitmap b;
    b.width = width;
    b.height = height;
    for (int i = 0; i < width * height; ++i) b.pixels.insert(b.pixels.end(), {blue, green, red});
    return b;
}

// What the image's window shows on the screen.
COLORREF shown(HWND hwnd, int x, int y) {
    HDC dc = GetDC(hwnd);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return c;
}

TEST(PictureTest, NewPictureFromCodeIsRepainted) {
    Win32Backend backend;
    PictureForm form;
    backend.realize(form);
    form.image.setPicture(filled(60, 40, 0, 0, 255));
    form.show();
    HWND image = backend.windowOf(form.image);
    ASSERT_TRUE(pumpUntil([&] { return shown(image, 30, 20) == RGB(255, 0, 0); }, 2000))
        << std::hex << shown(image, 30, 20);

    // A smaller picture: the new one at the top left, button face where the old one was.
    form.image.setPicture(filled(20, 10, 255, 0, 0));
    EXPECT_TRUE(pumpUntil([&] { return shown(image, 5, 5) == RGB(0, 0, 255); }, 2000))
        << std::hex << shown(image, 5, 5);
    EXPECT_EQ(shown(image, 30, 20), GetSysColor(COLOR_BTNFACE));
}

}  // namespace
