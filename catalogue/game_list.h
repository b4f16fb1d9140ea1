// Which games the list shows, and which of its rows may run.
#pragma once

#include "catalogue/catalogue.h"

namespace qn {

enum class ListFilter { ShowAll = 0, ShowAvailable = 1, ShowUnavailable = 2 };

bool isListed(const GameRecord& game, ListFilter filter);

// Whether the game of a list row may run. Every row of the available games
// may; under the full list only there is a row's position its game's slot,
// so the slot's game decides; no row of the unavailable games may.
bool rowIsRunnable(const GameCatalogue& catalogue, ListFilter filter, int row);

}  // namespace qn
