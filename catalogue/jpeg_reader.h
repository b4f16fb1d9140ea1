// JPEG pictures decoded with libjpeg.
#pragma once

#include <optional>
#include <string>

#include "ui/widgets.h"

namespace qn {

// The picture in 24-bit blue-green-red rows, or nothing when the data is not
// a JPEG this decoder can read (or is implausibly large).
std::optional<ui::Bitmap> decodeJpeg(const std::string& data);

}  // namespace qn
