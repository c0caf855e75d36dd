#pragma once

#include <vector>

#include "render/device_renderer.h"

namespace kel {

class ImageSurface;

// Outlines every visible polygon with the surface's pen, in polygon order: no buffer,
// no depth test, no fill.
class WireframeRenderer : public DeviceRenderer {
public:
    void draw(DrawingSurface& surface, Scene& scene) override;

private:
    struct Line {
        int x0, y0, x1, y1;
    };
    // Polygons per piece when the lines are dealt out to the bands.
    static constexpr long kPiece = 4096;

    void drawInBands(ImageSurface& image, const Scene& scene);

    // The lines of piece p that reach band b's rows: lines_[p * bands + b], kept between
    // renders.
    std::vector<std::vector<Line>> lines_;
};

}  // namespace kel
