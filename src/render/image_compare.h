#pragma once

#include <cstdint>
#include <string>

#include "render/rgba_image.h"

namespace kel {

// How an image differs from a reference, pixel for pixel over the area both have.
struct ImageDifference {
    bool sameSize = true;
    std::uint64_t sharedPixels = 0;  // pixels in the area both images cover
    std::uint64_t differing = 0;     // of those, the ones with any channel different
    int largestChannel = 0;          // largest |a - b| of one channel, 0..255
    // Inclusive bounding box of the differing pixels; meaningful when differing > 0.
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool identical() const { return sameSize && differing == 0; }
};

ImageDifference compareImages(const RgbaImage& image, const RgbaImage& reference);

// One line per fact, each ending in a newline: the sizes when they differ, then the count
// of differing pixels, the largest channel difference and their bounding box. Empty when
// the images are identical.
std::string describeDifference(const ImageDifference& difference, const RgbaImage& image,
                               const RgbaImage& reference);

// The image faded three quarters of the way to white (over white where it is transparent),
// with every pixel that differs from the reference, or that the reference does not cover,
// in pure red. Opaque, the size of the image.
RgbaImage differenceImage(const RgbaImage& image, const RgbaImage& reference);

}  // namespace kel
