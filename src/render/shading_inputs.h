#pragma once

#include "render/shading.h"

namespace kel {

class Light;
class Scene;
class SceneObject;

// The lighting values one object's pixels share: the scene's ambient level, the light's
// intensity, direction and colour fractions, the object's material and lit colour, and the
// camera's eye point.
ShadingInputs shadingInputsFor(const Scene& scene, const Light& light, const SceneObject& object);

}  // namespace kel
