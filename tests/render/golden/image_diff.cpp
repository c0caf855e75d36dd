#include "image_diff.h"

#include <algorithm>
#include <sstream>

namespace kel::test {

ImageDifference compareImages(const ImageSurface& actual, const ImageSurface& expected) {
    ImageDifference d;
    if (actual.width() != expected.width() || actual.height() != expected.height()) {
        d.sizeDiffers = true;
        return d;
    }
    for (int y = 0; y < actual.height(); ++y) {
        for (int x = 0; x < actual.width(); ++x) {
            if (actual.pixel(x, y) == expected.pixel(x, y)) {
                continue;
            }
            if (d.count == 0) {
                d.left = d.right = x;
                d.top = d.bottom = y;
            }
            ++d.count;
            d.left = std::min(d.left, x);
            d.right = std::max(d.right, x);
            d.top = std::min(d.top, y);
            d.bottom = std::max(d.bottom, y);
        }
    }
    return d;
}

ImageSurface diffImage(const ImageSurface& actual, const ImageSurface& expected) {
    ImageSurface diff(expected.width(), expected.height());
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x) {
            const std::uint32_t e = expected.pixel(x, y);
            const bool same = x < actual.width() && y < actual.height() && actual.pixel(x, y) == e;
            // Grey at a quarter of the expected brightness keeps the picture recognisable.
            const std::uint32_t grey =
                (((e & 0xFFu) + ((e >> 8) & 0xFFu) + ((e >> 16) & 0xFFu)) / 3u) / 4u + 192u;
            diff.setPixel(x, y, same ? grey | grey << 8 | grey << 16 : 0x000000FFu);
        }
    }
    return diff;
}

std::string describe(const ImageDifference& difference, const ImageSurface& actual,
                     const ImageSurface& expected) {
    std::ostringstream text;
    if (difference.sizeDiffers) {
        text << "size " << actual.width() << "x" << actual.height() << " instead of "
             << expected.width() << "x" << expected.height();
    } else {
        text << difference.count << " pixels differ in x " << difference.left << ".."
             << difference.right << ", y " << difference.top << ".." << difference.bottom;
    }
    return text.str();
}

}  // namespace kel::test
