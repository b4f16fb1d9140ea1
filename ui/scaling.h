// Display scaling. The layout's numbers are pixels at 96 dots per inch; a
// window shown at another resolution takes every length times dpi / 96, in
// this one step, so the layout stays a single set of numbers.
#pragma once

#include "ui/widgets.h"

namespace qn::ui {

inline constexpr int kLayoutDpi = 96;

// A length of the layout in pixels at `dpi`, to the nearest pixel (halves
// away from zero, as the system's MulDiv rounds).
int scaleLength(int length, int dpi);
// Pixels at `dpi` back in layout units: for the pointer's position.
int unscaleLength(int pixels, int dpi);
// A rectangle at `dpi`. Its edges are scaled rather than its size, so
// controls that touch or overlap by a pixel at 96 still do.
Rect scaleRect(const Rect& r, int dpi);
// The character height in pixels of a font of `points` at `dpi` (a LOGFONT
// asks for its negative): 8 points are 11 pixels at 96, 16 at 144.
int scaleFontHeight(int points, int dpi);

// The picture resampled to width by height: averaging the source pixels a
// target pixel covers when shrinking, interpolating between neighbours when
// enlarging. A picture asked for at its own size comes back unchanged.
Bitmap resampleBitmap(const Bitmap& source, int width, int height);

}  // namespace qn::ui
