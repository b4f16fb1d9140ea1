// The Win32 backend of the widget model: one native window per control,
// state mirrored onto it, window messages turned into the model's entry points.
// The forms must go before the backend: their controls keep pointers to its peers.
#pragma once

#include <deque>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "ui/backend.h"
#include "ui/scaling.h"
#include "platform/win32/scoped_gdi.h"

#include <commctrl.h>

namespace qn::ui {

// The header of an uncompressed picture stored top row first.
inline BITMAPINFO topDownBitmapInfo(int width, int height, WORD bitsPerPixel) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = bitsPerPixel;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}


class NativePeer;
class PageControlPeer;
class TimerPeer;

class Win32Backend : public Backend {
public:
    Win32Backend();
    ~Win32Backend() override;
    Win32Backend(const Win32Backend&) = delete;
    Win32Backend& operator=(const Win32Backend&) = delete;

    void setApplicationTitle(const std::string& title) override;
    const std::string& applicationTitle() const { return title_; }
    void realize(Form& form) override;
    void realizeHiddenPagesLater(PageControl& pages) override { laterPages_.push_back(&pages); }
    void run(Form& mainForm) override;
    void setMainForm(Form& form) override;
    TextMask renderText(const Font& font, const std::string& text) override;
    TextMask renderTextAt(const Font& font, const std::string& text, int dpi) override;
    std::array<std::uint8_t, 3> systemColor(SysColor color) override;

    // The native window of a realized control, or nullptr.
    HWND windowOf(const Control& control) const;
    // Where Tab (or Shift+Tab) moves the focus from `from` within `form`.
    HWND tabTarget(HWND form, HWND from, bool backwards) const;

    // GDI objects shared by all controls, kept for the life of the backend.
    // A font's pixel height follows the resolution its window is shown at.
    HFONT font(const Font& font, int dpi = kLayoutDpi);
    // The same for a control showing `text`: where the face lacks a letter
    // of it, a face that has them all.
    HFONT font(const Font& font, int dpi, const std::string& text);
    // Whether the font has a glyph for every character of the text.
    bool hasGlyphs(HFONT font, const std::string& text);
    HBRUSH brush(COLORREF color);
    static COLORREF colorRef(const Color& color);
    // A text colour as drawn on the face of system colour `face`: the
    // scheme's window text is its button text on a button's face.
    static COLORREF textColorOn(const Color& color, int face);
    // A text colour as drawn on `background`, where the scheme's text is
    // system colour `schemeText`: the program's own colour gives way where
    // it would not stand out.
    static COLORREF textColorOn(const Color& color, COLORREF background, int schemeText);
    // Whether the scheme asks for high contrast, as last told.
    static bool highContrast();
    // The system's colours or contrast changed: asks again, then has every
    // window of `form` take the new colours and paint again.
    static void schemeChanged();
    // The same with the contrast as told (Wine keeps no high-contrast setting).
    static void schemeChanged(bool highContrast);
    void recolor(const Form& form);
    // The size DrawText gives the text in the font with DT_CALCRECT and
    // these flags, measured off screen: no window's device context needed.
    SIZE textSize(HFONT font, const std::string& text, UINT flags);

    // For the peers.
    NativePeer* peerOf(HWND hwnd) const;
    // The timer running on `owner` under `id`, or nullptr.
    TimerPeer* timerOf(HWND owner, UINT_PTR id) const;
    // While the backend takes its windows down, messages no longer reach the model.
    bool quiet() const { return quiet_; }
    // The window whose destruction ends the message loop, while it runs.
    HWND mainWindow() const { return main_; }
    // The first form realized is the application's main window; later forms
    // are its dialogs.
    HWND firstForm() const { return firstForm_; }
    // Lays out again every control of `form`, whose resolution has changed,
    // parents before their children.
    void rescaleControls(const Form& form);

    // The application's own window, as classic programs have one: it has no
    // size, so it is never seen, but it carries the task-bar entry under the
    // application's title and owns every form, so whichever form is up (the
    // installer's while the main window is hidden) is reached from there.
    HWND applicationWindow();
    // It appears with the first form that does.
    void showApplicationWindow();
    // Minimizing the main window minimizes the application, forms and all.
    void minimizeApplication();
    void restoreApplication();
    // Hands the input on to the top one of our windows that can take it.
    void activateTopWindow();

    // A page whose controls were left for later gets them now.
    void buildPage(const Control& page);
    // Of the controls of the form's pages still left for later, the next
    // one is made: one window at a time, so the form answers in between.
    // False once none is left.
    bool buildNextPage(HWND form);
    bool hasPagesLeft(HWND form) const;

    // The tooltip of a control (none when empty), shown when the pointer
    // rests on it. Its form's tooltip window is made when first needed.
    void setTooltip(HWND control, const std::string& text);
    // A disabled control gets no mouse messages; its tooltip hears of the
    // pointer from here.
    void relayToTooltip(HWND control, UINT mouseMessage);
    int nextControlId() { return nextId_++; }
    // The message that asks a form for its controls' names, and its answer:
    // every window made so far named.
    UINT nameRequest() const { return nameRequest_; }
    void nameControls();
    HINSTANCE instance() const { return instance_; }
    // Modeless dialogs of the system's (the Find window): the message loop
    // gives them their dialog keys while they are up.
    void addModeless(HWND dialog) { modeless_.push_back(dialog); }
    void removeModeless(HWND dialog);

private:
    // Creates the peer and window of `control` under `parentWindow`, then
    // those of its children.
    void build(Control& control, HWND parentWindow);
    // The peer and window alone; null if the window could not be made.
    NativePeer* makeWindow(Control& control, HWND parentWindow);
    // The children that get windows of their own, in the order they are made.
    static std::vector<Control*> windowChildren(const Control& control);
    // Makes the next window left for later on the page; false if none was left.
    bool buildStep(const Control& page);
    struct LeftPage;
    // Puts the container's children first among the page's steps, followed
    // by the container's completion.
    void queueChildren(LeftPage& left, Control& container);
    bool leftForLater(const Control& control) const;
    std::unique_ptr<NativePeer> makePeer(Control& control);
    void buildTimer(Timer& timer, HWND parentWindow);
    HFONT font(const Font& font, int dpi, BYTE quality);
    TEXTMETRICW metrics(HFONT font);
    // How wide a sample of text is in the font.
    int sampleWidth(HFONT font);
    bool isForm(HWND hwnd) const;
    // The windows Tab stops at under `parent`, in order.
    void collectStops(HWND parent, std::vector<HWND>& stops) const;
    PageControlPeer* pagesOf(HWND form) const;
    bool pageKey(HWND form, const MSG& msg);
    static std::string shortcutName(const MSG& msg);
    bool shortcutKey(HWND form, const MSG& msg);
    bool tabKey(HWND form, const MSG& msg);
    // The keys a form moves its content by, when the focus has no use for them.
    bool formKey(HWND form, const MSG& msg);
    static LRESULT CALLBACK applicationProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

    HINSTANCE instance_;
    std::string title_;
    std::vector<std::unique_ptr<NativePeer>> peers_;
    std::vector<std::unique_ptr<TimerPeer>> timers_;
    // Given back after the windows that use them are gone.
    std::map<std::tuple<std::string, int, bool, bool, int, BYTE>, ScopedFont> fonts_;
    std::map<COLORREF, ScopedBrush> brushes_;
    ScopedMemoryDc measuring_;
    HWND main_ = nullptr;
    HWND firstForm_ = nullptr;
    HWND application_ = nullptr;
    bool activating_ = false;
    std::unordered_map<HWND, HWND> tooltips_;  // by form
    std::vector<const PageControl*> laterPages_;
    // A window to make (its children then follow it), or a container whose
    // children are all made.
    struct Step {
        Control* control;
        bool finish;
    };
    struct LeftPage {
        HWND form;
        Control* page;
        std::deque<Step> steps;  // the next first
    };
    std::vector<LeftPage> pagesLeft_;
    const Control* making_ = nullptr;  // the page left for later whose window is being made
    UINT nameRequest_ = 0;
    int nextId_ = 100;  // above IDOK, IDCANCEL ... so dialog keys never hit a control
    bool quiet_ = false;
    std::vector<HWND> modeless_;
};

}  // namespace qn::ui
