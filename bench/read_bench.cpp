// Times reading a generated scene whose one object is a torus of about 75,000 triangles
// (a file of about 3 MB, the size of a scanned model), from the page cache, and prints
// the median over the runs in MB/s.
//
//   kel-read-bench [--runs=N] [--keep=FOLDER]
//
// --keep=FOLDER writes the scene there (scene.kel, torus.obj) and leaves it, so that
// kel-render can be timed on the same files.

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <numbers>
#include <string>
#include <vector>

#include "files/read_visitor.h"
#include "files/scene_builder.h"
#include "platform/user_messages.h"

namespace {

namespace fs = std::filesystem;

constexpr int kRings = 192;
constexpr int kSegments = 196;  // 2 x 192 x 196 = 75,264 triangles

struct CountingMessages : kel::UserMessages {
    void showError(const std::string& text) override {
        std::cerr << "kel-read-bench: " << text << "\n";
        ++shown;
    }
    bool askYesNo(const std::string&) override { return false; }
    int shown = 0;
};

std::string torusObjectText() {
    std::string text = std::to_string(kRings * kSegments) + "\n";
    char line[128];
    for (int r = 0; r < kRings; ++r) {
        const double u = 2.0 * std::numbers::pi * r / kRings;
        for (int s = 0; s < kSegments; ++s) {
            const double v = 2.0 * std::numbers::pi * s / kSegments;
            const double x = (2.0 + 0.7 * std::cos(v)) * std::cos(u);
            const double y = (2.0 + 0.7 * std::cos(v)) * std::sin(u);
            const double z = 0.7 * std::sin(v);
            std::snprintf(line, sizeof line, "%d %.6g %.6g %.6g \n", r * kSegments + s, x, y, z);
            text += line;
        }
    }
    text += "1\n " + std::to_string(2 * kRings * kSegments) + "\n";
    for (int r = 0; r < kRings; ++r) {
        for (int s = 0; s < kSegments; ++s) {
            const int a = r * kSegments + s;
            const int b = ((r + 1) % kRings) * kSegments + s;
            const int c = ((r + 1) % kRings) * kSegments + (s + 1) % kSegments;
            const int d = r * kSegments + (s + 1) % kSegments;
            std::snprintf(line, sizeof line, "  3\n  %d %d %d \n  3\n  %d %d %d \n", a, b, c, a, c,
                          d);
            text += line;
        }
    }
    return text;
}

std::string sceneText() {
    return "0 -7 5 \n0 0 0 \n0 0 1 \n1\n20\n2\n0.8\n255 255 255\n0 -1 1 \n0.2\n1\n"
           "torus.obj\n0 0 0 \n1 1 1 \n0 0 0 \n200 120 60\n0.7\n0.3\n10\n";
}

double medianOf(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 21;
    std::string keep;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.rfind("--runs=", 0) == 0) {
            runs = std::max(1, std::atoi(arg.c_str() + 7));
        } else if (arg.rfind("--keep=", 0) == 0) {
            keep = arg.substr(7);
        } else {
            std::cerr << "usage: kel-read-bench [--runs=N] [--keep=FOLDER]\n";
            return 2;
        }
    }
    const fs::path folder =
        keep.empty() ? fs::temp_directory_path() / ("kel-read-bench-" + std::to_string(getpid()))
                     : fs::path(keep);
    fs::create_directories(folder);
    const std::string object = torusObjectText();
    const std::string scene = sceneText();
    std::ofstream(folder / "torus.obj", std::ios::binary) << object;
    std::ofstream(folder / "scene.kel", std::ios::binary) << scene;
    const double megabytes = static_cast<double>(object.size() + scene.size()) / 1e6;

    const fs::path saved = fs::current_path();
    fs::current_path(folder);
    std::vector<double> times;
    std::size_t triangles = 0;
    for (int i = 0; i < runs; ++i) {
        CountingMessages messages;
        kel::DefaultSceneBuilder builder;
        const auto start = std::chrono::steady_clock::now();
        kel::ReadVisitor reader(messages, "scene.kel");
        const bool read = reader.readScene(builder);
        auto built = builder.takeScene();
        const auto stop = std::chrono::steady_clock::now();
        if (!read || messages.shown != 0 || built == nullptr || built->objectCount() != 1) {
            std::cerr << "kel-read-bench: the generated scene did not read back\n";
            return 1;
        }
        triangles = built->object(0)->surfaces().front()->polygonCount();
        // Destroying the scene is part of what a reader user pays for, but not of reading.
        times.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
    }
    fs::current_path(saved);
    if (keep.empty()) {
        fs::remove_all(folder);
    }
    const double median = medianOf(times);
    std::printf("read %.2f MB (%zu triangles): median %.2f ms over %d runs, %.0f MB/s\n", megabytes,
                triangles, median, runs, megabytes / (median / 1000.0));
    return 0;
}
