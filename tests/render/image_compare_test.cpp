#include "render/image_compare.h"

#include <gtest/gtest.h>

#include "render/image_surface.h"
#include "render/rgba_png.h"

namespace kel {
namespace {

void setPixel(RgbaImage& image, int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b,
              std::uint8_t a) {
    std::uint8_t* p = image.pixel(x, y);
    p[0] = r;
    p[1] = g;
    p[2] = b;
    p[3] = a;
}

RgbaImage grey(int width, int height, std::uint8_t value) {
    RgbaImage image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            setPixel(image, x, y, value, value, value, 255);
        }
    }
    return image;
}

// The report holds every figure: the count, the largest channel difference and the box.
TEST(ImageCompareTest, CountsTheLargestChannelAndTheBox) {
    const RgbaImage reference = grey(5, 4, 100);
    const std::string of20 = " of 20 pixels differ, by at most ";
    const struct {
        std::vector<std::array<int, 6>> changes;  // x, y, r, g, b, a
        std::string text;
    } cases[] = {
        {{}, ""},
        {{{4, 3, 100, 100, 100, 254}}, "1" + of20 + "1 in a channel, within x 4..4, y 3..3\n"},
        {{{1, 0, 110, 100, 100, 255}, {3, 2, 100, 100, 255, 255}},
         "2" + of20 + "155 in a channel, within x 1..3, y 0..2\n"},
        {{{4, 0, 0, 100, 100, 255}, {0, 3, 100, 99, 100, 255}},
         "2" + of20 + "100 in a channel, within x 0..4, y 0..3\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        RgbaImage image = reference;
        for (const auto& [x, y, r, g, b, a] : c.changes) {
            setPixel(image, x, y, static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g),
                     static_cast<std::uint8_t>(b), static_cast<std::uint8_t>(a));
        }
        const ImageDifference d = compareImages(image, reference);
        EXPECT_EQ(d.identical(), c.changes.empty());
        EXPECT_EQ(d.differing, c.changes.size());
        EXPECT_EQ(describeDifference(d, image, reference), c.text);
    }
}

TEST(ImageCompareTest, AnotherSizeDiffersAndSaysSo) {
    const RgbaImage image = grey(5, 4, 100);
    RgbaImage narrower = grey(3, 4, 100);
    ImageDifference d = compareImages(image, narrower);
    EXPECT_FALSE(d.identical());
    EXPECT_EQ(d.sharedPixels, 12u);
    EXPECT_EQ(describeDifference(d, image, narrower),
              "the image is 5x4 pixels, the reference 3x4\nthe 12 shared pixels are the same\n");
    setPixel(narrower, 2, 1, 0, 0, 0, 255);
    d = compareImages(image, narrower);
    EXPECT_EQ(describeDifference(d, image, narrower),
              "the image is 5x4 pixels, the reference 3x4\n1 of 12 shared pixels differ, by at "
              "most 100 in a channel, within x 2..2, y 1..1\n");
    const RgbaImage empty;
    d = compareImages(image, empty);
    EXPECT_FALSE(d.identical());
    EXPECT_EQ(d.sharedPixels, 0u);
}

TEST(ImageCompareTest, DifferenceImageFadesTheSameAndMarksTheRestRed) {
    RgbaImage image(4, 2);                  // starts transparent: faded over white is white
    setPixel(image, 0, 0, 0, 0, 0, 255);    // black fades to 191.25 -> 191
    setPixel(image, 1, 0, 1, 255, 3, 255);  // 191.5 -> 192, 255, 768 / 4 = 192
    setPixel(image, 2, 0, 0, 0, 0, 128);    // black half over white: 127, then 223
    setPixel(image, 3, 0, 0, 0, 0, 255);    // outside the reference
    setPixel(image, 0, 1, 9, 9, 9, 255);    // differs from the reference
    RgbaImage reference = image;
    setPixel(reference, 0, 1, 9, 9, 10, 255);
    RgbaImage smaller(3, 2);  // the reference covers only 3 columns
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            std::copy_n(reference.pixel(x, y), 4, smaller.pixel(x, y));
        }
    }
    const RgbaImage diff = differenceImage(image, smaller);
    ASSERT_EQ(diff.width(), 4);
    const std::vector<std::array<int, 4>> expected = {
        {191, 191, 191, 255}, {192, 255, 192, 255}, {223, 223, 223, 255}, {255, 0, 0, 255},
        {255, 0, 0, 255},     {255, 255, 255, 255}, {255, 255, 255, 255}, {255, 0, 0, 255},
    };
    for (int i = 0; i < 8; ++i) {
        const std::uint8_t* p = diff.pixel(i % 4, i / 4);
        EXPECT_EQ((std::array<int, 4>{p[0], p[1], p[2], p[3]}),
                  expected[static_cast<std::size_t>(i)])
            << i;
    }
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

TEST(RgbaPngTest, OpaqueImagesAreRgbOthersRgbaAndBothReadBack) {
    RgbaImage opaque = grey(3, 2, 40);
    setPixel(opaque, 2, 1, 1, 2, 3, 255);
    RgbaImage translucent = opaque;
    setPixel(translucent, 0, 0, 10, 20, 30, 0);
    for (const auto& [image, colorType] : {std::pair{opaque, 2}, {translucent, 6}}) {
        std::vector<std::uint8_t> bytes;
        std::string error;
        ASSERT_TRUE(encodeRgbaPng(image, bytes, error)) << error;
        ASSERT_GT(bytes.size(), 26u);
        EXPECT_EQ(bytes[25], colorType);  // the IHDR colour type
        RgbaImage back;
        ASSERT_TRUE(decodeRgbaPng(bytes, back, error)) << error;
        EXPECT_TRUE(back == image);
    }
    std::vector<std::uint8_t> bytes;
    std::string error;
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
    RgbaImage image;
    EXPECT_FALSE(decodeRgbaPng(huge, image, error));
    EXPECT_EQ(error, "the image is too large (100000x100000 pixels)");
}

}  // namespace
}  // namespace kel
