// What a program file says of itself: its version resource and the sizes of
// its icon's images.
#include "tools/driver/driver.h"

namespace qndriver {

void cmdFileInfo(const Args& a) {
    const std::wstring file = qn::wide(a[0]);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
    if (size == 0) fail(kNotFound, "no version resource in " + a[0]);
    std::vector<char> info(size);
    if (!GetFileVersionInfoW(file.c_str(), 0, size, info.data())) fail(kFailed, "cannot read its version");
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed)
        outLine("FixedFileVersion\t" + std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." +
                std::to_string(LOWORD(fixed->dwFileVersionLS)));
    for (const wchar_t* name : {L"CompanyName", L"ProductName", L"FileVersion", L"ProductVersion",
                                L"FileDescription", L"LegalCopyright", L"OriginalFilename"}) {
        wchar_t* text = nullptr;
        const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
        if (VerQueryValueW(info.data(), query.c_str(), reinterpret_cast<void**>(&text), &length) && text)
            outLine(qn::narrow(name) + "\t" + qn::narrow(text));
    }
    // The icon group's directory: a 6-byte header, then 14 bytes per image
    // whose first byte is the width (0 for 256).
    HMODULE module = LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) fail(kFailed, "cannot load " + a[0]);
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
    const auto* group = found ? static_cast<const BYTE*>(LockResource(LoadResource(module, found))) : nullptr;
    std::string sizes;
    if (group)
        for (int i = 0, n = group[4] | group[5] << 8; i < n; ++i)
            sizes += (sizes.empty() ? "" : " ") + std::to_string(group[6 + 14 * i] ? group[6 + 14 * i] : 256);
    FreeLibrary(module);
    outLine("IconSizes\t" + sizes);
}

}  // namespace qndriver
