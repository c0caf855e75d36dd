#include "model/camera_moves.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "model/camera.h"

namespace kel {
namespace {

constexpr double kPi = 3.14159265358979323846;

double degreesBetween(const Vector& a, const Vector& b) {
    return std::acos(std::clamp(a.dot(b) / (a.length() * b.length()), -1.0, 1.0)) * 180.0 / kPi;
}

Vector level(const Vector& v) {
    return Vector(v.x(), 0.0, v.z());  // the part perpendicular to up = +y
}

const CameraPose kFront{Vector(0, 0, -10), Vector(0, 0, 0), Vector(0, 1, 0)};

TEST(Orbit, TurnsHalfADegreePerPixelAsTheMouseGoesKeepingClearOfUp) {
    const CameraPose start{Vector(3, 4, -12), Vector(1, 2, 0), Vector(0, 1, 0)};
    const Vector offset = start.from - start.to;
    const double elevation = degreesBetween(offset, start.up);
    // dx, dy; degrees about up; degrees between up and the line from the target to the eye.
    for (const auto& [dx, dy, turn, raised] : std::vector<std::array<double, 4>>{
             {20, 0, 10, 0}, {-60, 0, 30, 0}, {0, 20, 0, -10}, {0, -30, 0, 15}, {8, -4, 4, 2}}) {
        const auto pose = orbitPose(start, dx, dy);
        ASSERT_TRUE(pose.has_value());
        const Vector moved = pose->from - pose->to;
        EXPECT_TRUE(pose->to == start.to && pose->up == start.up);
        EXPECT_NEAR(moved.length(), offset.length(), 1e-12);
        EXPECT_NEAR(degreesBetween(level(moved), level(offset)), turn, 1e-9) << dx;
        EXPECT_NEAR(degreesBetween(moved, start.up), elevation + raised, 1e-9) << dy;
    }
    // Dragging right moves the eye towards the camera's left (world +x); down raises it.
    const double s = 10 * std::sin(5 * kPi / 180);
    const double c = -10 * std::cos(5 * kPi / 180);
    for (const auto& [dx, dy, from] :
         {std::tuple{10.0, 0.0, Vector(s, 0, c)}, std::tuple{0.0, 10.0, Vector(0, s, c)}}) {
        const Vector moved = orbitPose(kFront, dx, dy).value().from - from;
        EXPECT_NEAR(moved.length(), 0.0, 1e-12) << dx << " " << dy;
    }
    // The elevation is held within 89 degrees of up, also from an eye straight above.
    const CameraPose above{Vector(0, 10, 0), Vector(0, 0, 0), Vector(0, 1, 0)};
    for (const auto& [origin, dy, expected] : {std::tuple{kFront, 400.0, 1.0},
                                               {kFront, 1e9, 1.0},
                                               {kFront, -400.0, 179.0},
                                               {kFront, -1e9, 179.0},
                                               {above, 0.0, 1.0}}) {
        const auto pose = orbitPose(origin, 5, dy);
        ASSERT_TRUE(pose.has_value()) << dy;
        EXPECT_NEAR(degreesBetween(pose->from - pose->to, origin.up), expected, 1e-9) << dy;
        EXPECT_TRUE(isUsablePose(*pose));
    }
}

TEST(CameraMoves, DegenerateInputIsRefused) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const CameraPose same{Vector(1, 1, 1), Vector(1, 1, 1), Vector(0, 1, 0)};
    const CameraPose noUp{Vector(0, 0, -10), Vector(0, 0, 0), Vector(0, 0, 0)};
    const CameraPose alongUp{Vector(0, -10, 0), Vector(0, 0, 0), Vector(0, 1, 0)};
    EXPECT_FALSE(isUsablePose(alongUp));
    const std::optional<CameraPose> refused[] = {
        orbitPose(same, 10, 10),
        panPose(same, 10, 10, 1.0, 200),
        dollyPose(same, 1),
        orbitPose(noUp, 10, 10),
        panPose(noUp, 10, 10, 1.0, 200),
        dollyPose(noUp, 1),
        panPose(alongUp, 1, 1, 1, 200),
        dollyPose(alongUp, 1),
        orbitPose(kFront, nan, 0),
        orbitPose(kFront, 0, HUGE_VAL),
        panPose(kFront, nan, 0, 1, 200),
        panPose(kFront, 1, 0, 0, 200),
        panPose(kFront, 1, 0, -1, 200),
        panPose(kFront, 1, 0, 1, 0),
        dollyPose(kFront, nan),
        // 10 x 0.9^200 is about 7e-9: below 1e-6, so refused rather than stored.
        dollyPose(kFront, 200),
        dollyPose(kFront, -1e6),
    };
    for (std::size_t i = 0; i < std::size(refused); ++i) {
        EXPECT_FALSE(refused[i].has_value()) << i;
    }
}

TEST(Pan, ThePointAtTheTargetFollowsTheMouse) {
    Frustum frustum;
    frustum.set(2.0, 100.0, 1.5);
    const int side = 380;
    const CameraPose start{Vector(4, 3, -9), Vector(1, 1, 1), Vector(0, 1, 0.2)};
    for (const auto& [dx, dy] :
         std::vector<std::pair<double, double>>{{10, 0}, {0, -7}, {-33, 21}}) {
        const auto pose = panPose(start, dx, dy, frustum.height() / frustum.nearPlane(), side);
        ASSERT_TRUE(pose.has_value());
        // Where the old target lands, projected: pixels grow to the right and downwards.
        Camera camera;
        applyPose(camera, *pose);
        Matrix m = camera.viewTransform();
        m *= frustum.perspectiveTransform();
        const Vector clip = Vector(start.to.x(), start.to.y(), start.to.z(), 1.0) * m;
        EXPECT_NEAR(clip.x() / clip.w() * 0.5 * side, dx, 1e-9);
        EXPECT_NEAR(-clip.y() / clip.w() * 0.5 * side, dy, 1e-9);
    }
}

TEST(Dolly, TenPercentOfTheDistancePerNotchNeverReachingTheTarget) {
    for (const auto& [notches, distance] : std::vector<std::pair<double, double>>{
             {1, 9.0}, {2, 8.1}, {-1, 10.0 / 0.9}, {0.5, 10 * std::sqrt(0.9)}}) {
        const auto pose = dollyPose(kFront, notches);
        ASSERT_TRUE(pose.has_value());
        EXPECT_NEAR((pose->from - pose->to).length(), distance, 1e-12) << notches;
        EXPECT_TRUE(pose->to == kFront.to);
    }
    EXPECT_TRUE(dollyPose(kFront, 100).has_value());
}

}  // namespace
}  // namespace kel
