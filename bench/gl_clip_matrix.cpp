#include "gl_clip_matrix.h"

#include "model/matrix.h"

namespace kel::bench {

std::array<double, 16> glClipMatrix(const Matrix& viewPerspective) {
    // Element (row r, column c) of the column-vector matrix is element (c, r) of Kel's, at
    // index c * 4 + r; its z row becomes 2 z - w.
    std::array<double, 16> gl{};
    for (int c = 0; c < 4; ++c) {
        for (int r = 0; r < 4; ++r) {
            gl[c * 4 + r] = viewPerspective.at(c, r);
        }
        gl[c * 4 + 2] = 2.0 * viewPerspective.at(c, 2) - viewPerspective.at(c, 3);
    }
    return gl;
}

}  // namespace kel::bench
