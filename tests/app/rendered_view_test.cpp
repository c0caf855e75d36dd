#include <QClipboard>
#include <QGuiApplication>
#include <QScreen>
#include <sstream>

#include "app/app_fixture.h"
#include "app/kel_view.h"
#include "app/surface_image.h"
#include "cli/render_command.h"
#include "model/scene.h"
#include "render/image_surface.h"
#include "render/png_file.h"
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

TEST_F(RenderedViewTest, ExportWritesThePixelsKelRenderWritesForTheViewSizeAndMode) {
    const struct {
        const char* scene;
        const char* item;  // the View item chosen first, if any
        std::vector<std::string> options;
    } cases[] = {
        {"room.kel", nullptr, {"--mode", "wireframe"}},
        {"room.kel", "&Phong\tCtl+P", {"--mode", "phong"}},
        {"cube.kel", "&Gouraud\tCtl+G", {"--mode", "gouraud"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.scene) + " " + c.options[1]);
        KelDataFrame& frame = open(c.scene);
        if (c.item != nullptr) {
            choose("&View", c.item);
        }
        settle();
        const std::string path = scratch("export.png");
        files_.imageAnswer = path;
        choose("&File", "&Export Image...");
        EXPECT_TRUE(messages_.errors.empty());
        const QSize size = frame.renderedView().deviceClientSize();
        const ImageSurface exported = readBack(path);
        ASSERT_EQ(exported.width(), size.width());
        ASSERT_EQ(exported.height(), size.height());
        EXPECT_TRUE(exported.pixels() == kelRender(c.scene, c.options, size).pixels());
        // The window shows the very same pixels.
        EXPECT_EQ(shown(frame.renderedView()), toQImage(exported));
        app().closeDocument(frame.document());
    }
    // The dialog was offered the scene's own name with .png.
    ASSERT_FALSE(files_.imageSuggestions.empty());
    EXPECT_EQ(files_.imageSuggestions.back(), scratch("cube.png"));
}

TEST_F(RenderedViewTest, ACancelledOrFailedExportWritesNothingAndSaysWhy) {
    open("cube.kel");
    files_.imageAnswer.reset();
    EXPECT_FALSE(app().onFileExportImage());
    EXPECT_TRUE(messages_.errors.empty());
    files_.imageAnswer = scratch("no-such-folder/out.png");
    EXPECT_FALSE(app().onFileExportImage());
    ASSERT_EQ(messages_.errors.size(), 1u);
    EXPECT_EQ(
        messages_.errors[0].rfind("Could not export the image to " + *files_.imageAnswer + ": ", 0),
        0u)
        << messages_.errors[0];
    // A document without a scene has nothing to export.
    choose("&File", "&New\tCtrl+N");
    files_.imageAnswer = scratch("empty.png");
    EXPECT_FALSE(app().onFileExportImage());
    EXPECT_FALSE(std::filesystem::exists(*files_.imageAnswer));
}

TEST_F(RenderedViewTest, CopyImagePutsTheViewsPixelsOnTheClipboard) {
    KelDataFrame& frame = open("room.kel");
    choose("&View", kPhong);
    QGuiApplication::clipboard()->clear();
    choose("&Edit", "Copy &Image");
    const QImage copied = QGuiApplication::clipboard()->image();
    ASSERT_FALSE(copied.isNull());
    EXPECT_EQ(copied.size(), frame.renderedView().deviceClientSize());
    EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB32),
              frame.renderedView().renderImage().convertToFormat(QImage::Format_RGB32));
}

// Run by the test_app_hidpi entry, at a device pixel ratio of 2.
class HiDpiTest : public RenderedViewTest {};

TEST_F(HiDpiTest, TheViewRendersInDevicePixelsAndShowsThemOneToOne) {
    const qreal ratio = mainFrame().devicePixelRatioF();
    if (ratio == 1.0) {
        GTEST_SKIP() << "needs QT_SCALE_FACTOR";
    }
    EXPECT_TRUE(mainFrame().screen()->availableGeometry().contains(mainFrame().geometry()));
    KelDataFrame& frame = open("room.kel");
    choose("&View", kGouraud);
    settle();
    CKelView& view = frame.renderedView();
    const QSize logical = view.viewport()->size();
    ASSERT_FALSE(logical.isEmpty());
    // The device size is the logical one times the ratio, to the nearest pixel: at 2,
    // twice the pixels each way.
    const QSize device(qRound(logical.width() * ratio), qRound(logical.height() * ratio));
    if (ratio == 2.0) {
        EXPECT_EQ(device, logical * 2);
    }
    EXPECT_EQ(view.deviceClientSize(), device);
    const QImage image = view.renderImage();
    EXPECT_EQ(image.size(), device);
    EXPECT_EQ(image.devicePixelRatio(), ratio);
    // Crisp: what the window shows is kel-render's image at the device size, pixel for
    // pixel, not a logical-size image scaled up into blocks.
    const ImageSurface expected = kelRender("room.kel", {"--mode", "gouraud"}, device);
    EXPECT_EQ(shown(view), toQImage(expected));
    EXPECT_EQ(image.convertToFormat(QImage::Format_RGB32), toQImage(expected));
    // The frame is one device pixel wide: its column is not doubled.
    const int frameColumn = 10 - 1;
    EXPECT_EQ(expected.pixel(frameColumn, 20), ImageSurface::kBlack);
    EXPECT_NE(expected.pixel(frameColumn - 1, 20), ImageSurface::kBlack);
}

// Culling belongs to the scene: a wireframe window beside a shaded one draws culled.
TEST_F(RenderedViewTest, ASecondWindowShowsItsModeWithTheScenesCulling) {
    KelDataFrame& first = open("room.kel");
    const QSize size = first.renderedView().viewport()->size();
    ASSERT_FALSE(size.isEmpty());
    choose("&View", kGouraud);
    choose("&Window", "&New Window");
    KelDataFrame& second = *mainFrame().activeFrame();
    second.resize(first.size());
    settle();
    ASSERT_EQ(second.renderedView().viewport()->size(), size);
    EXPECT_EQ(shown(first.renderedView()),
              directRender("room.kel", RenderMode::Gouraud, true, size));
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
