#pragma once

#include <string>

#include "render/image_surface.h"

namespace kel::test {

// Where and how much two images of the same size differ.
struct ImageDifference {
    int count = 0;  // differing pixels
    int left = 0;   // bounding box of the differing pixels, inclusive; valid when count > 0
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool sizeDiffers = false;
};

ImageDifference compareImages(const ImageSurface& actual, const ImageSurface& expected);

// The expected image faded to grey, with every differing pixel in red.
ImageSurface diffImage(const ImageSurface& actual, const ImageSurface& expected);

// "N pixels differ in x L..R, y T..B" or the two sizes.
std::string describe(const ImageDifference& difference, const ImageSurface& actual,
                     const ImageSurface& expected);

}  // namespace kel::test
