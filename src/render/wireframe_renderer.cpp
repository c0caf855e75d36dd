#include "render/wireframe_renderer.h"

#include <algorithm>

#include "model/device_mapping.h"
#include "render/image_surface.h"
#include "render/scene_walk.h"

namespace kel {

namespace {

// Rows are dealt out to bands in blocks of this many, as the shaded renderers do.
constexpr int kBlockRows = 32;

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

// The rows a line may set pixels on, clipped to the image; false when none.
bool lineRows(int y0, int y1, int height, int& top, int& bottom) {
    top = std::max(std::min(y0, y1), 0);
    bottom = std::min(std::max(y0, y1), height - 1);
    return top <= bottom;
}

}  // namespace

void WireframeRenderer::draw(DrawingSurface& surface, Scene& scene) {
    // The image surface can take lines into separate rows from several threads.
    if (auto* image = dynamic_cast<ImageSurface*>(&surface);
        image != nullptr && surface.takesRowsConcurrently()) {
        drawInBands(*image, scene);
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
// order: bands of rows draw at once, each the pixels of its lines on its own rows. The
// lines are first dealt out to the bands whose row blocks they reach, in pieces of the
// scene's polygons on all threads.
void WireframeRenderer::drawInBands(ImageSurface& image, const Scene& scene) {
    const DeviceMapping& mapping = *scene.deviceMapping();
    const std::size_t bands = static_cast<std::size_t>(std::max(1, 2 * walk::workerCount()));
    const auto runs = walk::polygonRuns(scene);
    long total = 0;
    for (const auto& run : runs) {
        total += run.count;
    }
    const std::size_t pieces = static_cast<std::size_t>(walk::pieceCount(total, kPiece));
    if (lines_.size() < pieces * bands) {
        lines_.resize(pieces * bands);
    }
    for (std::size_t i = 0; i < pieces * bands; ++i) {
        lines_[i].clear();
    }
    const int height = image.height();
    walk::forEachInPieces(runs, kPiece, [&](long piece, std::size_t, const Polygon* drawn) {
        const Polygon& polygon = *drawn;
        if (!walk::selected(polygon, walk::Which::Drawable)) {
            return;
        }
        forEachEdgeOf(polygon, mapping, [&](int x0, int y0, int x1, int y1) {
            int top = 0;
            int bottom = 0;
            if (!lineRows(y0, y1, height, top, bottom)) {
                return;
            }
            const int firstBlock = top / kBlockRows;
            const int lastBlock =
                std::min(bottom / kBlockRows, firstBlock + static_cast<int>(bands) - 1);
            for (int block = firstBlock; block <= lastBlock; ++block) {
                lines_[static_cast<std::size_t>(piece) * bands +
                       static_cast<std::size_t>(block) % bands]
                    .push_back({x0, y0, x1, y1});
            }
        });
    });
    walk::parallelFor(
        static_cast<long>(bands), 2,
        [&](long b) {
            const std::size_t band = static_cast<std::size_t>(b);
            for (std::size_t piece = 0; piece < pieces; ++piece) {
                for (const Line& line : lines_[piece * bands + band]) {
                    int top = 0;
                    int bottom = 0;
                    static_cast<void>(lineRows(line.y0, line.y1, height, top, bottom));
                    // The band's first block at or after the line's top, then every
                    // bands-th.
                    const std::size_t topBlock = static_cast<std::size_t>(top / kBlockRows);
                    const std::size_t lastBlock = static_cast<std::size_t>(bottom / kBlockRows);
                    for (std::size_t block = topBlock + (band + bands - topBlock % bands) % bands;
                         block <= lastBlock; block += bands) {
                        const int from = static_cast<int>(block) * kBlockRows;
                        image.lineWithinRows(line.x0, line.y0, line.x1, line.y1, from,
                                             from + kBlockRows);
                    }
                }
            }
        },
        1);
}

}  // namespace kel
