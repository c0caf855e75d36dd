#pragma once

#include "render/render_stage.h"

namespace kel {

// Makes every polygon visible again and drops its clipped corners.
class ResetVisibilityStage : public RenderStage {
public:
    void run(DrawingSurface& surface, Scene& scene) override;
};

// World position = model position x the object's stored modelling transform.
class ModelTransformStage : public RenderStage {
public:
    void run(DrawingSurface& surface, Scene& scene) override;
};

// Every polygon normal first, then every vertex normal, so that vertices average the
// normals of this render.
class NormalStage : public RenderStage {
public:
    void run(DrawingSurface& surface, Scene& scene) override;
};

// A polygon stays visible only when its normal points towards the eye.
class CullStage : public RenderStage {
public:
    void run(DrawingSurface& surface, Scene& scene) override;

    // normal . (eye - first corner) > 0, and not within 1e-6 of edge-on.
    [[nodiscard]] static bool facesEye(const Polygon& polygon, const Vector& eye);
};

// Culls like CullStage only while the scene's cullBackFaces flag is set.
class OptionalCullStage : public CullStage {
public:
    void run(DrawingSurface& surface, Scene& scene) override;
};

// Clip position = (world, 1) x view transform x perspective transform.
class ViewProjectionStage : public RenderStage {
public:
    void run(DrawingSurface& surface, Scene& scene) override;
};

}  // namespace kel
