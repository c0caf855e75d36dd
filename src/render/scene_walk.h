#pragma once

// The one walk over a scene's polygons and vertices that every stage uses, so that which
// polygons a stage sees, and how the work is split over threads, is decided here alone.
// Work is shared out with oneTBB when it is available: its threads sleep when there is
// nothing to do instead of spinning, which matters on a machine shared with other work.

#include <cmath>
#include <cstddef>

#include "model/polygon.h"
#include "model/scene.h"
#include "model/scene_object.h"

#ifdef KEL_HAVE_TBB
#include <tbb/blocked_range.h>
#include <tbb/parallel_for.h>
#include <tbb/partitioner.h>
#include <tbb/task_arena.h>
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
#ifdef KEL_HAVE_TBB
    return tbb::this_task_arena::max_concurrency();
#else
    return 1;
#endif
}
// 0 .. workerCount() - 1, distinct among the threads of one parallel loop; 0 outside one.
[[nodiscard]] inline int workerIndex() {
#ifdef KEL_HAVE_TBB
    const int index = tbb::this_task_arena::current_thread_index();
    return index < 0 ? 0 : index;
#else
    return 0;
#endif
}

// f(i) for i = 0 .. n - 1, on several threads when n reaches minParallel; f(i) must touch
// nothing that f(j) touches.
// The work is cut into pieces of at most grain elements, handed out as threads come
// free: on a machine busy with other work a thread that loses its core holds up the
// others by one piece, not by its whole share.
template <class F>
void parallelFor(long n, long minParallel, F&& f, long grain = kMinParallel / 2) {
#ifdef KEL_HAVE_TBB
    if (n >= minParallel && n > 1) {
        tbb::parallel_for(
            tbb::blocked_range<long>(0, n, grain),
            [&f](const tbb::blocked_range<long>& r) {
                for (long i = r.begin(); i != r.end(); ++i) {
                    f(i);
                }
            },
            tbb::simple_partitioner());
        return;
    }
#else
    (void)grain;
#endif
    for (long i = 0; i < n; ++i) {
        f(i);
    }
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
            parallelFor(static_cast<long>(polygons.size()), kMinParallel, [&](long i) {
                Polygon& polygon = *polygons[static_cast<std::size_t>(i)];
                if (selected(polygon, which)) {
                    f(o, polygon);
                }
            });
        }
    }
}

// f(object index, vertex) for every vertex of every object, split over threads: f may
// change only the vertex it is given.
template <class F>
void forEachVertexInParallel(const Scene& scene, F&& f) {
    for (std::size_t o = 0; o < scene.objectCount(); ++o) {
        const SceneObject& object = *scene.object(o);
        parallelFor(static_cast<long>(object.vertexCount()), kMinParallel,
                    [&](long i) { f(o, *object.vertexAt(static_cast<std::size_t>(i))); });
    }
}

}  // namespace kel::walk
