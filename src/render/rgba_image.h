#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kel {

class ImageSurface;

// 8-bit RGBA pixels, row after row, in the byte order PNG files use. Thumbnails need the
// alpha that the drawing surface does not have.
class RgbaImage {
public:
    static constexpr std::size_t kChannels = 4;

    RgbaImage() = default;
    // All pixels transparent black; a negative size counts as 0.
    RgbaImage(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ == 0 || height_ == 0; }
    std::uint8_t* pixel(int x, int y) { return bytes_.data() + offset(x, y); }
    const std::uint8_t* pixel(int x, int y) const { return bytes_.data() + offset(x, y); }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    std::vector<std::uint8_t>& bytes() { return bytes_; }
    // Every alpha is 255.
    bool opaque() const;

    bool operator==(const RgbaImage& other) const = default;

private:
    std::size_t offset(int x, int y) const {
        return (static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                static_cast<std::size_t>(x)) *
               kChannels;
    }

    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> bytes_;
};

// The surface's 0x00BBGGRR pixels, fully opaque.
RgbaImage toRgba(const ImageSurface& surface);

}  // namespace kel
