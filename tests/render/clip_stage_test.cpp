#include "render/clip_stage.h"

#include <gtest/gtest.h>

#include <cmath>

#include "render/geometry_stages.h"
#include "render/image_surface.h"
#include "scene_fixtures.h"

namespace kel {
namespace {

using test::addObject;
using test::addPolygon;
using test::makeScene;

// A scene with one object whose vertices get the given clip positions directly.
struct ClipCase {
    std::unique_ptr<Scene> scene = makeScene();
    SceneObject* object = nullptr;
    Polygon* polygon = nullptr;

    explicit ClipCase(const std::vector<Vector>& clips) {
        std::vector<Vector> model(clips.size(), Vector(0.0, 0.0, 0.0));
        object = &addObject(*scene, model);
        std::vector<std::size_t> corners;
        for (std::size_t i = 0; i < clips.size(); ++i) {
            object->vertexAt(i)->setClipPosition(clips[i]);
            corners.push_back(i);
        }
        polygon = &addPolygon(*object, corners);
    }
    void clip() {
        ImageSurface surface(1, 1);
        ClipStage().run(surface, *scene);
    }
};

bool insideVolume(const Vector& c, double slack) {
    const double w = c.at(3);
    return c.at(0) >= -w - slack && c.at(0) <= w + slack && c.at(1) >= -w - slack &&
           c.at(1) <= w + slack && c.at(2) >= -slack && c.at(2) <= w + slack;
}

TEST(ClipClassifyTest, InsideBoundsAreInclusiveAndLeaveThePolygonAlone) {
    ClipCase c({Vector(1, 0, 0, 1), Vector(-1, -1, 1, 1), Vector(0, 1, 0.5, 1)});
    EXPECT_EQ(ClipStage::classify(*c.polygon), 1);
    c.clip();
    EXPECT_TRUE(c.polygon->visible());
    EXPECT_FALSE(c.polygon->hasClipped());
}

TEST(ClipClassifyTest, RejectsWhenEveryCornerFailsTheSameBoundaryFirst) {
    const std::vector<std::pair<Vector, int>> beyond = {
        {Vector(-2, 0, 0.5, 1), 8}, {Vector(2, 0, 0.5, 1), 2},   {Vector(0, -2, 0.5, 1), 4},
        {Vector(0, 2, 0.5, 1), 1},  {Vector(0, 0, -0.5, 1), 16}, {Vector(0, 0, 2, 1), 32}};
    for (const auto& [corner, code] : beyond) {
        Vector other = corner;
        other.at(2) += 0.01;  // a second corner beyond the same boundary
        if (code == 16) {
            other.at(2) = -0.2;
        }
        ClipCase c({corner, other, corner});
        EXPECT_EQ(ClipStage::classify(*c.polygon), 1) << "code " << code;
        EXPECT_FALSE(c.polygon->visible()) << "code " << code;
        EXPECT_FALSE(c.polygon->hasClipped());
    }
}

TEST(ClipClassifyTest, CornersBeyondDifferentBoundariesAreClippedAndMayVanish) {
    // Outcodes 2, 1 and 2: not rejected, but the triangle misses the volume.
    ClipCase c({Vector(3, 0, 0.5, 1), Vector(0, 3, 0.5, 1), Vector(3, 3, 0.5, 1)});
    EXPECT_EQ(ClipStage::classify(*c.polygon), 0);
    EXPECT_TRUE(c.polygon->visible());
    c.clip();
    EXPECT_FALSE(c.polygon->visible());
    EXPECT_FALSE(c.polygon->hasClipped());
}

TEST(ClipClassifyTest, FirstFailingTestNamesTheBoundary) {
    // x > w and y > w at once counts as x: every corner gives 2, so it is rejected.
    ClipCase c({Vector(2, 2, 0.5, 1), Vector(3, 0.5, 0.5, 1), Vector(2, -0.5, 0.5, 1)});
    EXPECT_EQ(ClipStage::classify(*c.polygon), 1);
    EXPECT_FALSE(c.polygon->visible());
}

TEST(ClipStageTest, SquareAcrossTheRightBoundaryIsCutAtXEqualsOne) {
    auto scene = makeScene();
    // Give the corners real normals first, so that copies and cut vertices differ.
    SceneObject& object =
        addObject(*scene, {Vector(0, 0, 0), Vector(0, 1, 0), Vector(1, 1, 0), Vector(1, 0, 0)});
    Polygon& square = addPolygon(object, {0, 1, 2, 3});
    ImageSurface surface(1, 1);
    NormalStage().run(surface, *scene);
    const Vector clips[] = {Vector(0, -0.5, 0.5, 1), Vector(2, -0.5, 0.5, 1),
                            Vector(2, 0.5, 0.5, 1), Vector(0, 0.5, 0.5, 1)};
    for (std::size_t i = 0; i < 4; ++i) {
        object.vertexAt(i)->setClipPosition(clips[i]);
    }
    ClipStage().run(surface, *scene);

    ASSERT_TRUE(square.visible());
    ASSERT_EQ(square.clippedCount(), 4u);
    EXPECT_EQ(square.effectiveVertexCount(), 4u);
    // Kept corners are copies with their normal; cut ones lie on x = w with zero normal.
    EXPECT_EQ(square.effectiveVertex(0)->clipPosition(), clips[0]);
    EXPECT_NE(square.effectiveVertex(0), object.vertexAt(0));
    EXPECT_EQ(square.effectiveVertex(0)->normal(), object.vertexAt(0)->normal());
    EXPECT_EQ(square.effectiveVertex(1)->clipPosition(), Vector(1, -0.5, 0.5, 1));
    EXPECT_EQ(square.effectiveVertex(2)->clipPosition(), Vector(1, 0.5, 0.5, 1));
    EXPECT_EQ(square.effectiveVertex(3)->clipPosition(), clips[3]);
    for (std::size_t i : {1u, 2u}) {
        const Vertex& cut = *square.effectiveVertex(i);
        EXPECT_EQ(cut.normal(), Vector(0.0, 0.0, 0.0));
        EXPECT_EQ(cut.worldPosition(), Vector(0.0, 0.0, 0.0));
        EXPECT_DOUBLE_EQ(cut.projectedPosition().at(0), 1.0);
    }
}

TEST(ClipStageTest, CutVerticesProjectOntoTheBoundaryWithPerspective) {
    // Different w at the two ends: the cut is found after the division by w.
    ClipCase c({Vector(0, 0, 1, 2), Vector(12, 0, 2, 4), Vector(0, 3, 1, 3)});
    c.clip();
    ASSERT_TRUE(c.polygon->hasClipped());
    int onBoundary = 0;
    for (std::size_t i = 0; i < c.polygon->clippedCount(); ++i) {
        const Vector p = c.polygon->effectiveVertex(i)->projectedPosition();
        EXPECT_LE(p.at(0), 1.0 + 1e-12);
        if (std::fabs(p.at(0) - 1.0) < 1e-12) {
            ++onBoundary;
        }
    }
    EXPECT_EQ(onBoundary, 2);
}

TEST(ClipStageTest, ClippingTwiceWithResetGivesTheSameList) {
    ClipCase c({Vector(-3, -0.5, 0.5, 1), Vector(3, -0.5, 0.5, 1), Vector(0, 3, 0.5, 1)});
    c.scene->setResetVisibility(true);
    ImageSurface surface(1, 1);
    ResetVisibilityStage reset;
    ClipStage clip;
    reset.run(surface, *c.scene);
    clip.run(surface, *c.scene);
    std::vector<Vector> first;
    for (std::size_t i = 0; i < c.polygon->clippedCount(); ++i) {
        first.push_back(c.polygon->effectiveVertex(i)->clipPosition());
    }
    ASSERT_EQ(first.size(), 4u);  // the rectangle x -1..1, y -0.5..1
    reset.run(surface, *c.scene);
    EXPECT_FALSE(c.polygon->hasClipped());
    clip.run(surface, *c.scene);
    std::vector<Vector> second;
    for (std::size_t i = 0; i < c.polygon->clippedCount(); ++i) {
        second.push_back(c.polygon->effectiveVertex(i)->clipPosition());
    }
    EXPECT_EQ(first, second);
}

TEST(ClipStageTest, WorkListsGrowPastTenCorners) {
    // A 24-gon of radius 1.3 around the centre crosses all four side boundaries.
    std::vector<Vector> clips;
    for (int i = 0; i < 24; ++i) {
        const double a = i * 2.0 * 3.141592653589793 / 24.0;
        clips.emplace_back(1.3 * std::cos(a), 1.3 * std::sin(a), 0.5, 1.0);
    }
    ClipCase c(clips);
    c.clip();
    ASSERT_TRUE(c.polygon->visible());
    EXPECT_GT(c.polygon->clippedCount(), 10u);
    for (std::size_t i = 0; i < c.polygon->clippedCount(); ++i) {
        EXPECT_TRUE(insideVolume(c.polygon->effectiveVertex(i)->clipPosition(), 1e-9));
    }
}

TEST(ClipStageTest, CornerInTheEyePlaneOrOnTheBoundaryGivesFiniteCuts) {
    // w = 0 at one end: the division by w is undefined there.
    ClipCase eye({Vector(0, 0, 0.5, 1), Vector(1, 0, 0.5, 0), Vector(0, 0.5, 0.5, 1)});
    eye.clip();
    // Both ends within 1e-6 of x = w after the division: |d| is below the threshold.
    ClipCase grazing(
        {Vector(1 - 1e-9, 0, 0.5, 1), Vector(1 + 1e-9, 0.5, 0.5, 1), Vector(0, 0.5, 0.5, 1)});
    grazing.clip();
    for (ClipCase* c : {&eye, &grazing}) {
        ASSERT_TRUE(c->polygon->visible());
        ASSERT_TRUE(c->polygon->hasClipped());
        for (std::size_t i = 0; i < c->polygon->clippedCount(); ++i) {
            const Vector& p = c->polygon->effectiveVertex(i)->clipPosition();
            for (std::size_t k = 0; k < 4; ++k) {
                EXPECT_TRUE(std::isfinite(p.at(k)));
            }
            EXPECT_TRUE(insideVolume(p, 1e-9));
        }
    }
}

TEST(ClipStageTest, InvisiblePolygonsAreNotClipped) {
    ClipCase c({Vector(-3, 0, 0.5, 1), Vector(3, 0, 0.5, 1), Vector(0, 3, 0.5, 1)});
    c.polygon->setVisible(false);
    c.clip();
    EXPECT_FALSE(c.polygon->hasClipped());
}

TEST(ClipStageTest, WhollyInsidePolygonKeepsAnEarlierClippedList) {
    // Without a reset, a polygon that classify passes keeps the corners of the last clip.
    ClipCase c({Vector(-3, 0, 0.5, 1), Vector(3, 0, 0.5, 1), Vector(0, 0.9, 0.5, 1)});
    c.clip();
    const std::size_t clipped = c.polygon->clippedCount();
    ASSERT_GT(clipped, 0u);
    c.object->vertexAt(0)->setClipPosition(Vector(-0.5, 0, 0.5, 1));
    c.object->vertexAt(1)->setClipPosition(Vector(0.5, 0, 0.5, 1));
    c.clip();
    EXPECT_EQ(c.polygon->clippedCount(), clipped);
}

TEST(ClipStageTest, NanCornersNeverReachTheRenderers) {
    const double nan = std::nan("");
    const double inf = HUGE_VAL;
    for (const Vector& bad :
         {Vector(nan, 0, 0.5, 1), Vector(0, 0, 0.5, inf), Vector(0.5, -inf, 0.5, 1)}) {
        ClipCase c({bad, Vector(0.5, 0, 0.5, 1), Vector(0, 0.5, 0.5, 1)});
        EXPECT_EQ(ClipStage::classify(*c.polygon), 1);
        c.polygon->setVisible(true);
        c.clip();
        EXPECT_FALSE(c.polygon->visible());
        EXPECT_FALSE(c.polygon->hasClipped());
    }
}

}  // namespace
}  // namespace kel
