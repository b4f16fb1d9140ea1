#include "platform/memory/memory_unzip.h"

#include "platform/ascii.h"

namespace qn {
namespace {

std::vector<std::string> partsOf(const std::string& name) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : name + "/") {
        if (c != '/' && c != '\\') {
            part += c;
            continue;
        }
        if (!part.empty() && part != ".") parts.push_back(part);
        part.clear();
    }
    return parts;
}

bool leavesTarget(const std::string& name, const std::vector<std::string>& parts) {
    if (name.empty() || name[0] == '/' || name[0] == '\\' || name.find(':') != std::string::npos) return true;
    for (const std::string& part : parts)
        if (part.find_first_not_of(". ") == std::string::npos) return true;
    return false;
}

}  // namespace

void unzipInto(MemoryPlatform& os, const std::string& target,
               const std::vector<std::pair<std::string, std::string>>& entries, UnzipBehaviour how) {
    for (const auto& [name, content] : entries) {
        std::vector<std::string> parts = partsOf(name);
        if (leavesTarget(name, parts) || parts.empty()) continue;
        const bool folder = name.back() == '/' || name.back() == '\\';
        if (!how.keepFolders) {
            if (folder) continue;
            parts = {parts.back()};
        }
        std::string path = target;
        for (size_t i = 0; i < parts.size(); ++i) {
            path += "\\" + (how.dosNames ? dosFileName(parts[i]) : parts[i]);
            if (i + 1 < parts.size() || folder) os.createDirectory(path);
        }
        if (folder || os.directoryExists(path)) continue;
        if (os.isReadOnly(path)) os.writeFile(path, "");  // "-o" overwrites it all the same
        os.saveFile(path, content);
    }
}

}  // namespace qn
