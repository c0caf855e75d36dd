#include <array>

#include "render/device_renderer.h"
#include "render/supersampled_render.h"
#include "scene_fixtures.h"

namespace kel {
namespace {

using Pattern = std::function<std::uint32_t(int, int)>;

// Paints every viewport pixel with a colour given by its column and row, so the block
// averages can be worked out by hand.
struct PatternRenderer : DeviceRenderer {
    explicit PatternRenderer(Pattern pattern) : pattern_(std::move(pattern)) {}
    void draw(DrawingSurface& surface, Scene& scene) override {
        const DeviceMapping& m = *scene.deviceMapping();
        for (int y = 0; y < m.side(); ++y) {
            for (int x = 0; x < m.side(); ++x) {
                surface.setPixel(m.windowX(x), m.windowY(y), pattern_(x, y));
            }
        }
    }
    Pattern pattern_;
};

TEST(SupersampleTest, BlockMeansRoundHalvesUp) {
    const struct {
        const char* name;
        int factor;
        Pattern samples;
        Pattern expected;  // the 1x pixel at viewport column and row
    } cases[] = {
        // 4 or 5 of 9 white: 113.33 and 141.67.
        {"checker 3", 3, [](int x, int y) { return (x + y) % 2 ? ImageSurface::kWhite : 0u; },
         [](int x, int y) {
             const int v = (3 * x + 3 * y) % 2 ? 142 : 113;
             return packColor(v, v, v);
         }},
        // Columns 2X and 2X+1 average to 2X + 0.5, which rounds up; rows alike.
        {"ramps", 2, [](int x, int y) { return packColor(x, y, 7); },
         [](int x, int y) { return packColor(2 * x + 1, 2 * y + 1, 7); }},
        // One red sample in 16: 15.94 rounds to 16.
        {"one in 16", 4,
         [](int x, int y) { return x % 4 == 3 && y % 4 == 0 ? packColor(255, 0, 0) : 0u; },
         [](int, int) { return packColor(16, 0, 0); }},
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
                const auto within = [x, y](int low, int high) {
                    return x >= low && x <= high && y >= low && y <= high;
                };
                const std::uint32_t expected = within(10, 89)  ? c.expected(x - 10, y - 10)
                                               : within(9, 90) ? ImageSurface::kBlack
                                                               : ImageSurface::kWhite;
                ASSERT_EQ(image.pixel(x, y), expected) << c.name << " at " << x << "," << y;
            }
        }
    }
}

// Factor 1, and client areas too small for a sampled viewport, are one plain run.
TEST(SupersampleTest, FactorOneAndTinyClientAreasDrawAsAPlainRun) {
    for (const RenderMode mode : {RenderMode::Wireframe, RenderMode::Gouraud, RenderMode::Phong}) {
        test::OpenedScene room("room", mode);
        ASSERT_TRUE(room.opened);
        const auto pipeline = makePipeline(mode);
        for (const auto& [factor, width, height] :
             {std::array{1, 230, 170}, {4, 19, 40}, {4, 20, 20}, {4, 0, 0}}) {
            ImageSurface plain(width, height);
            pipeline->run(plain, room.scene());
            ImageSurface image(width, height);
            SupersampledRender(factor).run(*pipeline, room.scene(), image);
            EXPECT_TRUE(image.pixels() == plain.pixels())
                << renderModeName(mode) << " " << width << "x" << height;
        }
    }
}

// Samples [c0, c1) x [r0, r1) of an 8 x 8 sampled viewport: projected x = -1 + c / 4 is
// sample column c, y = 1 - r / 4 is sample row r.
struct SampleRect {
    int c0, r0, c1, r1;
};

void addSampleRect(Scene& scene, const SampleRect& rect) {
    std::vector<Vector> clips;
    for (const auto& [c, r] : {std::pair{rect.c0, rect.r0}, std::pair{rect.c1, rect.r0},
                               std::pair{rect.c1, rect.r1}, std::pair{rect.c0, rect.r1}}) {
        clips.emplace_back(-1 + c / 4.0, 1 - r / 4.0, 0.5, 1.0);
    }
    test::polygonWithClips(scene, clips);
}

// A 4 x 4 thumbnail from 8 x 8 samples.
TEST(ThumbnailTest, AlphaIsTheShareOfCoveredSamplesAndBadRequestsDrawNothing) {
    const struct {
        const char* name;
        std::vector<SampleRect> rects;
        std::vector<int> alphas;  // row by row
        std::uint64_t covered;
    } cases[] = {
        {"three sample columns",
         {{0, 0, 3, 8}},
         {255, 128, 0, 0, 255, 128, 0, 0, 255, 128, 0, 0, 255, 128, 0, 0},
         24},
        {"one sample", {{2, 2, 3, 3}}, {0, 0, 0, 0, 0, 64, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 1},
        {"three samples",
         {{2, 2, 4, 3}, {2, 3, 3, 4}},
         {0, 0, 0, 0, 0, 191, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
         3},
        {"everything", {{0, 0, 8, 8}}, std::vector<int>(16, 255), 64},
        {"outside the view", {{12, 12, 16, 16}}, std::vector<int>(16, 0), 0},
    };
    PhongPipeline phong;  // over the clip positions given, so the covered samples are known
    phong.setCullStage(nullptr);
    phong.setViewStage(nullptr);
    phong.setClipStage(nullptr);
    for (const auto& c : cases) {
        auto scene = test::makeScene();
        for (const SampleRect& rect : c.rects) {
            addSampleRect(*scene, rect);
        }
        Thumbnail thumbnail;
        ASSERT_TRUE(renderThumbnail(phong, *scene, 4, 2, thumbnail)) << c.name;
        ASSERT_EQ(thumbnail.image.width(), 4);
        ASSERT_EQ(thumbnail.image.height(), 4);
        for (int i = 0; i < 16; ++i) {
            EXPECT_EQ(thumbnail.image.pixel(i % 4, i / 4)[3], c.alphas[static_cast<std::size_t>(i)])
                << c.name << " at " << i % 4 << "," << i / 4;
        }
        EXPECT_EQ(thumbnail.coveredSamples, c.covered) << c.name;
    }
    // Without a depth buffer, or at a size refused before anything of it is allocated,
    // nothing is drawn and the result is left alone.
    auto scene = test::makeScene();
    addSampleRect(*scene, {0, 0, 8, 8});
    WireframePipeline wireframe;
    Thumbnail thumbnail;
    thumbnail.coveredSamples = 7;
    EXPECT_FALSE(renderThumbnail(wireframe, *scene, 8, 2, thumbnail));
    EXPECT_FALSE(renderThumbnail(phong, *scene, 1 << 15, 4, thumbnail));
    EXPECT_FALSE(renderThumbnail(phong, *scene, 2000000000, 2000000000, thumbnail));
    EXPECT_EQ(thumbnail.coveredSamples, 7u);
    EXPECT_TRUE(thumbnail.image.empty());
}

}  // namespace
}  // namespace kel
