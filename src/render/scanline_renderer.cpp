#include "render/scanline_renderer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "model/camera.h"
#include "model/device_mapping.h"
#include "render/shading_inputs.h"

#ifdef _OPENMP
#include <omp.h>
#endif

namespace kel {

namespace {

// Orders crossings by x; NaN sorts last so the order stays a strict weak one.
bool leftOf(const EdgeEntry* a, const EdgeEntry* b) {
    if (a->x != a->x) {
        return false;
    }
    if (b->x != b->x) {
        return true;
    }
    return a->x < b->x;
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
        fillSpan(row, *first, *second, shading);
        return;
    }
    // More than two crossings (a non-convex polygon): fill between crossings 1-2, 3-4, ...
    // in x order. The sort is stable, so equal x keep the list order.
    std::vector<const EdgeEntry*>& crossings = band.crossings;
    crossings.clear();
    for (const EdgeEntry* e = first; e != nullptr; e = edges.next(*e)) {
        crossings.push_back(e);
        for (std::size_t j = crossings.size() - 1; j > 0 && leftOf(crossings[j], crossings[j - 1]);
             --j) {
            std::swap(crossings[j], crossings[j - 1]);
        }
    }
    for (std::size_t i = 0; i + 1 < crossings.size(); i += 2) {
        fillSpan(row, *crossings[i], *crossings[i + 1], shading);
    }
}

bool ScanlineRenderer::reachesBand(const Band& band, const Polygon& polygon) const {
    const std::size_t k = polygon.effectiveVertexCount();
    int top = polygon.effectiveVertex(0)->devicePoint().y();
    int bottom = top;
    for (std::size_t j = 1; j < k; ++j) {
        const int y = polygon.effectiveVertex(j)->devicePoint().y();
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    // The closed outline's edges together cover the rows from the top corner up to the
    // bottom one, excluded.
    return band.edges.sharesRows(top, bottom);
}

void ScanlineRenderer::drawPolygon(Band& band, const Polygon& polygon, const Vector& light,
                                   const ShadingInputs& shading) {
    const std::size_t k = polygon.effectiveVertexCount();
    // Each corner's cosine once, not once for each of its two edges.
    std::vector<double>& cosines = band.cosines;
    cosines.assign(k, 0.0);
    if (!carriesSurface_) {
        for (std::size_t j = 0; j < k; ++j) {
            cosines[j] = polygon.effectiveVertex(j)->normal().dot(light);
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

void ScanlineRenderer::clearBandRows(const Band& band) {
    const int rows = band.edges.rows();
    const int step = band.edges.stride() * EdgeTable::kBlockRows;
    for (int first = band.edges.phase() * EdgeTable::kBlockRows; first < rows; first += step) {
        buffer_->clearRows(first, first + EdgeTable::kBlockRows);
    }
}

void ScanlineRenderer::drawBand(Band& band, const Vector& light) {
    clearBandRows(band);
    for (const ObjectToDraw& entry : objects_) {
        for (const auto& surfacePtr : entry.object->surfaces()) {
            for (const auto& polygon : surfacePtr->polygons()) {
                if (polygon->visible() && polygon->effectiveVertexCount() != 0 &&
                    reachesBand(band, *polygon) && isProjectable(*polygon)) {
                    drawPolygon(band, *polygon, light, entry.shading);
                }
            }
        }
    }
    band.edges.clear();
}

int ScanlineRenderer::bandCountFor(int rows) const {
    int bands = requestedBands_;
    if (bands <= 0) {
#ifdef _OPENMP
        bands = omp_get_max_threads();
#else
        bands = 1;
#endif
    }
    // Small viewports are not worth the repeated polygon walks.
    return std::max(1, std::min(bands, rows / (4 * EdgeTable::kBlockRows)));
}

void ScanlineRenderer::draw(DrawingSurface& surface, Scene& scene) {
    const Light fallbackLight;
    const Light& light = scene.light() != nullptr ? *scene.light() : fallbackLight;
    const DeviceMapping& mapping = *scene.deviceMapping();
    const int rows = std::max(mapping.height(), 0);
    const Vector lightDirection = light.direction();
    prepareBuffer(mapping);

    objects_.clear();
    for (std::size_t i = 0; i < scene.objectCount(); ++i) {
        const SceneObject& object = *scene.object(i);
        objects_.push_back({&object, shadingInputsFor(scene, light, object)});
    }

    const int bandCount = bandCountFor(rows);
    if (static_cast<int>(bands_.size()) != bandCount) {
        bands_.clear();
        bands_.resize(static_cast<std::size_t>(bandCount));
    }
    for (int b = 0; b < bandCount; ++b) {
        EdgeTable& edges = bands_[static_cast<std::size_t>(b)].edges;
        edges.resize(rows, b, bandCount);
        edges.setCarriesSurface(carriesSurface_);
    }
#pragma omp parallel for schedule(static, 1) num_threads(bandCount) if (bandCount > 1)
    for (int b = 0; b < bandCount; ++b) {
        drawBand(bands_[static_cast<std::size_t>(b)], lightDirection);
    }

    const FrameBuffer& frame = *buffer_;
    for (int r = 0; r < frame.height(); ++r) {
        surface.setPixelRow(mapping.windowX(0), mapping.windowY(r), frame.row(r), frame.width());
    }
}

void GouraudRenderer::fillSpan(int row, const EdgeEntry& first, const EdgeEntry& second,
                               const ShadingInputs& shading) {
    Span span;
    if (!spanOf(first, second, span)) {
        return;
    }
    const EdgeEntry& left = *span.left;
    const EdgeEntry& right = *span.right;
    const double dz = (right.depth - left.depth) / span.columns;
    const double dk = (right.cosine - left.cosine) / span.columns;
    double z = left.depth;
    double k = left.cosine;
    if (span.begin > span.xs) {
        const double skip = static_cast<double>(static_cast<std::int64_t>(span.begin) - span.xs);
        z += dz * skip;
        k += dk * skip;
    }
    const LitChannels lit(shading.lit);
    std::uint16_t* depths = buffer().depthRow(row);
    std::uint32_t* colors = buffer().colorRow(row);
    for (int x = span.begin; x < span.end; ++x) {
        const int depth = roundToInt(z);
        if (depth < depths[x]) {
            depths[x] = FrameBuffer::clampDepth(depth);
            colors[x] = gouraudShade(shading, lit, k);
        }
        z += dz;
        k += dk;
    }
}

void PhongRenderer::fillSpan(int row, const EdgeEntry& first, const EdgeEntry& second,
                             const ShadingInputs& shading) {
    Span span;
    if (!spanOf(first, second, span)) {
        return;
    }
    const EdgeEntry& left = *span.left;
    const EdgeEntry& right = *span.right;
    const double dz = (right.depth - left.depth) / span.columns;
    double z = left.depth;
    double w[3];
    double n[3];
    double dw[3];
    double dn[3];
    for (int i = 0; i < 3; ++i) {
        w[i] = left.world[i];
        n[i] = left.normal[i];
        dw[i] = (right.world[i] - left.world[i]) / span.columns;
        dn[i] = (right.normal[i] - left.normal[i]) / span.columns;
    }
    if (span.begin > span.xs) {
        const double skip = static_cast<double>(static_cast<std::int64_t>(span.begin) - span.xs);
        z += dz * skip;
        for (int i = 0; i < 3; ++i) {
            w[i] += dw[i] * skip;
            n[i] += dn[i] * skip;
        }
    }
    const LitChannels lit(shading.lit);
    const double* l = shading.light;
    const double* e = shading.eye;
    std::uint16_t* depths = buffer().depthRow(row);
    std::uint32_t* colors = buffer().colorRow(row);
    for (int x = span.begin; x < span.end; ++x) {
        const int depth = roundToInt(z);
        if (depth < depths[x]) {
            // V = E - W, normalized unless zero; H = (L + V) / |L + V|.
            double v[3] = {e[0] - w[0], e[1] - w[1], e[2] - w[2]};
            const double vLength = std::sqrt(((0.0 + v[0] * v[0]) + v[1] * v[1]) + v[2] * v[2]);
            if (vLength != 0.0) {
                v[0] /= vLength;
                v[1] /= vLength;
                v[2] /= vLength;
            }
            double h[3] = {l[0] + v[0], l[1] + v[1], l[2] + v[2]};
            const double hLength = std::sqrt(((0.0 + h[0] * h[0]) + h[1] * h[1]) + h[2] * h[2]);
            const double* half = nullptr;
            if (hLength != 0.0) {
                h[0] /= hLength;
                h[1] /= hLength;
                h[2] /= hLength;
                half = h;
            }
            depths[x] = FrameBuffer::clampDepth(depth);
            colors[x] = phongShade(shading, lit, half, n);
        }
        z += dz;
        for (int i = 0; i < 3; ++i) {
            w[i] += dw[i];
            n[i] += dn[i];
        }
    }
}

}  // namespace kel
