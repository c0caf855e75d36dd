#include "render/frame_buffer.h"

#include <algorithm>

namespace kel {

void FrameBuffer::reset(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width != width_ || height != height_) {
        width_ = width;
        height_ = height;
        const std::size_t cells =
            static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
        depths_.assign(cells, static_cast<std::uint16_t>(kClearDepth));
        colors_.assign(cells, kClearColor);
        return;
    }
    std::fill(depths_.begin(), depths_.end(), static_cast<std::uint16_t>(kClearDepth));
    std::fill(colors_.begin(), colors_.end(), kClearColor);
}

}  // namespace kel
