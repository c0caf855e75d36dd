// Times one frame of each render mode on a torus of 40,000 quads, and of 75k triangles,
// that fills most of a 1000 x 1000 viewport. Reports the median over the repetitions.
//
//   kel-bench [--image=PREFIX] [benchmark options]
//
// --image=PREFIX also writes PREFIX-<mode>.png of each mode's frame, to look at.

#include <benchmark/benchmark.h>

#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "benchmark_runs.h"
#include "render/image_surface.h"
#include "render/png_file.h"
#include "render/render_mode.h"
#include "scene_generator.h"

namespace {

constexpr int kClient = 1020;  // a 1000 x 1000 viewport after the margins
constexpr int kRings = 200;
constexpr int kSegments = 200;
constexpr int kTriangleRings = 194;  // 75,272 triangles

void renderFrames(benchmark::State& state, kel::RenderMode mode, bool triangles = false) {
    const int rings = triangles ? kTriangleRings : kRings;
    auto scene = kel::bench::makeTorusScene(rings, rings, triangles);
    kel::applyViewState(*scene, mode, true);
    auto pipeline = kel::makePipeline(mode);
    kel::ImageSurface image(kClient, kClient);
    pipeline->run(image, *scene);  // the first paint sizes the buffers
    for (auto _ : state) {
        pipeline->run(image, *scene);
        benchmark::ClobberMemory();
    }
    state.counters["polygons"] = rings * rings * (triangles ? 2 : 1);
}

void writeImages(const std::string& prefix) {
    for (const kel::RenderMode mode :
         {kel::RenderMode::Wireframe, kel::RenderMode::Gouraud, kel::RenderMode::Phong}) {
        auto scene = kel::bench::makeTorusScene(kRings, kSegments);
        kel::applyViewState(*scene, mode, true);
        kel::ImageSurface image(kClient, kClient);
        kel::makePipeline(mode)->run(image, *scene);
        const std::string path = prefix + "-" + kel::renderModeName(mode) + ".png";
        std::string error;
        if (!kel::writePng(image, path, error)) {
            std::cerr << "kel-bench: Could not write " << path << ": " << error << "\n";
        }
    }
}

// Every frame benchmark: the CPU time of the whole process beside the wall time.
void frameRuns(benchmark::internal::Benchmark* b) {
    kel::bench::aggregatesOf<15>(b);
    b->MeasureProcessCPUTime();
}

}  // namespace

BENCHMARK_CAPTURE(renderFrames, wireframe, kel::RenderMode::Wireframe)->Apply(frameRuns);
BENCHMARK_CAPTURE(renderFrames, gouraud, kel::RenderMode::Gouraud)->Apply(frameRuns);
BENCHMARK_CAPTURE(renderFrames, phong, kel::RenderMode::Phong)->Apply(frameRuns);
// The same torus in 75k triangles.
BENCHMARK_CAPTURE(renderFrames, wireframe75k, kel::RenderMode::Wireframe, true)->Apply(frameRuns);
BENCHMARK_CAPTURE(renderFrames, gouraud75k, kel::RenderMode::Gouraud, true)->Apply(frameRuns);
BENCHMARK_CAPTURE(renderFrames, phong75k, kel::RenderMode::Phong, true)->Apply(frameRuns);

int main(int argc, char** argv) {
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        constexpr const char* kImage = "--image=";
        if (std::strncmp(argv[i], kImage, std::strlen(kImage)) == 0) {
            writeImages(argv[i] + std::strlen(kImage));
            continue;
        }
        args.push_back(argv[i]);
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
