// The shell: opening a file with its program, the recent-documents list.
#include "platform/win32/win32_platform.h"

#include "platform/win32/platform_parts.h"
#include "platform/win32/scoped_handle.h"
#include "platform/win32/wide_text.h"

#include <objbase.h>
#include <cstring>

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
    if (!addToRecent) return;
    // Wine makes a link to nowhere from a wide path: one the code page
    // spells goes in the code page, as it always did; any other as an item
    // list.
    if (codePageSpells(path)) {
        addToRecent(SHARD_PATHA, codePageBytes(wide(path)).c_str());
        return;
    }
    using FromPath = void*(WINAPI*)(const wchar_t*);
    using Free = void(WINAPI*)(void*);
    static const auto fromPath = systemProc<FromPath>(L"shell32.dll", "ILCreateFromPathW");
    static const auto free = systemProc<Free>(L"shell32.dll", "ILFree");
    void* items = fromPath ? fromPath(wide(path).c_str()) : nullptr;
    if (!items) return;
    addToRecent(SHARD_PIDL, items);
    if (free) free(items);
}

std::optional<std::string> Win32Platform::shortcutTarget(const std::string& path) {
    static const auto initialize = systemProc<decltype(&CoInitializeEx)>(L"ole32.dll", "CoInitializeEx");
    static const auto uninitialize = systemProc<decltype(&CoUninitialize)>(L"ole32.dll", "CoUninitialize");
    static const auto create = systemProc<decltype(&CoCreateInstance)>(L"ole32.dll", "CoCreateInstance");
    if (!initialize || !uninitialize || !create) return std::nullopt;
    const bool initialized = SUCCEEDED(initialize(nullptr, COINIT_APARTMENTTHREADED));
    std::optional<std::string> target;
    IShellLinkW* link = nullptr;
    if (SUCCEEDED(create(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                         reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            std::wstring stored(32768, L'\0');
            if (SUCCEEDED(file->Load(wide(path).c_str(), STGM_READ)) &&
                link->GetPath(&stored[0], static_cast<int>(stored.size()), nullptr, SLGP_RAWPATH) == S_OK)
                target = narrow(stored.c_str());
            file->Release();
        }
        link->Release();
    }
    if (initialized) uninitialize();
    return target;
}

bool Win32Platform::setClipboardText(const std::string& text) {
    const std::wstring w = wide(text);
    const size_t bytes = (w.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory) return false;
    if (void* at = GlobalLock(memory)) {
        memcpy(at, w.c_str(), bytes);
        GlobalUnlock(memory);
    }
    if (!OpenClipboard(GetActiveWindow())) {
        GlobalFree(memory);
        return false;
    }
    EmptyClipboard();
    // Once set, the clipboard owns the memory.
    const bool set = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    if (!set) GlobalFree(memory);
    CloseClipboard();
    return set;
}

}  // namespace qn
