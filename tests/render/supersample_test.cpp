#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "model/device_mapping.h"
#include "render/device_renderer.h"
#include "render/image_surface.h"
#include "render/render_mode.h"
#include "render/scanline_renderer.h"
#include "render/supersampled_render.h"
#include "scene_fixtures.h"

namespace kel {
namespace {

using Pattern = std::function<std::uint32_t(int, int)>;

// Paints every viewport pixel with a colour given by its column and row, so the block
// averages can be worked out by hand.
class PatternRenderer : public DeviceRenderer {
public:
    explicit PatternRenderer(Pattern pattern) : pattern_(std::move(pattern)) {}
    void draw(DrawingSurface& surface, Scene& scene) override {
        const DeviceMapping& m = *scene.deviceMapping();
        for (int y = 0; y < m.side(); ++y) {
            for (int x = 0; x < m.side(); ++x) {
                surface.setPixel(m.windowX(x), m.windowY(y), pattern_(x, y));
            }
        }
    }

private:
    Pattern pattern_;
};

std::uint32_t rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return r | (g << 8) | (b << 16);
}

TEST(SupersampleTest, BlockMeansRoundHalvesUp) {
    const auto checker = [](int x, int y) { return (x + y) % 2 ? ImageSurface::kWhite : 0u; };
    const struct {
        const char* name;
        int factor;
        Pattern samples;
        Pattern expected;  // the 1x pixel at viewport column and row
    } cases[] = {
        // 2 of 4 white: 127.5 rounds up.
        {"checker 2", 2, checker, [](int, int) { return rgb(128, 128, 128); }},
        // 4 or 5 of 9 white: 113.33 and 141.67.
        {"checker 3", 3, checker,
         [](int x, int y) {
             const std::uint32_t v = (3 * x + 3 * y) % 2 ? 142 : 113;
             return rgb(v, v, v);
         }},
        // Columns 2X and 2X+1 average to 2X + 0.5, which rounds up; rows alike.
        {"ramps", 2, [](int x, int y) { return rgb(x & 0xFF, y & 0xFF, 7); },
         [](int x, int y) { return rgb(2 * x + 1, 2 * y + 1, 7); }},
        // One red sample in 16: 15.94 rounds to 16.
        {"one in 16", 4,
         [](int x, int y) { return x % 4 == 3 && y % 4 == 0 ? rgb(255, 0, 0) : 0u; },
         [](int, int) { return rgb(16, 0, 0); }},
    };
    for (const auto& c : cases) {
        auto scene = test::makeScene();
        RenderPipeline pipeline;
        pipeline.setRenderer(std::make_unique<PatternRenderer>(c.samples));
        SupersampledRender render(c.factor);
        ImageSurface image(140, 100);  // viewport 80 x 80 at 10..89
        render.run(pipeline, *scene, image);
        for (int y = 0; y < 100; ++y) {
            for (int x = 0; x < 140; ++x) {
                const bool inside = x >= 10 && x < 90 && y >= 10 && y < 90;
                const bool frame = (x == 9 || x == 90) && y >= 9 && y <= 90
                                       ? true
                                       : (y == 9 || y == 90) && x >= 9 && x <= 90;
                const std::uint32_t expected = inside  ? c.expected(x - 10, y - 10)
                                               : frame ? ImageSurface::kBlack
                                                       : ImageSurface::kWhite;
                ASSERT_EQ(image.pixel(x, y), expected) << c.name << " at " << x << "," << y;
            }
        }
    }
}

// Factor 1 is one plain run; factor 3 is the rounded mean of a render three times as large.
TEST(SupersampleTest, RealScenesMatchPlainRendersAtFactorOneAndTheirLargeRenderAtThree) {
    for (const RenderMode mode : {RenderMode::Wireframe, RenderMode::Gouraud, RenderMode::Phong}) {
        test::OpenedScene room("room", mode);
        ASSERT_TRUE(room.opened);
        Scene& scene = room.scene();
        const auto pipeline = makePipeline(mode);
        ImageSurface plain(230, 170);
        pipeline->run(plain, scene);
        ImageSurface once(230, 170);
        SupersampledRender(1).run(*pipeline, scene, once);
        EXPECT_TRUE(once.pixels() == plain.pixels()) << renderModeName(mode);

        ImageSurface large(150 * 3 + 20, 150 * 3 + 20);
        pipeline->run(large, scene);
        ImageSurface averaged(230, 170);
        SupersampledRender(3).run(*pipeline, scene, averaged);
        int mismatches = 0;
        for (int y = 0; y < 150; ++y) {
            for (int x = 0; x < 150; ++x) {
                std::uint32_t expected = 0;
                for (int shift = 0; shift < 24; shift += 8) {
                    double sum = 0;
                    for (int j = 0; j < 3; ++j) {
                        for (int i = 0; i < 3; ++i) {
                            sum += (large.pixel(10 + 3 * x + i, 10 + 3 * y + j) >> shift) & 0xFF;
                        }
                    }
                    expected |= static_cast<std::uint32_t>(std::floor(sum / 9.0 + 0.5)) << shift;
                }
                mismatches += averaged.pixel(10 + x, 10 + y) != expected;
            }
        }
        EXPECT_EQ(mismatches, 0) << renderModeName(mode);
        EXPECT_EQ(averaged.pixel(9, 9), ImageSurface::kBlack);
        EXPECT_EQ(averaged.pixel(160, 160), ImageSurface::kBlack);
        EXPECT_EQ(averaged.pixel(200, 100), ImageSurface::kWhite);  // right of the viewport
    }
}

TEST(SupersampleTest, TinyClientAreasDrawAsAtFactorOne) {
    for (const auto& [width, height] : {std::pair{19, 40}, {20, 20}, {21, 21}, {0, 0}}) {
        auto scene = test::makeScene();
        test::addPolygon(test::addObject(*scene, {{-1, -1, 0}, {1, -1, 0}, {0, 1, 0}}), {0, 1, 2});
        PhongPipeline pipeline;
        ImageSurface plain(width, height);
        pipeline.run(plain, *scene);
        ImageSurface image(width, height);
        SupersampledRender(4).run(pipeline, *scene, image);
        EXPECT_TRUE(image.pixels() == plain.pixels()) << width << "x" << height;
    }
}

// Phong with the clip positions the test gives, so the covered samples are known exactly.
std::unique_ptr<RenderPipeline> phongOverGivenClips() {
    auto pipeline = std::make_unique<PhongPipeline>();
    pipeline->setCullStage(nullptr);
    pipeline->setViewStage(nullptr);
    pipeline->setClipStage(nullptr);
    return pipeline;
}

// Samples [c0, c1) x [r0, r1) of an 8 x 8 sampled viewport: projected x = -1 + c / 4 is
// sample column c, y = 1 - r / 4 is sample row r.
struct SampleRect {
    int c0, r0, c1, r1;
    bool holds(int c, int r) const { return c >= c0 && c < c1 && r >= r0 && r < r1; }
};

void addSampleRect(Scene& scene, const SampleRect& rect) {
    const auto corner = [](int c, int r) { return std::pair{-1 + c / 4.0, 1 - r / 4.0}; };
    const std::pair<int, int> corners[] = {
        {rect.c0, rect.r0}, {rect.c1, rect.r0}, {rect.c1, rect.r1}, {rect.c0, rect.r1}};
    std::vector<Vector> model;
    for (const auto& [c, r] : corners) {
        const auto [x, y] = corner(c, r);
        model.emplace_back(x, y, 0.0);
    }
    SceneObject& object = test::addObject(scene, model);
    for (std::size_t i = 0; i < 4; ++i) {
        const Vector& p = model[i];
        object.vertexAt(i)->setClipPosition(Vector(p.at(0), p.at(1), 0.5, 1.0));
    }
    test::addPolygon(object, {0, 1, 2, 3});
}

// A 4 x 4 thumbnail from 8 x 8 samples.
TEST(ThumbnailTest, AlphaIsTheShareOfCoveredSamplesAndColourTheirMean) {
    const struct {
        const char* name;
        std::vector<SampleRect> rects;
        std::vector<int> alphas;  // row by row
    } cases[] = {
        {"three sample columns",
         {{0, 0, 3, 8}},
         {255, 128, 0, 0, 255, 128, 0, 0, 255, 128, 0, 0, 255, 128, 0, 0}},
        {"one sample", {{2, 2, 3, 3}}, {0, 0, 0, 0, 0, 64, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"three samples",
         {{2, 2, 4, 3}, {2, 3, 3, 4}},
         {0, 0, 0, 0, 0, 191, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {"everything", {{0, 0, 8, 8}}, std::vector<int>(16, 255)},
        {"outside the view", {{12, 12, 16, 16}}, std::vector<int>(16, 0)},
    };
    for (const auto& c : cases) {
        auto scene = test::makeScene();
        for (const SampleRect& rect : c.rects) {
            addSampleRect(*scene, rect);
        }
        const auto pipeline = phongOverGivenClips();
        Thumbnail thumbnail;
        ASSERT_TRUE(renderThumbnail(*pipeline, *scene, 4, 2, thumbnail)) << c.name;
        ASSERT_EQ(thumbnail.image.width(), 4);
        ASSERT_EQ(thumbnail.image.height(), 4);

        // The colour is the rounded mean of the covered samples alone, never mixed with
        // the white background; the samples are those of a plain render at the large size.
        ImageSurface large(28, 28);
        pipeline->run(large, *scene);
        std::uint64_t covered = 0;
        for (int y = 0; y < 4; ++y) {
            for (int x = 0; x < 4; ++x) {
                std::uint32_t sums[3] = {0, 0, 0};
                std::uint32_t count = 0;
                for (int r = 2 * y; r < 2 * y + 2; ++r) {
                    for (int col = 2 * x; col < 2 * x + 2; ++col) {
                        const bool inside =
                            std::any_of(c.rects.begin(), c.rects.end(),
                                        [&](const SampleRect& rect) { return rect.holds(col, r); });
                        if (inside) {
                            const std::uint32_t sample = large.pixel(10 + col, 10 + r);
                            EXPECT_NE(sample, ImageSurface::kWhite) << c.name;
                            for (int k = 0; k < 3; ++k) {
                                sums[k] += (sample >> (8 * k)) & 0xFF;
                            }
                            ++count;
                        }
                    }
                }
                covered += count;
                const std::uint8_t* p = thumbnail.image.pixel(x, y);
                EXPECT_EQ(p[3], c.alphas[static_cast<std::size_t>(y * 4 + x)])
                    << c.name << " at " << x << "," << y;
                for (int k = 0; k < 3; ++k) {
                    const double mean =
                        count == 0 ? 0.0 : std::floor(sums[k] / double(count) + 0.5);
                    EXPECT_EQ(p[k], mean) << c.name << " channel " << k << " at " << x << "," << y;
                }
            }
        }
        EXPECT_EQ(thumbnail.coveredSamples, covered) << c.name;
    }
}

TEST(ThumbnailTest, NeedsADepthBufferAndASaneSizeAndLeavesTheResultAloneWithout) {
    auto scene = test::makeScene();
    addSampleRect(*scene, {0, 0, 8, 8});
    WireframePipeline wireframe;
    Thumbnail thumbnail;
    thumbnail.coveredSamples = 7;
    EXPECT_FALSE(renderThumbnail(wireframe, *scene, 8, 2, thumbnail));
    EXPECT_EQ(thumbnail.coveredSamples, 7u);
    EXPECT_TRUE(thumbnail.image.empty());
    // Refused before anything of that size is allocated.
    PhongPipeline phong;
    EXPECT_FALSE(renderThumbnail(phong, *scene, 1 << 15, 4, thumbnail));
    EXPECT_FALSE(renderThumbnail(phong, *scene, 2000000000, 2000000000, thumbnail));
    EXPECT_TRUE(thumbnail.image.empty());
}

}  // namespace
}  // namespace kel
