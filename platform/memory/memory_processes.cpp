// The in-memory processes, shell and message boxes: each records what it
// was asked and answers what the test queued.
#include "platform/memory/memory_platform.h"

#include "platform/ascii.h"

namespace qn {

ProcessResult MemoryPlatform::runProcess(const ProcessRequest& request) {
    processes.push_back({request, currentDir_, ChildId{}});
    ProcessResult r{true, 0, 0};
    if (!processResults.empty()) {
        r = processResults.front();
        processResults.pop_front();
    }
    if (!r.started) return r;
    const ChildId child{nextChildId_++, 1};
    processes.back().child = child;
    runningChildren.insert(child.id);
    try {
        if (request.onStarted) request.onStarted(child);
    } catch (...) {
        // A child held until then never runs when the launcher ends here.
        if (request.endsWithLauncher) runningChildren.erase(child.id);
        throw;
    }
    try {
        if (request.wait && whileRunning) whileRunning(processes.back());
    } catch (...) {
        // The launcher ends here; a bound child ends with it.
        if (request.endsWithLauncher && childrenCanBeBound) runningChildren.erase(child.id);
        throw;
    }
    if (request.wait) runningChildren.erase(child.id);
    return r;
}

std::optional<std::string> MemoryPlatform::findProgram(const std::string& name) {
    if (name.empty()) return std::nullopt;
    const size_t slash = name.find_last_of("\\/:");
    const std::string last = slash == std::string::npos ? name : name.substr(slash + 1);
    const std::string file = last.find('.') == std::string::npos ? name + ".exe" : name;
    std::vector<std::string> places{""};
    if (slash == std::string::npos) places.insert(places.end(), searchPath.begin(), searchPath.end());
    for (const std::string& place : places)
        if (fileExists(place + file)) return resolve(place + file);
    return std::nullopt;
}

int MemoryPlatform::shellOpen(const std::string& file, const std::string& directory) {
    shellOpened.emplace_back(file, directory);
    return fileExists(file) ? 42 : 2;
}

std::optional<std::string> MemoryPlatform::shortcutTarget(const std::string& path) {
    if (!fileExists(path)) return std::nullopt;
    for (const auto& [file, target] : shortcuts)
        if (upperAscii(file) == upperAscii(path)) return target;
    return std::nullopt;
}

void MemoryPlatform::addToRecentDocuments(const std::string& path) {
    recentDocuments.push_back(path);
}

MessageAnswer MemoryPlatform::messageBox(MessageKind kind, const std::string& text,
                                         MessageButtons buttons) {
    messages.push_back({kind, text, buttons});
    if (!answers.empty()) {
        MessageAnswer a = answers.front();
        answers.pop_front();
        return a;
    }
    return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
}

}  // namespace qn
