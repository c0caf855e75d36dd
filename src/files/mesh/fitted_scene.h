#pragma once

#include <string>

namespace kel {

class SceneBuilder;
class SceneObject;

// The material and placement of a mesh opened on its own: no rotation, unit scaling, no
// translation, light grey, diffuse 0.8, specular 0.3, shininess 30.
void setFittedMaterial(SceneObject& object);

// Gives the builder's scene a camera, frustum, light and ambient level that show the
// object whole: looking at the centre c of its bounding box from c + 3r normalize(1, 1, 4)
// (r the largest distance from c to a vertex), y up, so that the bounding sphere fills
// 90% of the viewport; lit from the upper left over the viewer's shoulder. False, with
// why in problem, when the object is too large for that arithmetic to stay finite.
bool fitSceneToObject(const SceneObject& object, SceneBuilder& builder, std::string& problem);

}  // namespace kel
