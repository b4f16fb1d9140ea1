// The registry: each HKEY owned by an object that closes it.
#include "platform/win32/win32_platform.h"

#include "platform/win32/platform_parts.h"
#include "platform/win32/scoped_handle.h"
#include "platform/win32/wide_text.h"

#include <algorithm>
#include <cstring>

namespace qn {
namespace {

// Text values come as UTF-16 and go on as UTF-8, NULs and all, as the code
// page's text came from the old calls; any other type as its bytes.
std::string asStored(DWORD type, const std::string& bytes) {
    if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ) return bytes;
    std::wstring text(bytes.size() / 2, L'\0');
    if (!text.empty()) std::memcpy(&text[0], bytes.data(), text.size() * sizeof(wchar_t));
    return narrow(text);
}

class Win32RegistryKey final : public RegistryKey {
public:
    explicit Win32RegistryKey(HKEY key) : key_(key) {}
    ~Win32RegistryKey() override { RegCloseKey(key_); }
    Win32RegistryKey(const Win32RegistryKey&) = delete;
    Win32RegistryKey& operator=(const Win32RegistryKey&) = delete;

    std::optional<std::uint32_t> valueSize(const std::string& name) override {
        std::optional<std::string> data = wholeValue(name);
        if (!data) return std::nullopt;
        return static_cast<std::uint32_t>(data->size());
    }

    std::optional<std::string> valueData(const std::string& name, std::uint32_t size) override {
        std::optional<std::string> data = wholeValue(name);
        if (data && data->size() > size) data->resize(size);
        return data;
    }

    std::optional<std::vector<std::pair<std::string, std::string>>> allValues() override {
        // The longest name and data the key holds size the buffers once; a
        // value that grows meanwhile gets a bigger buffer on its own.
        DWORD count = 0, longestName = 0, longestData = 0;
        if (RegQueryInfoKeyW(key_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                             &longestName, &longestData, nullptr, nullptr) != ERROR_SUCCESS)
            return std::nullopt;
        std::vector<std::pair<std::string, std::string>> values;
        values.reserve(count);
        std::wstring name(longestName + 1, L'\0');
        std::string data(longestData + 2, '\0');
        for (DWORD index = 0;; ++index) {
            DWORD nameSize = static_cast<DWORD>(name.size());
            DWORD dataSize = static_cast<DWORD>(data.size());
            DWORD type = REG_NONE;
            LONG rc = RegEnumValueW(key_, index, &name[0], &nameSize, nullptr, &type,
                                    reinterpret_cast<BYTE*>(&data[0]), &dataSize);
            if (rc == ERROR_MORE_DATA) {
                name.assign(name.size() * 2 + 256, L'\0');
                data.assign(std::max<size_t>(data.size() * 2, dataSize + 2), '\0');
                --index;
                continue;
            }
            if (rc == ERROR_NO_MORE_ITEMS) break;
            if (rc != ERROR_SUCCESS) return std::nullopt;
            values.emplace_back(narrow(name.data(), nameSize),
                                asStored(type, std::string(data.data(), dataSize)));
        }
        return values;
    }

    bool setString(const std::string& name, const std::string& text) override {
        const std::wstring data = wide(text);
        const LSTATUS status = RegSetValueExW(key_, wide(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                                              static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
        // The registry answers with its error rather than setting the thread's.
        if (status != ERROR_SUCCESS) SetLastError(static_cast<DWORD>(status));
        return status == ERROR_SUCCESS;
    }

    std::optional<std::uint64_t> lastWriteTime() override {
        FILETIME time{};
        if (RegQueryInfoKeyW(key_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr, &time) != ERROR_SUCCESS)
            return std::nullopt;
        return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
    }

    bool deleteSubKey(const std::string& name) override {
        return RegDeleteKeyW(key_, wide(name).c_str()) == ERROR_SUCCESS;
    }

private:
    // The whole value as the program sees it; nothing when there is none.
    std::optional<std::string> wholeValue(const std::string& name) {
        const std::wstring wname = wide(name);
        DWORD type = REG_NONE, size = 0;
        LONG rc = RegQueryValueExW(key_, wname.c_str(), nullptr, &type, nullptr, &size);
        std::string data;
        // A value that grows between the two questions is asked again.
        while (rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA) {
            data.assign(size + 2, '\0');
            DWORD got = size + 2;
            rc = RegQueryValueExW(key_, wname.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(&data[0]), &got);
            if (rc == ERROR_SUCCESS) return asStored(type, data.substr(0, got));
            size = got;
        }
        return std::nullopt;
    }

    HKEY key_;
};

HKEY rootHandle(RootKey root) {
    switch (root) {
    case RootKey::LocalMachine: return HKEY_LOCAL_MACHINE;
    case RootKey::CurrentUser: return HKEY_CURRENT_USER;
    case RootKey::ClassesRoot: return HKEY_CLASSES_ROOT;
    case RootKey::CurrentConfig: return HKEY_CURRENT_CONFIG;
    }
    return HKEY_CURRENT_USER;
}

}  // namespace

std::unique_ptr<RegistryKey> Win32Platform::openKey(RootKey root, const std::string& path,
                                                    KeyAccess access) {
    HKEY key = nullptr;
    const REGSAM rights = access == KeyAccess::Read ? KEY_READ : KEY_READ | KEY_WRITE;
    if (RegOpenKeyExW(rootHandle(root), wide(path).c_str(), 0, rights, &key) != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<Win32RegistryKey>(key);
}

std::unique_ptr<RegistryKey> Win32Platform::createKey(RootKey root, const std::string& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(rootHandle(root), wide(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_READ | KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<Win32RegistryKey>(key);
}

bool Win32Platform::deleteKey(RootKey root, const std::string& path) {
    return RegDeleteKeyW(rootHandle(root), wide(path).c_str()) == ERROR_SUCCESS;
}
}  // namespace qn
