#include "launch/links.h"

#include <algorithm>

namespace qn {

std::string browserCommandLine(const std::string& browserCommand, const std::string& addition,
                               const std::string& address) {
    for (size_t at = browserCommand.find('%'); at != std::string::npos;
         at = browserCommand.find('%', at + 1)) {
        const char next = at + 1 < browserCommand.size() ? browserCommand[at + 1] : '\0';
        if (next != '1' && next != 'L' && next != 'l') continue;
        // Every browser of today registers a placeholder; what the link adds
        // before the address goes in with it, less the separating blank.
        const size_t lead = std::min(addition.find_first_not_of(' '), addition.size());
        const std::string argument = addition.substr(lead) + address;
        return browserCommand.substr(0, at) + argument + browserCommand.substr(at + 2);
    }
    return browserCommand + addition + address;
}

void openLink(Platform& os, const std::string& browserCommand, const std::string& addition,
              const std::string& address) {
    ProcessRequest browser;
    browser.commandLine = browserCommandLine(browserCommand, addition, address);
    browser.inheritHandles = true;
    browser.workingDirectory = os.currentDirectory();
    os.runProcess(browser);
}

void openReadme(Platform& os, const std::string& directory) {
    os.shellOpen(directory + "readme.txt", os.currentDirectory());
}

}  // namespace qn
