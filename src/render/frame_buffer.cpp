#include "render/frame_buffer.h"

#include <algorithm>

namespace kel {

void FrameBuffer::reset(int width, int height) {
    resize(width, height);
    clearRows(0, height_);
}

void FrameBuffer::resize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width != width_ || height != height_) {
        width_ = width;
        height_ = height;
        const std::size_t cells =
            static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
        depths_.assign(cells, static_cast<std::uint16_t>(kClearDepth));
        colors_.assign(cells, kClearColor);
    }
}

void FrameBuffer::clearRows(int first, int end) {
    first = std::clamp(first, 0, height_);
    end = std::clamp(end, first, height_);
    const std::size_t from = index(0, first);
    const std::size_t to = index(0, end);
    std::fill(depths_.begin() + static_cast<std::ptrdiff_t>(from),
              depths_.begin() + static_cast<std::ptrdiff_t>(to),
              static_cast<std::uint16_t>(kClearDepth));
    std::fill(colors_.begin() + static_cast<std::ptrdiff_t>(from),
              colors_.begin() + static_cast<std::ptrdiff_t>(to), kClearColor);
}

}  // namespace kel
