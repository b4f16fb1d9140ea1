#include "catalogue/about_text.h"

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

std::string aboutSlice(const std::string& message, int position) {
    const size_t p = position < 0 ? 0 : static_cast<size_t>(position);
    std::string slice = p < message.size() ? message.substr(p) : std::string();
    if (slice.size() < 255) {
        slice += '<';
        slice.resize(256, '-');
    }
    return slice;
}

}  // namespace qn
