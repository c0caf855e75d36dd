#pragma once

#include <string>

#include "render/image_surface.h"

namespace kel {

// Writes the image as an 8-bit RGB PNG. On failure returns false and puts the reason in
// error.
[[nodiscard]] bool writePng(const ImageSurface& image, const std::string& path, std::string& error);

// Reads a PNG (any format libpng can convert to RGB) into image. On failure returns false
// and puts the reason in error; image is left alone.
[[nodiscard]] bool readPng(const std::string& path, ImageSurface& image, std::string& error);

}  // namespace kel
