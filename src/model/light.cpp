#include "model/light.h"

#include "model/visitor.h"

namespace kel {

void Light::setDirection(const Vector& direction) {
    direction_ = direction;
    direction_.normalize();
}

void Light::accept(Visitor& visitor) {
    visitor.visitLight(*this);
}

}  // namespace kel
