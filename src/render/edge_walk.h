#pragma once

#include <cstdint>

#include "model/vector.h"
#include "model/vertex.h"
#include "render/edge_table.h"

namespace kel {

// Two doubles worked on together (any x86-64 has the instructions). Each lane is an IEEE
// operation of its own, so a lane holds exactly what the scalar expression gives; the
// divisions and steps of an edge or a span then take half the instructions.
using Lanes2 = double __attribute__((vector_size(16)));

// What the shaded spans interpolate besides x, in pairs: {depth, cosine} without Surface;
// with it {depth, world x}, {world y, world z}, {normal x, normal y}, {normal z, 0}.
template <bool Surface>
struct Interpolated {
    static constexpr int kPairs = Surface ? 4 : 1;
    Lanes2 pairs[kPairs];
};

// The pairs of a stored crossing.
template <bool Surface>
inline void loadPairs(const EdgeEntry& e, Interpolated<Surface>& out) {
    if constexpr (Surface) {
        out.pairs[0] = Lanes2{e.depth, e.world[0]};
        out.pairs[1] = Lanes2{e.world[1], e.world[2]};
        out.pairs[2] = Lanes2{e.normal[0], e.normal[1]};
        out.pairs[3] = Lanes2{e.normal[2], 0.0};
    } else {
        out.pairs[0] = Lanes2{e.depth, e.cosine};
    }
}

// One polygon edge stepped from row to row, from its upper corner down. Its values are
// kept as the spans read them, in pairs, so that a span reads back whole what the last
// step wrote whole.
template <bool Surface>
struct EdgeWalk {
    static constexpr int kPairs = Interpolated<Surface>::kPairs;
    double x = 0.0;
    double dx = 0.0;
    Interpolated<Surface> values{};
    Interpolated<Surface> steps{};

    // Values at the top corner and steps per row towards the bottom one, whose row must
    // differ from the top's.
    void start(const Vertex& top, double topCosine, const Vertex& bottom, double bottomCosine) {
        const DevicePoint& tp = top.devicePoint();
        const DevicePoint& bp = bottom.devicePoint();
        const std::int64_t dy = static_cast<std::int64_t>(bp.y()) - tp.y();
        x = tp.x();
        dx = static_cast<double>(static_cast<std::int64_t>(bp.x()) - tp.x());
        dx /= static_cast<double>(dy);
        const double depth = tp.depth();
        const double zRise =
            static_cast<double>(static_cast<std::int64_t>(bp.depth()) - tp.depth());
        if constexpr (Surface) {
            const Vector& tw = top.worldPosition();
            const Vector& tn = top.normal();
            const Vector& bw = bottom.worldPosition();
            const Vector& bn = bottom.normal();
            values.pairs[0] = Lanes2{depth, tw.at(0)};
            values.pairs[1] = Lanes2{tw.at(1), tw.at(2)};
            values.pairs[2] = Lanes2{tn.at(0), tn.at(1)};
            values.pairs[3] = Lanes2{tn.at(2), 0.0};
            steps.pairs[0] = Lanes2{zRise, bw.at(0) - tw.at(0)};
            steps.pairs[1] = Lanes2{bw.at(1), bw.at(2)} - values.pairs[1];
            steps.pairs[2] = Lanes2{bn.at(0), bn.at(1)} - values.pairs[2];
            steps.pairs[3] = Lanes2{bn.at(2) - tn.at(2), 0.0};
        } else {
            values.pairs[0] = Lanes2{depth, topCosine};
            steps.pairs[0] = Lanes2{zRise, bottomCosine - topCosine};
        }
        for (Lanes2& pair : steps.pairs) {
            pair /= static_cast<double>(dy);
        }
    }

    void step() {
        x += dx;
        for (int p = 0; p < kPairs; ++p) {
            values.pairs[p] += steps.pairs[p];
        }
    }

    // Jumps over rows at once, as the walk does for rows above the viewport.
    void skip(double rows) {
        x += dx * rows;
        for (int p = 0; p < kPairs; ++p) {
            values.pairs[p] += steps.pairs[p] * rows;
        }
    }

    void store(EdgeEntry& entry) const {
        entry.x = x;
        entry.depth = values.pairs[0][0];
        if constexpr (Surface) {
            entry.world[0] = values.pairs[0][1];
            entry.world[1] = values.pairs[1][0];
            entry.world[2] = values.pairs[1][1];
            entry.normal[0] = values.pairs[2][0];
            entry.normal[1] = values.pairs[2][1];
            entry.normal[2] = values.pairs[3][0];
        } else {
            entry.cosine = values.pairs[0][1];
        }
    }
};

template <bool Surface>
inline void loadPairs(const EdgeWalk<Surface>& e, Interpolated<Surface>& out) {
    out = e.values;
}

}  // namespace kel
