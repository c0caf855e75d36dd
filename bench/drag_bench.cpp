// What a drag in the viewer costs per frame: the camera orbits a little further each frame
// (so every polygon is culled, clipped and drawn afresh, and the visibility reset runs, as
// while dragging) over the 40,000-quad torus, in the image pane of a default-sized window.
// Also the cost of one pick (the story of one pixel) on the same scene.

#include <benchmark/benchmark.h>

#include "benchmark_runs.h"
#include "model/camera.h"
#include "model/camera_moves.h"
#include "render/image_surface.h"
#include "render/pixel_probe.h"
#include "render/render_mode.h"
#include "scene_generator.h"

namespace {

// The image pane of a new document window in the default main window.
constexpr int kPaneWidth = 572;
constexpr int kPaneHeight = 465;

void dragFrames(benchmark::State& state, kel::RenderMode mode) {
    auto scene = kel::bench::makeTorusScene(200, 200);
    kel::applyViewState(*scene, mode, true);
    auto pipeline = kel::makePipeline(mode);
    kel::ImageSurface image(kPaneWidth, kPaneHeight);
    pipeline->run(image, *scene);
    const kel::CameraPose start = kel::poseOf(*scene->camera());
    scene->setResetVisibility(true);
    int step = 0;
    for (auto _ : state) {
        ++step;
        if (const auto pose = kel::orbitPose(start, 2.0 * (step % 90), 0.5 * (step % 40))) {
            kel::applyPose(*scene->camera(), *pose);
        }
        image.fill(kel::ImageSurface::kWhite);
        pipeline->run(image, *scene);
        benchmark::ClobberMemory();
    }
}

void pickPixel(benchmark::State& state, kel::RenderMode mode) {
    auto scene = kel::bench::makeTorusScene(200, 200);
    kel::applyViewState(*scene, mode, true);
    kel::ImageSurface image(kPaneWidth, kPaneHeight);
    kel::makePipeline(mode)->run(image, *scene);
    for (auto _ : state) {
        benchmark::DoNotOptimize(kel::probePixel(*scene, mode, kPaneHeight / 2, kPaneHeight / 3));
    }
}

}  // namespace

BENCHMARK_CAPTURE(dragFrames, wireframe, kel::RenderMode::Wireframe)
    ->Apply(kel::bench::aggregatesOf<15>);
BENCHMARK_CAPTURE(dragFrames, phong, kel::RenderMode::Phong)->Apply(kel::bench::aggregatesOf<15>);
BENCHMARK_CAPTURE(pickPixel, phong, kel::RenderMode::Phong)->Apply(kel::bench::aggregatesOf<5>);
