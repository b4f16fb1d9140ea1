#include "catalogue/game_list.h"

namespace qn {

bool isListed(const GameRecord& game, ListFilter filter) {
    return filter == ListFilter::ShowAll || (filter == ListFilter::ShowAvailable && game.Available) ||
           (filter == ListFilter::ShowUnavailable && !game.Available);
}

bool rowIsRunnable(const GameCatalogue& catalogue, ListFilter filter, int row) {
    switch (filter) {
    case ListFilter::ShowAvailable:
        return true;
    case ListFilter::ShowAll:
        return row >= 0 && row < catalogue.GameCount && catalogue.games[row].Available;
    default:
        return false;
    }
}

}  // namespace qn
