#include "tree/qt/kel_tree_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <fstream>
#include <sstream>

#include "model/scene.h"
#include "render/image_surface.h"
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
    void openScene(const std::string& path) {
        ASSERT_TRUE(path.empty() ? document.onNewDocument() : document.onOpenDocument(path));
        view = std::make_unique<KelTreeView>(
            document, std::make_unique<testing::FakeEditRequests>(document, chooser));
    }
    Scene& scene() { return *document.scene(); }
    QTreeWidgetItem* root(TreeItemKind kind) { return view->rootItem(kind); }
    void render(RenderPipeline&& pipeline) {
        ImageSurface surface(400, 400);
        scene().setCullBackFaces(true);
        pipeline.run(surface, scene());
    }

    testing::SceneFolder folder;
    testing::RecordingMessages messages;
    testing::FakeColorChooser chooser;
    CKelDoc document{messages};
    std::unique_ptr<KelTreeView> view;
};

TEST_F(KelTreeViewTest, DocumentWithoutSceneShowsFiveRootsThatStayEmpty) {
    openScene("");
    Texts texts;
    for (int i = 0; i < view->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = view->topLevelItem(i);
        texts.push_back(item->text(0).toStdString());
        EXPECT_EQ(item->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
        EXPECT_EQ(open(item)->childCount(), 0);
    }
    EXPECT_EQ(texts, (Texts{"Camera", "Frustum", "Light", "Ambient", "Objects"}));
    document.updateAllViews(nullptr, 0);
    EXPECT_EQ(view->topLevelItemCount(), 5);
    view.reset();
    EXPECT_TRUE(document.views().empty());
}

TEST_F(KelTreeViewTest, EachLevelIsBuiltOnlyWhenOpened) {
    openScene(testing::writeTwoObjectScene(folder));
    EXPECT_EQ(root(TreeItemKind::Objects)->childCount(), 0);
    QTreeWidgetItem* objects = open(root(TreeItemKind::Objects));
    EXPECT_EQ(childTexts(objects), (Texts{"chair.obj", "table.obj"}));
    QTreeWidgetItem* chair = childNamed(objects, "chair.obj");
    EXPECT_EQ(chair->childCount(), 0);
    EXPECT_EQ(childTexts(open(chair)),
              (Texts{"Rotation", "Scaling", "Translation", "Color", "Diffuse", "Specular",
                     "Shininess", "Modeling Transform", "Vertices", "Surfaces"}));
    // Values come with their labels; lists wait for their own opening.
    EXPECT_EQ(childTexts(childNamed(chair, "Color")), (Texts{" 10  20  30"}));
    EXPECT_EQ(childTexts(childNamed(chair, "Modeling Transform")).back(),
              "   1.000    0.000    0.000    1.000");
    EXPECT_EQ(childNamed(chair, "Vertices")->childCount(), 0);
    EXPECT_EQ(childTexts(open(childNamed(chair, "Surfaces"))), (Texts{"Surface 0", "Surface 1"}));
    QTreeWidgetItem* polygon =
        openPath(*view, {"Objects", "chair.obj", "Surfaces", "Surface 0", "Polygon 0"});
    EXPECT_EQ(childTexts(polygon), (Texts{"Vertices", "Normal", "Visible"}));
    EXPECT_EQ(childTexts(childNamed(polygon, "Vertices")), (Texts{"4 7 9 "}));
    // The reader gave the second surface its own copies of 4 and 9, at the front.
    EXPECT_EQ(childTexts(open(childNamed(chair, "Vertices"))),
              (Texts{"   9,   -1.000    0.000    0.000", "   4,    1.500   -2.000    0.125",
                     "   4,    1.500   -2.000    0.125", "   7,    0.000    1.000    0.000",
                     "   9,   -1.000    0.000    0.000", "  11,    0.000   -1.000    0.000"}));
    // The light's three values open with it; other roots leave their children closed.
    QTreeWidgetItem* light = open(root(TreeItemKind::Light));
    for (const char* child : {"Direction", "Intensity", "Color"}) {
        EXPECT_TRUE(childNamed(light, child)->isExpanded()) << child;
    }
    EXPECT_EQ(childTexts(childNamed(light, "Color")), (Texts{"255   0   7"}));
    EXPECT_FALSE(childNamed(open(root(TreeItemKind::Camera)), "From")->isExpanded());
}

TEST_F(KelTreeViewTest, DerivedValuesShowWhatTheLastRenderLeft) {
    openScene(testing::writeTwoObjectScene(folder));
    render(GouraudPipeline());
    QTreeWidgetItem* table = openPath(*view, {"Objects", "table.obj", "Surfaces", "Surface 0"});
    QTreeWidgetItem* away = open(childNamed(table, "Polygon 0"));
    QTreeWidgetItem* facing = open(childNamed(table, "Polygon 1"));
    EXPECT_EQ(childTexts(away), (Texts{"Vertices", "Normal", "Not Visible"}));
    EXPECT_EQ(childTexts(childNamed(away, "Normal")), (Texts{"   0.000    0.000    1.000"}));
    EXPECT_EQ(childTexts(facing), (Texts{"Vertices", "Normal", "Visible"}));
    EXPECT_EQ(childTexts(childNamed(facing, "Normal")), (Texts{"   0.000    0.000   -1.000"}));
}

TEST_F(KelTreeViewTest, UpdateReopensOpenRootsWithFreshValuesAndClosesDeeperItems) {
    openScene(testing::writeTwoObjectScene(folder));
    open(root(TreeItemKind::Light));
    QTreeWidgetItem* chair = openPath(*view, {"Objects", "chair.obj", "Surfaces"})->parent();
    open(root(TreeItemKind::Camera))->setExpanded(false);
    view->setCurrentItem(chair);
    scene().light()->setColor(Color(1, 2, 3));
    scene().object(0)->setShininess(99);
    // Hints with bit 0 set are not for this view.
    document.updateAllViews(nullptr, 1);
    document.updateAllViews(nullptr, 3);
    EXPECT_TRUE(chair->isExpanded());
    EXPECT_EQ(childTexts(childNamed(chair, "Shininess")), (Texts{"12"}));

    document.updateAllViews(nullptr, 0);
    QTreeWidgetItem* light = root(TreeItemKind::Light);
    EXPECT_TRUE(light->isExpanded());
    EXPECT_EQ(childTexts(childNamed(light, "Color")), (Texts{"  1   2   3"}));
    EXPECT_TRUE(root(TreeItemKind::Objects)->isExpanded());
    QTreeWidgetItem* freshChair = childNamed(root(TreeItemKind::Objects), "chair.obj");
    EXPECT_FALSE(freshChair->isExpanded());
    EXPECT_EQ(freshChair->childCount(), 0);
    // A closed root is emptied and rebuilt only when opened again.
    EXPECT_FALSE(root(TreeItemKind::Camera)->isExpanded());
    EXPECT_EQ(root(TreeItemKind::Camera)->childCount(), 0);
    EXPECT_EQ(view->currentItem(), nullptr);
    EXPECT_EQ(childTexts(childNamed(open(freshChair), "Shininess")), (Texts{"99"}));
    // The wait cursor and redrawing are back after every build and refresh.
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(view->updatesEnabled());
}

TEST_F(KelTreeViewTest, ReopenedObjectIsRebuiltButReopenedCameraIsNot) {
    openScene(testing::writeTwoObjectScene(folder));
    QTreeWidgetItem* chair = openPath(*view, {"Objects", "chair.obj"});
    QTreeWidgetItem* camera = open(root(TreeItemKind::Camera));
    scene().object(0)->setColor(Color(255, 0, 7));
    scene().camera()->set(Vector(1.0, 2.0, 3.0), Vector(0.0, 0.0, 5.0), Vector(0.0, 1.0, 0.0));
    chair->setExpanded(false);
    EXPECT_EQ(chair->childCount(), 0);
    EXPECT_EQ(childTexts(childNamed(open(chair), "Color")), (Texts{"255   0   7"}));
    camera->setExpanded(false);
    EXPECT_EQ(childTexts(childNamed(open(camera), "From")), (Texts{"   0.000    0.000    0.000"}));
}

TEST_F(KelTreeViewTest, LabelEditsStartButNeverChangeTheText) {
    openScene(testing::writeTwoObjectScene(folder));
    view->show();
    QTreeWidgetItem* chair = childNamed(open(root(TreeItemKind::Objects)), "chair.obj");
    view->setCurrentItem(chair);
    view->editItem(chair);
    auto* editor = view->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->setText("renamed.obj");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(editor, &enter);
    EXPECT_EQ(chair->text(0).toStdString(), "chair.obj");
    EXPECT_EQ(scene().object(0)->name(), "chair.obj");
}

void dumpOpened(QTreeWidgetItem* item, std::size_t depth, std::string& text) {
    text += std::string(depth * 2, ' ') + item->text(0).toStdString() + '\n';
    item->setExpanded(true);
    for (int i = 0; i < item->childCount(); ++i) {
        dumpOpened(item->child(i), depth + 1, text);
    }
}

// The view and kel-render --tree share one builder; after the same render they agree.
TEST_F(KelTreeViewTest, FullyOpenedViewShowsWhatKelRenderPrints) {
    openScene(KEL_EXAMPLES_DIR "/cube.kel");
    render(PhongPipeline());
    std::string text;
    for (int i = 0; i < view->topLevelItemCount(); ++i) {
        dumpOpened(view->topLevelItem(i), 0, text);
    }
    std::ifstream expected(KEL_TEST_DATA_DIR "/tree/cube.txt");
    std::stringstream expectedText;
    expectedText << expected.rdbuf();
    EXPECT_EQ(text, expectedText.str());
}

}  // namespace
}  // namespace kel
