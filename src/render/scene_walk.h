#pragma once

// The one walk over a scene's polygons and vertices that every stage uses, so that which
// polygons a stage sees, and how the work is split over threads, is decided here alone.
// Included only by the render library's own sources, which are compiled with OpenMP when
// it is available.

#include <cmath>
#include <cstddef>

#include "model/polygon.h"
#include "model/scene.h"
#include "model/scene_object.h"

#ifdef _OPENMP
#include <omp.h>
#endif

namespace kel::walk {

// Below this many elements a loop runs on the calling thread alone.
inline constexpr long kMinParallel = 2048;

// Which polygons a walk visits. A polygon without corners is never visited.
enum class Which {
    Every,     // visible or not (reset, normals, culling)
    Visible,   // the visible ones (clipping, projection)
    Drawable,  // visible, and every corner it is drawn from could be projected (renderers)
};

[[nodiscard]] inline bool hasCorners(const Polygon& polygon) {
    return polygon.vertexCount() != 0;
}

// Every corner the renderers draw from has |w| >= 1e-6, so it has a device point of this
// render; a polygon with a corner in the eye plane cannot be projected and is not drawn.
[[nodiscard]] inline bool isProjectable(const Polygon& polygon) {
    const std::size_t count = polygon.effectiveVertexCount();
    for (std::size_t j = 0; j < count; ++j) {
        if (!(std::fabs(polygon.effectiveVertex(j)->clipPosition().at(3)) >= 1e-6)) {
            return false;
        }
    }
    return true;
}

[[nodiscard]] inline bool selected(const Polygon& polygon, Which which) {
    if (!hasCorners(polygon)) {
        return false;
    }
    switch (which) {
        case Which::Every:
            return true;
        case Which::Visible:
            return polygon.visible();
        case Which::Drawable:
            return polygon.visible() && polygon.effectiveVertexCount() != 0 &&
                   isProjectable(polygon);
    }
    return false;
}

// The number of threads a parallel walk may use, and the one running the caller.
[[nodiscard]] inline int workerCount() {
#ifdef _OPENMP
    return omp_get_max_threads();
#else
    return 1;
#endif
}
[[nodiscard]] inline int workerIndex() {
#ifdef _OPENMP
    return omp_get_thread_num();
#else
    return 0;
#endif
}

// f(object index, polygon) in order: objects by index, surfaces and polygons in list order.
template <class F>
void forEachPolygon(const Scene& scene, Which which, F&& f) {
    for (std::size_t o = 0; o < scene.objectCount(); ++o) {
        for (const auto& surface : scene.object(o)->surfaces()) {
            for (const auto& polygon : surface->polygons()) {
                if (selected(*polygon, which)) {
                    f(o, *polygon);
                }
            }
        }
    }
}

// As forEachPolygon, split over threads: f may change only the polygon it is given and
// what that polygon owns, so the result is that of the ordered walk.
template <class F>
void forEachPolygonInParallel(const Scene& scene, Which which, F&& f) {
    for (std::size_t o = 0; o < scene.objectCount(); ++o) {
        for (const auto& surface : scene.object(o)->surfaces()) {
            const auto& polygons = surface->polygons();
            const long n = static_cast<long>(polygons.size());
#pragma omp parallel for schedule(static) if (n >= kMinParallel)
            for (long i = 0; i < n; ++i) {
                Polygon& polygon = *polygons[static_cast<std::size_t>(i)];
                if (selected(polygon, which)) {
                    f(o, polygon);
                }
            }
        }
    }
}

// f(object index, vertex) for every vertex of every object, split over threads: f may
// change only the vertex it is given.
template <class F>
void forEachVertexInParallel(const Scene& scene, F&& f) {
    for (std::size_t o = 0; o < scene.objectCount(); ++o) {
        const SceneObject& object = *scene.object(o);
        const long n = static_cast<long>(object.vertexCount());
#pragma omp parallel for schedule(static) if (n >= kMinParallel)
        for (long i = 0; i < n; ++i) {
            f(o, *object.vertexAt(static_cast<std::size_t>(i)));
        }
    }
}

}  // namespace kel::walk
