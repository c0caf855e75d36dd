#include "render/scanline_renderer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "model/camera.h"
#include "model/device_mapping.h"
#include "render/scene_walk.h"
#include "render/shading_inputs.h"
#include "render/triangle_rows.h"

namespace kel {

namespace {

// normal . light, written out for three components in dot's operations and order: this
// runs for every corner of every drawn polygon.
[[nodiscard]] double cosineOf(const Vertex& corner, const Vector& light) {
    const Vector n = corner.normal();
    if (light.size() < 3) {
        return n.dot(light);
    }
    return ((0.0 + n.x() * light.x()) + n.y() * light.y()) + n.z() * light.z();
}

}  // namespace

void ScanlineRenderer::prepareBuffer(const DeviceMapping& mapping) {
    if (!buffer_) {
        buffer_ = std::make_unique<FrameBuffer>(mapping.width(), mapping.height());
    } else {
        buffer_->resize(mapping.width(), mapping.height());
    }
}

void ScanlineRenderer::fillRow(Band& band, int row, const ShadingInputs& shading) {
    const EdgeTable& edges = band.edges;
    const EdgeEntry* first = edges.head(row);
    if (first == nullptr) {
        return;
    }
    const EdgeEntry* second = edges.next(*first);
    if (second == nullptr) {
        return;
    }
    if (edges.next(*second) == nullptr) {
        fillSpan(row, *first, *second, shading, band.pixels);
        return;
    }
    // More than two crossings (a non-convex polygon): fill between crossings 1-2, 3-4, ...
    // in x order. The sort is stable, so equal x keep the list order.
    std::vector<const EdgeEntry*>& crossings = band.crossings;
    crossings.clear();
    for (const EdgeEntry* e = first; e != nullptr; e = edges.next(*e)) {
        crossings.push_back(e);
    }
    sortCrossings(crossings, [](const EdgeEntry* e) { return e->x; });
    for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
        fillSpan(row, *crossings[i], *crossings[i + 1], shading, band.pixels);
    }
}

void ScanlineRenderer::collectDrawList(const Scene& scene, int rows) {
    const auto runs = walk::polygonRuns(scene);
    long total = 0;
    for (const auto& run : runs) {
        total += run.count;
    }
    const std::size_t bandCount = bands_.size();
    pieces_ = static_cast<std::size_t>(walk::pieceCount(total, kDrawListPiece));
    if (drawLists_.size() < pieces_ * bandCount) {
        drawLists_.resize(pieces_ * bandCount);
    }
    for (std::size_t i = 0; i < pieces_ * bandCount; ++i) {
        drawLists_[i].clear();
    }
    walk::forEachInPieces(
        runs, kDrawListPiece, [&](long piece, std::size_t object, const Polygon* polygon) {
            const Polygon& p = *polygon;
            if (!walk::selected(p, walk::Which::Drawable)) {
                return;
            }
            const std::size_t k = p.effectiveVertexCount();
            int top = p.effectiveVertex(0)->devicePoint().y();
            int bottom = top;
            for (std::size_t j = 1; j < k; ++j) {
                const int y = p.effectiveVertex(j)->devicePoint().y();
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
            // The closed outline's edges together cover the rows from the top corner up to the
            // bottom one, excluded. Block b of those rows belongs to band b mod bandCount.
            const int first = std::max(top, 0);
            const int end = std::min(bottom, rows);
            if (first >= end) {
                return;
            }
            const int firstBlock = first / EdgeTable::kBlockRows;
            const int lastBlock = std::min((end - 1) / EdgeTable::kBlockRows,
                                           firstBlock + static_cast<int>(bandCount) - 1);
            for (int block = firstBlock; block <= lastBlock; ++block) {
                const std::size_t band = static_cast<std::size_t>(block) % bandCount;
                drawLists_[static_cast<std::size_t>(piece) * bandCount + band].push_back(
                    {&p, static_cast<std::uint32_t>(object)});
            }
        });
}

void ScanlineRenderer::drawPolygon(Band& band, const Polygon& polygon, const Vector& light,
                                   const ShadingInputs& shading) {
    const std::size_t k = polygon.effectiveVertexCount();
    if (k == 3) {
        const Vertex* const corners[3] = {polygon.effectiveVertex(0), polygon.effectiveVertex(1),
                                          polygon.effectiveVertex(2)};
        double cosines[3] = {0.0, 0.0, 0.0};
        if (!carriesSurface_) {
            for (std::size_t j = 0; j < 3; ++j) {
                cosines[j] = cosineOf(*corners[j], light);
            }
        }
        drawTriangle(corners, cosines, band.edges.share(), shading, band.pixels);
        return;
    }
    // Each corner's cosine once, not once for each of its two edges.
    std::vector<double>& cosines = band.cosines;
    cosines.assign(k, 0.0);
    if (!carriesSurface_) {
        for (std::size_t j = 0; j < k; ++j) {
            cosines[j] = cosineOf(*polygon.effectiveVertex(j), light);
        }
    }
    EdgeTable& edges = band.edges;
    edges.clear();
    for (std::size_t j = 1; j < k; ++j) {
        edges.addEdge(*polygon.effectiveVertex(j - 1), cosines[j - 1], *polygon.effectiveVertex(j),
                      cosines[j]);
    }
    edges.addEdge(*polygon.effectiveVertex(k - 1), cosines[k - 1], *polygon.effectiveVertex(0),
                  cosines[0]);
    for (int r = edges.firstRow(); r <= edges.lastRow(); ++r) {
        fillRow(band, r, shading);
    }
}

template <class F>
void ScanlineRenderer::forEachBandBlock(const Band& band, F&& f) const {
    const int rows = band.edges.rows();
    const int step = band.edges.stride() * EdgeTable::kBlockRows;
    for (int first = band.edges.phase() * EdgeTable::kBlockRows; first < rows; first += step) {
        f(first, std::min(first + EdgeTable::kBlockRows, rows));
    }
}

void ScanlineRenderer::copyRows(DrawingSurface& surface, const DeviceMapping& mapping, int first,
                                int end) const {
    const FrameBuffer& frame = *buffer_;
    for (int r = first; r < end; ++r) {
        surface.setPixelRow(mapping.windowX(0), mapping.windowY(r), frame.row(r), frame.width());
    }
}

void ScanlineRenderer::drawBand(Band& band, const Vector& light, DrawingSurface* surface,
                                const DeviceMapping& mapping) {
    forEachBandBlock(band, [this](int first, int end) { buffer_->clearRows(first, end); });
    const std::size_t width = static_cast<std::size_t>(std::max(buffer_->width(), 0));
    if (carriesSurface_) {
        band.pixels.phong.reserve(width);
    } else {
        band.pixels.gouraud.reserve(width);
    }
    // The pieces in order, each in order: the polygons in drawing order.
    for (std::size_t piece = 0; piece < pieces_; ++piece) {
        for (const DrawItem& item : drawLists_[piece * bands_.size() + band.index]) {
            drawPolygon(band, *item.polygon, light, shading_[item.object]);
        }
    }
    flushSpans(band.pixels);
    band.edges.clear();
    if (surface != nullptr) {
        forEachBandBlock(band,
                         [&](int first, int end) { copyRows(*surface, mapping, first, end); });
    }
}

int ScanlineRenderer::bandCountFor(int rows) const {
    int bands = requestedBands_;
    if (bands <= 0) {
        bands = 2 * walk::workerCount();
    }
    // Small viewports are not worth the repeated polygon walks: every band gets at least
    // two blocks.
    return std::max(1, std::min(bands, rows / (2 * EdgeTable::kBlockRows)));
}

void ScanlineRenderer::draw(DrawingSurface& surface, Scene& scene) {
    const Light fallbackLight;
    const Light& light = scene.light() != nullptr ? *scene.light() : fallbackLight;
    const DeviceMapping& mapping = *scene.deviceMapping();
    const int rows = std::max(mapping.height(), 0);
    const Vector lightDirection = light.direction();
    prepareBuffer(mapping);

    shading_.clear();
    for (std::size_t i = 0; i < scene.objectCount(); ++i) {
        shading_.push_back(shadingInputsFor(scene, light, *scene.object(i)));
    }

    const int bandCount = bandCountFor(rows);
    if (static_cast<int>(bands_.size()) != bandCount) {
        bands_.clear();
        bands_.resize(static_cast<std::size_t>(bandCount));
    }
    for (int b = 0; b < bandCount; ++b) {
        bands_[static_cast<std::size_t>(b)].index = static_cast<std::size_t>(b);
        EdgeTable& edges = bands_[static_cast<std::size_t>(b)].edges;
        edges.resize(rows, b, bandCount);
        edges.setCarriesSurface(carriesSurface_);
    }
    collectDrawList(scene, rows);
    // Bands on the threads; a band touches only its own rows, edge table and scratch, and
    // hands its rows to the surface itself when the surface takes rows from several threads.
    DrawingSurface* const bandSurface = surface.takesRowsConcurrently() ? &surface : nullptr;
    walk::parallelFor(
        bandCount, 2,
        [&](long b) {
            drawBand(bands_[static_cast<std::size_t>(b)], lightDirection, bandSurface, mapping);
        },
        1);
    if (bandSurface == nullptr) {
        copyRows(surface, mapping, 0, buffer_->height());
    }
}

__attribute__((always_inline)) inline void GouraudRenderer::fill(const SpanStart& start,
                                                                 GouraudPixels& pixels) {
    // The depth test in column order, keeping the cosine of each passing pixel; the
    // colours are computed later, many together, and stored in the same order.
    const SpanRow& span = start.row;
    Lanes2 depthCosine = start.at.pairs[0];
    const Lanes2 steps = start.step.pairs[0];
    std::uint16_t* const depths = span.depths;
    std::size_t* target = pixels.target.data();
    double* cosine = pixels.cosine.data();
    std::size_t count = pixels.count;
    for (int x = span.columns.begin; x < span.columns.end; ++x) {
        const int depth = roundToInt(depthCosine[0]);
        if (depth < depths[x]) {
            depths[x] = FrameBuffer::clampDepth(depth);
            target[count] = span.rowStart + static_cast<std::size_t>(x);
            cosine[count] = depthCosine[1];
            ++count;
        }
        depthCosine += steps;
    }
    pixels.count = count;
}

__attribute__((always_inline)) inline void PhongRenderer::fill(const SpanStart& start,
                                                               PhongPixels& pixels) {
    // The depth test in column order, keeping what the colour of each passing pixel needs;
    // the colours are computed later, many together, and stored in the same order.
    const SpanRow& span = start.row;
    // Named pairs rather than an array, so that they stay in registers.
    Lanes2 depthWx = start.at.pairs[0];
    Lanes2 wyWz = start.at.pairs[1];
    Lanes2 nxNy = start.at.pairs[2];
    Lanes2 nz = start.at.pairs[3];
    const Lanes2 dDepthWx = start.step.pairs[0];
    const Lanes2 dWyWz = start.step.pairs[1];
    const Lanes2 dNxNy = start.step.pairs[2];
    const Lanes2 dNz = start.step.pairs[3];
    std::uint16_t* const depths = span.depths;
    std::size_t* target = pixels.target.data();
    double* wx = pixels.wx.data();
    double* wy = pixels.wy.data();
    double* wz = pixels.wz.data();
    double* nxs = pixels.nx.data();
    double* nys = pixels.ny.data();
    double* nzs = pixels.nz.data();
    std::size_t count = pixels.count;
    for (int x = span.columns.begin; x < span.columns.end; ++x) {
        const int depth = roundToInt(depthWx[0]);
        if (depth < depths[x]) {
            depths[x] = FrameBuffer::clampDepth(depth);
            target[count] = span.rowStart + static_cast<std::size_t>(x);
            wx[count] = depthWx[1];
            wy[count] = wyWz[0];
            wz[count] = wyWz[1];
            nxs[count] = nxNy[0];
            nys[count] = nxNy[1];
            nzs[count] = nz[0];
            ++count;
        }
        depthWx += dDepthWx;
        wyWz += dWyWz;
        nxNy += dNxNy;
        nz += dNz;
    }
    pixels.count = count;
}

template <class Spans, bool Surface>
void SpanRenderer<Spans, Surface>::fillSpan(int row, const EdgeEntry& first,
                                            const EdgeEntry& second, const ShadingInputs& shading,
                                            PendingPixels& pixels) {
    span(row, first, second, shading, Spans::pending(pixels));
}

template <class Spans, bool Surface>
void SpanRenderer<Spans, Surface>::drawTriangle(const Vertex* const corners[3],
                                                const double cosines[3], const RowShare& share,
                                                const ShadingInputs& shading,
                                                PendingPixels& pixels) {
    auto& pending = Spans::pending(pixels);
    forEachTriangleRow<Surface>(
        corners, cosines, share,
        [&](int row, const EdgeWalk<Surface>& a, const EdgeWalk<Surface>& b) {
            span(row, a, b, shading, pending);
        });
}

template class SpanRenderer<GouraudRenderer, false>;
template class SpanRenderer<PhongRenderer, true>;

}  // namespace kel
