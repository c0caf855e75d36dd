#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <numbers>
#include <string>
#include <utility>

#include "bench_document.h"
#include "bench_stats.h"
#include "bumpy_sphere.h"
#include "gl_clip_matrix.h"
#include "image_coverage.h"
#include "model/camera.h"
#include "model/light.h"
#include "model/matrix.h"
#include "model/scene.h"
#include "model/scene_object.h"
#include "peer_geometry.h"
#include "render/image_surface.h"
#include "render/render_mode.h"

namespace kel::bench {
namespace {

// Column-major matrix times the column (x, y, z, 1).
std::array<double, 4> columnTimes(const std::array<double, 16>& m, const Vector& p) {
    std::array<double, 4> r{};
    for (int row = 0; row < 4; ++row) {
        r[row] = m[row] * p.x() + m[4 + row] * p.y() + m[8 + row] * p.z() + m[12 + row];
    }
    return r;
}

TEST(GlClipMatrixTest, KeepsKelsClipXYWAndStretchesDepthToMinusWToW) {
    Camera camera;
    camera.set(Vector(1.2, 1.5, 3.4), Vector(0.0, 0.0, 0.0), Vector(0.0, 1.0, 0.0));
    Frustum frustum;
    frustum.set(1.0, 10.0, 0.31);
    const Matrix kel = camera.viewTransform() * frustum.perspectiveTransform();
    const auto gl = glClipMatrix(kel);
    const std::array<Vector, 4> points = {Vector(0.0, 0.0, 0.0), Vector(0.3, -0.7, 0.9),
                                          Vector(-2.0, 5.0, 1.0), Vector(1.2, 1.5, 3.4)};
    for (const Vector& p : points) {
        const Vector k = Vector(p.x(), p.y(), p.z(), 1.0) * kel;
        const auto g = columnTimes(gl, p);
        EXPECT_NEAR(g[0], k.x(), 1e-12);
        EXPECT_NEAR(g[1], k.y(), 1e-12);
        EXPECT_NEAR(g[2], 2.0 * k.z() - k.w(), 1e-12);
        EXPECT_NEAR(g[3], k.w(), 1e-12);
    }
}

TEST(PeerGeometryTest, CubeFacesKeepTheirOwnVerticesNormalsWindingAndLitColour) {
    BenchDocument document("test");
    ASSERT_TRUE(document.open(KEL_EXAMPLES_DIR "/cube.kel"));
    auto batches = buildPeerBatches(document.scene());
    ASSERT_EQ(batches.size(), 1U);
    const PeerBatch& cube = batches[0];
    // Six one-quad surfaces: no vertex shared across faces, two triangles each.
    EXPECT_EQ(cube.vertices.size(), 6U * 4U * 6U);
    ASSERT_EQ(cube.triangles.size(), 6U * 2U * 3U);
    for (std::size_t t = 0; t < cube.triangles.size(); t += 3) {
        const float* a = &cube.vertices[cube.triangles[t] * 6];
        const float* b = &cube.vertices[cube.triangles[t + 1] * 6];
        const float* c = &cube.vertices[cube.triangles[t + 2] * 6];
        // Each vertex normal is its face's outward unit normal, and the triangle winds
        // counter-clockwise around it (cross product along the normal).
        const float e1[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
        const float e2[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
        const float cross[3] = {e1[1] * e2[2] - e1[2] * e2[1], e1[2] * e2[0] - e1[0] * e2[2],
                                e1[0] * e2[1] - e1[1] * e2[0]};
        EXPECT_GT(cross[0] * a[3] + cross[1] * a[4] + cross[2] * a[5], 0.0F) << t;
        EXPECT_NEAR(std::abs(a[3]) + std::abs(a[4]) + std::abs(a[5]), 1.0F, 1e-6F);
        EXPECT_GT(a[0] * a[3] + a[1] * a[4] + a[2] * a[5], 0.0F);  // outward
    }
    EXPECT_FLOAT_EQ(cube.litColor[0], 200.0F / 255.0F);
    EXPECT_FLOAT_EQ(cube.diffuse, 0.8F);
    EXPECT_FLOAT_EQ(cube.specular, 0.4F);
    EXPECT_EQ(cube.shininess, 20);

    document.scene().object(0)->setColor(Color(200, 60, 40));
    for (const auto& [light, lit] : {std::pair{Color(255, 255, 255), std::array{200, 60, 40}},
                                     {Color(128, 0, 255), std::array{100, 0, 40}}}) {
        document.scene().light()->setColor(light);
        batches = buildPeerBatches(document.scene());
        ASSERT_EQ(batches.size(), 1U);
        for (int i = 0; i < 3; ++i) {
            EXPECT_FLOAT_EQ(batches[0].litColor[i], static_cast<float>(lit[i] / 255.0)) << i;
        }
    }
}

TEST(ImageCoverageTest, CountsOnlyTheViewportAndComparesColoursWhereBothCover) {
    ImageSurface first(14, 14);
    ImageSurface second(14, 14);
    first.fill(ImageSurface::kBlack);  // the margin too, which must not count
    second.setPixel(2, 2, 0x00101018u);
    second.setPixel(3, 2, 0x00000040u);
    second.setPixel(5, 5, 0x00FFFFFFu);
    Coverage c;
    std::string error;
    ASSERT_TRUE(compareCoverage(first, second, 2, 10, c, error));
    EXPECT_EQ(c.first, 100);
    EXPECT_EQ(c.second, 2);
    EXPECT_EQ(c.both, 2);
    EXPECT_DOUBLE_EQ(c.meanChannelDifference, (0x18 + 0x10 + 0x10 + 0x40) / 6.0);
    EXPECT_EQ(c.farApart, 1);  // only 0x40 is 32 or more away in one channel
    EXPECT_DOUBLE_EQ(c.mismatchShare(), 98.0 / 100.0);

    const ImageSurface blank(14, 14);
    ASSERT_TRUE(compareCoverage(blank, second, 2, 10, c, error));
    EXPECT_DOUBLE_EQ(c.mismatchShare(), 1.0);  // nothing to compare against is all wrong
}

TEST(ImageCoverageTest, RefusesAViewportLargerThanAnImage) {
    const ImageSurface large(20, 20);
    const ImageSurface small(12, 20);
    Coverage c;
    c.first = 7;
    for (const auto& [margin, side] : {std::pair{2, 12}, std::pair{-1, 5}, std::pair{0, 13}}) {
        std::string error;
        EXPECT_FALSE(compareCoverage(large, small, margin, side, c, error)) << margin;
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(c.first, 7);  // left alone
    }
}

TEST(BenchStatsTest, MedianOfOddEvenAndNoValues) {
    EXPECT_DOUBLE_EQ(median({3.0, 1.0, 2.0}), 2.0);
    EXPECT_DOUBLE_EQ(median({4.0, 1.0, 3.0, 2.0}), 2.5);
    EXPECT_DOUBLE_EQ(median({}), 0.0);
}

using Point = std::array<double, 3>;

double tripleProduct(const Point& a, const Point& b, const Point& c) {
    return a[0] * (b[1] * c[2] - b[2] * c[1]) - a[1] * (b[0] * c[2] - b[2] * c[0]) +
           a[2] * (b[0] * c[1] - b[1] * c[0]);
}

TEST(BumpySphereTest, IsAClosedOutwardSurfaceOfTheAnnouncedSize) {
    for (const int f : {1, 2, 5, 12}) {
        SCOPED_TRACE(f);
        const TriangleMesh mesh = makeBumpySphere(f);
        EXPECT_EQ(mesh.triangles.size(), static_cast<std::size_t>(20 * f * f));
        EXPECT_EQ(mesh.positions.size(), static_cast<std::size_t>(10 * f * f + 2));
        // Closed and consistently wound: every edge once in each direction.
        std::map<std::pair<std::uint32_t, std::uint32_t>, int> edges;
        double volume = 0.0;
        for (const auto& t : mesh.triangles) {
            ASSERT_TRUE(t[0] != t[1] && t[1] != t[2] && t[0] != t[2]);
            for (int i = 0; i < 3; ++i) {
                ++edges[{t[i], t[(i + 1) % 3]}];
            }
            volume +=
                tripleProduct(mesh.positions[t[0]], mesh.positions[t[1]], mesh.positions[t[2]]) /
                6.0;
        }
        for (const auto& [edge, count] : edges) {
            ASSERT_EQ(count, 1);
            ASSERT_EQ(edges.count({edge.second, edge.first}), 1U);
        }
        // Counter-clockwise seen from outside gives a positive enclosed volume, near the
        // unit sphere's once the facets are fine enough.
        EXPECT_GT(volume, 0.0);
        if (f >= 5) {
            EXPECT_NEAR(volume, 4.0 / 3.0 * std::numbers::pi, 0.5);
        }
        for (const Point& p : mesh.positions) {
            const double r = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
            ASSERT_TRUE(r >= 0.9 && r <= 1.1) << r;
        }
    }
}

TEST(BumpySphereTest, FrequencyGivesTheNearestTriangleCount) {
    const struct {
        std::int64_t wanted;
        int frequency;
    } cases[] = {{75'000, 61}, {10'000, 22}, {100'000, 71}, {1'000'000, 224}, {20, 1},
                 {0, 1},       {-5, 1},      {9'680, 22},   {10'130, 22},     {10'131, 23}};
    for (const auto& c : cases) {
        EXPECT_EQ(frequencyForTriangles(c.wanted), c.frequency) << c.wanted;
    }
}

// The written files read back as one smooth object that fills about sixty percent.
TEST(WrittenSceneTest, ReadsBackAsOneSmoothObjectThatFillsAboutSixtyPercent) {
    namespace fs = std::filesystem;
    const fs::path dir =
        fs::temp_directory_path() / ("kel-bench-test-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const TriangleMesh mesh = makeBumpySphere(12);
    {
        std::ofstream object(dir / "sphere.obj");
        writeObjectFile(mesh, object);
        std::ofstream scene(dir / "sphere.kel");
        writeSceneFile("sphere.obj", scene);
    }
    const fs::path cwd = fs::current_path();
    BenchDocument document("test");
    const bool opened = document.open((dir / "sphere.kel").string());
    fs::current_path(cwd);
    fs::remove_all(dir);
    ASSERT_TRUE(opened);
    Scene& scene = document.scene();
    ASSERT_EQ(scene.objectCount(), 1U);
    const SceneObject& object = *scene.object(0);
    EXPECT_EQ(object.vertexCount(), mesh.positions.size());
    ASSERT_EQ(object.surfaceCount(), 1U);
    ASSERT_EQ(object.surfaces()[0]->polygons().size(), mesh.triangles.size());
    // Rendered by Kel itself, the sphere covers 55% to 65% of the viewport.
    constexpr int kSide = 200;
    ImageSurface image(kSide + 20, kSide + 20);
    applyViewState(scene, RenderMode::Phong, true);
    makePipeline(RenderMode::Phong)->run(image, scene);
    Coverage c;
    std::string error;
    ASSERT_TRUE(compareCoverage(image, image, 10, kSide, c, error)) << error;
    EXPECT_GT(c.first, kSide * kSide * 55 / 100);
    EXPECT_LT(c.first, kSide * kSide * 65 / 100);
}

}  // namespace
}  // namespace kel::bench
