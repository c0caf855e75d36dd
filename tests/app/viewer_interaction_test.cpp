#include <QMouseEvent>
#include <QStatusBar>
#include <QUndoGroup>
#include <QUndoStack>
#include <QWheelEvent>

#include "app/app_fixture.h"
#include "app/dialogs/options_commands.h"
#include "model/device_mapping.h"
#include "model/scene_object.h"
#include "model/scene_settings.h"
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

void sendWheel(QWidget& target, int angle, Qt::KeyboardModifiers modifiers) {
    const QPointF at(50, 50);
    QWheelEvent event(at, target.mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&target, &event);
}

class ViewerTest : public AppTest {
protected:
    static QWidget& pane(KelDataFrame& frame) { return *frame.renderedView().viewport(); }
    static CameraPose poseOf(KelDataFrame& frame) {
        return kel::poseOf(*frame.document().scene()->camera());
    }
    // Press, move in steps, release: what a hand on the mouse does.
    static void drag(KelDataFrame& frame, QPoint from, QPoint to, Qt::MouseButton button,
                     Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        sendMouse(pane(frame), QEvent::MouseButtonPress, from, button, modifiers);
        for (int i = 1; i <= 4; ++i) {
            sendMouse(pane(frame), QEvent::MouseMove, from + (to - from) * i / 4, button,
                      modifiers);
        }
        sendMouse(pane(frame), QEvent::MouseButtonRelease, to, button, modifiers);
        settle();
    }
    // A hand is never quite still: pressed a little beside the release, short of a drag.
    static void click(KelDataFrame& frame, QPoint at,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const QPoint press = at + QPoint(QApplication::startDragDistance() - 1, 0);
        sendMouse(pane(frame), QEvent::MouseButtonPress, press, Qt::LeftButton, modifiers);
        sendMouse(pane(frame), QEvent::MouseMove, at, Qt::LeftButton, modifiers);
        sendMouse(pane(frame), QEvent::MouseButtonRelease, at, Qt::LeftButton, modifiers);
        settle();
    }
    QString undoText() { return mainFrame().undoAction().text(); }
    static QImage rendered(KelDataFrame& frame) { return frame.renderedView().renderImage(); }
    void undo(const QString& step) { choose("&Edit", "&Undo " + step); }
};

// An orbit renders only the dragged view until release; it, pan, dolly and Reset View are
// steps of their own that undo exactly.
TEST_F(ViewerTest, CameraGesturesRenderTheDraggedViewAndAreStepsOfTheirOwn) {
    KelDataFrame& first = open("room.kel");
    choose("&View", kPhong);
    KelDataFrame& second = *app().onWindowNew();
    mainFrame().mdiArea().tileSubWindows();
    mainFrame().activateFrame(first);
    settle();
    const CameraPose start = poseOf(first);
    const QImage before = rendered(first);
    const int firstRenders = first.renderedView().renderCount();
    const int secondRenders = second.renderedView().renderCount();

    const QPoint from(120, 100);
    const QPoint to = from + QPoint(40, -20);
    sendMouse(pane(first), QEvent::MouseButtonPress, from, Qt::LeftButton);
    sendMouse(pane(first), QEvent::MouseMove, to, Qt::LeftButton);
    settle();
    EXPECT_GT(first.renderedView().renderCount(), firstRenders);
    EXPECT_EQ(second.renderedView().renderCount(), secondRenders);
    EXPECT_FALSE(first.document().isModified());
    sendMouse(pane(first), QEvent::MouseButtonRelease, to, Qt::LeftButton);
    settle();

    const std::optional<CameraPose> expected = orbitPose(start, 40, -20);
    ASSERT_TRUE(expected.has_value());
    EXPECT_TRUE(poseOf(first) == *expected);
    EXPECT_GT(second.renderedView().renderCount(), secondRenders);
    EXPECT_EQ(undoStackOf(first.document()).count(), 1);
    const QImage after = rendered(first);
    EXPECT_NE(after, before);

    undo("Orbit");
    EXPECT_TRUE(poseOf(first) == start);
    EXPECT_EQ(rendered(first), before);
    EXPECT_TRUE(first.document().isModified());  // undo is an edit like any other
    EXPECT_TRUE(first.document().scene()->resetVisibility());
    choose("&Edit", "&Redo Orbit");
    EXPECT_TRUE(poseOf(first) == *expected);
    EXPECT_EQ(rendered(first), after);

    // Each gesture or command is one step of its own; undoing them in turn walks back.
    const CameraPose orbited = poseOf(first);
    drag(first, QPoint(100, 100), QPoint(130, 90), Qt::MiddleButton);
    const CameraPose panned = poseOf(first);
    EXPECT_NEAR(((panned.from - panned.to) - (orbited.from - orbited.to)).length(), 0.0, 1e-12);
    EXPECT_FALSE(panned.to == orbited.to);
    EXPECT_EQ(undoText(), QStringLiteral("&Undo Pan"));
    drag(first, QPoint(100, 100), QPoint(60, 100), Qt::LeftButton, Qt::ShiftModifier);
    const CameraPose panned2 = poseOf(first);
    EXPECT_FALSE(panned2.to == panned.to);
    // Two notches of Ctrl+wheel: 81% of the distance, one step. The plain wheel scrolls.
    sendWheel(pane(first), 120, Qt::ControlModifier);
    sendWheel(pane(first), 120, Qt::ControlModifier);
    sendWheel(pane(first), -120, Qt::NoModifier);
    settle();
    const double distance = (panned2.from - panned2.to).length();
    EXPECT_NEAR((poseOf(first).from - poseOf(first).to).length(), distance * 0.81, 1e-9 * distance);
    EXPECT_EQ(undoText(), QStringLiteral("&Undo Dolly"));
    const CameraPose dollied = poseOf(first);
    choose("&View", "&Reset View");
    EXPECT_TRUE(poseOf(first) == start);
    EXPECT_EQ(undoStackOf(first.document()).count(), 5);
    for (const auto& [step, pose] :
         {std::pair{"Reset View", dollied}, std::pair{"Dolly", panned2}, std::pair{"Pan", panned},
          std::pair{"Pan", orbited}, std::pair{"Orbit", start}}) {
        undo(step);
        EXPECT_TRUE(poseOf(first) == pose) << step;
    }
}

// The pick, as the viewer shows it, against the probe of the pixel under the mouse. A
// Ctrl+click with nothing picked yet picks; later ones measure from the last plain pick. A
// click beside the image changes neither the pick nor the selection.
TEST_F(ViewerTest, APickDescribesThePixelSelectsItInTheTreeAndCtrlClickMeasures) {
    for (const auto& [menuText, mode] :
         {std::pair{kPhong, RenderMode::Phong}, std::pair{kGouraud, RenderMode::Gouraud},
          std::pair{kWireframe, RenderMode::Wireframe}}) {
        SCOPED_TRACE(menuText.toStdString());
        KelDataFrame& frame = open("room.kel");
        choose("&View", menuText);
        rendered(frame);
        const Scene& scene = *frame.document().scene();
        const QSize size = pane(frame).size();
        std::vector<std::pair<QPoint, PixelStory>> found;  // two points of the scene
        for (int y = 40; y < size.height() && found.size() < 2; y += 7) {
            for (int x = 40; x < size.width() && found.size() < 2; x += 3) {
                const PixelStory story = probePixel(scene, mode, x, y);
                if (story.hasPoint && (found.empty() || pickDistance(found[0].second, story) > 0)) {
                    found.emplace_back(QPoint(x, y), story);
                }
            }
        }
        ASSERT_EQ(found.size(), 2u);
        const auto& [at, expected] = found[0];

        click(frame, at, Qt::ControlModifier);
        QStringList lines;
        for (const std::string& line : describePixel(expected)) {
            lines << QString::fromStdString(line);
        }
        const QString text = frame.pickText();
        EXPECT_EQ(text, lines.join(QStringLiteral(", ")));
        EXPECT_EQ(mainFrame().statusBar()->currentMessage(), text);

        auto* tree = qobject_cast<KelTreeView*>(&frame.treePane());
        ASSERT_NE(tree, nullptr);
        const TreeItemData* record = KelTreeView::recordOf(tree->currentItem());
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->kind, TreeItemKind::Polygon);
        EXPECT_EQ(record->polygon, scene.object(expected.objectIndex)
                                       ->surfaces()[expected.surfaceIndex]
                                       ->polygons()[expected.polygonIndex]);
        const DeviceMapping& mapping = *scene.deviceMapping();
        for (const QPoint& beside :
             {QPoint(3, 3), QPoint(mapping.margin() - 1, 100),
              QPoint(100, (mapping.margin() + mapping.side())), QPoint(size.width() - 2, 5)}) {
            click(frame, beside);
            EXPECT_EQ(frame.pickText(), text);
            EXPECT_EQ(KelTreeView::recordOf(tree->currentItem()), record);
        }
        const QPoint b = found[1].first;
        const QString distance =
            QString("distance: %1, ").arg(pickDistance(expected, found[1].second), 0, 'g', 6);
        for (int i = 0; i < 2; ++i) {  // measuring again goes from the same first point
            click(frame, b, Qt::ControlModifier);
            EXPECT_TRUE(frame.pickText().startsWith(distance)) << frame.pickText().toStdString();
        }
        click(frame, b);  // a plain click starts anew
        click(frame, b, Qt::ControlModifier);
        EXPECT_TRUE(frame.pickText().startsWith("distance: 0, ")) << frame.pickText().toStdString();
        EXPECT_FALSE(frame.document().isModified());  // clicks, not orbits
        choose("&File", "&Close");
    }
}

// The Options dialogs and the property sheet: each OK is one step, undone to the settings
// before it, the object's modelling transform included.
TEST_F(ViewerTest, EveryDialogOkIsOneStepNamedAfterIt) {
    KelDataFrame& frame = open("cube.kel");
    Scene& scene = *frame.document().scene();
    const Matrix modeling = scene.object(0)->modelingTransform();
    const struct {
        const char* field;
        const char* text;
        const char* item;  // null: the property sheet of the first object
        const char* step;
    } dialogs[] = {{"fromX", "3", "&Camera...\tCtl+M", "Camera"},
                   {"nearPlane", "2.5", "Frustum...\tCtl+F", "Frustum"},
                   {"ambient", "0.75", "&Ambience...\tCtl+I", "Ambient Light"},
                   {"intensity", "0.5", "&Light...\tCtl+G", "Lighting"},
                   {"translateX", "3.5", nullptr, "Properties"}};
    std::vector<SceneSettings> before;
    for (const auto& d : dialogs) {
        before.push_back(captureSettings(scene));
        const ModalDriver driver([&d](QWidget& modal) {
            typeInto(modal, d.field, d.text);
            press(modal, QStringLiteral("OK"));
        });
        if (d.item != nullptr) {
            choose("&Options", d.item);
        } else {
            editObjectProperties(&frame, frame.document(), *scene.object(0), messages_, colors_);
        }
        EXPECT_FALSE(captureSettings(scene) == before.back()) << d.step;
        EXPECT_EQ(undoText(), QStringLiteral("&Undo ") + d.step);
    }
    for (std::size_t i = std::size(dialogs); i-- > 0;) {
        undo(dialogs[i].step);
        EXPECT_TRUE(captureSettings(scene) == before[i]) << dialogs[i].step;
    }
    for (std::size_t r = 0; r < 4; ++r) {
        EXPECT_TRUE(scene.object(0)->modelingTransform().row(r) == modeling.row(r)) << r;
    }
    EXPECT_TRUE(itemTexts("&Edit", true).contains(QStringLiteral("&Redo Camera")));
}

// The status bar shows the active view's figures; a closed document leaves nothing to undo.
TEST_F(ViewerTest, EachDocumentHasItsOwnStackAndAClosedOneLeavesNothingToUndo) {
    KelDataFrame& cube = open("cube.kel");
    choose("&View", kPhong);
    rendered(cube);
    const std::size_t vertices = cube.document().scene()->object(0)->vertexCount();
    // A cube seen from outside shows at most three faces.
    EXPECT_TRUE(cube.renderFigures().startsWith(
        QStringLiteral("%1 vertices, 6 polygons, 3 culled, ").arg(vertices)))
        << cube.renderFigures().toStdString();
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

}  // namespace
}  // namespace kel::test
