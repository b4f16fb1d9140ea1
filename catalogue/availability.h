// Which games can run with the files on disk under the current settings.
#pragma once

namespace qn {

class App;

// Sets Available (and, for plain ROM files, MissingFiles) of every game.
// Makes C:\ the current directory, so empty directory settings look there.
void EvaluateAvailability(App& app);

}  // namespace qn
