#pragma once

// The one walk over a scene's polygons and vertices that every stage uses, so that which
// polygons a stage sees, and how the work is split over threads, is decided here alone.
// Work is shared out with oneTBB when it is available: its threads sleep when there is
// nothing to do instead of spinning, which matters on a machine shared with other work.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <type_traits>
#include <utility>
#include <vector>

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

// The polygon lists of a scene for forEachInPieces.
using PolygonList = std::remove_cvref_t<decltype(std::declval<const Surface&>().polygons())>;

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

// g(begin, end) over pieces of 0 .. n - 1 that together hold every index once, on several
// threads when n reaches minParallel; no piece may touch what another touches. The pieces
// have at most grain elements and are handed out as threads come free: on a machine busy
// with other work a thread that loses its core holds up the others by one piece, not by
// its whole share.
template <class G>
void parallelPieces(long n, long minParallel, long grain, G&& g) {
#ifdef KEL_HAVE_TBB
    if (n >= minParallel && n > 1) {
        tbb::parallel_for(
            tbb::blocked_range<long>(0, n, grain),
            [&g](const tbb::blocked_range<long>& r) { g(r.begin(), r.end()); },
            tbb::simple_partitioner());
        return;
    }
#else
    (void)minParallel;
    (void)grain;
#endif
    if (n > 0) {
        g(0L, n);
    }
}

// f(i) for i = 0 .. n - 1, split as parallelPieces splits them.
template <class F>
void parallelFor(long n, long minParallel, F&& f, long grain = kMinParallel / 2) {
    parallelPieces(n, minParallel, grain, [&f](long begin, long end) {
        for (long i = begin; i != end; ++i) {
            f(i);
        }
    });
}

// The lists of a scene (every surface's polygons, or every object's vertices) laid end to
// end as one range: a scene of many small lists is shared out over threads as well as one
// large list. The range is cut into pieces of pieceSize elements, in order, each done by
// one thread: f(piece number, object index, element) for every element: a Polygon* of a
// polygon list, a Vertex& of an object, an element of any other list.
template <class List>
struct Run {
    std::size_t object;
    const List* list;
    long count;
};

// The number of pieces forEachInPieces cuts total elements into.
[[nodiscard]] inline long pieceCount(long total, long pieceSize) {
    return total <= 0 ? 0 : (total + pieceSize - 1) / pieceSize;
}

// The elements of a list from index i on.
template <class List>
auto elementsFrom(const List& list, std::size_t i) {
    return list.begin() + static_cast<std::ptrdiff_t>(i);
}
inline PolygonList::Iterator elementsFrom(const PolygonList& polygons, std::size_t i) {
    return polygons.from(i);
}
inline auto elementsFrom(const SceneObject& object, std::size_t i) {
    return object.verticesFrom(i);
}

template <class List, class F>
void forEachInPieces(const std::vector<Run<List>>& lists, long pieceSize, F&& f) {
    std::vector<long> starts;
    starts.reserve(lists.size());
    long total = 0;
    for (const Run<List>& list : lists) {
        starts.push_back(total);
        total += list.count;
    }
    const long pieces = pieceCount(total, pieceSize);
    // Parallel once there are two pieces: a piece is worth a thread of its own.
    parallelFor(
        pieces, 2,
        [&](long piece) {
            const long begin = piece * pieceSize;
            const long end = std::min(total, begin + pieceSize);
            // The last list starting at or before begin holds it (empty lists start where
            // the next one does and are passed over).
            std::size_t run =
                static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end(), begin) -
                                         starts.begin()) -
                1;
            for (long i = begin; i < end; ++run) {
                const Run<List>& list = lists[run];
                const long runEnd = std::min(end, starts[run] + list.count);
                auto element = elementsFrom(*list.list, static_cast<std::size_t>(i - starts[run]));
                for (; i < runEnd; ++i, ++element) {
                    f(piece, list.object, *element);
                }
            }
        },
        1);
}

[[nodiscard]] inline std::vector<Run<PolygonList>> polygonRuns(const Scene& scene) {
    std::vector<Run<PolygonList>> lists;
    for (std::size_t o = 0; o < scene.objectCount(); ++o) {
        for (const auto& surface : scene.object(o)->surfaces()) {
            const PolygonList& polygons = surface->polygons();
            lists.push_back({o, &polygons, static_cast<long>(polygons.size())});
        }
    }
    return lists;
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
    forEachInPieces(polygonRuns(scene), kMinParallel / 2,
                    [&](long, std::size_t object, Polygon* polygon) {
                        if (selected(*polygon, which)) {
                            f(object, *polygon);
                        }
                    });
}

// f(object index, vertex) for every vertex of every object, split over threads: f may
// change only the vertex it is given.
template <class F>
void forEachVertexInParallel(const Scene& scene, F&& f) {
    std::vector<Run<SceneObject>> lists;
    for (std::size_t o = 0; o < scene.objectCount(); ++o) {
        const SceneObject* object = scene.object(o);
        lists.push_back({o, object, static_cast<long>(object->vertexCount())});
    }
    forEachInPieces(lists, kMinParallel / 2,
                    [&](long, std::size_t object, Vertex& vertex) { f(object, vertex); });
}

}  // namespace kel::walk
