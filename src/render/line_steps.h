#pragma once

#include <cstdlib>
#include <optional>

namespace kel {

// How the one-pixel lines of the image surface step: along the major axis one pixel at a
// time, the minor coordinate at step i being i x (minor delta) / (major delta) rounded to
// nearest, halves away from the start, as the integer error term of Bresenham's line gives.
// Steps 0 .. n - 1 are drawn; the end point is left out.

// The minor offset at step i of a line with n major steps and minorAbs minor pixels.
inline long long lineMinorOffset(long long i, long long minorAbs, long long n) {
    // 2 i d + n needs 128 bits only for lines longer than 2^30 pixels.
    if (n < (1LL << 30)) {
        return (2 * i * minorAbs + n) / (2 * n);
    }
    __extension__ typedef __int128 Wide;
    return static_cast<long long>((static_cast<Wide>(2) * i * minorAbs + n) /
                                  (static_cast<Wide>(2) * n));
}

// The step (0 .. n - 1) at which the line from (x0, y0) to (x1, y1) sets pixel (px, py),
// and n, the line's step count; nothing when the line does not set that pixel.
struct LineStep {
    long long step;
    long long count;
};
inline std::optional<LineStep> lineStepAt(int x0, int y0, int x1, int y1, int px, int py) {
    const long long dx = static_cast<long long>(x1) - x0;
    const long long dy = static_cast<long long>(y1) - y0;
    const long long adx = std::llabs(dx);
    const long long ady = std::llabs(dy);
    const long long n = adx > ady ? adx : ady;
    if (n == 0) {
        return std::nullopt;
    }
    const bool xMajor = adx >= ady;
    const long long majorDelta = (xMajor ? px : py) - static_cast<long long>(xMajor ? x0 : y0);
    const long long i = (xMajor ? dx : dy) < 0 ? -majorDelta : majorDelta;
    if (i < 0 || i >= n) {
        return std::nullopt;
    }
    const long long minorDelta = xMajor ? dy : dx;
    const long long offset = lineMinorOffset(i, std::llabs(minorDelta), n);
    const long long minor = (xMajor ? y0 : x0) + (minorDelta < 0 ? -offset : offset);
    if (minor != (xMajor ? py : px)) {
        return std::nullopt;
    }
    return LineStep{i, n};
}

}  // namespace kel
