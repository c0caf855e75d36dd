#pragma once

#include <cstdint>

namespace kel {

// Client area of the window a surface draws into; left and top are always 0.
struct ClientRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

// What the renderers need of the place they draw on: the client size, single pixels
// (0x00BBGGRR), and lines drawn with a one-pixel black pen from the current position.
class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;

    virtual ClientRect clientRect() const = 0;
    virtual void setPixel(int x, int y, std::uint32_t color) = 0;
    virtual void moveTo(int x, int y) = 0;
    // Draws from the current position to (x, y), excluding the end point, which becomes
    // the new current position.
    virtual void lineTo(int x, int y) = 0;

    // Sets count pixels of row y starting at column x; one call per row instead of one
    // per pixel. Surfaces that can do better than a loop override it.
    virtual void setPixelRow(int x, int y, const std::uint32_t* colors, int count) {
        for (int i = 0; i < count; ++i) {
            setPixel(x + i, y, colors[i]);
        }
    }
    // True when setPixelRow may be called from several threads at once for different
    // rows, so that renderers can hand over each part of the image as it is done.
    virtual bool takesRowsConcurrently() const { return false; }
};

}  // namespace kel
