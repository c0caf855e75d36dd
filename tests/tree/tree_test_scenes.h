#pragma once

#include <initializer_list>
#include <memory>
#include <string>

#include "model/scene.h"

namespace kel::testing {

// A scene with known numbers:
// - camera from (0, 0, 0) to (0, 0, 5), up (0, 1, 0);
// - frustum near 1, far 11, height 1;
// - light direction (0, 0, -2), intensity 0.8, colour (255, 0, 7); ambient 0.25;
// - "chair.obj": rotation 0, scaling 2, translation (1, 0, 0), colour (10, 20, 30),
//   diffuse 0.5, specular 0.25, shininess 12; vertices 4, 7, 9, 11; surface 0 holds the
//   triangle 4 7 9, surface 1 the triangle 4 9 11;
// - "table.obj": one vertex-less, surface-less object with default values.
std::unique_ptr<Scene> makeTwoObjectScene();

// Appends a polygon with the given corners to the surface, linking each corner back.
Polygon& addPolygon(Surface& surface, std::initializer_list<Vertex*> corners);

// A flat grid of quads facing +z (seen from a camera on +z), in one surface: the shape
// of a big object.
std::unique_ptr<SceneObject> makeQuadGrid(const std::string& name, int quadsPerSide);

}  // namespace kel::testing
