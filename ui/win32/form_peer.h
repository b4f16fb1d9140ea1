// A form's top-level window: placement, showing and hiding, closing,
// painting, and keeping the keyboard focus across activations.
#pragma once

#include "ui/win32/peers.h"

#include <commdlg.h>

namespace qn::ui {

class FormPeer : public NativePeer {
public:
    using NativePeer::NativePeer;

protected:
    Creation creation() const override;
    HWND createWindow(HWND parent) override;
    void update(Property property, int index) override;
    bool handle(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override;

public:
    // The control to get the focus when this form next becomes active.
    void setPendingFocus(HWND control) {
        lastFocus_ = control;
        focusAsked_ = true;
    }
    // Lays the form out at `dpi` with its frame's top left corner at `at`.
    void rescaleTo(int dpi, POINT at);
    void childrenCreated() override;

private:
    Form& form() const { return static_cast<Form&>(control()); }
    // One handler a message; each says whether it answered, with what.
    bool onEraseBackground(WPARAM wp, LPARAM lp, LRESULT& result);
    bool onPaint(WPARAM wp, LPARAM lp, LRESULT& result);
    bool onBuildPage(WPARAM wp, LPARAM lp, LRESULT& result);
    bool onDialogCommand(WPARAM wp, LPARAM lp, LRESULT& result);
    bool onClose(WPARAM wp, LPARAM lp, LRESULT& result);
    bool onDestroy(WPARAM wp, LPARAM lp, LRESULT& result);
    bool onGetDpiScaledSize(WPARAM wp, LPARAM lp, LRESULT& result);
    bool onDpiChanged(WPARAM wp, LPARAM lp, LRESULT& result);
    bool onSysCommand(WPARAM wp, LPARAM lp, LRESULT& result);
    bool onSysColorChange(WPARAM wp, LPARAM lp, LRESULT& result);
    bool onSettingChange(WPARAM wp, LPARAM lp, LRESULT& result);
    bool onTimer(WPARAM wp, LPARAM lp, LRESULT& result);
    bool onActivate(WPARAM wp, LPARAM lp, LRESULT& result);
    bool onSetFocus(WPARAM wp, LPARAM lp, LRESULT& result);
    // The window's outer size for the layout's client area at `dpi`.
    SIZE outerSize(int dpi) const;
    void fitClientArea();
    void restoreFocus();
    // The form's own commands, in its window menu before Close.
    void addWindowMenu(HWND hwnd);
    // The system's colours or contrast changed.
    void schemeChanged();
    // Brings the shown form to the front unless one of ours is there.
    void takeForeground();
    // The system's Find window over the form: opened, or brought forward;
    // what it reports.
    void openFind();
    void onFindMessage(const FINDREPLACEW& find);
    FINDREPLACEW find_{};
    wchar_t findText_[256] = {};
    HWND findWindow_ = nullptr;
    HWND lastFocus_ = nullptr;
    bool focusAsked_ = false;  // lastFocus_ was asked for from code
    int foregroundTries_ = 0;
    bool pagePosted_ = false;
};

}  // namespace qn::ui
