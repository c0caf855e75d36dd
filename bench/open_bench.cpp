// Opens a scene with Kel's reader several times in one process and prints the median
// time of an open and the bytes read per second (the scene file and its object files).
//
//   kel-bench-open SCENE.kel [--runs N]

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <string>
#include <system_error>
#include <vector>

#include "bench_document.h"
#include "bench_stats.h"
#include "model/scene.h"
#include "model/scene_object.h"
#include "platform/heap_policy.h"

namespace {

// The scene file and each object file it names (beside it), in bytes.
std::uintmax_t bytesRead(const std::filesystem::path& scenePath, const kel::Scene& scene) {
    std::error_code ec;
    std::uintmax_t total = std::filesystem::file_size(scenePath, ec);
    for (std::size_t i = 0; i < scene.objectCount(); ++i) {
        // A mesh opened alone is its own object file: counted once.
        const std::filesystem::path object = scenePath.parent_path() / scene.object(i)->name();
        if (std::filesystem::equivalent(object, scenePath, ec)) {
            continue;
        }
        const auto size = std::filesystem::file_size(object, ec);
        total += ec ? 0 : size;
    }
    return total;
}

}  // namespace

int main(int argc, char** argv) {
    kel::prepareHeapForModels();  // as the viewer and kel-render do
    int runs = 10;
    if (argc == 4 && std::string(argv[2]) == "--runs") {
        runs = std::atoi(argv[3]);
    }
    if ((argc != 2 && argc != 4) || runs < 1) {
        std::cerr << "usage: kel-bench-open SCENE.kel [--runs N]\n";
        return 2;
    }
    const std::filesystem::path scenePath = std::filesystem::absolute(argv[1]);
    std::vector<double> times;
    std::uintmax_t bytes = 0;
    for (int i = 0; i < runs; ++i) {
        kel::bench::BenchDocument document("kel-bench-open");
        const auto start = std::chrono::steady_clock::now();
        if (!document.open(scenePath.string())) {
            return 1;
        }
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        bytes = bytesRead(scenePath, document.scene());
    }
    const double ms = kel::bench::median(times);
    std::cout << std::fixed << std::setprecision(1) << runs << (runs == 1 ? " open" : " opens")
              << " of " << bytes << " bytes, median " << ms << " ms, "
              << (ms > 0.0 ? static_cast<double>(bytes) / 1e6 / (ms / 1000.0) : 0.0) << " MB/s\n";
    return 0;
}
