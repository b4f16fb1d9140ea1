// The registry: each HKEY owned by an object that closes it.
#include "platform/win32/win32_platform.h"

#include "platform/win32/platform_parts.h"
#include "platform/win32/scoped_handle.h"

#include <algorithm>

namespace qn {
namespace {

class Win32RegistryKey final : public RegistryKey {
public:
    explicit Win32RegistryKey(HKEY key) : key_(key) {}
    ~Win32RegistryKey() override { RegCloseKey(key_); }
    Win32RegistryKey(const Win32RegistryKey&) = delete;
    Win32RegistryKey& operator=(const Win32RegistryKey&) = delete;

    std::optional<std::uint32_t> valueSize(const std::string& name) override {
        DWORD size = 0;
        if (RegQueryValueExA(key_, name.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
            return std::nullopt;
        return size;
    }

    std::optional<std::string> valueData(const std::string& name, std::uint32_t size) override {
        // A buffer of exactly the asked size. When the value has grown past it
        // the buffer's content is undefined, so read it whole and keep the head.
        std::string data(size, '\0');
        BYTE empty = 0;
        DWORD got = size;
        LONG rc = RegQueryValueExA(key_, name.c_str(), nullptr, nullptr,
                                   size ? reinterpret_cast<BYTE*>(&data[0]) : &empty, &got);
        while (rc == ERROR_MORE_DATA) {
            std::string whole(got, '\0');
            rc = RegQueryValueExA(key_, name.c_str(), nullptr, nullptr,
                                  reinterpret_cast<BYTE*>(&whole[0]), &got);
            if (rc == ERROR_SUCCESS) {
                whole.resize(got);
                data = whole.substr(0, size);
                return data;
            }
        }
        if (rc != ERROR_SUCCESS) return std::nullopt;
        data.resize(got);
        return data;
    }

    std::optional<std::vector<std::pair<std::string, std::string>>> allValues() override {
        // The longest name and data the key holds size the buffers once; a
        // value that grows meanwhile gets a bigger buffer on its own.
        DWORD count = 0, longestName = 0, longestData = 0;
        if (RegQueryInfoKeyA(key_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                             &longestName, &longestData, nullptr, nullptr) != ERROR_SUCCESS)
            return std::nullopt;
        std::vector<std::pair<std::string, std::string>> values;
        values.reserve(count);
        // Names come back in the code page: a character may take two bytes.
        std::string name(2 * longestName + 2, '\0');
        std::string data(longestData + 2, '\0');
        for (DWORD index = 0;; ++index) {
            DWORD nameSize = static_cast<DWORD>(name.size());
            DWORD dataSize = static_cast<DWORD>(data.size());
            LONG rc = RegEnumValueA(key_, index, &name[0], &nameSize, nullptr, nullptr,
                                    reinterpret_cast<BYTE*>(&data[0]), &dataSize);
            if (rc == ERROR_MORE_DATA) {
                name.assign(name.size() * 2 + 256, '\0');
                data.assign(std::max<size_t>(data.size() * 2, dataSize + 2), '\0');
                --index;
                continue;
            }
            if (rc == ERROR_NO_MORE_ITEMS) break;
            if (rc != ERROR_SUCCESS) return std::nullopt;
            values.emplace_back(std::string(name.data(), nameSize), std::string(data.data(), dataSize));
        }
        return values;
    }

    bool setString(const std::string& name, const std::string& text) override {
        return RegSetValueExA(key_, name.c_str(), 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(text.c_str()),
                              static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
    }

    std::optional<std::uint64_t> lastWriteTime() override {
        FILETIME time{};
        if (RegQueryInfoKeyA(key_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                             nullptr, nullptr, nullptr, &time) != ERROR_SUCCESS)
            return std::nullopt;
        return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
    }

    bool deleteSubKey(const std::string& name) override {
        return RegDeleteKeyA(key_, name.c_str()) == ERROR_SUCCESS;
    }

private:
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

std::unique_ptr<RegistryKey> Win32Platform::openKey(RootKey root, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(rootHandle(root), path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<Win32RegistryKey>(key);
}

std::unique_ptr<RegistryKey> Win32Platform::createKey(RootKey root, const std::string& path) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(rootHandle(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return nullptr;
    return std::make_unique<Win32RegistryKey>(key);
}

bool Win32Platform::deleteKey(RootKey root, const std::string& path) {
    return RegDeleteKeyA(rootHandle(root), path.c_str()) == ERROR_SUCCESS;
}
}  // namespace qn
