#pragma once

#include <string>

#include "render/rgba_image.h"

namespace kel {

// Reads a PNG file as the scene reader reads its files: only a regular file (or a symlink
// to one), so a FIFO or a device can neither block nor fill memory. On failure returns
// false with the reason in error, leaving image alone.
bool readPngFile(const std::string& path, RgbaImage& image, std::string& error);

}  // namespace kel
