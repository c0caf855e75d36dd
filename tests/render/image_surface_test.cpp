#include "render/image_surface.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "render/png_file.h"

namespace kel {
namespace {

constexpr std::uint32_t kWhite = ImageSurface::kWhite;
constexpr std::uint32_t kBlack = ImageSurface::kBlack;

std::vector<std::pair<int, int>> blackPixels(const ImageSurface& image) {
    std::vector<std::pair<int, int>> result;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == kBlack) {
                result.emplace_back(x, y);
            }
        }
    }
    return result;
}

TEST(ImageSurfaceTest, StartsWhiteAndIgnoresPixelsOutside) {
    ImageSurface image(4, 3);
    EXPECT_EQ(image.clientRect().right, 4);
    EXPECT_EQ(image.clientRect().bottom, 3);
    EXPECT_EQ(image.pixels(), std::vector<std::uint32_t>(12, kWhite));
    image.setPixel(-1, 0, 1);
    image.setPixel(4, 0, 1);
    image.setPixel(0, 3, 1);
    image.setPixel(0, -1, 1);
    EXPECT_EQ(image.pixels(), std::vector<std::uint32_t>(12, kWhite));
    image.setPixel(3, 2, 7);
    EXPECT_EQ(image.pixel(3, 2), 7u);
    EXPECT_EQ(ImageSurface(-5, 3).width(), 0);
}

TEST(ImageSurfaceTest, PixelRowsAreClippedAtBothEnds) {
    ImageSurface image(5, 2);
    const std::uint32_t row[] = {1, 2, 3, 4, 5, 6, 7};
    image.setPixelRow(-2, 1, row, 7);
    EXPECT_EQ(image.pixel(0, 1), 3u);
    EXPECT_EQ(image.pixel(4, 1), 7u);
    EXPECT_EQ(image.pixel(0, 0), kWhite);
    image.setPixelRow(3, 0, row, 7);
    EXPECT_EQ(image.pixel(3, 0), 1u);
    EXPECT_EQ(image.pixel(4, 0), 2u);
    image.setPixelRow(0, 2, row, 7);   // below: ignored
    image.setPixelRow(6, 0, row, 7);   // right of the image: ignored
    image.setPixelRow(-9, 0, row, 7);  // left of it
    EXPECT_EQ(image.pixel(0, 0), kWhite);
}

TEST(ImageSurfaceTest, LinesLeaveOutTheirEndPoint) {
    ImageSurface image(10, 10);
    image.moveTo(1, 1);
    image.lineTo(5, 1);
    EXPECT_EQ(blackPixels(image),
              (std::vector<std::pair<int, int>>{{1, 1}, {2, 1}, {3, 1}, {4, 1}}));
    ImageSurface vertical(10, 10);
    vertical.moveTo(2, 5);
    vertical.lineTo(2, 2);
    EXPECT_EQ(blackPixels(vertical), (std::vector<std::pair<int, int>>{{2, 3}, {2, 4}, {2, 5}}));
    ImageSurface diagonal(10, 10);
    diagonal.moveTo(0, 0);
    diagonal.lineTo(3, 3);
    diagonal.lineTo(3, 3);  // zero length: nothing
    EXPECT_EQ(blackPixels(diagonal), (std::vector<std::pair<int, int>>{{0, 0}, {1, 1}, {2, 2}}));
}

TEST(ImageSurfaceTest, ShallowLineStepsOnePixelPerColumn) {
    ImageSurface image(10, 10);
    image.moveTo(0, 0);
    image.lineTo(8, 2);
    // y = round(x / 4) with halves away from the start.
    EXPECT_EQ(blackPixels(image),
              (std::vector<std::pair<int, int>>{
                  {0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {6, 2}, {7, 2}}));
}

TEST(ImageSurfaceTest, LinesFromFarOutsideAreCutWithoutChangingTheirPixels) {
    // The same line drawn on a small image and, shifted, on a large one.
    ImageSurface small(50, 50);
    small.moveTo(-300, -170);
    small.lineTo(90, 61);
    ImageSurface large(800, 800);
    large.moveTo(-300 + 400, -170 + 400);
    large.lineTo(90 + 400, 61 + 400);
    for (int y = 0; y < 50; ++y) {
        for (int x = 0; x < 50; ++x) {
            ASSERT_EQ(small.pixel(x, y), large.pixel(x + 400, y + 400)) << x << "," << y;
        }
    }
    EXPECT_FALSE(blackPixels(small).empty());

    // Endpoints near the int limits finish at once and stay inside the image.
    ImageSurface huge(50, 50);
    huge.moveTo(-2147483647, 25);
    huge.lineTo(2147483647, 25);
    huge.moveTo(20, -2147483647);
    huge.lineTo(30, 2147483647);
    const auto pixels = blackPixels(huge);
    EXPECT_EQ(pixels.size(), 50u + 49u);
}

TEST(PngFileTest, WritesAndReadsBackTheSamePixels) {
    ImageSurface image(7, 5);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 7; ++x) {
            image.setPixel(x, y,
                           static_cast<std::uint32_t>(x * 36 + (y * 50 << 8) + (x * y << 16)));
        }
    }
    const std::string path =
        (std::filesystem::temp_directory_path() / "kel_png_roundtrip_test.png").string();
    std::string error;
    ASSERT_TRUE(writePng(image, path, error)) << error;
    ImageSurface back(1, 1);
    ASSERT_TRUE(readPng(path, back, error)) << error;
    EXPECT_EQ(back.width(), 7);
    EXPECT_EQ(back.height(), 5);
    EXPECT_EQ(back.pixels(), image.pixels());
    std::remove(path.c_str());
}

TEST(PngFileTest, FailuresAreReportedNotHidden) {
    std::string error;
    ImageSurface image(3, 3);
    EXPECT_FALSE(writePng(image, "/nonexistent-dir/x/out.png", error));
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_FALSE(writePng(ImageSurface(0, 0), "/tmp/never.png", error));
    EXPECT_FALSE(error.empty());

    error.clear();
    EXPECT_FALSE(readPng("/nonexistent-dir/in.png", image, error));
    EXPECT_FALSE(error.empty());
    const std::string junk =
        (std::filesystem::temp_directory_path() / "kel_png_junk_test.png").string();
    std::ofstream(junk) << "this is not a png";
    error.clear();
    EXPECT_FALSE(readPng(junk, image, error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(image.width(), 3);  // left alone
    std::remove(junk.c_str());
}

}  // namespace
}  // namespace kel
