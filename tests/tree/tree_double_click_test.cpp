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
using Texts = std::vector<std::string>;

class TreeDoubleClickTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::ensureApplication();
        ASSERT_TRUE(document.onOpenDocument(testing::writeTwoObjectScene(folder)));
        auto fake = std::make_unique<testing::FakeEditRequests>(document, chooser);
        requests = fake.get();
        view = std::make_unique<KelTreeView>(document, std::move(fake));
        view->resize(600, 2000);
        view->show();
        document.addView(&counter);
    }
    void TearDown() override { document.removeView(&counter); }

    void doubleClickAt(const QPoint& point) {
        QMouseEvent event(QEvent::MouseButtonDblClick, QPointF(point),
                          view->viewport()->mapToGlobal(QPointF(point)), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &event);
    }
    // A point on the item's text.
    QPoint labelPoint(QTreeWidgetItem* item) {
        view->scrollToItem(item);
        const QRect cell = view->visualItemRect(item);
        return {cell.left() + 4, cell.center().y()};
    }
    // Double-clicks the label of the item at the end of path (opening the items above it)
    // and returns what was asked for.
    Texts doubleClick(const std::vector<std::string>& path) {
        QTreeWidgetItem* item = nullptr;
        if (path.size() == 1) {
            item = view->rootItem(kindOfRoot(path.front()));
        } else {
            std::vector<std::string> parentPath(path.begin(), path.end() - 1);
            item = childNamed(openPath(*view, parentPath), path.back());
        }
        if (item == nullptr) {
            return {"missing"};
        }
        requests->log.clear();
        doubleClickAt(labelPoint(item));
        return requests->log;
    }
    static TreeItemKind kindOfRoot(const std::string& text) {
        if (text == "Camera") return TreeItemKind::Camera;
        if (text == "Frustum") return TreeItemKind::Frustum;
        if (text == "Light") return TreeItemKind::Light;
        if (text == "Ambient") return TreeItemKind::Ambient;
        return TreeItemKind::Objects;
    }

    testing::SceneFolder folder;
    testing::RecordingMessages messages;
    testing::FakeColorChooser chooser;
    testing::CountingView counter;
    CKelDoc document{messages};
    testing::FakeEditRequests* requests = nullptr;
    std::unique_ptr<KelTreeView> view;
};

TEST_F(TreeDoubleClickTest, SettingsItemsOpenTheirDialogs) {
    EXPECT_EQ(doubleClick({"Camera"}), Texts{"camera"});
    EXPECT_EQ(doubleClick({"Camera", "From"}), Texts{"camera"});
    EXPECT_EQ(doubleClick({"Camera", "To"}), Texts{"camera"});
    EXPECT_EQ(doubleClick({"Camera", "Approx. Up"}), Texts{"camera"});
    EXPECT_EQ(doubleClick({"Frustum"}), Texts{"frustum"});
    EXPECT_EQ(doubleClick({"Frustum", "Near"}), Texts{"frustum"});
    EXPECT_EQ(doubleClick({"Frustum", "Far"}), Texts{"frustum"});
    EXPECT_EQ(doubleClick({"Frustum", "Height"}), Texts{"frustum"});
    EXPECT_EQ(doubleClick({"Light"}), Texts{"light"});
    EXPECT_EQ(doubleClick({"Light", "Direction"}), Texts{"light"});
    EXPECT_EQ(doubleClick({"Light", "Intensity"}), Texts{"light"});
    EXPECT_EQ(doubleClick({"Ambient"}), Texts{"ambient"});
    EXPECT_EQ(doubleClick({"Ambient", "   0.250"}), Texts{"ambient"});
}

TEST_F(TreeDoubleClickTest, ObjectItemsOpenThePropertySheetOfThatObject) {
    for (const char* item : {"Rotation", "Scaling", "Translation", "Diffuse", "Specular",
                             "Shininess", "Vertices", "Surfaces"}) {
        EXPECT_EQ(doubleClick({"Objects", "table.obj", item}), Texts{"object table.obj"}) << item;
    }
    EXPECT_EQ(doubleClick({"Objects", "chair.obj"}), Texts{"object chair.obj"});
}

TEST_F(TreeDoubleClickTest, DerivedValuesGeometryAndPlainValuesOpenNothing) {
    const std::vector<std::vector<std::string>> inert = {
        {"Camera", "Normal"},
        {"Camera", "Actual Up"},
        {"Camera", "U"},
        {"Camera", "View Transform"},
        {"Camera", "From", "   0.000    0.000    0.000"},
        {"Frustum", "Perspective Transform"},
        {"Frustum", "Near", "   1.000"},
        {"Light", "Intensity", "   0.800"},
        {"Objects"},
        {"Objects", "chair.obj", "Modeling Transform"},
        {"Objects", "chair.obj", "Shininess", "12"},
        {"Objects", "chair.obj", "Vertices", "   7,    0.000    1.000    0.000"},
        {"Objects", "chair.obj", "Surfaces", "Surface 0"},
        {"Objects", "chair.obj", "Surfaces", "Surface 0", "Polygon 0"},
        {"Objects", "chair.obj", "Surfaces", "Surface 0", "Polygon 0", "Vertices"},
        {"Objects", "chair.obj", "Surfaces", "Surface 0", "Polygon 0", "Vertices", "4 7 9 "},
        {"Objects", "chair.obj", "Surfaces", "Surface 0", "Polygon 0", "Normal"},
        {"Objects", "chair.obj", "Surfaces", "Surface 0", "Polygon 0", "Visible"},
    };
    for (const auto& path : inert) {
        EXPECT_EQ(doubleClick(path), Texts{}) << path.back();
    }
    EXPECT_EQ(counter.updates, 0);
    EXPECT_FALSE(document.isModified());
}

TEST_F(TreeDoubleClickTest, ObjectColourValueEditsThatObjectsColour) {
    chooser.answer[0] = 1;
    chooser.answer[1] = 2;
    chooser.answer[2] = 3;
    EXPECT_EQ(doubleClick({"Objects", "chair.obj", "Color", " 10  20  30"}),
              Texts{"object color chair.obj"});
    EXPECT_EQ(chooser.offered[0], 10);
    EXPECT_EQ(chooser.offered[1], 20);
    EXPECT_EQ(chooser.offered[2], 30);
    EXPECT_EQ(document.scene()->object(0)->color(), Color(1, 2, 3));
    EXPECT_EQ(document.scene()->object(1)->color(), Color(200, 100, 50));
    EXPECT_EQ(counter.updates, 1);
    EXPECT_TRUE(document.isModified());
    // The update rebuilt the tree: the open root shows the object closed again.
    QTreeWidgetItem* chair = childNamed(view->rootItem(TreeItemKind::Objects), "chair.obj");
    EXPECT_FALSE(chair->isExpanded());
    open(chair);
    EXPECT_EQ(childTexts(childNamed(chair, "Color")), Texts{"  1   2   3"});
}

TEST_F(TreeDoubleClickTest, SameColourChosenStillCountsAsAnEdit) {
    chooser.answer[0] = 255;
    chooser.answer[1] = 0;
    chooser.answer[2] = 7;
    EXPECT_EQ(doubleClick({"Light", "Color"}), Texts{"light color"});
    EXPECT_EQ(document.scene()->light()->color(), Color(255, 0, 7));
    EXPECT_EQ(counter.updates, 1);
    EXPECT_TRUE(document.isModified());
    EXPECT_TRUE(document.scene()->resetVisibility());
    EXPECT_EQ(doubleClick({"Light", "Color", "255   0   7"}), Texts{"light color"});
    EXPECT_EQ(counter.updates, 2);
}

TEST_F(TreeDoubleClickTest, CancelledColourLeavesEverythingAlone) {
    chooser.accept = false;
    chooser.answer[0] = 9;
    EXPECT_EQ(doubleClick({"Objects", "table.obj", "Color"}), Texts{"object color table.obj"});
    EXPECT_EQ(chooser.calls, 1);
    EXPECT_EQ(document.scene()->object(1)->color(), Color(200, 100, 50));
    EXPECT_EQ(counter.updates, 0);
    EXPECT_FALSE(document.isModified());
    // No rebuild: the object is still open.
    EXPECT_TRUE(childNamed(view->rootItem(TreeItemKind::Objects), "table.obj")->isExpanded());
}

TEST_F(TreeDoubleClickTest, OnlyTheItemItselfCountsAndNothingExpandsOrCollapses) {
    QTreeWidgetItem* objects = open(view->rootItem(TreeItemKind::Objects));
    QTreeWidgetItem* chair = childNamed(objects, "chair.obj");
    view->scrollToItem(chair);
    const QRect cell = view->visualItemRect(chair);
    requests->log.clear();
    // Far right of the label, on the same row.
    doubleClickAt({cell.left() + 400, cell.center().y()});
    // On the indent, left of the item's own expand button.
    doubleClickAt({cell.left() - view->indentation() - 2, cell.center().y()});
    // Below every item.
    doubleClickAt({cell.left() + 4, view->viewport()->height() - 2});
    EXPECT_EQ(requests->log, Texts{});
    // The expand button counts, and the item stays as it was.
    doubleClickAt({cell.left() - view->indentation() / 2, cell.center().y()});
    EXPECT_EQ(requests->log, Texts{"object chair.obj"});
    EXPECT_FALSE(chair->isExpanded());
    EXPECT_EQ(chair->childCount(), 0);
    requests->log.clear();
    doubleClickAt(labelPoint(objects));
    EXPECT_TRUE(objects->isExpanded());
    EXPECT_EQ(requests->log, Texts{});
}

TEST_F(TreeDoubleClickTest, DoubleClickOnASelectedItemStartsNoLabelEdit) {
    QTreeWidgetItem* objects = open(view->rootItem(TreeItemKind::Objects));
    QTreeWidgetItem* chair = childNamed(objects, "chair.obj");
    view->setCurrentItem(chair);
    const QPoint point = labelPoint(chair);
    const QPointF global = view->viewport()->mapToGlobal(QPointF(point));
    const auto send = [&](QEvent::Type type, Qt::MouseButtons buttons) {
        QMouseEvent event(type, QPointF(point), global, Qt::LeftButton, buttons, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &event);
    };
    send(QEvent::MouseButtonPress, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::NoButton);
    send(QEvent::MouseButtonDblClick, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, Qt::NoButton);
    EXPECT_EQ(requests->log, Texts{"object chair.obj"});
    // A slow second click would start an edit; wait past the double-click interval.
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < QApplication::doubleClickInterval() + 200) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    EXPECT_EQ(view->findChild<QLineEdit*>(), nullptr);
}

TEST_F(TreeDoubleClickTest, RightButtonDoubleClickOpensNothing) {
    QTreeWidgetItem* camera = view->rootItem(TreeItemKind::Camera);
    const QPoint point = labelPoint(camera);
    QMouseEvent event(QEvent::MouseButtonDblClick, QPointF(point),
                      view->viewport()->mapToGlobal(QPointF(point)), Qt::RightButton,
                      Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &event);
    EXPECT_EQ(requests->log, Texts{});
}

}  // namespace
}  // namespace kel
