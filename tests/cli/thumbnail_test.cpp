#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "render/supersampled_render.h"
#include "run_kel_render.h"

namespace kel {
namespace {

namespace fs = std::filesystem;

const std::string kExamples = KEL_EXAMPLES_DIR;

// The cube's thumbnail is checked in; after a deliberate change regenerate it with
//   kel-render --thumbnail 64 examples/cube.kel tests/data/render/cube_thumbnail_64.png
TEST(ThumbnailCommandTest, TheCubeMatchesItsGoldenThumbnail) {
    const test::KelRenderSandbox kelRender;
    const std::string golden = std::string(KEL_TEST_DATA_DIR) + "/render/cube_thumbnail_64.png";
    const test::KelRenderRun r =
        kelRender.run({"--thumbnail", "64", "--", kExamples + "/cube.kel", "thumb.png"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "");
    const RgbaImage thumbnail = test::readImage(kelRender.dir / "thumb.png");
    EXPECT_TRUE(thumbnail == test::readImage(golden));
    EXPECT_EQ(
        kelRender
            .run({"--thumbnail", "64", kExamples + "/cube.kel", "again.png", "--reference", golden})
            .status,
        0);

    // What any 2 x 2 thumbnail must be, whatever the scene: square, a transparent
    // background at the corners, an opaque inside, alphas in quarters only.
    ASSERT_EQ(thumbnail.width(), 64);
    ASSERT_EQ(thumbnail.height(), 64);
    std::set<int> alphas;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            alphas.insert(thumbnail.pixel(x, y)[3]);
        }
    }
    EXPECT_TRUE(std::includes(std::set<int>{0, 64, 128, 191, 255}.begin(),
                              std::set<int>{0, 64, 128, 191, 255}.end(), alphas.begin(),
                              alphas.end()));
    EXPECT_TRUE(alphas.count(0) && alphas.count(255) && alphas.size() >= 3);
    EXPECT_EQ(thumbnail.pixel(0, 0)[3], 0);
    EXPECT_EQ(thumbnail.pixel(63, 63)[3], 0);
    EXPECT_EQ(thumbnail.pixel(32, 32)[3], 255);
}

TEST(ThumbnailCommandTest, EqualsTheInProcessThumbnailAtOddSizes) {
    const test::KelRenderSandbox kelRender;
    const std::string room = kExamples + "/room.kel";
    for (const int size : {1, 37, 128}) {
        const test::KelRenderRun r =
            kelRender.run({"--thumbnail", std::to_string(size), room, "room.png"});
        ASSERT_EQ(r.status, 0) << r.err;
        test::InProcessScene fresh(room, RenderMode::Phong);
        Thumbnail expected;
        ASSERT_TRUE(
            renderThumbnail(*makePipeline(RenderMode::Phong), fresh.scene(), size, 2, expected));
        EXPECT_TRUE(test::readImage(kelRender.dir / "room.png") == expected.image) << size;
    }
}

// A file manager's sandbox may let the thumbnailer read the scene but not its object files.
TEST(ThumbnailCommandTest, UnreadableObjectsAreLeftOutOrTheThumbnailFailsCleanly) {
    const test::KelRenderSandbox kelRender;
    fs::create_directories(kelRender.dir / "alone");
    fs::create_directories(kelRender.dir / "partly");
    fs::copy_file(kExamples + "/room.kel", kelRender.dir / "alone/room.kel");
    fs::copy_file(kExamples + "/room.kel", kelRender.dir / "partly/room.kel");
    fs::copy_file(kExamples + "/floor.obj", kelRender.dir / "partly/floor.obj");
    std::ofstream(kelRender.dir / "old.png") << "old";

    const test::KelRenderRun alone =
        kelRender.run({"--thumbnail", "48", "alone/room.kel", "old.png"});
    EXPECT_EQ(alone.status, 1);
    EXPECT_NE(alone.err.find("kel-render: Nothing of alone/room.kel is in view; no thumbnail "
                             "written\n"),
              std::string::npos)
        << alone.err;
    EXPECT_EQ(test::readFile(kelRender.dir / "old.png"), "old");

    const test::KelRenderRun partly =
        kelRender.run({"--thumbnail", "48", "partly/room.kel", "partly.png"});
    EXPECT_EQ(partly.status, 0) << partly.err;
    EXPECT_NE(partly.err.find("kel-render: "), std::string::npos);  // the missing objects
    const RgbaImage floorOnly = test::readImage(kelRender.dir / "partly.png");
    ASSERT_EQ(kelRender.run({"--thumbnail", "48", kExamples + "/room.kel", "full.png"}).status, 0);
    EXPECT_FALSE(floorOnly == test::readImage(kelRender.dir / "full.png"));
    EXPECT_FALSE(floorOnly.opaque());
}

}  // namespace
}  // namespace kel
