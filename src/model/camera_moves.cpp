#include "model/camera_moves.h"

#include <algorithm>
#include <cmath>

#include "model/camera.h"

namespace kel {

namespace {

constexpr double kMinExtent = 1e-6;
constexpr double kPi = 3.14159265358979323846;

double radians(double degrees) {
    return degrees * kPi / 180.0;
}

Vector unit(const Vector& v) {
    Vector u = v;
    u.normalize();
    return u;
}

// The camera's own right axis (line of sight cross actual up), as the view transform uses.
Vector rightOf(const Vector& sight, const Vector& up) {
    const Vector actualUp = unit(up - sight * up.dot(sight));
    return sight.cross(actualUp);
}

// Any unit vector perpendicular to u (|u| = 1).
Vector perpendicularTo(const Vector& u) {
    const Vector axis = std::fabs(u.x()) < 0.9 ? Vector(1.0, 0.0, 0.0) : Vector(0.0, 1.0, 0.0);
    return unit(axis - u * axis.dot(u));
}

}  // namespace

CameraPose poseOf(const Camera& camera) {
    return {camera.from(), camera.to(), camera.approxUp()};
}

void applyPose(Camera& camera, const CameraPose& pose) {
    camera.set(pose.from, pose.to, pose.up);
}

bool isUsablePose(const CameraPose& pose) {
    const Vector sight = pose.to - pose.from;
    const double distance = sight.length();
    const double upLength = pose.up.length();
    if (!(distance >= kMinExtent) || !(upLength >= kMinExtent)) {
        return false;
    }
    // sin of the angle between sight and up
    return sight.cross(pose.up).length() / (distance * upLength) >= kMinExtent;
}

std::optional<CameraPose> orbitPose(const CameraPose& start, double dx, double dy) {
    const Vector offset = start.from - start.to;
    const double distance = offset.length();
    if (!(distance >= kMinExtent) || !(start.up.length() >= kMinExtent) || !std::isfinite(dx) ||
        !std::isfinite(dy)) {
        return std::nullopt;
    }
    const Vector u = unit(start.up);
    const double along = offset.dot(u);
    Vector level = offset - u * along;
    level = level.length() >= kMinExtent * distance ? unit(level) : perpendicularTo(u);
    const Vector side = u.cross(level);  // where a positive turn moves the eye

    // The eye moves to the camera's left for a drag to the right.
    const Vector right = rightOf(unit(-offset), u);
    const double sign = side.dot(right) > 0.0 ? -1.0 : 1.0;
    const double turn = radians(sign * kOrbitDegreesPerPixel * dx);
    const Vector turned = level * std::cos(turn) + side * std::sin(turn);

    const double elevation = std::acos(std::clamp(along / distance, -1.0, 1.0));
    const double wanted = elevation - radians(kOrbitDegreesPerPixel * dy);
    const double limit = radians(kMinDegreesFromUp);
    const double held = std::clamp(wanted, limit, kPi - limit);
    const Vector newOffset = (u * std::cos(held) + turned * std::sin(held)) * distance;

    CameraPose pose{start.to + newOffset, start.to, start.up};
    if (!isUsablePose(pose)) {
        return std::nullopt;
    }
    return pose;
}

std::optional<CameraPose> panPose(const CameraPose& start, double dx, double dy,
                                  double heightPerDistance, int side) {
    if (!isUsablePose(start) || !(heightPerDistance > 0.0) || side <= 0 || !std::isfinite(dx) ||
        !std::isfinite(dy) || !std::isfinite(heightPerDistance)) {
        return std::nullopt;
    }
    const Vector sight = start.to - start.from;
    const double distance = sight.length();
    const Vector normal = unit(sight);
    const Vector actualUp = unit(start.up - normal * start.up.dot(normal));
    const Vector right = normal.cross(actualUp);
    // A view-space x of distance x heightPerDistance reaches the viewport's edge, half a
    // side away from its centre.
    const double unitsPerPixel = 2.0 * distance * heightPerDistance / side;
    const Vector shift = (right * -dx + actualUp * dy) * unitsPerPixel;
    CameraPose pose{start.from + shift, start.to + shift, start.up};
    if (!isUsablePose(pose)) {
        return std::nullopt;
    }
    return pose;
}

std::optional<CameraPose> dollyPose(const CameraPose& start, double notches) {
    if (!isUsablePose(start) || !std::isfinite(notches)) {
        return std::nullopt;
    }
    const Vector offset = start.from - start.to;
    const double distance = offset.length();
    const double scale = std::pow(kDollyStep, notches);
    if (!(distance * scale >= kMinExtent) || !std::isfinite(distance * scale)) {
        return std::nullopt;
    }
    CameraPose pose{start.to + offset * scale, start.to, start.up};
    if (!isUsablePose(pose)) {
        return std::nullopt;
    }
    return pose;
}

}  // namespace kel
