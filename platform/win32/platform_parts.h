// What the Win32 Platform's files share among themselves; not for others.
#pragma once

#include "platform/win32/win32.h"

#include <string>

namespace qn {

// The attributes of a file or directory, INVALID_FILE_ATTRIBUTES when it
// cannot be told.
DWORD attributesOf(const std::string& path);

// A text in the system's code page, a default character for each
// character it lacks.
std::string codePageBytes(const std::wstring& text);

// The shell and the common dialogs bring COM and a dozen libraries with them
// when they load; a start that never opens a file or a link need not pay for
// them, so they are loaded on first use. System32 only: never a copy that
// happens to sit beside the program.
template <typename Fn>
Fn systemProc(const wchar_t* library, const char* name) {
    HMODULE module = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Systems without the search flags refuse it; their search starts in system32 anyway
    // for known libraries such as these.
    if (!module) module = LoadLibraryW(library);
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                  : nullptr;
}

}  // namespace qn
