#include "render/scanline_renderer.h"

#include <gtest/gtest.h>

#include <cmath>

#include "render/edge_table.h"
#include "render/image_surface.h"
#include "render/render_pipeline.h"
#include "render/shading.h"
#include "scene_fixtures.h"

namespace kel {
namespace {

using test::addObject;
using test::addPolygon;
using test::makeScene;

// A scene whose mapping is fitted to a 300 x 300 client area (viewport 280 x 280) and
// whose polygons get device points directly. With ambient 1 and zero normals every
// pixel takes its object's colour.
struct DeviceCase {
    std::unique_ptr<Scene> scene = makeScene();
    ImageSurface surface{300, 300};
    GouraudRenderer renderer;

    DeviceCase() {
        scene->setAmbient(1.0);
        scene->deviceMapping()->fit(surface.clientRect(), 10);
    }
    Polygon& add(const std::vector<DevicePoint>& points, Color color) {
        SceneObject& object =
            addObject(*scene, std::vector<Vector>(points.size(), Vector()), color);
        std::vector<std::size_t> corners;
        for (std::size_t i = 0; i < points.size(); ++i) {
            object.vertexAt(i)->setDevicePoint(points[i]);
            object.vertexAt(i)->setClipPosition(Vector(0, 0, 0.5, 1));
            corners.push_back(i);
        }
        return addPolygon(object, corners);
    }
    void draw() { renderer.draw(surface, *scene); }
    std::uint32_t at(int x, int y) const { return renderer.frameBuffer()->colorAt(x, y); }
};

const Color kRed(255, 0, 0);
const Color kBlue(0, 0, 255);
const std::uint32_t kRedPacked = 0x000000FFu;
const std::uint32_t kBluePacked = 0x00FF0000u;

TEST(ScanlineRendererTest, TriangleFillsHalfOpenRowsAndColumns) {
    DeviceCase c;
    c.add({DevicePoint(10, 10, 5), DevicePoint(20, 10, 5), DevicePoint(10, 20, 5)}, kRed);
    c.draw();
    for (int y = 0; y < 280; ++y) {
        for (int x = 0; x < 280; ++x) {
            // Row r holds columns 10 .. 29 - r for r = 10 .. 19.
            const bool inside = y >= 10 && y <= 19 && x >= 10 && x <= 29 - y;
            ASSERT_EQ(c.at(x, y), inside ? kRedPacked : FrameBuffer::kClearColor) << x << "," << y;
        }
    }
    EXPECT_EQ(c.renderer.frameBuffer()->depthAt(10, 10), 5);
    EXPECT_EQ(c.renderer.frameBuffer()->depthAt(10, 20), FrameBuffer::kClearDepth);
    // The buffer reaches the surface at the viewport's offset.
    EXPECT_EQ(c.surface.pixel(20, 20), kRedPacked);
    EXPECT_EQ(c.surface.pixel(29, 20), kRedPacked);
    EXPECT_EQ(c.surface.pixel(30, 20), ImageSurface::kWhite);
    EXPECT_EQ(c.surface.pixel(20, 29), kRedPacked);
    EXPECT_EQ(c.surface.pixel(21, 29), ImageSurface::kWhite);
}

TEST(ScanlineRendererTest, EqualDepthKeepsTheFirstPolygonAndNearerWins) {
    DeviceCase c;
    c.add({DevicePoint(0, 0, 50), DevicePoint(40, 0, 50), DevicePoint(40, 40, 50),
           DevicePoint(0, 40, 50)},
          kRed);
    c.add({DevicePoint(20, 20, 50), DevicePoint(60, 20, 50), DevicePoint(60, 60, 50),
           DevicePoint(20, 60, 50)},
          kBlue);
    c.add({DevicePoint(30, 30, 49), DevicePoint(35, 30, 49), DevicePoint(35, 35, 49),
           DevicePoint(30, 35, 49)},
          kBlue);
    c.draw();
    EXPECT_EQ(c.at(25, 25), kRedPacked);   // tie: the first drawn stays
    EXPECT_EQ(c.at(45, 45), kBluePacked);  // only the second covers it
    EXPECT_EQ(c.at(32, 32), kBluePacked);  // strictly nearer replaces
    EXPECT_EQ(c.renderer.frameBuffer()->depthAt(32, 32), 49);
}

TEST(ScanlineRendererTest, SpansThatRoundToOneColumnDrawNothing) {
    DeviceCase c;
    c.add({DevicePoint(10, 10, 5), DevicePoint(10, 30, 5), DevicePoint(10, 20, 5)}, kRed);
    // Horizontal: every corner on one row.
    c.add({DevicePoint(40, 50, 5), DevicePoint(80, 50, 5), DevicePoint(60, 50, 5)}, kRed);
    c.draw();
    for (int y = 0; y < 280; ++y) {
        for (int x = 0; x < 280; ++x) {
            ASSERT_EQ(c.at(x, y), FrameBuffer::kClearColor);
        }
    }
}

TEST(ScanlineRendererTest, NonConvexRowsFillByEvenOddOverSortedCrossings) {
    DeviceCase c;
    // A square with a V-shaped notch cut into its top edge.
    c.add({DevicePoint(10, 10, 5), DevicePoint(20, 20, 5), DevicePoint(30, 10, 5),
           DevicePoint(30, 30, 5), DevicePoint(10, 30, 5)},
          kRed);
    c.draw();
    // Row 15 crosses at 10, 15, 25 and 30: two spans with the notch between.
    for (int x = 0; x < 40; ++x) {
        const bool filled = (x >= 10 && x < 15) || (x >= 25 && x < 30);
        EXPECT_EQ(c.at(x, 15), filled ? kRedPacked : FrameBuffer::kClearColor) << x;
    }
    for (int x = 0; x < 40; ++x) {
        EXPECT_EQ(c.at(x, 25), x >= 10 && x < 30 ? kRedPacked : FrameBuffer::kClearColor) << x;
    }
}

TEST(ScanlineRendererTest, ConvexPolygonsGiveTheSameImageInEitherWinding) {
    DeviceCase forward;
    DeviceCase backward;
    const std::vector<DevicePoint> corners = {DevicePoint(5, 7, 3), DevicePoint(50, 12, 3),
                                              DevicePoint(61, 44, 3), DevicePoint(20, 60, 3)};
    forward.add(corners, kRed);
    backward.add({corners[3], corners[2], corners[1], corners[0]}, kRed);
    forward.draw();
    backward.draw();
    EXPECT_EQ(forward.surface.pixels(), backward.surface.pixels());
}

TEST(ScanlineRendererTest, CornersFarOutsideTheViewportAreClippedToIt) {
    DeviceCase c;
    c.add({DevicePoint(-1073741824, -1073741824, 5), DevicePoint(1073741824, 100, 5),
           DevicePoint(100, 1073741824, 5)},
          kRed);
    c.draw();
    EXPECT_EQ(c.at(279, 279), kRedPacked);
    EXPECT_EQ(c.surface.pixel(9, 9), ImageSurface::kWhite);  // nothing outside the viewport
}

TEST(ScanlineRendererTest, FrameBufferIsKeptAndResetBetweenRenders) {
    auto scene = makeScene();
    GouraudRenderer renderer;
    EXPECT_EQ(renderer.frameBuffer(), nullptr);
    ImageSurface first(100, 100);
    renderer.run(first, *scene);
    const FrameBuffer* buffer = renderer.frameBuffer();
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->width(), 80);
    ImageSurface second(100, 120);
    renderer.run(second, *scene);
    EXPECT_EQ(renderer.frameBuffer(), buffer);
    EXPECT_EQ(buffer->depthAt(0, 0), 256);
    ImageSurface bigger(200, 200);
    renderer.run(bigger, *scene);
    EXPECT_EQ(renderer.frameBuffer()->width(), 180);
    EXPECT_EQ(renderer.frameBuffer()->height(), 180);
}

TEST(ScanlineRendererTest, EmptySceneCopiesAWhiteViewport) {
    Scene empty;  // no camera, frustum or light either
    ImageSurface image(100, 100);
    image.fill(0x00010203u);
    PhongPipeline().run(image, empty);
    for (int y = 10; y < 90; ++y) {
        for (int x = 10; x < 90; ++x) {
            ASSERT_EQ(image.pixel(x, y), ImageSurface::kWhite);
        }
    }
    EXPECT_EQ(image.pixel(9, 50), ImageSurface::kBlack);
    EXPECT_EQ(image.pixel(5, 5), 0x00010203u);
}

TEST(FrameBufferTest, ResetDepthIsOneBeyondTheDeepestPixel) {
    FrameBuffer buffer(3, 2);
    EXPECT_EQ(buffer.depthAt(2, 1), 256);
    EXPECT_EQ(buffer.colorAt(2, 1), 0x00FFFFFFu);
    EXPECT_TRUE(buffer.depthPasses(2, 1, 255));
    buffer.setCell(2, 1, 40, 0x00112233u);
    EXPECT_FALSE(buffer.depthPasses(2, 1, 40));
    EXPECT_TRUE(buffer.depthPasses(2, 1, 39));
    EXPECT_EQ(buffer.colorAt(2, 1), 0x00112233u);
    buffer.reset(3, 2);
    EXPECT_EQ(buffer.depthAt(2, 1), 256);
    EXPECT_EQ(buffer.colorAt(2, 1), 0x00FFFFFFu);
    buffer.reset(-4, 7);
    EXPECT_EQ(buffer.width(), 0);
}

// A vertex with the given device point, world position and normal (the normal comes from
// a polygon of its own so that the vertex can average it).
struct ShadedVertex {
    Vertex normalSource[3];
    Polygon polygon;
    Vertex vertex;

    ShadedVertex(DevicePoint device, Vector world, Vector normalOf3) {
        // Corners whose Newell normal is normalOf3 (one of the unit axes).
        const Vector a(0, 0, 0);
        const Vector u = normalOf3.at(0) != 0 ? Vector(0, 1, 0) : Vector(0, 0, 1);
        const Vector v = normalOf3.cross(u);
        normalSource[0].setWorldPosition(a);
        normalSource[1].setWorldPosition(u);
        normalSource[2].setWorldPosition(v);
        for (std::size_t i = 0; i < 3; ++i) {
            polygon.setVertexAt(i, &normalSource[i]);
        }
        polygon.setVertexCount(3);
        polygon.computeNormal();
        vertex.addPolygon(&polygon);
        vertex.computeNormal();
        vertex.setDevicePoint(device);
        vertex.setWorldPosition(world);
    }
};

TEST(EdgeTableTest, EntriesStepPerRowAndLinkInFrontOfTheRowHead) {
    ShadedVertex a(DevicePoint(0, 0, 0), Vector(0, 0, 0), Vector(1, 0, 0));
    ShadedVertex b(DevicePoint(4, 2, 10), Vector(2, 4, 6), Vector(0, 1, 0));
    ASSERT_EQ(a.vertex.normal(), Vector(1, 0, 0));
    ASSERT_EQ(b.vertex.normal(), Vector(0, 1, 0));
    EdgeTable table(10);
    const Vector light(1.0, 0.0, 0.0);
    table.addEdge(b.vertex, a.vertex, light);  // the upper end is found whatever the order
    const EdgeEntry* row0 = table.head(0);
    const EdgeEntry* row1 = table.head(1);
    ASSERT_NE(row0, nullptr);
    ASSERT_NE(row1, nullptr);
    EXPECT_EQ(table.head(2), nullptr);  // the lower end's row is excluded
    EXPECT_EQ(row0->x, 0.0);
    EXPECT_EQ(row0->cosine, 1.0);
    EXPECT_EQ(row1->x, 2.0);
    EXPECT_EQ(row1->depth, 5.0);
    EXPECT_EQ(row1->cosine, 0.5);
    // Half way the normal is (0.5, 0.5, 0), used at that length.
    EXPECT_EQ(row1->normal[0], 0.5);
    EXPECT_EQ(row1->normal[1], 0.5);
    EXPECT_EQ(row1->normal[2], 0.0);
    EXPECT_EQ(row1->world[2], 3.0);

    ShadedVertex c(DevicePoint(9, 0, 0), Vector(0, 0, 0), Vector(0, 0, 1));
    ShadedVertex d(DevicePoint(9, 1, 0), Vector(0, 0, 0), Vector(0, 0, 1));
    table.addEdge(c.vertex, d.vertex, light);
    ASSERT_NE(table.head(0), nullptr);
    EXPECT_EQ(table.head(0)->x, 9.0);  // the newest entry is the head
    ASSERT_NE(table.next(*table.head(0)), nullptr);
    EXPECT_EQ(table.next(*table.head(0))->x, 0.0);

    // Horizontal edges add nothing; rows beyond the table are left out.
    ShadedVertex e(DevicePoint(3, 5, 0), Vector(0, 0, 0), Vector(0, 0, 1));
    ShadedVertex f(DevicePoint(7, 5, 0), Vector(0, 0, 0), Vector(0, 0, 1));
    table.addEdge(e.vertex, f.vertex, light);
    EXPECT_EQ(table.head(5), nullptr);
    ShadedVertex g(DevicePoint(0, -5, 0), Vector(0, 0, 0), Vector(0, 0, 1));
    ShadedVertex h(DevicePoint(10, 15, 0), Vector(0, 0, 0), Vector(0, 0, 1));
    table.addEdge(g.vertex, h.vertex, light);
    ASSERT_NE(table.head(9), nullptr);
    EXPECT_EQ(table.head(9)->x, 7.0);
    table.clear();
    for (int r = 0; r < 10; ++r) {
        EXPECT_EQ(table.head(r), nullptr);
    }
}

TEST(RoundToIntTest, HalvesGoUp) {
    EXPECT_EQ(roundToInt(2.5), 3);
    EXPECT_EQ(roundToInt(2.49), 2);
    EXPECT_EQ(roundToInt(0.0), 0);
    EXPECT_EQ(roundToInt(254.5), 255);
    EXPECT_EQ(roundToInt(std::nan("")), 0);
    EXPECT_EQ(roundToInt(1e300), 1073741825);
}

}  // namespace
}  // namespace kel
