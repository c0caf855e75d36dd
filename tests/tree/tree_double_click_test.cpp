#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMouseEvent>

#include "model/scene.h"
#include "tree/qt/kel_tree_view.h"
#include "tree_view_support.h"

namespace kel {
namespace {

using testing::childNamed;
using testing::childTexts;
using testing::open;
using testing::openPath;
using Path = std::vector<std::string>;
using Texts = std::vector<std::string>;

class TreeDoubleClickTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(document.onOpenDocument(testing::writeTwoObjectScene(folder)));
        auto fake = std::make_unique<testing::FakeEditRequests>(document, chooser);
        requests = fake.get();
        view = std::make_unique<KelTreeView>(document, std::move(fake));
        view->resize(600, 2000);
        view->show();
        document.addView(&counter);
    }
    void TearDown() override { document.removeView(&counter); }

    void send(QEvent::Type type, const QPoint& point, Qt::MouseButton button = Qt::LeftButton) {
        QMouseEvent event(type, QPointF(point), view->viewport()->mapToGlobal(QPointF(point)),
                          button, type == QEvent::MouseButtonRelease ? Qt::NoButton : button,
                          Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &event);
    }
    QPoint labelPoint(QTreeWidgetItem* item) {
        view->scrollToItem(item);
        const QRect cell = view->visualItemRect(item);
        return {cell.left() + 4, cell.center().y()};
    }
    // Double-clicks the label of the item at the end of the path, opening the items above.
    Texts doubleClick(const Path& path) {
        QTreeWidgetItem* item =
            path.size() == 1
                ? testing::topLevelNamed(*view, path.front())
                : childNamed(openPath(*view, Path(path.begin(), path.end() - 1)), path.back());
        if (item == nullptr) {
            return {"missing"};
        }
        requests->log.clear();
        send(QEvent::MouseButtonDblClick, labelPoint(item));
        return requests->log;
    }

    testing::SceneFolder folder;
    testing::RecordingMessages messages;
    testing::FakeColorChooser chooser;
    testing::CountingView counter;
    CKelDoc document{messages};
    testing::FakeEditRequests* requests = nullptr;
    std::unique_ptr<KelTreeView> view;
};

TEST_F(TreeDoubleClickTest, EachKindOpensItsEditorOrNothing) {
    const Path polygon = {"Objects", "chair.obj", "Surfaces", "Surface 0", "Polygon 0"};
    const auto below = [](Path path, std::initializer_list<std::string> more) {
        path.insert(path.end(), more);
        return path;
    };
    // clang-format off
    const std::vector<std::pair<Path, std::string>> table = {
        {{"Camera"}, "camera"}, {{"Camera", "From"}, "camera"}, {{"Camera", "To"}, "camera"},
        {{"Camera", "Approx. Up"}, "camera"}, {{"Frustum"}, "frustum"},
        {{"Frustum", "Near"}, "frustum"}, {{"Frustum", "Far"}, "frustum"},
        {{"Frustum", "Height"}, "frustum"}, {{"Light"}, "light"},
        {{"Light", "Direction"}, "light"}, {{"Light", "Intensity"}, "light"},
        {{"Ambient"}, "ambient"}, {{"Ambient", "   0.250"}, "ambient"},
        {{"Objects", "chair.obj"}, "object chair.obj"},
        // Derived values, geometry and plain values open nothing.
        {{"Camera", "Normal"}, ""}, {{"Camera", "Actual Up"}, ""}, {{"Camera", "U"}, ""},
        {{"Camera", "View Transform"}, ""}, {{"Camera", "From", "   0.000    0.000    0.000"}, ""},
        {{"Frustum", "Perspective Transform"}, ""}, {{"Frustum", "Near", "   1.000"}, ""},
        {{"Objects"}, ""}, {{"Objects", "chair.obj", "Modeling Transform"}, ""},
        {{"Objects", "chair.obj", "Shininess", "12"}, ""},
        {{"Objects", "chair.obj", "Vertices", "   7,    0.000    1.000    0.000"}, ""},
        {{"Objects", "chair.obj", "Surfaces", "Surface 0"}, ""}, {polygon, ""},
        {below(polygon, {"Vertices"}), ""}, {below(polygon, {"Vertices", "4 7 9 "}), ""},
        {below(polygon, {"Normal"}), ""}, {below(polygon, {"Visible"}), ""},
    };
    // clang-format on
    for (const auto& [path, editor] : table) {
        EXPECT_EQ(doubleClick(path), editor.empty() ? Texts{} : Texts{editor}) << path.back();
    }
    for (const char* item : {"Rotation", "Scaling", "Translation", "Diffuse", "Specular",
                             "Shininess", "Vertices", "Surfaces"}) {
        EXPECT_EQ(doubleClick({"Objects", "table.obj", item}), Texts{"object table.obj"}) << item;
    }
    // The fake dialogs change nothing, so nothing was updated or marked.
    EXPECT_EQ(counter.updates, 0);
    EXPECT_FALSE(document.isModified());
}

TEST_F(TreeDoubleClickTest, ChosenColourReachesTheModelEvenWhenUnchanged) {
    chooser.answer = {1, 2, 3};
    EXPECT_EQ(doubleClick({"Objects", "chair.obj", "Color", " 10  20  30"}),
              Texts{"object color chair.obj"});
    EXPECT_EQ(chooser.offered, (std::array<std::uint8_t, 3>{10, 20, 30}));
    EXPECT_EQ(document.scene()->object(0)->color(), Color(1, 2, 3));
    EXPECT_EQ(document.scene()->object(1)->color(), Color(200, 100, 50));
    EXPECT_EQ(counter.updates, 1);
    EXPECT_TRUE(document.isModified());
    // The update rebuilt the tree: the open root shows the object closed again.
    QTreeWidgetItem* chair = childNamed(view->rootItem(TreeItemKind::Objects), "chair.obj");
    EXPECT_FALSE(chair->isExpanded());
    EXPECT_EQ(childTexts(childNamed(open(chair), "Color")), Texts{"  1   2   3"});

    chooser.answer = {255, 0, 7};
    EXPECT_EQ(doubleClick({"Light", "Color", "255   0   7"}), Texts{"light color"});
    EXPECT_EQ(doubleClick({"Light", "Color"}), Texts{"light color"});
    EXPECT_EQ(document.scene()->light()->color(), Color(255, 0, 7));
    EXPECT_EQ(counter.updates, 3);
}

TEST_F(TreeDoubleClickTest, CancelledColourLeavesEverythingAlone) {
    chooser.accept = false;
    EXPECT_EQ(doubleClick({"Objects", "table.obj", "Color"}), Texts{"object color table.obj"});
    EXPECT_EQ(chooser.calls, 1);
    EXPECT_EQ(document.scene()->object(1)->color(), Color(200, 100, 50));
    EXPECT_EQ(counter.updates, 0);
    EXPECT_FALSE(document.isModified());
    EXPECT_TRUE(childNamed(view->rootItem(TreeItemKind::Objects), "table.obj")->isExpanded());
}

TEST_F(TreeDoubleClickTest, OnlyTheItemItselfCountsAndNothingExpandsOrCollapses) {
    QTreeWidgetItem* objects = open(view->rootItem(TreeItemKind::Objects));
    QTreeWidgetItem* chair = childNamed(objects, "chair.obj");
    view->scrollToItem(chair);
    const QRect cell = view->visualItemRect(chair);
    const int y = cell.center().y();
    requests->log.clear();
    send(QEvent::MouseButtonDblClick, {cell.left() + 400, y});  // right of the label
    send(QEvent::MouseButtonDblClick, {cell.left() - view->indentation() - 2, y});  // indent
    send(QEvent::MouseButtonDblClick, {cell.left() + 4, view->viewport()->height() - 2});
    send(QEvent::MouseButtonDblClick, labelPoint(chair), Qt::RightButton);
    EXPECT_EQ(requests->log, Texts{});
    // The expand button counts, and the item stays as it was.
    send(QEvent::MouseButtonDblClick, {cell.left() - view->indentation() / 2, y});
    EXPECT_EQ(requests->log, Texts{"object chair.obj"});
    EXPECT_FALSE(chair->isExpanded());
    EXPECT_EQ(chair->childCount(), 0);
    send(QEvent::MouseButtonDblClick, labelPoint(objects));
    EXPECT_TRUE(objects->isExpanded());
}

TEST_F(TreeDoubleClickTest, DoubleClickOnASelectedItemStartsNoLabelEdit) {
    QTreeWidgetItem* chair = childNamed(open(view->rootItem(TreeItemKind::Objects)), "chair.obj");
    view->setCurrentItem(chair);
    const QPoint point = labelPoint(chair);
    send(QEvent::MouseButtonPress, point);
    send(QEvent::MouseButtonRelease, point);
    send(QEvent::MouseButtonDblClick, point);
    send(QEvent::MouseButtonRelease, point);
    EXPECT_EQ(requests->log, Texts{"object chair.obj"});
    // The first click scheduled a label edit for after the double-click interval.
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < QApplication::doubleClickInterval() + 200) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_EQ(view->findChild<QLineEdit*>(), nullptr);
}

}  // namespace
}  // namespace kel
