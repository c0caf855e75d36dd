#pragma once

#include <memory>

#include "model/scene.h"

namespace kel::bench {

// A torus of rings x segments quads (one smooth surface, corners counter-clockwise seen
// from outside), seen from above and in front so that it fills most of a square viewport,
// with a white light from above the camera. 200 x 200 gives 40,000 quads. With triangles
// each quad is split in two along its diagonal: 194 x 194 gives 75,272 triangles, the size
// of a scanned mesh such as the bunny.
std::unique_ptr<Scene> makeTorusScene(int rings, int segments, bool triangles = false);

}  // namespace kel::bench
