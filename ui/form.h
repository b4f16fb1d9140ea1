#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/button.h"
#include "ui/control.h"

namespace qn::ui {

// A top-level window. Its client area is the bounds' width and height.
class Form : public Control {
public:
    Form(std::string name, Rect client, std::string caption);

    std::function<void()> onShow;
    std::function<void()> onPaint;
    std::function<void()> onClose;
    // The window moved to a screen of another resolution and was laid out
    // again at it; what the form draws itself must be drawn again.
    std::function<void()> onDpiChange;
    // Runs once, just before the first showing: a window system that makes
    // a form's native windows only when they are first needed sets it.
    std::function<void()> beforeFirstShow;

    // Becoming visible runs onShow first, as the window appears.
    void show();
    void hide();
    // The user closes the window (close box or system menu).
    void close();
    void paint() { if (onPaint) onPaint(); }

    bool showing() const { return showing_; }
    // The buttons that Enter and Escape press when the focus is on a control
    // that does not take those keys itself (a list, a combo box).
    Button* defaultButton = nullptr;
    Button* cancelButton = nullptr;

    // Keys that move within what the form shows rather than between its
    // controls, when the focused control has no use for them. True when
    // the form took the key.
    enum class Key { Left, Right, Home, End };
    std::function<bool(Key)> onKey;
    bool keyDown(Key key) { return onKey && onKey(key); }

    // Keys that press a button from anywhere in the form, named as a user
    // reads them: "Ctrl+R", "F1", "Ctrl+F1"; without a button, a command.
    struct Shortcut {
        std::string keys;
        Button* button;
        std::function<void()> action = {};
    };
    std::vector<Shortcut> shortcuts;
    // True when `keys` pressed a button (one that is enabled).
    bool pressShortcut(const std::string& keys);

    // Commands the window menu offers before Close, "&" marking the access
    // key; read when the window is made.
    struct MenuCommand {
        std::string caption;
        std::function<void()> onChoose;
    };
    std::vector<MenuCommand> windowMenu;

    // The system's Find window over the form (modeless, one at a time): it
    // shows `findQuery` when opened, and each "Find Next" pressed in it
    // reaches onFindNext with what it then shows.
    struct FindQuery {
        std::string text;
        bool matchCase = false;
        bool down = true;
    };
    FindQuery findQuery;
    std::function<void(const FindQuery&)> onFindNext;
    // Opens the window, or brings it forward when it is open.
    void openFind();
    bool findShowing() const { return findShowing_; }
    // The user, in the window.
    void findNext(const FindQuery& query);
    void findClosed() { findShowing_ = false; }

    // The system's colours changed: what the form drew in them itself
    // (pictures on its background) must be drawn again.
    std::function<void()> onColorChange;
    void colorsChanged() { if (onColorChange) onColorChange(); }

    // Whether the title bar offers a close box; read when the window is made.
    bool closeBox() const { return closeBox_; }
    void setCloseBox(bool on) { closeBox_ = on; }
    // The control that was last given the keyboard focus from code.
    Control* focused() const { return focused_; }

    // The resolution the window is shown at, in dots per inch; the layout's
    // pixels are those of 96, which is also the resolution without a window
    // system. The backend sets it as it makes the window, and again when the
    // window moves to a screen of another resolution; then, once the
    // controls are laid out at it, it runs dpiChanged.
    int dpi() const { return dpi_; }
    void setDpi(int dpi) { dpi_ = dpi; }
    void dpiChanged() { if (onDpiChange) onDpiChange(); }

private:
    friend class Control;
    int dpi_ = 96;
    bool showing_ = false;
    bool closeBox_ = true;
    bool findShowing_ = false;
    Control* focused_ = nullptr;
};

}  // namespace qn::ui
