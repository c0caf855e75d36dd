// Compares the viewports of two renders of one scene, as kel-render writes them (a
// margin of 10 pixels): how many pixels each covers and how close their colours are.
//
//   kel-bench-coverage FIRST.png SECOND.png [MAX_MISMATCH_PERCENT MAX_MEAN_DIFFERENCE]
//
// With the two limits it fails (exit 1) when more of the covered pixels than the first
// limit are covered by one image only, or the mean channel difference exceeds the second.

#include <cstdlib>
#include <iomanip>
#include <iostream>
#include <string>

#include "image_coverage.h"
#include "render/image_surface.h"
#include "render/png_file.h"

int main(int argc, char** argv) {
    if (argc != 3 && argc != 5) {
        std::cerr << "usage: kel-bench-coverage FIRST.png SECOND.png"
                     " [MAX_MISMATCH_PERCENT MAX_MEAN_DIFFERENCE]\n";
        return 2;
    }
    kel::ImageSurface first(0, 0);
    kel::ImageSurface second(0, 0);
    std::string error;
    if (!kel::readPng(argv[1], first, error) || !kel::readPng(argv[2], second, error)) {
        std::cerr << "kel-bench-coverage: " << error << "\n";
        return 1;
    }
    constexpr int kMargin = 10;
    const int side = std::min(first.width(), first.height()) - 2 * kMargin;
    kel::bench::Coverage c;
    if (!kel::bench::compareCoverage(first, second, kMargin, side, c, error)) {
        std::cerr << "kel-bench-coverage: " << error << "\n";
        return 1;
    }
    std::cout << std::fixed << std::setprecision(2) << "covered: first " << c.first << ", second "
              << c.second << ", both " << c.both << " (" << 100.0 * c.mismatchShare()
              << "% differ); mean channel difference " << c.meanChannelDifference << ", "
              << c.farApart << " pixels 32 or more apart\n";
    if (argc == 5 && (c.first == 0 || 100.0 * c.mismatchShare() > std::atof(argv[3]) ||
                      c.meanChannelDifference > std::atof(argv[4]))) {
        std::cerr << "kel-bench-coverage: the images differ more than allowed\n";
        return 1;
    }
    return 0;
}
