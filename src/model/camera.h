#pragma once

#include "model/matrix.h"
#include "model/vector.h"

namespace kel {

class Visitor;

// Eye point, target and approximate up direction, with the derived line of sight, the
// actual up and right vectors and the view transform.
class Camera {
public:
    const Vector& from() const { return from_; }
    const Vector& to() const { return to_; }
    const Vector& normal() const { return normal_; }
    const Vector& approxUp() const { return approxUp_; }
    const Vector& actualUp() const { return actualUp_; }
    const Vector& right() const { return right_; }
    const Transform& viewTransform() const { return viewTransform_; }

    // Stores the three vectors and recomputes the view transform.
    void set(const Vector& from, const Vector& to, const Vector& approxUp);
    void computeViewTransform();
    void accept(Visitor& visitor);

private:
    Vector from_{1.0, 1.0, 1.0};
    Vector to_{1.0, 1.0, 1.0};
    Vector normal_{1.0, 1.0, 1.0};
    Vector approxUp_{1.0, 1.0, 1.0};
    Vector actualUp_{1.0, 1.0, 1.0};
    Vector right_{1.0, 1.0, 1.0};
    Transform viewTransform_;
};

// Near and far plane distances and the view plane height, with the derived perspective
// transform.
class Frustum {
public:
    double nearPlane() const { return near_; }
    double farPlane() const { return far_; }
    double height() const { return height_; }
    const Transform& perspectiveTransform() const { return perspective_; }

    // Stores the three values and recomputes the perspective transform.
    void set(double nearPlane, double farPlane, double height);
    // Defined only for |far - near| >= 1e-6 and |height| >= 1e-6; otherwise the
    // transform becomes the zero matrix, which projects nothing into view.
    void computePerspective();
    void accept(Visitor& visitor);

private:
    double near_ = 0.0;
    double far_ = 0.0;
    double height_ = 0.0;
    Transform perspective_;
};

}  // namespace kel
