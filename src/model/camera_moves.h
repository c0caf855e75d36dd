#pragma once

#include <optional>

#include "model/vector.h"

namespace kel {

class Camera;

// What a camera is set from: eye, target and the up direction as given.
struct CameraPose {
    Vector from;
    Vector to;
    Vector up;
    friend bool operator==(const CameraPose&, const CameraPose&) = default;
};

CameraPose poseOf(const Camera& camera);
// Sets the camera from the pose, recomputing its view transform.
void applyPose(Camera& camera, const CameraPose& pose);

// A pose the view transform can be built from: from and to at least 1e-6 apart, and an
// up direction that is not parallel to the line of sight.
bool isUsablePose(const CameraPose& pose);

inline constexpr double kOrbitDegreesPerPixel = 0.5;
// The line of sight stays at least this many degrees away from the up direction.
inline constexpr double kMinDegreesFromUp = 1.0;
inline constexpr double kDollyStep = 0.9;

// Turns the eye about the target for a drag of (dx, dy) pixels from start (y grows
// downwards): dx about the up direction, dy about the camera's right axis, 0.5 degree per
// pixel. Dragging right moves the eye towards the camera's left, so the scene turns with
// the mouse; dragging down raises the eye. The elevation is held within 89 degrees of the
// up direction. Nothing for a pose whose from equals to or whose up is zero.
std::optional<CameraPose> orbitPose(const CameraPose& start, double dx, double dy);

// Moves from and to together so that a point at the target's distance follows a drag of
// (dx, dy) pixels. heightPerDistance is the frustum's height / near plane, side the
// viewport's side in pixels. Nothing when either is not positive or the pose is degenerate.
std::optional<CameraPose> panPose(const CameraPose& start, double dx, double dy,
                                  double heightPerDistance, int side);

// Moves the eye along the line of sight: each notch towards the target leaves 90% of the
// distance, each notch back divides by 0.9. Nothing for a degenerate pose, or when the
// distance would drop below 1e-6 (the eye never reaches the target).
std::optional<CameraPose> dollyPose(const CameraPose& start, double notches);

}  // namespace kel
