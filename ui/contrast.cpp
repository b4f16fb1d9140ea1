#include "ui/contrast.h"

#include <algorithm>
#include <cmath>

namespace qn::ui {
namespace {

double linear(std::uint8_t channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

}  // namespace

double relativeLuminance(Rgb c) { return 0.2126 * linear(c.r) + 0.7152 * linear(c.g) + 0.0722 * linear(c.b); }

double contrastRatio(Rgb a, Rgb b) {
    const double la = relativeLuminance(a), lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Rgb firstReadable(std::initializer_list<Rgb> choices, Rgb background, double minimum) {
    Rgb best{};
    double bestRatio = -1;
    for (const Rgb& c : choices) {
        const double ratio = contrastRatio(c, background);
        if (ratio >= minimum) return c;
        if (ratio > bestRatio) best = c, bestRatio = ratio;
    }
    return best;
}

}  // namespace qn::ui
