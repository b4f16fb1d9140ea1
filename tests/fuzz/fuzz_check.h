// What every fuzz target shares: checks that end the run as a crash when a
// property fails, the splitting of an input into fields, and the data files
// written back from the table they were read into.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/catalogue.h"

namespace qn::fuzz {

// Prints what failed and aborts, which libFuzzer keeps as a crash.
[[noreturn]] void fail(const char* check, const std::string& detail);

#define QN_CHECK(cond, detail)                                    \
    do {                                                          \
        if (!(cond)) ::qn::fuzz::fail(#cond, (detail));           \
    } while (0)

// Printable form of a byte string for failure messages.
std::string shown(std::string_view bytes);

// The input cut at every byte 0xFF: field i is what lies between the i-th
// and the next separator. Fields past the end of the input are missing.
class Fields {
public:
    Fields(const std::uint8_t* data, size_t size);
    std::optional<std::string> operator[](size_t i) const;
    size_t count() const { return fields_.size(); }
    // Field i and everything after it, separators included.
    std::optional<std::string> rest(size_t i) const;

private:
    std::string_view all_;
    std::vector<std::string> fields_;
    std::vector<size_t> starts_;
};

// roms.dat of the first `count` games: "#Title|ShortName" lines.
std::string printCatalogue(const GameCatalogue& catalogue, int count);
// reqfiles.dat of every slot's files, each group under a name of its own.
std::string printRequiredFiles(const GameCatalogue& catalogue);

}  // namespace qn::fuzz
