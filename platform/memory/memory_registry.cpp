// The in-memory registry: keys by their upper-cased path, values kept in
// the order they were first written.
#include "platform/memory/memory_platform.h"

#include "platform/ascii.h"

namespace qn {
namespace {

// The system takes a value's name as a C string: it ends at the first NUL.
std::string valueName(const std::string& name) { return name.substr(0, name.find('\0')); }

}  // namespace

class MemoryKey final : public RegistryKey {
public:
    MemoryKey(MemoryPlatform& os, std::string id, bool writable)
        : os_(os), id_(std::move(id)), writable_(writable) {}

    MemoryPlatform::Key* key() {
        auto it = os_.keys_.find(id_);
        return it == os_.keys_.end() ? nullptr : &it->second;
    }
    std::optional<std::uint32_t> valueSize(const std::string& name) override {
        ++os_.registryCalls;
        ++os_.valueQueries;
        auto* k = key();
        if (!k) return std::nullopt;
        auto it = k->values.find(upperAscii(valueName(name)));
        if (it == k->values.end()) return std::nullopt;
        return static_cast<std::uint32_t>(it->second.data.size());
    }
    std::optional<std::string> valueData(const std::string& name, std::uint32_t size) override {
        ++os_.registryCalls;
        auto* k = key();
        if (!k) return std::nullopt;
        auto it = k->values.find(upperAscii(valueName(name)));
        if (it == k->values.end() || it->second.data.size() > size) return std::nullopt;
        return it->second.data;
    }
    std::optional<std::vector<std::pair<std::string, std::string>>> allValues() override {
        ++os_.registryCalls;
        ++os_.valueEnumerations;
        auto* k = key();
        if (!k) return std::nullopt;
        std::vector<std::pair<std::string, std::string>> out;
        for (const std::string& name : k->names) {
            auto it = k->values.find(upperAscii(name));
            if (it != k->values.end()) out.emplace_back(name, it->second.data);
        }
        return out;
    }
    bool setString(const std::string& name, const std::string& text) override {
        ++os_.registryCalls;
        auto* k = key();
        if (!k || !writable_ || os_.failSetValue.count(name)) return os_.failWith(5);
        // The system cuts a value's text at its first NUL.
        std::string stored = text.substr(0, text.find('\0'));
        std::string u = upperAscii(valueName(name));
        if (!k->values.count(u)) k->names.push_back(valueName(name));
        k->values[u] = MemoryPlatform::Value{1, stored + std::string(1, '\0')};
        ++os_.valueWrites;
        k->written = ++os_.registryClock;
        return true;
    }
    std::optional<std::uint64_t> lastWriteTime() override {
        ++os_.registryCalls;
        auto* k = key();
        if (!k) return std::nullopt;
        return k->written;
    }
    bool deleteSubKey(const std::string& name) override {
        ++os_.registryCalls;
        const std::string sub = id_ + "\\" + upperAscii(name);
        return !os_.readOnly_.count(sub) && os_.keys_.erase(sub) > 0;
    }

private:
    MemoryPlatform& os_;
    std::string id_;
    bool writable_;
};

std::string MemoryPlatform::keyId(RootKey root, const std::string& path) {
    static const char* const names[] = {"HKLM", "HKCU", "HKCR", "HKCC"};
    std::string p = upperAscii(path);
    while (!p.empty() && p.back() == '\\') p.pop_back();
    return std::string(names[static_cast<int>(root)]) + "\\" + p;
}

std::unique_ptr<RegistryKey> MemoryPlatform::openKey(RootKey root, const std::string& path,
                                                     KeyAccess access) {
    ++registryCalls;
    std::string id = keyId(root, path);
    const bool write = access == KeyAccess::ReadWrite;
    if (!keys_.count(id) || (write && readOnly_.count(id))) return nullptr;
    return std::make_unique<MemoryKey>(*this, id, write);
}

std::unique_ptr<RegistryKey> MemoryPlatform::createKey(RootKey root, const std::string& path) {
    ++registryCalls;
    std::string id = keyId(root, path);
    if (failCreateKey.count(path) || readOnly_.count(id)) return nullptr;
    // Parent keys come into being with it, as in the real registry.
    for (size_t cut = id.find('\\', 5); cut != std::string::npos; cut = id.find('\\', cut + 1))
        keys_[id.substr(0, cut)];
    if (!keys_.count(id)) keys_[id].written = ++registryClock;
    return std::make_unique<MemoryKey>(*this, id, true);
}

bool MemoryPlatform::deleteKey(RootKey root, const std::string& path) {
    ++registryCalls;
    std::string id = keyId(root, path);
    if (readOnly_.count(id)) return false;
    // A key with subkeys cannot be deleted in one call.
    for (const auto& [other, _] : keys_)
        if (other.size() > id.size() && other.compare(0, id.size() + 1, id + "\\") == 0)
            return false;
    return keys_.erase(id) > 0;
}

void MemoryPlatform::setValue(RootKey root, const std::string& path, const std::string& name,
                              const std::string& data, std::uint32_t type) {
    createKey(root, path);
    Key& k = keys_[keyId(root, path)];
    std::string u = upperAscii(valueName(name));
    if (!k.values.count(u)) k.names.push_back(valueName(name));
    k.values[u] = Value{type, data};
    k.written = ++registryClock;
}

bool MemoryPlatform::keyExists(RootKey root, const std::string& path) const {
    return keys_.count(keyId(root, path)) > 0;
}

std::optional<std::string> MemoryPlatform::value(RootKey root, const std::string& path,
                                                 const std::string& name) const {
    auto k = keys_.find(keyId(root, path));
    if (k == keys_.end()) return std::nullopt;
    auto v = k->second.values.find(upperAscii(valueName(name)));
    if (v == k->second.values.end()) return std::nullopt;
    return v->second.data;
}

std::vector<std::string> MemoryPlatform::valueNames(RootKey root, const std::string& path) const {
    auto k = keys_.find(keyId(root, path));
    if (k == keys_.end()) return {};
    return k->second.names;
}

}  // namespace qn
