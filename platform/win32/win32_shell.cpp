// The shell: opening a file with its program, the recent-documents list.
#include "platform/win32/win32_platform.h"

#include "platform/win32/platform_parts.h"
#include "platform/win32/scoped_handle.h"
#include "platform/win32/wide_text.h"

#include <shellapi.h>
#include <shlobj.h>

namespace qn {

int Win32Platform::shellOpen(const std::string& file, const std::string& directory) {
    HWND owner = GetActiveWindow();
    if (owner == nullptr) {
        // Called from a thread without an active window: borrow our own
        // foreground window, never another program's.
        HWND foreground = GetForegroundWindow();
        DWORD process = 0;
        if (foreground != nullptr) GetWindowThreadProcessId(foreground, &process);
        if (process == GetCurrentProcessId()) owner = foreground;
    }
    static const auto shellExecute =
        systemProc<decltype(&ShellExecuteW)>(L"shell32.dll", "ShellExecuteW");
    if (!shellExecute) return static_cast<int>(SE_ERR_DLLNOTFOUND);
    const std::wstring wdirectory = wide(directory);
    HINSTANCE answer = shellExecute(owner, L"open", wide(file).c_str(), nullptr,
                                     wdirectory.empty() ? nullptr : wdirectory.c_str(),
                                     SW_SHOWNORMAL);
    return static_cast<int>(reinterpret_cast<INT_PTR>(answer));
}

void Win32Platform::addToRecentDocuments(const std::string& path) {
    static const auto addToRecent =
        systemProc<decltype(&SHAddToRecentDocs)>(L"shell32.dll", "SHAddToRecentDocs");
    if (addToRecent) addToRecent(SHARD_PATHW, wide(path).c_str());
}
}  // namespace qn
