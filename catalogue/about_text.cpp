#include "catalogue/about_text.h"

#include <algorithm>
#include <cmath>

namespace qn {

std::string aboutMessage(std::string_view content) {
    return std::string(content.substr(0, content.find_first_of(std::string_view("\r\x1a", 2))));
}

std::string aboutFallbackMessage() { return "<" + std::string(253, '-') + ">"; }

int aboutBarPosition(int maximum, int x) {
    if (x == 0) x = 1;
    const double position = maximum / (static_cast<double>(kAboutBarWidth) / x);
    // Halves go to the even neighbour.
    const double rounded = std::nearbyint(position);
    return rounded < 0 ? 0 : rounded > maximum ? maximum : static_cast<int>(rounded);
}

namespace {

// A byte that goes on a character begun before it.
bool continues(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

}  // namespace

int aboutLength(const std::string& message) {
    // A stray continuing byte at the start is a character of its own.
    const bool strayStart = !message.empty() && continues(message[0]);
    return static_cast<int>(message.size() - std::count_if(message.begin(), message.end(), continues)) +
           (strayStart ? 1 : 0);
}

std::string aboutSlice(const std::string& message, int position) {
    // Cut between characters, never inside one.
    size_t at = 0;
    for (int skipped = 0; skipped < position && at < message.size(); ++skipped)
        do ++at; while (at < message.size() && continues(message[at]));
    std::string slice = message.substr(at);
    const int length = aboutLength(slice);
    if (length < 255) {
        slice += '<';
        slice.append(static_cast<size_t>(255 - length), '-');
    }
    return slice;
}

}  // namespace qn
