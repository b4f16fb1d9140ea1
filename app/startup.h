// Start-up checks that read the system's registry.
#pragma once

#include <optional>
#include <string>

namespace qn {

class App;

// Width and height of a "width,height" text of decimal integers, or nothing
// when the text has another form.
std::optional<std::pair<long, long>> parseResolution(const std::string& text);

// Ends the process with exit code 3 after a warning when the display
// settings say the screen is smaller than 800 by 600.
void CheckScreenResolution(App& app);

// Finishes a run that the process never came back from: the user's files
// it changed are put back (a warning when that cannot be done).
void RecoverInterruptedRun(App& app);

// The command of the HTML file handler, into BrowserCommand.
void LookUpBrowserCommand(App& app);

}  // namespace qn
