// Message boxes, the file-open dialog and the process's exit.
#include "platform/win32/win32_platform.h"

#include "platform/win32/platform_parts.h"
#include "platform/win32/scoped_handle.h"
#include "platform/win32/wide_text.h"

#include <commdlg.h>

#include <utility>

namespace qn {

std::string withMessageBoxLineBreaks(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (std::size_t i = 0; i < text.size(); ++i) {
        out += text[i];
        if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) out += '\n';
    }
    return out;
}

Win32Platform::Win32Platform(std::string applicationTitle)
    : applicationTitle_(std::move(applicationTitle)) {}

MessageAnswer Win32Platform::messageBox(MessageKind kind, const std::string& text,
                                        MessageButtons buttons) {
    std::string caption = applicationTitle_;
    UINT type = 0;
    switch (kind) {
    case MessageKind::Warning: caption = "Warning"; type = MB_ICONWARNING; break;
    case MessageKind::Error: caption = "Error"; type = MB_ICONERROR; break;
    case MessageKind::Information: caption = "Information"; type = MB_ICONINFORMATION; break;
    case MessageKind::Confirm: caption = "Confirm"; type = MB_ICONQUESTION; break;
    case MessageKind::Plain: break;
    }
    type |= buttons == MessageButtons::YesNo ? MB_YESNO : MB_OK;
    HWND owner = GetActiveWindow();
    // Without an owner the box would not block the rest of our windows.
    if (owner == nullptr) type |= MB_TASKMODAL;
    int answer = MessageBoxW(owner, wide(withMessageBoxLineBreaks(text)).c_str(),
                             wide(caption).c_str(), type);
    if (buttons == MessageButtons::YesNo) return answer == IDYES ? MessageAnswer::Yes : MessageAnswer::No;
    return MessageAnswer::Ok;
}

std::string fileDialogFilter(const std::string& filter) {
    std::string out = filter;
    for (char& c : out)
        if (c == '|') c = '\0';
    out.push_back('\0');
    out.push_back('\0');
    return out;
}

std::optional<std::string> Win32Platform::openFileDialog(const std::string& filter,
                                                         const std::string& title) {
    const std::wstring filters = wide(fileDialogFilter(filter));
    const std::wstring wtitle = wide(title);
    wchar_t file[MAX_PATH] = L"";
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = GetActiveWindow();
    ofn.lpstrFilter = filters.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = wtitle.c_str();
    ofn.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    static const auto getOpenFileName =
        systemProc<decltype(&GetOpenFileNameW)>(L"comdlg32.dll", "GetOpenFileNameW");
    if (!getOpenFileName || !getOpenFileName(&ofn)) return std::nullopt;
    return narrow(file);
}

void Win32Platform::exitProcess(int code) {
    ExitProcess(static_cast<UINT>(code));
}

}  // namespace qn
