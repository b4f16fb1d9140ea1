#include "ui/widgets.h"

#include "platform/unicode_text.h"

#include <algorithm>

namespace qn::ui {

Control::Control(Control* parent, std::string name, Kind kind, Rect bounds, std::string caption)
    : parent_(parent), name_(std::move(name)), kind_(kind), bounds_(bounds),
      caption_(std::move(caption)) {
    if (parent_) {
        font_ = parent_->font_;  // controls take their parent's font unless told otherwise
        tabOrder_ = static_cast<int>(parent_->children_.size());
        parent_->children_.push_back(this);
    }
}

void Control::setCaption(const std::string& text) {
    if (caption_ == text) return;
    caption_ = text;
    notify(Property::Caption);
}

void Control::setEnabled(bool on) {
    if (enabled_ == on) return;
    enabled_ = on;
    notify(Property::Enabled);
}

void Control::setVisible(bool on) {
    if (visible_ == on) return;
    visible_ = on;
    notify(Property::Visible);
}

void Control::setFont(const Font& font) {
    font_ = font;
    notify(Property::Font);
}

void Control::setFontColor(const Color& color) {
    if (font_.color == color) return;
    font_.color = color;
    notify(Property::Font);
}

void Control::setHint(const std::string& hint) {
    if (hint_ == hint) return;
    hint_ = hint;
    notify(Property::Hint);
}

void Control::setCursor(Cursor cursor) {
    if (cursor_ == cursor) return;
    cursor_ = cursor;
    notify(Property::Cursor);
}

void Control::setColor(const Color& color) {
    if (color_ && *color_ == color) return;
    color_ = color;
    notify(Property::Color);
}

const Form* Control::form() const {
    const Control* top = this;
    while (top->parent_) top = top->parent_;
    return dynamic_cast<const Form*>(top);
}

void Control::setFocus() {
    Control* top = this;
    while (top->parent_) top = top->parent_;
    if (auto* form = dynamic_cast<Form*>(top)) form->focused_ = this;
    notify(Property::Focus);
}

void Button::click() {
    if (!enabled()) return;
    if (groupIndex_ > 0) setPressed(true);
    if (onClick) onClick();
}

void Button::setFlat(bool on) {
    if (flat_ == on) return;
    flat_ = on;
    notify(Property::Flat);
}

void Button::setPressed(bool on) {
    if (on && groupIndex_ > 0 && parent()) {
        for (Control* sibling : parent()->children()) {
            auto* other = dynamic_cast<Button*>(sibling);
            if (other && other != this && other->groupIndex_ == groupIndex_)
                other->setPressed(false);
        }
    }
    if (pressed_ == on) return;
    pressed_ = on;
    notify(Property::Pressed);
}

void CheckBox::setChecked(bool on) {
    if (checked_ == on) return;
    showChecked(on);
    if (onClick) onClick();
}

void CheckBox::showChecked(bool on) {
    if (checked_ == on) return;
    checked_ = on;
    notify(Property::Checked);
}

void Edit::setText(const std::string& text) {
    if (text == caption()) return;
    setCaption(text);
    if (onChange) onChange();
}

void ListControl::setItems(std::vector<std::string> items) {
    items_ = std::move(items);
    itemIndex_ = -1;
    notify(Property::Items);
}

void ListControl::setItemIndex(int index) {
    if (index < -1 || index >= static_cast<int>(items_.size())) index = -1;
    if (itemIndex_ == index) return;
    itemIndex_ = index;
    notify(Property::ItemIndex);
}

const std::vector<std::string>& ListView::row(int index) const {
    std::vector<std::string>& cells = rows_.at(index);
    if (complete_ && !completed_[index]) {
        completed_[index] = true;
        complete_(index, cells);
        cells.resize(columns_.size());
    }
    return cells;
}

void ListView::clear() {
    rows_.clear();
    complete_ = nullptr;
    completed_.clear();
    selected_ = -1;
    notify(Property::Rows);
}

int ListView::addRow(std::vector<std::string> cells) {
    cells.resize(columns_.size());
    rows_.push_back(std::move(cells));
    if (complete_) completed_.push_back(true);
    notify(Property::Rows);
    return rowCount() - 1;
}

void ListView::setRows(std::vector<std::vector<std::string>> rows, RowCompleter complete) {
    rows_ = std::move(rows);
    for (std::vector<std::string>& cells : rows_) cells.resize(columns_.size());
    complete_ = std::move(complete);
    completed_.assign(complete_ ? rows_.size() : 0, false);
    selected_ = -1;
    notify(Property::Rows);
}

void ListView::selectRow(int index) { select(index, true); }
void ListView::showSelected(int index) { select(index, false); }

void ListView::select(int index, bool report) {
    if (index >= rowCount()) return;
    // One row at most is selected: it loses the selection first.
    const int old = selected_;
    if (old >= 0 && old != index) {
        selected_ = -1;
        notify(Property::RowState, old);
        if (report && onChange) onChange(old);
    }
    if (index >= 0 && selected_ != index) {
        selected_ = index;
        notify(Property::RowState, index);
        if (report && onChange) onChange(index);
    }
}

void ListView::setSortArrow(int column, bool descending) {
    if (sortColumn_ == column && sortDescending_ == descending) return;
    sortColumn_ = column;
    sortDescending_ = descending;
    notify(Property::SortArrow);
}

bool ListView::typeCharacter(const std::string& character, unsigned time) {
    // The typing pause after which a character starts a new text, as the
    // system's lists wait.
    constexpr unsigned kPause = 1000;
    const bool continuing = !typed_.empty() && time - typedAt_ < kPause;
    if (character == " " && !continuing) return false;
    typed_ = continuing ? typed_ + character : character;
    typedAt_ = time;
    if (rows_.empty()) return true;
    // One letter over and over steps through the rows it starts; a longer
    // text stays on the selected row while that row still starts with it.
    bool sameLetter = true;
    for (size_t i = 0; i < typed_.size(); i += character.size())
        sameLetter = sameLetter && typed_.compare(i, character.size(), character) == 0;
    const std::string wanted = lowerUtf8(sameLetter ? character : typed_);
    const int rows = rowCount();
    const int start = selected_ < 0 ? 0 : (sameLetter ? selected_ + 1 : selected_);
    for (int n = 0; n < rows; ++n) {
        const int row = (start + n) % rows;
        if (lowerUtf8(caption(row)).compare(0, wanted.size(), wanted) == 0) {
            selectRow(row);
            return true;
        }
    }
    return true;
}

void ListView::setHotTrack(bool on) {
    if (hotTrack_ == on) return;
    hotTrack_ = on;
    notify(Property::HotTrack);
}

StatusBar::StatusBar(Control* parent, std::string name, Rect bounds, std::vector<int> widths)
    : Control(parent, std::move(name), Kind::StatusBar, bounds) {
    for (int w : widths) panels_.push_back(Panel{{}, w});
}

void StatusBar::setPanelText(int index, const std::string& text) {
    Panel& p = panels_.at(index);
    if (p.text == text) return;
    p.text = text;
    notify(Property::Panels, index);
}

TabSheet::TabSheet(Control* parent, std::string name, std::string caption)
    : Control(parent, std::move(name), Kind::TabSheet, Rect{}, std::move(caption)) {}

void PageControl::setActivePage(int index) {
    if (activePage_ == index) return;
    activePage_ = index;
    notify(Property::ActivePage);
}

void PageControl::userSelectPage(int index) {
    if (activePage_ == index) return;
    setActivePage(index);
    if (onChange) onChange();
}

void PageControl::setHotTrack(bool on) {
    if (hotTrack_ == on) return;
    hotTrack_ = on;
    notify(Property::HotTrack);
}

const Bitmap& Image::picture() const {
    if (draw_) {
        const std::function<Bitmap()> draw = std::move(draw_);
        draw_ = nullptr;
        picture_ = draw();
    }
    return picture_;
}

void Image::setPicture(Bitmap picture) {
    draw_ = nullptr;
    picture_ = std::move(picture);
    notify(Property::Picture);
}

void Image::setPicture(std::function<Bitmap()> draw) {
    draw_ = std::move(draw);
    picture_ = Bitmap{};
    notify(Property::Picture);
}

void ProgressBar::setMaximum(int max) {
    max_ = max;
    position_ = std::clamp(position_, 0, std::max(max_, 0));
    notify(Property::Position);
}

void ProgressBar::setPosition(int position) {
    position_ = std::clamp(position, 0, std::max(max_, 0));
    notify(Property::Position);
}

Form::Form(std::string name, Rect client, std::string caption)
    : Control(nullptr, std::move(name), Kind::Form, client, std::move(caption)) {
    setVisible(false);
}

void Form::show() {
    if (showing_) return;
    if (beforeFirstShow) {
        const std::function<void()> first = std::move(beforeFirstShow);
        beforeFirstShow = nullptr;
        first();
    }
    showing_ = true;
    if (onShow) onShow();
    setVisible(true);
}

void Form::hide() {
    showing_ = false;
    setVisible(false);
}

bool Form::pressShortcut(const std::string& keys) {
    for (const Shortcut& s : shortcuts) {
        if (s.keys != keys) continue;
        if (s.button && s.button->enabled()) {
            s.button->click();
            return true;
        }
        if (!s.button && s.action) {
            s.action();
            return true;
        }
    }
    return false;
}

void Form::openFind() {
    findShowing_ = true;
    notify(Property::Find);
}

void Form::findNext(const FindQuery& query) {
    findQuery = query;
    if (onFindNext) onFindNext(query);
}

void Form::close() {
    if (onClose) onClose();
    hide();
}

}  // namespace qn::ui
