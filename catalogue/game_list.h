// Which games the list shows, and which of its rows may run.
#pragma once

#include "catalogue/availability.h"
#include "catalogue/catalogue.h"

namespace qn {

enum class ListFilter { ShowAll = 0, ShowAvailable = 1, ShowUnavailable = 2 };

// Whether the filter lists a game that can (or cannot) run.
bool isListed(bool available, ListFilter filter);

// Whether the game in a slot, listed under the filter, may run. Every game
// of the available list may; under the full list the game's availability
// decides; no game of the unavailable list may.
bool rowIsRunnable(GameCatalogue& catalogue, Availability& availability, ListFilter filter, int slot);

}  // namespace qn
