#include "render/device_renderer.h"

#include "model/device_mapping.h"
#include "render/scene_walk.h"

namespace kel {

void DeviceRenderer::run(DrawingSurface& surface, Scene& scene) {
    DeviceMapping& mapping = *scene.deviceMapping();
    mapping.fit(surface.clientRect(), kViewportMargin);
    if (mapping.side() < 0) {
        return;
    }
    mapping.drawFrame(surface);
    // A corner with |w| < 1e-6 cannot be projected and keeps its device point.
    Vector projected(4, 0.0);
    walk::forEachPolygon(scene, walk::Which::Visible, [&](std::size_t, const Polygon& polygon) {
        const std::size_t count = polygon.effectiveVertexCount();
        for (std::size_t j = 0; j < count; ++j) {
            Vertex* vertex = polygon.effectiveVertex(j);
            if (vertex->projectedPosition(projected)) {
                vertex->setDevicePoint(mapping.map(projected, kDepthScale));
            }
        }
    });
    draw(surface, scene);
}

void DeviceRenderer::draw(DrawingSurface& /*surface*/, Scene& /*scene*/) {}

}  // namespace kel
