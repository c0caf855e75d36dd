#pragma once

#include <string>
#include <vector>

#include "render/image_surface.h"

namespace kel {

// Encodes the image as an 8-bit RGB PNG into bytes (replacing what they held). On failure
// returns false and puts the reason in error.
[[nodiscard]] bool encodePng(const ImageSurface& image, std::vector<unsigned char>& bytes,
                             std::string& error);

// Writes the image as an 8-bit RGB PNG. A regular file is replaced only once the whole image
// is written, so a failure leaves the old file as it was; a device or FIFO is written in
// place and never removed. On failure returns false and puts the reason in error.
[[nodiscard]] bool writePng(const ImageSurface& image, const std::string& path, std::string& error);

// Reads a PNG (any format libpng can convert to RGB) into image. On failure returns false
// and puts the reason in error; image is left alone.
[[nodiscard]] bool readPng(const std::string& path, ImageSurface& image, std::string& error);

}  // namespace kel
