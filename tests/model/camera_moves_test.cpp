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

TEST(Orbit, TurnsHalfADegreePerPixelAboutUpAndRight) {
    struct Case {
        double dx;
        double dy;
        double turn;       // degrees about up
        double elevation;  // degrees between the line from to to from, and up
    };
    const CameraPose start{Vector(3, 4, -12), Vector(1, 2, 0), Vector(0, 1, 0)};
    const Vector offset = start.from - start.to;
    const double startElevation = degreesBetween(offset, start.up);
    for (const Case& c : {Case{20, 0, 10, startElevation}, Case{-60, 0, 30, startElevation},
                          Case{0, 20, 0, startElevation - 10}, Case{0, -30, 0, startElevation + 15},
                          Case{8, -4, 4, startElevation + 2}}) {
        const auto pose = orbitPose(start, c.dx, c.dy);
        ASSERT_TRUE(pose.has_value());
        const Vector moved = pose->from - pose->to;
        EXPECT_TRUE(pose->to == start.to);
        EXPECT_TRUE(pose->up == start.up);
        EXPECT_NEAR(moved.length(), offset.length(), 1e-12);
        EXPECT_NEAR(degreesBetween(level(moved), level(offset)), c.turn, 1e-9) << c.dx;
        EXPECT_NEAR(degreesBetween(moved, start.up), c.elevation, 1e-9) << c.dy;
    }
}

TEST(Orbit, TheSceneTurnsWithTheMouse) {
    Camera camera;
    applyPose(camera, kFront);
    // Dragging right moves the eye towards the camera's left; dragging down raises it.
    const auto right = orbitPose(kFront, 10, 0);
    ASSERT_TRUE(right.has_value());
    EXPECT_LT((right->from - kFront.from).dot(camera.right()), 0.0);
    const auto down = orbitPose(kFront, 0, 10);
    ASSERT_TRUE(down.has_value());
    EXPECT_GT(down->from.y(), 0.0);
}

TEST(Orbit, ElevationIsHeldWithin89DegreesOfUp) {
    for (const double dy : {400.0, 1e9, -400.0, -1e9}) {
        const auto pose = orbitPose(kFront, 0, dy);
        ASSERT_TRUE(pose.has_value()) << dy;
        const double elevation = degreesBetween(pose->from - pose->to, kFront.up);
        EXPECT_NEAR(elevation, dy > 0 ? 1.0 : 179.0, 1e-9) << dy;
        EXPECT_TRUE(isUsablePose(*pose));
    }
    // A camera already looking straight down the up direction comes out usable.
    const CameraPose above{Vector(0, 10, 0), Vector(0, 0, 0), Vector(0, 1, 0)};
    const auto pose = orbitPose(above, 5, 0);
    ASSERT_TRUE(pose.has_value());
    EXPECT_TRUE(isUsablePose(*pose));
    EXPECT_NEAR(degreesBetween(pose->from - pose->to, above.up), 1.0, 1e-9);
}

TEST(CameraMoves, DegenerateInputIsRefused) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const CameraPose same{Vector(1, 1, 1), Vector(1, 1, 1), Vector(0, 1, 0)};
    const CameraPose noUp{Vector(0, 0, -10), Vector(0, 0, 0), Vector(0, 0, 0)};
    const CameraPose alongUp{Vector(0, -10, 0), Vector(0, 0, 0), Vector(0, 1, 0)};
    for (const CameraPose& pose : {same, noUp}) {
        EXPECT_FALSE(orbitPose(pose, 10, 10).has_value());
        EXPECT_FALSE(panPose(pose, 10, 10, 1.0, 200).has_value());
        EXPECT_FALSE(dollyPose(pose, 1).has_value());
    }
    EXPECT_FALSE(isUsablePose(alongUp));
    EXPECT_FALSE(panPose(alongUp, 1, 1, 1.0, 200).has_value());
    EXPECT_FALSE(dollyPose(alongUp, 1).has_value());
    EXPECT_FALSE(orbitPose(kFront, nan, 0).has_value());
    EXPECT_FALSE(orbitPose(kFront, 0, inf).has_value());
    EXPECT_FALSE(panPose(kFront, nan, 0, 1.0, 200).has_value());
    EXPECT_FALSE(panPose(kFront, 1, 0, 0.0, 200).has_value());
    EXPECT_FALSE(panPose(kFront, 1, 0, -1.0, 200).has_value());
    EXPECT_FALSE(panPose(kFront, 1, 0, 1.0, 0).has_value());
    EXPECT_FALSE(dollyPose(kFront, nan).has_value());
}

// Projected position (x / w, y / w) of a world point under a pose and a frustum.
std::pair<double, double> projected(const CameraPose& pose, const Frustum& frustum,
                                    const Vector& point) {
    Camera camera;
    applyPose(camera, pose);
    Matrix m = camera.viewTransform();
    m *= frustum.perspectiveTransform();
    const Vector clip = Vector(point.x(), point.y(), point.z(), 1.0) * m;
    return {clip.x() / clip.w(), clip.y() / clip.w()};
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
        EXPECT_NEAR(((pose->from - pose->to) - (start.from - start.to)).length(), 0.0, 1e-12);
        const auto [x, y] = projected(*pose, frustum, start.to);
        // Pixels: x grows to the right and y downwards, projected y upwards.
        EXPECT_NEAR(x * 0.5 * side, dx, 1e-9);
        EXPECT_NEAR(-y * 0.5 * side, dy, 1e-9);
    }
}

TEST(Dolly, TenPercentOfTheDistancePerNotchNeverReachingTheTarget) {
    struct Case {
        double notches;
        double distance;
    };
    for (const Case& c :
         {Case{1, 9.0}, Case{2, 8.1}, Case{-1, 10.0 / 0.9}, Case{0.5, 10 * std::sqrt(0.9)}}) {
        const auto pose = dollyPose(kFront, c.notches);
        ASSERT_TRUE(pose.has_value());
        EXPECT_NEAR((pose->from - pose->to).length(), c.distance, 1e-12) << c.notches;
        EXPECT_TRUE(pose->to == kFront.to);
    }
    // 10 x 0.9^200 is about 7e-9: below 1e-6, so refused rather than stored.
    EXPECT_TRUE(dollyPose(kFront, 100).has_value());
    EXPECT_FALSE(dollyPose(kFront, 200).has_value());
    EXPECT_FALSE(dollyPose(kFront, -1e6).has_value());
}

}  // namespace
}  // namespace kel
