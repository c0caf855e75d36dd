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

// An opaque surface stores 0xFF in every high byte, whatever writes the pixel, so a window
// can show the buffer as R, G, B, 255 bytes; the colours read back are the same.
TEST(ImageSurfaceTest, AnOpaqueSurfaceKeepsTheHighByteAndTheSameColours) {
    ImageSurface zero(4, 3);
    ImageSurface opaque(4, 3, ImageSurface::HighByte::Opaque);
    const std::uint32_t row[] = {0x00102030u, 0xAB405060u, 0x00000000u};
    for (ImageSurface* image : {&zero, &opaque}) {
        image->setPixel(0, 0, 0xFF0000FFu);  // a stray high byte is not kept
        image->setPixelRow(1, 1, row, 3);
        image->moveTo(0, 2);
        image->lineTo(3, 2);
    }
    const std::uint32_t expected[3][4] = {{0x000000FFu, 0x00FFFFFFu, 0x00FFFFFFu, 0x00FFFFFFu},
                                          {0x00FFFFFFu, 0x00102030u, 0x00405060u, 0x00000000u},
                                          {0x00000000u, 0x00000000u, 0x00000000u, 0x00FFFFFFu}};
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(zero.pixel(x, y), expected[y][x]) << x << "," << y;
            EXPECT_EQ(opaque.pixel(x, y), expected[y][x]) << x << "," << y;
            const std::size_t at = static_cast<std::size_t>(y) * 4 + static_cast<std::size_t>(x);
            EXPECT_EQ(zero.pixels()[at], expected[y][x]);
            EXPECT_EQ(opaque.pixels()[at], expected[y][x] | 0xFF000000u);
        }
    }
    opaque.fill(0x00123456u);
    EXPECT_TRUE(std::all_of(opaque.pixels().begin(), opaque.pixels().end(),
                            [](std::uint32_t p) { return p == 0xFF123456u; }));
}

}  // namespace
}  // namespace kel
