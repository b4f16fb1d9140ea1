// Controls that only group others: panels and group boxes.
#pragma once

#include <string>

#include "ui/control.h"

namespace qn::ui {

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

}  // namespace qn::ui
