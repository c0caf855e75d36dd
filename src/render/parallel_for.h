#pragma once

// Parallel walks over the elements of a scene for stages whose work on one element
// neither reads nor writes what the work on another element touches, so that the
// result does not depend on the order or on the number of threads. Included only by
// the render library's own sources, which are compiled with OpenMP when it is available.

#include <cstddef>

#include "model/scene.h"

namespace kel::parallel {

// Below this many elements a loop runs on the calling thread alone.
inline constexpr long kMinParallel = 2048;

// f(polygon) for every polygon that has corners, object by object and surface by surface.
template <class F>
void forEachPolygon(const Scene& scene, F&& f) {
    for (std::size_t o = 0; o < scene.objectCount(); ++o) {
        for (const auto& surface : scene.object(o)->surfaces()) {
            const auto& polygons = surface->polygons();
            const long n = static_cast<long>(polygons.size());
#pragma omp parallel for schedule(static) if (n >= kMinParallel)
            for (long i = 0; i < n; ++i) {
                Polygon& polygon = *polygons[static_cast<std::size_t>(i)];
                if (polygon.vertexCount() != 0) {
                    f(polygon);
                }
            }
        }
    }
}

// f(object, vertex) for every vertex of every object.
template <class F>
void forEachVertex(const Scene& scene, F&& f) {
    for (std::size_t o = 0; o < scene.objectCount(); ++o) {
        const SceneObject& object = *scene.object(o);
        const long n = static_cast<long>(object.vertexCount());
#pragma omp parallel for schedule(static) if (n >= kMinParallel)
        for (long i = 0; i < n; ++i) {
            f(object, *object.vertexAt(static_cast<std::size_t>(i)));
        }
    }
}

}  // namespace kel::parallel
