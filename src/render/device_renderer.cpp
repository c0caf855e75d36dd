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
    // Every corner of a visible polygon gets its device point; a corner with |w| < 1e-6
    // cannot be projected and keeps the one it had. A vertex shared by several polygons is
    // mapped once, to the same point: the object's vertices that a visible polygon draws
    // from, then the corners the clipper made, which belong to one polygon each.
    const auto map = [&mapping](Vertex& vertex) {
        Vector projected(4, 0.0);
        if (vertex.projectedPosition(projected)) {
            vertex.setDevicePoint(mapping.map(projected, kDepthScale));
        }
    };
    walk::forEachVertexInParallel(scene, [&map](std::size_t, Vertex& vertex) {
        for (const Polygon* polygon : vertex.polygons()) {
            if (walk::selected(*polygon, walk::Which::Visible) && !polygon->hasClipped()) {
                map(vertex);
                return;
            }
        }
    });
    walk::forEachPolygonInParallel(scene, walk::Which::Visible, [&map](std::size_t, Polygon& p) {
        for (std::size_t j = 0; j < p.clippedCount(); ++j) {
            map(*p.effectiveVertex(j));
        }
    });
    draw(surface, scene);
}

void DeviceRenderer::draw(DrawingSurface& /*surface*/, Scene& /*scene*/) {}

}  // namespace kel
