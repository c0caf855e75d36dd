// Times repaints of the viewer's rendered pane on a torus of about 75,000 triangles in a
// 1000 x 1000 viewport, on Qt's offscreen platform, in each mode; and, for comparison in
// the same run, a paint that allocates a surface and converts it to an image each time.
//
//   kel-view-bench [FRAMES]

#include <QApplication>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "app/kel_data_frame.h"
#include "app/kel_view.h"
#include "app/surface_image.h"
#include "files/kel_doc.h"
#include "files/write_visitor.h"
#include "model/camera.h"
#include "model/light.h"
#include "model/scene.h"
#include "platform/user_messages.h"
#include "render/image_surface.h"
#include "render/render_mode.h"
#include "scene_generator.h"

namespace {

constexpr int kRings = 150;
constexpr int kSegments = 250;  // 37,500 quads: 75,000 triangles
constexpr int kViewport = 1000;

class PrintedMessages : public kel::UserMessages {
public:
    void showError(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    bool askYesNo(const std::string&) override { return false; }
};

template <typename Paint>
double medianMs(int frames, Paint paint) {
    std::vector<double> times;
    for (int i = 0; i < frames; ++i) {
        const auto start = std::chrono::steady_clock::now();
        paint();
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;

    // The scene goes through a file, as the viewer gets it; its object output is "foo".
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "kel-view-bench";
    std::filesystem::create_directories(folder);
    std::filesystem::current_path(folder);
    PrintedMessages messages;
    {
        auto scene = kel::bench::makeTorusScene(kRings, kSegments);
        scene->object(0)->setName("foo");
        kel::WriteVisitor writer(messages, 0);
        if (!writer.open("torus.kel")) {
            return 1;
        }
        // The order the document writes in: camera, frustum, light, then the scene.
        scene->camera()->accept(writer);
        scene->frustum()->accept(writer);
        scene->light()->accept(writer);
        scene->accept(writer);
    }
    auto document = std::make_shared<kel::CKelDoc>(messages);
    if (!document->onOpenDocument((folder / "torus.kel").string())) {
        return 1;
    }
    kel::KelDataFrame frame(document, messages, {});
    frame.show();
    kel::CKelView& view = frame.renderedView();
    const QSize grow = QSize(kViewport, kViewport) - view.viewport()->size();
    frame.resize(frame.size() + grow);
    QApplication::processEvents();
    std::printf("viewport %dx%d, %d quads\n", view.viewport()->width(), view.viewport()->height(),
                kRings * kSegments);

    const std::pair<const char*, void (kel::KelDataFrame::*)()> modes[] = {
        {"wireframe", &kel::KelDataFrame::onViewWireframe},
        {"gouraud", &kel::KelDataFrame::onViewGouraud},
        {"phong", &kel::KelDataFrame::onViewPhong}};
    for (const auto& [name, command] : modes) {
        (frame.*command)();
        view.viewport()->repaint();
        const double kept = medianMs(frames, [&] { view.viewport()->repaint(); });
        // The former paint: a fresh surface and a converted copy every time.
        const auto pipeline = kel::makePipeline(kel::renderModeFromName(name).value());
        QImage target(view.viewport()->size(), QImage::Format_RGB32);
        const double copied = medianMs(frames, [&] {
            kel::ImageSurface surface(kViewport, kViewport);
            pipeline->run(surface, *document->scene());
            QPainter painter(&target);
            painter.drawImage(0, 0, kel::toQImage(surface));
        });
        // The render alone, into a kept surface: what a repaint costs beyond it is the view's.
        kel::ImageSurface kept_surface(kViewport, kViewport, kel::ImageSurface::HighByte::Opaque);
        const double render = medianMs(frames, [&] {
            kept_surface.fill(kel::ImageSurface::kWhite);
            pipeline->run(kept_surface, *document->scene());
        });
        // Showing a finished frame: the kept buffer as it is, or a converted copy.
        const QImage wrapped(reinterpret_cast<const uchar*>(kept_surface.pixels().data()),
                             kViewport, kViewport, kViewport * 4, QImage::Format_RGBX8888);
        QImage screen(kViewport, kViewport, QImage::Format_ARGB32_Premultiplied);
        const double showKept = medianMs(frames * 4, [&] {
            QPainter painter(&screen);
            painter.drawImage(0, 0, wrapped);
        });
        kel::ImageSurface plain(kViewport, kViewport);
        pipeline->run(plain, *document->scene());
        const double showCopied = medianMs(frames * 4, [&] {
            QPainter painter(&screen);
            painter.drawImage(0, 0, kel::toQImage(plain));
        });
        std::printf("%-9s showing a frame: kept %5.2f ms, converted copy %5.2f ms, ratio %.1f\n",
                    name, showKept, showCopied, showCopied / showKept);
        std::printf(
            "%-9s repaint %7.2f ms (%5.1f fps), of which render %7.2f ms, paint %5.2f ms;"
            " allocate+convert paint %7.2f ms (paint %5.2f ms)\n",
            name, kept, 1000.0 / kept, render, kept - render, copied, copied - render);
    }
    return 0;
}
