// Repaints the rendered view of a document window, as the viewer shows it, and prints
// the frames per second. Runs on Qt's offscreen platform unless QT_QPA_PLATFORM is set.
//
//   kel-bench-viewer SCENE.kel [--mode wireframe|gouraud|phong] [--size SIDE] [--frames N]
//
// The window is sized so that the image is SIDE x SIDE (the view's client area is
// SIDE + 20 for the margins); each frame is one synchronous repaint of the view.

#include <QApplication>
#include <QWidget>
#include <chrono>
#include <iomanip>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/kel_data_frame.h"
#include "app/kel_view.h"
#include "bench_document.h"
#include "bench_stats.h"
#include "files/kel_doc.h"
#include "platform/heap_policy.h"

namespace {

constexpr const char* kProgram = "kel-bench-viewer";

struct ViewerOptions {
    std::string scenePath;
    kel::RenderMode mode = kel::RenderMode::Phong;
    int side = 1000;
    int frames = 30;
};

bool parseOptions(const QStringList& args, ViewerOptions& options) {
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--mode" && hasValue) {
            const auto mode = kel::renderModeFromName(args[++i].toStdString());
            if (!mode) {
                return false;
            }
            options.mode = *mode;
        } else if (arg == "--size" && hasValue) {
            options.side = args[++i].toInt();
        } else if (arg == "--frames" && hasValue) {
            options.frames = args[++i].toInt();
        } else if (arg.startsWith("--") || !options.scenePath.empty()) {
            return false;
        } else {
            options.scenePath = arg.toStdString();
        }
    }
    return !options.scenePath.empty() && options.side >= 1 && options.side <= 4000 &&
           options.frames >= 1;
}

void chooseMode(kel::KelDataFrame& frame, kel::RenderMode mode) {
    switch (mode) {
        case kel::RenderMode::Wireframe:
            break;  // where every window starts
        case kel::RenderMode::Gouraud:
            frame.onViewGouraud();
            break;
        case kel::RenderMode::Phong:
            frame.onViewPhong();
            break;
    }
}

// Grows or shrinks the window until the rendered view's client area is client x client.
bool fitView(kel::KelDataFrame& frame, int client) {
    QWidget& viewport = *frame.renderedView().viewport();
    for (int attempt = 0; attempt < 5 && viewport.size() != QSize(client, client); ++attempt) {
        frame.resize(frame.size() + QSize(client, client) - viewport.size());
        QApplication::processEvents();
    }
    return viewport.size() == QSize(client, client);
}

}  // namespace

int main(int argc, char** argv) {
    kel::prepareHeapForModels();  // as the viewer does
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    ViewerOptions options;
    if (!parseOptions(QApplication::arguments(), options)) {
        std::cerr << "usage: " << kProgram
                  << " SCENE.kel [--mode wireframe|gouraud|phong] [--size SIDE] [--frames N]\n";
        return 2;
    }
    kel::bench::StderrMessages messages(kProgram);
    auto document = std::make_shared<kel::CKelDoc>(messages);
    if (!document->onOpenDocument(options.scenePath) || document->scene() == nullptr) {
        std::cerr << kProgram << ": Could not read the scene file " << options.scenePath << "\n";
        return 1;
    }
    // A plain left pane: the bench measures the rendered view, not the tree.
    auto frame = std::make_unique<kel::KelDataFrame>(
        document, messages, [](kel::CKelDoc&, QWidget* parent) { return new QWidget(parent); });
    chooseMode(*frame, options.mode);
    frame->show();
    QApplication::processEvents();
    if (!fitView(*frame, options.side + 20)) {
        std::cerr << kProgram << ": Could not size the view to " << options.side + 20 << "\n";
        return 1;
    }
    QWidget& viewport = *frame->renderedView().viewport();
    viewport.repaint();  // the first paint sizes the buffers
    std::vector<double> times;
    const auto begin = std::chrono::steady_clock::now();
    for (int i = 0; i < options.frames; ++i) {
        const auto start = std::chrono::steady_clock::now();
        viewport.repaint();
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
    const double medianMs = kel::bench::median(times);
    std::cout << std::fixed << std::setprecision(1) << options.frames << " repaints of "
              << options.side << " x " << options.side << ", median " << medianMs
              << " ms per repaint, " << (medianMs > 0.0 ? 1000.0 / medianMs : 0.0)
              << " frames per second (" << options.frames / seconds << " over the whole run)\n";
    frame.reset();
    return 0;
}
