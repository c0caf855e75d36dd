#include "render/image_surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

namespace kel {
namespace {

TEST(ImageSurfaceTest, WritesOutsideTheImageAreDroppedOrCut) {
    const std::uint32_t W = ImageSurface::kWhite;
    ImageSurface image(5, 2);
    for (const auto& [x, y] : {std::pair{-1, 0}, {5, 0}, {0, 2}, {0, -1}}) {
        image.setPixel(x, y, 1);
    }
    const std::uint32_t row[] = {1, 2, 3, 4, 5, 6, 7};
    for (const auto& [x, y] : {std::pair{0, 2}, {6, 0}, {-9, 0}, {-2, 1}, {3, 0}}) {
        image.setPixelRow(x, y, row, 7);
    }
    EXPECT_EQ(image.pixels(), (std::vector<std::uint32_t>{W, W, W, 1, 2, 3, 4, 5, 6, 7}));
}

TEST(ImageSurfaceTest, LinesWithEndPointsAtTheIntLimitsFinishAndStayInside) {
    ImageSurface image(50, 50);
    image.moveTo(-INT_MAX, 25);
    image.lineTo(INT_MAX, 25);
    image.moveTo(20, -INT_MAX);
    image.lineTo(30, INT_MAX);
    image.moveTo(0, 0);
    image.lineTo(0, 3);  // the end point itself is left out
    EXPECT_EQ(std::count(image.pixels().begin(), image.pixels().end(), ImageSurface::kBlack),
              50 + 49 + 3);
}

}  // namespace
}  // namespace kel
