#include "image_coverage.h"

#include <algorithm>
#include <cstdlib>

#include "render/image_surface.h"

namespace kel::bench {

namespace {

int channelDistance(std::uint32_t a, std::uint32_t b, int shift) {
    return std::abs(static_cast<int>((a >> shift) & 0xFFu) -
                    static_cast<int>((b >> shift) & 0xFFu));
}

bool holds(const ImageSurface& image, int margin, int side) {
    return margin >= 0 && side >= 0 && image.width() >= margin + side &&
           image.height() >= margin + side;
}

}  // namespace

double Coverage::mismatchShare() const {
    const std::int64_t exactlyOne = first + second - 2 * both;
    return first == 0 ? (exactlyOne == 0 ? 0.0 : 1.0)
                      : static_cast<double>(exactlyOne) / static_cast<double>(first);
}

bool compareCoverage(const ImageSurface& first, const ImageSurface& second, int margin, int side,
                     Coverage& result, std::string& error) {
    if (!holds(first, margin, side) || !holds(second, margin, side)) {
        error = "an image is smaller than the viewport of side " + std::to_string(side) +
                " at margin " + std::to_string(margin);
        return false;
    }
    Coverage c;
    double differenceSum = 0.0;
    for (int y = margin; y < margin + side; ++y) {
        for (int x = margin; x < margin + side; ++x) {
            const std::uint32_t a = first.pixel(x, y);
            const std::uint32_t b = second.pixel(x, y);
            const bool inFirst = a != ImageSurface::kWhite;
            const bool inSecond = b != ImageSurface::kWhite;
            c.first += inFirst;
            c.second += inSecond;
            if (inFirst && inSecond) {
                ++c.both;
                int widest = 0;
                for (const int shift : {0, 8, 16}) {
                    const int d = channelDistance(a, b, shift);
                    differenceSum += d;
                    widest = std::max(widest, d);
                }
                c.farApart += widest >= 32;
            }
        }
    }
    c.meanChannelDifference =
        c.both == 0 ? 0.0 : differenceSum / (3.0 * static_cast<double>(c.both));
    result = c;
    return true;
}

}  // namespace kel::bench
