#include <QElapsedTimer>
#include <algorithm>
#include <iostream>
#include <sstream>

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

}  // namespace
}  // namespace kel
