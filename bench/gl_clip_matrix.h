#pragma once

#include <array>

namespace kel {
class Matrix;
}

namespace kel::bench {

// Kel's clip transform (row vectors: point x view x perspective, clip z from 0 to w) as
// the column-major matrix OpenGL loads (column vectors, clip z from -w to w), so that both
// keep and cut away the same volume and OpenGL's window depth 0..1 is Kel's depth 0..1.
std::array<double, 16> glClipMatrix(const Matrix& viewPerspective);

}  // namespace kel::bench
