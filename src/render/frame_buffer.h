#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

namespace kel {

// A depth and a packed 0x00BBGGRR colour per viewport pixel, row after row. Depths and
// colours are kept in separate arrays so that a row of colours can go to the surface in
// one call.
class FrameBuffer {
public:
    // Depth after a reset: one more than the deepest pixel (255), so a first pixel passes.
    static constexpr int kClearDepth = 256;
    static constexpr std::uint32_t kClearColor = 0x00FFFFFFu;

    FrameBuffer(int width, int height) { reset(width, height); }

    // Reallocates only when the size changes (a negative size counts as 0), then every
    // cell gets depth 256 and white.
    void reset(int width, int height);
    // Reallocates only when the size changes, leaving the cells' values unspecified until
    // clearRows covers them: lets threads clear the rows they are about to draw.
    void resize(int width, int height);
    // Depth 256 and white for the rows from first up to, not including, end.
    void clearRows(int first, int end);

    int width() const { return width_; }
    int height() const { return height_; }
    std::uint32_t colorAt(int x, int y) const { return colors_[index(x, y)]; }
    int depthAt(int x, int y) const { return depths_[index(x, y)]; }
    // The depth is kept in 16 bits, clamped to 0..65535.
    [[nodiscard]] static std::uint16_t clampDepth(int depth) {
        return static_cast<std::uint16_t>(std::clamp(depth, 0, 65535));
    }
    const std::uint32_t* row(int y) const { return colors_.data() + index(0, y); }
    // Direct access to one row for the span loops.
    std::uint32_t* colorRow(int y) { return colors_.data() + index(0, y); }
    std::uint16_t* depthRow(int y) { return depths_.data() + index(0, y); }

private:
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
               static_cast<std::size_t>(x);
    }

    std::vector<std::uint16_t> depths_;
    std::vector<std::uint32_t> colors_;
    int width_ = -1;
    int height_ = -1;
};

}  // namespace kel
