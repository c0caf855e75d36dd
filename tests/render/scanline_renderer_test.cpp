#include "render/scanline_renderer.h"

#include <algorithm>
#include <random>

#include "render/render_pipeline.h"
#include "scene_fixtures.h"

namespace kel {
namespace {

const std::uint32_t kRed = 0x000000FFu;  // red is the low byte

TEST(ScanlineRendererTest, RowsAndColumnsAreHalfOpenAndNonConvexRowsFillEvenOdd) {
    const struct {
        std::vector<DevicePoint> corners;
        std::function<bool(int, int)> inside;
    } cases[] = {
        // Row r holds columns 10 .. 29 - r for r = 10 .. 19.
        {{DevicePoint(10, 10, 5), DevicePoint(20, 10, 5), DevicePoint(10, 20, 5)},
         [](int x, int y) { return y >= 10 && y <= 19 && x >= 10 && x <= 29 - y; }},
        // A V cut into the top edge of a square: two spans on the rows it crosses.
        {{DevicePoint(10, 10, 5), DevicePoint(20, 20, 5), DevicePoint(30, 10, 5),
          DevicePoint(30, 30, 5), DevicePoint(10, 30, 5)},
         [](int x, int y) {
             return y >= 10 && y < 30 && x >= 10 && x < 30 && !(y < 20 && x >= y && x < 40 - y);
         }},
        // The right edge crosses odd rows on a half, which rounds up: row r covers columns
        // 0 .. (r + 1) / 2 - 1.
        {{DevicePoint(0, 0, 5), DevicePoint(5, 10, 5), DevicePoint(0, 10, 5)},
         [](int x, int y) { return y < 10 && x < (y + 1) / 2; }},
        // A sliver one column wide fills nothing.
        {{DevicePoint(10, 10, 5), DevicePoint(10, 30, 5), DevicePoint(10, 20, 5)},
         [](int, int) { return false; }},
    };
    for (const auto& c : cases) {
        for (const bool reversed : {false, true}) {
            // With ambient 1 and zero normals every pixel takes its object's colour.
            auto scene = test::makeScene();
            scene->setAmbient(1.0);
            const auto renderer = test::drawDevice(
                *scene, {{reversed ? std::vector<DevicePoint>(c.corners.rbegin(), c.corners.rend())
                                   : c.corners,
                          Color(255, 0, 0)}});
            for (int y = 0; y < 280; ++y) {
                for (int x = 0; x < 280; ++x) {
                    ASSERT_EQ(renderer->frameBuffer()->colorAt(x, y),
                              c.inside(x, y) ? kRed : FrameBuffer::kClearColor)
                        << c.corners.size() << (reversed ? " reversed" : "") << " " << x << ","
                        << y;
                }
            }
        }
    }
}

// Triangles are drawn straight from their three edges; any other polygon goes through the
// edge table. A triangle given as the four corners A, B, C, C has the same three edges
// (C-C adds nothing), so both ways must give the same colour and depth in every pixel:
// random triangles with shared, smoothly lit corners, some with a horizontal edge, some
// reaching past every side of the viewport.
TEST(ScanlineRendererTest, TrianglesMatchTheEdgeTableInEveryPixel) {
    std::mt19937 random(20261208);
    const auto uniform = [&random](int low, int high) {
        return low + static_cast<int>(random() % static_cast<unsigned>(high - low + 1));
    };
    const auto real = [&random] { return static_cast<double>(random() % 2001) / 1000.0 - 1.0; };
    auto scene = test::makeScene();
    scene->setAmbient(0.2);
    SceneObject& object = test::addObject(*scene, std::vector<Vector>(60));
    object.setSpecular(0.6);
    object.setShininess(12);
    const auto corner = [&uniform] { return static_cast<std::size_t>(uniform(0, 59)); };
    for (int t = 0; t < 400; ++t) {
        test::addPolygon(object, {corner(), corner(), corner()}, t == 0);
    }
    for (std::size_t i = 0; i < object.vertexCount(); ++i) {
        Vertex& v = *object.vertexAt(i);
        v.setModelPosition(Vector(real(), real(), real()));
        v.setClipPosition(Vector(0.0, 0.0, 0.5, 1.0));
        const int y = uniform(0, 5) == 0 ? 10 * uniform(-2, 30) : uniform(-30, 310);
        v.setDevicePoint(DevicePoint(uniform(-40, 320), y, uniform(0, 255)));
    }
    ImageSurface surface(300, 300);
    ModelTransformStage().run(surface, *scene);
    NormalStage().run(surface, *scene);
    scene->deviceMapping()->fit(surface.clientRect(), 10);
    for (const RenderMode mode : {RenderMode::Gouraud, RenderMode::Phong}) {
        auto pipeline = makePipeline(mode);
        auto* renderer = dynamic_cast<ScanlineRenderer*>(pipeline->renderer());
        ASSERT_NE(renderer, nullptr);
        for (const auto& polygon : object.surfaces().front()->polygons()) {
            polygon->clearClipped();
        }
        renderer->draw(surface, *scene);
        const FrameBuffer triangles = *renderer->frameBuffer();
        for (const auto& polygon : object.surfaces().front()->polygons()) {
            for (std::size_t i = 0; i < 4; ++i) {
                polygon->setClippedVertexAt(
                    i, std::make_unique<Vertex>(*polygon->vertexAt(i < 3 ? i : 2)));
            }
            polygon->setClippedCount(4);
        }
        renderer->draw(surface, *scene);
        const FrameBuffer& quads = *renderer->frameBuffer();
        int covered = 0;
        for (int i = 0; i < 280 * 280; ++i) {
            const int x = i % 280;
            const int y = i / 280;
            ASSERT_EQ(std::pair(triangles.colorAt(x, y), triangles.depthAt(x, y)),
                      std::pair(quads.colorAt(x, y), quads.depthAt(x, y)))
                << renderModeName(mode) << " " << x << "," << y;
            covered += quads.depthAt(x, y) != FrameBuffer::kClearDepth;
        }
        EXPECT_GT(covered, 280 * 280 / 2) << renderModeName(mode);
    }
}

// Writes beyond the image are dropped or cut. An opaque surface stores 0xFF in every high
// byte, whatever writes the pixel, so a window can show the buffer as R, G, B, 255 bytes;
// the colours read back are the same, and a stray high byte is never kept.
TEST(ImageSurfaceTest, WritesAreCutToTheImageAndOpaqueSurfacesSetTheHighByte) {
    const std::uint32_t W = ImageSurface::kWhite;
    const std::uint32_t row[] = {1, 2, 3, 4, 5, 6, 0xAB000007u};
    const std::vector<std::uint32_t> expected = {0xFFu, W, W, 1, 2, 3, 4, 5, 6, 7, 0, 0, W, W, W};
    for (const auto& [highByte, high] : {std::pair{ImageSurface::HighByte::Zero, 0u},
                                         {ImageSurface::HighByte::Opaque, 0xFF000000u}}) {
        ImageSurface image(5, 3, highByte);
        for (const auto& [x, y] : {std::pair{-1, 0}, {5, 0}, {0, 3}, {0, -1}}) {
            image.setPixel(x, y, 1);
        }
        for (const auto& [x, y] : {std::pair{0, 3}, {6, 0}, {-9, 0}, {-2, 1}, {3, 0}}) {
            image.setPixelRow(x, y, row, 7);
        }
        image.setPixel(0, 0, 0xFF0000FFu);
        image.moveTo(0, 2);
        image.lineTo(2, 2);  // the end point itself is left out
        for (std::size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(image.pixel(static_cast<int>(i % 5), static_cast<int>(i / 5)), expected[i]);
            EXPECT_EQ(image.pixels()[i], expected[i] | high) << i;
        }
        image.fill(0xAB123456u);
        EXPECT_EQ(image.pixels(), std::vector<std::uint32_t>(15, 0x123456u | high));
    }
}

}  // namespace
}  // namespace kel
