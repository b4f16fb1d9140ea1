// The widget model's base: a control's state, its events and the backend's
// peer, independent of any window system. The Win32 backend mirrors this
// state onto real windows and feeds user input back through the same entry
// points a test uses.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qn::ui {

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
};

enum class SysColor { WindowText, Highlight, Window, ButtonFace, ButtonText, GrayText, HotLight };

// Either a system colour or a plain RGB value. A plain value is the
// program's own choice: under a high-contrast scheme it gives way to the
// scheme's colour `contrast`, and under any scheme where it would not stand
// out from what it is drawn on, to that or else to the scheme's text
// colour. A mark (a hover colour) needs to stand out less than text.
struct Color {
    bool system = false;
    SysColor sys = SysColor::WindowText;
    std::uint8_t r = 0, g = 0, b = 0;
    SysColor contrast = SysColor::WindowText;
    bool mark = false;

    static Color rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b,
                     SysColor underHighContrast = SysColor::WindowText) {
        Color c;
        c.r = r, c.g = g, c.b = b;
        c.contrast = underHighContrast;
        return c;
    }
    static Color of(SysColor s) {
        Color c;
        c.system = true, c.sys = s;
        return c;
    }
    bool operator==(const Color& o) const {
        return system == o.system &&
               (system ? sys == o.sys
                       : (r == o.r && g == o.g && b == o.b && contrast == o.contrast && mark == o.mark));
    }
    bool operator!=(const Color& o) const { return !(*this == o); }
};

inline const Color kBlack = Color::rgb(0, 0, 0);
// The links' colours; under high contrast the scheme's for links and for a mark.
inline const Color kBlue = Color::rgb(0, 0, 255, SysColor::HotLight);
inline const Color kRed = [] {
    Color c = Color::rgb(255, 0, 0, SysColor::Highlight);
    c.mark = true;
    return c;
}();

struct Font {
    std::string face = "MS Sans Serif";
    int points = 8;
    bool bold = false;
    bool underline = false;
    Color color = Color::of(SysColor::WindowText);
};

// A form's Wait shows over all of its windows while the program is busy.
enum class Cursor { Default, Arrow, HandPoint, Help, Wait };

enum class Kind {
    Form, Label, Button, CheckBox, Edit, ComboBox, ListBox, ListView, StatusBar,
    PageControl, TabSheet, Panel, GroupBox, Image, ProgressBar, Timer, TreeView
};

// Which part of a control's state changed, for the backend.
enum class Property {
    Caption, Enabled, Visible, Font, Cursor, Color, Checked, Items, ItemIndex,
    Rows, RowState, Panels, Flat, Pressed, HotTrack, ActivePage, Position, Picture, Focus, Hint,
    Nodes, Expanded, SortArrow, Find
};

class Control;
class Form;

// The backend's side of one control.
class Peer {
public:
    virtual ~Peer() = default;
    virtual void changed(Control& control, Property property, int index) = 0;
};

struct MouseEvent {
    enum Button { None, Left, Right, Middle };
    int x = 0, y = 0;
    Button button = None;   // the button released, for mouse-up
    bool leftHeld = false;  // buttons held during the event
    bool rightHeld = false;
    bool middleHeld = false;
};

class Control {
public:
    Control(Control* parent, std::string name, Kind kind, Rect bounds, std::string caption = {});
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& name() const { return name_; }
    Kind kind() const { return kind_; }
    Control* parent() const { return parent_; }
    const std::vector<Control*>& children() const { return children_; }
    const Rect& bounds() const { return bounds_; }
    // The form this control lies in (itself for a form), or nullptr.
    const Form* form() const;

    const std::string& caption() const { return caption_; }
    void setCaption(const std::string& text);
    bool enabled() const { return enabled_; }
    void setEnabled(bool on);
    bool visible() const { return visible_; }
    void setVisible(bool on);
    const Font& font() const { return font_; }
    void setFont(const Font& font);
    void setFontColor(const Color& color);
    Cursor cursor() const { return cursor_; }
    void setCursor(Cursor cursor);
    // Background colour; nothing means the control's usual one.
    const std::optional<Color>& color() const { return color_; }
    void setColor(const Color& color);
    // The tooltip shown while the pointer rests on the control.
    const std::string& hint() const { return hint_; }
    void setHint(const std::string& hint);
    bool tabStop() const { return tabStop_; }
    // Both read when the form's windows are made.
    void setTabStop(bool on) { tabStop_ = on; }
    int tabOrder() const { return tabOrder_; }
    void setTabOrder(int order) { tabOrder_ = order; }
    // What a screen reader calls the control where its caption does not say
    // (a "..." button, a picture); read when its window is made.
    const std::string& accessName() const { return accessName_; }
    void setAccessName(std::string name) { accessName_ = std::move(name); }

    // Events. Empty handlers do nothing.
    std::function<void(const MouseEvent&)> onMouseMove;
    std::function<void(const MouseEvent&)> onMouseUp;
    std::function<void()> onEnter;  // keyboard focus arrives

    // User actions, as the backend or a test delivers them.
    void mouseMove(const MouseEvent& e = {}) { if (onMouseMove) onMouseMove(e); }
    void mouseUp(const MouseEvent& e) { if (onMouseUp) onMouseUp(e); }
    void enter() { if (onEnter) onEnter(); }

    // Gives this control the keyboard focus.
    void setFocus();

    void setPeer(Peer* peer) { peer_ = peer; }
    Peer* peer() const { return peer_; }

protected:
    void notify(Property p, int index = -1) {
        if (peer_) peer_->changed(*this, p, index);
    }
    bool tabStop_ = false;

private:
    Control* parent_;
    std::string name_;
    Kind kind_;
    Rect bounds_;
    std::string caption_;
    bool enabled_ = true;
    bool visible_ = true;
    Font font_;
    Cursor cursor_ = Cursor::Default;
    std::optional<Color> color_;
    std::string hint_;
    std::string accessName_;
    int tabOrder_ = 0;
    Peer* peer_ = nullptr;
    std::vector<Control*> children_;
};

}  // namespace qn::ui
