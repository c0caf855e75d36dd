#include <QApplication>
#include <QScrollBar>
#include <stdexcept>

#include "app/app_fixture.h"
#include "app/kel_data_frame.h"
#include "app/kel_view.h"
#include "app/main_frame.h"
#include "app/surface_image.h"
#include "app/wait_cursor.h"
#include "files/kel_doc.h"
#include "model/scene.h"
#include "render/image_surface.h"
#include "render/render_mode.h"

namespace kel::test {
namespace {

class RenderedViewTest : public AppTest {
  protected:
    // What a direct render of the file shows: a fresh document, the flags the View
    // commands leave for the mode, the given client size.
    QImage directRender(const std::string& path, RenderMode mode, bool cull, QSize size) {
        CKelDoc document(messages_);
        EXPECT_TRUE(document.onOpenDocument(path));
        Scene& scene = *document.scene();
        scene.setCullBackFaces(cull);
        ImageSurface surface(size.width(), size.height());
        makePipeline(mode)->run(surface, scene);
        return toQImage(surface);
    }

    // What the view shows on screen now.
    static QImage shown(CKelView& view) {
        return view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
};

TEST_F(RenderedViewTest, ThePaneShowsExactlyWhatADirectRenderDraws) {
    KelDataFrame* frame = app().openDocumentFile(example("room.kel"));
    ASSERT_NE(frame, nullptr);
    CKelView& view = frame->renderedView();
    const QSize size = view.viewport()->size();
    ASSERT_FALSE(size.isEmpty());
    const QImage wireframe = shown(view);
    EXPECT_EQ(wireframe, directRender(example("room.kel"), RenderMode::Wireframe, false, size));

    choose("&View", "&Phong\tCtl+P");
    const QImage phong = shown(view);
    EXPECT_EQ(phong, directRender(example("room.kel"), RenderMode::Phong, true, size));
    EXPECT_NE(phong, wireframe);

    choose("&View", "&Gouraud\tCtl+G");
    EXPECT_EQ(shown(view), directRender(example("room.kel"), RenderMode::Gouraud, true, size));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(RenderedViewTest, ScrollingShowsTheClientRenderMovedByTheScrollPosition) {
    KelDataFrame* frame = app().openDocumentFile(example("cube.kel"));
    ASSERT_NE(frame, nullptr);
    choose("&View", "&Phong\tCtl+P");
    CKelView& view = frame->renderedView();
    const QSize size = view.viewport()->size();
    EXPECT_EQ(view.horizontalScrollBar()->maximum(), 2000 - size.width());
    EXPECT_EQ(view.verticalScrollBar()->maximum(), 2000 - size.height());
    EXPECT_EQ(view.horizontalScrollBar()->pageStep(), 400);
    EXPECT_EQ(view.verticalScrollBar()->pageStep(), 600);
    EXPECT_EQ(view.horizontalScrollBar()->singleStep(), 40);
    EXPECT_EQ(view.verticalScrollBar()->singleStep(), 60);

    const QImage full = directRender(example("cube.kel"), RenderMode::Phong, true, size);
    const int dx = 40;
    const int dy = 60;
    const int before = view.renderCount();
    view.horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    view.verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    const QImage scrolled = shown(view);
    EXPECT_GT(view.renderCount(), before);
    ASSERT_EQ(scrolled.size(), size);
    EXPECT_EQ(scrolled.copy(0, 0, size.width() - dx, size.height() - dy),
              full.copy(dx, dy, size.width() - dx, size.height() - dy));
    // Beyond the rendered client area lies the erased background.
    EXPECT_EQ(scrolled.pixel(size.width() - 1, size.height() - 1), qRgb(255, 255, 255));
}

TEST_F(RenderedViewTest, ModeCommandsWriteCullingAndRerenderEveryViewWithoutModifying) {
    KelDataFrame* first = app().openDocumentFile(example("cube.kel"));
    ASSERT_NE(first, nullptr);
    choose("&Window", "&New Window");
    KelDataFrame* second = mainFrame().activeFrame();
    ASSERT_NE(second, first);
    Scene& scene = *first->document().scene();
    settle();

    const int firstCount = first->renderedView().renderCount();
    const int secondCount = second->renderedView().renderCount();
    choose("&View", "&Gouraud\tCtl+G");
    EXPECT_EQ(second->renderMode(), RenderMode::Gouraud);
    EXPECT_EQ(first->renderMode(), RenderMode::Wireframe);
    EXPECT_TRUE(scene.cullBackFaces());
    EXPECT_FALSE(scene.resetVisibility());
    EXPECT_GT(first->renderedView().renderCount(), firstCount);
    EXPECT_GT(second->renderedView().renderCount(), secondCount);
    EXPECT_TRUE(item("&View", "&Gouraud\tCtl+G").isChecked());
    EXPECT_TRUE(item("&View", "&Do Culling\tCtl+D").isChecked());

    // Culling off, then Gouraud again: nothing at all happens, culling stays off.
    choose("&View", "&Do Culling\tCtl+D");
    EXPECT_FALSE(scene.cullBackFaces());
    const int settled = second->renderedView().renderCount();
    choose("&View", "&Gouraud\tCtl+G");
    EXPECT_FALSE(scene.cullBackFaces());
    EXPECT_EQ(second->renderedView().renderCount(), settled);

    // Wireframe writes culling off; Phong on. Each window keeps its own mode.
    choose("&View", "&Phong\tCtl+P");
    EXPECT_TRUE(scene.cullBackFaces());
    choose("&View", "&Wireframe\tCtl+W");
    EXPECT_FALSE(scene.cullBackFaces());
    EXPECT_EQ(second->renderMode(), RenderMode::Wireframe);
    EXPECT_FALSE(first->document().isModified());
}

TEST_F(RenderedViewTest, CullingOffSetsTheResetFlagAndOnLeavesIt) {
    KelDataFrame* frame = app().openDocumentFile(example("cube.kel"));
    ASSERT_NE(frame, nullptr);
    Scene& scene = *frame->document().scene();
    choose("&View", "&Do Culling\tCtl+D");
    EXPECT_TRUE(scene.cullBackFaces());
    EXPECT_FALSE(scene.resetVisibility());
    EXPECT_TRUE(item("&View", "&Do Culling\tCtl+D").isChecked());
    choose("&View", "&Do Culling\tCtl+D");
    EXPECT_FALSE(scene.cullBackFaces());
    EXPECT_TRUE(scene.resetVisibility());
    EXPECT_FALSE(item("&View", "&Do Culling\tCtl+D").isChecked());
    choose("&View", "&Do Culling\tCtl+D");
    EXPECT_TRUE(scene.cullBackFaces());
    EXPECT_TRUE(scene.resetVisibility());
    EXPECT_FALSE(frame->document().isModified());
}

TEST_F(RenderedViewTest, CulledFacesStayHiddenInWireframeUntilCullingIsToggled) {
    KelDataFrame* frame = app().openDocumentFile(example("cube.kel"));
    ASSERT_NE(frame, nullptr);
    CKelView& view = frame->renderedView();
    const QImage allEdges = shown(view);
    choose("&View", "&Gouraud\tCtl+G");
    choose("&View", "&Wireframe\tCtl+W");
    // Back faces culled by the shaded render keep their visible flag of 0.
    const QImage afterShaded = shown(view);
    EXPECT_NE(afterShaded, allEdges);
    choose("&View", "&Do Culling\tCtl+D");
    choose("&View", "&Do Culling\tCtl+D");
    EXPECT_EQ(shown(view), allEdges);
}

TEST_F(RenderedViewTest, TwoWindowsOnOneDocumentEachRenderTheirOwnMode) {
    KelDataFrame* first = app().openDocumentFile(example("room.kel"));
    ASSERT_NE(first, nullptr);
    choose("&View", "&Phong\tCtl+P");
    choose("&Window", "&New Window");
    KelDataFrame* second = mainFrame().activeFrame();
    EXPECT_EQ(second->renderMode(), RenderMode::Wireframe);
    EXPECT_EQ(first->renderMode(), RenderMode::Phong);
    const QSize size = first->renderedView().viewport()->size();
    second->resize(first->size());
    settle();
    ASSERT_EQ(second->renderedView().viewport()->size(), size);
    EXPECT_EQ(shown(first->renderedView()),
              directRender(example("room.kel"), RenderMode::Phong, true, size));
    // Culling is the scene's, switched on by the Phong window.
    EXPECT_EQ(shown(second->renderedView()),
              directRender(example("room.kel"), RenderMode::Wireframe, true, size));
}

TEST_F(RenderedViewTest, ADocumentWithoutASceneDrawsNothingAndRunsNoPipeline) {
    choose("&File", "&New\tCtrl+N");
    KelDataFrame* frame = mainFrame().activeFrame();
    ASSERT_NE(frame, nullptr);
    CKelView& view = frame->renderedView();
    const QImage image = shown(view);
    EXPECT_EQ(view.renderCount(), 0);
    EXPECT_TRUE(view.renderImage().isNull());
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.pixel(image.width() / 2, image.height() / 2), qRgb(255, 255, 255));
}

TEST(WaitCursorTest, TheCursorComesBackOnEveryWayOut) {
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    {
        const WaitCursor outer;
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        { const WaitCursor inner; }
        EXPECT_NE(QApplication::overrideCursor(), nullptr);
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_THROW(
        {
            const WaitCursor busy;
            throw std::runtime_error("render failed");
        },
        std::runtime_error);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace kel::test
