#include "ui/scaling.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace qn::ui {
namespace {

// a * b / c to the nearest integer, halves away from zero.
int mulDivRound(int a, int b, int c) {
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : -((-product + half) / c));
}

// The source pixels that make up each target pixel along one axis, with
// their weights: a tent as wide as one target pixel covers, and never
// narrower than one source pixel, so shrinking averages and enlarging
// interpolates.
struct Taps {
    int first = 0;
    std::vector<double> weights;
};

std::vector<Taps> tapsFor(int from, int to) {
    std::vector<Taps> all(static_cast<size_t>(to));
    const double ratio = static_cast<double>(from) / to;
    const double reach = std::max(1.0, ratio);
    for (int d = 0; d < to; ++d) {
        const double centre = (d + 0.5) * ratio;
        const int lo = std::max(0, static_cast<int>(std::floor(centre - reach)));
        const int hi = std::min(from - 1, static_cast<int>(std::ceil(centre + reach)));
        Taps& taps = all[static_cast<size_t>(d)];
        taps.first = lo;
        double sum = 0;
        for (int s = lo; s <= hi; ++s) {
            const double w = std::max(0.0, 1.0 - std::abs(s + 0.5 - centre) / reach);
            taps.weights.push_back(w);
            sum += w;
        }
        // The nearest source pixel is never more than half a pixel from the
        // centre, so the sum is at least one half.
        for (double& w : taps.weights) w /= sum;
    }
    return all;
}

}  // namespace

int scaleLength(int length, int dpi) { return mulDivRound(length, dpi, kLayoutDpi); }

int unscaleLength(int pixels, int dpi) {
    return dpi > 0 ? mulDivRound(pixels, kLayoutDpi, dpi) : pixels;
}

Rect scaleRect(const Rect& r, int dpi) {
    const int left = scaleLength(r.left, dpi);
    const int top = scaleLength(r.top, dpi);
    return {left, top, scaleLength(r.left + r.width, dpi) - left,
            scaleLength(r.top + r.height, dpi) - top};
}

int scaleFontHeight(int points, int dpi) { return mulDivRound(points, dpi, 72); }

Bitmap resampleBitmap(const Bitmap& source, int width, int height) {
    if (width == source.width && height == source.height) return source;
    Bitmap target;
    target.dpi = source.dpi;
    if (width <= 0 || height <= 0 || source.width <= 0 || source.height <= 0 ||
        source.pixels.size() < static_cast<size_t>(source.width) * source.height * 3)
        return target;
    target.width = width;
    target.height = height;
    target.pixels.resize(static_cast<size_t>(width) * height * 3);

    // Rows first, into a buffer as tall as the source and as wide as the target.
    const std::vector<Taps> across = tapsFor(source.width, width);
    std::vector<double> rows(static_cast<size_t>(width) * source.height * 3);
    for (int y = 0; y < source.height; ++y) {
        const std::uint8_t* in = &source.pixels[static_cast<size_t>(y) * source.width * 3];
        double* out = &rows[static_cast<size_t>(y) * width * 3];
        for (int x = 0; x < width; ++x) {
            const Taps& taps = across[static_cast<size_t>(x)];
            double sum[3] = {0, 0, 0};
            for (size_t i = 0; i < taps.weights.size(); ++i) {
                const std::uint8_t* p = in + (static_cast<size_t>(taps.first) + i) * 3;
                for (int c = 0; c < 3; ++c) sum[c] += taps.weights[i] * p[c];
            }
            for (int c = 0; c < 3; ++c) out[x * 3 + c] = sum[c];
        }
    }
    const std::vector<Taps> down = tapsFor(source.height, height);
    for (int y = 0; y < height; ++y) {
        const Taps& taps = down[static_cast<size_t>(y)];
        std::uint8_t* out = &target.pixels[static_cast<size_t>(y) * width * 3];
        for (int x = 0; x < width * 3; ++x) {
            double sum = 0;
            for (size_t i = 0; i < taps.weights.size(); ++i)
                sum += taps.weights[i] *
                       rows[(static_cast<size_t>(taps.first) + i) * width * 3 + static_cast<size_t>(x)];
            out[x] = static_cast<std::uint8_t>(std::clamp(std::lround(sum), 0L, 255L));
        }
    }
    return target;
}

}  // namespace qn::ui
