#pragma once

#include <algorithm>
#include <cstdint>
#include <utility>

#include "model/vertex.h"
#include "render/edge_table.h"
#include "render/edge_walk.h"

namespace kel {

// The rows of a triangle without an edge table. Every row a triangle covers is crossed by
// exactly two of its edges, so the two crossings can be handed to the span at once. Each
// edge is set up and stepped exactly as EdgeTable::addEdge does it (the same values,
// row by row), and the two come in the table's order: the edge added later first.
//
// f(row, first, second) for every row of share the triangle covers; cosines are the
// corners' normal . light (unused with Surface).
template <bool Surface, class F>
void forEachTriangleRow(const Vertex* const corners[3], const double cosines[3],
                        const RowShare& share, F&& f) {
    struct Edge {
        EdgeWalk<Surface> walk;
        std::int64_t top;
        std::int64_t bottom;
    };
    Edge edges[3];
    int count = 0;
    std::int64_t first = share.rows;
    std::int64_t end = 0;
    for (int e = 0; e < 3; ++e) {
        const Vertex* top = corners[e];
        const Vertex* bottom = corners[e == 2 ? 0 : e + 1];
        double topCosine = cosines[e];
        double bottomCosine = cosines[e == 2 ? 0 : e + 1];
        if (top->devicePoint().y() > bottom->devicePoint().y()) {
            std::swap(top, bottom);
            std::swap(topCosine, bottomCosine);
        }
        const std::int64_t topY = top->devicePoint().y();
        const std::int64_t bottomY = bottom->devicePoint().y();
        if (topY == bottomY || bottomY <= 0 || topY >= share.rows) {
            continue;  // horizontal, or off the viewport's rows
        }
        Edge& edge = edges[count++];
        edge.walk.start(*top, topCosine, *bottom, bottomCosine);
        edge.top = topY;
        edge.bottom = bottomY;
        if (topY < 0) {
            edge.walk.skip(static_cast<double>(-topY));
        }
        first = std::min(first, std::max<std::int64_t>(topY, 0));
        end = std::max(end, std::min<std::int64_t>(bottomY, share.rows));
    }
    for (std::int64_t y = first; y < end; ++y) {
        Edge* crossing[3];
        int crossings = 0;
        for (int e = 0; e < count; ++e) {
            if (edges[e].top <= y && y < edges[e].bottom) {
                crossing[crossings++] = &edges[e];
            }
        }
        if (crossings == 2 && share.has(y)) {
            f(static_cast<int>(y), crossing[1]->walk, crossing[0]->walk);
        }
        for (int c = 0; c < crossings; ++c) {
            crossing[c]->walk.step();
        }
    }
}

}  // namespace kel
