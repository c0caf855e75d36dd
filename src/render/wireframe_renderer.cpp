#include "render/wireframe_renderer.h"

#include "model/device_mapping.h"
#include "render/image_surface.h"
#include "render/scene_walk.h"

namespace kel {

namespace {

// The outline edges of a polygon, in window coordinates, in drawing order: f(x0, y0, x1,
// y1) from each corner to the next and from the last back to the first.
template <class F>
void forEachEdgeOf(const Polygon& polygon, const DeviceMapping& mapping, F&& f) {
    const std::size_t count = polygon.effectiveVertexCount();
    const DevicePoint& first = polygon.effectiveVertex(0)->devicePoint();
    int x = mapping.windowX(first.x());
    int y = mapping.windowY(first.y());
    for (std::size_t j = 1; j <= count; ++j) {
        const DevicePoint& p = polygon.effectiveVertex(j == count ? 0 : j)->devicePoint();
        const int nx = mapping.windowX(p.x());
        const int ny = mapping.windowY(p.y());
        f(x, y, nx, ny);
        x = nx;
        y = ny;
    }
}

}  // namespace

void WireframeRenderer::draw(DrawingSurface& surface, Scene& scene) {
    // The image surface can take lines from several threads at once.
    if (auto* image = dynamic_cast<ImageSurface*>(&surface);
        image != nullptr && surface.takesRowsConcurrently()) {
        drawConcurrently(*image, scene);
        return;
    }
    const DeviceMapping& mapping = *scene.deviceMapping();
    walk::forEachPolygon(scene, walk::Which::Drawable, [&](std::size_t, const Polygon& polygon) {
        forEachEdgeOf(polygon, mapping, [&](int x0, int y0, int x1, int y1) {
            surface.moveTo(x0, y0);
            surface.lineTo(x1, y1);
        });
    });
}

// Every pen stroke is black, so the image is the union of the lines' pixels, in any
// order: the polygons are shared out over the threads, and each draws its lines straight
// into the image.
void WireframeRenderer::drawConcurrently(ImageSurface& image, const Scene& scene) {
    const DeviceMapping& mapping = *scene.deviceMapping();
    walk::forEachPolygonInParallel(
        scene, walk::Which::Drawable, [&](std::size_t, const Polygon& polygon) {
            forEachEdgeOf(polygon, mapping, [&](int x0, int y0, int x1, int y1) {
                image.lineFromAnyThread(x0, y0, x1, y1);
            });
        });
}

}  // namespace kel
