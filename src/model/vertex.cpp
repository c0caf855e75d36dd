#include "model/vertex.h"

#include <cmath>

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
    // What Vector's +=, /= and normalize do to three components, in the same operations
    // and order, written out: this runs for every vertex of every frame.
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    for (const Polygon* polygon : polygons_) {
        const Vector n = polygon->normal();
        x += n.x();
        y += n.y();
        z += n.z();
    }
    const double count = static_cast<double>(polygons_.size());
    x /= count;
    y /= count;
    z /= count;
    const double length = std::sqrt(((0.0 + x * x) + y * y) + z * z);
    if (length != 0.0) {
        x /= length;
        y /= length;
        z /= length;
    }
    normal_ = {x, y, z};
}

}  // namespace kel
