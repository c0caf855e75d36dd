#include <QElapsedTimer>
#include <algorithm>
#include <cmath>
#include <iostream>
#include <sstream>

#include "model/scene_object.h"
#include "tree_test_support.h"

namespace kel {
namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr qint64 kQuickMs = 3000;  // instrumented builds run several times slower
#else
constexpr qint64 kQuickMs = 1000;
#endif

// A flat grid of side x side quads in one surface, ids row by row.
std::string gridObjectFile(int side) {
    const int points = side + 1;
    std::ostringstream out;
    out << points * points << '\n';
    for (int i = 0; i < points * points; ++i) {
        out << i << ' ' << i % points * 0.01 << ' ' << i / points * 0.01 << " 5\n";
    }
    out << "1\n" << side * side << '\n';
    for (int i = 0; i < side * side; ++i) {
        const int corner = i / side * points + i % side;
        out << "4 " << corner << ' ' << corner + 1 << ' ' << corner + points + 1 << ' '
            << corner + points << '\n';
    }
    return out.str();
}

using TreeLargeObjectTest = TreeViewTest;

// Opening the big lists stays quick because nothing below them exists until asked for.
TEST_F(TreeLargeObjectTest, FortyThousandQuadsOpenQuickly) {
    write("grid.obj", gridObjectFile(200));
    openScene(write("grid.kel",
                    "0 0 0 0 0 5 0 1 0 1 11 1 1 255 255 255 0 0 1 0.2 1\n"
                    "grid.obj 0 0 0 1 1 1 0 0 0 100 100 100 0.5 0.5 8\n"));
    QTreeWidgetItem* grid = openPath("Objects/grid.obj");
    QElapsedTimer clock;
    clock.start();
    QTreeWidgetItem* vertices = open(child(grid, "Vertices"));
    const qint64 verticesMs = clock.restart();
    QTreeWidgetItem* surface = openPath("Objects/grid.obj/Surfaces/Surface 0");
    const qint64 surfaceMs = clock.restart();
    ASSERT_TRUE(vertices != nullptr && surface != nullptr);
    EXPECT_EQ(vertices->childCount(), 201 * 201);
    EXPECT_EQ(surface->child(39999)->text(0).toStdString(), "Polygon 39999");
    EXPECT_EQ(surface->child(0)->childCount(), 0);
    clock.restart();
    document.updateAllViews(nullptr, 0);
    const qint64 refreshMs = clock.elapsed();
    std::cout << "[ MEASURED ] 40401 vertices opened in " << verticesMs << " ms, 40000 polygons in "
              << surfaceMs << " ms, refresh in " << refreshMs << " ms\n";
    EXPECT_LT(std::max({verticesMs, surfaceMs, refreshMs}), kQuickMs);
}

// A bumpy sphere of about 75,000 triangles, as a Wavefront file without smoothing groups.
std::string bumpySphereObj(int rings, int segments) {
    std::ostringstream out;
    out << "v 0 1 0\n";
    for (int i = 1; i < rings; ++i) {
        const double theta = 3.14159265358979 * i / rings;
        for (int j = 0; j < segments; ++j) {
            const double phi = 6.28318530717959 * j / segments;
            const double r = 1 + 0.05 * std::sin(7 * theta) * std::cos(5 * phi);
            out << "v " << r * std::sin(theta) * std::cos(phi) << ' ' << r * std::cos(theta) << ' '
                << r * std::sin(theta) * std::sin(phi) << '\n';
        }
    }
    out << "v 0 -1 0\n";
    const int last = 2 + (rings - 1) * segments;
    const auto at = [&](int i, int j) { return 2 + (i - 1) * segments + j % segments; };
    for (int j = 0; j < segments; ++j) {
        out << "f 1 " << at(1, j + 1) << ' ' << at(1, j) << '\n';
        out << "f " << last << ' ' << at(rings - 1, j) << ' ' << at(rings - 1, j + 1) << '\n';
        for (int i = 1; i + 1 < rings; ++i) {
            out << "f " << at(i, j) << ' ' << at(i, j + 1) << ' ' << at(i + 1, j + 1) << '\n';
            out << "f " << at(i, j) << ' ' << at(i + 1, j + 1) << ' ' << at(i + 1, j) << '\n';
        }
    }
    return out.str();
}

// An opened mesh is an object like any other: its tree opens as quickly.
TEST_F(TreeLargeObjectTest, ASeventyFiveThousandTriangleMeshOpensQuickly) {
    const std::string path = write("bumpy.obj", bumpySphereObj(150, 251));
    QElapsedTimer clock;
    clock.start();
    openScene(path);
    const qint64 openMs = clock.restart();
    QTreeWidgetItem* mesh = openPath("Objects/bumpy.obj");
    QTreeWidgetItem* surfaces = open(child(mesh, "Surfaces"));
    QTreeWidgetItem* vertices = open(child(mesh, "Vertices"));
    const qint64 treeMs = clock.restart();
    ASSERT_TRUE(surfaces != nullptr && vertices != nullptr);
    const SceneObject& object = *document.scene()->object(0);
    std::size_t polygons = 0;
    for (const auto& surface : object.surfaces()) {
        polygons += surface->polygonCount();
    }
    EXPECT_EQ(polygons, 251u * (2u + 2u * 148u));  // two pole fans, 148 bands of quads
    EXPECT_EQ(surfaces->childCount(), static_cast<int>(object.surfaceCount()));
    EXPECT_EQ(vertices->childCount(), static_cast<int>(object.vertexCount()));
    std::cout << "[ MEASURED ] 74798-triangle mesh read and fitted in " << openMs
              << " ms, its object's lists opened in " << treeMs << " ms\n";
    EXPECT_LT(treeMs, kQuickMs);
}

}  // namespace
}  // namespace kel
