#include "catalogue/game_list.h"

namespace qn {

bool isListed(bool available, ListFilter filter) {
    return filter == ListFilter::ShowAll || (filter == ListFilter::ShowAvailable && available) ||
           (filter == ListFilter::ShowUnavailable && !available);
}

bool rowIsRunnable(GameCatalogue& catalogue, Availability& availability, ListFilter filter, int slot) {
    switch (filter) {
    case ListFilter::ShowAvailable:
        return true;
    case ListFilter::ShowAll:
        return slot >= 0 && slot < catalogue.size() && availability.of(catalogue, slot);
    default:
        return false;
    }
}

}  // namespace qn
