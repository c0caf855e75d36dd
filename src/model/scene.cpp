#include "model/scene.h"

#include "model/visitor.h"

namespace kel {

void Scene::accept(Visitor& visitor) {
    visitor.visitScene(*this);
}

}  // namespace kel
