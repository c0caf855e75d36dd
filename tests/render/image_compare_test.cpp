#include "render/image_compare.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "render/image_surface.h"
#include "render/rgba_png.h"

namespace kel {
namespace {

using Rgba = std::array<std::uint8_t, 4>;

void setPixel(RgbaImage& image, int x, int y, const Rgba& rgba) {
    std::copy(rgba.begin(), rgba.end(), image.pixel(x, y));
}

RgbaImage grey(int width, int height, std::uint8_t value) {
    RgbaImage image(width, height);
    for (int i = 0; i < width * height; ++i) {
        setPixel(image, i % width, i / width, {value, value, value, 255});
    }
    return image;
}

// The report holds every figure: the count, the largest channel difference and the box;
// an image of another size differs, and only the pixels both have are compared.
TEST(ImageCompareTest, CountsTheLargestChannelAndTheBoxOfTheSharedPixels) {
    const std::string of20 = " of 20 pixels differ, by at most ";
    const std::string sizes = "the image is 5x4 pixels, the reference ";
    const struct {
        std::vector<std::tuple<int, int, Rgba>> changes;
        std::string text;
        int referenceWidth = 5;
    } cases[] = {
        {{}, ""},
        {{{4, 3, {100, 100, 100, 254}}}, "1" + of20 + "1 in a channel, within x 4..4, y 3..3\n"},
        {{{1, 0, {110, 100, 100, 255}}, {3, 2, {100, 100, 255, 255}}},
         "2" + of20 + "155 in a channel, within x 1..3, y 0..2\n"},
        {{{4, 0, {0, 100, 100, 255}}, {0, 3, {100, 99, 100, 255}}},
         "2" + of20 + "100 in a channel, within x 0..4, y 0..3\n"},
        {{{2, 1, {0, 0, 0, 255}}},
         sizes + "3x4\n1 of 12 shared pixels differ, by at most 100 in a channel, within x "
                 "2..2, y 1..1\n",
         3},
        {{}, sizes + "0x4\nthe 0 shared pixels are the same\n", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        RgbaImage image = grey(5, 4, 100);
        for (const auto& [x, y, rgba] : c.changes) {
            setPixel(image, x, y, rgba);
        }
        const RgbaImage reference = grey(c.referenceWidth, 4, 100);
        const ImageDifference d = compareImages(image, reference);
        EXPECT_EQ(d.identical(), c.text.empty());
        EXPECT_EQ(d.differing, c.changes.size());
        EXPECT_EQ(describeDifference(d, image, reference), c.text);
    }
}

// Alike pixels fade three quarters of the way to white, over white; the rest are red.
TEST(ImageCompareTest, DifferenceImageFadesTheSameAndMarksTheRestRed) {
    RgbaImage image(4, 1);
    RgbaImage reference(3, 1);  // the last column lies outside it
    for (RgbaImage* i : {&image, &reference}) {
        setPixel(*i, 0, 0, {1, 255, 3, 255});  // 191.5 -> 192, 255, 768 / 4 = 192
        setPixel(*i, 1, 0, {0, 0, 0, 128});    // black half over white: 127, then 223
        setPixel(*i, 2, 0, {9, 9, i == &image ? std::uint8_t{9} : std::uint8_t{10}, 255});
    }
    const RgbaImage diff = differenceImage(image, reference);
    const std::vector<std::uint8_t> expected = {192, 255, 192, 255, 223, 223, 223, 255,
                                                255, 0,   0,   255, 255, 0,   0,   255};
    ASSERT_EQ(diff.width(), 4);
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), diff.pixel(0, 0)));
}

std::uint32_t crc32(const std::uint8_t* data, std::size_t size) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

void putBigEndian(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
    }
}

// How images read back is pinned by kel-render's output and thumbnails.
TEST(RgbaPngTest, OpaqueImagesAreWrittenAsRgbOthersAsRgbaAndEmptyOnesNot) {
    RgbaImage image = grey(3, 2, 40);
    std::vector<std::uint8_t> bytes;
    std::string error;
    for (const int colorType : {2, 6}) {
        ASSERT_TRUE(encodeRgbaPng(image, bytes, error)) << error;
        EXPECT_EQ(bytes.at(25), colorType);  // the IHDR colour type
        setPixel(image, 0, 0, {10, 20, 30, 0});
    }
    EXPECT_FALSE(encodeRgbaPng(RgbaImage(0, 5), bytes, error));
    EXPECT_EQ(error, "the image is empty");
}

TEST(RgbaPngTest, HostileBytesAreRefused) {
    std::vector<std::uint8_t> valid;
    std::string error;
    ASSERT_TRUE(encodeRgbaPng(grey(16, 16, 7), valid, error));
    std::vector<std::uint8_t> huge = valid;  // claims 100000 x 100000 with a correct CRC
    putBigEndian(huge, 16, 100000);
    putBigEndian(huge, 20, 100000);
    putBigEndian(huge, 29, crc32(huge.data() + 12, 17));
    const std::vector<std::uint8_t> truncated(valid.begin(), valid.begin() + valid.size() / 2);
    const std::vector<std::vector<std::uint8_t>> hostile = {
        {}, {0x89, 'P', 'N', 'G'}, std::vector<std::uint8_t>(1000, 0xAB), truncated, huge};
    for (const auto& bytes : hostile) {
        RgbaImage image = grey(1, 1, 5);
        error.clear();
        EXPECT_FALSE(decodeRgbaPng(bytes, image, error)) << bytes.size();
        EXPECT_FALSE(error.empty());
        EXPECT_TRUE(image == grey(1, 1, 5));  // left alone
    }
    EXPECT_EQ(error, "the image is too large (100000x100000 pixels)");
}

}  // namespace
}  // namespace kel
