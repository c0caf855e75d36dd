#include <QClipboard>
#include <QGuiApplication>
#include <QScreen>
#include <QScrollBar>
#include <cmath>
#include <sstream>

#include "app/app_fixture.h"
#include "app/surface_image.h"
#include "cli/render_command.h"
#include "render/image_surface.h"
#include "render/png_file.h"

namespace kel::test {
namespace {

class RenderedViewTest : public AppTest {
protected:
    // What kel-render writes for the scene at the given size and mode.
    ImageSurface kelRender(const std::string& scene, const std::vector<std::string>& options,
                           QSize size) {
        const std::string output = scratch("kel-render.png");
        std::vector<std::string> args{
            scratch(scene), "--size",
            std::to_string(size.width()) + "x" + std::to_string(size.height()), "--output", output};
        args.insert(args.end(), options.begin(), options.end());
        std::ostringstream out;
        std::ostringstream err;
        EXPECT_EQ(runKelRender(args, out, err), kExitSuccess) << err.str();
        return readBack(output);
    }
    static ImageSurface readBack(const std::string& path) {
        ImageSurface image(0, 0);
        std::string error;
        EXPECT_TRUE(readPng(path, image, error)) << error;
        return image;
    }
    // The view's pixels as the window shows them, at device resolution.
    static QImage shown(CKelView& view) {
        return view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    }
};

// A cancelled or failed export writes nothing and says why; one that works gives what
// kel-render writes.
TEST_F(RenderedViewTest, ExportAndCopyGiveThePixelsKelRenderWritesForTheViewSizeAndMode) {
    KelDataFrame& frame = open("cube.kel");
    choose("&View", kGouraud);
    EXPECT_FALSE(app().onFileExportImage());
    files_.imageAnswer = scratch("no-such-folder/out.png");
    EXPECT_FALSE(app().onFileExportImage());
    ASSERT_EQ(messages_.errors.size(), 1u);
    EXPECT_EQ(
        messages_.errors[0].rfind("Could not export the image to " + *files_.imageAnswer + ": ", 0),
        0u)
        << messages_.errors[0];
    messages_.errors.clear();
    files_.imageAnswer = scratch("export.png");
    choose("&File", "&Export Image...");
    EXPECT_TRUE(messages_.errors.empty());
    EXPECT_EQ(files_.imageSuggestions, std::vector<std::string>(3, scratch("cube.png")));
    const QImage exported = toQImage(readBack(*files_.imageAnswer));
    const QSize size = frame.renderedView().deviceClientSize();
    EXPECT_EQ(exported, toQImage(kelRender("cube.kel", {"--mode", "gouraud"}, size)));
    // The window shows the very same pixels, and Copy Image copies them.
    EXPECT_EQ(shown(frame.renderedView()), exported);
    QGuiApplication::clipboard()->clear();
    choose("&Edit", "Copy &Image");
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
              exported);
    // A document without a scene has nothing to export.
    choose("&File", "&New\tCtrl+N");
    files_.imageAnswer = scratch("empty.png");
    EXPECT_FALSE(app().onFileExportImage());
    EXPECT_FALSE(std::filesystem::exists(*files_.imageAnswer));
}

// Also run by the test_app_hidpi entries, at device pixel ratios of 2 and 1.5.
class HiDpiTest : public RenderedViewTest {};

TEST_F(HiDpiTest, TheViewRendersAndPicksInDevicePixelsAndShowsThemOneToOne) {
    const qreal ratio = mainFrame().devicePixelRatioF();
    EXPECT_TRUE(mainFrame().screen()->availableGeometry().contains(mainFrame().geometry()));
    KelDataFrame& frame = open("room.kel");
    choose("&View", kGouraud);
    settle();
    CKelView& view = frame.renderedView();
    const QSize logical = view.viewport()->size();
    ASSERT_FALSE(logical.isEmpty());
    // The device size is the logical one times the ratio, to the nearest pixel.
    const QSize device(qRound(logical.width() * ratio), qRound(logical.height() * ratio));
    EXPECT_EQ(view.deviceClientSize(), device);
    const QImage image = view.renderImage();
    EXPECT_EQ(image.devicePixelRatio(), ratio);
    // Crisp: what the window shows is kel-render's image at the device size, pixel for
    // pixel, not a logical-size image scaled up into blocks.
    const ImageSurface expected = kelRender("room.kel", {"--mode", "gouraud"}, device);
    EXPECT_EQ(shown(view), toQImage(expected));
    EXPECT_EQ(image.convertToFormat(QImage::Format_RGB32), toQImage(expected));

    // The mouse, scrolled or not, picks the device pixel under it.
    view.horizontalScrollBar()->setValue(37);
    view.verticalScrollBar()->setValue(23);
    settle();
    const QPoint at = QPoint(logical.width(), logical.height()) / 2 - QPoint(37, 23);
    const QPoint pixel(static_cast<int>(std::floor((at.x() + 37) * ratio)),
                       static_cast<int>(std::floor((at.y() + 23) * ratio)));
    EXPECT_EQ(view.imagePixelAt(at), pixel);
    ASSERT_TRUE(QRect(QPoint(0, 0), device).contains(pixel));
    const PixelStory story = view.probeAt(at);
    EXPECT_EQ(describePixel(story),
              describePixel(probePixel(*frame.document().scene(), RenderMode::Gouraud, pixel.x(),
                                       pixel.y())));
    EXPECT_EQ(story.color, expected.pixel(pixel.x(), pixel.y()));
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
    // Each window keeps its own mode; culling belongs to the scene, so the wireframe
    // window beside the shaded one draws culled.
    EXPECT_EQ(shown(*views[0]), toQImage(kelRender("cube.kel", {"--mode", "wireframe", "--cull"},
                                                   views[0]->deviceClientSize())));
    EXPECT_EQ(shown(*views[1]),
              toQImage(kelRender("cube.kel", {"--mode", "phong"}, views[1]->deviceClientSize())));
    EXPECT_FALSE(first.document().isModified());
}
}  // namespace
}  // namespace kel::test
