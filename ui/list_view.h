#pragma once

#include <functional>
#include <string>
#include <vector>

#include "ui/control.h"
#include "ui/menu.h"

namespace qn::ui {

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
    // The same for a selection the program makes on its own: nothing is
    // reported.
    void showSelected(int index);

    bool hotTrack() const { return hotTrack_; }
    void setHotTrack(bool on);

    // The header's sort arrow: on the column given, up or down; -1 none.
    int sortColumn() const { return sortColumn_; }
    bool sortDescending() const { return sortDescending_; }
    void setSortArrow(int column, bool descending);

    // Typing in the list: each character typed within a second of the last
    // one adds to the text, and the selection goes to the first row from
    // the selected one on whose caption starts with it, letter case aside
    // (the same letter typed again steps on to the next such row). `time`
    // in milliseconds, as the system stamps input. True when it took the
    // character (a blank only while a text is under way).
    bool typeCharacter(const std::string& character, unsigned time);

    std::function<void(int row)> onChange;
    // A click on a column header, with the column.
    std::function<void(int column)> onColumnClick;
    void columnClick(int column) { if (onColumnClick) onColumnClick(column); }
    // The commands for the selected row's menu (right click, Shift+F10, the
    // Menu key); none: no menu.
    std::function<std::vector<MenuItem>(int row)> onContextMenu;
    std::vector<MenuItem> contextMenu(int row) const {
        return onContextMenu ? onContextMenu(row) : std::vector<MenuItem>{};
    }
    std::function<void()> onClick;
    std::function<void()> onDblClick;
    // A key pressed on the list that is not one of its own (arrows, letters):
    // Enter ('\r'). Without a handler the key is the form's, as in a dialog.
    std::function<void(char)> onKeyPress;
    void click() { if (onClick) onClick(); }
    void doubleClick() { if (onDblClick) onDblClick(); }
    void keyPress(char key) { if (onKeyPress) onKeyPress(key); }

private:
    void select(int index, bool report);

    std::vector<Column> columns_;
    mutable std::vector<std::vector<std::string>> rows_;
    RowCompleter complete_;
    mutable std::vector<bool> completed_;  // by row, while complete_ is set
    int selected_ = -1;
    bool hotTrack_ = false;
    int sortColumn_ = -1;
    bool sortDescending_ = false;
    std::string typed_;
    unsigned typedAt_ = 0;
};

}  // namespace qn::ui
