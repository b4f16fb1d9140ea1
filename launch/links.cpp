#include "launch/links.h"

namespace qn {

void openLink(Platform& os, const std::string& browserCommand, const std::string& addition,
              const std::string& address) {
    ProcessRequest browser;
    browser.commandLine = browserCommand + addition + address;
    browser.inheritHandles = true;
    browser.workingDirectory = os.currentDirectory();
    os.runProcess(browser);
}

void openReadme(Platform& os, const std::string& directory) {
    os.shellOpen(directory + "readme.txt", os.currentDirectory());
}

}  // namespace qn
