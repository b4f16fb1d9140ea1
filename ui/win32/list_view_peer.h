// The report-view list: the window holds no rows of its own (it asks the
// model for each cell it draws), its selection is mirrored from the model,
// and selection changes made by anyone but the backend are fed back into it.
#pragma once

#include "platform/win32/scoped_gdi.h"
#include "ui/win32/peers.h"

namespace qn::ui {

class ListViewPeer : public NativePeer {
public:
    using NativePeer::NativePeer;
    bool onNotify(NMHDR& header, LRESULT& result) override;
    void rescale() override;
    void recolor() override { syncColors(); }

protected:
    Creation creation() const override;
    HWND createWindow(HWND parent) override;
    void update(Property property, int index) override;
    bool handle(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

private:
    ListView& list() const { return static_cast<ListView&>(control()); }
    // One cell's text into the window's buffer, cut to fit.
    void cellText(int row, int column, wchar_t* buffer, int size) const;
    // The row a typed name leads to, or -1.
    int findRow(const std::wstring& text, unsigned flags, int start) const;
    void syncRows();
    void syncRowState(int row);
    void syncColors();
    void syncSortArrow();
    // The header's sort arrow where the common controls draw none.
    ScopedBitmap arrowBitmap(bool down) const;
    ScopedBitmap arrow_{nullptr};
    // The row's menu at the point given (-1: from the keyboard, under the
    // selected row), and the command chosen carried out.
    void showContextMenu(LPARAM lp);
    // One handler a notification.
    bool onItemChanged(const NMLISTVIEW& change);
    // The window is a Unicode one: its notifications come in the W forms.
    bool onGetDisplayInfo(NMLVDISPINFOW& info);
    LRESULT onFindItem(const NMLVFINDITEMW& find) const;
};

}  // namespace qn::ui
