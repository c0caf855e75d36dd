#pragma once

#include "render/render_stage.h"

namespace kel {

// The margin between the client area's top-left corner and the square viewport.
inline constexpr int kViewportMargin = 10;
// Projected depth 0..1 becomes device depth 0..255.
inline constexpr double kDepthScale = 255.0;

// The renderer at the end of every pipeline: fits the viewport into the client area,
// draws its frame, gives every corner of every visible polygon its device point and
// then calls draw. A client area too small for the margins draws nothing.
class DeviceRenderer : public RenderStage {
public:
    void run(DrawingSurface& surface, Scene& scene) override;

    // Draws the mapped polygons; nothing here.
    virtual void draw(DrawingSurface& surface, Scene& scene);
};

}  // namespace kel
