#include "render/rgba_image.h"

#include <algorithm>

#include "render/image_surface.h"

namespace kel {

RgbaImage::RgbaImage(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      bytes_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_) * kChannels, 0) {}

bool RgbaImage::opaque() const {
    for (std::size_t i = 3; i < bytes_.size(); i += kChannels) {
        if (bytes_[i] != 255) {
            return false;
        }
    }
    return true;
}

RgbaImage toRgba(const ImageSurface& surface) {
    RgbaImage image(surface.width(), surface.height());
    std::uint8_t* out = image.bytes().data();
    for (const std::uint32_t color : surface.pixels()) {
        *out++ = static_cast<std::uint8_t>(color & 0xFFu);
        *out++ = static_cast<std::uint8_t>((color >> 8) & 0xFFu);
        *out++ = static_cast<std::uint8_t>((color >> 16) & 0xFFu);
        *out++ = 255;
    }
    return image;
}

}  // namespace kel
