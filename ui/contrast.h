// How far a colour stands out from another, as the W3C's accessibility
// guidelines measure it, and the choice of a text colour that can be read.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace qn::ui {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

// Text must stand out from its background by 4.5 to 1; a mark that is seen
// by its change (a hover colour) or a frame, by 3 to 1.
inline constexpr double kTextContrast = 4.5;
inline constexpr double kMarkContrast = 3.0;

// The relative luminance of an sRGB colour, 0 (black) to 1 (white).
double relativeLuminance(Rgb c);
// (lighter + 0.05) / (darker + 0.05): 1 for equal colours, 21 for black on white.
double contrastRatio(Rgb a, Rgb b);
// The first of `choices` that stands out from `background` by `minimum`,
// else the one that stands out most.
Rgb firstReadable(std::initializer_list<Rgb> choices, Rgb background, double minimum);

}  // namespace qn::ui
