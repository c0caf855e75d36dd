#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QUndoGroup>
#include <QUndoStack>
#include <QWheelEvent>
#include <cmath>

#include "app/app_fixture.h"
#include "app/dialogs/options_commands.h"
#include "app/kel_view.h"
#include "app/surface_image.h"
#include "app/undo_journal.h"
#include "model/camera.h"
#include "model/camera_moves.h"
#include "model/device_mapping.h"
#include "model/scene.h"
#include "model/scene_object.h"
#include "render/image_surface.h"
#include "render/pixel_probe.h"
#include "render/render_mode.h"
#include "render/shading.h"
#include "tree/qt/kel_tree_view.h"
#include "tree/tree_item_data.h"

namespace kel::test {
namespace {

void sendMouse(QWidget& target, QEvent::Type type, const QPoint& at, Qt::MouseButton button,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    const Qt::MouseButton changed = type == QEvent::MouseMove ? Qt::NoButton : button;
    QMouseEvent event(type, QPointF(at), target.mapToGlobal(QPointF(at)), changed, held, modifiers);
    QApplication::sendEvent(&target, &event);
}

void sendWheel(QWidget& target, const QPoint& at, int angle, Qt::KeyboardModifiers modifiers) {
    QWheelEvent event(QPointF(at), target.mapToGlobal(QPointF(at)), QPoint(), QPoint(0, angle),
                      Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&target, &event);
}

class ViewerTest : public AppTest {
protected:
    static QWidget& pane(KelDataFrame& frame) { return *frame.renderedView().viewport(); }
    static Camera& cameraOf(KelDataFrame& frame) { return *frame.document().scene()->camera(); }

    // Press, move in steps, release: what a hand on the mouse does.
    void drag(KelDataFrame& frame, QPoint from, QPoint to, Qt::MouseButton button,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        sendMouse(pane(frame), QEvent::MouseButtonPress, from, button, modifiers);
        for (int i = 1; i <= 4; ++i) {
            sendMouse(pane(frame), QEvent::MouseMove, from + (to - from) * i / 4, button,
                      modifiers);
        }
        sendMouse(pane(frame), QEvent::MouseButtonRelease, to, button, modifiers);
        settle();
    }
    void click(KelDataFrame& frame, QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        sendMouse(pane(frame), QEvent::MouseButtonPress, at, Qt::LeftButton, modifiers);
        sendMouse(pane(frame), QEvent::MouseButtonRelease, at, Qt::LeftButton, modifiers);
        settle();
    }
    QUndoStack& stackOf(KelDataFrame& frame) { return undoStackOf(frame.document()); }
    QString undoText() { return mainFrame().undoAction().text(); }
    static QImage rendered(KelDataFrame& frame) { return frame.renderedView().renderImage(); }
    static bool posed(KelDataFrame& frame, const CameraPose& pose) {
        return poseOf(cameraOf(frame)) == pose;
    }
    void undo(const char* step) { choose("&Edit", QStringLiteral("&Undo %1").arg(step)); }
};

TEST_F(ViewerTest, ADragOrbitsByHalfADegreePerPixelAndReRendersEveryViewOnRelease) {
    KelDataFrame& first = open("room.kel");
    choose("&View", kPhong);
    KelDataFrame& second = *app().onWindowNew();
    mainFrame().mdiArea().tileSubWindows();
    mainFrame().activateFrame(first);
    settle();
    const CameraPose start = poseOf(cameraOf(first));
    const int firstRenders = first.renderedView().renderCount();
    const int secondRenders = second.renderedView().renderCount();

    const QPoint from(120, 100);
    const QPoint to = from + QPoint(40, -20);
    sendMouse(pane(first), QEvent::MouseButtonPress, from, Qt::LeftButton);
    sendMouse(pane(first), QEvent::MouseMove, to, Qt::LeftButton);
    settle();
    // While dragging only the view under the mouse renders.
    EXPECT_GT(first.renderedView().renderCount(), firstRenders);
    EXPECT_EQ(second.renderedView().renderCount(), secondRenders);
    EXPECT_FALSE(first.document().isModified());
    sendMouse(pane(first), QEvent::MouseButtonRelease, to, Qt::LeftButton);
    settle();

    const std::optional<CameraPose> expected = orbitPose(start, 40, -20);
    ASSERT_TRUE(expected.has_value());
    EXPECT_TRUE(posed(first, *expected));
    EXPECT_GT(second.renderedView().renderCount(), secondRenders);
    EXPECT_TRUE(first.document().isModified());
    EXPECT_EQ(stackOf(first).count(), 1);
    EXPECT_EQ(undoText(), QStringLiteral("&Undo Orbit"));
}

TEST_F(ViewerTest, UndoGivesBackTheExactCameraAndImageAndRedoTheMove) {
    KelDataFrame& frame = open("room.kel");
    choose("&View", kGouraud);
    const CameraPose start = poseOf(cameraOf(frame));
    const QImage before = rendered(frame);

    drag(frame, QPoint(200, 150), QPoint(150, 190), Qt::LeftButton);
    const CameraPose orbited = poseOf(cameraOf(frame));
    const QImage after = rendered(frame);
    EXPECT_FALSE(orbited == start);
    EXPECT_NE(after, before);

    undo("Orbit");
    EXPECT_TRUE(posed(frame, start));
    EXPECT_EQ(rendered(frame), before);
    EXPECT_TRUE(frame.document().isModified());  // undo is an edit like any other
    EXPECT_TRUE(frame.document().scene()->resetVisibility());

    choose("&Edit", "&Redo Orbit");
    EXPECT_TRUE(posed(frame, orbited));
    EXPECT_EQ(rendered(frame), after);
}

TEST_F(ViewerTest, PanAndDollyAreStepsOfTheirOwn) {
    KelDataFrame& frame = open("room.kel");
    const CameraPose start = poseOf(cameraOf(frame));
    drag(frame, QPoint(100, 100), QPoint(130, 90), Qt::MiddleButton);
    const CameraPose panned = poseOf(cameraOf(frame));
    EXPECT_NEAR(((panned.from - panned.to) - (start.from - start.to)).length(), 0.0, 1e-12);
    EXPECT_FALSE(panned.to == start.to);
    EXPECT_EQ(undoText(), QStringLiteral("&Undo Pan"));
    drag(frame, QPoint(100, 100), QPoint(60, 100), Qt::LeftButton, Qt::ShiftModifier);
    EXPECT_EQ(stackOf(frame).count(), 2);
    const CameraPose panned2 = poseOf(cameraOf(frame));

    // Two notches of Ctrl+wheel: 81% of the distance, one step.
    sendWheel(pane(frame), QPoint(50, 50), 120, Qt::ControlModifier);
    sendWheel(pane(frame), QPoint(50, 50), 120, Qt::ControlModifier);
    settle();
    const CameraPose dollied = poseOf(cameraOf(frame));
    const double distance = (panned2.from - panned2.to).length();
    EXPECT_NEAR((dollied.from - dollied.to).length(), distance * 0.81, 1e-9 * distance);
    EXPECT_EQ(stackOf(frame).count(), 3);
    EXPECT_EQ(undoText(), QStringLiteral("&Undo Dolly"));
    // The plain wheel scrolls and leaves the camera alone.
    sendWheel(pane(frame), QPoint(50, 50), -120, Qt::NoModifier);
    EXPECT_TRUE(posed(frame, dollied));

    undo("Dolly");
    EXPECT_TRUE(posed(frame, panned2));
    undo("Pan");
    undo("Pan");
    EXPECT_TRUE(posed(frame, start));
}

TEST_F(ViewerTest, AMoveShorterThanTheDragDistanceIsAClickNotADrag) {
    KelDataFrame& frame = open("room.kel");
    const CameraPose start = poseOf(cameraOf(frame));
    const QPoint at(150, 150);
    const int step = QApplication::startDragDistance() - 1;
    sendMouse(pane(frame), QEvent::MouseButtonPress, at, Qt::LeftButton);
    sendMouse(pane(frame), QEvent::MouseMove, at + QPoint(step, 0), Qt::LeftButton);
    sendMouse(pane(frame), QEvent::MouseButtonRelease, at + QPoint(step, 0), Qt::LeftButton);
    settle();
    EXPECT_TRUE(posed(frame, start));
    EXPECT_EQ(stackOf(frame).count(), 0);
    EXPECT_FALSE(frame.document().isModified());
    EXPECT_FALSE(frame.pickText().isEmpty());
}

// The pick, as the viewer shows it, against the story a separate render of the same file at
// the same size tells (what kel-render --probe prints).
TEST_F(ViewerTest, APickReportsThePixelsPolygonDepthAndColourAndSelectsItInTheTree) {
    for (const auto& [menuText, mode] : {std::pair{"&Phong\tCtl+P", RenderMode::Phong},
                                         std::pair{"&Gouraud\tCtl+G", RenderMode::Gouraud},
                                         std::pair{"&Wireframe\tCtl+W", RenderMode::Wireframe}}) {
        KelDataFrame& frame = open("room.kel");
        choose("&View", QString::fromLatin1(menuText));
        CKelView& view = frame.renderedView();
        const QSize size = view.viewport()->size();
        // Find a pixel some polygon drew, by the story of a separate render.
        CKelDoc direct(messages_);
        ASSERT_TRUE(direct.onOpenDocument(scratch("room.kel")));
        applyViewState(*direct.scene(), mode, false);
        ImageSurface surface(size.width(), size.height());
        makePipeline(mode)->run(surface, *direct.scene());
        QPoint at;
        PixelStory expected;
        for (int y = 40; y < size.height() && expected.kind != PixelStory::Kind::Polygon; y += 7) {
            for (int x = 40; x < size.width(); x += 3) {
                expected = probePixel(*direct.scene(), mode, x, y);
                if (expected.kind == PixelStory::Kind::Polygon) {
                    at = QPoint(x, y);
                    break;
                }
            }
        }
        ASSERT_EQ(expected.kind, PixelStory::Kind::Polygon) << menuText;
        EXPECT_EQ(expected.color, surface.pixel(at.x(), at.y()));

        click(frame, at);
        QStringList lines;
        for (const std::string& line : describePixel(expected)) {
            lines << QString::fromStdString(line);
        }
        EXPECT_EQ(frame.pickText(), lines.join(QStringLiteral(", "))) << menuText;
        EXPECT_EQ(mainFrame().statusBar()->currentMessage(), frame.pickText());
        const QColor shown = rendered(frame).pixelColor(at);
        EXPECT_TRUE(frame.pickText().contains(QStringLiteral("colour: %1 %2 %3")
                                                  .arg(shown.red())
                                                  .arg(shown.green())
                                                  .arg(shown.blue())));

        auto* tree = qobject_cast<KelTreeView*>(&frame.treePane());
        ASSERT_NE(tree, nullptr);
        const TreeItemData* record = KelTreeView::recordOf(tree->currentItem());
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->kind, TreeItemKind::Polygon);
        const Polygon* picked = frame.document()
                                    .scene()
                                    ->object(expected.objectIndex)
                                    ->surfaces()[expected.surfaceIndex]
                                    ->polygons()[expected.polygonIndex];
        EXPECT_EQ(record->polygon, picked);
        EXPECT_FALSE(frame.document().isModified());
        choose("&File", "&Close");
    }
}

TEST_F(ViewerTest, APickBesideTheViewportTellsNothingAndChangesNothing) {
    KelDataFrame& frame = open("room.kel");
    CKelView& view = frame.renderedView();
    click(frame, QPoint(100, 100));
    const QString before = frame.pickText();
    ASSERT_FALSE(before.isEmpty());
    auto* tree = qobject_cast<KelTreeView*>(&frame.treePane());
    const QTreeWidgetItem* selected = tree->currentItem();
    const DeviceMapping& mapping = *frame.document().scene()->deviceMapping();
    for (const QPoint& at : {QPoint(3, 3), QPoint(mapping.margin() - 1, 100),
                             QPoint(100, (mapping.margin() + mapping.side())),
                             QPoint(view.viewport()->width() - 2, 5)}) {
        click(frame, at);
        EXPECT_EQ(frame.pickText(), before);
        EXPECT_EQ(tree->currentItem(), selected);
    }
}

TEST_F(ViewerTest, AScrolledViewPicksThePixelUnderTheMouse) {
    KelDataFrame& frame = open("room.kel");
    choose("&View", kGouraud);
    CKelView& view = frame.renderedView();
    view.horizontalScrollBar()->setValue(37);
    view.verticalScrollBar()->setValue(23);
    settle();
    const QPoint at(150, 190);
    EXPECT_EQ(view.imagePixelAt(at), at + QPoint(37, 23));
    const PixelStory story = view.probeAt(at);
    const Scene& scene = *frame.document().scene();
    const PixelStory direct = probePixel(scene, RenderMode::Gouraud, 187, 213);
    EXPECT_EQ(describePixel(story), describePixel(direct));
    const QColor shown = rendered(frame).pixelColor(187, 213);
    EXPECT_EQ(story.color, packColor(shown.red(), shown.green(), shown.blue()));
}

TEST_F(ViewerTest, CtrlClickMeasuresTheDistanceFromTheLastPick) {
    KelDataFrame& frame = open("room.kel");
    choose("&View", kPhong);
    // Two pixels of the scene a fifth of the viewport apart.
    const QSize size = frame.renderedView().viewport()->size();
    const int side = std::min(size.width(), size.height()) - 20;
    QPoint a;
    QPoint b;
    PixelStory first;
    PixelStory second;
    for (int y = 10 + side / 2; y < 10 + side && !second.hasPoint; y += 5) {
        a = QPoint(10 + side / 5, y);
        b = QPoint(10 + side * 2 / 5, y);
        first = frame.renderedView().probeAt(a);
        second = first.hasPoint ? frame.renderedView().probeAt(b) : PixelStory{};
    }
    ASSERT_TRUE(first.hasPoint && second.hasPoint);
    // A Ctrl+click with nothing picked yet is the first point.
    click(frame, a, Qt::ControlModifier);
    EXPECT_FALSE(frame.pickText().startsWith(QStringLiteral("distance")));
    click(frame, b, Qt::ControlModifier);
    EXPECT_TRUE(frame.pickText().startsWith(
        QStringLiteral("distance: %1, ").arg(pickDistance(first, second), 0, 'g', 6)))
        << frame.pickText().toStdString();
    EXPECT_GT(pickDistance(first, second), 0.0);
    // Measuring again goes from the same first point; a plain click starts anew.
    click(frame, b, Qt::ControlModifier);
    EXPECT_TRUE(frame.pickText().startsWith(QStringLiteral("distance: ")));
    click(frame, b);
    EXPECT_FALSE(frame.pickText().startsWith(QStringLiteral("distance")));
    click(frame, b, Qt::ControlModifier);
    EXPECT_TRUE(frame.pickText().startsWith(QStringLiteral("distance: 0, ")))
        << frame.pickText().toStdString();
}

TEST_F(ViewerTest, ResetViewGivesBackTheOpenedCameraAsOneMoreStep) {
    KelDataFrame& frame = open("room.kel");
    const CameraPose opened = poseOf(cameraOf(frame));
    drag(frame, QPoint(100, 100), QPoint(180, 40), Qt::LeftButton);
    const CameraPose orbited = poseOf(cameraOf(frame));
    choose("&View", "&Reset View");
    EXPECT_TRUE(posed(frame, opened));
    EXPECT_EQ(undoText(), QStringLiteral("&Undo Reset View"));
    undo("Reset View");
    EXPECT_TRUE(posed(frame, orbited));
}

TEST_F(ViewerTest, EveryDialogOkIsOneStepNamedAfterIt) {
    KelDataFrame& frame = open("cube.kel");
    Scene& scene = *frame.document().scene();
    const double near = scene.frustum()->nearPlane();
    const double ambient = scene.ambient();
    answerNextDialog(QStringLiteral("nearPlane"), QStringLiteral("2.5"));
    choose("&Options", "Frustum...\tCtl+F");
    ASSERT_EQ(scene.frustum()->nearPlane(), 2.5);
    EXPECT_EQ(undoText(), QStringLiteral("&Undo Frustum"));
    answerNextDialog(QStringLiteral("ambient"), QStringLiteral("0.75"));
    choose("&Options", "&Ambience...\tCtl+I");
    ASSERT_EQ(scene.ambient(), 0.75);
    EXPECT_EQ(undoText(), QStringLiteral("&Undo Ambient Light"));
    undo("Ambient Light");
    EXPECT_EQ(scene.ambient(), ambient);
    EXPECT_EQ(scene.frustum()->nearPlane(), 2.5);
    undo("Frustum");
    EXPECT_EQ(scene.frustum()->nearPlane(), near);
    EXPECT_TRUE(itemTexts("&Edit", true).contains(QStringLiteral("&Redo Frustum")));

    // The property sheet's OK: the object's translation and its modelling transform return.
    SceneObject& object = *scene.object(0);
    const Vector translation = object.translation();
    const Matrix modeling = object.modelingTransform();
    answerNextDialog(QStringLiteral("translateX"), QStringLiteral("3.5"));
    ASSERT_TRUE(editObjectProperties(&frame, frame.document(), object, messages_, colors_));
    EXPECT_EQ(object.translation().x(), 3.5);
    EXPECT_EQ(undoText(), QStringLiteral("&Undo Properties"));
    undo("Properties");
    EXPECT_TRUE(object.translation() == translation);
    for (std::size_t r = 0; r < 4; ++r) {
        EXPECT_TRUE(object.modelingTransform().row(r) == modeling.row(r)) << r;
    }
}

TEST_F(ViewerTest, EachDocumentHasItsOwnStackAndAClosedOneLeavesNothingToUndo) {
    KelDataFrame& cube = open("cube.kel");
    drag(cube, QPoint(100, 100), QPoint(140, 100), Qt::LeftButton);
    KelDataFrame& room = open("room.kel");
    EXPECT_FALSE(mainFrame().undoAction().isEnabled());  // room has nothing to undo
    mainFrame().activateFrame(cube);
    settle();
    EXPECT_TRUE(mainFrame().undoAction().isEnabled());
    messages_.answers = {false};
    choose("&File", "&Close");
    mainFrame().activateFrame(room);
    settle();
    EXPECT_FALSE(mainFrame().undoAction().isEnabled());
    mainFrame().undoAction().trigger();  // even triggered, it touches nothing freed
    mainFrame().redoAction().trigger();
    settle();
    EXPECT_EQ(mainFrame().undoGroup().stacks().size(), 1);
}

TEST_F(ViewerTest, TheStatusBarShowsTheActiveViewsCountsAndRenderTime) {
    KelDataFrame& frame = open("cube.kel");
    choose("&View", kPhong);
    rendered(frame);
    const CKelView::RenderFigures& figures = frame.renderedView().renderFigures();
    EXPECT_EQ(figures.vertices, frame.document().scene()->object(0)->vertexCount());
    EXPECT_EQ(figures.polygons, 6u);
    EXPECT_EQ(figures.culled, 3u);  // a cube seen from outside shows at most three faces
    EXPECT_TRUE(frame.renderFigures().startsWith(
        QStringLiteral("%1 vertices, 6 polygons, 3 culled, ").arg(figures.vertices)))
        << frame.renderFigures().toStdString();
}

}  // namespace
}  // namespace kel::test
