#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ui/control.h"

namespace qn::ui {

// 24-bit top-down pixels, rows of width * 3 bytes in blue, green, red order,
// made for a screen of `dpi` dots per inch: shown at another resolution the
// picture is resampled to the same size on the screen.
struct Bitmap {
    int width = 0, height = 0;
    std::vector<std::uint8_t> pixels;
    int dpi = 96;
};

class Image : public Control {
public:
    Image(Control* parent, std::string name, Rect bounds)
        : Control(parent, std::move(name), Kind::Image, bounds) {}
    // A picture given by how to draw it is drawn when first read, by the
    // window's painting or anyone else: one replaced before then is never
    // drawn at all.
    const Bitmap& picture() const;
    void setPicture(Bitmap picture);
    void setPicture(std::function<Bitmap()> draw);

private:
    mutable Bitmap picture_;
    mutable std::function<Bitmap()> draw_;
};

}  // namespace qn::ui
