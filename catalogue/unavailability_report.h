// Why a game cannot run, as the user is told.
#pragma once

#include <string>

#include "catalogue/availability.h"

namespace qn {

// The report for one game: the compressed archive, or each missing ROM file
// as a plain check without a drivers directory would find it, then the
// driver. Looking at the ROM files makes C:\ the current directory, as
// evaluating availability does; the catalogue is left as it is.
std::string unavailabilityReport(const GameCatalogue& catalogue, const TPaths& paths, RomMode mode,
                                 const std::string& title, const std::string& shortName,
                                 Platform& files);

}  // namespace qn
