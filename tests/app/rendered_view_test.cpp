#include "app/app_fixture.h"
#include "app/kel_view.h"
#include "app/surface_image.h"
#include "model/scene.h"
#include "render/image_surface.h"
#include "render/render_mode.h"

namespace kel::test {
namespace {

class RenderedViewTest : public AppTest {
protected:
    // A direct render of the file by a fresh document, with the given culling flag.
    QImage directRender(const std::string& name, RenderMode mode, bool cull, QSize size) {
        CKelDoc document(messages_);
        EXPECT_TRUE(document.onOpenDocument(scratch(name)));
        document.scene()->setCullBackFaces(cull);
        ImageSurface surface(size.width(), size.height());
        makePipeline(mode)->run(surface, *document.scene());
        return toQImage(surface);
    }
    static QImage shown(CKelView& view) {
        return view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
};

TEST_F(RenderedViewTest, EachWindowShowsExactlyWhatADirectRenderOfItsModeDraws) {
    KelDataFrame& first = open("room.kel");
    CKelView& view = first.renderedView();
    const QSize size = view.viewport()->size();
    ASSERT_FALSE(size.isEmpty());
    const QImage wireframe = shown(view);
    EXPECT_EQ(wireframe, directRender("room.kel", RenderMode::Wireframe, false, size));
    choose("&View", "&Phong\tCtl+P");
    const QImage phong = shown(view);
    EXPECT_EQ(phong, directRender("room.kel", RenderMode::Phong, true, size));
    EXPECT_NE(phong, wireframe);
    choose("&View", "&Gouraud\tCtl+G");
    EXPECT_EQ(shown(view), directRender("room.kel", RenderMode::Gouraud, true, size));

    choose("&Window", "&New Window");
    KelDataFrame& second = *mainFrame().activeFrame();
    second.resize(first.size());
    settle();
    ASSERT_EQ(second.renderedView().viewport()->size(), size);
    // Culling belongs to the scene, switched on by the shaded window.
    EXPECT_EQ(shown(second.renderedView()),
              directRender("room.kel", RenderMode::Wireframe, true, size));
}

TEST_F(RenderedViewTest, ModeAndCullingCommandsSetSceneFlagsAndRerenderEveryView) {
    KelDataFrame& first = open("cube.kel");
    choose("&Window", "&New Window");
    KelDataFrame* second = mainFrame().activeFrame();
    ASSERT_NE(second, &first);
    // Side by side: a window hidden behind the other has nothing on show to repaint.
    choose("&Window", "&Tile");
    Scene& scene = *first.document().scene();
    CKelView* const views[] = {&first.renderedView(), &second->renderedView()};
    const struct {
        const char* item;
        bool cull;
        bool reset;
        bool rerenders;
    } steps[] = {
        {"&Gouraud\tCtl+G", true, false, true},   {"&Do Culling\tCtl+D", false, true, true},
        {"&Gouraud\tCtl+G", false, true, false},  // same mode: nothing happens
        {"&Do Culling\tCtl+D", true, true, true}, {"&Wireframe\tCtl+W", false, true, true},
        {"&Phong\tCtl+P", true, true, true},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.item);
        const int before[] = {views[0]->renderCount(), views[1]->renderCount()};
        choose("&View", step.item);
        EXPECT_EQ(scene.cullBackFaces(), step.cull);
        EXPECT_EQ(scene.resetVisibility(), step.reset);
        for (int i = 0; i < 2; ++i) {  // the other window's view re-renders too
            EXPECT_EQ(views[i]->renderCount() > before[i], step.rerenders) << i;
        }
    }
    EXPECT_EQ(first.renderMode(), RenderMode::Wireframe);  // each window keeps its own mode
    EXPECT_EQ(second->renderMode(), RenderMode::Phong);
    EXPECT_FALSE(first.document().isModified());
}

}  // namespace
}  // namespace kel::test
