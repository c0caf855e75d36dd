#include "render/geometry_stages.h"

#include <atomic>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "model/camera.h"
#include "model/matrix.h"
#include "render/scene_walk.h"

namespace kel {

void ResetVisibilityStage::run(DrawingSurface& /*surface*/, Scene& scene) {
    walk::forEachPolygonInParallel(scene, walk::Which::Every, [](std::size_t, Polygon& polygon) {
        polygon.setVisible(true);
        polygon.clearClipped();
    });
}

namespace {

// A 4 x 4 matrix copied out once per object or per run, for the per-vertex products.
struct Matrix4 {
    double m[4][4];
    explicit Matrix4(const Matrix& source) {
        for (std::size_t r = 0; r < 4; ++r) {
            for (std::size_t c = 0; c < 4; ++c) {
                m[r][c] = source.at(r, c);
            }
        }
    }
    // (x, y, z, 1) x M without the fourth element, each sum over rows 0..2 from 0.0 and
    // row 3 added last, as the vector-matrix product does it.
    Vector transformPoint(const Vector& v) const {
        double r[3];
        for (int i = 0; i < 3; ++i) {
            double sum = 0.0;
            sum += v.at(0) * m[0][i];
            sum += v.at(1) * m[1][i];
            sum += v.at(2) * m[2][i];
            r[i] = sum + m[3][i];
        }
        return Vector(r[0], r[1], r[2]);
    }
    // (x, y, z, w) x M, each sum from 0.0 in row order.
    Vector transform4(double x, double y, double z, double w) const {
        double r[4];
        for (int i = 0; i < 4; ++i) {
            double sum = 0.0;
            sum += x * m[0][i];
            sum += y * m[1][i];
            sum += z * m[2][i];
            sum += w * m[3][i];
            r[i] = sum;
        }
        return Vector(r[0], r[1], r[2], r[3]);
    }
};

}  // namespace

// Every vertex is independent of the others here and in the stages below, so they run
// in parallel; the results are those of the cursor-order walk.
void ModelTransformStage::run(DrawingSurface& /*surface*/, Scene& scene) {
    std::vector<Matrix4> transforms;
    transforms.reserve(scene.objectCount());
    for (std::size_t i = 0; i < scene.objectCount(); ++i) {
        transforms.emplace_back(scene.object(i)->modelingTransform());
    }
    walk::forEachVertexInParallel(scene, [&](std::size_t object, Vertex& vertex) {
        const Vector& model = vertex.modelPosition();
        if (model.size() == 3) {
            vertex.setWorldPosition(transforms[object].transformPoint(model));
        } else {
            vertex.setWorldPosition(model * scene.object(object)->modelingTransform());
        }
    });
}

namespace {

// Stores the vertex's world position at kept; whether its bits differ from those there
// (the same bits give the same normals, NaN included).
[[nodiscard]] bool keepWorldPosition(const Vertex& vertex, double* kept) {
    const Vector world = vertex.worldPosition();
    const std::uint64_t now[3] = {std::bit_cast<std::uint64_t>(world.x()),
                                  std::bit_cast<std::uint64_t>(world.y()),
                                  std::bit_cast<std::uint64_t>(world.z())};
    std::uint64_t before[3];
    std::memcpy(before, kept, sizeof before);
    std::memcpy(kept, now, sizeof now);
    return ((before[0] ^ now[0]) | (before[1] ^ now[1]) | (before[2] ^ now[2])) != 0;
}

// Whether the object's world positions are bit for bit those of its normal basis and it
// has as many polygons; they become the basis either way.
[[nodiscard]] bool keepsNormalBasis(SceneObject& object) {
    SceneObject::NormalBasis& kept = object.normalBasis();
    std::size_t polygons = 0;
    for (const auto& surface : object.surfaces()) {
        polygons += surface->polygons().size();
    }
    const std::size_t count = object.vertexCount();
    std::vector<double>& basis = kept.positions;
    std::atomic<bool> changed{basis.size() != 3 * count || kept.polygons != polygons};
    kept.polygons = polygons;
    if (basis.size() != 3 * count) {
        basis.assign(3 * count, 0.0);
    }
    const auto compare = [&](long begin, long end) {
        bool differs = false;
        double* position = basis.data() + 3 * static_cast<std::size_t>(begin);
        auto vertex = object.verticesFrom(static_cast<std::size_t>(begin));
        for (long i = begin; i < end; ++i, ++vertex, position += 3) {
            differs |= keepWorldPosition(*vertex, position);
        }
        if (differs) {
            changed.store(true, std::memory_order_relaxed);
        }
    };
    walk::parallelPieces(static_cast<long>(count), walk::kMinParallel, walk::kMinParallel / 2,
                         compare);
    return !changed.load(std::memory_order_relaxed);
}

}  // namespace

void NormalStage::run(DrawingSurface& /*surface*/, Scene& scene) {
    // Normals follow from the world positions alone once an object is built, so an object
    // whose positions are those its normals came from keeps them.
    std::vector<unsigned char> stale(scene.objectCount(), 0);
    bool anyStale = false;
    for (std::size_t o = 0; o < scene.objectCount(); ++o) {
        stale[o] = keepsNormalBasis(*scene.object(o)) ? 0 : 1;
        anyStale = anyStale || stale[o] != 0;
    }
    if (!anyStale) {
        return;
    }
    walk::forEachPolygonInParallel(scene, walk::Which::Every,
                                   [&stale](std::size_t object, Polygon& polygon) {
                                       if (stale[object] != 0) {
                                           polygon.computeNormal();
                                       }
                                   });
    // Every polygon's computeVertexNormals would average each shared vertex once per
    // polygon using it, with the same result each time; averaging every vertex once gives
    // the same normals. A vertex that no polygon uses keeps its normal either way.
    walk::forEachVertexInParallel(scene, [&stale](std::size_t object, Vertex& vertex) {
        if (stale[object] != 0) {
            vertex.computeNormal();
        }
    });
}

bool CullStage::facesEye(const Polygon& polygon, const Vector& eye) {
    const Vector corner = polygon.vertexAt(0)->worldPosition();
    const Vector n = polygon.normal();
    // n . (eye - corner) written out for three components, in Vector's operations and
    // order: this runs for every polygon of every frame.
    const double d =
        eye.size() >= 3
            ? ((0.0 + n.x() * (eye.x() - corner.x())) + n.y() * (eye.y() - corner.y())) +
                  n.z() * (eye.z() - corner.z())
            : n.dot(eye - corner);
    return std::fabs(d) >= 1e-6 && d > 0.0;
}

void CullStage::run(DrawingSurface& /*surface*/, Scene& scene) {
    const Camera* camera = scene.camera();
    if (camera == nullptr) {
        return;
    }
    const Vector eye = camera->from();
    walk::forEachPolygonInParallel(
        scene, walk::Which::Every,
        [&eye](std::size_t, Polygon& polygon) { polygon.setVisible(facesEye(polygon, eye)); });
}

void OptionalCullStage::run(DrawingSurface& surface, Scene& scene) {
    if (scene.cullBackFaces()) {
        CullStage::run(surface, scene);
    }
}

void ViewProjectionStage::run(DrawingSurface& /*surface*/, Scene& scene) {
    const Camera* camera = scene.camera();
    const Frustum* frustum = scene.frustum();
    if (camera == nullptr || frustum == nullptr) {
        return;
    }
    Matrix m = camera->viewTransform();
    m *= frustum->perspectiveTransform();
    const Matrix4 transform(m);
    walk::forEachVertexInParallel(scene, [&transform](std::size_t, Vertex& vertex) {
        const Vector& world = vertex.worldPosition();
        vertex.setClipPosition(transform.transform4(world.at(0), world.at(1), world.at(2), 1.0));
    });
}

}  // namespace kel
