// The About box's rules: abouttxt.dat's first line as the message, the bars'
// position for a drag and the slice of the message the field shows.
// Input: a count byte, two bytes (a signed x) per drag, then the file.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "catalogue/about_text.h"
#include "fuzz_check.h"

using namespace qn;
using namespace qn::fuzz;

namespace {

// The position against exact arithmetic: maximum * x / width rounded to the
// nearest, either neighbour at a half, then held in 0..maximum.
void checkPosition(int maximum, int x, int p) {
    const std::int64_t at = x == 0 ? 1 : x;
    const std::int64_t exact = static_cast<std::int64_t>(maximum) * at;  // over kAboutBarWidth
    const std::int64_t off = std::llabs(2 * (static_cast<std::int64_t>(p) * kAboutBarWidth - exact));
    const bool nearest = off <= kAboutBarWidth;
    const bool held =
        (p == 0 && exact < 0) || (p == maximum && exact > std::int64_t{maximum} * kAboutBarWidth);
    QN_CHECK(p >= 0 && p <= maximum && (nearest || held),
             std::to_string(p) + " for x " + std::to_string(x) + " over " + std::to_string(maximum));
}

// Characters begin at the first byte and at every byte that does not
// continue a UTF-8 sequence.
std::vector<size_t> characterStarts(const std::string& text) {
    std::vector<size_t> starts;
    for (size_t i = 0; i < text.size(); ++i)
        if (i == 0 || (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) starts.push_back(i);
    return starts;
}

void checkSlice(const std::string& message, int p) {
    const std::string field = aboutSlice(message, p);
    const std::vector<size_t> starts = characterStarts(message);
    QN_CHECK(aboutLength(message) == static_cast<int>(starts.size()), shown(message));
    const size_t from = static_cast<size_t>(p) < starts.size() ? starts[p] : message.size();
    const std::string rest = message.substr(from);
    const size_t characters = characterStarts(rest).size();
    QN_CHECK(field.compare(0, rest.size(), rest) == 0, shown(field));
    if (characters < 255)
        QN_CHECK(field.size() == rest.size() + 256 - characters && field[rest.size()] == '<' &&
                     field.find_first_not_of('-', rest.size() + 1) == std::string::npos,
                 shown(field));
    else
        QN_CHECK(field.size() == rest.size(), shown(field));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
    if (size == 0) return 0;
    size_t drags = data[0] & 0x0f;
    size_t at = 1;
    std::vector<int> xs;
    while (drags-- > 0 && at + 2 <= size) {
        // A signed 16-bit x reaches well past both ends of a bar.
        xs.push_back(static_cast<std::int16_t>(data[at] | data[at + 1] << 8));
        at += 2;
    }
    const std::string_view content(reinterpret_cast<const char*>(data) + at, size - at);
    // The fallback stands for a file that cannot be read.
    const std::string message = data[0] & 0x80 ? aboutFallbackMessage() : aboutMessage(content);
    if (data[0] & 0x80) {
        QN_CHECK(message.size() == 255 && message.front() == '<' && message.back() == '>', shown(message));
    } else {
        // The first line: up to the first CR or Ctrl-Z; a line feed is text.
        QN_CHECK(content.compare(0, message.size(), message) == 0, shown(message));
        QN_CHECK(message.size() == content.size() || content[message.size()] == '\r' ||
                     content[message.size()] == '\x1a',
                 shown(message));
        QN_CHECK(message.find_first_of(std::string_view("\r\x1a", 2)) == std::string::npos, shown(message));
    }

    const int maximum = aboutLength(message);
    checkSlice(message, 0);
    checkSlice(message, maximum);
    int previous = -1, previousX = 0;
    for (int x : xs) {
        const int p = aboutBarPosition(maximum, x);
        checkPosition(maximum, x, p);
        checkSlice(message, p);
        // Further right is never further back in the message.
        if (previous >= 0 && x > previousX) QN_CHECK(p >= previous, std::to_string(x));
        if (previous >= 0 && x < previousX) QN_CHECK(p <= previous, std::to_string(x));
        previous = p;
        previousX = x;
    }
    if (maximum > 0) {
        QN_CHECK(aboutBarPosition(maximum, -1) == 0, "left of the bar");
        QN_CHECK(aboutBarPosition(maximum, kAboutBarWidth) == maximum, "the bar's right end");
    }
    return 0;
}
