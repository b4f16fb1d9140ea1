// The names the program gives its windows, their classes and properties,
// and its own window messages.
#pragma once

#include "platform/win32/win32.h"

namespace qn::ui {

// Window classes of the controls that have no native counterpart, and of
// the application's window.
inline const wchar_t* const kApplicationClass = L"QnApplication";
inline const wchar_t* const kFormClass = L"QnForm";
inline const wchar_t* const kPageClass = L"QnPage";
inline const wchar_t* const kPanelClass = L"QnPanel";
inline const wchar_t* const kImageClass = L"QnImage";

// The window property that names a control's window (read by the end-to-end
// driver), and the application window's name. Top-level windows are named
// when made; the controls of a form when the form is sent this registered
// message, so that a start pays nothing for names no driver reads.
inline const char* const kNameProperty = "QnName";
inline const char* const kNameRequestMessage = "QnNameControls";
// Set on a form while some of its pages have no windows yet.
inline const char* const kPendingProperty = "QnPending";
// Posted to a form after its first painting, and again after each, to make
// the next window left for later on its pages.
constexpr UINT kBuildPageMessage = WM_APP + 1;
inline const char* const kApplicationName = "Application";

}  // namespace qn::ui
