#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "render/edge_walk.h"
#include "render/shading.h"

namespace kel {

// Where one row's span between two crossings is drawn. The second crossing is the left end
// only when its x is smaller; the columns run from round(left x) up to, not including,
// round(right x), clipped to 0 .. width.
struct SpanColumns {
    bool secondLeft = false;
    int xs = 0;     // rounded left column
    int xe = 0;     // rounded right column (excluded)
    int begin = 0;  // first column drawn (>= 0)
    int end = 0;    // one past the last column drawn (<= width)
};

// False when nothing of the span is drawn.
[[nodiscard]] inline bool spanColumns(double firstX, double secondX, int width, SpanColumns& span) {
    span.secondLeft = secondX < firstX;
    span.xs = roundToInt(span.secondLeft ? secondX : firstX);
    span.xe = roundToInt(span.secondLeft ? firstX : secondX);
    if (span.xs >= span.xe) {
        return false;
    }
    span.begin = span.xs < 0 ? 0 : span.xs;
    span.end = span.xe > width ? width : span.xe;
    return span.begin < span.end;
}

// Interpolated values along a span: at holds the left end's pair and becomes the pair at
// the first column drawn; step becomes the change per column towards right.
inline void startSpan(const SpanColumns& span, const Lanes2& right, Lanes2& at, Lanes2& step) {
    step = (right - at) / static_cast<double>(static_cast<std::int64_t>(span.xe) - span.xs);
    if (span.begin > span.xs) {
        at += step * static_cast<double>(static_cast<std::int64_t>(span.begin) - span.xs);
    }
}

// The x order of the crossings of a row with more than two: NaN sorts last, so that the
// order stays a strict weak one.
[[nodiscard]] inline bool crossesBefore(double a, double b) {
    if (a != a) {
        return false;
    }
    if (b != b) {
        return true;
    }
    return a < b;
}

// A row's crossings in x order, stably, so that equal x keep their order: rows have a
// handful, so insertion suffices. xOf gives a crossing's x.
template <class Crossing, class X>
void sortCrossings(std::vector<Crossing>& crossings, X xOf) {
    for (std::size_t i = 1; i < crossings.size(); ++i) {
        for (std::size_t j = i; j > 0 && crossesBefore(xOf(crossings[j]), xOf(crossings[j - 1]));
             --j) {
            std::swap(crossings[j], crossings[j - 1]);
        }
    }
}

}  // namespace kel
