// Why a game cannot run, as the user is told.
#pragma once

#include <string>

#include "catalogue/availability.h"

namespace qn {

// The report for one game: the compressed archive, or each missing ROM file
// as a plain check without a drivers directory would find it, then the
// driver. Relative and empty directories are looked in below `base`, as
// availability looks; the catalogue is left as it is.
std::string unavailabilityReport(GameCatalogue& catalogue, const TPaths& paths, RomMode mode,
                                 const std::string& title, const std::string& shortName,
                                 Platform& files, const std::string& base = kLookupBase);

}  // namespace qn
