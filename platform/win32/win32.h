// The one way into <windows.h> for the Win32 layers (platform/win32, ui/win32,
// tools): lean headers, no min/max macros, and the Windows XP API level the
// product targets. A file that needs a later API defines _WIN32_WINNT itself
// before including this.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0501
#endif
#ifndef WINVER
#define WINVER _WIN32_WINNT
#endif

#include <windows.h>
