// Reading the data files of the program directory into the game table.
#pragma once

#include <optional>
#include <string>

#include "catalogue/catalogue.h"
#include "platform/platform.h"

namespace qn {

// A data file's bytes as text: UTF-8 when they start with its byte-order
// mark (the mark dropped, a stray byte read as U+FFFD), else the system's
// ANSI code page, as files written by earlier versions are.
std::string dataFileText(Platform& os, std::string bytes);

// roms.dat: the games' names. The message for the user when the file cannot
// be read; the table then keeps its count.
std::optional<std::string> readCatalogueFile(Platform& files, const std::string& mainPath,
                                         GameCatalogue& catalogue);

// reqfiles.dat: the files each game needs, by group position, handed out by
// GameCatalogue::withFiles. The message for the user when the file cannot
// be read.
std::optional<std::string> readRequiredFilesFile(Platform& files, const std::string& mainPath,
                                             GameCatalogue& catalogue);

}  // namespace qn
