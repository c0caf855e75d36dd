#include "model/scene_object.h"

#include "model/visitor.h"

namespace kel {

void SceneObject::accept(Visitor& visitor) {
    visitor.visitObject(*this);
}

void SceneObject::computeModelingTransform() {
    modelingTransform_ = Scaling(scaling_);
    modelingTransform_ *= Rotation(rotation_);
    modelingTransform_ *= Translation(translation_);
}

}  // namespace kel
