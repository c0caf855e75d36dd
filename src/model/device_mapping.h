#pragma once

#include <cmath>

#include "model/vector.h"
#include "model/vertex.h"
#include "platform/drawing_surface.h"

namespace kel {

// Converts a double to int truncating toward zero; NaN gives 0 and values beyond
// +-2^30 saturate there, so later sums of a few such values cannot overflow. The one
// conversion of the renderers, inline because they call it for every pixel.
[[nodiscard]] inline int truncToInt(double value) {
    constexpr double kLimit = 1073741824.0;  // 2^30
    // A minimum, a maximum and a mask, which the processor does without branches: the
    // span loops call it for every pixel. NaN becomes the limit first, then 0.
    double clamped = value < kLimit ? value : kLimit;
    clamped = clamped > -kLimit ? clamped : -kLimit;
    clamped = value != value ? 0.0 : clamped;
    return static_cast<int>(clamped);
}

// Fits the projected square -1..1 x -1..1 into the largest square viewport of the client
// area less a margin, anchored at the top left, and maps projected positions into it.
class DeviceMapping {
public:
    // side = min(right, bottom) - 2 * margin; it is negative for tiny client areas.
    void fit(const ClientRect& client, int margin);
    // x = trunc((1 + p.x) * 0.5 * side), y = side - trunc((1 + p.y) * 0.5 * side),
    // depth = trunc(p.z * depthScale).
    [[nodiscard]] DevicePoint map(const Vector& projected, double depthScale) const {
        const double side = side_;
        return {truncToInt((1.0 + projected.at(0)) * 0.5 * side),
                side_ - truncToInt((1.0 + projected.at(1)) * 0.5 * side),
                truncToInt(projected.at(2) * depthScale)};
    }
    int windowX(int column) const { return column + margin_; }
    int windowY(int row) const { return row + margin_; }
    int width() const { return side_; }
    int height() const { return side_; }
    // A one-pixel frame just outside the viewport, with the surface's pen.
    void drawFrame(DrawingSurface& surface) const;

    int side() const { return side_; }
    int margin() const { return margin_; }
    bool fitted() const { return fitted_ != 0; }

private:
    int side_ = 0;
    int margin_ = 0;
    int fitted_ = 0;
};

}  // namespace kel
