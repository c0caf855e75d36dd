#include "render/image_surface.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>

#include "render/line_steps.h"

namespace kel {

ImageSurface::ImageSurface(int width, int height, HighByte highByte)
    : highByte_(highByte == HighByte::Opaque ? ~kColorMask : 0u),
      width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_),
              kWhite | highByte_) {}

void ImageSurface::fill(std::uint32_t color) {
    std::fill(pixels_.begin(), pixels_.end(), (color & kColorMask) | highByte_);
}

void ImageSurface::setPixel(int x, int y, std::uint32_t color) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return;
    }
    pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
            static_cast<std::size_t>(x)] = (color & kColorMask) | highByte_;
}

void ImageSurface::setPixelRow(int x, int y, const std::uint32_t* colors, int count) {
    if (y < 0 || y >= height_ || count <= 0) {
        return;
    }
    const long long first = std::max<long long>(x, 0);
    const long long last = std::min<long long>(static_cast<long long>(x) + count, width_);
    if (first >= last) {
        return;
    }
    const std::uint32_t high = highByte_;
    std::transform(
        colors + (first - x), colors + (last - x),
        pixels_.begin() + static_cast<std::ptrdiff_t>(static_cast<long long>(y) * width_ + first),
        [high](std::uint32_t color) { return (color & kColorMask) | high; });
}

void ImageSurface::moveTo(int x, int y) {
    currentX_ = x;
    currentY_ = y;
}

void ImageSurface::lineTo(int x, int y) {
    drawLine(currentX_, currentY_, x, y);
    currentX_ = x;
    currentY_ = y;
}

// Only the steps whose major coordinate lies inside the image are visited, so a line from
// far outside costs no more than one across the image.
template <class Store>
void ImageSurface::forEachLinePixel(int x0, int y0, int x1, int y1, Store&& store) const {
    const long long dx = static_cast<long long>(x1) - x0;
    const long long dy = static_cast<long long>(y1) - y0;
    const long long adx = std::llabs(dx);
    const long long ady = std::llabs(dy);
    const long long n = std::max(adx, ady);
    if (n == 0) {
        return;
    }
    const bool xMajor = adx >= ady;
    const long long major0 = xMajor ? x0 : y0;
    const long long minor0 = xMajor ? y0 : x0;
    const long long majorStep = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const long long minorDelta = xMajor ? dy : dx;
    const long long minorStep = minorDelta < 0 ? -1 : 1;
    const long long minorAbs = std::llabs(minorDelta);
    const long long width = width_;
    const long long height = height_;
    const long long high = (xMajor ? width : height) - 1;
    long long lo = 0;
    long long hi = n - 1;
    if (majorStep > 0) {
        lo = std::max(lo, -major0);
        hi = std::min(hi, high - major0);
    } else {
        lo = std::max(lo, major0 - high);
        hi = std::min(hi, major0);
    }
    for (long long i = lo; i <= hi; ++i) {
        const long long offset = lineMinorOffset(i, minorAbs, n);
        const long long minor = minor0 + minorStep * offset;
        const long long major = major0 + majorStep * i;
        const long long px = xMajor ? major : minor;
        const long long py = xMajor ? minor : major;
        if (px >= 0 && py >= 0 && px < width && py < height) {
            store(static_cast<std::size_t>(py * width + px));
        }
    }
}

void ImageSurface::drawLine(int x0, int y0, int x1, int y1) {
    std::uint32_t* const pixels = pixels_.data();
    const std::uint32_t black = kBlack | highByte_;
    forEachLinePixel(x0, y0, x1, y1, [pixels, black](std::size_t i) { pixels[i] = black; });
}

void ImageSurface::lineFromAnyThread(int x0, int y0, int x1, int y1) {
    std::uint32_t* const pixels = pixels_.data();
    const std::uint32_t black = kBlack | highByte_;
    forEachLinePixel(x0, y0, x1, y1, [pixels, black](std::size_t i) {
        std::atomic_ref<std::uint32_t>(pixels[i]).store(black, std::memory_order_relaxed);
    });
}

}  // namespace kel
