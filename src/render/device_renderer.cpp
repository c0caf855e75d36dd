#include "render/device_renderer.h"

#include <cmath>

#include "model/device_mapping.h"
#include "render/shading.h"

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
    // The projection (clip position / w) and the mapping's arithmetic, written out for
    // the many corners of a large scene; a corner with |w| < 1e-6 keeps its device point.
    const int sideInt = mapping.side();
    const double side = sideInt;
    PolygonCursor cursor = beginPolygons(scene);
    while (cursor.hasMore()) {
        const Polygon* polygon = nextPolygon(cursor);
        if (!polygon->visible()) {
            continue;
        }
        const std::size_t count = polygon->effectiveVertexCount();
        for (std::size_t j = 0; j < count; ++j) {
            Vertex* vertex = polygon->effectiveVertex(j);
            const Vector& clip = vertex->clipPosition();
            const double w = clip.at(3);
            if (!(std::fabs(w) >= 1e-6)) {
                continue;
            }
            const double px = clip.at(0) / w;
            const double py = clip.at(1) / w;
            const double pz = clip.at(2) / w;
            vertex->setDevicePoint(DevicePoint(truncSaturated((1.0 + px) * 0.5 * side),
                                               sideInt - truncSaturated((1.0 + py) * 0.5 * side),
                                               truncSaturated(pz * kDepthScale)));
        }
    }
    draw(surface, scene);
}

void DeviceRenderer::draw(DrawingSurface& /*surface*/, Scene& /*scene*/) {}

}  // namespace kel
