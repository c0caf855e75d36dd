#pragma once

#include "render/device_renderer.h"

namespace kel {

class ImageSurface;

// Outlines every visible polygon with the surface's pen, in polygon order: no buffer,
// no depth test, no fill.
class WireframeRenderer : public DeviceRenderer {
public:
    void draw(DrawingSurface& surface, Scene& scene) override;

private:
    void drawConcurrently(ImageSurface& image, const Scene& scene);
};

}  // namespace kel
