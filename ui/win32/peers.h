// The native side of each kind of control. A peer owns no behaviour: it
// copies the model's state onto its window and hands the window's messages
// to the model's entry points.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32.h"
#include "ui/scaling.h"
#include "ui/widgets.h"
#include "ui/win32/window_names.h"

#include <commctrl.h>
#include <windowsx.h>

namespace qn::ui {

class Win32Backend;

class NativePeer : public Peer {
public:
    NativePeer(Win32Backend& backend, Control& control) : backend_(backend), control_(control) {}
    ~NativePeer() override;

    Control& control() const { return control_; }
    HWND hwnd() const { return hwnd_; }
    Win32Backend& backend() const { return backend_; }

    // Creates the window under `parent`, named if it is a form's.
    void create(HWND parent);
    // Gives the window its name property, if it has none yet.
    void giveName();
    // The window procedure of every window with a peer: the program's own
    // classes are registered with it, and a system control gets it in
    // front of its own once made.
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    // The peer of a window, or nullptr.
    static NativePeer* of(HWND hwnd);
    // Brings the window up to date with the model, once its children exist.
    void synchronize();
    // The window the children of this control live in.
    virtual HWND childParent() const { return hwnd_; }
    // After the children's windows exist.
    virtual void childrenCreated() {}

    void changed(Control& control, Property property, int index) final;

    // The resolution the control's form is shown at.
    int dpi() const;
    // Lays the window out again after its form's resolution changed: its
    // place and size, its font, and whatever else of it is in pixels.
    virtual void rescale();
    // Takes the scheme's colours again after they changed.
    virtual void recolor() { repaint(true); }

    // Notifications a child sent to its parent window, reflected to the child's peer.
    virtual bool onCommand(int /*code*/) { return false; }
    virtual bool onNotify(NMHDR& /*header*/, LRESULT& /*result*/) { return false; }
    virtual bool onDrawItem(const DRAWITEMSTRUCT& /*item*/) { return false; }
    virtual LRESULT onCtlColor(HWND parent, UINT msg, WPARAM wp, LPARAM lp);

protected:
    struct Creation {
        const wchar_t* className;
        DWORD style;
        DWORD exStyle;
    };
    virtual Creation creation() const = 0;
    // Where the layout puts the window, in its units (pixels at 96 dpi).
    virtual Rect placement() const { return control_.bounds(); }
    // ...and in pixels at the form's resolution.
    Rect scaledPlacement() const { return scaleRect(placement(), dpi()); }
    // Where the window is made: the scaled placement, unless the kind
    // sizes itself (a label to its text) and can tell in advance.
    virtual Rect createdRect() const { return scaledPlacement(); }
    // Whether the window is made showing, as the model has it, rather than
    // shown once complete; the form around it is hidden while it is made.
    virtual bool visibleAtCreation() const { return control_.visible(); }
    virtual HWND createWindow(HWND parent);
    // Copies one property of the model onto the window.
    virtual void update(Property property, int index);
    // The window's own messages; true when handled, with the result.
    virtual bool handle(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    // The window's answer to WM_GETDLGCODE, wanting the key pressed when it
    // is one of `keys`: those stay the control's own, not the dialog's.
    LRESULT dialogCodeTaking(WPARAM wp, LPARAM lp, std::initializer_list<WPARAM> keys) const;
    // What the window itself makes of a message, below the peer.
    LRESULT callOriginal(UINT msg, WPARAM wp, LPARAM lp) const {
        return CallWindowProcW(original_, hwnd_, msg, wp, lp);
    }

    // Messages sent while the backend mirrors the model are echoes of the
    // model's own change and must not go back into it.
    bool mirroring() const { return mirroring_ > 0; }
    struct Mirror {
        explicit Mirror(NativePeer& p) : peer(p) { ++peer.mirroring_; }
        ~Mirror() { --peer.mirroring_; }
        NativePeer& peer;
    };

    // The control's font, or where it lacks a letter of what the control
    // shows, a face that has them.
    HFONT font() const;
    // All the text the control shows, for the choice of its font.
    virtual std::string shownText() const { return control_.caption(); }
    // Has the window painted again, where it shows.
    void repaint(bool erase) const;
    // The model's background colour, or the given system colour.
    COLORREF background(int sysColor) const;
    // Fills the client area with the model's background or the button face.
    void fillFace(HDC dc) const;
    void setText(const std::string& text);
    std::string windowText() const;

private:
    LRESULT dispatch(UINT msg, WPARAM wp, LPARAM lp);
    bool reflect(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    bool mouse(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);
    void detachWindow();

    Win32Backend& backend_;
    Control& control_;
    HWND hwnd_ = nullptr;
    WNDPROC original_ = nullptr;
    bool named_ = false;
    int mirroring_ = 0;
    HFONT shownFont_ = nullptr;  // the font last given to the window
};

class LabelPeer : public NativePeer {
public:
    using NativePeer::NativePeer;
    bool onCommand(int code) override;

protected:
    Creation creation() const override;
    Rect createdRect() const override;
    void update(Property property, int index) override;
    bool handle(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    bool autoSized() const;
    SIZE textSize() const;
    void fitText();
};

class ButtonPeer : public NativePeer {
public:
    using NativePeer::NativePeer;
    bool onCommand(int code) override;
    bool onDrawItem(const DRAWITEMSTRUCT& item) override;

protected:
    Creation creation() const override;
    void update(Property property, int index) override;
    bool handle(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    Button& button() const { return static_cast<Button&>(control()); }
    bool pointInside(LPARAM lp) const;
    bool hot_ = false;       // the pointer is over a flat button
    bool tracking_ = false;  // pressed by the mouse, waiting for its release
};

class CheckBoxPeer : public NativePeer {
public:
    using NativePeer::NativePeer;
    bool onCommand(int code) override;

protected:
    Creation creation() const override;
    void update(Property property, int index) override;
};

class EditPeer : public NativePeer {
public:
    using NativePeer::NativePeer;
    bool onCommand(int code) override;

protected:
    Creation creation() const override;
    void update(Property property, int index) override;
    bool handle(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
};

class ComboBoxPeer : public NativePeer {
public:
    using NativePeer::NativePeer;
    bool onCommand(int code) override;

protected:
    Creation creation() const override;
    std::string shownText() const override;
    Rect placement() const override;
    void update(Property property, int index) override;
};

class ListBoxPeer : public NativePeer {
public:
    using NativePeer::NativePeer;
    bool onCommand(int code) override;

protected:
    Creation creation() const override;
    std::string shownText() const override;
    void update(Property property, int index) override;
};

class StatusBarPeer : public NativePeer {
public:
    using NativePeer::NativePeer;
    void rescale() override;

protected:
    Creation creation() const override;
    std::string shownText() const override;
    void update(Property property, int index) override;

private:
    void setPanelText(int panel);
    // Each panel's right edge: its declared width, scaled, or wider where
    // its text needs more; the last runs to the bar's end.
    std::vector<int> edges() const;
    void setEdges();
};

class PageControlPeer : public NativePeer {
public:
    using NativePeer::NativePeer;
    void childrenCreated() override;
    bool onNotify(NMHDR& header, LRESULT& result) override;
    // The caption of one page changed.
    void pageCaptionChanged(const Control& page);
    // A page whose window was made after the control's own.
    void pageMade() {
        if (tabsBuilt_) layoutPages();
    }
    // The page `step` pages on from the shown one, round, as a user's choice.
    void turn(int step);

protected:
    Creation creation() const override;
    void update(Property property, int index) override;

private:
    PageControl& pages() const { return static_cast<PageControl&>(control()); }
    std::vector<Control*> sheets() const;
    void layoutPages();
    void showActivePage();
    bool tabsBuilt_ = false;
    int paddedFor_ = kLayoutDpi;  // the resolution the tabs' padding is set for
};

class TabSheetPeer : public NativePeer {
public:
    using NativePeer::NativePeer;
    void childrenCreated() override;
    void rescale() override;

protected:
    Creation creation() const override;
    bool visibleAtCreation() const override { return false; }  // the page control shows it
    void update(Property property, int index) override;
};

class PanelPeer : public NativePeer {
public:
    using NativePeer::NativePeer;

protected:
    Creation creation() const override;
    bool handle(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void paint(HDC dc);
};

class GroupBoxPeer : public NativePeer {
public:
    using NativePeer::NativePeer;

protected:
    Creation creation() const override;
    bool handle(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
};

class ImagePeer : public NativePeer {
public:
    using NativePeer::NativePeer;
    void rescale() override;

protected:
    Creation creation() const override;
    void update(Property property, int index) override;
    bool handle(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    void paint(HDC dc);
    // Makes the rows shown from the model's picture, at the form's resolution.
    void prepare();
    std::vector<std::uint8_t> rows_;  // the picture as shown, with DIB row padding
    int width_ = 0, height_ = 0;      // its size on the screen
    // The rows are made when next painted: a picture replaced before then
    // is never drawn.
    bool stale_ = true;
};

class ProgressBarPeer : public NativePeer {
public:
    using NativePeer::NativePeer;

protected:
    Creation creation() const override;
    void update(Property property, int index) override;
    bool handle(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;
};

// A timer has no window of its own: it runs on its form's window under an
// id the backend gives it, for as long as the model's timer is enabled.
class TimerPeer : public Peer {
public:
    TimerPeer(Timer& timer, HWND owner, UINT_PTR id);
    ~TimerPeer() override;
    TimerPeer(const TimerPeer&) = delete;
    TimerPeer& operator=(const TimerPeer&) = delete;

    HWND owner() const { return owner_; }
    UINT_PTR id() const { return id_; }
    bool running() const { return running_; }
    void changed(Control& control, Property property, int index) override;
    // The owner's WM_TIMER for this id.
    void elapsed() { timer_.tick(); }

private:
    void synchronize();
    Timer& timer_;
    HWND owner_;
    UINT_PTR id_;
    bool running_ = false;
};

}  // namespace qn::ui
