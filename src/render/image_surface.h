#pragma once

#include <cstdint>
#include <vector>

#include "platform/drawing_surface.h"

namespace kel {

// An in-memory drawing surface of width x height pixels in 0x00BBGGRR, white at start.
// Pixels outside the image are ignored. Lines use a one-pixel black pen and, like the
// classic window line call, leave out their end point.
class ImageSurface : public DrawingSurface {
public:
    static constexpr std::uint32_t kWhite = 0x00FFFFFFu;
    static constexpr std::uint32_t kBlack = 0x00000000u;

    // What the unused high byte of every stored pixel holds. Opaque (0xFF) makes the
    // buffer a byte-ordered R, G, B, 255 image that a window can show as it is, with no
    // conversion; pixel() reads the colour without it either way.
    enum class HighByte { Zero, Opaque };

    // A negative size counts as 0.
    ImageSurface(int width, int height, HighByte highByte = HighByte::Zero);

    ClientRect clientRect() const override { return {0, 0, width_, height_}; }
    void setPixel(int x, int y, std::uint32_t color) override;
    void setPixelRow(int x, int y, const std::uint32_t* colors, int count) override;
    // Rows are separate parts of one array.
    bool takesRowsConcurrently() const override { return true; }
    // The pixels of the line from (x0, y0) to (x1, y1) that lineTo would set, from any
    // number of threads at once: each pixel is stored as one relaxed atomic write, and
    // every line sets the same black, so lines drawn together in any order give the image
    // one thread gives. The current position stays.
    void lineFromAnyThread(int x0, int y0, int x1, int y1);
    void moveTo(int x, int y) override;
    void lineTo(int x, int y) override;

    int width() const { return width_; }
    int height() const { return height_; }
    std::uint32_t pixel(int x, int y) const {
        return pixels_[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                       static_cast<std::size_t>(x)] &
               kColorMask;
    }
    // The stored pixels, high byte included.
    const std::vector<std::uint32_t>& pixels() const { return pixels_; }
    void fill(std::uint32_t color);

private:
    static constexpr std::uint32_t kColorMask = 0x00FFFFFFu;
    // The line's steps as line_steps.h describes them; store(index) sets one pixel.
    template <class Store>
    void forEachLinePixel(int x0, int y0, int x1, int y1, Store&& store) const;
    void drawLine(int x0, int y0, int x1, int y1);

    std::uint32_t highByte_;
    int width_;
    int height_;
    std::vector<std::uint32_t> pixels_;
    int currentX_ = 0;
    int currentY_ = 0;
};

}  // namespace kel
