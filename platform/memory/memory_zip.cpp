#include "platform/memory/memory_zip.h"

#include <cstdint>

#include <zlib.h>

namespace qn {
namespace {

void put16(std::string& out, std::uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

}  // namespace

std::string storedZip(const std::vector<std::pair<std::string, std::string>>& entries) {
    std::string local, central;
    for (const auto& [name, content] : entries) {
        const std::uint32_t crc = static_cast<std::uint32_t>(
            crc32(0, reinterpret_cast<const Bytef*>(content.data()), static_cast<uInt>(content.size())));
        const std::uint32_t offset = static_cast<std::uint32_t>(local.size());
        const std::uint32_t size = static_cast<std::uint32_t>(content.size());
        // Local header: version 10, no flags, stored, a fixed date.
        put32(local, 0x04034b50); put16(local, 10); put16(local, 0); put16(local, 0);
        put16(local, 0); put16(local, 0x5821); put32(local, crc); put32(local, size); put32(local, size);
        put16(local, static_cast<std::uint32_t>(name.size())); put16(local, 0);
        local += name + content;
        put32(central, 0x02014b50); put16(central, 20); put16(central, 10); put16(central, 0);
        put16(central, 0); put16(central, 0); put16(central, 0x5821); put32(central, crc);
        put32(central, size); put32(central, size); put16(central, static_cast<std::uint32_t>(name.size()));
        put16(central, 0); put16(central, 0); put16(central, 0); put16(central, 0); put32(central, 0);
        put32(central, offset);
        central += name;
    }
    std::string out = local + central;
    put32(out, 0x06054b50); put16(out, 0); put16(out, 0);
    put16(out, static_cast<std::uint32_t>(entries.size())); put16(out, static_cast<std::uint32_t>(entries.size()));
    put32(out, static_cast<std::uint32_t>(central.size())); put32(out, static_cast<std::uint32_t>(local.size()));
    put16(out, 0);
    return out;
}

}  // namespace qn
