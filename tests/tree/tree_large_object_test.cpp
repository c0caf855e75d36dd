#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <iostream>
#include <sstream>

#include "model/scene.h"
#include "tree/qt/kel_tree_view.h"
#include "tree_view_support.h"

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
    for (int row = 0; row < points; ++row) {
        for (int column = 0; column < points; ++column) {
            out << row * points + column << ' ' << column * 0.01 << ' ' << row * 0.01 << " 5\n";
        }
    }
    out << "1\n" << side * side << '\n';
    for (int row = 0; row < side; ++row) {
        for (int column = 0; column < side; ++column) {
            const int corner = row * points + column;
            out << "4 " << corner << ' ' << corner + 1 << ' ' << corner + points + 1 << ' '
                << corner + points << '\n';
        }
    }
    return out.str();
}

// Opening the big lists stays quick because nothing below them exists until asked for.
TEST(TreeLargeObjectTest, FortyThousandQuadsOpenQuickly) {
    testing::SceneFolder folder;
    folder.write("grid.obj", gridObjectFile(200));
    const std::string path = folder.write("grid.kel",
                                          "0 0 0 0 0 5 0 1 0 1 11 1 1 255 255 255 0 0 1 0.2 1\n"
                                          "grid.obj 0 0 0 1 1 1 0 0 0 100 100 100 0.5 0.5 8\n");
    testing::RecordingMessages messages;
    testing::FakeColorChooser chooser;
    CKelDoc document(messages);
    ASSERT_TRUE(document.onOpenDocument(path));
    KelTreeView view(document, std::make_unique<testing::FakeEditRequests>(document, chooser));
    view.resize(400, 600);
    view.show();

    QTreeWidgetItem* grid = testing::openPath(view, {"Objects", "grid.obj"});
    QElapsedTimer clock;
    clock.start();
    QTreeWidgetItem* vertices = testing::open(testing::childNamed(grid, "Vertices"));
    const qint64 verticesMs = clock.restart();
    QTreeWidgetItem* surface =
        testing::openPath(view, {"Objects", "grid.obj", "Surfaces", "Surface 0"});
    const qint64 surfaceMs = clock.restart();
    ASSERT_NE(vertices, nullptr);
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(vertices->childCount(), 201 * 201);
    EXPECT_EQ(surface->child(39999)->text(0).toStdString(), "Polygon 39999");
    EXPECT_EQ(surface->child(0)->childCount(), 0);
    clock.restart();
    document.updateAllViews(nullptr, 0);
    const qint64 refreshMs = clock.elapsed();
    std::cout << "[ MEASURED ] 40401 vertices opened in " << verticesMs << " ms, 40000 polygons in "
              << surfaceMs << " ms, refresh in " << refreshMs << " ms\n";
    EXPECT_LT(verticesMs, kQuickMs);
    EXPECT_LT(surfaceMs, kQuickMs);
    EXPECT_LT(refreshMs, kQuickMs);
}

}  // namespace
}  // namespace kel
