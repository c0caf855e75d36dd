#include "tree/qt/kel_tree_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include "model/scene.h"
#include "render/render_pipeline.h"
#include "tree_view_support.h"

namespace kel {
namespace {

using testing::childNamed;
using testing::childTexts;
using testing::open;
using testing::openPath;
using Texts = std::vector<std::string>;

class KelTreeViewTest : public ::testing::Test {
protected:
    void SetUp() override { testing::ensureApplication(); }

    // Opens the two-object scene and makes a tree view of it.
    void openScene() {
        ASSERT_TRUE(document->onOpenDocument(testing::writeTwoObjectScene(folder)));
        ASSERT_TRUE(messages.errors.empty());
        makeView();
    }
    void makeView() {
        auto fake = std::make_unique<testing::FakeEditRequests>(*document, chooser);
        requests = fake.get();
        view = std::make_unique<KelTreeView>(*document, std::move(fake));
    }
    Scene& scene() { return *document->scene(); }
    QTreeWidgetItem* root(TreeItemKind kind) { return view->rootItem(kind); }

    testing::SceneFolder folder;
    testing::RecordingMessages messages;
    testing::FakeColorChooser chooser;
    std::unique_ptr<CKelDoc> document = std::make_unique<CKelDoc>(messages);
    testing::FakeEditRequests* requests = nullptr;
    std::unique_ptr<KelTreeView> view;
};

TEST_F(KelTreeViewTest, StartsWithFiveEmptyExpandableRoots) {
    openScene();
    ASSERT_EQ(view->topLevelItemCount(), 5);
    Texts texts;
    for (int i = 0; i < 5; ++i) {
        QTreeWidgetItem* item = view->topLevelItem(i);
        texts.push_back(item->text(0).toStdString());
        EXPECT_EQ(item->childCount(), 0);
        EXPECT_EQ(item->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
        EXPECT_FALSE(item->isExpanded());
    }
    EXPECT_EQ(texts, (Texts{"Camera", "Frustum", "Light", "Ambient", "Objects"}));
    EXPECT_EQ(root(TreeItemKind::Light), view->topLevelItem(2));
    view->onInitialUpdate();
    EXPECT_EQ(view->topLevelItemCount(), 5);
}

TEST_F(KelTreeViewTest, DocumentWithoutSceneShowsRootsThatStayEmpty) {
    ASSERT_TRUE(document->onNewDocument());
    makeView();
    for (int i = 0; i < view->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = open(view->topLevelItem(i));
        EXPECT_TRUE(item->isExpanded());
        EXPECT_EQ(item->childCount(), 0) << item->text(0).toStdString();
    }
    document->updateAllViews(nullptr, 0);
    EXPECT_EQ(view->topLevelItemCount(), 5);
    EXPECT_EQ(root(TreeItemKind::Objects)->childCount(), 0);
}

TEST_F(KelTreeViewTest, ObjectsListTheirFilesInSceneOrderAndBuildOnlyWhenOpened) {
    openScene();
    QTreeWidgetItem* objects = open(root(TreeItemKind::Objects));
    EXPECT_EQ(childTexts(objects), (Texts{"chair.obj", "table.obj"}));
    QTreeWidgetItem* chair = childNamed(objects, "chair.obj");
    ASSERT_NE(chair, nullptr);
    EXPECT_EQ(chair->childCount(), 0);
    open(chair);
    EXPECT_EQ(childTexts(chair), (Texts{"Rotation", "Scaling", "Translation", "Color", "Diffuse",
                                        "Specular", "Shininess", "Modeling Transform", "Vertices",
                                        "Surfaces"}));
    // Values come with their labels; lists wait for their own opening.
    EXPECT_EQ(childTexts(childNamed(chair, "Color")), (Texts{" 10  20  30"}));
    EXPECT_EQ(childTexts(childNamed(chair, "Shininess")), (Texts{"12"}));
    EXPECT_EQ(childNamed(chair, "Vertices")->childCount(), 0);
    EXPECT_EQ(childNamed(chair, "Surfaces")->childCount(), 0);
    EXPECT_EQ(view->recordOf(chair)->object, scene().object(0));
}

TEST_F(KelTreeViewTest, SurfacesPolygonsAndCornerListsOfAReadObject) {
    openScene();
    QTreeWidgetItem* surfaces = openPath(*view, {"Objects", "chair.obj", "Surfaces"});
    EXPECT_EQ(childTexts(surfaces), (Texts{"Surface 0", "Surface 1"}));
    QTreeWidgetItem* polygon = openPath(*view, {"Objects", "chair.obj", "Surfaces", "Surface 0",
                                                "Polygon 0"});
    EXPECT_EQ(childTexts(polygon), (Texts{"Vertices", "Normal", "Visible"}));
    EXPECT_EQ(childTexts(childNamed(polygon, "Vertices")), (Texts{"4 7 9 "}));
    EXPECT_EQ(childNamed(polygon, "Visible")->childIndicatorPolicy(),
              QTreeWidgetItem::DontShowIndicator);
    // The reader gave the second surface its own copies of 4 and 9, at the front.
    QTreeWidgetItem* vertices = openPath(*view, {"Objects", "chair.obj", "Vertices"});
    EXPECT_EQ(childTexts(vertices), (Texts{"   9,   -1.000    0.000    0.000",
                                           "   4,    1.500   -2.000    0.125",
                                           "   4,    1.500   -2.000    0.125",
                                           "   7,    0.000    1.000    0.000",
                                           "   9,   -1.000    0.000    0.000",
                                           "  11,    0.000   -1.000    0.000"}));
}

TEST_F(KelTreeViewTest, LightOpensItsThreeValuesAtOnce) {
    openScene();
    QTreeWidgetItem* light = open(root(TreeItemKind::Light));
    EXPECT_EQ(childTexts(light), (Texts{"Direction", "Intensity", "Color"}));
    for (int i = 0; i < light->childCount(); ++i) {
        EXPECT_TRUE(light->child(i)->isExpanded()) << i;
    }
    EXPECT_EQ(childTexts(childNamed(light, "Direction")), (Texts{"   0.000    0.000   -1.000"}));
    EXPECT_EQ(childTexts(childNamed(light, "Intensity")), (Texts{"   0.800"}));
    EXPECT_EQ(childTexts(childNamed(light, "Color")), (Texts{"255   0   7"}));
    // Other roots leave their children closed.
    QTreeWidgetItem* camera = open(root(TreeItemKind::Camera));
    EXPECT_FALSE(childNamed(camera, "From")->isExpanded());
    EXPECT_EQ(childTexts(childNamed(camera, "U")), (Texts{"  -1.000    0.000    0.000"}));
}

TEST_F(KelTreeViewTest, DerivedValuesShowWhatTheLastRenderLeft) {
    openScene();
    scene().setCullBackFaces(true);
    testing::BlankSurface surface;
    GouraudPipeline().run(surface, scene());
    QTreeWidgetItem* table = openPath(*view, {"Objects", "table.obj", "Surfaces", "Surface 0"});
    EXPECT_EQ(childTexts(table), (Texts{"Polygon 0", "Polygon 1"}));
    QTreeWidgetItem* away = open(childNamed(table, "Polygon 0"));
    QTreeWidgetItem* facing = open(childNamed(table, "Polygon 1"));
    EXPECT_EQ(childTexts(away), (Texts{"Vertices", "Normal", "Not Visible"}));
    EXPECT_EQ(childTexts(childNamed(away, "Normal")), (Texts{"   0.000    0.000    1.000"}));
    EXPECT_EQ(childTexts(facing), (Texts{"Vertices", "Normal", "Visible"}));
    EXPECT_EQ(childTexts(childNamed(facing, "Vertices")), (Texts{"0 3 2 "}));
    EXPECT_EQ(childTexts(childNamed(facing, "Normal")), (Texts{"   0.000    0.000   -1.000"}));
}

TEST_F(KelTreeViewTest, UpdateReopensOpenRootsWithFreshValuesAndClosesDeeperItems) {
    openScene();
    open(root(TreeItemKind::Light));
    QTreeWidgetItem* chair = openPath(*view, {"Objects", "chair.obj"});
    open(childNamed(chair, "Surfaces"));
    open(root(TreeItemKind::Camera));
    root(TreeItemKind::Camera)->setExpanded(false);
    view->setCurrentItem(chair);

    scene().light()->setColor(Color(1, 2, 3));
    scene().object(0)->setShininess(99);
    document->updateAllViews(nullptr, 0);

    QTreeWidgetItem* light = root(TreeItemKind::Light);
    EXPECT_TRUE(light->isExpanded());
    EXPECT_EQ(childTexts(childNamed(light, "Color")), (Texts{"  1   2   3"}));
    EXPECT_TRUE(childNamed(light, "Color")->isExpanded());
    QTreeWidgetItem* objects = root(TreeItemKind::Objects);
    EXPECT_TRUE(objects->isExpanded());
    EXPECT_EQ(childTexts(objects), (Texts{"chair.obj", "table.obj"}));
    QTreeWidgetItem* freshChair = childNamed(objects, "chair.obj");
    EXPECT_FALSE(freshChair->isExpanded());
    EXPECT_EQ(freshChair->childCount(), 0);
    // A closed root is emptied and rebuilt only when opened again.
    EXPECT_FALSE(root(TreeItemKind::Camera)->isExpanded());
    EXPECT_EQ(root(TreeItemKind::Camera)->childCount(), 0);
    EXPECT_EQ(view->currentItem(), nullptr);
    EXPECT_TRUE(view->selectedItems().isEmpty());
    open(freshChair);
    EXPECT_EQ(childTexts(childNamed(freshChair, "Shininess")), (Texts{"99"}));
}

TEST_F(KelTreeViewTest, UpdateWithHintBitZeroIsIgnored) {
    openScene();
    QTreeWidgetItem* chair = openPath(*view, {"Objects", "chair.obj"});
    scene().object(0)->setShininess(99);
    document->updateAllViews(nullptr, 1);
    document->updateAllViews(nullptr, 3);
    EXPECT_TRUE(chair->isExpanded());
    EXPECT_EQ(childTexts(childNamed(chair, "Shininess")), (Texts{"12"}));
    // Any even hint refreshes.
    document->updateAllViews(nullptr, 2);
    EXPECT_EQ(childNamed(root(TreeItemKind::Objects), "chair.obj")->childCount(), 0);
}

TEST_F(KelTreeViewTest, ReopenedObjectIsRebuiltButReopenedCameraIsNot) {
    openScene();
    QTreeWidgetItem* chair = openPath(*view, {"Objects", "chair.obj"});
    QTreeWidgetItem* camera = open(root(TreeItemKind::Camera));
    scene().object(0)->setColor(Color(255, 0, 7));
    scene().camera()->set(Vector(1.0, 2.0, 3.0), Vector(0.0, 0.0, 5.0), Vector(0.0, 1.0, 0.0));

    chair->setExpanded(false);
    EXPECT_EQ(chair->childCount(), 0);
    open(chair);
    EXPECT_EQ(childTexts(childNamed(chair, "Color")), (Texts{"255   0   7"}));

    camera->setExpanded(false);
    EXPECT_EQ(camera->childCount(), 7);
    open(camera);
    EXPECT_EQ(childTexts(childNamed(camera, "From")), (Texts{"   0.000    0.000    0.000"}));
}

TEST_F(KelTreeViewTest, LabelEditsStartButNeverChangeTheText) {
    openScene();
    view->show();
    QTreeWidgetItem* objects = open(root(TreeItemKind::Objects));
    QTreeWidgetItem* chair = childNamed(objects, "chair.obj");
    view->setCurrentItem(chair);
    view->editItem(chair);
    auto* editor = view->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText("renamed.obj");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(editor, &enter);
    QApplication::processEvents();
    EXPECT_EQ(chair->text(0).toStdString(), "chair.obj");
    EXPECT_EQ(scene().object(0)->name(), "chair.obj");
}

TEST_F(KelTreeViewTest, BuildsAndRefreshesRestoreCursorAndRedrawing) {
    openScene();
    openPath(*view, {"Objects", "chair.obj", "Surfaces", "Surface 1", "Polygon 0"});
    open(root(TreeItemKind::Light));
    document->updateAllViews(nullptr, 0);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(view->updatesEnabled());
}

TEST_F(KelTreeViewTest, ViewLeavesTheDocumentWhenDestroyed) {
    openScene();
    ASSERT_EQ(document->views().size(), 1u);
    openPath(*view, {"Objects", "table.obj", "Surfaces"});
    view.reset();
    EXPECT_TRUE(document->views().empty());
    document->updateAllViews(nullptr, 0);
}

TEST_F(KelTreeViewTest, RoomExampleListsItsObjectsInFileOrder) {
    ASSERT_TRUE(document->onOpenDocument(KEL_EXAMPLES_DIR "/room.kel"));
    makeView();
    QTreeWidgetItem* objects = open(root(TreeItemKind::Objects));
    EXPECT_EQ(childTexts(objects), (Texts{"floor.obj", "table.obj", "chair.obj", "chair.obj"}));
    // Two records naming one file are two objects.
    EXPECT_NE(view->recordOf(objects->child(2))->object, view->recordOf(objects->child(3))->object);
}

}  // namespace
}  // namespace kel
