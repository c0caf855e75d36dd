#include "render/clip_stage.h"

#include <gtest/gtest.h>

#include <cmath>

#include "render/image_surface.h"
#include "scene_fixtures.h"

namespace kel {
namespace {

void clip(Scene& scene) {
    ImageSurface surface(1, 1);
    ClipStage().run(surface, scene);
}

TEST(ClipStageTest, ClassifyRejectsOnlyWhenEveryCornerFailsTheSameBoundaryFirst) {
    const double nan = std::nan("");
    const double inf = HUGE_VAL;
    const struct {
        std::vector<Vector> corners;
        int classified;
        bool visibleAfterClip;
    } cases[] = {
        // Bounds are inclusive: wholly inside.
        {{Vector(1, 0, 0, 1), Vector(-1, -1, 1, 1), Vector(0, 1, 0.5, 1)}, 1, true},
        // All beyond one boundary: x < -w, x > w, y < -w, y > w, z < 0, z > w.
        {{Vector(-2, 0, .5, 1), Vector(-2, 0, .6, 1), Vector(-3, 1, .5, 1)}, 1, false},
        {{Vector(2, 0, .5, 1), Vector(2, 0, .6, 1), Vector(3, 1, .5, 1)}, 1, false},
        {{Vector(0, -2, .5, 1), Vector(0, -2, .6, 1), Vector(1, -3, .5, 1)}, 1, false},
        {{Vector(0, 2, .5, 1), Vector(0, 2, .6, 1), Vector(1, 3, .5, 1)}, 1, false},
        {{Vector(0, 0, -.5, 1), Vector(0, 0, -.2, 1), Vector(1, 0, -.5, 1)}, 1, false},
        {{Vector(0, 0, 2, 1), Vector(0, 0, 3, 1), Vector(1, 0, 2, 1)}, 1, false},
        // x > w and y > w at once counts as x: every corner fails x first.
        {{Vector(2, 2, .5, 1), Vector(3, .5, .5, 1), Vector(2, -.5, .5, 1)}, 1, false},
        // Beyond different boundaries: clipped, and here nothing is left.
        {{Vector(3, 0, .5, 1), Vector(0, 3, .5, 1), Vector(3, 3, .5, 1)}, 0, false},
        // Corners that are not finite are rejected.
        {{Vector(nan, 0, .5, 1), Vector(.5, 0, .5, 1), Vector(0, .5, .5, 1)}, 1, false},
        {{Vector(0, 0, .5, inf), Vector(.5, 0, .5, 1), Vector(0, .5, .5, 1)}, 1, false},
        {{Vector(.5, -inf, .5, 1), Vector(.5, 0, .5, 1), Vector(0, .5, .5, 1)}, 1, false},
    };
    for (const auto& c : cases) {
        auto scene = test::makeScene();
        Polygon& polygon = test::polygonWithClips(*scene, c.corners);
        EXPECT_EQ(ClipStage::classify(polygon), c.classified) << c.corners[0].at(0);
        polygon.setVisible(true);
        clip(*scene);
        EXPECT_EQ(polygon.visible(), c.visibleAfterClip) << c.corners[0].at(0);
        EXPECT_FALSE(polygon.hasClipped());
    }
}

TEST(ClipStageTest, CutsStayFiniteAndInsideForPerspectiveManyCornersAndWNearZero) {
    std::vector<Vector> ring;  // a 24-gon crossing all four side boundaries
    for (int i = 0; i < 24; ++i) {
        ring.emplace_back(1.3 * std::cos(i * 0.2617993877991494),
                          1.3 * std::sin(i * 0.2617993877991494), 0.5, 1.0);
    }
    const struct {
        std::vector<Vector> corners;
        std::size_t minCorners;  // the work lists must grow past ten
        int onRightBoundary;     // corners projecting onto x = 1, -1 for any number
    } cases[] = {
        // Different w at the ends: the cut is found after the division by w.
        {{Vector(0, 0, 1, 2), Vector(12, 0, 2, 4), Vector(0, 3, 1, 3)}, 3, 2},
        {ring, 11, 2},
        // w = 0 at one corner, where the division by w is undefined.
        {{Vector(0, 0, 0.5, 1), Vector(1, 0, 0.5, 0), Vector(0, 0.5, 0.5, 1)}, 3, -1},
        // Both ends within 1e-6 of x = w.
        {{Vector(1 - 1e-9, 0, .5, 1), Vector(1 + 1e-9, .5, .5, 1), Vector(0, .5, .5, 1)}, 3, -1},
    };
    for (const auto& c : cases) {
        auto scene = test::makeScene();
        const Polygon& polygon = test::polygonWithClips(*scene, c.corners);
        clip(*scene);
        ASSERT_TRUE(polygon.visible() && polygon.hasClipped());
        EXPECT_GE(polygon.clippedCount(), c.minCorners);
        int onBoundary = 0;
        for (std::size_t i = 0; i < polygon.clippedCount(); ++i) {
            const Vector& p = polygon.effectiveVertex(i)->clipPosition();
            const double w = p.at(3) + 1e-9;
            EXPECT_TRUE(std::fabs(p.at(0)) <= w && std::fabs(p.at(1)) <= w && p.at(2) >= -1e-9 &&
                        p.at(2) <= w)
                << p.at(0) << " " << p.at(1) << " " << p.at(2) << " " << p.at(3);
            onBoundary += std::fabs(p.at(0) / p.at(3) - 1.0) < 1e-12;
        }
        EXPECT_TRUE(c.onRightBoundary < 0 || onBoundary == c.onRightBoundary) << onBoundary;
    }
}

}  // namespace
}  // namespace kel
