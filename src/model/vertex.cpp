#include "model/vertex.h"

#include "model/polygon.h"
#include "model/visitor.h"

namespace kel {

void Vertex::accept(Visitor& visitor) {
    visitor.visitVector(*this);
}

void Vertex::computeNormal() {
    if (polygons_.empty()) {
        return;  // no defined normal: keep the previous one
    }
    Vector sum(0.0, 0.0, 0.0);
    for (const Polygon* polygon : polygons_) {
        sum += polygon->normal();
    }
    sum /= static_cast<double>(polygons_.size());
    sum.normalize();
    normal_ = {sum.x(), sum.y(), sum.z()};
}

}  // namespace kel
