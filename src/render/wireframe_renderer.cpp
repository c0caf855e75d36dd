#include "render/wireframe_renderer.h"

#include "model/device_mapping.h"
#include "render/scene_walk.h"

namespace kel {

void WireframeRenderer::draw(DrawingSurface& surface, Scene& scene) {
    const DeviceMapping& mapping = *scene.deviceMapping();
    walk::forEachPolygon(scene, walk::Which::Drawable, [&](std::size_t, const Polygon& polygon) {
        const std::size_t count = polygon.effectiveVertexCount();
        const DevicePoint& first = polygon.effectiveVertex(0)->devicePoint();
        surface.moveTo(mapping.windowX(first.x()), mapping.windowY(first.y()));
        for (std::size_t j = 1; j < count; ++j) {
            const DevicePoint& p = polygon.effectiveVertex(j)->devicePoint();
            surface.lineTo(mapping.windowX(p.x()), mapping.windowY(p.y()));
        }
        surface.lineTo(mapping.windowX(first.x()), mapping.windowY(first.y()));
    });
}

}  // namespace kel
