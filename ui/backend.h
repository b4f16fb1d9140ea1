// What the application needs of a window system beyond the controls' own
// state: creating the native windows and running the message loop.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "ui/widgets.h"

namespace qn::ui {

class Backend {
public:
    virtual ~Backend() = default;
    virtual void setApplicationTitle(const std::string& title) = 0;
    // Creates the native window of a form and of all its controls, hidden.
    virtual void realize(Form& form) = 0;
    // The same, deferred to the form's first showing: a form that may never
    // show costs nothing at start.
    void realizeWhenShown(Form& form) {
        form.beforeFirstShow = [this, &form] { realize(form); };
    }
    // The pages of `pages` that do not show when their form is made get
    // their controls' windows only when first shown, or once the form has
    // painted itself: what the user sees first comes sooner.
    virtual void realizeHiddenPagesLater(PageControl& pages) { (void)pages; }
    // Shows `mainForm` unless it is showing already and runs the message loop;
    // closing or destroying the main window ends it.
    virtual void run(Form& mainForm) = 0;
    // Makes `form` the main window from now on: closing the application
    // closes it, and its end ends the message loop.
    virtual void setMainForm(Form& form) { (void)form; }

    // Where a text drawn in a font puts ink: width * height bytes, non-zero
    // for an inked pixel. Empty without a window system.
    struct TextMask {
        int width = 0, height = 0;
        std::vector<std::uint8_t> ink;
    };
    virtual TextMask renderText(const Font& font, const std::string& text) {
        (void)font, (void)text;
        return {};
    }
    // The same on a screen of `dpi` dots per inch, where the font's points
    // make more pixels. A backend that knows one resolution only draws at it.
    virtual TextMask renderTextAt(const Font& font, const std::string& text, int dpi) {
        (void)dpi;
        return renderText(font, text);
    }
    // Red, green and blue of a system colour.
    virtual std::array<std::uint8_t, 3> systemColor(SysColor color) {
        return defaultSystemColor(color);
    }
    // The classic Windows scheme, for use without a window system.
    static std::array<std::uint8_t, 3> defaultSystemColor(SysColor color) {
        switch (color) {
        case SysColor::Window: return {255, 255, 255};
        case SysColor::Highlight: return {0, 0, 128};
        case SysColor::WindowText: return {0, 0, 0};
        default: return {212, 208, 200};
        }
    }
};

}  // namespace qn::ui
