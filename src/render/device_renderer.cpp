#include "render/device_renderer.h"

#include <cmath>

#include "model/device_mapping.h"

namespace kel {

bool isProjectable(const Polygon& polygon) {
    const std::size_t count = polygon.effectiveVertexCount();
    for (std::size_t j = 0; j < count; ++j) {
        const double w = polygon.effectiveVertex(j)->clipPosition().at(3);
        if (!(std::fabs(w) >= 1e-6)) {
            return false;
        }
    }
    return true;
}

void DeviceRenderer::run(DrawingSurface& surface, Scene& scene) {
    DeviceMapping& mapping = *scene.deviceMapping();
    mapping.fit(surface.clientRect(), kViewportMargin);
    if (mapping.side() < 0) {
        return;
    }
    mapping.drawFrame(surface);
    Vector projected(4, 0.0);
    PolygonCursor cursor = beginPolygons(scene);
    while (cursor.hasMore()) {
        const Polygon* polygon = nextPolygon(cursor);
        if (!polygon->visible()) {
            continue;
        }
        const std::size_t count = polygon->effectiveVertexCount();
        for (std::size_t j = 0; j < count; ++j) {
            Vertex* vertex = polygon->effectiveVertex(j);
            if (vertex->projectedPosition(projected)) {
                vertex->setDevicePoint(mapping.map(projected, kDepthScale));
            }
        }
    }
    draw(surface, scene);
}

void DeviceRenderer::draw(DrawingSurface& /*surface*/, Scene& /*scene*/) {}

}  // namespace kel
