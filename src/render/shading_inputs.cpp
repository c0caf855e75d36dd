#include "render/shading_inputs.h"

#include "model/camera.h"
#include "model/light.h"
#include "model/scene.h"
#include "model/scene_object.h"

namespace kel {

ShadingInputs shadingInputsFor(const Scene& scene, const Light& light, const SceneObject& object) {
    ShadingInputs in;
    in.ambient = scene.ambient();
    in.intensity = light.intensity();
    in.diffuse = object.diffuse();
    in.specular = object.specular();
    in.shininess = object.shininess();
    const Vector& l = light.direction();
    for (std::size_t i = 0; i < 3; ++i) {
        in.light[i] = l.at(i);
    }
    if (const Camera* camera = scene.camera()) {
        for (std::size_t i = 0; i < 3; ++i) {
            in.eye[i] = camera->from().at(i);
        }
    }
    const Color& c = light.color();
    in.lightFraction[0] = c.red() * kChannelScale;
    in.lightFraction[1] = c.green() * kChannelScale;
    in.lightFraction[2] = c.blue() * kChannelScale;
    in.lit = litColor(object.color(), c);
    return in;
}

}  // namespace kel
