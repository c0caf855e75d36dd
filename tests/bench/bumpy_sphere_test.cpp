#include "bumpy_sphere.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <numbers>
#include <utility>

#include "bench_document.h"
#include "image_coverage.h"
#include "model/polygon.h"
#include "model/scene.h"
#include "model/scene_object.h"
#include "render/image_surface.h"
#include "render/render_mode.h"

namespace kel::bench {
namespace {

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
    const auto& polygons = object.surfaces()[0]->polygons();
    ASSERT_EQ(polygons.size(), mesh.triangles.size());
    for (std::size_t i = 0; i < polygons.size(); i += 97) {
        ASSERT_EQ(polygons[i]->vertexCount(), 3U);
        for (std::size_t k = 0; k < 3; ++k) {
            EXPECT_EQ(polygons[i]->vertexAt(k)->id(), static_cast<int>(mesh.triangles[i][k]));
        }
    }
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
