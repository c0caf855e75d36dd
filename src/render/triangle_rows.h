#pragma once

#include <algorithm>
#include <cstdint>
#include <utility>

#include "model/vertex.h"
#include "render/edge_table.h"
#include "render/edge_walk.h"

namespace kel {

// The rows of a triangle without an edge table. Every row a triangle covers is crossed by
// exactly two of its edges, so the two crossings go to the span at once: first the rows
// beside the upper short edge, then those beside the lower one, the long edge on the
// other side throughout. Each edge is set up and stepped exactly as EdgeTable::addEdge
// does it, from its upper corner, so every crossing has the table's values. Which of the
// two comes first does not matter: the span takes the one with the smaller x as its left,
// and two crossings at the same x draw nothing.
//
// f(row, a, b) for every row of share the triangle covers; cosines are the corners'
// normal . light (unused with Surface).
template <bool Surface, class F>
void forEachTriangleRow(const Vertex* const corners[3], const double cosines[3],
                        const RowShare& share, F&& f) {
    // The first topmost corner and the last bottommost one, chosen without branches; the
    // middle corner is the one left.
    const std::int64_t y[3] = {corners[0]->devicePoint().y(), corners[1]->devicePoint().y(),
                               corners[2]->devicePoint().y()};
    int first = 0;
    first = y[1] < y[first] ? 1 : first;
    first = y[2] < y[first] ? 2 : first;
    int last = 0;
    last = y[1] >= y[last] ? 1 : last;
    last = y[2] >= y[last] ? 2 : last;
    const int order[3] = {first, 3 - first - last, last};
    const auto rowOf = [&](int i) { return y[order[i]]; };
    const std::int64_t top = rowOf(0);
    const std::int64_t middle = rowOf(1);
    const std::int64_t bottom = rowOf(2);
    if (top == bottom || bottom <= 0 || top >= share.rows) {
        return;
    }
    const auto edge = [&](int upper, int lower) {
        EdgeWalk<Surface> walk;
        walk.start(*corners[order[upper]], cosines[order[upper]], *corners[order[lower]],
                   cosines[order[lower]]);
        const std::int64_t upperRow = rowOf(upper);
        if (upperRow < 0) {
            // Rows above the viewport come only from corrupt geometry: jump over them.
            walk.skip(static_cast<double>(-upperRow));
        }
        return walk;
    };
    EdgeWalk<Surface> longEdge = edge(0, 2);
    const auto rows = [&](std::int64_t from, std::int64_t to, EdgeWalk<Surface>& shortEdge) {
        const std::int64_t first = std::max<std::int64_t>(from, 0);
        // A local: the spans' stores could otherwise be taken to change it.
        const std::int64_t end = std::min<std::int64_t>(to, share.rows);
        // Whether the row is the band's is asked once per block of rows, not once per row.
        bool owned = share.has(first);
        for (std::int64_t y = first; y < end; ++y) {
            if (y % RowShare::kBlockRows == 0) {
                owned = share.has(y);
            }
            if (owned) {
                f(static_cast<int>(y), longEdge, shortEdge);
            }
            longEdge.step();
            shortEdge.step();
        }
    };
    if (top < middle) {
        EdgeWalk<Surface> upperEdge = edge(0, 1);
        rows(top, middle, upperEdge);
    }
    if (middle < bottom) {
        EdgeWalk<Surface> lowerEdge = edge(1, 2);
        rows(middle, bottom, lowerEdge);
    }
}

}  // namespace kel
