#include "render/image_surface.h"
#include "render/render_pipeline.h"
#include "tree_test_support.h"

namespace kel {
namespace {

TEST_F(TreeViewTest, DocumentWithoutSceneShowsFiveRootsThatStayEmpty) {
    openScene("");
    for (int i = 0; i < view->topLevelItemCount(); ++i) {
        EXPECT_EQ(view->topLevelItem(i)->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
        EXPECT_EQ(open(view->topLevelItem(i))->childCount(), 0);
    }
    EXPECT_EQ(texts(view->invisibleRootItem()),
              (Texts{"Camera", "Frustum", "Light", "Ambient", "Objects"}));
    document.updateAllViews(nullptr, 0);
    EXPECT_EQ(view->topLevelItemCount(), 5);
    view.reset();
    EXPECT_TRUE(document.views().empty());
}

TEST_F(TreeViewTest, EachLevelIsBuiltOnlyWhenOpened) {
    openScene(twoObjectScene());
    EXPECT_EQ(root(TreeItemKind::Objects)->childCount(), 0);
    EXPECT_EQ(texts(openPath("Objects")), (Texts{"chair.obj", "table.obj"}));
    QTreeWidgetItem* chair = child(root(TreeItemKind::Objects), "chair.obj");
    EXPECT_EQ(chair->childCount(), 0);
    EXPECT_EQ(texts(open(chair)),
              (Texts{"Rotation", "Scaling", "Translation", "Color", "Diffuse", "Specular",
                     "Shininess", "Modeling Transform", "Vertices", "Surfaces"}));
    // Values come with their labels; lists wait for their own opening.
    EXPECT_EQ(texts(child(chair, "Color")), (Texts{" 10  20  30"}));
    EXPECT_EQ(child(chair, "Vertices")->childCount(), 0);
    EXPECT_EQ(texts(open(child(chair, "Surfaces"))), (Texts{"Surface 0", "Surface 1"}));
    EXPECT_EQ(texts(openPath("Objects/chair.obj/Surfaces/Surface 0/Polygon 0/Vertices")),
              (Texts{"4 7 9 "}));
    // The reader gave the second surface its own copies of 4 and 9.
    const Texts vertices = texts(open(child(chair, "Vertices")));
    EXPECT_EQ(vertices.size(), 6u);
    EXPECT_EQ(vertices.at(1), "   4,    1.500   -2.000    0.125");
    // The light's three values open with it; other roots leave their children closed.
    QTreeWidgetItem* light = openPath("Light");
    for (const char* name : {"Direction", "Intensity", "Color"}) {
        EXPECT_TRUE(child(light, name)->isExpanded()) << name;
    }
    EXPECT_EQ(texts(child(light, "Color")), (Texts{"255   0   7"}));
    EXPECT_FALSE(child(openPath("Camera"), "From")->isExpanded());
}

TEST_F(TreeViewTest, VisibilityShowsWhatTheLastCulledRenderLeft) {
    openScene(twoObjectScene());
    ImageSurface surface(400, 400);
    scene().setCullBackFaces(true);
    GouraudPipeline().run(surface, scene());
    QTreeWidgetItem* table = openPath("Objects/table.obj/Surfaces/Surface 0");
    EXPECT_EQ(texts(open(child(table, "Polygon 0"))), (Texts{"Vertices", "Normal", "Not Visible"}));
    EXPECT_EQ(texts(open(child(table, "Polygon 1"))), (Texts{"Vertices", "Normal", "Visible"}));
    EXPECT_EQ(texts(child(child(table, "Polygon 0"), "Normal")),
              (Texts{"   0.000    0.000    1.000"}));
}

TEST_F(TreeViewTest, UpdateReopensOpenRootsWithFreshValuesAndClosesDeeperItems) {
    openScene(twoObjectScene());
    openPath("Light");
    QTreeWidgetItem* chair = openPath("Objects/chair.obj");
    openPath("Camera")->setExpanded(false);
    view->setCurrentItem(chair);
    scene().light()->setColor(Color(1, 2, 3));
    scene().object(0)->setShininess(99);
    // Hints with bit 0 set are not for this view.
    document.updateAllViews(nullptr, 3);
    EXPECT_EQ(texts(child(chair, "Shininess")), (Texts{"12"}));

    document.updateAllViews(nullptr, 0);
    EXPECT_TRUE(root(TreeItemKind::Light)->isExpanded());
    EXPECT_EQ(texts(child(root(TreeItemKind::Light), "Color")), (Texts{"  1   2   3"}));
    EXPECT_TRUE(root(TreeItemKind::Objects)->isExpanded());
    chair = child(root(TreeItemKind::Objects), "chair.obj");
    EXPECT_FALSE(chair->isExpanded());
    EXPECT_EQ(chair->childCount(), 0);
    EXPECT_EQ(texts(child(open(chair), "Shininess")), (Texts{"99"}));
    // A closed root is emptied and rebuilt only when opened again.
    EXPECT_FALSE(root(TreeItemKind::Camera)->isExpanded());
    EXPECT_EQ(root(TreeItemKind::Camera)->childCount(), 0);
    EXPECT_EQ(view->currentItem(), nullptr);
    // The wait cursor and redrawing are back after every build and refresh.
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(view->updatesEnabled());
}

TEST_F(TreeViewTest, ReopenedObjectIsRebuiltButReopenedCameraIsNot) {
    openScene(twoObjectScene());
    QTreeWidgetItem* chair = openPath("Objects/chair.obj");
    QTreeWidgetItem* camera = openPath("Camera");
    scene().object(0)->setColor(Color(255, 0, 7));
    scene().camera()->set(Vector(1.0, 2.0, 3.0), Vector(0.0, 0.0, 5.0), Vector(0.0, 1.0, 0.0));
    chair->setExpanded(false);
    EXPECT_EQ(chair->childCount(), 0);
    EXPECT_EQ(texts(child(open(chair), "Color")), (Texts{"255   0   7"}));
    camera->setExpanded(false);
    EXPECT_EQ(texts(child(open(camera), "From")), (Texts{"   0.000    0.000    0.000"}));
}

}  // namespace
}  // namespace kel
