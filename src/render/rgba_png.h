#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "render/rgba_image.h"

namespace kel {

// Largest image the decoder accepts, in pixels (8192 x 8192), so that a small hostile
// file cannot ask for gigabytes.
inline constexpr std::uint64_t kMaxDecodedPixels = 8192ull * 8192ull;

// The PNG bytes of the image: 8-bit RGB when every pixel is opaque, else 8-bit RGBA.
// On failure returns false and puts the reason in error.
bool encodeRgbaPng(const RgbaImage& image, std::vector<std::uint8_t>& bytes, std::string& error);

// Decodes PNG bytes of any format libpng can convert; images without alpha come out
// opaque. On failure returns false with the reason in error, leaving image alone.
bool decodeRgbaPng(const std::vector<std::uint8_t>& bytes, RgbaImage& image, std::string& error);

}  // namespace kel
