// Which games the list shows, and which of its rows may run.
#pragma once

#include "catalogue/availability.h"
#include "catalogue/catalogue.h"

namespace qn {

enum class ListFilter { ShowAll = 0, ShowAvailable = 1, ShowUnavailable = 2 };

// Whether the filter lists a game that can (or cannot) run.
bool isListed(bool available, ListFilter filter);

// Whether the game of a list row may run. Every row of the available games
// may; under the full list only there is a row's position its game's slot,
// so the slot's game decides; no row of the unavailable games may.
bool rowIsRunnable(const GameCatalogue& catalogue, Availability& availability, ListFilter filter, int row);

}  // namespace qn
