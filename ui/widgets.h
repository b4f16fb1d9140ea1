// The widget model: controls with their state and events, independent of
// any window system. The Win32 backend mirrors this state onto real windows
// and feeds user input back through the same entry points a test uses.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qn::ui {

unsigned char lowerCp1252(unsigned char c);

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
};

enum class SysColor { WindowText, Highlight, Window, ButtonFace };

// Either a system colour or a plain RGB value.
struct Color {
    bool system = false;
    SysColor sys = SysColor::WindowText;
    std::uint8_t r = 0, g = 0, b = 0;

    static Color rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
        Color c;
        c.r = r, c.g = g, c.b = b;
        return c;
    }
    static Color of(SysColor s) {
        Color c;
        c.system = true, c.sys = s;
        return c;
    }
    bool operator==(const Color& o) const {
        return system == o.system && (system ? sys == o.sys : (r == o.r && g == o.g && b == o.b));
    }
    bool operator!=(const Color& o) const { return !(*this == o); }
};

inline const Color kBlack = Color::rgb(0, 0, 0);
inline const Color kBlue = Color::rgb(0, 0, 255);
inline const Color kRed = Color::rgb(255, 0, 0);

struct Font {
    std::string face = "MS Sans Serif";
    int points = 8;
    bool bold = false;
    bool underline = false;
    Color color = kBlack;
};

enum class Cursor { Default, Arrow, HandPoint, Help };

enum class Kind {
    Form, Label, Button, CheckBox, Edit, ComboBox, ListBox, ListView, StatusBar,
    PageControl, TabSheet, Panel, GroupBox, Image, ProgressBar, Timer, TreeView
};

// Which part of a control's state changed, for the backend.
enum class Property {
    Caption, Enabled, Visible, Font, Cursor, Color, Checked, Items, ItemIndex,
    Rows, RowState, Panels, Flat, Pressed, HotTrack, ActivePage, Position, Picture, Focus, Hint,
    Nodes, Expanded
};

class Control;
class Form;

// The backend's side of one control.
class Peer {
public:
    virtual ~Peer() = default;
    virtual void changed(Control& control, Property property, int index) = 0;
};

// Holds one of a control's handlers back while it lives, so the program can
// set what the control shows without running what the user's change runs.
template <class Handler>
class WithoutHandler {
public:
    explicit WithoutHandler(Handler& handler) : slot_(handler), held_(std::move(handler)) {
        slot_ = nullptr;
    }
    ~WithoutHandler() { slot_ = std::move(held_); }
    WithoutHandler(const WithoutHandler&) = delete;
    WithoutHandler& operator=(const WithoutHandler&) = delete;

private:
    Handler& slot_;
    Handler held_;
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
    int tabOrder_ = 0;
    Peer* peer_ = nullptr;
    std::vector<Control*> children_;
};

class Label : public Control {
public:
    Label(Control* parent, std::string name, Rect bounds, std::string caption)
        : Control(parent, std::move(name), Kind::Label, bounds, std::move(caption)) {}
    std::function<void()> onClick;
    void click() { if (enabled() && onClick) onClick(); }
};

// A push button. Buttons of one group index (above 0) under one parent
// behave as radio buttons: exactly one stays pressed.
class Button : public Control {
public:
    Button(Control* parent, std::string name, Rect bounds, std::string caption, int groupIndex = 0)
        : Control(parent, std::move(name), Kind::Button, bounds, std::move(caption)),
          groupIndex_(groupIndex) {}
    std::function<void()> onClick;
    void click();
    bool flat() const { return flat_; }
    void setFlat(bool on);
    bool pressed() const { return pressed_; }
    void setPressed(bool on);
    int groupIndex() const { return groupIndex_; }

private:
    int groupIndex_;
    bool flat_ = false;
    bool pressed_ = false;
};

// Setting the state from code runs onClick when the state changes, exactly
// as a user's click does.
class CheckBox : public Control {
public:
    CheckBox(Control* parent, std::string name, Rect bounds, std::string caption)
        : Control(parent, std::move(name), Kind::CheckBox, bounds, std::move(caption)) {
        tabStop_ = true;
    }
    std::function<void()> onClick;
    bool checked() const { return checked_; }
    void setChecked(bool on);
    void click() { if (enabled()) setChecked(!checked_); }

private:
    bool checked_ = false;
};

// A one-line text box. Setting the text from code runs onChange when the
// text changes; a lower-case box lower-cases what it is given first.
class Edit : public Control {
public:
    Edit(Control* parent, std::string name, Rect bounds, bool lowerCase = false)
        : Control(parent, std::move(name), Kind::Edit, bounds), lowerCase_(lowerCase) {
        tabStop_ = true;
    }
    std::function<void()> onChange;
    // A key the user typed that is not text: Enter ('\r') or Escape ('\x1b').
    std::function<void(char)> onKeyPress;
    void keyPress(char key) {
        if (onKeyPress) onKeyPress(key);
    }
    const std::string& text() const { return caption(); }
    void setText(const std::string& text);
    bool lowerCase() const { return lowerCase_; }
    bool readOnly() const { return readOnly_; }
    void setReadOnly(bool on) { readOnly_ = on; }
    // A text given from code is one the user types after: the caret goes to
    // its end, with nothing selected. Otherwise the box shows its beginning.
    bool typedAfter() const { return typedAfter_; }
    void setTypedAfter(bool on) { typedAfter_ = on; }

private:
    bool lowerCase_;
    bool readOnly_ = false;
    bool typedAfter_ = false;
};

// Items with one selected index (-1: none). Setting the index from code runs
// no handler; a user's selection runs onChange.
class ListControl : public Control {
public:
    using Control::Control;
    const std::vector<std::string>& items() const { return items_; }
    void setItems(std::vector<std::string> items);
    int itemIndex() const { return itemIndex_; }
    void setItemIndex(int index);
    std::function<void()> onChange;
    void userSelect(int index) {
        setItemIndex(index);
        if (onChange) onChange();
    }

private:
    std::vector<std::string> items_;
    int itemIndex_ = -1;
};

class ComboBox : public ListControl {
public:
    ComboBox(Control* parent, std::string name, Rect bounds, std::vector<std::string> items)
        : ListControl(parent, std::move(name), Kind::ComboBox, bounds) {
        tabStop_ = true;
        setItems(std::move(items));
    }
};

class ListBox : public ListControl {
public:
    ListBox(Control* parent, std::string name, Rect bounds, std::vector<std::string> items,
            int itemHeight)
        : ListControl(parent, std::move(name), Kind::ListBox, bounds), itemHeight_(itemHeight) {
        tabStop_ = true;
        setItems(std::move(items));
    }
    int itemHeight() const { return itemHeight_; }

private:
    int itemHeight_;
};

// A report-view list. Every row whose selection changes is reported to
// onChange with its index: first the row that loses the selection, then the
// row that gains it.
class ListView : public Control {
public:
    struct Column {
        std::string caption;
        int width;
    };
    ListView(Control* parent, std::string name, Rect bounds, std::vector<Column> columns)
        : Control(parent, std::move(name), Kind::ListView, bounds), columns_(std::move(columns)) {
        tabStop_ = true;
    }
    const std::vector<Column>& columns() const { return columns_; }
    int rowCount() const { return static_cast<int>(rows_.size()); }
    // A row's cells, completed first when some were left for later.
    const std::vector<std::string>& row(int index) const;
    // The first cell alone, which is never left for later: finding a row
    // by its caption completes none.
    const std::string& caption(int index) const { return rows_.at(index).at(0); }
    bool isSelected(int index) const {
        rows_.at(index);
        return selected_ == index;
    }
    // The selected row, or -1.
    int selectedRow() const { return selected_; }

    void clear();  // removes every row; reports nothing
    int addRow(std::vector<std::string> cells);
    // Replaces every row at once, none selected; reports nothing. With
    // `complete`, the cells after the first are its to fill, each row's
    // when the row is first read (the cells come sized to the columns):
    // rows never shown cost nothing.
    using RowCompleter = std::function<void(int row, std::vector<std::string>& cells)>;
    void setRows(std::vector<std::vector<std::string>> rows, RowCompleter complete = {});
    // Selects one row (and deselects the others), or clears the selection
    // with -1, reporting each change.
    void selectRow(int index);

    bool hotTrack() const { return hotTrack_; }
    void setHotTrack(bool on);

    std::function<void(int row)> onChange;
    std::function<void()> onClick;
    std::function<void()> onDblClick;
    // A key pressed on the list that is not one of its own (arrows, letters):
    // Enter ('\r'). Without a handler the key is the form's, as in a dialog.
    std::function<void(char)> onKeyPress;
    void click() { if (onClick) onClick(); }
    void doubleClick() { if (onDblClick) onDblClick(); }
    void keyPress(char key) { if (onKeyPress) onKeyPress(key); }

private:
    std::vector<Column> columns_;
    mutable std::vector<std::vector<std::string>> rows_;
    RowCompleter complete_;
    mutable std::vector<bool> completed_;  // by row, while complete_ is set
    int selected_ = -1;
    bool hotTrack_ = false;
};

class StatusBar : public Control {
public:
    StatusBar(Control* parent, std::string name, Rect bounds, std::vector<int> widths);
    int panelCount() const { return static_cast<int>(panels_.size()); }
    const std::string& panelText(int index) const { return panels_.at(index).text; }
    int panelWidth(int index) const { return panels_.at(index).width; }
    void setPanelText(int index, const std::string& text);

private:
    struct Panel {
        std::string text;
        int width;
    };
    std::vector<Panel> panels_;
};

class TabSheet : public Control {
public:
    TabSheet(Control* parent, std::string name, std::string caption);
};

// The pages are its TabSheet children; a page chosen from code runs no handler.
class PageControl : public Control {
public:
    PageControl(Control* parent, std::string name, Rect bounds)
        : Control(parent, std::move(name), Kind::PageControl, bounds) {
        tabStop_ = true;
    }
    int activePage() const { return activePage_; }
    void setActivePage(int index);
    bool hotTrack() const { return hotTrack_; }
    void setHotTrack(bool on);

private:
    int activePage_ = 0;
    bool hotTrack_ = false;
};

class Panel : public Control {
public:
    enum class Bevel { Raised, RaisedInLoweredOut };
    Panel(Control* parent, std::string name, Rect bounds, Bevel bevel = Bevel::Raised)
        : Control(parent, std::move(name), Kind::Panel, bounds), bevel_(bevel) {}
    Bevel bevel() const { return bevel_; }

private:
    Bevel bevel_;
};

class GroupBox : public Control {
public:
    GroupBox(Control* parent, std::string name, Rect bounds, std::string caption)
        : Control(parent, std::move(name), Kind::GroupBox, bounds, std::move(caption)) {}
};

// 24-bit top-down pixels, rows of width * 3 bytes in blue, green, red order,
// made for a screen of `dpi` dots per inch: shown at another resolution the
// picture is resampled to the same size on the screen.
struct Bitmap {
    int width = 0, height = 0;
    std::vector<std::uint8_t> pixels;
    int dpi = 96;
};

class Image : public Control {
public:
    Image(Control* parent, std::string name, Rect bounds)
        : Control(parent, std::move(name), Kind::Image, bounds) {}
    // A picture given by how to draw it is drawn when first read, by the
    // window's painting or anyone else: one replaced before then is never
    // drawn at all.
    const Bitmap& picture() const;
    void setPicture(Bitmap picture);
    void setPicture(std::function<Bitmap()> draw);

private:
    mutable Bitmap picture_;
    mutable std::function<Bitmap()> draw_;
};

class ProgressBar : public Control {
public:
    ProgressBar(Control* parent, std::string name, Rect bounds)
        : Control(parent, std::move(name), Kind::ProgressBar, bounds) {}
    int maximum() const { return max_; }
    int position() const { return position_; }
    void setMaximum(int max);
    // Held within 0 to the maximum.
    void setPosition(int position);

private:
    int max_ = 100;
    int position_ = 0;
};

// Runs onTimer every `interval` milliseconds while enabled; it has no window.
class Timer : public Control {
public:
    Timer(Control* parent, std::string name, int interval)
        : Control(parent, std::move(name), Kind::Timer, Rect{}), interval_(interval) {
        setEnabled(false);
        setVisible(false);
    }
    int interval() const { return interval_; }
    std::function<void()> onTimer;
    void tick() {
        if (enabled() && onTimer) onTimer();
    }

private:
    int interval_;
};

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
    Control* focused_ = nullptr;
};

}  // namespace qn::ui
