#include "catalogue/game_list.h"

namespace qn {

bool isListed(bool available, ListFilter filter) {
    return filter == ListFilter::ShowAll || (filter == ListFilter::ShowAvailable && available) ||
           (filter == ListFilter::ShowUnavailable && !available);
}

bool rowIsRunnable(const GameCatalogue& catalogue, Availability& availability, ListFilter filter, int row) {
    switch (filter) {
    case ListFilter::ShowAvailable:
        return true;
    case ListFilter::ShowAll:
        return row >= 0 && row < catalogue.size() && availability.of(catalogue, row);
    default:
        return false;
    }
}

}  // namespace qn
