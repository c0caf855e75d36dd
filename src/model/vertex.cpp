#include "model/vertex.h"

#include <cmath>

#include "model/polygon.h"
#include "model/visitor.h"

namespace kel {

namespace {
constexpr double kMinW = 1e-6;
}

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
    normal_ = sum;
}

bool Vertex::projectedPosition(Vector& result) const {
    const double w = clipPosition_.at(3);
    if (!(std::fabs(w) >= kMinW)) {
        return false;
    }
    result = clipPosition_;
    for (std::size_t i = 0; i < result.size(); ++i) {
        result.at(i) /= w;
    }
    return true;
}

Vector Vertex::projectedPosition() const {
    Vector result = clipPosition_;
    projectedPosition(result);
    return result;
}

}  // namespace kel
