#include "render/pixel_probe.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "model/camera.h"
#include "model/device_mapping.h"
#include "model/light.h"
#include "model/polygon.h"
#include "model/scene.h"
#include "model/scene_object.h"
#include "render/device_renderer.h"
#include "render/edge_table.h"
#include "render/frame_buffer.h"
#include "render/image_surface.h"
#include "render/line_steps.h"
#include "render/scene_walk.h"
#include "render/shading_inputs.h"
#include "render/span_rule.h"

namespace kel {

namespace {

struct Where {
    std::size_t object;
    std::size_t surface;
    std::size_t polygon;
};

// Calls visit (object, where, polygon) for every polygon of object o the renderers draw, in
// their order.
template <typename Visit>
void forEachDrawnPolygonOf(const Scene& scene, std::size_t o, Visit&& visit) {
    const SceneObject& object = *scene.object(o);
    const auto& surfaces = object.surfaces();
    for (std::size_t s = 0; s < surfaces.size(); ++s) {
        const auto& polygons = surfaces[s]->polygons();
        for (std::size_t p = 0; p < polygons.size(); ++p) {
            const Polygon& polygon = *polygons[p];
            // The renderers' own rule of which polygons they draw.
            if (walk::selected(polygon, walk::Which::Drawable)) {
                visit(object, Where{o, s, p}, polygon);
            }
        }
    }
}

// The same for every object, in order.
template <typename Visit>
void forEachDrawnPolygon(const Scene& scene, Visit visit) {
    for (std::size_t o = 0; o < scene.objectCount(); ++o) {
        forEachDrawnPolygonOf(scene, o, visit);
    }
}

void setPlace(PixelStory& story, const SceneObject& object, const Where& where,
              const Polygon& polygon) {
    story.kind = PixelStory::Kind::Polygon;
    story.object = &object;
    story.polygon = &polygon;
    story.objectIndex = where.object;
    story.surfaceIndex = where.surface;
    story.polygonIndex = where.polygon;
}

// Where the ray through the centre of viewport pixel (column, row) meets the plane of the
// polygon (its normal through its first corner), by Cramer's rule on the two projection
// equations and the plane's.
std::optional<Vector> pointOnPlane(const Scene& scene, const Polygon& polygon, int column,
                                   int row) {
    const Camera* camera = scene.camera();
    const Frustum* frustum = scene.frustum();
    const int side = scene.deviceMapping()->side();
    if (camera == nullptr || frustum == nullptr || side <= 0 || polygon.vertexCount() == 0 ||
        polygon.vertexAt(0) == nullptr) {
        return std::nullopt;
    }
    Matrix m = camera->viewTransform();
    m *= frustum->perspectiveTransform();
    const double px = (2.0 * column + 1.0) / side - 1.0;
    const double py = 1.0 - (2.0 * row - 1.0) / side;
    const Vector& n = polygon.normal();
    const Vector& corner = polygon.vertexAt(0)->worldPosition();
    double a[3][3];
    double b[3];
    for (std::size_t i = 0; i < 3; ++i) {
        a[0][i] = m.at(i, 0) - px * m.at(i, 3);
        a[1][i] = m.at(i, 1) - py * m.at(i, 3);
        a[2][i] = n.at(i);
    }
    b[0] = px * m.at(3, 3) - m.at(3, 0);
    b[1] = py * m.at(3, 3) - m.at(3, 1);
    b[2] = n.dot(corner);
    const auto det = [](const double(&c)[3][3]) {
        return c[0][0] * (c[1][1] * c[2][2] - c[1][2] * c[2][1]) -
               c[0][1] * (c[1][0] * c[2][2] - c[1][2] * c[2][0]) +
               c[0][2] * (c[1][0] * c[2][1] - c[1][1] * c[2][0]);
    };
    const double d = det(a);
    if (!(std::fabs(d) > 1e-12) || !std::isfinite(d)) {
        return std::nullopt;
    }
    Vector point;
    for (std::size_t k = 0; k < 3; ++k) {
        double c[3][3];
        for (std::size_t r = 0; r < 3; ++r) {
            for (std::size_t i = 0; i < 3; ++i) {
                c[r][i] = i == k ? b[r] : a[r][i];
            }
        }
        point.at(k) = det(c) / d;
    }
    if (!std::isfinite(point.x()) || !std::isfinite(point.y()) || !std::isfinite(point.z())) {
        return std::nullopt;
    }
    return point;
}

void probeWireframe(const Scene& scene, PixelStory& story) {
    const DeviceMapping& mapping = *scene.deviceMapping();
    const int x = mapping.windowX(story.column);
    const int y = mapping.windowY(story.row);
    story.kind = PixelStory::Kind::Background;
    story.color = ImageSurface::kWhite;
    forEachDrawnPolygon(
        scene, [&](const SceneObject& object, const Where& where, const Polygon& polygon) {
            const std::size_t k = polygon.effectiveVertexCount();
            for (std::size_t j = 0; j < k; ++j) {
                const DevicePoint& a = polygon.effectiveVertex(j)->devicePoint();
                const DevicePoint& b = polygon.effectiveVertex((j + 1) % k)->devicePoint();
                const std::optional<LineStep> step =
                    lineStepAt(mapping.windowX(a.x()), mapping.windowY(a.y()),
                               mapping.windowX(b.x()), mapping.windowY(b.y()), x, y);
                if (!step) {
                    continue;
                }
                // Later lines draw over earlier ones: the last polygon to reach the pixel tells.
                setPlace(story, object, where, polygon);
                story.color = ImageSurface::kBlack;
                const double t = static_cast<double>(step->step) / static_cast<double>(step->count);
                story.depth = roundToInt(a.depth() + (b.depth() - a.depth()) * t);
                story.normal = polygon.normal();
                break;
            }
        });
}

// The crossings of one row for one polygon, from the two tables (cosines and surface
// values) that were filled from the same edges in the same order.
struct Crossing {
    const EdgeEntry* cosine;
    const EdgeEntry* surface;
};

class ShadedProbe {
public:
    ShadedProbe(const Scene& scene, PixelStory& story)
        : scene_(scene),
          story_(story),
          width_(scene.deviceMapping()->width()),
          light_(scene.light() != nullptr ? *scene.light() : fallbackLight_),
          lightDirection_(light_.direction()) {
        const int rows = scene.deviceMapping()->height();
        cosines_.resize(rows);
        surfaces_.resize(rows);
        surfaces_.setCarriesSurface(true);
    }

    void run() {
        story_.kind = PixelStory::Kind::Background;
        story_.color = FrameBuffer::kClearColor;
        for (std::size_t o = 0; o < scene_.objectCount(); ++o) {
            shading_ = shadingInputsFor(scene_, light_, *scene_.object(o));
            visitObject(o);
        }
    }

private:
    void visitObject(std::size_t index) {
        forEachDrawnPolygonOf(
            scene_, index,
            [this](const SceneObject& object, const Where& where, const Polygon& polygon) {
                if (coversRow(polygon)) {
                    visitPolygon(object, where, polygon);
                }
            });
    }

    bool coversRow(const Polygon& polygon) const {
        int top = polygon.effectiveVertex(0)->devicePoint().y();
        int bottom = top;
        for (std::size_t j = 1; j < polygon.effectiveVertexCount(); ++j) {
            const int y = polygon.effectiveVertex(j)->devicePoint().y();
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
        return top <= story_.row && story_.row < bottom;
    }

    void visitPolygon(const SceneObject& object, const Where& where, const Polygon& polygon) {
        const std::size_t k = polygon.effectiveVertexCount();
        cosines_.clear();
        surfaces_.clear();
        const auto cosineOf = [&](std::size_t j) {
            return polygon.effectiveVertex(j)->normal().dot(lightDirection_);
        };
        for (std::size_t j = 1; j < k; ++j) {
            addEdge(*polygon.effectiveVertex(j - 1), cosineOf(j - 1), *polygon.effectiveVertex(j),
                    cosineOf(j));
        }
        addEdge(*polygon.effectiveVertex(k - 1), cosineOf(k - 1), *polygon.effectiveVertex(0),
                cosineOf(0));
        crossings_.clear();
        for (const EdgeEntry *c = cosines_.head(story_.row), *s = surfaces_.head(story_.row);
             c != nullptr && s != nullptr; c = cosines_.next(*c), s = surfaces_.next(*s)) {
            crossings_.push_back({c, s});
        }
        if (crossings_.size() < 2) {
            return;
        }
        if (crossings_.size() == 2) {
            span(object, where, polygon, crossings_[0], crossings_[1]);
            return;
        }
        // A non-convex row: the renderers pair crossings 1-2, 3-4, ... in stable x order.
        sortCrossings(crossings_, [](const Crossing& c) { return c.surface->x; });
        for (std::size_t i = 0; i + 1 < crossings_.size(); i += 2) {
            span(object, where, polygon, crossings_[i], crossings_[i + 1]);
        }
    }

    void addEdge(const Vertex& a, double cosineA, const Vertex& b, double cosineB) {
        cosines_.addEdge(a, cosineA, b, cosineB);
        surfaces_.addEdge(a, cosineA, b, cosineB);
    }

    // The span rule of the renderers (spanColumns, startSpan); every value steps once per
    // column from the first column drawn.
    void span(const SceneObject& object, const Where& where, const Polygon& polygon,
              const Crossing& first, const Crossing& second) {
        SpanColumns columns;
        if (!spanColumns(first.surface->x, second.surface->x, width_, columns)) {
            return;
        }
        const int x = story_.column;
        if (x < columns.begin || x >= columns.end) {
            return;
        }
        const Crossing& left = columns.secondLeft ? second : first;
        const Crossing& right = columns.secondLeft ? first : second;
        Interpolated<false> cosineAt;
        Interpolated<false> cosineEnd;
        Interpolated<true> at;
        Interpolated<true> end;
        loadPairs(*left.cosine, cosineAt);
        loadPairs(*right.cosine, cosineEnd);
        loadPairs(*left.surface, at);
        loadPairs(*right.surface, end);
        Interpolated<false> cosineStep;
        Interpolated<true> step;
        startSpan(columns, cosineEnd.pairs[0], cosineAt.pairs[0], cosineStep.pairs[0]);
        for (int p = 0; p < Interpolated<true>::kPairs; ++p) {
            startSpan(columns, end.pairs[p], at.pairs[p], step.pairs[p]);
        }
        for (int c = columns.begin; c < x; ++c) {
            cosineAt.pairs[0] += cosineStep.pairs[0];
            for (int p = 0; p < Interpolated<true>::kPairs; ++p) {
                at.pairs[p] += step.pairs[p];
            }
        }
        const double z = at.pairs[0][0];
        const double k = cosineAt.pairs[0][1];
        const double w[3] = {at.pairs[0][1], at.pairs[1][0], at.pairs[1][1]};
        const double n[3] = {at.pairs[2][0], at.pairs[2][1], at.pairs[3][0]};
        const int depth = roundToInt(z);
        if (!(depth < stored_)) {
            return;
        }
        stored_ = FrameBuffer::clampDepth(depth);
        setPlace(story_, object, where, polygon);
        story_.depth = depth;
        story_.normal = Vector(n[0], n[1], n[2]);
        if (story_.mode == RenderMode::Gouraud) {
            shadeGouraud(k);
        } else {
            shadePhong(w, n);
        }
    }

    void shadeGouraud(double k) {
        const ShadingInputs& in = shading_;
        story_.cosine = k;
        story_.level = k >= 0.0 ? in.ambient + k * in.diffuse * in.intensity : in.ambient;
        story_.color = gouraudShade(in, k);
    }

    void shadePhong(const double (&w)[3], const double (&n)[3]) {
        const ShadingInputs& in = shading_;
        const double* l = in.light;
        const double* e = in.eye;
        // V = E - W, normalized unless zero; H = (L + V) / |L + V|, as the Phong spans do.
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
        story_.color = phongShade(in, half, n);

        double highlight = 0.0;
        if (half != nullptr) {
            const double s = ((0.0 + n[0] * half[0]) + n[1] * half[1]) + n[2] * half[2];
            if (!(s < 0.0)) {
                highlight = in.specular * powInt(s, in.shininess) * 255.0;
            }
        }
        const double d = ((0.0 + n[0] * l[0]) + n[1] * l[1]) + n[2] * l[2];
        const double diff = d < 0.0 ? 0.0 : in.diffuse * d;
        const double lit[3] = {static_cast<double>(in.lit.red()),
                               static_cast<double>(in.lit.green()),
                               static_cast<double>(in.lit.blue())};
        for (int c = 0; c < 3; ++c) {
            story_.ambientTerm[c] = in.ambient * lit[c];
            story_.diffuseTerm[c] = in.intensity * (lit[c] * diff);
            story_.specularTerm[c] = in.intensity * (in.lightFraction[c] * highlight);
        }
    }

    const Scene& scene_;
    PixelStory& story_;
    const int width_;
    const Light fallbackLight_{};
    const Light& light_;
    const Vector lightDirection_;
    ShadingInputs shading_;
    EdgeTable cosines_;
    EdgeTable surfaces_;
    std::vector<Crossing> crossings_;
    int stored_ = FrameBuffer::kClearDepth;
};

std::string formatReal(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

std::string formatVector(const Vector& v) {
    return formatReal(v.x()) + " " + formatReal(v.y()) + " " + formatReal(v.z());
}

std::string formatTriple(const std::array<double, 3>& t) {
    return formatReal(t[0]) + " " + formatReal(t[1]) + " " + formatReal(t[2]);
}

}  // namespace

PixelStory probePixel(const Scene& scene, RenderMode mode, int x, int y) {
    PixelStory story;
    story.mode = mode;
    const DeviceMapping* mapping = scene.deviceMapping();
    if (mapping == nullptr || !mapping->fitted() || mapping->side() <= 0) {
        return story;
    }
    const int column = x - mapping->margin();
    const int row = y - mapping->margin();
    if (column < 0 || row < 0 || column >= mapping->width() || row >= mapping->height()) {
        return story;
    }
    story.column = column;
    story.row = row;
    if (mode == RenderMode::Wireframe) {
        probeWireframe(scene, story);
    } else {
        ShadedProbe(scene, story).run();
    }
    if (story.kind == PixelStory::Kind::Polygon) {
        if (const std::optional<Vector> point = pointOnPlane(scene, *story.polygon, column, row)) {
            story.hasPoint = true;
            story.point = *point;
        }
    }
    return story;
}

std::vector<std::string> describePixel(const PixelStory& story) {
    std::vector<std::string> lines;
    if (story.kind == PixelStory::Kind::Outside) {
        return lines;
    }
    const std::uint32_t c = story.color;
    const std::string colour = "colour: " + std::to_string(c & 0xFFu) + " " +
                               std::to_string((c >> 8) & 0xFFu) + " " +
                               std::to_string((c >> 16) & 0xFFu);
    if (story.kind == PixelStory::Kind::Background) {
        lines.push_back("background");
        lines.push_back(colour);
        return lines;
    }
    // Numbered as the data tree numbers them: objects by their number, surfaces and
    // polygons from 0.
    lines.push_back("object: " + std::to_string(story.object->number()) + " " +
                    story.object->name());
    lines.push_back("surface: " + std::to_string(story.surfaceIndex));
    lines.push_back("polygon: " + std::to_string(story.polygonIndex));
    lines.push_back(colour);
    lines.push_back("depth: " + std::to_string(story.depth));
    lines.push_back("normal: " + formatVector(story.normal));
    if (story.hasPoint) {
        lines.push_back("point: " + formatVector(story.point));
    }
    if (story.mode == RenderMode::Gouraud) {
        lines.push_back("cosine: " + formatReal(story.cosine));
        lines.push_back("intensity: " + formatReal(story.level));
    } else if (story.mode == RenderMode::Phong) {
        lines.push_back("ambient: " + formatTriple(story.ambientTerm));
        lines.push_back("diffuse: " + formatTriple(story.diffuseTerm));
        lines.push_back("specular: " + formatTriple(story.specularTerm));
    }
    return lines;
}

double pickDistance(const PixelStory& a, const PixelStory& b) {
    if (!a.hasPoint || !b.hasPoint) {
        return -1.0;
    }
    return (a.point - b.point).length();
}

}  // namespace kel
