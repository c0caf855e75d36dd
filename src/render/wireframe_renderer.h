#pragma once

#include "render/device_renderer.h"

namespace kel {

// Outlines every visible polygon with the surface's pen, in polygon order: no buffer,
// no depth test, no fill.
class WireframeRenderer : public DeviceRenderer {
public:
    void draw(DrawingSurface& surface, Scene& scene) override;
};

}  // namespace kel
