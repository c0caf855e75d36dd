#include "model/camera.h"

#include <cmath>

#include "model/visitor.h"

namespace kel {

namespace {
constexpr double kMinExtent = 1e-6;
}

void Camera::set(const Vector& from, const Vector& to, const Vector& approxUp) {
    from_ = from;
    to_ = to;
    approxUp_ = approxUp;
    computeViewTransform();
}

void Camera::computeViewTransform() {
    normal_ = to_ - from_;
    normal_.normalize();
    const double d = approxUp_.dot(normal_);
    actualUp_ = approxUp_ - normal_ * d;
    actualUp_.normalize();
    right_ = normal_.cross(actualUp_);

    Transform axes;
    for (std::size_t i = 0; i < 3; ++i) {
        axes.at(i, 0) = right_.at(i);
        axes.at(i, 1) = actualUp_.at(i);
        axes.at(i, 2) = normal_.at(i);
        axes.at(i, 3) = 0.0;
        axes.at(3, i) = 0.0;
    }
    axes.at(3, 3) = 1.0;
    viewTransform_ = Translation(-from_);
    viewTransform_ *= axes;
}

void Camera::accept(Visitor& visitor) {
    visitor.visitCamera(*this);
}

void Frustum::set(double nearPlane, double farPlane, double height) {
    near_ = nearPlane;
    far_ = farPlane;
    height_ = height;
    computePerspective();
}

void Frustum::computePerspective() {
    perspective_ = Transform();
    if (!(std::fabs(far_ - near_) >= kMinExtent) || !(std::fabs(height_) >= kMinExtent)) {
        return;  // undefined there: the zero matrix puts every point at w = 0, which is not drawn
    }
    const double g = near_ / height_;
    const double q = far_ / (far_ - near_);
    perspective_.at(0, 0) = g;
    perspective_.at(1, 1) = g;
    perspective_.at(2, 2) = q;
    perspective_.at(3, 2) = -(near_ * q);
    perspective_.at(2, 3) = 1.0;
}

void Frustum::accept(Visitor& visitor) {
    visitor.visitFrustum(*this);
}

}  // namespace kel
