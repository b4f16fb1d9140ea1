#pragma once

#include <functional>
#include <string>

#include "ui/control.h"

namespace qn::ui {

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

}  // namespace qn::ui
